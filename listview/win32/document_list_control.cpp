#include "listview/win32/document_list_control.h"

#include <algorithm>

#include "app/command_ids.h"
#include "app/win32/win32_handles.h"
#include "catalogue/record.h"

namespace hs {

namespace {

constexpr int kTextBuffer = 512;  // 511 characters and the terminator

struct ColumnSpec {
    const char* heading;
    int width;
};

constexpr ColumnSpec kColumns[] = {
    {"Name", 200},
    {"Type", 130},
    {"Status", 150},
    {"Last check", 170},
};

void setCellText(HWND list, int row, int column, const std::string& text) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    ::SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::string cellText(HWND list, int row, int column) {
    char buffer[kTextBuffer] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = kTextBuffer;
    ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    buffer[kTextBuffer - 1] = '\0';
    return buffer;
}

}  // namespace

HWND DocumentListControl::create(HWND parent, int id) {
    return ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                             WS_CHILD | WS_VISIBLE | kListStyles, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(parent, GWLP_HINSTANCE)),
                             nullptr);
}

void DocumentListControl::insertColumns() const {
    int index = 0;
    for (const ColumnSpec& spec : kColumns) {
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = spec.width;
        column.pszText = const_cast<char*>(spec.heading);
        column.iSubItem = index;
        ::SendMessageA(list_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
        ++index;
    }
}

bool DocumentListControl::attachStatusImages(HINSTANCE module) const {
    UniqueImageList images(::ImageList_LoadImageA(module, MAKEINTRESOURCEA(IDB_STATUS_IMAGES), 16, 1,
                                                  RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION));
    if (!images) return false;
    // Without LVS_SHAREIMAGELISTS the control owns the list from here on.
    ::SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images.release()));
    return true;
}

