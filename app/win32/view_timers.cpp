#include "app/win32/view_timers.h"

#include "app/command_ids.h"
#include "app/options.h"

namespace hs {

BlinkStep nextBlinkStep(bool hidden, int32_t& blinkPhase) {
    if (!hidden) return BlinkStep{true, IDR_MAINFRAME};
    const BlinkStep step{false, blinkPhase != 0 ? IDR_MAINFRAME : IDI_BLINK};
    blinkPhase = 1 - blinkPhase;
    return step;
}

void handleViewTimer(ViewTimerActions& actions, UINT_PTR timerId) {
    switch (timerId) {
        case PERIODIC_CHECK_TIMER:
            actions.checkAllDocuments();
            break;
        case TRAY_BLINK_TIMER: {
            const BlinkStep step = nextBlinkStep(actions.hiddenInTray(), actions.blinkPhase());
            if (step.stopTimer) actions.stopTimer(TRAY_BLINK_TIMER);
            actions.setTrayIcon(step.iconId);
            break;
        }
        case STARTUP_PROMPT_TIMER:
            // One-shot: gone before the (modal) wizard could run.
            actions.stopTimer(STARTUP_PROMPT_TIMER);
            if (actions.rowCount() == 0) actions.offerStartupWizard();
            break;
        default:
            break;
    }
}

bool armPeriodicCheckTimer(HWND view) {
    if (!periodicCheckOn()) return false;
    return ::SetTimer(view, PERIODIC_CHECK_TIMER, periodicIntervalMs(), nullptr) != 0;
}

void armStartupPromptTimer(HWND view) {
    ::SetTimer(view, STARTUP_PROMPT_TIMER, kStartupPromptDelayMs, nullptr);
}

void armTrayBlinkTimer(HWND view) {
    ::SetTimer(view, TRAY_BLINK_TIMER, kTrayBlinkIntervalMs, nullptr);
}

}  // namespace hs
