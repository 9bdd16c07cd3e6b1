// The notification-area icon: owned by the main frame, id 1025, tip
// "Halvorsight". Its menu (resource 141) sends its commands to the frame.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/win32/shell_state.h"
#include "platform/win32/handles.h"

namespace hs {

constexpr UINT kTrayIconId = 1025;
// The icon's callback message to its owner: out of the range of the list
// control's own WM_USER messages.
constexpr UINT kTrayCallbackMessage = WM_APP + 16;

class TrayIcon {
public:
    explicit TrayIcon(HINSTANCE module) : module_(module) {}
    ~TrayIcon() = default;
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Adds the icon with icon resource 128. Once per run; results unchecked.
    void add(HWND owner);

    // Sends the whole record again with icon resource `iconId` (128 or 140).
    void setIcon(int iconId);

    // Adds the icon again, as it is now, after the notification area was
    // recreated (Explorer restarted and sent "TaskbarCreated"), which drops
    // every icon. Nothing when the icon was not added or was removed.
    void addAgain();

    // Shows a balloon over the icon (NIF_INFO, information icon); a newer
    // one replaces it. Nothing when the icon was not added.
    void showBalloon(const std::string& title, const std::string& text);

    // Deletes the icon (owner window and icon id only).
    void remove();

    // The icon resource the tray icon shows now (0 before it was added).
    int currentIconId() const { return iconId_; }

private:
    void send(DWORD operation, int iconId);

    HINSTANCE module_;
    HWND owner_ = nullptr;
    int iconId_ = 0;
    UniqueIcon icon_;  // kept alive while the shell shows it
};

// Handles the callback message on the owner: a left double-click brings the
// main window back; a right button press makes the main window the
// foreground window and calls `openMenu` (the tray menu at the cursor).
// Returns the default window procedure's result, as every callback is
// passed on.
LRESULT handleTrayCallback(HWND owner, UINT message, WPARAM wParam, LPARAM lParam, ShellState& shell,
                           const std::function<void()>& openMenu);

// "Open..", and a double-click on the icon: the main window to the front,
// then the hidden flag cleared.
void restoreFromTray(ShellState& shell);

}  // namespace hs
