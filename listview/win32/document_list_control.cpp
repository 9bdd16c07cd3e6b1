#include "listview/win32/document_list_control.h"

#include "res/resource_ids.h"
#include "platform/win32/handles.h"

namespace hs {

namespace {

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

}  // namespace hs
