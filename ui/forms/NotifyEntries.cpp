// SPDX-License-Identifier: MIT
#include "NotifyEntries.h"

#include "ConfigFile.h"
#include "NotifyLines.h"
#include "frmNotifyDesign.h"

#include <algorithm>

namespace nortavi::forms {

namespace {

using Id = frmNotifyId;

constexpr int kMostRepeatMinutes = 1440;

std::string Trimmed(std::string text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), blank));
    text.erase(std::find_if_not(text.rbegin(), text.rend(), blank).base(), text.end());
    return text;
}

// Tokens and keys as the services make them: visible ASCII, no blanks, no
// quotes or commas (config.ini could not hold them exactly).
bool IsKey(const std::string& text)
{
    return !text.empty() && text.size() <= 256 && std::all_of(text.begin(), text.end(), [](char c) {
        return c > ' ' && c < 0x7F && c != '"' && c != ',';
    });
}

// A chat's number (a group's begins with -100) or a channel's @name.
bool IsChatId(const std::string& text)
{
    if (text.size() > 1 && text.front() == '@') {
        return std::all_of(text.begin() + 1, text.end(), [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                   c == '_';
        });
    }
    const std::size_t digits = !text.empty() && text.front() == '-' ? 1 : 0;
    return text.size() > digits && text.size() <= 20 &&
           std::all_of(text.begin() + static_cast<std::ptrdiff_t>(digits), text.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

bool PlainHttp(const std::string& address)
{
    return address.size() >= 7 && std::equal(address.begin(), address.begin() + 7, "http://",
                                             [](char a, char b) { return (a | 0x20) == b; });
}

std::string Caption(int label)
{
    return std::string(frmNotifyDesign().Control(label).caption);
}

}  // namespace

const std::array<NotifyCheckBinding, 6> kNotifyChecks{{
    {Id::NotifyOnUnsafeCheck, &NotifyEntries::onUnsafe},
    {Id::NotifyOnSafeCheck, &NotifyEntries::onSafe},
    {Id::NotifyOnFeedLostCheck, &NotifyEntries::onFeedLost},
    {Id::NotifyOnFeedBackCheck, &NotifyEntries::onFeedBack},
    {Id::NotifyOnCancelCheck, &NotifyEntries::onCancel},
    {Id::PushoverEmergencyCheck, &NotifyEntries::pushoverEmergency},
}};

const std::array<NotifyTextBinding, 9> kNotifyTexts{{
    {Id::RepeatMinutesField, &NotifyEntries::repeatMinutes},
    {Id::NtfyServerField, &NotifyEntries::ntfyServer},
    {Id::NtfyTopicField, &NotifyEntries::ntfyTopic},
    {Id::NtfyTokenField, &NotifyEntries::ntfyToken},
    {Id::PushoverUserField, &NotifyEntries::pushoverUser},
    {Id::PushoverTokenField, &NotifyEntries::pushoverToken},
    {Id::TelegramTokenField, &NotifyEntries::telegramToken},
    {Id::TelegramChatIdField, &NotifyEntries::telegramChatId},
    {Id::WebhookUrlField, &NotifyEntries::webhookUrl},
}};

NotifyEntries EntriesFromNotifySettings(const NotifySettings& settings)
{
    NotifyEntries entries;
    entries.onUnsafe = settings.onUnsafe;
    entries.onSafe = settings.onSafe;
    entries.onFeedLost = settings.onFeedLost;
    entries.onFeedBack = settings.onFeedBack;
    entries.onCancel = settings.onCancel;
    entries.repeatMinutes = std::to_string(settings.repeatMinutes);
    entries.ntfyServer = settings.ntfyServer;
    entries.ntfyTopic = settings.ntfyTopic;
    entries.ntfyToken = settings.ntfyToken;
    entries.pushoverUser = settings.pushoverUser;
    entries.pushoverToken = settings.pushoverToken;
    entries.pushoverEmergency = settings.pushoverEmergency;
    entries.telegramToken = settings.telegramToken;
    entries.telegramChatId = settings.telegramChatId;
    entries.webhookUrl = settings.webhookUrl;
    return entries;
}

std::variant<NotifyChecked, SetupRefusal> CheckNotifyEntries(const NotifyEntries& entries,
                                                             const NotifySettings& current)
{
    NotifySettings s = current;
    s.onUnsafe = entries.onUnsafe;
    s.onSafe = entries.onSafe;
    s.onFeedLost = entries.onFeedLost;
    s.onFeedBack = entries.onFeedBack;
    s.onCancel = entries.onCancel;

    const auto repeat = ParseMinutes(entries.repeatMinutes);
    if (!repeat || *repeat < 0 || *repeat > kMostRepeatMinutes) {
        return SetupRefusal{Id::RepeatMinutesField,
                            "The repeat must be a whole number of minutes from 0 to " +
                                std::to_string(kMostRepeatMinutes) + "."};
    }
    s.repeatMinutes = *repeat;

    // ntfy: the topic turns it on; the server stays the public one unless changed.
    s.ntfyServer = Trimmed(entries.ntfyServer);
    s.ntfyTopic = Trimmed(entries.ntfyTopic);
    s.ntfyToken = Trimmed(entries.ntfyToken);
    if (s.ntfyServer.empty()) {
        s.ntfyServer = NotifySettings{}.ntfyServer;
    }
    if (!IsWebAddress(s.ntfyServer) || s.ntfyServer.find_first_of("?#") != std::string::npos ||
        !SplitNtfyTopicUrl(NtfyTopicUrl(s.ntfyServer, "t"))) {
        return SetupRefusal{Id::NtfyServerField,
                            "The ntfy server must be an address such as https://ntfy.sh."};
    }
    if (s.ntfyTopic.empty() &&
        (s.ntfyServer != NotifySettings{}.ntfyServer || !s.ntfyToken.empty())) {
        return SetupRefusal{Id::NtfyTopicField,
                            "ntfy needs a topic: the name you subscribe to in the ntfy app."};
    }
    if (!s.ntfyTopic.empty() && !IsNtfyTopic(s.ntfyTopic)) {
        return SetupRefusal{
            Id::NtfyTopicField,
            "The ntfy topic may hold only letters, digits, - and _, at most 64 of them."};
    }
    if (!s.ntfyToken.empty() && !IsKey(s.ntfyToken)) {
        return SetupRefusal{Id::NtfyTokenField,
                            "The ntfy access token holds characters no token has."};
    }
    if (!s.ntfyTopic.empty()) {
        // The server as it will be written: without a trailing slash.
        s.ntfyServer = SplitNtfyTopicUrl(NtfyTopicUrl(s.ntfyServer, s.ntfyTopic))->first;
    }

    // Pushover: both keys or neither.
    s.pushoverUser = Trimmed(entries.pushoverUser);
    s.pushoverToken = Trimmed(entries.pushoverToken);
    s.pushoverEmergency = entries.pushoverEmergency;
    for (const auto& [field, label, value, other] :
         {std::tuple{Id::PushoverUserField, Id::Label6, &s.pushoverUser, &s.pushoverToken},
          std::tuple{Id::PushoverTokenField, Id::Label7, &s.pushoverToken, &s.pushoverUser}}) {
        if (value->empty() && !other->empty()) {
            return SetupRefusal{field,
                                "Pushover needs both your user key and an application's token."};
        }
        if (!value->empty() && !IsKey(*value)) {
            return SetupRefusal{field,
                                "The Pushover " + Caption(label) + " holds characters no key has."};
        }
    }

    // Telegram: the bot and the chat, or neither.
    s.telegramToken = Trimmed(entries.telegramToken);
    s.telegramChatId = Trimmed(entries.telegramChatId);
    if (s.telegramToken.empty() != s.telegramChatId.empty()) {
        return SetupRefusal{
            s.telegramToken.empty() ? Id::TelegramTokenField : Id::TelegramChatIdField,
            "Telegram needs both the bot's token and the chat's id."};
    }
    if (!s.telegramToken.empty() &&
        (!IsKey(s.telegramToken) || s.telegramToken.find('/') != std::string::npos)) {
        return SetupRefusal{Id::TelegramTokenField,
                            "The Telegram bot token looks like 123456789:AA..."};
    }
    if (!s.telegramChatId.empty() && !IsChatId(s.telegramChatId)) {
        return SetupRefusal{
            Id::TelegramChatIdField,
            "The Telegram chat id is a number (a group's begins with -100) or @ and a "
            "channel's name."};
    }

    s.webhookUrl = Trimmed(entries.webhookUrl);
    if (!s.webhookUrl.empty() && !IsWebAddress(s.webhookUrl)) {
        return SetupRefusal{
            Id::WebhookUrlField,
            "The webhook address must begin with https:// or http:// and hold no blanks."};
    }

    // Plain http:// is for a server on the user's own network: said once,
    // when such an address is entered.
    NotifyChecked checked{s, {}};
    const bool newNtfy = !s.ntfyTopic.empty() && PlainHttp(s.ntfyServer) &&
                         (current.ntfyTopic.empty() || current.ntfyServer != s.ntfyServer);
    const bool newWebhook = PlainHttp(s.webhookUrl) && s.webhookUrl != current.webhookUrl;
    if (newNtfy || newWebhook) {
        checked.warning =
            std::string(newNtfy && newWebhook
                            ? "The ntfy server's and the webhook's addresses begin"
                        : newNtfy ? "The ntfy server's address begins"
                                  : "The webhook's address begins") +
            " with http://: the messages" +
            (newNtfy && !s.ntfyToken.empty() ? " and the access token" : "") +
            " cross the network unencrypted, for anyone on the way to read. Use it only on a "
            "network of your own.";
    }
    return checked;
}

}  // namespace nortavi::forms
