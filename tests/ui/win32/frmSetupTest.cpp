// SPDX-License-Identifier: MIT
// The Win32 setup dialog, opened from the main window's Setup button and
// answered from inside its own modal loop.
#include "WideText.h"
#include "Win32FormFixture.h"

using frmSetupWin32Test = Win32FormFixture;

namespace {

constexpr const char* kDefaultsAfterPath =
    "timeToSafe,15\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\nalarmOnSafe,False\r\nalarmOnUnsafe,"
    "True\r\n";

HWND Item(HWND dialog, int id)
{
    return GetDlgItem(dialog, id);
}

bool Checked(HWND dialog, int id)
{
    return SendMessageW(Item(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

POINT Centre(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

}  // namespace

TEST_F(frmSetupWin32Test, FirstRunShowsTheDefaultsAndEveryWayOutButOkChangesNothing)
{
    Open();
    ShowWindow(Main(), SW_SHOW);
    const nortavi::Settings before = settings_;
    enum class WayOut { CancelButton, EscKey, CloseBox };
    for (const WayOut way : {WayOut::CancelButton, WayOut::EscKey, WayOut::CloseBox}) {
        SCOPED_TRACE(static_cast<int>(way));
        std::string className(16, '\0');
        std::string title, path, toSafe, toUnsafe;
        int item = -1;
        bool onSafe = true, onUnsafe = false, ownedByMain = false, startsOnOk = false;
        POINT centre{};
        AnswerNextModal([&](HWND dialog) {
            className.resize(static_cast<std::size_t>(GetClassNameA(dialog, className.data(), 16)));
            title = Text(dialog);
            ownedByMain = GetWindow(dialog, GW_OWNER) == Main();
            startsOnOk = GetFocus() == Item(dialog, SetupId::cmdOK);
            centre = Centre(dialog);
            path = Text(Item(dialog, SetupId::StatusPathField));
            toSafe = Text(Item(dialog, SetupId::TimeToSafeField));
            toUnsafe = Text(Item(dialog, SetupId::TimeToUnsafeField));
            item =
                static_cast<int>(SendMessageW(Item(dialog, SetupId::Combo1), CB_GETCURSEL, 0, 0));
            onSafe = Checked(dialog, SetupId::AlarmOnSafeCheck);
            onUnsafe = Checked(dialog, SetupId::AlarmOnUnsafeCheck);

            // Every field edited, then the dialog left without OK.
            SetText(Item(dialog, SetupId::StatusPathField), "C:\\elsewhere.txt");
            SetText(Item(dialog, SetupId::TimeToSafeField), "1");
            SetText(Item(dialog, SetupId::TimeToUnsafeField), "2");
            SendMessageW(Item(dialog, SetupId::Combo1), CB_SETCURSEL, 0, 0);
            SendMessageW(Item(dialog, SetupId::AlarmOnSafeCheck), BM_SETCHECK, BST_CHECKED, 0);
            SendMessageW(Item(dialog, SetupId::AlarmOnUnsafeCheck), BM_SETCHECK, BST_UNCHECKED, 0);
            switch (way) {
                case WayOut::CancelButton:
                    SendMessageW(Item(dialog, SetupId::cmdCancel), BM_CLICK, 0, 0);
                    break;
                case WayOut::EscKey:
                    PressKey(Item(dialog, SetupId::TimeToSafeField), VK_ESCAPE);
                    break;
                case WayOut::CloseBox:
                    // The close box posts its Cancel, as a click on it would.
                    SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
                    Pump();
                    break;
            }
            EXPECT_FALSE(IsWindowVisible(dialog)) << "still open";
        });
        SendMessageW(MainControl(MainId::SetupButton), BM_CLICK, 0, 0);

        EXPECT_EQ(className, "frmSetup");
        EXPECT_EQ(title, "Setup");
        EXPECT_TRUE(ownedByMain);
        EXPECT_TRUE(startsOnOk);
        EXPECT_LE(std::abs(centre.x - Centre(Main()).x) + std::abs(centre.y - Centre(Main()).y), 2);
        // Each opening shows the settings, never the last opening's edits.
        EXPECT_EQ(path, Folder());
        EXPECT_EQ(toSafe, "15");
        EXPECT_EQ(toUnsafe, "5");
        EXPECT_EQ(item, nortavi::forms::kCloudyAsVCloudyItem);
        EXPECT_FALSE(onSafe);
        EXPECT_TRUE(onUnsafe);
        EXPECT_EQ(settings_, before);
        // Saved however the dialog closed.
        EXPECT_EQ(ReadFile("config.ini"), "statusPath," + Folder() + "\r\n" + kDefaultsAfterPath);
    }
}

TEST_F(frmSetupWin32Test, EnterInAFieldStoresWhatWasTypedAndItIsSavedAtOnce)
{
    Open();
    std::string reopenedToSafe;
    AnswerNextModal([&](HWND dialog) {
        SetText(Item(dialog, SetupId::StatusPathField), "D:\\Sensor\\status.txt");
        SetText(Item(dialog, SetupId::TimeToSafeField), "007");
        SetText(Item(dialog, SetupId::TimeToUnsafeField), "-32768");
        SendMessageW(Item(dialog, SetupId::Combo1), CB_SETCURSEL, 0, 0);
        SendMessageW(Item(dialog, SetupId::AlarmOnSafeCheck), BM_SETCHECK, BST_CHECKED, 0);
        PressKey(Item(dialog, SetupId::TimeToUnsafeField), VK_RETURN);
    });
    SendMessageW(MainControl(MainId::SetupButton), BM_CLICK, 0, 0);

    EXPECT_EQ(settings_,
              (nortavi::Settings{"D:\\Sensor\\status.txt", 7, -32768, true, true, true}));
    EXPECT_EQ(ReadFile("config.ini"),
              "statusPath,D:\\Sensor\\status.txt\r\ntimeToSafe,7\r\ntimeToUnsafe,-32768\r\n"
              "cloudyAsClear,True\r\nalarmOnSafe,True\r\nalarmOnUnsafe,True\r\n");

    AnswerNextModal(
        [&](HWND dialog) { reopenedToSafe = Text(Item(dialog, SetupId::TimeToSafeField)); });
    SendMessageW(MainControl(MainId::SetupButton), BM_CLICK, 0, 0);
    EXPECT_EQ(reopenedToSafe, "7");
}

TEST_F(frmSetupWin32Test, WhatCannotBeStoredIsRefusedAndNothingChanges)
{
    Open();
    ShowWindow(Main(), SW_SHOW);
    const nortavi::Settings before = settings_;
    // A letter outside the system code page (Cyrillic on a Western PC), or,
    // where the code page has it, a number that is no number.
    const bool pathFits = nortavi::win32::NarrowExactly(L"C:\\\u0416\\status.txt").has_value();
    struct Refusal {
        std::string message;
        bool focusOnField = false;
        bool dialogStayedOpen = false;
    };
    std::vector<Refusal> refusals;
    AnswerNextModal([&](HWND dialog) {
        const auto refuse = [&](int field) {
            AnswerNextModal([&](HWND box) {
                refusals.push_back({MessageText(box)});
                PressKey(box, VK_RETURN);
            });
            PressKey(Item(dialog, SetupId::cmdOK), VK_RETURN);
            refusals.back().focusOnField = GetFocus() == Item(dialog, field);
            refusals.back().dialogStayedOpen = IsWindowVisible(dialog) != FALSE;
        };
        if (!pathFits) {
            SetWindowTextW(Item(dialog, SetupId::StatusPathField), L"C:\\\u0416\\status.txt");
            refuse(SetupId::StatusPathField);
            SetText(Item(dialog, SetupId::StatusPathField), Folder());
        }
        SetText(Item(dialog, SetupId::TimeToSafeField), "12x");
        refuse(SetupId::TimeToSafeField);
        SetText(Item(dialog, SetupId::TimeToSafeField), "12");
        SetText(Item(dialog, SetupId::TimeToUnsafeField), "32768");
        refuse(SetupId::TimeToUnsafeField);
        SetText(Item(dialog, SetupId::TimeToUnsafeField), "5");
        SetText(Item(dialog, SetupId::AlpacaPortField), "0");
        refuse(SetupId::AlpacaPortField);
        SendMessageW(Item(dialog, SetupId::cmdCancel), BM_CLICK, 0, 0);
    });
    SendMessageW(MainControl(MainId::SetupButton), BM_CLICK, 0, 0);

    std::vector<std::string> expected;
    if (!pathFits) {
        expected.push_back(
            "Status path holds characters that config.ini cannot hold: it keeps the text in this "
            "system's code page. Choose a path without them.");
    }
    expected.push_back(
        "Time Clear to become safe must be a whole number of minutes from -32768 to 32767.");
    expected.push_back(
        "Time V.Cloudy to become unsafe must be a whole number of minutes from -32768 to 32767.");
    expected.push_back("Port must be a whole number from 1 to 65535.");
    ASSERT_EQ(refusals.size(), expected.size());
    for (std::size_t i = 0; i < refusals.size(); ++i) {
        EXPECT_EQ(refusals[i].message, expected[i]);
        EXPECT_TRUE(refusals[i].focusOnField) << expected[i];
        EXPECT_TRUE(refusals[i].dialogStayedOpen) << expected[i];
    }
    EXPECT_EQ(settings_, before);
}

namespace {

using NotifyId = nortavi::forms::frmNotifyId;

// The box that tells the test message's result comes from the dialog's
// own timer, while the dialog's loop runs: answered from a timer too.
HWND notifyDialog = nullptr;
std::wstring testResult;

void CALLBACK AnswerTheResultBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    const HWND box = GetLastActivePopup(notifyDialog);
    if (box == notifyDialog || !IsWindowVisible(box)) {
        return;
    }
    KillTimer(nullptr, timer);
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);  // a message box's text
    testResult = text;
    EndDialog(box, IDOK);
}

}  // namespace

TEST_F(frmSetupWin32Test, NotificationsOpenFromSetupTellATestsResultAndStoreWithSetupsOk)
{
    WriteConfig();
    Open();
    std::string title, shownServer, testCaption;
    testResult.clear();
    AnswerNextModal([&](HWND setup) {
        AnswerNextModal([&](HWND notify) {
            notifyDialog = notify;
            title = Text(notify);
            shownServer = Text(Item(notify, NotifyId::NtfyServerField));
            // A server nothing answers: the result comes at once, as a refusal of the connection.
            SetText(Item(notify, NotifyId::NtfyServerField), "https://127.0.0.1:9");
            SetText(Item(notify, NotifyId::NtfyTopicField), "roof-7");
            SendMessageW(Item(notify, NotifyId::cmdTest), BM_CLICK, 0, 0);
            testCaption = Text(Item(notify, NotifyId::cmdTest));
            SetTimer(nullptr, 0, 20, AnswerTheResultBox);
            for (int i = 0; i < 500 && testResult.empty(); ++i) {
                Pump();
                Sleep(10);
            }
            SendMessageW(Item(notify, NotifyId::cmdOK), BM_CLICK, 0, 0);
        });
        SendMessageW(Item(setup, SetupId::NotifyButton), BM_CLICK, 0, 0);
        SendMessageW(Item(setup, SetupId::cmdOK), BM_CLICK, 0, 0);
    });
    SendMessageW(MainControl(MainId::SetupButton), BM_CLICK, 0, 0);

    EXPECT_EQ(title, "Notifications");
    EXPECT_EQ(shownServer, "https://ntfy.sh");
    EXPECT_EQ(testCaption, "Sending...");
    EXPECT_EQ(testResult.rfind(L"The test message:\nntfy: not delivered: no connection", 0), 0U)
        << nortavi::win32::Utf8FromWide(testResult).value_or("");
    EXPECT_EQ(settings_.notify.ntfyTopic, "roof-7");
}
