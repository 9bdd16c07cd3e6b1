// Screen scaling: the DPI a window is shown at and the sizes that follow
// from it. The functions of newer Windows versions are looked up at run
// time, so the program still runs where they are missing (it then follows
// the system DPI).
#pragma once

#include <windows.h>

namespace hs {

constexpr UINT kBaseDpi = 96;

// The DPI of the monitor `window` is on (the system DPI where the system
// cannot tell per window).
UINT windowDpi(HWND window);

// `pixels` at 96 DPI, at `dpi`.
inline int scaleToDpi(int pixels, UINT dpi) { return ::MulDiv(pixels, static_cast<int>(dpi), kBaseDpi); }

// A system metric (SM_CXSMICON, ...) at `dpi`.
int systemMetricAtDpi(int index, UINT dpi);

// Which of the drawn image sizes fits `dpi`: 100, 150 or 200 percent.
int imageScalePercent(UINT dpi);

}  // namespace hs
