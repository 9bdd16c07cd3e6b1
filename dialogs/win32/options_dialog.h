// The Options dialog (resource 138): shows the program's settings, and on
// "&Apply" stores the new ones and writes the options file.
#pragma once

#include <windows.h>

#include "catalogue/options.h"

namespace hs {

// Runs the modal dialog owned by `owner`; returns true when the user applied.
bool showOptionsDialog(HINSTANCE module, HWND owner, ProgramOptions& options);

}  // namespace hs
