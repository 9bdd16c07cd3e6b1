// The Options dialog (resource 138): shows AppOptions, and on "&Apply"
// stores the new settings and writes the options file.
#pragma once

#include <windows.h>

namespace hs {

// Runs the modal dialog owned by `owner`; returns true when the user applied.
bool showOptionsDialog(HWND owner);

}  // namespace hs
