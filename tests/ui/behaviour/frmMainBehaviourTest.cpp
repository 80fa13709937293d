// SPDX-License-Identifier: MIT
// What the main window does, whatever draws it: a fake window on real
// status and config files, with a hand-set clock and a recording speaker.
#include "frmMainBehaviour.h"

#include "FakeMainHost.h"
#include "LoopbackHttp.h"
#include "RecordingPorts.h"
#include "TempFolder.h"
#include "frmMainDesign.h"
#include "frmSetupDesign.h"

#include <filesystem>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace nortavi {
namespace {

using behaviour::CloseReason;
using behaviour::MessageKind;
using Id = forms::frmMainId;
using namespace std::chrono_literals;

const LocalTime kStart = *MakeLocalTime(2026, 12, 7, 22, 0, 0);
constexpr const char* kDefaultsAfterPath =
    "timeToSafe,15\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\nalarmOnSafe,False\r\nalarmOnUnsafe,True\r\n";

class frmMainBehaviourTest : public testing::Test {
protected:
    std::string Folder() const { return folder.WithSeparator(); }
    std::string StatusPath() const { return folder.File("status.txt"); }
    void WriteConfig(const std::string& afterPath = kDefaultsAfterPath) const
    {
        folder.Write("config.ini", "statusPath," + StatusPath() + "\r\n" + afterPath);
    }
    void WriteStatus(const char* condition)
    {
        folder.Write("status.txt", FormatLocalTime(clock.Now()) + "," + condition + "\r\n");
    }
    static std::string Publishing(std::uint16_t port, bool on = true)
    {
        return std::string(kDefaultsAfterPath) + "alpacaServer," + (on ? "True" : "False") +
               "\r\nalpacaPort," + std::to_string(port) + "\r\nalpacaAllowRemote,False\r\n" +
               "alpacaDiscoveryPort," + std::to_string(test::FreeLoopbackPort()) + "\r\n";
    }

    behaviour::frmMainBehaviour& Open(SoundOutput* speaker = nullptr)
    {
        form = std::make_unique<behaviour::frmMainBehaviour>(settings, clock, speaker ? *speaker : sound,
                                                              Folder(), TimeStampFormat{}, host);
        form->Form_Load();
        return *form;
    }

    // Setup, answered with `change` to what it shows and OK; what OK said.
    std::optional<forms::SetupRefusal> SetupOk(const std::function<void(forms::SetupEntries&)>& change)
    {
        std::optional<forms::SetupRefusal> refusal;
        host.whileSetupOpen = [&] {
            forms::SetupEntries entries = form->SetupForm().Form_Load();
            change(entries);
            refusal = form->SetupForm().cmdOK_Click(entries);
        };
        form->SetupButton_Click();
        host.whileSetupOpen = {};
        return refusal;
    }

