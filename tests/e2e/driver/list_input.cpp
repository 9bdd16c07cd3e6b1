#include "list_input.h"

#include <commctrl.h>

#include "window_find.h"

namespace hs::e2e {

bool clickColumnHeader(const RemoteListView& list, int column, milliseconds timeout) {
    const HWND header = list.header();
    RECT r{};
    if (!header || !list.headerItemRect(column, r)) return false;
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return sendBounded(header, WM_LBUTTONDOWN, MK_LBUTTON, at, nullptr, timeout) &&
           sendBounded(header, WM_LBUTTONUP, 0, at, nullptr, timeout);
}

bool postContextMenuRequest(HWND list, POINT p) {
    return PostMessageA(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(p.x, p.y)) != 0;
}

POINT clientToScreenPoint(HWND w, int x, int y) {
    POINT p{x, y};
    ClientToScreen(w, &p);
    return p;
}

int toolbarButtonState(HWND toolbar, int command) {
    LRESULT state = -1;
    if (!sendBounded(toolbar, TB_GETSTATE, static_cast<WPARAM>(command), 0, &state)) return -1;
    return static_cast<int>(state);
}

}  // namespace hs::e2e
