// The pixels the screen shows in a rectangle, to notice a picture that
// changes (a blinking tray icon) without knowing how it is drawn.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace hs::e2e {

// The colours of the pixels of a screen rectangle, row by row (0x00RRGGBB).
// Empty when the screen could not be read.
std::vector<uint32_t> screenPixels(const RECT& screenRect);

// A rectangle of a window's client area in screen coordinates.
RECT clientRectOnScreen(HWND w, const RECT& clientRect);

}  // namespace hs::e2e
