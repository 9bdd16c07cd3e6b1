// The About box (dialog 100): icon 139, "Version:" "5.0" and OK.
#pragma once

#include <windows.h>

namespace hs {

void showAboutBox(HINSTANCE module, HWND owner);

}  // namespace hs
