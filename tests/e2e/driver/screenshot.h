// A picture of the whole desktop, taken by the driver when a test fails so
// that the state at the moment of failure can be looked at afterwards.
#pragma once

#include <string>

namespace hs::e2e {

// Writes the screen as a 24-bit BMP file. False when it could not be taken.
bool saveScreenshot(const std::string& path);

}  // namespace hs::e2e
