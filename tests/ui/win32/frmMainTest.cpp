// SPDX-License-Identifier: MIT
// The Win32 main window, driven through its timer, its buttons and the
// dialog manager's keys, on real status and config files.
#include "Dpi.h"
#include "ImportHook.h"
#include "FormTexts.h"
#include "Win32FormFixture.h"

#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kOrange = RGB(255, 128, 0);
constexpr std::size_t kSweepTones = 91;

std::string ConfigBytes(const std::string& statusPath, const char* rest)
{
    return "statusPath," + statusPath + "\r\n" + rest;
}

SIZE ClientSize(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

}  // namespace

using frmMainWin32Test = Win32FormFixture;

TEST_F(frmMainWin32Test, FirstStartIsAFixedWindowShowingUnknownWithTheCommsAlarm)
{
    Open();

    wchar_t className[32] = {};
    GetClassNameW(Main(), className, 32);
    EXPECT_EQ(std::wstring(className), L"frmMain");
    EXPECT_EQ(Text(Main()), "Nortavi");
    const auto style = GetWindowLongPtrW(Main(), GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME));

    EXPECT_EQ(Text(MainControl(MainId::ConditionField)), "UNKNOWN");
    EXPECT_EQ(TextColour(MainControl(MainId::ConditionField)), kRed);
    EXPECT_EQ(Text(MainControl(MainId::StatusField)), "UNKNOWN");
    EXPECT_EQ(TextColour(MainControl(MainId::StatusField)), kRed);
    EXPECT_EQ(Text(MainControl(MainId::MinsSinceClearField)), "0");
    EXPECT_TRUE(IsWindowEnabled(MainControl(MainId::AlarmButton)));
    EXPECT_EQ(Text(MainControl(MainId::AlarmButton)), "Cancel Comms Alarm");
    EXPECT_EQ(sound_.tonesPlayed.size(), kSweepTones);
    EXPECT_EQ(settings_.statusPath, Folder());
}

TEST_F(frmMainWin32Test, AnAlarmFlashesTheTaskBarButtonUntilItIsCancelled)
{
    static std::vector<DWORD> flashes;
    flashes.clear();
    const ImportHook hook("user32.dll", "FlashWindowEx", reinterpret_cast<const void*>(+[](PFLASHWINFO flash) -> BOOL {
                              flashes.push_back(flash->dwFlags);
                              return TRUE;
                          }));
    Open();  // first start: the comms alarm
    EXPECT_EQ(flashes, std::vector<DWORD>{FLASHW_TRAY | FLASHW_TIMER});
    // Asked again when the user turns to another window; not at every poll.
    Tick();
    SendMessageW(Main(), WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(flashes.size(), 2U);
    SendMessageW(MainControl(MainId::AlarmButton), BM_CLICK, 0, 0);
    EXPECT_EQ(flashes.back(), static_cast<DWORD>(FLASHW_STOP));
    SendMessageW(Main(), WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(flashes.back(), static_cast<DWORD>(FLASHW_STOP)) << "no flashing once cancelled";
}

TEST_F(frmMainWin32Test, LaysItselfOutAgainWhenItsMonitorsDpiChanges)
{
    Open();
    const UINT dpi = nortavi::win32::WindowDpi(Main());
    // 4620 x 7635 twips: 308 x 509 pixels at 96 dots per inch.
    EXPECT_EQ(ClientSize(Main()).cx, MulDiv(308, static_cast<int>(dpi), 96));
    EXPECT_EQ(ClientSize(Main()).cy, MulDiv(509, static_cast<int>(dpi), 96));

    for (const UINT newDpi : {144u, 192u, 96u}) {
        SCOPED_TRACE(newDpi);
        RECT suggested{40, 30, 600, 900};
        SendMessageW(Main(), WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi),
                     reinterpret_cast<LPARAM>(&suggested));
        EXPECT_EQ(ClientSize(Main()).cx, MulDiv(4620, static_cast<int>(newDpi), 1440));
        EXPECT_EQ(ClientSize(Main()).cy, MulDiv(7635, static_cast<int>(newDpi), 1440));
        // AlarmButton: 4095 twips wide; its 20-point caption grows with it.
        EXPECT_EQ(ClientSize(MainControl(MainId::AlarmButton)).cx,
                  MulDiv(4095, static_cast<int>(newDpi), 1440));
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(
                       SendMessageW(MainControl(MainId::AlarmButton), WM_GETFONT, 0, 0)),
                   sizeof font, &font);
        EXPECT_NEAR(-font.lfHeight, 20.25 * newDpi / 72, 20.25 * newDpi / 72 * 0.2);
    }
}

struct SkyCase {
    const char* name;
    const char* cloudyAsClear;
    const char* condition;
    COLORREF conditionColour;
    const char* status;
    COLORREF statusColour;
};

class frmMainWin32SkyTest : public Win32FormFixture,
                            public ::testing::WithParamInterface<SkyCase> {};

