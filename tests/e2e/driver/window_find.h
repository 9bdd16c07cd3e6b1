// Finding and reading windows of other processes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "wait.h"

namespace hs::e2e {

struct WindowQuery {
    DWORD pid = 0;              // 0: any process
    std::string className;      // "": any class
    std::string title;          // "": any caption
    bool titleContains = false; // caption contains `title` instead of equals it
    bool visibleOnly = false;
};

// Top-level windows in the order of the desktop's window list (topmost first).
std::vector<HWND> findTopLevelWindows(const WindowQuery& q);
HWND findTopLevelWindow(const WindowQuery& q);
// Polls until a window matching `q` exists.
HWND waitForTopLevelWindow(const WindowQuery& q, milliseconds timeout = kWait);

// Every descendant of `parent` with the given class ("" for all), in the
// order EnumChildWindows gives.
std::vector<HWND> findDescendants(HWND parent, const std::string& className = "");
HWND findDescendant(HWND parent, const std::string& className);

std::string className(HWND w);
DWORD windowProcessId(HWND w);

// A window's text through WM_GETTEXT (marshalled across processes, unlike
// GetWindowTextA on another process's controls). Bounded by a send timeout.
std::string windowText(HWND w);

// A message sent with a bound: false when the target did not answer in time.
bool sendBounded(HWND w, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result = nullptr,
                 milliseconds timeout = kShortWait);

bool isTopmost(HWND w);
// Whether `w` or a window owned by `w` is the foreground window.
bool isForeground(HWND w);

}  // namespace hs::e2e
