// SPDX-License-Identifier: MIT
#include "Win32FormFixture.h"

#include "WideText.h"

#include <commctrl.h>

#include <deque>

using nortavi::win32::Utf8FromWide;
using nortavi::win32::WideFromUtf8;
using nortavi::win32::WindowText;

namespace {

std::deque<std::function<void(HWND)>> answers;
bool watchdogFired = false;

constexpr UINT kAnswerPollMs = 20;
constexpr UINT kWatchdogMs = 20000;

// The modal window on top: visible, enabled and owned by another window.
HWND TopModal()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            if (IsWindowVisible(window) && IsWindowEnabled(window) &&
                GetWindow(window, GW_OWNER) != nullptr) {
                *reinterpret_cast<HWND*>(result) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK AnswerTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    const HWND modal = TopModal();
    if (modal == nullptr || answers.empty()) {
        return;  // not up yet
    }
    KillTimer(nullptr, timer);
    const auto answer = std::move(answers.front());
    answers.pop_front();
    answer(modal);
    if (IsWindow(modal) && IsWindowVisible(modal)) {
        EndDialog(modal, IDCANCEL);
    }
}

void CALLBACK WatchdogTimer(HWND, UINT, UINT_PTR, DWORD)
{
    while (const HWND modal = TopModal()) {
        watchdogFired = true;
        EndDialog(modal, IDCANCEL);
    }
}

}  // namespace

const nortavi::LocalTime Win32FormFixture::kStart = *nortavi::MakeLocalTime(2026, 12, 7, 22, 0, 0);

Win32FormFixture::Win32FormFixture()
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    answers.clear();
    watchdogFired = false;
    watchdog_ = SetTimer(nullptr, 0, kWatchdogMs, WatchdogTimer);
}

void Win32FormFixture::TearDown()
{
    form_.reset();
    KillTimer(nullptr, watchdog_);
    EXPECT_FALSE(watchdogFired) << "a modal window was left open";
    EXPECT_TRUE(answers.empty()) << "a modal window that was expected never opened";
}

std::string Win32FormFixture::ReadFile(const std::string& name) const
{
    return ScratchFolder::ReadWholeFile(folder_.File(name)).value_or("<missing>");
}

void Win32FormFixture::WriteConfig(const std::string& afterStatusPath)
{
    folder_.Write("config.ini",
                  "statusPath," + folder_.File("status.txt") + "\r\n" + afterStatusPath);
}

void Win32FormFixture::WriteStatus(const char* condition, std::chrono::seconds age)
{
    folder_.Write("status.txt",
                  nortavi::FormatLocalTime(clock_.Now() - age) + "," + condition + "\r\n");
}

nortavi::win32::frmMain& Win32FormFixture::Open(nortavi::SoundOutput* sound)
{
    form_ = std::make_unique<nortavi::win32::frmMain>(settings_, clock_, sound ? *sound : sound_,
                                                      Folder(), nortavi::TimeStampFormat{});
    return *form_;
}

void Win32FormFixture::Tick()
{
    SendMessageW(Main(), WM_TIMER, MainId::Timer1, 0);
}

std::string Win32FormFixture::Text(HWND window)
{
    return Utf8FromWide(WindowText(window)).value_or("<not UTF-16>");
}

COLORREF Win32FormFixture::TextColour(HWND label)
{
    // Asks the window the way the label asks it before painting.
    const HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(GetParent(label), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(label));
    const COLORREF colour = GetTextColor(dc);
    DeleteDC(dc);
    return colour;
}

void Win32FormFixture::SetText(HWND window, const std::string& text)
{
    SetWindowTextW(window, WideFromUtf8(text).c_str());
}

void Win32FormFixture::PressKey(HWND target, UINT key)
{
    MSG message{target, WM_KEYDOWN, key, 1, GetTickCount(), {}};
    if (!IsDialogMessageW(GetAncestor(target, GA_ROOT), &message)) {
        DispatchMessageW(&message);
    }
}

void Win32FormFixture::Pump()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (form_ == nullptr || !form_->PreTranslateMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void Win32FormFixture::AnswerNextModal(std::function<void(HWND)> answer)
{
    answers.push_back(std::move(answer));
    SetTimer(nullptr, 0, kAnswerPollMs, AnswerTimer);
}

std::string Win32FormFixture::MessageText(HWND box)
{
    // The longest static text of the box: its message, not its icon.
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        GetClassNameW(child, className, 16);
        if (std::wstring(className) == L"Static" && Text(child).size() > text.size()) {
            text = Text(child);
        }
    }
    return text;
}
