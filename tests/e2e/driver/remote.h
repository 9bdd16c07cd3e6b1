// Reading common controls of another process. Control messages that carry
// a pointer need that pointer to be valid inside the control's process, so
// the structures and text buffers are placed there with VirtualAllocEx and
// copied back with ReadProcessMemory.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <string>
#include <vector>

#include "handles.h"

namespace hs::e2e {

// Memory committed inside another process; released on destruction.
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, std::size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    explicit operator bool() const { return address_ != nullptr; }
    void* address() const { return address_; }
    LPARAM lparam(std::size_t offset = 0) const {
        return reinterpret_cast<LPARAM>(static_cast<char*>(address_) + offset);
    }
    template <class T>
    T* at(std::size_t offset) const {
        return reinterpret_cast<T*>(static_cast<char*>(address_) + offset);
    }
    bool write(std::size_t offset, const void* data, std::size_t size) const;
    bool read(std::size_t offset, void* data, std::size_t size) const;
    // A zero-terminated string read from `offset`, at most `max` bytes.
    std::string readString(std::size_t offset, std::size_t max) const;

private:
    HANDLE process_;
    void* address_ = nullptr;
};

// A handle on the process that owns a window, with the rights the remote
// reads need.
UniqueHandle openWindowProcess(HWND w);

// A report-view list control ("SysListView32") of another process.
class RemoteListView {
public:
    explicit RemoteListView(HWND list);
    explicit operator bool() const { return static_cast<bool>(process_); }

    int rowCount() const;
    int columnCount() const;
    std::string text(int row, int column) const;
    std::vector<std::string> rowTexts(int row) const;  // every column
    int image(int row) const;                           // -1 when unreadable
    UINT state(int row, UINT mask = LVIS_SELECTED | LVIS_FOCUSED) const;
    int selectedCount() const;
    // Sets or clears the selected state of one row (-1: every row), as a
    // click would; the focus and other states stay.
    bool setSelected(int row, bool selected) const;
    std::vector<std::string> headerTexts() const;
    int columnWidth(int column) const;
    // The list's header control, or null.
    HWND header() const;
    // The rectangle of a column's heading, in the header's client coordinates.
    bool headerItemRect(int column, RECT& rect) const;
    // The bounds of a row, in the list's client coordinates.
    bool rowRect(int row, RECT& rect) const;
    // The first-column texts of every row, in row order.
    std::vector<std::string> names() const;
    HWND window() const { return list_; }

private:
    HWND list_;
    UniqueHandle process_;
};

// Rows found by their first-column text, so that a sort cannot mislead.
// The row whose name is `name`, or -1.
int rowNamed(const RemoteListView& list, const std::string& name);
// The text of a column of the row named `name` ("" when there is none).
std::string cellOf(const RemoteListView& list, const std::string& name, int column);
// Selects exactly the rows with these names; false when one is missing.
bool selectOnly(const RemoteListView& list, const std::vector<std::string>& names);
// The names of the selected rows, in row order.
std::vector<std::string> selectedNames(const RemoteListView& list);

// The text of one pane of a status bar ("msctls_statusbar32").
std::string statusBarText(HWND statusBar, int pane = 0);
int statusBarPaneCount(HWND statusBar);

}  // namespace hs::e2e
