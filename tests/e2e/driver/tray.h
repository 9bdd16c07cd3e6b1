// Notification-area icons of the desktop's taskbar. The tray (in Wine's
// explorer.exe) keeps one tooltip tool per icon, whose text is the icon's
// tip and whose rectangle is the icon's place in the tray window; the driver
// reads the tools through remote memory and clicks the icon by posting mouse
// messages at the centre of that rectangle.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "wait.h"

namespace hs::e2e {

struct TrayIcon {
    HWND tooltip = nullptr;  // the tooltip window holding the tool
    UINT_PTR toolId = 0;     // the tool's id: one per icon the tray knows
    HWND window = nullptr;   // the window the rectangle belongs to
    RECT rect{};             // client coordinates of `window`
    std::string tip;
};

// Every icon shown in the tray whose tip equals `tip`, in tool order. The
// tray keeps the tool of a deleted icon with an empty rectangle; those are
// not listed. An icon whose program ended without deleting it stays listed
// until the tray notices that its owner window is gone.
std::vector<TrayIcon> findTrayIcons(const std::string& tip);

// The icon with the same tool as `icon` if it is still shown.
bool findSameTrayIcon(const TrayIcon& icon, TrayIcon& now);

// Makes the tray drop icons with this tip whose owner windows no longer
// exist: a mouse move over an icon makes the tray notify its owner, and a
// failed notification removes the icon. Call only while no program that
// owns such an icon runs.
void dropStaleTrayIcons(const std::string& tip);

// Posts a left double-click (down, up, double-click, up) at the icon's centre.
bool doubleClickTrayIcon(const TrayIcon& icon);
// Posts a single left click.
bool clickTrayIcon(const TrayIcon& icon);
// Posts a right-button press and release.
bool rightClickTrayIcon(const TrayIcon& icon);

}  // namespace hs::e2e
