// The three timers of the list view window and their tick handler:
// PeriodicCheckTimer (1) checks all documents, TrayBlinkTimer (2) swaps the
// tray icon while the window is hidden, StartupPromptTimer (3) offers the
// add wizard once when the list is empty.
#pragma once

#include <windows.h>

#include <cstdint>

#include "catalogue/options.h"

namespace hs {

// The view window's timers.
constexpr UINT_PTR kPeriodicCheckTimer = 1;
constexpr UINT_PTR kTrayBlinkTimer = 2;
constexpr UINT_PTR kStartupPromptTimer = 3;

// The view's own timer that gathers the workers' row refreshes: rows are
// refreshed in batches at most this often, so a fast check of many
// documents paints the list a few times a second instead of once for
// every document.
constexpr UINT_PTR kRowRefreshTimer = 4;
constexpr UINT kRowRefreshIntervalMs = 40;

constexpr UINT kTrayBlinkIntervalMs = 500;
constexpr UINT kStartupPromptDelayMs = 2000;

// What the tick handler does to the program around it.
class ViewTimerActions {
public:
    virtual ~ViewTimerActions() = default;
    virtual void checkAllDocuments() = 0;
    virtual void stopTimer(UINT_PTR timerId) = 0;
    virtual void setTrayIcon(int iconId) = 0;
    virtual int rowCount() = 0;
    virtual void offerStartupWizard() = 0;
    virtual bool hiddenInTray() = 0;
    virtual int32_t& blinkPhase() = 0;
};

// One tick of a view timer; ticks of any other id are ignored.
void handleViewTimer(ViewTimerActions& actions, UINT_PTR timerId);

// The blink step: while hidden, 140 when the phase is 0, else 128, and the
// phase flips; once shown, the timer stops and the icon is 128 again.
struct BlinkStep {
    bool stopTimer;
    int iconId;
};
BlinkStep nextBlinkStep(bool hidden, int32_t& blinkPhase);

// Arms PeriodicCheckTimer with the stored period, when the periodic check
// is on. Returns true when it was armed.
bool armPeriodicCheckTimer(HWND view, const ProgramOptions& options);

// Arms the one-shot StartupPromptTimer.
void armStartupPromptTimer(HWND view);

// Arms TrayBlinkTimer; called on the window thread only, and only while the
// window is hidden in the tray.
void armTrayBlinkTimer(HWND view);

}  // namespace hs
