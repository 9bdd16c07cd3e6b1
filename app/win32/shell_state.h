// The window shell's shared state, one per program (owned by Program): the
// main frame's window, the hidden-in-tray flag, the blink phase and the
// browser found at start-up. Check workers read the flag from their own
// threads, so it and the frame's handle are atomic; only the window thread
// writes them.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "dialogs/win32/message_box.h"

namespace hs {

struct ShellState {
    std::atomic<HWND> mainFrame{nullptr};
    // 1 while the main window is hidden in the notification area.
    std::atomic<int32_t> hiddenInTray{0};
    // Toggled by every blink tick; never reset. Window thread only.
    int32_t blinkPhase = 0;
    // The program the shell opens ".htm" files with; empty when none.
    // Written once before the check workers start.
    std::string browserPath;

    bool isHiddenInTray() const { return hiddenInTray.load() == 1; }
    void setHiddenInTray(bool hidden) { hiddenInTray.store(hidden ? 1 : 0); }
};

}  // namespace hs
