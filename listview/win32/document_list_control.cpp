#include "listview/win32/document_list_control.h"

#include "res/resource_ids.h"
#include "catalogue/store.h"
#include "listview/win32/row_painter.h"
#include "platform/win32/dpi.h"
#include "platform/win32/handles.h"

#include <windowsx.h>

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

constexpr int kBulkRows = 64;

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

// ---------------------------------------------------------------- the list window

bool DocumentListWindow::create(HWND parent, int id) {
    HWND list = DocumentListControl::create(parent, id);
    if (list == nullptr) return false;
    rows_.attach(list);
    background_.attach(list, module_);
    documents_ = std::make_unique<DocumentList>(rows_, catalogue_);
    rows_.showOnDemand(documents_.get());
    return subclass(list);
}

bool DocumentListWindow::bulk(int rows) const { return rows > kBulkRows; }


void DocumentListWindow::setUpColumns() {
    DocumentListControl control(window());
    dpi_ = windowDpi(window());
    control.insertColumns();
    control.attachStatusImages(module_);
}

void DocumentListWindow::dpiChanged() {
    const UINT dpi = windowDpi(window());
    if (dpi == dpi_) return;
    DocumentListControl control(window());
    control.rescaleColumns(dpi_, dpi);
    control.attachStatusImages(module_);
    dpi_ = dpi;
    ::InvalidateRect(window(), nullptr, TRUE);
}

void DocumentListWindow::loadDocuments(FileSystem& files) {
    RedrawPause pause(rows_);
    bool first = true;
    loadCatalogue(catalogue_, files, [&](std::size_t slot) {
        // Every record is in the catalogue before the first row is shown:
        // the list makes room for all of them at once.
        if (first) {
            rows_.reserveRows(documents_->rowCount() + static_cast<int>(catalogue_.slotCount()));
            first = false;
        }
        documents_->showRecordRow(static_cast<long>(slot), static_cast<int>(slot), InsertRow);
    });
}

void DocumentListWindow::refreshRows(const std::vector<std::size_t>& slots) {
    if (!documents_) return;
    // No redraw pause: with texts on demand a refreshed row costs only the
    // repaint of a row in view. Lookup and refresh in one step on this
    // thread: each refresh lands in the row that shows the document now,
    // whatever moved since.
    for (std::size_t slot : slots) documents_->refreshRecordRow(static_cast<long>(slot));
}

void DocumentListWindow::columnClicked(int column) {
    if (!documents_) return;
    RedrawPause pause(rows_, documents_->rowCount() > 1);
    documents_->headerClicked(column);
}

void DocumentListWindow::drawItem(const DRAWITEMSTRUCT& item) const {
    if (documents_) drawListRow(window(), *documents_, item, &background_);
}

LRESULT DocumentListWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDBLCLK: {
            const LRESULT result = defaultProc(message, wParam, lParam);
            LVHITTESTINFO hit{};
            hit.pt.x = GET_X_LPARAM(lParam);
            hit.pt.y = GET_Y_LPARAM(lParam);
            const int row = static_cast<int>(::SendMessageA(window(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
            if (row >= 0 && onRowDoubleClicked) onRowDoubleClicked(row);
            return result;
        }
        case WM_ERASEBKGND:
            if (background_.eraseBackground(reinterpret_cast<HDC>(wParam))) return 1;
            break;
        case LVM_DELETEITEM:
        case LVM_DELETEALLITEMS: {
            const LRESULT result = defaultProc(message, wParam, lParam);
            background_.rowsDeleted();
            return result;
        }
        case WM_NOTIFY: {
            // The header is a child of the list: its notifications come here.
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header != nullptr && (header->code == HDN_ITEMCHANGINGA || header->code == HDN_ITEMCHANGINGW)) {
                background_.columnWidthChanging();
            }
            break;
        }
        case WM_QUERYNEWPALETTE: {
            LRESULT changed = 0;
            if (background_.realizePalette(changed)) return changed;
            break;
        }
        case WM_PALETTECHANGED: {
            const LRESULT result = defaultProc(message, wParam, lParam);
            background_.paletteChanged(reinterpret_cast<HWND>(wParam));
            return result;
        }
        case WM_DESTROY:
            background_.release();
            break;
        default:
            break;
    }
    return defaultProc(message, wParam, lParam);
}

bool contextMenuPoint(HWND list, LPARAM screenPoint, POINT& point) {
    point.x = GET_X_LPARAM(screenPoint);
    point.y = GET_Y_LPARAM(screenPoint);
    if (point.x == -1 && point.y == -1) return false;  // a keyboard request has no point
    RECT client{};
    if (!::GetClientRect(list, &client)) return false;
    ::MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return ::PtInRect(&client, point) != FALSE;
}

}  // namespace hs
