// The single-instance rule and raising a window to the front.
#pragma once

#include <windows.h>

namespace hs {

// True when `caption` contains `title` as a case-sensitive substring.
bool captionContainsTitle(const char* caption, const char* title);

// Walks every top-level window from the desktop's first child along the
// next-window chain and returns the first whose caption (up to 1023
// characters) contains `title`, or nullptr.
HWND findWindowWithTitle(const char* title);

// Shows `window` at its current position and size on top of all others,
// takes the topmost state away again, and restores it.
void bringToFront(HWND window);

}  // namespace hs
