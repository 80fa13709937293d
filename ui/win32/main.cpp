// SPDX-License-Identifier: MIT
#include "Module1.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand)
{
    return nortavi::win32::Module1::Main(showCommand);
}
