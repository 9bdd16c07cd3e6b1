// Rows tied to records by name: showing, refreshing, the lookups in both
// directions with repeated names, and the name index staying right across
// inserts, deletes, renames and sorts.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/catalogue.h"
#include "listview/document_list.h"
#include "listview/memory_row_list.h"
#include "test_support.h"

namespace hs {
namespace {

using test::testDocument;

class ListRows : public ::testing::Test {
protected:
    // Appends a record and shows it at the row position equal to its slot.
    std::size_t add(const Document& r) {
        std::size_t slot = cat.appendRecord(r);
        EXPECT_GE(list.showRecordRow(static_cast<long>(slot), static_cast<int>(slot), InsertRow), 0);
        return slot;
    }
    void select(int row, bool on = true) {
        rows.setState(row, RowState{on ? kRowSelected : 0u}, kRowSelected);
    }

    DocumentCatalogue cat;
    MemoryRowList rows;
    DocumentList list{rows, cat};
};

TEST_F(ListRows, InsertShowsNameTypeStatusLastCheckAndImage) {
    add(testDocument("never", WebFile, WaitingForRetrieve));
    add(testDocument("checked", 7, 9, "", "2004/07/15 [09:05:03]"));
    ASSERT_EQ(rows.rowCount(), 2);

    const RowData& a = rows.at(0);
    EXPECT_EQ(a.cells[0], "never");
    EXPECT_EQ(a.cells[1], "web file");
    EXPECT_EQ(a.cells[2], "Waiting for retrieve...");
    EXPECT_EQ(a.cells[3], "?");
    EXPECT_EQ(a.image, 1);
    EXPECT_EQ(a.itemData, 0);

    const RowData& b = rows.at(1);
    EXPECT_EQ(b.cells[1], "Unknown");
    EXPECT_EQ(b.cells[2], "Unknown");
    EXPECT_EQ(b.cells[3], "2004/07/15 [09:05:03]");
    EXPECT_EQ(b.image, 0);
}

TEST_F(ListRows, InsertGoesToTheGivenPositionAndAppendsPastTheEnd) {
    add(testDocument("a"));
    add(testDocument("b"));
    std::size_t c = cat.appendRecord(testDocument("c"));
    EXPECT_EQ(list.showRecordRow(static_cast<long>(c), 0, InsertRow), 0);
    std::size_t d = cat.appendRecord(testDocument("d"));
    EXPECT_EQ(list.showRecordRow(static_cast<long>(d), 99, InsertRow), 3);
    std::string t;
    for (int row = 0; row < 4; ++row) {
        ASSERT_TRUE(list.rowText(row, t));
        EXPECT_EQ(t, std::string(1, "cabd"[row]));
        EXPECT_EQ(rows.at(row).cells[0], t);  // the list holds what the core shows
    }
}

TEST_F(ListRows, FreeAndMissingSlotsAreNeverShown) {
    std::size_t a = add(testDocument("a"));
    std::size_t free = cat.findFreeSlot();
    EXPECT_EQ(list.showRecordRow(static_cast<long>(free), 1, InsertRow), -1);
    EXPECT_EQ(list.showRecordRow(99, 1, InsertRow), -1);
    EXPECT_EQ(list.showRecordRow(-1, 0, InsertRow), -1);
    // A cleared slot does not blank the row that showed it.
    cat.clearSlot(a);
    EXPECT_EQ(list.showRecordRow(static_cast<long>(a), 0, RefreshRow), -1);
    EXPECT_EQ(list.refreshRecordRow(static_cast<long>(a)), -1);
    EXPECT_EQ(rows.rowCount(), 1);
    EXPECT_EQ(rows.at(0).cells[0], "a");
}

TEST_F(ListRows, RefreshRewritesTheRowFromItsSlot) {
    std::size_t s = add(testDocument("old", LocalFile, NotChanged));
    select(0);
    cat.withSlot(s, [](Document& r, SlotState&) {
        setField(r.name, "new");
        r.status = Changed;
        setField(r.lastCheck, "2004/07/15 [09:05:03]");
    });
    EXPECT_EQ(list.showRecordRow(static_cast<long>(s), 0, RefreshRow), 0);
    const RowData& r = rows.at(0);
    EXPECT_EQ(r.cells[0], "new");
    EXPECT_EQ(r.cells[2], "Changed");
    EXPECT_EQ(r.cells[3], "2004/07/15 [09:05:03]");
    EXPECT_EQ(r.image, 3);
    EXPECT_TRUE(r.state.selected());  // a refresh keeps the row's state
    EXPECT_EQ(list.rowOfRecord(static_cast<long>(s)), 0);  // found under the new name
    EXPECT_EQ(list.showRecordRow(static_cast<long>(s), 1, RefreshRow), -1);  // no such row
}

TEST_F(ListRows, RowTextAndSelectionOfMissingRowsFail) {
    add(testDocument("a"));
    std::string t = "untouched";
    EXPECT_FALSE(list.rowText(-1, t));
    EXPECT_FALSE(list.rowText(1, t));
    EXPECT_EQ(t, "untouched");
    EXPECT_FALSE(list.isRowSelected(1));
    EXPECT_EQ(list.recordOfRow(1), -1);
    EXPECT_EQ(list.recordOfRow(-1), -1);
    select(0);
    EXPECT_TRUE(list.isRowSelected(0));
}

TEST_F(ListRows, RepeatedNamesMapToTheFirstSlotAndTheFirstRow) {
    add(testDocument("x", HtmlPage));
    std::size_t first = add(testDocument("dup", HtmlPage));
    std::size_t second = add(testDocument("dup", LocalFile));
    EXPECT_EQ(list.recordOfRow(1), static_cast<long>(first));
    EXPECT_EQ(list.recordOfRow(2), static_cast<long>(first));
    EXPECT_EQ(list.rowOfRecord(static_cast<long>(first)), 1);
    EXPECT_EQ(list.rowOfRecord(static_cast<long>(second)), 1);

    // Sorting by type descending brings the second slot's row to the top;
    // the first row in row order is now that one, for both slots.
    list.sortRows(1, false);
    ASSERT_EQ(rows.at(0).cells[1], "local file");
    EXPECT_EQ(list.rowOfRecord(static_cast<long>(first)), 0);
    EXPECT_EQ(list.rowOfRecord(static_cast<long>(second)), 0);
    EXPECT_EQ(list.recordOfRow(0), static_cast<long>(first));
    EXPECT_EQ(list.recordOfRow(1), static_cast<long>(first));
    EXPECT_EQ(list.rowOfRecord(0), 2);
}

TEST_F(ListRows, CaseAndExactTextMatter) {
    add(testDocument("Report"));
    add(testDocument("report "));
    Document other = testDocument("REPORT");
    std::size_t unshown = cat.appendRecord(other);
    EXPECT_EQ(list.rowOfRecord(static_cast<long>(unshown)), -1);
    EXPECT_EQ(list.recordOfRow(0), 0);
    EXPECT_EQ(list.recordOfRow(1), 1);
}

TEST_F(ListRows, LongestNameIsShownInFullAndFoundAgain) {
    add(testDocument("short"));
    std::string longName(510, 'n');
    longName += 'Z';
    ASSERT_EQ(longName.size(), 511u);
    std::size_t s = add(testDocument(longName));
    std::string t;
    ASSERT_TRUE(list.rowText(1, t));
    EXPECT_EQ(t, longName);
    EXPECT_EQ(rows.at(1).cells[0], longName);
    EXPECT_EQ(list.recordOfRow(1), static_cast<long>(s));
    EXPECT_EQ(list.rowOfRecord(static_cast<long>(s)), 1);
}

TEST_F(ListRows, LookupsFollowDeletesInsertsAndSorts) {
    for (const char* n : {"c", "a", "b", "a"}) add(testDocument(n));
    // Warm the name index, then change the rows under it.
    EXPECT_EQ(list.rowOfRecord(1), 1);
    EXPECT_EQ(list.rowOfRecord(2), 2);

    ASSERT_TRUE(list.deleteRow(1));  // first "a" row gone
    EXPECT_EQ(list.rowOfRecord(1), 2);  // slot 1 ("a") now matches the later row
    EXPECT_EQ(list.rowOfRecord(2), 1);

    std::size_t d = cat.appendRecord(testDocument("a"));
    list.showRecordRow(static_cast<long>(d), 0, InsertRow);
    EXPECT_EQ(list.rowOfRecord(1), 0);

    list.sortRows(0, false);  // c b a a
    EXPECT_EQ(list.rowOfRecord(0), 0);
    EXPECT_EQ(list.rowOfRecord(2), 1);
    EXPECT_EQ(list.rowOfRecord(1), 2);

    // An appended row after a warm index: the earlier row stays the first.
    std::size_t e = cat.appendRecord(testDocument("c"));
    list.showRecordRow(static_cast<long>(e), 99, InsertRow);
    EXPECT_EQ(list.rowOfRecord(static_cast<long>(e)), 0);
    std::size_t f = cat.appendRecord(testDocument("fresh"));
    list.showRecordRow(static_cast<long>(f), 99, InsertRow);
    EXPECT_EQ(list.rowOfRecord(static_cast<long>(f)), rows.rowCount() - 1);
}

TEST_F(ListRows, RefreshRecordRowFindsTheRowAfterRowsMoved) {
    for (const char* n : {"b", "c", "a"}) add(testDocument(n));
    list.sortRows(0, true);  // a b c
    cat.setStatus(1, UnableToRetrieve);  // "c"
    EXPECT_EQ(list.refreshRecordRow(1), 2);
    EXPECT_EQ(rows.at(2).cells[2], "Unable to retrieve");
    EXPECT_EQ(rows.at(2).image, 2);
    EXPECT_EQ(rows.at(0).cells[2], "Not changed");
    EXPECT_EQ(rows.at(1).cells[2], "Not changed");
}

TEST_F(ListRows, SelectAndDeselectAllTouchOnlyTheSelectedBit) {
    for (const char* n : {"a", "b", "c"}) add(testDocument(n));
    rows.setState(1, RowState{kRowFocused | kRowCut}, kRowAllStates);
    list.setSelectionOfAll(true);
    EXPECT_EQ(list.selectedCount(), 3);
    EXPECT_EQ(rows.state(1).bits, kRowFocused | kRowCut | kRowSelected);
    list.setSelectionOfAll(false);
    EXPECT_EQ(list.selectedCount(), 0);
    EXPECT_EQ(rows.state(1).bits, kRowFocused | kRowCut);
}

TEST_F(ListRows, AttachingToAListWithRowsReadsThem) {
    MemoryRowList existing;
    RowData r;
    r.cells[0] = "kept";
    r.image = 2;
    existing.insertRow(0, r);
    DocumentCatalogue c;
    c.appendRecord(testDocument("kept"));
    DocumentList attached(existing, c);
    EXPECT_EQ(attached.rowCount(), 1);
    EXPECT_EQ(attached.recordOfRow(0), 0);
    EXPECT_EQ(attached.rowOfRecord(0), 0);
    EXPECT_EQ(attached.rowImage(0), 2);
}

}  // namespace
}  // namespace hs
