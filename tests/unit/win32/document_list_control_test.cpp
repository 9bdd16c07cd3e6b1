// The document list in the real list control: inserting and refreshing rows
// from catalogue slots through DocumentList, the exact-text lookups, and
// refreshes landing in the row that shows the document after the rows were
// reordered.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "platform/win32/handles.h"
#include "catalogue/catalogue.h"
#include "listview/document_list.h"
#include "listview/win32/document_list_control.h"
#include "listview/win32/list_control_rows.h"
#include "unit/test_support.h"
#include "unit/win32/hidden_window.h"

namespace hs {
namespace {

Document doc(const std::string& name, int32_t status, const std::string& lastCheck = "") {
    return test::testDocument(name, LocalFile, status, "", lastCheck);
}

class ListControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent_ = test::hiddenWindow("list parent", WS_OVERLAPPEDWINDOW, 600, 400);
        ASSERT_TRUE(parent_);
        HWND list = DocumentListControl::create(parent_.get(), 100);
        ASSERT_NE(list, nullptr);
        list_ = DocumentListControl(list);
        list_.insertColumns();
        rows_.attach(list);
        docs_ = std::make_unique<DocumentList>(rows_, catalogue_);
        // As in the program: the control asks for every text and image.
        rows_.showOnDemand(docs_.get());
        test::answerDisplayInfoFrom(parent_.get(), rows_);
    }

