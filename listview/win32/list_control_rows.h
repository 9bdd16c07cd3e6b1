// The rows of the document list in the real report list control: RowList
// over a SysListView32, one or a few LVM_* messages per operation. The list
// control keeps the rows; DocumentList keeps its own copy of what they show
// and tells this class what to change.
//
// With texts on demand (showOnDemand), the control keeps only each row's
// item data and states: its texts and image are callbacks, answered from the
// RowContent through the parent's LVN_GETDISPINFOA (answerDisplayInfo). A
// changed cell then costs the repaint of its row when the row is in view,
// instead of a text copied into the control and the notifications that
// come with it.
//
// Window thread only: every call is a message sent to the list window.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "listview/row_list.h"

namespace hs {

class ListControlRows : public RowList {
public:
    ListControlRows() = default;
    explicit ListControlRows(HWND list) : list_(list) {}

    void attach(HWND list) { list_ = list; }
    HWND window() const { return list_; }

    // Rows inserted from now on show the texts and image of `content` (which
    // must outlive the rows); nullptr: the control keeps what it is given.
    void showOnDemand(const RowContent* content) { content_ = content; }
    bool onDemand() const { return content_ != nullptr; }
    // Answers the control's LVN_GETDISPINFOA or LVN_GETDISPINFOW (the
    // notification's header, as the parent gets it) from the content; false
    // for another notification or without texts on demand.
    bool answerDisplayInfo(NMHDR& header) const;

    int rowCount() const override;
    // LVM_INSERTITEMA with the first cell, image, item data and state, then
    // LVM_SETITEMTEXTA for each other non-empty cell.
    int insertRow(int position, const RowData& row) override;
    bool deleteRow(int row) override;
    bool readRow(int row, RowData& data) const override;
    // LVM_SETITEMA (first cell, image, item data, every state bit), then the
    // other cells.
    bool writeRow(int row, const RowData& data) override;
    bool setCellText(int row, int column, const std::string& text) override;
    bool setImage(int row, int image) override;
    RowState state(int row) const override;
    bool setState(int row, RowState value, uint32_t mask) override;
    int selectedCount() const override;
    int nextSelected(int after) const override;

    // Makes room for `rows` rows before a bulk insert (LVM_SETITEMCOUNT).
    void reserveRows(int rows);

    // True while some RedrawPause of these rows is active.
    bool redrawPaused() const { return redrawPauses_ > 0; }

private:
    friend class RedrawPause;
    bool exists(int row) const { return row >= 0 && row < rowCount(); }
    // Repaints a row that is in view, unless a redraw pause repaints all.
    bool repaintRow(int row) const;

    HWND list_ = nullptr;
    const RowContent* content_ = nullptr;
    int redrawPauses_ = 0;  // active pauses; window thread only
};

// Turns the list's redrawing off for a bulk change (loading, sorting,
// marking every row) and back on, with one repaint of the whole list, when
// the last pause of the list ends. Pauses nest. begin() may come later than
// the construction, for changes that start only after a question.
class RedrawPause {
public:
    explicit RedrawPause(ListControlRows& rows, bool beginNow = true);
    ~RedrawPause();
    RedrawPause(const RedrawPause&) = delete;
    RedrawPause& operator=(const RedrawPause&) = delete;

    void begin();
    void end();

private:
    ListControlRows& rows_;
    bool begun_ = false;
};

}  // namespace hs
