// Program-wide state of the window shell: the main frame's and the list
// view's window handles, the hidden-in-tray flag and the blink phase.
//
// Check workers read the handles and the flag from their own threads, so
// each is one atomic value; only the window thread writes them.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

namespace hs {

// The application title: main window caption, message box caption and the
// key of the single-instance test.
constexpr const char* kAppTitle = "Tarnwell (QVR) - Halvorsight";

struct ShellState {
    std::atomic<HWND> mainFrame{nullptr};
    std::atomic<HWND> listView{nullptr};
    // 1 while the main window is hidden in the notification area.
    std::atomic<int32_t> hiddenInTray{0};
    // Toggled by every blink tick; never reset. Window thread only.
    int32_t blinkPhase = 0;
    // The program the shell opens ".htm" files with; empty when none.
    // Written once before the check workers start.
    std::string browserPath;
};

ShellState& shellState();

inline HWND mainFrameWindow() { return shellState().mainFrame.load(); }
inline HWND listViewWindow() { return shellState().listView.load(); }
inline bool isHiddenInTray() { return shellState().hiddenInTray.load() == 1; }
inline void setHiddenInTray(bool hidden) { shellState().hiddenInTray.store(hidden ? 1 : 0); }

// The module whose resources the windows use.
HINSTANCE resourceModule();

// A message box with the application title as caption.
int showMessage(HWND owner, const char* text, UINT flags);

}  // namespace hs
