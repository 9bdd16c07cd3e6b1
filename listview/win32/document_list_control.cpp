#include "listview/win32/document_list_control.h"

#include "res/resource_ids.h"
#include "platform/win32/dpi.h"
#include "platform/win32/handles.h"

#include <iterator>

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
    const UINT dpi = windowDpi(list_);
    int index = 0;
    for (const ColumnSpec& spec : kColumns) {
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = scaleToDpi(spec.width, dpi);
        column.pszText = const_cast<char*>(spec.heading);
        column.iSubItem = index;
        ::SendMessageA(list_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
        ++index;
    }
}

bool DocumentListControl::attachStatusImages(HINSTANCE module) const {
    // The pictures drawn for the nearest scale: 16, 24 or 32 pixels.
    const int percent = imageScalePercent(windowDpi(list_));
    const int size = 16 * percent / 100;
    const int bitmap = percent == 200 ? IDB_STATUS_IMAGES_32 : percent == 150 ? IDB_STATUS_IMAGES_24 : IDB_STATUS_IMAGES;
    UniqueImageList images(::ImageList_LoadImageA(module, MAKEINTRESOURCEA(bitmap), size, 1, RGB(255, 0, 255),
                                                  IMAGE_BITMAP, LR_CREATEDIBSECTION));
    if (!images) return false;
    // Without LVS_SHAREIMAGELISTS the control owns the list from here on
    // (and destroys the one it held before).
    HIMAGELIST previous = reinterpret_cast<HIMAGELIST>(
        ::SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images.release())));
    if (previous != nullptr) ::ImageList_Destroy(previous);
    return true;
}

void DocumentListControl::rescaleColumns(UINT fromDpi, UINT toDpi) const {
    for (int index = 0; index < static_cast<int>(std::size(kColumns)); ++index) {
        const int width = static_cast<int>(::SendMessageA(list_, LVM_GETCOLUMNWIDTH, index, 0));
        ::SendMessageA(list_, LVM_SETCOLUMNWIDTH, index,
                       MAKELPARAM(::MulDiv(width, static_cast<int>(toDpi), static_cast<int>(fromDpi)), 0));
    }
}

}  // namespace hs
