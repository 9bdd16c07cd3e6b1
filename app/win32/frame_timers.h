// The main frame's timers: PeriodicCheckTimer (1) checks all documents,
// TrayBlinkTimer (2) swaps the tray icon while the window is hidden,
// StartupPromptTimer (3) offers the add wizard once when the list is empty,
// RowRefreshTimer (4) gathers the workers' row refreshes.
#pragma once

#include <windows.h>

#include <cstdint>

#include "catalogue/options.h"

namespace hs {

constexpr UINT_PTR kPeriodicCheckTimer = 1;
constexpr UINT_PTR kTrayBlinkTimer = 2;
constexpr UINT_PTR kStartupPromptTimer = 3;

// Rows are refreshed in batches at most this often, so a fast check of
// many documents paints the list a few times a second instead of once for
// every document.
constexpr UINT_PTR kRowRefreshTimer = 4;
constexpr UINT kRowRefreshIntervalMs = 40;

constexpr UINT kTrayBlinkIntervalMs = 500;
constexpr UINT kStartupPromptDelayMs = 2000;

// The blink step: while hidden, 140 when the phase is 0, else 128, and the
// phase flips; once shown, the timer stops and the icon is 128 again.
struct BlinkStep {
    bool stopTimer;
    int iconId;
};
BlinkStep nextBlinkStep(bool hidden, int32_t& blinkPhase);

// Arms PeriodicCheckTimer with the stored period, when the periodic check
// is on. Returns true when it was armed.
bool armPeriodicCheckTimer(HWND frame, const ProgramOptions& options);

// Arms the one-shot StartupPromptTimer.
void armStartupPromptTimer(HWND frame);

// Arms TrayBlinkTimer; called on the window thread only, and only while the
// window is hidden in the tray.
void armTrayBlinkTimer(HWND frame);

}  // namespace hs