int DocumentListControl::rowCount() const {
    return static_cast<int>(::SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
}

int DocumentListControl::selectedCount() const {
    if (list_ == nullptr) return 0;
    return static_cast<int>(::SendMessageA(list_, LVM_GETSELECTEDCOUNT, 0, 0));
}

bool DocumentListControl::isRowSelected(int row) const {
    if (row < 0 || row >= rowCount()) return false;
    return (::SendMessageA(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) &
            LVIS_SELECTED) != 0;
}

bool DocumentListControl::rowText(int row, std::string& text) const {
    if (row < 0 || row >= rowCount()) return false;
    text = cellText(list_, row, 0);
    return true;
}

long DocumentListControl::rowOfRecord(const DocumentCatalogue& catalogue, std::size_t slot) const {
    const std::string name = catalogue.name(slot);
    if (name.empty()) return -1;  // a free slot has no row
    const int count = rowCount();
    std::string text;
    for (int row = 0; row < count; ++row) {
        if (rowText(row, text) && text == name) return row;
    }
    return -1;
}

long DocumentListControl::recordOfRow(const DocumentCatalogue& catalogue, int row) const {
    std::string text;
    if (!rowText(row, text) || text.empty()) return -1;
    return catalogue.firstSlotNamed(text);
}

int DocumentListControl::showRecordRow(const DocumentCatalogue& catalogue, std::size_t slot, int row,
                                       RowMode mode) const {
    const DocumentRecord record = catalogue.record(slot);
    const std::string name = fieldText(record.name);
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = row;
    item.iSubItem = 0;
    item.pszText = const_cast<char*>(name.c_str());
    item.iImage = statusImageIndex(record.status);
    int shown = row;
    if (mode == RowMode::Insert) {
        item.mask |= LVIF_PARAM;
        item.lParam = 0;
        shown = static_cast<int>(::SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    } else if (row < 0 || row >= rowCount() ||
               !::SendMessageA(list_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item))) {
        return -1;
    }
    if (shown < 0) return -1;
    const std::string lastCheck = fieldText(record.lastCheck);
    setCellText(list_, shown, 1, documentTypeText(record.type));
    setCellText(list_, shown, 2, documentStatusText(record.status));
    setCellText(list_, shown, 3, lastCheck.empty() ? std::string("?") : lastCheck);
    return shown;
}

bool DocumentListControl::refreshRecordRow(const DocumentCatalogue& catalogue, std::size_t slot) const {
    const long row = rowOfRecord(catalogue, slot);
    if (row < 0) return false;
    return showRecordRow(catalogue, slot, static_cast<int>(row), RowMode::Refresh) >= 0;
}

void DocumentListControl::drawRow(const DRAWITEMSTRUCT& draw, bool fullRowHighlight) const {
    HDC dc = draw.hDC;
    const int row = static_cast<int>(draw.itemID);
    if (dc == nullptr || row < 0) return;
    SavedDcState saved(dc);

    LVITEMA item{};
    item.mask = LVIF_IMAGE | LVIF_STATE;
    item.iItem = row;
    item.stateMask = static_cast<UINT>(-1);
    ::SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));

    const bool listHasFocus = ::GetFocus() == list_;
    const bool showSelAlways = (::GetWindowLongA(list_, GWL_STYLE) & LVS_SHOWSELALWAYS) != 0;
    const bool highlighted = (item.state & LVIS_DROPHILITED) != 0 ||
                             ((item.state & LVIS_SELECTED) != 0 && (listHasFocus || showSelAlways));

    RECT bounds{}, label{}, icon{};
    bounds.left = LVIR_BOUNDS;
    ::SendMessageA(list_, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds));
    label.left = LVIR_LABEL;
    ::SendMessageA(list_, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&label));
    icon.left = LVIR_ICON;
    ::SendMessageA(list_, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&icon));
    RECT column = bounds;

    SIZE space{};
    ::GetTextExtentPoint32A(dc, " ", 1, &space);
    const int offset = 2 * space.cx;

    // The highlight starts at the label and spans every column, or only the
    // first one.
    RECT highlight = bounds;
    highlight.left = label.left;
    if (!fullRowHighlight) {
        highlight.right = bounds.left + static_cast<int>(::SendMessageA(list_, LVM_GETCOLUMNWIDTH, 0, 0));
    }
    if (highlighted) {
        ::SetTextColor(dc, ::GetSysColor(COLOR_HIGHLIGHTTEXT));
        ::SetBkColor(dc, ::GetSysColor(COLOR_HIGHLIGHT));
        ::FillRect(dc, &highlight, ::GetSysColorBrush(COLOR_HIGHLIGHT));
    } else {
        ::FillRect(dc, &highlight, ::GetSysColorBrush(COLOR_WINDOW));
    }

    // Column 0: image and name, clipped to the column.
    column.right = column.left + static_cast<int>(::SendMessageA(list_, LVM_GETCOLUMNWIDTH, 0, 0));
    ::IntersectClipRect(dc, column.left, column.top, column.right, column.bottom);
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(::SendMessageA(list_, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    if (images != nullptr) {
        UINT style = ILD_TRANSPARENT | (item.state & LVIS_OVERLAYMASK);
        if (highlighted) style |= ILD_BLEND50;
        ::ImageList_Draw(images, item.iImage, dc, icon.left, icon.top, style);
    }
    const std::string name = cellText(list_, row, 0);
    RECT text = label;
    text.left += offset / 2;
    text.right -= offset;
    ::DrawTextA(dc, name.c_str(), -1, &text,
                DT_SINGLELINE | DT_LEFT | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP | DT_END_ELLIPSIS);

    // The other columns, each narrowed by the offset on both sides.
    RECT rowClip = bounds;
    rowClip.right = std::max(rowClip.right, highlight.right);
    ::SelectClipRgn(dc, nullptr);
    ::IntersectClipRect(dc, rowClip.left, rowClip.top, rowClip.right, rowClip.bottom);
    for (int sub = 1;; ++sub) {
        LVCOLUMNA info{};
        info.mask = LVCF_FMT | LVCF_WIDTH;
        if (!::SendMessageA(list_, LVM_GETCOLUMNA, static_cast<WPARAM>(sub), reinterpret_cast<LPARAM>(&info))) {
            break;
        }
        column.left = column.right;
        column.right = column.left + info.cx;
        const std::string cell = cellText(list_, row, sub);
        if (cell.empty()) continue;
        RECT cellRect = column;
        cellRect.left += offset;
        cellRect.right -= offset;
        UINT align = DT_LEFT;
        if ((info.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT) align = DT_RIGHT;
        else if ((info.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER) align = DT_CENTER;
        ::DrawTextA(dc, cell.c_str(), -1, &cellRect,
                    DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | DT_END_ELLIPSIS | align);
    }

    if ((item.state & LVIS_FOCUSED) != 0 && listHasFocus) ::DrawFocusRect(dc, &highlight);
}

}  // namespace hs
