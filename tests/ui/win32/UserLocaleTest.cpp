// SPDX-License-Identifier: MIT
// The Windows locales' own time stamps, and a change of the user's Region
// while the window is open.
#include "TimeStampParser.h"
#include "UserLocale.h"
#include "WideText.h"
#include "Win32FormFixture.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<std::wstring> SystemLocales()
{
    std::vector<std::wstring> names;
    EnumSystemLocalesEx(
        [](LPWSTR name, DWORD, LPARAM list) {
            reinterpret_cast<std::vector<std::wstring>*>(list)->push_back(name);
            return TRUE;
        },
        LOCALE_WINDOWS, reinterpret_cast<LPARAM>(&names), nullptr);
    return names;
}

std::wstring LocaleStamp(const std::wstring& locale, const SYSTEMTIME& moment, DWORD timeFlags)
{
    wchar_t date[128] = {};
    wchar_t time[128] = {};
    GetDateFormatEx(locale.c_str(), DATE_SHORTDATE, &moment, nullptr, date, 128, nullptr);
    GetTimeFormatEx(locale.c_str(), timeFlags, &moment, nullptr, time, 128);
    return std::wstring(date) + L' ' + time;
}

// Every locale Windows knows writes a date and time, with seconds and
// without, that the format built from that locale reads back as the same
// moment; where the system code page cannot hold the stamp, no sensor
// could write it, and it is only counted.
TEST(UserLocaleTest, EveryWindowsLocaleReadsBackItsOwnTimeStamps)
{
    // Day above 12 and hour above 12, so neither can pass for another field.
    const SYSTEMTIME moments[] = {{2026, 12, 4, 17, 21, 3, 4, 0}, {2026, 3, 2, 24, 8, 5, 9, 0}};
    const auto locales = SystemLocales();
    int outsideCodePage = 0;
    std::string misread;
    for (const auto& locale : locales) {
        const auto format = nortavi::win32::LocaleTimeStampFormat(locale.c_str());
        bool outside = false;
        for (const auto& moment : moments) {
            for (const DWORD flags : {DWORD{0}, DWORD{TIME_NOSECONDS}}) {
                const auto stamp =
                    nortavi::win32::NarrowExactly(LocaleStamp(locale, moment, flags));
                if (!stamp) {
                    outside = true;
                    continue;
                }
                const auto read = nortavi::ParseTimeStamp(*stamp, format);
                const int second = flags == 0 ? moment.wSecond : 0;
                if (!read ||
                    *read != nortavi::MakeLocalTime(moment.wYear, moment.wMonth, moment.wDay,
                                                    moment.wHour, moment.wMinute, second)) {
                    misread += *nortavi::win32::NarrowExactly(locale + L": ") + *stamp + "\n";
                }
            }
        }
        outsideCodePage += outside ? 1 : 0;
    }
    std::printf("%zu locales, %d of them outside code page %u\n", locales.size(), outsideCodePage,
                GetACP());
    EXPECT_GT(locales.size(), 100U);
    EXPECT_EQ(misread, "");
}

// Sets one of the user's regional values for the test's length.
class RegionalSetting {
public:
    RegionalSetting(LCTYPE type, const wchar_t* value) : type_(type)
    {
        wchar_t old[128] = {};
        GetLocaleInfoW(LOCALE_USER_DEFAULT, type, old, 128);
        old_ = old;
        SetLocaleInfoW(LOCALE_USER_DEFAULT, type, value);
    }
    ~RegionalSetting() { SetLocaleInfoW(LOCALE_USER_DEFAULT, type_, old_.c_str()); }
    RegionalSetting(const RegionalSetting&) = delete;
    RegionalSetting& operator=(const RegionalSetting&) = delete;

private:
    LCTYPE type_;
    std::wstring old_;
};

using UserLocaleWindowTest = Win32FormFixture;

TEST_F(UserLocaleWindowTest, AChangedRegionIsReadWithoutARestart)
{
    WriteConfig();
    folder_.Write("status.txt", "7.12.2026 22.00.00,CLEAR\r\n");
    Open();
    EXPECT_EQ(Text(MainControl(MainId::ConditionField)), "UNKNOWN");

    const RegionalSetting date(LOCALE_SSHORTDATE, L"d.M.yyyy");
    const RegionalSetting time(LOCALE_STIMEFORMAT, L"H.mm.ss");
    SendMessageW(Main(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"));
    Tick();
    EXPECT_EQ(Text(MainControl(MainId::ConditionField)), "CLEAR");
}

}  // namespace