    TempFolder folder;
    Settings settings;
    ManualClock clock{kStart};
    RecordingSound sound;
    FakeMainHost host;
    std::unique_ptr<behaviour::frmMainBehaviour> form;
};

TEST_F(frmMainBehaviourTest, LoadStartsTheTimerAndPollsOnceThenClosingStopsItAndSaves)
{
    Open();  // no config.ini, no status file: the feed is stale from the first poll
    EXPECT_EQ(host.timerInterval, forms::kPollIntervalMs);
    EXPECT_EQ(host.captions[Id::StatusField], "UNKNOWN");
    EXPECT_EQ(host.captions[Id::AlarmButton], "Cancel Comms Alarm");
    EXPECT_TRUE(host.enabled[Id::AlarmButton]);
    EXPECT_EQ(host.attention, std::vector<bool>{true});

    EXPECT_TRUE(form->Form_QueryUnload(CloseReason::User));
    EXPECT_EQ(host.timerInterval, 0);
    EXPECT_EQ(folder.Read("config.ini"), "statusPath," + Folder() + "\r\n" + kDefaultsAfterPath);
    const std::size_t tones = sound.tonesPlayed.size();
    form->Timer1_Timer();  // a tick already queued when the window went
    EXPECT_EQ(sound.tonesPlayed.size(), tones);
}

TEST_F(frmMainBehaviourTest, ClosingWritesWhatWasReadInTheFilesOwnForm)
{
    // Values read by position; a flag spelt otherwise than "True" is false.
    WriteConfig("key,-7\r\ntimeToUnsafe,32767\r\ncloudyAsClear,True\r\nalarmOnSafe,true\r\n"
                "alarmOnUnsafe,False\r\nextra,line\r\n");
    Open();
    EXPECT_TRUE(form->Form_QueryUnload(CloseReason::User));
    EXPECT_EQ(folder.Read("config.ini"),
              "statusPath," + StatusPath() + "\r\ntimeToSafe,-7\r\ntimeToUnsafe,32767\r\n"
              "cloudyAsClear,True\r\nalarmOnSafe,False\r\nalarmOnUnsafe,False\r\n");
}

// A speaker that lets a tick in while it sounds, as a sound backend that
// runs the event loop would.
class TickingSound final : public SoundOutput {
public:
    std::function<void()> tick;
    int depth = 0;
    int deepest = 0;
    void PlayWaveAsync(const std::string&) override {}
    void PlayTone(int, int) override
    {
        ++depth;
        deepest = std::max(deepest, depth);
        if (depth == 1 && tick) {
            tick();
        }
        --depth;
    }
};

TEST_F(frmMainBehaviourTest, ATickDuringAPollIsDroppedNotNested)
{
    TickingSound speaker;
    Open(&speaker);  // the comms alarm sounds at every poll
    speaker.tick = [this] { form->Timer1_Timer(); };
    speaker.deepest = 0;
    form->Timer1_Timer();
    EXPECT_EQ(speaker.deepest, 1);
}

TEST_F(frmMainBehaviourTest, AlarmButtonSilencesOnlyWhileAnAlarmIsUpAndAttentionFollowsIt)
{
    Open();  // the comms alarm
    form->Form_Deactivate();  // asked again when the user turns away
    form->AlarmButton_Click();
    EXPECT_FALSE(form->State().commsAlarmActive);
    EXPECT_FALSE(host.enabled[Id::AlarmButton]);
    form->Form_Deactivate();
    form->AlarmButton_Click();  // Enter with nothing up
    EXPECT_EQ(host.attention, (std::vector<bool>{true, true, false}));
}

TEST_F(frmMainBehaviourTest, TurningPublishingOnInSetupServesWhatTheWindowShowsAtOnce)
{
    WriteConfig();
    WriteStatus("CLEAR");
    Open();  // SAFE, from a fresh CLEAR
    const std::uint16_t port = test::FreeLoopbackPort();
    ASSERT_FALSE(SetupOk([&](forms::SetupEntries& entries) {
        entries.alpacaServer = true;
        entries.alpacaPort = std::to_string(port);
    }));
    const std::string isSafe = "/api/v1/safetymonitor/0/issafe";
    test::LoopbackHttp(port, "PUT", "/api/v1/safetymonitor/0/connect");
    EXPECT_NE(test::LoopbackHttp(port, "GET", isSafe).find("\"Value\":true"), std::string::npos);
    clock.Advance(151s);  // the sensor stopped writing: UNKNOWN
    form->Timer1_Timer();
    EXPECT_NE(test::LoopbackHttp(port, "GET", isSafe).find("\"Value\":false"), std::string::npos);

    // The unique id made for it is saved with it.
    const std::string saved = folder.Read("config.ini");
    EXPECT_NE(saved.find("alpacaServer,True\r\nalpacaPort," + std::to_string(port)), std::string::npos);
    EXPECT_EQ(settings.alpaca.uniqueId.size(), 36U);
    EXPECT_NE(saved.find("alpacaUniqueId," + settings.alpaca.uniqueId), std::string::npos);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(frmMainBehaviourTest, AUniqueIdMadeAtLoadIsSavedAtOnceAndTheNextStartKeepsIt)
{
    WriteConfig(Publishing(test::FreeLoopbackPort()));  // publishing on, and no id yet
    Open();
    const std::string id = settings.alpaca.uniqueId;
    ASSERT_EQ(id.size(), 36U);
    EXPECT_NE(folder.Read("config.ini").find("alpacaUniqueId," + id + "\r\n"), std::string::npos)
        << "saved before any close: a program killed now keeps its id";

    // Killed, started again: the same id, and nothing to save at load.
    form.reset();
    folder.Write("config.ini", folder.Read("config.ini") + "extra,line\r\n");
    Open();
    EXPECT_EQ(settings.alpaca.uniqueId, id);
    EXPECT_NE(folder.Read("config.ini").find("extra,line"), std::string::npos);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(frmMainBehaviourTest, APortInUseIsRefusedInSetupWhilePublishingIsOn)
{
    const std::uint16_t serving = test::FreeLoopbackPort();
    WriteConfig(Publishing(serving));
    Open();
    const test::HeldPort other;
    const auto refusal = SetupOk([&](forms::SetupEntries& entries) {
        entries.alpacaPort = std::to_string(other.Port());
    });
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->field, forms::frmSetupId::AlpacaPortField);
    EXPECT_EQ(settings.alpaca.port, serving);
    EXPECT_FALSE(test::LoopbackHttp(serving, "GET", "/management/apiversions").empty());
    // Its own port is no refusal.
    EXPECT_FALSE(SetupOk([](forms::SetupEntries&) {}));
}

TEST_F(frmMainBehaviourTest, NetworkSettingsSurviveASaveWhilePublishingIsOff)
{
    WriteConfig(Publishing(12345, false) + "alpacaUniqueId,1b4e28ba-2fa1-41d2-883f-0016d3cca427\r\n");
    Open();
    form->SetupButton_Click();  // cancelled
    const std::string saved = folder.Read("config.ini");
    EXPECT_NE(saved.find("alpacaServer,False\r\nalpacaPort,12345\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("alpacaUniqueId,1b4e28ba-2fa1-41d2-883f-0016d3cca427\r\n"), std::string::npos);
}

TEST_F(frmMainBehaviourTest, APortInUseIsToldOnceTheWindowIsUpAndPollingGoesOn)
{
    const test::HeldPort other;
    WriteConfig(Publishing(other.Port()));
    WriteStatus("CLEAR");
    Open();
    EXPECT_TRUE(host.messages.empty()) << "told only once the window is up";
    host.RunPending();
    ASSERT_EQ(host.messages.size(), 1U);
    EXPECT_EQ(host.messages[0].kind, MessageKind::NetworkWarning);
    EXPECT_NE(host.messages[0].text.find("could not be opened"), std::string::npos);
    clock.Advance(5s);
    form->Timer1_Timer();
    EXPECT_EQ(host.captions[Id::StatusField], "SAFE");
    host.RunPending();
    EXPECT_EQ(host.messages.size(), 1U);
}

TEST_F(frmMainBehaviourTest, ANightLogThatCannotBeWrittenIsToldOnceTheWindowIsUpAndOnlyOnce)
{
    folder.Write("nights", "a file where the log's folder would be");
    WriteConfig();
    WriteStatus("CLEAR");
    Open();
    EXPECT_TRUE(host.messages.empty()) << "not from inside a poll";
    host.RunPending();
    ASSERT_EQ(host.messages.size(), 1U);
    EXPECT_EQ(host.messages[0].kind, MessageKind::NightLogWarning);
    WriteStatus("V.CLOUDY");
    clock.Advance(5s);
    form->Timer1_Timer();
    host.RunPending();
    EXPECT_EQ(host.messages.size(), 1U);
    EXPECT_EQ(host.captions[Id::ConditionField], "V.CLOUDY");
}

TEST_F(frmMainBehaviourTest, ASaveThatFailsIsToldAtEachSaveByTheUserButNeverAtTheSessionsEnd)
{
    std::filesystem::create_directory(folder.File("config.ini"));  // nobody can replace a folder
    Open();
    form->SetupButton_Click();
    form->SessionEnding();
    EXPECT_TRUE(form->Form_QueryUnload(CloseReason::User));
    ASSERT_EQ(host.messages.size(), 2U);
    EXPECT_EQ(host.messages[0].kind, MessageKind::SaveFailed);
    EXPECT_EQ(host.messages[0].text, "The settings could not be saved to " + Folder() + "config.ini.");
    EXPECT_EQ(host.messages[1].text, host.messages[0].text);

    form.reset();
    host.messages.clear();
    Open();
    EXPECT_TRUE(form->Form_QueryUnload(CloseReason::Session));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(frmMainBehaviourTest, ARouteThatDeliversNothingShowsInTheTitleUntilItIsChanged)
{
    // Nothing listens on the discard port: the feed-lost message of the
    // first poll (no status file) is refused at once.
    WriteConfig(std::string(kDefaultsAfterPath) + "webhookUrl,http://127.0.0.1:9/hook\r\n");
    Open();
    for (int tick = 0; tick < 100 && host.titles.empty(); ++tick) {
        std::this_thread::sleep_for(50ms);
        form->Timer1_Timer();
    }
    EXPECT_EQ(host.titles, std::vector<std::string>{"Nortavi - webhook not delivered since 22:00"});

    // A notification setting changed in Setup counts only with Setup's OK.
    const auto notifyOk = [this](const std::string& webhook) {
        behaviour::frmNotifyBehaviour& notify = form->SetupForm().NotifyForm();
        forms::NotifyEntries entries = notify.Form_Load();
        entries.webhookUrl = webhook;
        EXPECT_FALSE(notify.cmdOK_Click(entries).refusal);
    };
    host.whileSetupOpen = [&] {
        form->SetupForm().Form_Load();
        notifyOk("");
    };
    form->SetupButton_Click();  // cancelled
    EXPECT_EQ(settings.notify.webhookUrl, "http://127.0.0.1:9/hook");
    EXPECT_EQ(host.titles.size(), 1U);
    ASSERT_FALSE(SetupOk([&](forms::SetupEntries&) { notifyOk(""); }));
    EXPECT_EQ(settings.notify.webhookUrl, "");
    EXPECT_EQ(host.titles.back(), "Nortavi");
}

// A close asked for while a modal window is up, whether the toolkit closes
// modal windows at once or once its loop runs.
class CloseUnderAModalTest : public frmMainBehaviourTest, public testing::WithParamInterface<bool> {};

TEST_P(CloseUnderAModalTest, ClosesTheModalFirstDiscardsItsEditsAndSavesOnce)
{
    host.modalsCloseAtOnce = GetParam();
    WriteConfig();
    Open();
    bool closedAtOnce = false;
    host.whileSetupOpen = [&] {
        forms::SetupEntries edited = form->SetupForm().Form_Load();
        edited.timeToSafe = "20";  // typed, never stored
        closedAtOnce = form->Form_QueryUnload(CloseReason::User);
        std::filesystem::remove(folder.File("config.ini"));
    };
    form->SetupButton_Click();

    EXPECT_EQ(host.closeModalRequests, 1);
    EXPECT_EQ(closedAtOnce, GetParam());
    if (!closedAtOnce) {
        EXPECT_EQ(host.closeLaterRequests, 1) << "asked again once the dialog has returned";
        EXPECT_FALSE(std::filesystem::exists(folder.File("config.ini"))) << "saved only by the close";
        EXPECT_TRUE(form->Form_QueryUnload(CloseReason::User));
    }
    EXPECT_EQ(host.timerInterval, 0);
    EXPECT_EQ(settings.timeToSafe, 15);
    const std::string saved = folder.Read("config.ini");
    EXPECT_EQ(saved, closedAtOnce ? "" : "statusPath," + StatusPath() + "\r\n" + kDefaultsAfterPath);
    EXPECT_TRUE(host.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Toolkits, CloseUnderAModalTest, testing::Bool());

TEST_F(frmMainBehaviourTest, TheSessionsEndSavesAtOnceEvenUnderAModalAndAsksNothing)
{
    WriteConfig();
    Open();
    const std::string expected = folder.Read("config.ini");
    std::filesystem::remove(folder.File("config.ini"));
    std::string savedUnderTheModal;
    host.whileMessageOpen = [&](MessageKind) {
        form->SessionEnding();
        savedUnderTheModal = folder.Read("config.ini");
    };
    form->AboutButton_Click();
    EXPECT_EQ(savedUnderTheModal, expected);

    // A signal: the close that asks nothing, once the modal has gone.
    std::filesystem::remove(folder.File("config.ini"));
    std::filesystem::create_directory(folder.File("config.ini"));  // the save will fail
    bool closedAtOnce = true;
    host.whileMessageOpen = [&](MessageKind) { closedAtOnce = form->Form_QueryUnload(CloseReason::Session); };
    form->AboutButton_Click();
    EXPECT_FALSE(closedAtOnce);
    EXPECT_EQ(host.closeLaterRequests, 1);
    EXPECT_TRUE(form->Form_QueryUnload(CloseReason::User)) << "the close asked for again";
    ASSERT_EQ(host.messages.size(), 2U);
    EXPECT_EQ(host.messages[1].kind, MessageKind::About) << "no save warning";
}

TEST_F(frmMainBehaviourTest, NightHistoryIsDrawnAgainAtEachPollWhileOpenAndClosesWithTheWindow)
{
    Open();
    form->Timer1_Timer();
    EXPECT_EQ(host.historyRedraws, 0) << "not open";

    form->NightHistory_Click();
    form->NightHistory_Click();  // the open window comes to the front
    form->Timer1_Timer();
    form->Timer1_Timer();
    EXPECT_EQ(host.historyShown, 2);
    EXPECT_EQ(host.historyRedraws, 2);

    form->HistoryForm().Form_Unload();  // closed by the user
    form->Timer1_Timer();
    EXPECT_EQ(host.historyRedraws, 2);
    EXPECT_TRUE(form->Form_QueryUnload(CloseReason::User));
    EXPECT_EQ(host.historyCloses, 0) << "nothing to close";

    Open();
    form->NightHistory_Click();
    EXPECT_TRUE(form->Form_QueryUnload(CloseReason::User));
    EXPECT_EQ(host.historyCloses, 1);
    form->NightHistory_Click();  // a key already queued when the window went
    EXPECT_EQ(host.historyShown, 3);
}

struct PictureCase {
    const char* name;
    std::optional<std::string> path;  // in the test's folder; none: cancelled
    std::string picture;              // empty: could not be made
    bool written;
};

class SavePictureTest : public frmMainBehaviourTest, public testing::WithParamInterface<PictureCase> {};

TEST_P(SavePictureTest, SavesThePictureWholeOrSaysItWasNot)
{
    const PictureCase& c = GetParam();
    Open();
    form->NightHistory_Click();
    folder.Write("old.png", "old");
    host.picturePath = c.path ? std::optional(folder.File(*c.path)) : std::nullopt;
    host.picture = c.picture;
    form->HistoryForm().SaveButton_Click();

    EXPECT_EQ(host.pictureNamesOffered, std::vector<std::string>{"nortavi-night-2026-12-07-2200.png"});
    if (c.written) {
        EXPECT_EQ(folder.Read(*c.path), c.picture);
        EXPECT_TRUE(host.messages.empty());
    } else if (c.path) {
        ASSERT_EQ(host.messages.size(), 1U);
        EXPECT_EQ(host.messages[0].kind, MessageKind::PictureSaveFailed);
        EXPECT_EQ(host.messages[0].text, "The chart could not be saved to " + *host.picturePath + ".");
    } else {
        EXPECT_TRUE(host.messages.empty());
    }
    EXPECT_EQ(folder.Read("old.png"), c.path == "old.png" && c.written ? c.picture : "old");
}

INSTANTIATE_TEST_SUITE_P(
    Answers, SavePictureTest,
    testing::Values(PictureCase{"New", "night.png", "\x89PNG", true},
                    PictureCase{"OverAnOldOne", "old.png", "\x89PNG", true},
                    PictureCase{"CouldNotBeMadeLeavesTheOldOne", "old.png", "", false},
                    PictureCase{"FolderMissing", "gone/night.png", "\x89PNG", false},
                    PictureCase{"Cancelled", std::nullopt, "\x89PNG", false}),
    [](const testing::TestParamInfo<PictureCase>& param) { return std::string(param.param.name); });

// Closed while the file dialog is up, where modals close only once the
// event loop runs: the dialog closes first, then the window, and nothing
// is written after.
TEST_F(frmMainBehaviourTest, ClosingDuringTheSaveDialogClosesItFirstAndWritesNothing)
{
    Open();
    form->NightHistory_Click();
    host.picturePath = folder.File("night.png");
    bool closedAtOnce = true;
    host.whilePictureAsked = [&] { closedAtOnce = form->Form_QueryUnload(CloseReason::User); };
    form->HistoryForm().SaveButton_Click();

    EXPECT_FALSE(closedAtOnce);
    EXPECT_EQ(host.closeModalRequests, 1);
    EXPECT_EQ(host.closeLaterRequests, 1);
    EXPECT_FALSE(std::filesystem::exists(folder.File("night.png")));
    EXPECT_TRUE(form->Form_QueryUnload(CloseReason::User));
    EXPECT_EQ(host.historyCloses, 1);
}

}  // namespace
}  // namespace nortavi
