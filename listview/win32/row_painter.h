// Owner drawing of one document list row: the background picture's share of
// the row (list_background.h), the selection highlight across every column
// from the name's label to the row's right edge, the status image (blended
// with the highlight when selected), the four texts with an end ellipsis,
// and the focus rectangle while the row has the focus and the list the
// keyboard. Without a picture the row is the window colour.
#pragma once

#include <windows.h>

#include "listview/document_list.h"

namespace hs {

class ListBackground;

// Draws the row `draw.itemID` of `list` into `draw.hDC`. Texts and image
// come from `rows` (what the row shows), the row's states from the control;
// `background` may be null or hold no picture.
void drawListRow(HWND list, const DocumentList& rows, const DRAWITEMSTRUCT& draw, const ListBackground* background);

// The rectangle the highlight of `row` covers, in list client coordinates:
// from the left edge of the first column's label to the right edge of the
// row's bounds. Empty when the row does not exist.
RECT rowHighlightRect(HWND list, int row);

}  // namespace hs
