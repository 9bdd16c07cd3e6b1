// Owner drawing of one document list row without a background picture: the
// status image, the four texts with an end ellipsis, the selection highlight
// across every column from the name's label to the row's right edge, and the
// focus rectangle while the row has the focus and the list the keyboard.
#pragma once

#include <windows.h>

#include "listview/document_list.h"

namespace hs {

// Draws the row `draw.itemID` of `list` into `draw.hDC`. Texts and image
// come from `rows` (what the row shows), the row's states from the control.
void drawPlainRow(HWND list, const DocumentList& rows, const DRAWITEMSTRUCT& draw);

// The rectangle the highlight of `row` covers, in list client coordinates:
// from the left edge of the first column's label to the right edge of the
// row's bounds. Empty when the row does not exist.
RECT rowHighlightRect(HWND list, int row);

}  // namespace hs
