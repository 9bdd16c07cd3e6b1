// The document list: one row per used catalogue slot, tied to its record by
// text alone. A row's first-column text is the record's name; recordOfRow
// and rowOfRecord match the two by exact, case-sensitive text, and always
// answer with the first matching slot and the first matching row.
//
// DocumentList owns every change to the rows of its RowList and keeps a copy
// of what each row shows (texts, image, item data), so that reading a row,
// looking a name up and sorting cost no list messages (a list that shows
// texts on demand asks it, as RowContent); only the row states
// (selection, focus, ...), which the user changes in the control, are read
// from the list itself. A name -> first row index answers rowOfRecord in
// constant time; it is rebuilt lazily after rows are inserted, deleted,
// sorted or renamed.
//
// Not thread-safe: user-interface thread only. Check workers hand slot
// numbers to that thread, which calls refreshRecordRow.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "catalogue/catalogue.h"
#include "listview/row_list.h"

namespace hs {

enum ShowRowMode {
    InsertRow,   // insert a new row at the given position
    RefreshRow,  // rewrite an existing row
};

// Byte-wise comparison of two cell texts as unsigned character codes, with a
// shorter text before its extensions (as strcmp). The program runs on a
// single-byte ANSI code page, where byte order is character order, so no
// double-byte lead/trail pairing is done.
int compareCellText(const std::string& a, const std::string& b);

class DocumentList : public RowContent {
public:
    DocumentList(RowList& rows, DocumentCatalogue& catalogue);
    DocumentList(const DocumentList&) = delete;
    DocumentList& operator=(const DocumentList&) = delete;

    // Re-reads every row from the RowList (used when attaching to a list
    // that already has rows).
    void resync();

    int rowCount() const { return static_cast<int>(shown_.size()); }

    // The first-column text of a row, at most 511 characters; false when the
    // row does not exist.
    bool rowText(int row, std::string& text) const;
    // Any column's text; false when the row or column does not exist.
    bool cellText(int row, int column, std::string& text) const override;
    int rowImage(int row) const override;

    // True when the row exists and is selected.
    bool isRowSelected(int row) const;
    int selectedCount() const;
    // The first selected row after `after` (-1: from the start), or -1.
    int nextSelectedRow(int after) const;
    // Every selected row, in row order.
    std::vector<int> selectedRows() const;

    // The slot of the row's record: the first used slot whose name equals the
    // row's text exactly; -1 when the row does not exist or nothing matches.
    long recordOfRow(int row) const;

    // The first row whose text equals the slot's name, or -1 (also for a free
    // or missing slot).
    int rowOfRecord(long slot) const;

    // Shows a slot in a row. InsertRow inserts a new row at `row` (callers
    // pass the slot index; a position past the end appends); RefreshRow
    // rewrites the image and first column of the existing row `row`. Both
    // then set the type, status and last-check columns ("?" when the record
    // was never checked). Returns the row, or -1 when the slot is free or
    // missing or the row does not exist; nothing changes then.
    int showRecordRow(long slot, int row, ShowRowMode mode);

    // Looks the slot's row up and refreshes it in one step, so the refresh
    // always lands in the row showing that document. Returns the row or -1.
    int refreshRecordRow(long slot);

    bool deleteRow(int row);

    // Sets or clears the selected state of every row; other states stay.
    void setSelectionOfAll(bool select);

    // Sorts rows first..last (last -1: the last row) by the texts of
    // `column` with the list's quicksort (see the .cpp). Rows move whole:
    // texts, image, item data and every state bit.
    void sortRows(int column, bool ascending, int first = 0, int last = -1);

    // A click on a column header: sort every row by that column in the
    // direction of sortAscending, then flip sortAscending.
    void headerClicked(int column);

    RowList& rows() { return rows_; }
    DocumentCatalogue& catalogue() { return catalogue_; }

    // The sort direction toggle of the list: 1 at start, flipped by every
    // header click whichever column was clicked.
    int sortAscending = 1;

private:
    struct Shown {
        std::string cells[kColumnCount];
        int image = 0;
        std::intptr_t itemData = 0;
    };

    bool exists(int row) const { return row >= 0 && row < rowCount(); }
    void invalidateIndex() { indexValid_ = false; }
    void buildIndex() const;

    RowList& rows_;
    DocumentCatalogue& catalogue_;
    // What each row shows, in row order (pointers so that deleting a row
    // in a long list moves pointers, not strings).
    std::vector<std::unique_ptr<Shown>> shown_;
    mutable std::unordered_map<std::string, int> firstRow_;
    mutable bool indexValid_ = false;
};

}  // namespace hs
