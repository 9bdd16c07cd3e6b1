#include "app/win32/tray_icon.h"

#include <shellapi.h>

#include <cstring>

#include "app/win32/app_instance.h"
#include "app/win32/shell_state.h"
#include "platform/win32/handles.h"
#include "res/resource_ids.h"

namespace hs {

namespace {

constexpr const char* kTrayTip = "Halvorsight";

// The record in its 488-byte form: no balloon GUID, no balloon icon.
NOTIFYICONDATAA iconRecord(HWND owner) {
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = owner;
    data.uID = kTrayIconId;
    return data;
}

}  // namespace

void TrayIcon::send(DWORD operation, int iconId) {
    UniqueIcon icon(static_cast<HICON>(::LoadImageA(module_, MAKEINTRESOURCEA(iconId), IMAGE_ICON,
                                                    ::GetSystemMetrics(SM_CXSMICON),
                                                    ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    NOTIFYICONDATAA data = iconRecord(owner_);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = icon.get();
    std::strncpy(data.szTip, kTrayTip, 127);
    data.szTip[127] = '\0';
    ::Shell_NotifyIconA(operation, &data);
    icon_ = std::move(icon);
    iconId_ = iconId;
}

void TrayIcon::add(HWND owner) {
    owner_ = owner;
    send(NIM_ADD, IDR_MAINFRAME);
}

void TrayIcon::setIcon(int iconId) {
    if (owner_ == nullptr) return;
    send(NIM_MODIFY, iconId);
}

void TrayIcon::addAgain() {
    if (owner_ == nullptr) return;
    send(NIM_ADD, iconId_);
}

void TrayIcon::showBalloon(const std::string& title, const std::string& text) {
    if (owner_ == nullptr) return;
    NOTIFYICONDATAA data = iconRecord(owner_);
    data.uFlags = NIF_INFO;
    text.copy(data.szInfo, sizeof data.szInfo - 1);
    title.copy(data.szInfoTitle, sizeof data.szInfoTitle - 1);
    data.uTimeout = 10000;
    data.dwInfoFlags = NIIF_INFO;
    ::Shell_NotifyIconA(NIM_MODIFY, &data);
}

void TrayIcon::remove() {
    if (owner_ == nullptr) return;
    NOTIFYICONDATAA data = iconRecord(owner_);
    ::Shell_NotifyIconA(NIM_DELETE, &data);
    owner_ = nullptr;
    iconId_ = 0;
    icon_.reset();
}

void restoreFromTray(ShellState& shell) {
    bringToFront(shell.mainFrame.load());
    shell.setHiddenInTray(false);
}

LRESULT handleTrayCallback(HWND owner, UINT message, WPARAM wParam, LPARAM lParam, ShellState& shell,
                           const std::function<void()>& openMenu) {
    switch (static_cast<UINT>(lParam)) {
        case WM_LBUTTONDBLCLK:
            restoreFromTray(shell);
            break;
        case WM_RBUTTONDOWN: {
            HWND main = shell.mainFrame.load();
            ::SetForegroundWindow(main);
            if (openMenu) openMenu();
            ::PostMessageA(main, WM_NULL, 0, 0);
            break;
        }
        default:
            break;
    }
    return ::DefWindowProcA(owner, message, wParam, lParam);
}

}  // namespace hs
