#include "app/win32/context_menu.h"

#include <windowsx.h>

#include "res/resource_ids.h"
#include "app/win32/menu_availability.h"
#include "platform/win32/handles.h"

namespace hs {

bool contextMenuPoint(HWND list, LPARAM screenPoint, POINT& point) {
    point.x = GET_X_LPARAM(screenPoint);
    point.y = GET_Y_LPARAM(screenPoint);
    if (point.x == -1 && point.y == -1) return false;  // a keyboard request has no point
    RECT client{};
    if (!::GetClientRect(list, &client)) return false;
    ::MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return ::PtInRect(&client, point) != FALSE;
}

void showDocumentContextMenu(HWND list, HINSTANCE module, POINT point, const SelectionSnapshot& selection) {
    UniqueMenu menu(::LoadMenuA(module, MAKEINTRESOURCEA(IDR_CONTEXT_MENU)));
    HMENU popup = menu ? ::GetSubMenu(menu.get(), 0) : nullptr;
    if (popup == nullptr) return;
    applyMenuAvailability(popup, selection);
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, list, nullptr);
}

}  // namespace hs
