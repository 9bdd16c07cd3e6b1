#include "remote.h"

#include <commctrl.h>

#include "window_find.h"

namespace hs::e2e {

RemoteMemory::RemoteMemory(HANDLE process, std::size_t size) : process_(process) {
    if (process_)
        address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteMemory::~RemoteMemory() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
}

bool RemoteMemory::write(std::size_t offset, const void* data, std::size_t size) const {
    SIZE_T done = 0;
    return address_ &&
           WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &done) &&
           done == size;
}

bool RemoteMemory::read(std::size_t offset, void* data, std::size_t size) const {
    SIZE_T done = 0;
    return address_ &&
           ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &done) &&
           done == size;
}

std::string RemoteMemory::readString(std::size_t offset, std::size_t max) const {
    std::string buf(max, '\0');
    if (!read(offset, buf.data(), max)) return "";
    const auto end = buf.find('\0');
    if (end != std::string::npos) buf.resize(end);
    return buf;
}

UniqueHandle openWindowProcess(HWND w) {
    const DWORD pid = windowProcessId(w);
    if (pid == 0) return UniqueHandle();
    return UniqueHandle(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                        PROCESS_QUERY_INFORMATION,
                                    FALSE, pid));
}

// ---------------------------------------------------------------- list view

namespace {

constexpr std::size_t kTextBuffer = 1024;  // rows hold at most 511 characters

}  // namespace

RemoteListView::RemoteListView(HWND list) : list_(list), process_(openWindowProcess(list)) {}

int RemoteListView::rowCount() const {
    LRESULT n = -1;
    if (!sendBounded(list_, LVM_GETITEMCOUNT, 0, 0, &n)) return -1;
    return static_cast<int>(n);
}

int RemoteListView::columnCount() const {
    LRESULT header = 0;
    if (!sendBounded(list_, LVM_GETHEADER, 0, 0, &header) || !header) return -1;
    LRESULT n = -1;
    sendBounded(reinterpret_cast<HWND>(header), HDM_GETITEMCOUNT, 0, 0, &n);
    return static_cast<int>(n);
}

std::string RemoteListView::text(int row, int column) const {
    RemoteMemory mem(process_.get(), sizeof(LVITEMA) + kTextBuffer);
    if (!mem) return "";
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = mem.at<char>(sizeof(LVITEMA));
    item.cchTextMax = static_cast<int>(kTextBuffer);
    const char zero = 0;
    if (!mem.write(0, &item, sizeof item) || !mem.write(sizeof(LVITEMA), &zero, 1)) return "";
    LRESULT n = 0;
    if (!sendBounded(list_, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), mem.lparam(), &n)) return "";
    return mem.readString(sizeof(LVITEMA), kTextBuffer);
}

std::vector<std::string> RemoteListView::rowTexts(int row) const {
    std::vector<std::string> cells;
    const int columns = columnCount();
    for (int c = 0; c < columns; ++c) cells.push_back(text(row, c));
    return cells;
}

int RemoteListView::image(int row) const {
    RemoteMemory mem(process_.get(), sizeof(LVITEMA));
    if (!mem) return -1;
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = -1;
    if (!mem.write(0, &item, sizeof item)) return -1;
    LRESULT ok = 0;
    if (!sendBounded(list_, LVM_GETITEMA, 0, mem.lparam(), &ok) || !ok) return -1;
    if (!mem.read(0, &item, sizeof item)) return -1;
    return item.iImage;
}

UINT RemoteListView::state(int row, UINT mask) const {
    LRESULT s = 0;
    sendBounded(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), mask, &s);
    return static_cast<UINT>(s);
}

int RemoteListView::selectedCount() const {
    LRESULT n = -1;
    sendBounded(list_, LVM_GETSELECTEDCOUNT, 0, 0, &n);
    return static_cast<int>(n);
}

bool RemoteListView::setSelected(int row, bool selected) const {
    RemoteMemory mem(process_.get(), sizeof(LVITEMA));
    if (!mem) return false;
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    if (!mem.write(0, &item, sizeof item)) return false;
    LRESULT ok = 0;
    return sendBounded(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), mem.lparam(), &ok) && ok;
}

