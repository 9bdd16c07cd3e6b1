// Commands and keys sent to the program under test.
#pragma once

#include <windows.h>

#include "wait.h"

namespace hs::e2e {

// Posts WM_COMMAND with a menu command id, as a menu click or accelerator
// would deliver it. Posting (not sending) keeps the driver free when the
// command opens a modal dialog.
bool postCommand(HWND w, int id);

// Posts WM_SYSCOMMAND (SC_MINIMIZE, SC_RESTORE, SC_CLOSE, ...).
bool postSysCommand(HWND w, WPARAM code);

// Posts a key press and release of a plain key (F5, Del, Esc) to a window of
// the program. Posted keys reach accelerators without Ctrl only: Ctrl is
// read from the keyboard state, which posting does not change.
bool postKey(HWND w, UINT vk);

// Makes `w` the foreground window and waits until it is.
bool bringToForeground(HWND w, milliseconds timeout = kShortWait);

// Types a key through the system's input queue (SendInput), with Ctrl held
// when `ctrl` is true, after making `w` the foreground window. Needed for
// Ctrl+ accelerators. False when `w` could not be brought to the front.
bool sendKey(HWND w, UINT vk, bool ctrl = false);

// Posts a mouse message at client coordinates of `w`.
bool postMouse(HWND w, UINT msg, int x, int y, WPARAM keys = 0);

}  // namespace hs::e2e
