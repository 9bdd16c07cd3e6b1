// A picture of the whole desktop, taken by the driver when a test fails so
// that the state at the moment of failure can be looked at afterwards.
#pragma once

#include <windows.h>

#include <string>

namespace hs::e2e {

// Writes the screen as a 24-bit BMP file. False when it could not be taken.
bool saveScreenshot(const std::string& path);
// The same for one window (its rectangle on the screen, frame included).
bool saveWindowScreenshot(HWND window, const std::string& path);

// Where the driver puts pictures: the environment variable HS_E2E_SHOTS
// when set, otherwise the working directories' base directory.
std::string screenshotDirectory();

}  // namespace hs::e2e
