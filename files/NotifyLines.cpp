// SPDX-License-Identifier: MIT
#include "NotifyLines.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace nortavi {

namespace {

class AsTheyAre final : public SecretForm {
public:
    std::string Stored(std::string_view, const std::string& secret) override { return secret; }
    std::optional<std::string> Secret(std::string_view, const std::string& stored) override
    {
        return stored;
    }
};

const char* FlagText(bool flag)
{
    return flag ? "True" : "False";
}

// Only "True" and "False" change a flag of these lines.
void ReadFlag(const std::string& value, bool& setting)
{
    if (value == "True" || value == "False") {
        setting = value == "True";
    }
}

template <typename Number>
void ReadNumber(const std::string& value, Number low, Number high, Number& setting)
{
    Number number{};
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error == std::errc{} && end == value.data() + value.size() && number >= low &&
        number <= high) {
        setting = number;
    }
}

void ReadAddress(const std::string& value, bool emptyAllowed, std::string& setting)
{
    if ((emptyAllowed && value.empty()) || IsWebAddress(value)) {
        setting = value;
    }
}

constexpr std::int16_t kMostRepeatMinutes = 1440;
// What Pushover takes for an emergency message's repeat and expiry.
constexpr std::int32_t kPushoverLeastSeconds = 30;
constexpr std::int32_t kPushoverMostSeconds = 10800;

struct Line {
    std::string_view key;
    bool secret;
    std::string (*write)(const NotifySettings&);
    void (*read)(const std::string&, NotifySettings&);
    bool always;  // written whenever the notification lines are
};

// clang-format off
const std::array kLines{
    Line{"notifyOnSafe", false, [](const NotifySettings& s) -> std::string { return FlagText(s.onSafe); },
         [](const std::string& v, NotifySettings& s) { ReadFlag(v, s.onSafe); }, true},
    Line{"notifyOnUnsafe", false, [](const NotifySettings& s) -> std::string { return FlagText(s.onUnsafe); },
         [](const std::string& v, NotifySettings& s) { ReadFlag(v, s.onUnsafe); }, true},
    Line{"notifyOnFeedLost", false, [](const NotifySettings& s) -> std::string { return FlagText(s.onFeedLost); },
         [](const std::string& v, NotifySettings& s) { ReadFlag(v, s.onFeedLost); }, true},
    Line{"notifyOnFeedBack", false, [](const NotifySettings& s) -> std::string { return FlagText(s.onFeedBack); },
         [](const std::string& v, NotifySettings& s) { ReadFlag(v, s.onFeedBack); }, true},
    Line{"notifyOnCancel", false, [](const NotifySettings& s) -> std::string { return FlagText(s.onCancel); },
         [](const std::string& v, NotifySettings& s) { ReadFlag(v, s.onCancel); }, true},
    Line{"notifyRepeatMinutes", false, [](const NotifySettings& s) { return std::to_string(s.repeatMinutes); },
         [](const std::string& v, NotifySettings& s) {
             ReadNumber<std::int16_t>(v, 0, kMostRepeatMinutes, s.repeatMinutes); }, true},
    Line{"ntfyUrl", true, [](const NotifySettings& s) {
             return s.ntfyTopic.empty() ? std::string() : NtfyTopicUrl(s.ntfyServer, s.ntfyTopic); },
         [](const std::string& v, NotifySettings& s) {
             if (v.empty()) {
                 s.ntfyServer = NotifySettings{}.ntfyServer;
                 s.ntfyTopic.clear();
             } else if (auto parts = SplitNtfyTopicUrl(v)) {
                 std::tie(s.ntfyServer, s.ntfyTopic) = std::move(*parts);
             } }, true},
    Line{"ntfyToken", true, [](const NotifySettings& s) { return s.ntfyToken; },
         [](const std::string& v, NotifySettings& s) { s.ntfyToken = v; }, true},
    Line{"pushoverUser", true, [](const NotifySettings& s) { return s.pushoverUser; },
         [](const std::string& v, NotifySettings& s) { s.pushoverUser = v; }, true},
    Line{"pushoverToken", true, [](const NotifySettings& s) { return s.pushoverToken; },
         [](const std::string& v, NotifySettings& s) { s.pushoverToken = v; }, true},
    Line{"pushoverEmergency", false, [](const NotifySettings& s) -> std::string { return FlagText(s.pushoverEmergency); },
         [](const std::string& v, NotifySettings& s) { ReadFlag(v, s.pushoverEmergency); }, true},
    Line{"pushoverServer", false, [](const NotifySettings& s) { return s.pushoverServer; },
         [](const std::string& v, NotifySettings& s) { ReadAddress(v, false, s.pushoverServer); }, true},
    Line{"telegramChatId", false, [](const NotifySettings& s) { return s.telegramChatId; },
         [](const std::string& v, NotifySettings& s) { s.telegramChatId = v; }, true},
    Line{"telegramToken", true, [](const NotifySettings& s) { return s.telegramToken; },
         [](const std::string& v, NotifySettings& s) { s.telegramToken = v; }, true},
    Line{"telegramServer", false, [](const NotifySettings& s) { return s.telegramServer; },
         [](const std::string& v, NotifySettings& s) { ReadAddress(v, false, s.telegramServer); }, true},
    Line{"webhookUrl", true, [](const NotifySettings& s) { return s.webhookUrl; },
         [](const std::string& v, NotifySettings& s) { ReadAddress(v, true, s.webhookUrl); }, true},
    Line{"pushoverRetry", false, [](const NotifySettings& s) { return std::to_string(s.pushoverRetrySeconds); },
         [](const std::string& v, NotifySettings& s) {
             ReadNumber(v, kPushoverLeastSeconds, kPushoverMostSeconds, s.pushoverRetrySeconds); }, false},
    Line{"pushoverExpire", false, [](const NotifySettings& s) { return std::to_string(s.pushoverExpireSeconds); },
         [](const std::string& v, NotifySettings& s) {
             ReadNumber(v, kPushoverLeastSeconds, kPushoverMostSeconds, s.pushoverExpireSeconds); }, false},
    Line{"notifyCaFile", false, [](const NotifySettings& s) { return s.caFile; },
         [](const std::string& v, NotifySettings& s) { s.caFile = v; }, false},
};
// clang-format on

