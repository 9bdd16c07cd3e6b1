#include "app/win32/view_timers.h"

#include "res/resource_ids.h"

namespace hs {

BlinkStep nextBlinkStep(bool hidden, int32_t& blinkPhase) {
    if (!hidden) return BlinkStep{true, IDR_MAINFRAME};
    const BlinkStep step{false, blinkPhase != 0 ? IDR_MAINFRAME : IDI_BLINK};
    blinkPhase = 1 - blinkPhase;
    return step;
}

void handleViewTimer(ViewTimerActions& actions, UINT_PTR timerId) {
    switch (timerId) {
        case kPeriodicCheckTimer:
            actions.checkAllDocuments();
            break;
        case kTrayBlinkTimer: {
            const BlinkStep step = nextBlinkStep(actions.hiddenInTray(), actions.blinkPhase());
            if (step.stopTimer) actions.stopTimer(kTrayBlinkTimer);
            actions.setTrayIcon(step.iconId);
            break;
        }
        case kStartupPromptTimer:
            // One-shot: gone before the (modal) wizard could run.
            actions.stopTimer(kStartupPromptTimer);
            if (actions.rowCount() == 0) actions.offerStartupWizard();
            break;
        default:
            break;
    }
}

bool armPeriodicCheckTimer(HWND view, const ProgramOptions& options) {
    if (!options.periodicCheckOn()) return false;
    return ::SetTimer(view, kPeriodicCheckTimer, options.periodicIntervalMs(), nullptr) != 0;
}

void armStartupPromptTimer(HWND view) {
    ::SetTimer(view, kStartupPromptTimer, kStartupPromptDelayMs, nullptr);
}

void armTrayBlinkTimer(HWND view) {
    ::SetTimer(view, kTrayBlinkTimer, kTrayBlinkIntervalMs, nullptr);
}

}  // namespace hs
