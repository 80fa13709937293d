// SPDX-License-Identifier: MIT
// The notification dialog's check-then-store rule: what it refuses, on
// which field, and what it warns of.
#include "NotifyEntries.h"
#include "frmNotifyDesign.h"

#include <gtest/gtest.h>

#include <functional>

namespace nortavi::forms {
namespace {

using Id = frmNotifyId;

NotifyEntries Typed(const std::function<void(NotifyEntries&)>& change)
{
    NotifyEntries entries = EntriesFromNotifySettings(NotifySettings{});
    change(entries);
    return entries;
}

TEST(NotifyEntriesTest, RefusesOnTheFieldThatIsWrong)
{
    const struct {
        const char* name;
        std::function<void(NotifyEntries&)> change;
        int field;
    } cases[] = {
        {"RepeatNotANumber", [](NotifyEntries& e) { e.repeatMinutes = "ten"; }, Id::RepeatMinutesField},
        {"RepeatNegative", [](NotifyEntries& e) { e.repeatMinutes = "-1"; }, Id::RepeatMinutesField},
        {"TopicWithABlank", [](NotifyEntries& e) { e.ntfyTopic = "my roof"; }, Id::NtfyTopicField},
        {"ServerNotAnAddress", [](NotifyEntries& e) { e.ntfyServer = "ntfy.sh"; e.ntfyTopic = "r"; },
         Id::NtfyServerField},
        {"OwnServerWithoutTopic", [](NotifyEntries& e) { e.ntfyServer = "https://ntfy.home"; }, Id::NtfyTopicField},
        {"PushoverTokenMissing", [](NotifyEntries& e) { e.pushoverUser = "u1"; }, Id::PushoverTokenField},
        {"PushoverUserMissing", [](NotifyEntries& e) { e.pushoverToken = "a1"; }, Id::PushoverUserField},
        {"PushoverKeyWithAComma", [](NotifyEntries& e) { e.pushoverUser = "u,1"; e.pushoverToken = "a"; },
         Id::PushoverUserField},
        {"TelegramChatMissing", [](NotifyEntries& e) { e.telegramToken = "1:A"; }, Id::TelegramChatIdField},
        {"TelegramChatNotAnId", [](NotifyEntries& e) { e.telegramToken = "1:A"; e.telegramChatId = "my group"; },
         Id::TelegramChatIdField},
        {"TokenNotASCII", [](NotifyEntries& e) { e.ntfyTopic = "r"; e.ntfyToken = "tk_\xC3\xA9"; }, Id::NtfyTokenField},
        {"WebhookWithoutScheme", [](NotifyEntries& e) { e.webhookUrl = "ha.local/hook"; }, Id::WebhookUrlField},
    };
    for (const auto& c : cases) {
        const auto checked = CheckNotifyEntries(Typed(c.change), NotifySettings{});
        const auto* refusal = std::get_if<SetupRefusal>(&checked);
        ASSERT_NE(refusal, nullptr) << c.name;
        EXPECT_EQ(refusal->field, c.field) << c.name << ": " << refusal->message;
    }
}

TEST(NotifyEntriesTest, StoresWhatWasTypedWithoutBlanksAndWarnsOnceOfPlainHttp)
{
    NotifySettings current;
    current.pushoverServer = "https://pushover.test";  // not in the dialog: kept
    const NotifyEntries entries = Typed([](NotifyEntries& e) {
        e.onSafe = true;
        e.repeatMinutes = " 0 ";
        e.ntfyServer = "http://pi.local:8080/";
        e.ntfyTopic = " roof-7\n";
        e.telegramToken = "123:AA-bb_9";
        e.telegramChatId = "-100123";
        e.webhookUrl = "https://ha.local/api/webhook/x";
    });
    const auto checked = CheckNotifyEntries(entries, current);
    ASSERT_TRUE(std::holds_alternative<NotifyChecked>(checked));
    const NotifyChecked& stored = std::get<NotifyChecked>(checked);
    EXPECT_TRUE(stored.settings.onSafe);
    EXPECT_EQ(stored.settings.repeatMinutes, 0);
    EXPECT_EQ(stored.settings.ntfyServer, "http://pi.local:8080");
    EXPECT_EQ(stored.settings.ntfyTopic, "roof-7");
    EXPECT_EQ(stored.settings.pushoverServer, "https://pushover.test");
    EXPECT_NE(stored.warning.find("The ntfy server's address begins with http://"), std::string::npos)
        << stored.warning;

    // Stored once, the same address is not warned of again.
    const auto again = CheckNotifyEntries(entries, stored.settings);
    EXPECT_EQ(std::get<NotifyChecked>(again).warning, "");
}

}  // namespace
}  // namespace nortavi::forms
