#include "app/win32/tray_icon.h"

#include <shellapi.h>

#include <cstring>

#include "app/command_ids.h"
#include "app/win32/app_instance.h"
#include "app/win32/command_router.h"
#include "app/win32/shell_state.h"
#include "app/win32/win32_handles.h"

namespace hs {

namespace {

constexpr const char* kTrayTip = "Halvorsight";

struct TrayState {
    HWND owner = nullptr;
    int iconId = 0;
    UniqueIcon icon;  // kept alive while the shell shows it
};

TrayState& tray() {
    static TrayState state;
    return state;
}

UniqueIcon loadSmallIcon(int iconId) {
    return UniqueIcon(static_cast<HICON>(::LoadImageA(resourceModule(), MAKEINTRESOURCEA(iconId), IMAGE_ICON,
                                                      ::GetSystemMetrics(SM_CXSMICON),
                                                      ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
}

// The record in its 488-byte form: no balloon GUID, no balloon icon.
NOTIFYICONDATAA iconRecord(HWND owner) {
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = owner;
    data.uID = TRAY_ICON_ID;
    return data;
}

void sendIcon(DWORD operation, int iconId) {
    TrayState& state = tray();
    UniqueIcon icon = loadSmallIcon(iconId);
    NOTIFYICONDATAA data = iconRecord(state.owner);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = TRAY_CALLBACK_MESSAGE;
    data.hIcon = icon.get();
    std::strncpy(data.szTip, kTrayTip, 127);
    data.szTip[127] = '\0';
    ::Shell_NotifyIconA(operation, &data);
    state.icon = std::move(icon);
    state.iconId = iconId;
}

}  // namespace

void addTrayIcon(HWND owner) {
    tray().owner = owner;
    sendIcon(NIM_ADD, IDR_MAINFRAME);
}

void setTrayIcon(int iconId) {
    if (tray().owner == nullptr) return;
    sendIcon(NIM_MODIFY, iconId);
}

void removeTrayIcon() {
    TrayState& state = tray();
    if (state.owner == nullptr) return;
    NOTIFYICONDATAA data = iconRecord(state.owner);
    ::Shell_NotifyIconA(NIM_DELETE, &data);
    state.owner = nullptr;
    state.iconId = 0;
    state.icon.reset();
}

int currentTrayIconId() {
    return tray().iconId;
}

void restoreFromTray() {
    bringToFront(mainFrameWindow());
    setHiddenInTray(false);
}

LRESULT handleTrayCallback(HWND owner, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (static_cast<UINT>(lParam)) {
        case WM_LBUTTONDBLCLK:
            restoreFromTray();
            break;
        case WM_RBUTTONDOWN:
            showTrayMenu(owner);
            break;
        default:
            break;
    }
    return ::DefWindowProcA(owner, message, wParam, lParam);
}

void showTrayMenu(HWND owner) {
    HWND main = mainFrameWindow();
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::SetForegroundWindow(main);
    UniqueMenu menu(::LoadMenuA(resourceModule(), MAKEINTRESOURCEA(IDR_TRAY_MENU)));
    HMENU popup = menu ? ::GetSubMenu(menu.get(), 0) : nullptr;
    if (popup != nullptr) {
        // The same enabling as the context menu; every tray item is always
        // available, so this greys nothing there.
        SelectionSnapshot selection;
        selection.selectedRows = static_cast<int>(::SendMessageA(owner, LVM_GETSELECTEDCOUNT, 0, 0));
        applyMenuAvailability(popup, selection);
        ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
    }
    ::PostMessageA(main, WM_NULL, 0, 0);
}

}  // namespace hs
