// The document list's window: a report-style SysListView32 with the four
// columns and the status image list. The rows themselves are written by
// DocumentList through ListControlRows (list_control_rows.h) and painted by
// the row painter (row_painter.h).
//
// DocumentListWindow is the program's one list: the control subclassed only
// for what concerns the list itself (the picture behind the rows, a
// double-click on a row); everything else, its commands and context menu
// among them, goes to its parent as the control sends it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "catalogue/catalogue.h"
#include "listview/document_list.h"
#include "listview/win32/list_background.h"
#include "listview/win32/list_control_rows.h"
#include "platform/file_system.h"
#include "platform/win32/window_base.h"

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

class DocumentListWindow : public Window {
public:
    DocumentListWindow(DocumentCatalogue& catalogue, HINSTANCE module) : catalogue_(catalogue), module_(module) {}

    // Creates the list control as a child of `parent` and subclasses it.
    bool create(HWND parent, int id);

    DocumentList& documents() { return *documents_; }
    const DocumentList& documents() const { return *documents_; }
    ListControlRows& rows() { return rows_; }
    ListBackground& background() { return background_; }
    const ListBackground& background() const { return background_; }
    int selectedCount() const { return rows_.selectedCount(); }

    // True when a change to this many rows is made with the list's
    // redrawing off and one repaint at the end (more than 64); smaller
    // changes repaint just their rows.
    bool bulk(int rows) const;

    // The columns and the status pictures for the window's scale.
    void setUpColumns();
    // The window moved to a screen of another scale: the columns keep their
    // share and the status pictures are taken at the new size.
    void dpiChanged();

    // Loads every record file of the data directory, one row per record at
    // its slot position.
    void loadDocuments(FileSystem& files);

    // Refreshes the rows of these slots, each in the row that shows the
    // document now.
    void refreshRows(const std::vector<std::size_t>& slots);

    // A click on a column header: sorts by that column.
    void columnClicked(int column);

    // Row painting, for the parent's WM_DRAWITEM.
    void drawItem(const DRAWITEMSTRUCT& item) const;
    // The rows' texts and image, for the parent's LVN_GETDISPINFO: the
    // control keeps none of its own (ListControlRows::showOnDemand).
    bool answerDisplayInfo(NMHDR& header) const { return rows_.answerDisplayInfo(header); }

    // Called with the row under a double-click.
    std::function<void(int row)> onRowDoubleClicked;

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    DocumentCatalogue& catalogue_;
    HINSTANCE module_;
    UINT dpi_ = 96;
    ListControlRows rows_;
    std::unique_ptr<DocumentList> documents_;
    ListBackground background_;
};

// The screen point of a WM_CONTEXTMENU request when it lies inside the
// list's client area. A keyboard request ((-1, -1)) and a point outside
// (on the header, the border, a scroll bar) give false.
bool contextMenuPoint(HWND list, LPARAM screenPoint, POINT& point);

}  // namespace hs
