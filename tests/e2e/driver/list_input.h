// Mouse input on the document list and the toolbar's button states, read
// from another process.
#pragma once

#include <windows.h>

#include "remote.h"
#include "wait.h"

namespace hs::e2e {

// Clicks a column heading: a left button press and release at the middle
// of the heading, sent to the header control. Sent (with a bound), not
// posted, so the click, its notification and the program's sort have all
// been handled when this returns. False when the heading has no rectangle
// or the program did not answer in time.
bool clickColumnHeader(const RemoteListView& list, int column, milliseconds timeout = kWait);

// Asks the list for its context menu at a point given in screen coordinates,
// as a right click there would (WM_CONTEXTMENU, posted: the menu it opens
// is modal). A point of (-1, -1) is the keyboard's request.
bool postContextMenuRequest(HWND list, POINT screenPoint);

// A point of a window's client area in screen coordinates.
POINT clientToScreenPoint(HWND w, int x, int y);

// The state bits of the toolbar button with a command id (TBSTATE_*), or -1
// when the toolbar has no such button or does not answer.
int toolbarButtonState(HWND toolbar, int command);
inline bool toolbarButtonEnabled(HWND toolbar, int command) {
    const int state = toolbarButtonState(toolbar, command);
    return state >= 0 && (state & TBSTATE_ENABLED) != 0;
}

}  // namespace hs::e2e
