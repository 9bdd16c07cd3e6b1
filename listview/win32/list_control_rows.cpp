#include "listview/win32/list_control_rows.h"

#include <algorithm>
#include <cstring>

namespace hs {

namespace {

constexpr int kTextBuffer = 512;  // 511 characters and the terminator

// `text` may be LPSTR_TEXTCALLBACKA: the cell is then asked for.
bool sendSetItemText(HWND list, int row, int column, const char* text) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    return ::SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != 0;
}

std::string itemText(HWND list, int row, int column) {
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

int ListControlRows::rowCount() const {
    if (list_ == nullptr) return 0;
    return static_cast<int>(::SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
}

int ListControlRows::insertRow(int position, const RowData& row) {
    if (list_ == nullptr || position < 0) return -1;
    const int count = rowCount();
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    item.iItem = position > count ? count : position;
    item.pszText = content_ ? LPSTR_TEXTCALLBACKA : const_cast<char*>(row.cells[0].c_str());
    item.iImage = content_ ? I_IMAGECALLBACK : row.image;
    item.lParam = static_cast<LPARAM>(row.itemData);
    item.state = row.state.bits & kRowAllStates;
    item.stateMask = kRowAllStates;
    const int at = static_cast<int>(::SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (at < 0) return -1;
    for (int column = 1; column < kColumnCount; ++column) {
        if (content_) {
            sendSetItemText(list_, at, column, LPSTR_TEXTCALLBACKA);
        } else if (!row.cells[column].empty()) {  // a new row's other cells are empty already
            sendSetItemText(list_, at, column, row.cells[column].c_str());
        }
    }
    return at;
}

bool ListControlRows::deleteRow(int row) {
    if (!exists(row)) return false;
    return ::SendMessageA(list_, LVM_DELETEITEM, static_cast<WPARAM>(row), 0) != 0;
}

bool ListControlRows::readRow(int row, RowData& data) const {
    if (!exists(row)) return false;
    char buffer[kTextBuffer] = {};
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    item.iItem = row;
    item.pszText = buffer;
    item.cchTextMax = kTextBuffer;
    item.stateMask = kRowAllStates;
    if (!::SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return false;
    buffer[kTextBuffer - 1] = '\0';
    data.cells[0] = buffer;
    for (int column = 1; column < kColumnCount; ++column) data.cells[column] = itemText(list_, row, column);
    data.image = item.iImage;
    data.itemData = static_cast<std::intptr_t>(item.lParam);
    data.state.bits = item.state & kRowAllStates;
    return true;
}

bool ListControlRows::writeRow(int row, const RowData& data) {
    if (!exists(row)) return false;
    LVITEMA item{};
    // Texts on demand stay callbacks: the row shows the content's new row.
    item.mask = content_ ? LVIF_PARAM | LVIF_STATE : LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    item.iItem = row;
    item.pszText = const_cast<char*>(data.cells[0].c_str());
    item.iImage = data.image;
    item.lParam = static_cast<LPARAM>(data.itemData);
    item.state = data.state.bits & kRowAllStates;
    item.stateMask = kRowAllStates;
    if (!::SendMessageA(list_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return false;
    if (content_) return repaintRow(row);
    bool ok = true;
    for (int column = 1; column < kColumnCount; ++column) {
        ok = sendSetItemText(list_, row, column, data.cells[column].c_str()) && ok;
    }
    return ok;
}

bool ListControlRows::setCellText(int row, int column, const std::string& text) {
    if (column < 0 || column >= kColumnCount) return false;
    if (content_) return repaintRow(row);
    if (!exists(row)) return false;
    return sendSetItemText(list_, row, column, text.c_str());
}

bool ListControlRows::setImage(int row, int image) {
    if (content_) return repaintRow(row);
    if (!exists(row)) return false;
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = image;
    return ::SendMessageA(list_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

RowState ListControlRows::state(int row) const {
    RowState result;
    if (list_ == nullptr || row < 0) return result;
    // The control answers 0 for a row that does not exist.
    result.bits = static_cast<uint32_t>(::SendMessageA(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(row),
                                                       kRowAllStates)) &
                  kRowAllStates;
    return result;
}

bool ListControlRows::setState(int row, RowState value, uint32_t mask) {
    if (list_ == nullptr) return false;
    if (row != -1 && !exists(row)) return false;
    LVITEMA item{};
    item.stateMask = mask & kRowAllStates;
    item.state = value.bits & item.stateMask;
    // Index -1 sets the state of every row in one message.
    return ::SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != 0;
}

int ListControlRows::selectedCount() const {
    if (list_ == nullptr) return 0;
    return static_cast<int>(::SendMessageA(list_, LVM_GETSELECTEDCOUNT, 0, 0));
}

int ListControlRows::nextSelected(int after) const {
    if (list_ == nullptr) return -1;
    if (after < -1) after = -1;
    return static_cast<int>(
        ::SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(after), MAKELPARAM(LVNI_SELECTED, 0)));
}

bool ListControlRows::repaintRow(int row) const {
    if (!exists(row)) return false;
    if (redrawPauses_ > 0) return true;
    // The rows in view: from the top one, as many as fit and one cut off.
    const int top = static_cast<int>(::SendMessageA(list_, LVM_GETTOPINDEX, 0, 0));
    const int fit = static_cast<int>(::SendMessageA(list_, LVM_GETCOUNTPERPAGE, 0, 0));
    if (row < top || row > top + fit) return true;
    return ::SendMessageA(list_, LVM_REDRAWITEMS, static_cast<WPARAM>(row), static_cast<LPARAM>(row)) != 0;
}

bool ListControlRows::answerDisplayInfo(NMHDR& header) const {
    if (content_ == nullptr || header.hwndFrom != list_) return false;
    // The control asks in the parent's character set.
    const bool wide = header.code == LVN_GETDISPINFOW;
    if (!wide && header.code != LVN_GETDISPINFOA) return false;
    // The A and W items differ only in the type of pszText.
    LVITEMA& item = reinterpret_cast<NMLVDISPINFOA&>(header).item;
    if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
        std::string text;
        content_->cellText(item.iItem, item.iSubItem, text);
        // Cut to the buffer: no byte gives more than one wide character.
        text.resize(std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1)));
        if (wide) {
            auto* buffer = reinterpret_cast<wchar_t*>(item.pszText);
            const int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), buffer,
                                                item.cchTextMax - 1);
            buffer[n] = L'\0';
        } else {
            std::memcpy(item.pszText, text.c_str(), text.size() + 1);
        }
    }
    if ((item.mask & LVIF_IMAGE) != 0) item.iImage = content_->rowImage(item.iItem);
    return true;
}

void ListControlRows::reserveRows(int rows) {
    if (list_ == nullptr || rows <= 0) return;
    ::SendMessageA(list_, LVM_SETITEMCOUNT, static_cast<WPARAM>(rows), 0);
}

// ---------------------------------------------------------------- redraw

RedrawPause::RedrawPause(ListControlRows& rows, bool beginNow) : rows_(rows) {
    if (beginNow) begin();
}

RedrawPause::~RedrawPause() { end(); }

void RedrawPause::begin() {
    if (begun_ || rows_.list_ == nullptr) return;
    begun_ = true;
    if (rows_.redrawPauses_++ == 0) ::SendMessageA(rows_.list_, WM_SETREDRAW, FALSE, 0);
}

void RedrawPause::end() {
    if (!begun_) return;
    begun_ = false;
    if (--rows_.redrawPauses_ > 0) return;
    HWND list = rows_.list_;
    if (!::IsWindow(list)) return;
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    // Rows may have gone: the area below the last row is erased too.
    ::InvalidateRect(list, nullptr, TRUE);
}

}  // namespace hs
