// The rows of the real list control as DocumentList drives them: whole rows
// written and read back with every state bit, the one-message selection of
// all rows, the selected-row walk, and a header-click sort that moves
// selection and focus with the documents.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/win32/handles.h"
#include "catalogue/catalogue.h"
#include "app/commands.h"
#include "listview/document_list.h"
#include "listview/win32/document_list_control.h"
#include "listview/win32/list_control_rows.h"
#include "unit/test_support.h"
#include "unit/win32/hidden_window.h"

namespace hs {
namespace {

class ListControlRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent_ = test::hiddenWindow("rows parent");
        ASSERT_TRUE(parent_);
        HWND list = DocumentListControl::create(parent_.get(), 100);
        ASSERT_NE(list, nullptr);
        DocumentListControl(list).insertColumns();
        rows_.attach(list);
    }

    static RowData row(const std::string& name, int image = 0, uint32_t state = 0) {
        RowData r;
        r.cells[0] = name;
        r.cells[1] = name + " type";
        r.cells[2] = name + " status";
        r.cells[3] = name + " time";
        r.image = image;
        r.itemData = 0;
        r.state.bits = state;
        return r;
    }

    static void expectSameRow(const RowData& a, const RowData& b) {
        for (int c = 0; c < kColumnCount; ++c) EXPECT_EQ(a.cells[c], b.cells[c]) << "column " << c;
        EXPECT_EQ(a.image, b.image);
        EXPECT_EQ(a.itemData, b.itemData);
        EXPECT_EQ(a.state.bits, b.state.bits);
    }

