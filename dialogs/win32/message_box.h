// The program's title and the message boxes that carry it as caption; used
// by the dialogs and by the program's windows above them.
#pragma once

#include <windows.h>

#include "res/version.h"

namespace hs {

// The application title: main window caption, message box caption and the
// key of the single-instance test.
constexpr const char* kAppTitle = HS_APP_TITLE;

// A message box with the application title as caption. A box without an
// explicit icon shows the exclamation icon.
int showMessage(HWND owner, const char* text, UINT flags);

}  // namespace hs
