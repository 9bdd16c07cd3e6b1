// The notification-area icon: owned by the list view window, id 1025,
// callback message 1025, tip "Halvorsight". Its menu (resource 141) sends
// its commands to the list view window.
#pragma once

#include <windows.h>

namespace hs {

// Adds the icon with icon resource 128. Once per run; results unchecked.
void addTrayIcon(HWND owner);

// Sends the whole record again with icon resource `iconId` (128 or 140).
void setTrayIcon(int iconId);

// Deletes the icon (owner window and icon id only).
void removeTrayIcon();

// The icon resource the tray icon shows now (0 before it was added).
int currentTrayIconId();

// Handles the callback message on the owner: a left double-click brings the
// main window back, a right button press opens the tray menu. Returns the
// default window procedure's result, as every callback is passed on.
LRESULT handleTrayCallback(HWND owner, UINT message, WPARAM wParam, LPARAM lParam);

// Opens menu 141 at the cursor, owned by `owner`, after making the main
// window the foreground window.
void showTrayMenu(HWND owner);

// "Open..", and a double-click on the icon: the main window to the front,
// then the hidden flag cleared.
void restoreFromTray();

}  // namespace hs
