#include "app/win32/frame_timers.h"

#include "res/resource_ids.h"

namespace hs {

BlinkStep nextBlinkStep(bool hidden, int32_t& blinkPhase) {
    if (!hidden) return BlinkStep{true, IDR_MAINFRAME};
    const BlinkStep step{false, blinkPhase != 0 ? IDR_MAINFRAME : IDI_BLINK};
    blinkPhase = 1 - blinkPhase;
    return step;
}

bool armPeriodicCheckTimer(HWND frame, const ProgramOptions& options) {
    if (!options.periodicCheckOn()) return false;
    return ::SetTimer(frame, kPeriodicCheckTimer, options.periodicIntervalMs(), nullptr) != 0;
}

void armStartupPromptTimer(HWND frame) {
    ::SetTimer(frame, kStartupPromptTimer, kStartupPromptDelayMs, nullptr);
}

void armTrayBlinkTimer(HWND frame) {
    ::SetTimer(frame, kTrayBlinkTimer, kTrayBlinkIntervalMs, nullptr);
}

}  // namespace hs
