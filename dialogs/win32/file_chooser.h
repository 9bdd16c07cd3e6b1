// The open-file chooser of the properties dialog and the add wizard.
#pragma once

#include <windows.h>

#include <string>

namespace hs {

// "Choose file..": an existing file, no filter, starting in `startFolder`;
// the working directory does not change. Empty when the user cancelled.
std::string chooseExistingFile(HWND owner, const char* startFolder);

}  // namespace hs