    int focusedRow() const {
        return static_cast<int>(::SendMessageA(rows_.window(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                               MAKELPARAM(LVNI_FOCUSED, 0)));
    }

    UniqueWindow parent_;
    ListControlRows rows_;
};

TEST_F(ListControlRowsTest, WholeRowsGoInAndComeBackWithEveryStateBit) {
    const RowData a = row("alpha", 2, kRowSelected | kRowCut | 0x0200 | 0x3000);
    const RowData b = row("beta", 1, kRowFocused | kRowDropHighlighted);
    EXPECT_EQ(rows_.insertRow(0, a), 0);
    EXPECT_EQ(rows_.insertRow(99, b), 1);  // past the end: appended
    ASSERT_EQ(rows_.rowCount(), 2);
    RowData read;
    ASSERT_TRUE(rows_.readRow(0, read));
    expectSameRow(read, a);
    ASSERT_TRUE(rows_.readRow(1, read));
    expectSameRow(read, b);

    // Rewriting a row replaces every cell and every state bit: the row that
    // had the focus loses it, the other takes it.
    ASSERT_TRUE(rows_.writeRow(0, b));
    ASSERT_TRUE(rows_.writeRow(1, a));
    ASSERT_TRUE(rows_.readRow(0, read));
    expectSameRow(read, b);
    ASSERT_TRUE(rows_.readRow(1, read));
    expectSameRow(read, a);
    EXPECT_EQ(focusedRow(), 0);

    // Rows that do not exist.
    EXPECT_FALSE(rows_.readRow(2, read));
    EXPECT_FALSE(rows_.readRow(-1, read));
    EXPECT_FALSE(rows_.writeRow(2, a));
    EXPECT_FALSE(rows_.setCellText(2, 1, "x"));
    EXPECT_FALSE(rows_.setCellText(0, kColumnCount, "x"));
    EXPECT_FALSE(rows_.setImage(5, 1));
    EXPECT_FALSE(rows_.deleteRow(2));
    EXPECT_EQ(rows_.state(7).bits, 0u);
    EXPECT_EQ(rows_.insertRow(-1, a), -1);
    EXPECT_EQ(rows_.rowCount(), 2);
}

TEST_F(ListControlRowsTest, SelectionOfAllRowsChangesOnlyTheSelectedState) {
    for (int i = 0; i < 5; ++i) rows_.insertRow(i, row("r" + std::to_string(i)));
    rows_.setState(3, RowState{kRowFocused | kRowCut}, kRowFocused | kRowCut);
    DocumentCatalogue catalogue;
    DocumentList docs(rows_, catalogue);

    setSelectionOfAll(docs, true);
    EXPECT_EQ(rows_.selectedCount(), 5);
    EXPECT_EQ(rows_.state(3).bits, kRowFocused | kRowCut | kRowSelected);
    setSelectionOfAll(docs, false);
    EXPECT_EQ(rows_.selectedCount(), 0);
    EXPECT_EQ(rows_.state(3).bits, kRowFocused | kRowCut);
    EXPECT_EQ(focusedRow(), 3);

    // The selected-row walk.
    rows_.setState(0, RowState{kRowSelected}, kRowSelected);
    rows_.setState(2, RowState{kRowSelected}, kRowSelected);
    rows_.setState(4, RowState{kRowSelected}, kRowSelected);
    EXPECT_EQ(docs.selectedRows(), (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(rows_.nextSelected(0), 2);
    EXPECT_EQ(rows_.nextSelected(4), -1);
    EXPECT_EQ(rows_.selectedCount(), 3);
    EXPECT_FALSE(rows_.setState(9, RowState{kRowSelected}, kRowSelected));
}

std::string controlText(HWND list, int row, int column) {
    char text[600] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

TEST_F(ListControlRowsTest, HeaderClicksSortTheControlAndSelectionAndFocusMoveWithTheRows) {
    DocumentCatalogue catalogue;
    DocumentList docs(rows_, catalogue);
    const char* names[] = {"delta", "alpha", "echo", "charlie", "bravo"};
    const int32_t statuses[] = {Changed, NotChanged, Saved, UnableToRetrieve, WaitingForRetrieve};
    for (int i = 0; i < 5; ++i) {
        const std::size_t slot = catalogue.appendRecord(
            test::testDocument(names[i], LocalFile, statuses[i], "", i == 1 ? "" : "2004/07/15"));
        ASSERT_EQ(docs.showRecordRow(static_cast<long>(slot), i, InsertRow), i);
    }
    // "echo" selected and focused, "alpha" selected.
    rows_.setState(2, RowState{kRowSelected | kRowFocused}, kRowSelected | kRowFocused);
    rows_.setState(1, RowState{kRowSelected}, kRowSelected);

    docs.sortAscending = 1;
    docs.headerClicked(0);
    const char* ascending[] = {"alpha", "bravo", "charlie", "delta", "echo"};
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(controlText(rows_.window(), r, 0), ascending[r]);
        // Every column moved with its row.
        const long slot = docs.recordOfRow(r);
        ASSERT_GE(slot, 0);
        EXPECT_EQ(controlText(rows_.window(), r, 2), documentStatusText(catalogue.status(slot)));
    }
    EXPECT_EQ(controlText(rows_.window(), 0, 3), "?");
    EXPECT_EQ(docs.selectedRows(), (std::vector<int>{0, 4}));
    EXPECT_EQ(focusedRow(), 4);

    // The next click, on another column, sorts descending: by status text.
    docs.headerClicked(2);
    std::vector<std::string> statusTexts;
    for (int r = 0; r < 5; ++r) statusTexts.push_back(controlText(rows_.window(), r, 2));
    EXPECT_EQ(statusTexts, (std::vector<std::string>{"Waiting for retrieve...", "Unable to retrieve", "Saved",
                                                     "Not changed", "Changed"}));
    EXPECT_EQ(controlText(rows_.window(), focusedRow(), 0), "echo");
    EXPECT_EQ(docs.sortAscending, 1);

    // What DocumentList keeps is what the control shows.
    DocumentList reread(rows_, catalogue);
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < kColumnCount; ++c) {
            std::string kept, shown;
            ASSERT_TRUE(docs.cellText(r, c, kept));
            ASSERT_TRUE(reread.cellText(r, c, shown));
            EXPECT_EQ(kept, shown) << "row " << r << " column " << c;
        }
        EXPECT_EQ(docs.rowImage(r), reread.rowImage(r));
    }
}

}  // namespace
}  // namespace hs
