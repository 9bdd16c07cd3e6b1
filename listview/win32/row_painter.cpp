#include "listview/win32/row_painter.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "listview/win32/list_background.h"
#include "platform/win32/handles.h"

namespace hs {

namespace {

RECT itemRect(HWND list, int row, int part) {
    RECT rect{};
    rect.left = part;
    if (!::SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect))) {
        return RECT{};
    }
    return rect;
}

UINT alignmentOf(int format) {
    switch (format & LVCFMT_JUSTIFYMASK) {
        case LVCFMT_RIGHT: return DT_RIGHT;
        case LVCFMT_CENTER: return DT_CENTER;
        default: return DT_LEFT;
    }
}

}  // namespace

RECT rowHighlightRect(HWND list, int row) {
    if (row < 0 || row >= static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0))) return RECT{};
    RECT highlight = itemRect(list, row, LVIR_BOUNDS);
    highlight.left = itemRect(list, row, LVIR_LABEL).left;
    return highlight;
}

void drawListRow(HWND list, const DocumentList& rows, const DRAWITEMSTRUCT& draw, const ListBackground* background) {
    HDC dc = draw.hDC;
    const int row = static_cast<int>(draw.itemID);
    if (dc == nullptr || row < 0 || row >= rows.rowCount()) return;
    SavedDcState saved(dc);

    const UINT state = static_cast<UINT>(::SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row),
                                                        static_cast<LPARAM>(-1)));
    const bool listHasFocus = ::GetFocus() == list;
    const bool showSelectionAlways = (::GetWindowLongA(list, GWL_STYLE) & LVS_SHOWSELALWAYS) != 0;
    const bool highlighted = (state & LVIS_DROPHILITED) != 0 ||
                             ((state & LVIS_SELECTED) != 0 && (listHasFocus || showSelectionAlways));

    const RECT bounds = itemRect(list, row, LVIR_BOUNDS);
    const RECT label = itemRect(list, row, LVIR_LABEL);
    const RECT icon = itemRect(list, row, LVIR_ICON);
    RECT column = bounds;

    SIZE space{};
    ::GetTextExtentPoint32A(dc, " ", 1, &space);
    const int offset = 2 * space.cx;

    RECT highlight = bounds;
    highlight.left = label.left;

    const bool picture = background != nullptr && background->hasPicture();
    if (picture) {
        background->drawRowBackground(dc, bounds, row);
        // Texts lie on the picture, not in boxes of the window colour.
        ::SetBkMode(dc, TRANSPARENT);
    } else {
        // A plain list: the strip left of the label (the image's place) is
        // the window colour whatever the row's state.
        RECT lead = bounds;
        lead.right = std::min(label.left, bounds.right);
        if (lead.right > lead.left) ::FillRect(dc, &lead, ::GetSysColorBrush(COLOR_WINDOW));
    }
    if (highlighted) {
        ::SetTextColor(dc, ::GetSysColor(COLOR_HIGHLIGHTTEXT));
        ::SetBkColor(dc, ::GetSysColor(COLOR_HIGHLIGHT));
        ::FillRect(dc, &highlight, ::GetSysColorBrush(COLOR_HIGHLIGHT));
    } else if (!picture) {
        ::FillRect(dc, &highlight, ::GetSysColorBrush(COLOR_WINDOW));
    }

    std::string text;
    {
        // Column 0: the status image and the name, clipped to the column.
        SavedDcState columnClip(dc);
        column.right = column.left + static_cast<int>(::SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0));
        ::IntersectClipRect(dc, column.left, column.top, column.right, column.bottom);
        auto images = reinterpret_cast<HIMAGELIST>(::SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
        if (images != nullptr) {
            UINT style = ILD_TRANSPARENT | (state & LVIS_OVERLAYMASK);
            if (highlighted) style |= ILD_BLEND50;
            ::ImageList_Draw(images, rows.rowImage(row), dc, icon.left, icon.top, style);
        }
        if (rows.cellText(row, 0, text)) {
            RECT textRect = label;
            textRect.left += offset / 2;
            textRect.right -= offset;
            ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                        DT_SINGLELINE | DT_LEFT | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP | DT_END_ELLIPSIS);
        }
    }

    // The other columns, clipped to the row.
    RECT rowClip = bounds;
    rowClip.right = std::max(rowClip.right, highlight.right);
    ::IntersectClipRect(dc, rowClip.left, rowClip.top, rowClip.right, rowClip.bottom);
    for (int sub = 1;; ++sub) {
        LVCOLUMNA info{};
        info.mask = LVCF_FMT | LVCF_WIDTH;
        if (!::SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(sub), reinterpret_cast<LPARAM>(&info))) {
            break;
        }
        column.left = column.right;
        column.right = column.left + info.cx;
        if (!rows.cellText(row, sub, text) || text.empty()) continue;
        RECT cellRect = column;
        cellRect.left += offset;
        cellRect.right -= offset;
        ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &cellRect,
                    DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | DT_END_ELLIPSIS | alignmentOf(info.fmt));
    }

    if ((state & LVIS_FOCUSED) != 0 && listHasFocus) ::DrawFocusRect(dc, &highlight);
}

}  // namespace hs