    std::string cell(int row, int column) {
        char text[600] = {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        ::SendMessageA(list_.window(), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }

    int image(int row) {
        LVITEMA item{};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        ::SendMessageA(list_.window(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return item.iImage;
    }

    std::size_t add(const Document& r) {
        const std::size_t slot = catalogue_.appendRecord(r);
        EXPECT_EQ(docs_->showRecordRow(static_cast<long>(slot), static_cast<int>(slot), InsertRow),
                  static_cast<int>(slot));
        return slot;
    }

    DocumentCatalogue catalogue_;
    UniqueWindow parent_;
    DocumentListControl list_;
    ListControlRows rows_;
    std::unique_ptr<DocumentList> docs_;
};

TEST_F(ListControlTest, TheControlHasExactlyTheListStyles) {
    const LONG style = ::GetWindowLongA(list_.window(), GWL_STYLE);
    EXPECT_EQ(style & 0xFFFF, static_cast<LONG>(LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDRAWFIXED));
    EXPECT_TRUE(::GetWindowLongA(list_.window(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(::SendMessageA(list_.window(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 0);
    const char* headings[] = {"Name", "Type", "Status", "Last check"};
    const int widths[] = {200, 130, 150, 170};
    for (int c = 0; c < 4; ++c) {
        char text[64] = {};
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        ASSERT_TRUE(::SendMessageA(list_.window(), LVM_GETCOLUMNA, c, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(text, headings[c]);
        EXPECT_EQ(column.cx, widths[c]);
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
}

TEST_F(ListControlTest, RowsShowTheRecordAndAQuestionMarkWhenNeverChecked) {
    add(doc("alpha", Changed, "2004/07/15 [09:05:03]"));
    add(doc("beta", WaitingForRetrieve));
    ASSERT_EQ(rows_.rowCount(), 2);
    EXPECT_EQ(cell(0, 0), "alpha");
    EXPECT_EQ(cell(0, 1), documentTypeText(LocalFile));
    EXPECT_EQ(cell(0, 2), documentStatusText(Changed));
    EXPECT_EQ(cell(0, 3), "2004/07/15 [09:05:03]");
    EXPECT_EQ(image(0), statusImageIndex(Changed));
    EXPECT_EQ(cell(1, 2), documentStatusText(WaitingForRetrieve));
    EXPECT_EQ(cell(1, 3), "?");
}

TEST_F(ListControlTest, LookupsMatchExactTextAndTakeTheFirst) {
    add(doc("Report", NotChanged));
    add(doc("report", NotChanged));
    add(doc("Report", Saved));  // a second record of the same name
    EXPECT_EQ(docs_->rowOfRecord(0), 0);
    EXPECT_EQ(docs_->rowOfRecord(1), 1);
    EXPECT_EQ(docs_->rowOfRecord(2), 0);
    EXPECT_EQ(docs_->recordOfRow(2), 0);
    EXPECT_EQ(docs_->recordOfRow(1), 1);
    EXPECT_EQ(docs_->recordOfRow(3), -1);
    catalogue_.clearSlot(1);
    EXPECT_EQ(docs_->rowOfRecord(1), -1);  // a free slot has no row
    EXPECT_EQ(docs_->recordOfRow(1), -1);  // the row's text matches no slot
}

TEST_F(ListControlTest, RefreshLandsInTheRowOfTheDocumentAfterRowsMoved) {
    add(doc("one", NotChanged));
    add(doc("two", NotChanged));
    add(doc("three", NotChanged));
    // Another row is put in front, as a sort or an insert would.
    const std::size_t extra = catalogue_.appendRecord(doc("zero", NotChanged));
    ASSERT_EQ(docs_->showRecordRow(static_cast<long>(extra), 0, InsertRow), 0);
    catalogue_.withSlot(1, [](Document& r, SlotState&) {
        r.status = Changed;
        setField(r.lastCheck, "2004/07/15 [09:05:03]");
    });
    EXPECT_EQ(docs_->refreshRecordRow(1), 2);
    EXPECT_EQ(cell(2, 0), "two");
    EXPECT_EQ(cell(2, 2), documentStatusText(Changed));
    EXPECT_EQ(cell(2, 3), "2004/07/15 [09:05:03]");
    EXPECT_EQ(cell(1, 2), documentStatusText(NotChanged));
    // A deleted document has no row to refresh; nothing else changes.
    ASSERT_TRUE(docs_->deleteRow(3));  // "three"
    EXPECT_EQ(docs_->refreshRecordRow(2), -1);
    EXPECT_EQ(rows_.rowCount(), 3);
    // Refreshing a row that does not exist fails.
    EXPECT_EQ(docs_->showRecordRow(0, 9, RefreshRow), -1);
}

TEST_F(ListControlTest, ARefreshedRowIsRepaintedOnlyWhenInView) {
    ::ShowWindow(parent_.get(), SW_SHOWNOACTIVATE);
    ::MoveWindow(list_.window(), 0, 0, 500, 300, TRUE);
    for (int i = 0; i < 100; ++i) add(doc("d" + std::to_string(i), NotChanged));
    const auto repaintedAfterRefresh = [&](std::size_t slot) {
        ::UpdateWindow(list_.window());
        EXPECT_FALSE(::GetUpdateRect(list_.window(), nullptr, FALSE)) << "before";
        catalogue_.withSlot(slot, [](Document& r, SlotState&) { r.status = r.status == Changed ? NotChanged : Changed; });
        EXPECT_EQ(docs_->refreshRecordRow(static_cast<long>(slot)), static_cast<int>(slot));
        EXPECT_EQ(cell(static_cast<int>(slot), 2), documentStatusText(catalogue_.status(slot)));
        return ::GetUpdateRect(list_.window(), nullptr, FALSE) != FALSE;
    };
    EXPECT_TRUE(repaintedAfterRefresh(1));
    EXPECT_FALSE(repaintedAfterRefresh(90));
    ::SendMessageA(list_.window(), LVM_ENSUREVISIBLE, 90, FALSE);
    EXPECT_TRUE(repaintedAfterRefresh(90));
}

TEST_F(ListControlTest, LongestNameShowsInFullAndIsFoundAgain) {
    const std::string name(511, 'n');
    add(doc(name, NotChanged));
    EXPECT_EQ(cell(0, 0), name);  // what the control shows
    std::string text;
    ASSERT_TRUE(docs_->rowText(0, text));
    EXPECT_EQ(text, name);
    EXPECT_EQ(docs_->recordOfRow(0), 0);
    EXPECT_FALSE(docs_->rowText(1, text));
}

TEST_F(ListControlTest, SelectionCounts) {
    add(doc("a", NotChanged));
    add(doc("b", NotChanged));
    EXPECT_EQ(docs_->selectedCount(), 0);
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    ::SendMessageA(list_.window(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(docs_->selectedCount(), 1);
    EXPECT_FALSE(docs_->isRowSelected(0));
    EXPECT_TRUE(docs_->isRowSelected(1));
    EXPECT_FALSE(docs_->isRowSelected(5));
}

}  // namespace
}  // namespace hs