TEST_P(frmMainWin32SkyTest, ShowsTheSkyInItsColourWithoutAlarmingForTheSkyFoundAtStart)
{
    const SkyCase& c = GetParam();
    WriteConfig(std::string("timeToSafe,15\r\ntimeToUnsafe,5\r\ncloudyAsClear,") + c.cloudyAsClear +
                "\r\nalarmOnSafe,True\r\nalarmOnUnsafe,True\r\n");
    WriteStatus(c.condition);
    Open();

    EXPECT_EQ(Text(MainControl(MainId::ConditionField)), c.condition);
    EXPECT_EQ(TextColour(MainControl(MainId::ConditionField)), c.conditionColour);
    EXPECT_EQ(Text(MainControl(MainId::StatusField)), c.status);
    EXPECT_EQ(TextColour(MainControl(MainId::StatusField)), c.statusColour);
    EXPECT_FALSE(IsWindowEnabled(MainControl(MainId::AlarmButton)));
    EXPECT_TRUE(sound_.tonesPlayed.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Skies, frmMainWin32SkyTest,
    ::testing::Values(SkyCase{"Clear", "False", "CLEAR", kGreen, "SAFE", kGreen},
                      SkyCase{"VCloudy", "False", "V.CLOUDY", kRed, "UNSAFE", kRed},
                      SkyCase{"CloudyAsClear", "True", "CLOUDY", kOrange, "SAFE", kGreen}),
    [](const ::testing::TestParamInfo<SkyCase>& param) { return std::string(param.param.name); });

TEST_F(frmMainWin32Test, EnterInAMinuteFieldSilencesTheUnsafeAlarmForGood)
{
    WriteConfig();
    WriteStatus("CLEAR");
    Open();
    for (int poll = 0; poll < 5 * 12 && Text(MainControl(MainId::StatusField)) != "UNSAFE";
         ++poll) {
        clock_.Advance(5s);
        WriteStatus("V.CLOUDY");
        Tick();
    }
    ASSERT_EQ(Text(MainControl(MainId::AlarmButton)), "Cancel Unsafe Alarm");
    ASSERT_TRUE(IsWindowEnabled(MainControl(MainId::AlarmButton)));

    PressKey(MainControl(MainId::MinsSinceCloudyField), VK_RETURN);
    EXPECT_FALSE(IsWindowEnabled(MainControl(MainId::AlarmButton)));
    EXPECT_EQ(Text(MainControl(MainId::AlarmButton)), "Cancel Alarm");

    sound_.Clear();
    clock_.Advance(5s);
    WriteStatus("V.CLOUDY");
    Tick();
    EXPECT_FALSE(IsWindowEnabled(MainControl(MainId::AlarmButton)));
    EXPECT_TRUE(sound_.tonesPlayed.empty());
}

TEST_F(frmMainWin32Test, TabVisitsTheFieldsAndButtonsInTheWindowsOrder)
{
    Open();  // first start: the comms alarm enables the button
    ShowWindow(Main(), SW_SHOW);
    SetForegroundWindow(Main());
    SetFocus(MainControl(MainId::MinsSinceClearField));
    const auto tabOrder = [] {
        std::vector<int> visited{GetDlgCtrlID(GetFocus())};
        for (int i = 0; i < 8; ++i) {
            PressKey(GetFocus(), VK_TAB);
            visited.push_back(GetDlgCtrlID(GetFocus()));
            if (visited.back() == visited.front()) {
                break;
            }
        }
        return visited;
    };
    const std::vector<int> withAlarm{MainId::MinsSinceClearField,   MainId::MinsSinceCloudyField,
                                     MainId::SetupButton,           MainId::AboutButton,
                                     MainId::MinsSinceVCloudyField, MainId::AlarmButton,
                                     MainId::MinsSinceClearField};
    EXPECT_EQ(tabOrder(), withAlarm);

    // Pressed while it has the focus, the button gives the focus on as it
    // turns disabled.
    SetFocus(MainControl(MainId::AlarmButton));
    SendMessageW(GetFocus(), BM_CLICK, 0, 0);
    ASSERT_FALSE(IsWindowEnabled(MainControl(MainId::AlarmButton)));
    EXPECT_EQ(GetFocus(), MainControl(MainId::MinsSinceClearField));
    SetFocus(MainControl(MainId::MinsSinceClearField));
    std::vector<int> withoutAlarm = withAlarm;
    withoutAlarm.erase(withoutAlarm.end() - 2);
    EXPECT_EQ(tabOrder(), withoutAlarm);
}

TEST_F(frmMainWin32Test, AboutShowsTheCreditWhilePollsGoOn)
{
    WriteConfig();
    WriteStatus("CLEAR");
    Open();
    SetTimer(Main(), MainId::Timer1, 10,
             nullptr);  // the real five seconds would only slow the test

    std::string title;
    std::string text;
    std::string seenWhileOpen;
    AnswerNextModal([&](HWND box) {
        title = Text(box);
        text = MessageText(box);
        WriteStatus("V.CLOUDY");
        for (int i = 0; i < 200 && Text(MainControl(MainId::ConditionField)) != "V.CLOUDY"; ++i) {
            Sleep(10);
            Pump();
        }
        seenWhileOpen = Text(MainControl(MainId::ConditionField));
        PressKey(box, VK_RETURN);
    });
    SendMessageW(MainControl(MainId::AboutButton), BM_CLICK, 0, 0);

    EXPECT_EQ(title, "Nortavi");
    EXPECT_EQ(text, nortavi::forms::AboutText());
    EXPECT_EQ(seenWhileOpen, "V.CLOUDY");
}

TEST_F(frmMainWin32Test, ClosingUnderSetupAndARefusalClosesBothFirstThenWritesConfigIni)
{
    // Values read by position; a flag spelt otherwise than "True" is false.
    folder_.Write("config.ini",
                  ConfigBytes(folder_.File("status.txt"),
                              "key,-7\r\ntimeToUnsafe,32767\r\ncloudyAsClear,True\r\n"
                              "alarmOnSafe,true\r\nalarmOnUnsafe,False\r\nextra,line\r\n"));
    Open();
    ShowWindow(Main(), SW_SHOW);
    bool modalsClosedFirst = false;
    AnswerNextModal([&](HWND setup) {
        // An edit that is never stored: OK refuses it, and the window is
        // closed from under the refusal.
        SetText(GetDlgItem(setup, SetupId::TimeToSafeField), "soon");
        AnswerNextModal([&](HWND refusal) {
            SendMessageW(Main(), WM_CLOSE, 0, 0);
            for (int i = 0; i < 200 && (IsWindowVisible(refusal) || IsWindowVisible(setup)); ++i) {
                Sleep(10);
                Pump();
            }
            modalsClosedFirst =
                !IsWindowVisible(refusal) && !IsWindowVisible(setup) && form_->hWnd() != nullptr;
        });
        PressKey(GetDlgItem(setup, SetupId::cmdOK), VK_RETURN);
    });
    SendMessageW(MainControl(MainId::SetupButton), BM_CLICK, 0, 0);
    Pump();

    EXPECT_TRUE(modalsClosedFirst);
    EXPECT_EQ(form_->hWnd(), nullptr) << "the window did not close";
    EXPECT_EQ(ReadFile("config.ini"),
              ConfigBytes(folder_.File("status.txt"),
                          "timeToSafe,-7\r\ntimeToUnsafe,32767\r\ncloudyAsClear,True\r\n"
                          "alarmOnSafe,False\r\nalarmOnUnsafe,False\r\n"));
}

TEST_F(frmMainWin32Test, ASaveThatFailsIsReportedAndClosingStillProceeds)
{
    // A folder where config.ini should be: it cannot be replaced.
    ASSERT_TRUE(CreateDirectoryA(folder_.File("config.ini").c_str(), nullptr));
    Open();
    std::string warning;
    AnswerNextModal([&](HWND box) { warning = MessageText(box); });
    SendMessageW(Main(), WM_CLOSE, 0, 0);

    EXPECT_EQ(form_->hWnd(), nullptr);
    EXPECT_EQ(warning, nortavi::forms::SaveFailedText(folder_.File("config.ini")));
}

// High Contrast, which wine cannot turn on, as the window reads it, on a
// black face with white text: PENDING's black gives way to the system's
// text colour, red stands out and stays; without High Contrast, no change.
TEST_F(frmMainWin32Test, InHighContrastPendingTakesTheSystemsTextColourOnABlackFace)
{
    static bool highContrast = true;
    static const ImportHook* settings = nullptr;
    const ImportHook settingsHook(
        "user32.dll", "SystemParametersInfoW",
        reinterpret_cast<const void*>(+[](UINT action, UINT size, PVOID value, UINT flags) -> BOOL {
            if (action != SPI_GETHIGHCONTRAST) {
                using Function = decltype(&SystemParametersInfoW);
                return settings->Original<Function>()(action, size, value, flags);
            }
            static_cast<HIGHCONTRASTW*>(value)->dwFlags = highContrast ? HCF_HIGHCONTRASTON : 0;
            return TRUE;
        }));
    settings = &settingsHook;
    const ImportHook colours(
        "user32.dll", "GetSysColor", reinterpret_cast<const void*>(+[](int index) -> DWORD {
            return index == COLOR_BTNFACE ? RGB(0, 0, 0) : RGB(255, 255, 255);
        }));
    WriteConfig();
    WriteStatus("clear");  // no condition: PENDING
    Open();
    ASSERT_EQ(Text(MainControl(MainId::StatusField)), "PENDING");
    EXPECT_EQ(TextColour(MainControl(MainId::StatusField)), RGB(255, 255, 255));
    EXPECT_EQ(TextColour(MainControl(MainId::ConditionField)), kRed);

    highContrast = false;
    SendMessageW(Main(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(TextColour(MainControl(MainId::StatusField)), RGB(0, 0, 0));
    highContrast = true;
    SendMessageW(Main(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    EXPECT_EQ(TextColour(MainControl(MainId::StatusField)), RGB(255, 255, 255));
}