bool IsUrlCharacter(char c)
{
    // Printable ASCII, less what never stands unescaped in a URL.
    return c > ' ' && c < 0x7F && std::string_view("\"<>\\^`{|}").find(c) == std::string_view::npos;
}

}  // namespace

SecretForm& PlainSecrets()
{
    static AsTheyAre plain;
    return plain;
}

bool ReadNotifyLine(std::string_view key, const std::string& value, NotifySettings& settings,
                    SecretForm& secrets)
{
    const auto line = std::find_if(kLines.begin(), kLines.end(),
                                   [key](const Line& known) { return known.key == key; });
    if (line == kLines.end()) {
        return false;
    }
    if (!line->secret) {
        line->read(value, settings);
    } else if (const auto secret = secrets.Secret(key, value)) {
        line->read(*secret, settings);
    }
    return true;
}

bool NotifyValueReads(std::string_view key, const std::string& value)
{
    const auto line = std::find_if(kLines.begin(), kLines.end(),
                                   [key](const Line& known) { return known.key == key; });
    if (line == kLines.end()) {
        return false;
    }
    NotifySettings scratch;
    line->read(value, scratch);
    return line->write(scratch) == value;
}

void WriteNotifyLines(const NotifySettings& settings, SecretForm& secrets,
                      const std::function<void(std::string_view, const std::string&)>& line)
{
    const NotifySettings defaults;
    for (const Line& known : kLines) {
        const std::string value = known.write(settings);
        if (known.always || value != known.write(defaults)) {
            line(known.key, known.secret ? secrets.Stored(known.key, value) : value);
        }
    }
}

bool HoldsSecret(const NotifySettings& settings)
{
    return std::any_of(kLines.begin(), kLines.end(), [&settings](const Line& line) {
        return line.secret && !line.write(settings).empty();
    });
}

bool IsWebAddress(std::string_view text)
{
    std::size_t schemeEnd = 0;
    for (const std::string_view scheme : {"http://", "https://"}) {
        if (text.size() > scheme.size() &&
            std::equal(scheme.begin(), scheme.end(), text.begin(), [](char a, char b) {
                return a == (b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b);
            })) {
            schemeEnd = scheme.size();
        }
    }
    if (schemeEnd == 0 || !std::all_of(text.begin(), text.end(), IsUrlCharacter)) {
        return false;
    }
    const std::size_t hostEnd = text.find_first_of("/?#", schemeEnd);
    const std::string_view host = text.substr(schemeEnd, hostEnd - schemeEnd);
    return !host.empty() && host.front() != ':' && host.find('@') == std::string_view::npos;
}

bool IsNtfyTopic(std::string_view text)
{
    return !text.empty() && text.size() <= 64 && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
               c == '-' || c == '_';
    });
}

std::string NtfyTopicUrl(std::string_view server, std::string_view topic)
{
    while (!server.empty() && server.back() == '/') {
        server.remove_suffix(1);
    }
    return std::string(server) + "/" + std::string(topic);
}

std::optional<std::pair<std::string, std::string>> SplitNtfyTopicUrl(std::string_view url)
{
    const std::size_t slash = url.rfind('/');
    if (!IsWebAddress(url) || slash == std::string_view::npos ||
        url.find_first_of("?#") != std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view server = url.substr(0, slash);
    const std::string_view topic = url.substr(slash + 1);
    if (!IsWebAddress(server) || server.back() == '/' || !IsNtfyTopic(topic)) {
        return std::nullopt;
    }
    return std::pair{std::string(server), std::string(topic)};
}

}  // namespace nortavi
