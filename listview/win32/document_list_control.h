// The document list's window: a report-style SysListView32 with the four
// columns and the status image list. The rows themselves are written by
// DocumentList through ListControlRows (list_control_rows.h) and painted by
// the row painter (row_painter.h).
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace hs {

class DocumentListControl {
public:
    // Exactly the list styles of the document list; no extended style.
    static constexpr DWORD kListStyles = LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDRAWFIXED;

    DocumentListControl() = default;
    explicit DocumentListControl(HWND list) : list_(list) {}

    // Creates the list control as a visible child of `parent` with a sunken
    // client edge and `id` as its control id.
    static HWND create(HWND parent, int id);

    HWND window() const { return list_; }

    // "Name" 200, "Type" 130, "Status" 150, "Last check" 170, all left-aligned.
    void insertColumns() const;

    // Builds the status image list from bitmap 130 (16 x 16 pictures,
    // magenta transparent) and attaches it as the small-image list; the list
    // control frees it when it is destroyed. Returns false when it failed.
    bool attachStatusImages(HINSTANCE module) const;

    // Column widths after the list moved from a screen at `fromDpi` to one
    // at `toDpi`, in the same proportion.
    void rescaleColumns(UINT fromDpi, UINT toDpi) const;

private:
    HWND list_ = nullptr;
};

}  // namespace hs
