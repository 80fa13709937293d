// SPDX-License-Identifier: MIT
#include "UserLocale.h"

#include "WideText.h"

#include <windows.h>

namespace nortavi::win32 {

ShortDatePattern UserShortDatePattern()
{
    wchar_t pattern[LOCALE_NAME_MAX_LENGTH * 2] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTDATE, pattern,
                        static_cast<int>(std::size(pattern))) == 0) {
        return {};
    }
    // Windows writes its patterns with the same letters as Qt: d, dd, M,
    // MM, yy, yyyy.
    const auto narrow = NarrowExactly(pattern);
    return narrow ? ShortDatePattern::FromQtPattern(*narrow).value_or(ShortDatePattern{})
                  : ShortDatePattern{};
}

}  // namespace nortavi::win32