std::vector<std::string> RemoteListView::headerTexts() const {
    std::vector<std::string> out;
    LRESULT headerResult = 0;
    if (!sendBounded(list_, LVM_GETHEADER, 0, 0, &headerResult) || !headerResult) return out;
    const HWND header = reinterpret_cast<HWND>(headerResult);
    LRESULT count = 0;
    sendBounded(header, HDM_GETITEMCOUNT, 0, 0, &count);
    RemoteMemory mem(process_.get(), sizeof(HDITEMA) + kTextBuffer);
    if (!mem) return out;
    for (int i = 0; i < count; ++i) {
        HDITEMA item{};
        item.mask = HDI_TEXT;
        item.pszText = mem.at<char>(sizeof(HDITEMA));
        item.cchTextMax = static_cast<int>(kTextBuffer);
        const char zero = 0;
        mem.write(0, &item, sizeof item);
        mem.write(sizeof(HDITEMA), &zero, 1);
        LRESULT ok = 0;
        sendBounded(header, HDM_GETITEMA, static_cast<WPARAM>(i), mem.lparam(), &ok);
        out.push_back(ok ? mem.readString(sizeof(HDITEMA), kTextBuffer) : std::string());
    }
    return out;
}

int RemoteListView::columnWidth(int column) const {
    LRESULT w = 0;
    sendBounded(list_, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0, &w);
    return static_cast<int>(w);
}

HWND RemoteListView::header() const {
    LRESULT header = 0;
    if (!sendBounded(list_, LVM_GETHEADER, 0, 0, &header)) return nullptr;
    return reinterpret_cast<HWND>(header);
}

bool RemoteListView::headerItemRect(int column, RECT& rect) const {
    const HWND h = header();
    RemoteMemory mem(process_.get(), sizeof(RECT));
    if (!h || !mem) return false;
    LRESULT ok = 0;
    return sendBounded(h, HDM_GETITEMRECT, static_cast<WPARAM>(column), mem.lparam(), &ok) && ok &&
           mem.read(0, &rect, sizeof rect);
}

bool RemoteListView::rowRect(int row, RECT& rect) const {
    RemoteMemory mem(process_.get(), sizeof(RECT));
    if (!mem) return false;
    RECT request{};
    request.left = LVIR_BOUNDS;
    LRESULT ok = 0;
    return mem.write(0, &request, sizeof request) &&
           sendBounded(list_, LVM_GETITEMRECT, static_cast<WPARAM>(row), mem.lparam(), &ok) && ok &&
           mem.read(0, &rect, sizeof rect);
}

std::vector<std::string> RemoteListView::names() const {
    std::vector<std::string> out;
    const int rows = rowCount();
    for (int r = 0; r < rows; ++r) out.push_back(text(r, 0));
    return out;
}

int rowNamed(const RemoteListView& list, const std::string& name) {
    const int rows = list.rowCount();
    for (int r = 0; r < rows; ++r)
        if (list.text(r, 0) == name) return r;
    return -1;
}

std::string cellOf(const RemoteListView& list, const std::string& name, int column) {
    const int row = rowNamed(list, name);
    return row < 0 ? std::string() : list.text(row, column);
}

bool selectOnly(const RemoteListView& list, const std::vector<std::string>& names) {
    if (!list.setSelected(-1, false)) return false;
    for (const auto& name : names) {
        const int row = rowNamed(list, name);
        if (row < 0 || !list.setSelected(row, true)) return false;
    }
    return true;
}

std::vector<std::string> selectedNames(const RemoteListView& list) {
    std::vector<std::string> out;
    const int rows = list.rowCount();
    for (int r = 0; r < rows; ++r)
        if (list.state(r, LVIS_SELECTED) & LVIS_SELECTED) out.push_back(list.text(r, 0));
    return out;
}

// ---------------------------------------------------------------- status bar

int statusBarPaneCount(HWND statusBar) {
    LRESULT n = 0;
    sendBounded(statusBar, SB_GETPARTS, 0, 0, &n);
    return static_cast<int>(n);
}

std::string statusBarText(HWND statusBar, int pane) {
    LRESULT lenResult = 0;
    if (!sendBounded(statusBar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(pane), 0, &lenResult))
        return "";
    const std::size_t len = LOWORD(lenResult);
    UniqueHandle process = openWindowProcess(statusBar);
    RemoteMemory mem(process.get(), len + 16);
    if (!mem) return "";
    const char zero = 0;
    mem.write(0, &zero, 1);
    if (!sendBounded(statusBar, SB_GETTEXTA, static_cast<WPARAM>(pane), mem.lparam())) return "";
    return mem.readString(0, len + 1);
}

}  // namespace hs::e2e
