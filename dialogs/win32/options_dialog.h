// The Options dialog (resource 138): shows the program's settings, and on
// "&Apply" stores the new ones and writes the options file; the balloon
// setting goes to the settings file, written only when it changed.
#pragma once

#include <windows.h>

#include "app/options.h"
#include "catalogue/settings.h"

namespace hs {

// Runs the modal dialog owned by `owner`; returns true when the user applied.
bool showOptionsDialog(HINSTANCE module, HWND owner, ProgramOptions& options, SettingsFile* settings = nullptr);

}  // namespace hs
