// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

#include <string>

namespace nortavi::win32 {

// The message through which a second start on the settings file whose
// lock key is `key` asks the copy that runs on it to show its window (the
// main window answers it, see frmMain::AnswerShowRequests).
UINT ShowRequestMessage(const std::string& key);

// From a second start: lets the running copy's main window take the
// foreground and asks it to come to the front. False when none answered
// within two seconds (that copy may be hung, or still loading).
bool AskRunningCopyToShow(UINT showRequest);

}  // namespace nortavi::win32
