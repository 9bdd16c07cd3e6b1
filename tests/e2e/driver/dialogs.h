// Message boxes and dialogs of the program under test: found by class
// "#32770", process id and caption; read through their controls; answered by
// clicking a button by id.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "wait.h"

namespace hs::e2e {

// Visible dialogs of a process; with a non-empty title only those with
// exactly that caption.
std::vector<HWND> findDialogs(DWORD pid, const std::string& title = "");
HWND waitForDialog(DWORD pid, const std::string& title = "", milliseconds timeout = kWait);

// The text of a message box (its static control with id 0xFFFF).
std::string messageBoxText(HWND box);

// The text of a dialog control by id (WM_GETTEXT), "" when absent.
std::string dialogItemText(HWND dialog, int id);
bool hasDialogItem(HWND dialog, int id);
// The texts of every child control of a dialog, in child order.
std::vector<std::string> dialogTexts(HWND dialog);

// Whether a check box or radio button of a dialog is checked.
bool isButtonChecked(HWND dialog, int id);
// Replaces the text of a dialog control (WM_SETTEXT), as if typed.
bool typeText(HWND dialog, int id, const std::string& text);
// Clicks a button of a dialog by id (IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7).
// The click is posted, so a button that opens another modal dialog does not
// block the driver. False when the dialog has no such button.
bool clickButton(HWND dialog, int id);

// Waits until the window is destroyed.
bool waitForWindowGone(HWND w, milliseconds timeout = kWait);

}  // namespace hs::e2e
