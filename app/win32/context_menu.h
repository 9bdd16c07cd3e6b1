// The document list's context menu (resource 137): shown at the point of a
// mouse request inside the list, its items enabled or greyed by the number
// of selected rows, owned by the list window so that the chosen command
// reaches the view.
#pragma once

#include <windows.h>

#include "app/command_table.h"

namespace hs {

// The screen point of a WM_CONTEXTMENU request when it lies inside the
// list's client area. A keyboard request ((-1, -1)) and a point outside
// (on the header, the border, a scroll bar) give false.
bool contextMenuPoint(HWND list, LPARAM screenPoint, POINT& point);

// Loads menu 137 from `module`, applies the availability for
// `selection`, tracks its first submenu at `point` with the right
// button, owned by `list`, and destroys the menu afterwards.
void showDocumentContextMenu(HWND list, HINSTANCE module, POINT point, const SelectionSnapshot& selection);

}  // namespace hs
