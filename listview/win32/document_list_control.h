// The document list's control: a report-style SysListView32 with one row per
// used catalogue slot. A row carries no reference to its record: its
// first-column text is the record's name, and rows and slots are matched by
// exact, case-sensitive text.
//
// Every function here runs on the window thread (check workers reach rows
// only through messages posted to the view).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <string>

#include "catalogue/catalogue.h"

namespace hs {

enum class RowMode { Insert, Refresh };

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

    int rowCount() const;
    int selectedCount() const;
    bool isRowSelected(int row) const;

    // The first-column text of `row` (at most 511 characters); false when
    // the row does not exist.
    bool rowText(int row, std::string& text) const;

    // The first row whose text equals the slot's name, or -1.
    long rowOfRecord(const DocumentCatalogue& catalogue, std::size_t slot) const;

    // The first used slot whose name equals the row's text, or -1.
    long recordOfRow(const DocumentCatalogue& catalogue, int row) const;

    // Insert: a new row at `row` with the slot's name and status image.
    // Refresh: the existing row's image and name. Both then set the type,
    // status and last-check ("?" when empty) columns. Returns the row used,
    // or -1 when nothing could be shown.
    int showRecordRow(const DocumentCatalogue& catalogue, std::size_t slot, int row,
                      RowMode mode) const;

    // Looks the slot's row up and refreshes it in one step on the window
    // thread, so the refresh lands in the row that shows this document even
    // after rows were sorted, deleted or inserted. False when it has no row.
    bool refreshRecordRow(const DocumentCatalogue& catalogue, std::size_t slot) const;

    // Draws one owner-drawn row: the highlight (across all columns when
    // `fullRowHighlight`, else over the first column), the status image, the
    // column texts with an end ellipsis, and the focus rectangle.
    void drawRow(const DRAWITEMSTRUCT& item, bool fullRowHighlight) const;

private:
    HWND list_ = nullptr;
};

}  // namespace hs
