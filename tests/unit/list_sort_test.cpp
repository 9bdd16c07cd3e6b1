// Header-click sorting: the exact order of the list's quicksort (checked by
// hand on small cases and against a direct row-swapping version on random
// lists), whole rows moving with their states, and the one program-wide
// direction toggle.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "listview/document_list.h"
#include "listview/memory_row_list.h"

namespace hs {
namespace {

// Counts whole-row rewrites, to see how much of the list a sort touches.
class CountingRows : public MemoryRowList {
public:
    bool writeRow(int row, const RowData& data) override {
        ++writes;
        return MemoryRowList::writeRow(row, data);
    }
    int writes = 0;
};

// The sort as a list that swaps its rows in place would run it, recursion
// and all; std::string compares char as unsigned, as the list must.
void referenceSort(std::vector<RowData>& rows, int col, bool asc, int L, int H) {
    if (H == -1) H = static_cast<int>(rows.size()) - 1;
    if (H <= L) return;
    const std::string pivot = rows[(L + H) / 2].cells[col];
    auto t = [&](int k) -> const std::string& { return rows[k].cells[col]; };
    int i = L, j = H;
    while (i <= j) {
        if (asc) {
            while (i < H && t(i).compare(pivot) < 0) ++i;
            while (j > L && t(j).compare(pivot) > 0) --j;
        } else {
            while (i < H && t(i).compare(pivot) > 0) ++i;
            while (j > L && t(j).compare(pivot) < 0) --j;
        }
        if (i <= j) {
            if (t(i) != t(j)) std::swap(rows[i], rows[j]);
            ++i;
            --j;
        }
    }
    if (L < j) referenceSort(rows, col, asc, L, j);
    if (i < H) referenceSort(rows, col, asc, i, H);
}

class ListSort : public ::testing::Test {
protected:
    void SetUp() override { list.sortAscending = 1; }

    // Rows put straight into the list (the catalogue is not needed to sort);
    // item data numbers each row by its original position.
    void fill(const std::vector<std::vector<std::string>>& cells) {
        for (std::size_t k = 0; k < cells.size(); ++k) {
            RowData r;
            for (int c = 0; c < kColumnCount && c < static_cast<int>(cells[k].size()); ++c) {
                r.cells[c] = cells[k][c];
            }
            r.image = static_cast<int>(k % 4);
            r.itemData = static_cast<std::intptr_t>(k);
            rows.insertRow(static_cast<int>(k), r);
        }
        list.resync();
    }
    void fillNames(const std::vector<std::string>& names) {
        std::vector<std::vector<std::string>> cells;
        for (const auto& n : names) cells.push_back({n});
        fill(cells);
    }
    std::vector<std::intptr_t> origins() const {
        std::vector<std::intptr_t> o;
        for (int r = 0; r < rows.rowCount(); ++r) o.push_back(rows.at(r).itemData);
        return o;
    }
    std::vector<std::string> column(int c) const {
        std::vector<std::string> v;
        for (int r = 0; r < rows.rowCount(); ++r) v.push_back(rows.at(r).cells[c]);
        return v;
    }

    DocumentCatalogue cat;
    CountingRows rows;
    DocumentList list{rows, cat};
};

using Origins = std::vector<std::intptr_t>;

TEST_F(ListSort, EqualTextsEndInTheQuicksortsOrderNotAStableOne) {
    fillNames({"b", "a", "b", "a"});
    list.sortRows(0, true);
    EXPECT_EQ(origins(), (Origins{3, 1, 2, 0}));
}

TEST_F(ListSort, DescendingOrderOfEqualTextsByHand) {
    fillNames({"b", "a", "b", "a"});
    list.sortRows(0, false);
    EXPECT_EQ(origins(), (Origins{0, 2, 1, 3}));
}

TEST_F(ListSort, BytesCompareUnsignedAndCaseSensitive) {
    fillNames({"\xE9t\xE9", "zoo", "Zoo", "apple", "Apple", "zo"});
    list.sortRows(0, true);
    EXPECT_EQ(column(0),
              (std::vector<std::string>{"Apple", "Zoo", "apple", "zo", "zoo", "\xE9t\xE9"}));
}

TEST_F(ListSort, NeverCheckedSortsAfterEveryDate) {
    fill({{"a", "", "", "?"},
          {"b", "", "", "2004/07/15 [09:05:03]"},
          {"c", "", "", "?"},
          {"d", "", "", "1999/12/31 [23:59:59]"},
          {"e", "", "", "2004/07/15 [09:05:02]"}});
    list.sortRows(3, true);
    EXPECT_EQ(column(3), (std::vector<std::string>{"1999/12/31 [23:59:59]", "2004/07/15 [09:05:02]",
                                                   "2004/07/15 [09:05:03]", "?", "?"}));
    list.sortRows(3, false);
    EXPECT_EQ(column(3)[0], "?");
    EXPECT_EQ(column(3)[1], "?");
    EXPECT_EQ(column(3)[4], "1999/12/31 [23:59:59]");
}

TEST_F(ListSort, LongestNamesDifferingInTheLastByte) {
    const std::string base(510, 'm');
    fillNames({base + "c", base + "a", base, base + "b"});
    list.sortRows(0, true);
    EXPECT_EQ(column(0), (std::vector<std::string>{base, base + "a", base + "b", base + "c"}));
}

TEST_F(ListSort, WholeRowsMoveWithEveryStateBit) {
    fill({{"c", "t-c", "s-c", "l-c"}, {"a", "t-a", "s-a", "l-a"}, {"b", "t-b", "s-b", "l-b"}});
    rows.setState(0, RowState{kRowSelected | kRowFocused}, kRowAllStates);
    rows.setState(1, RowState{kRowCut | 0x0300}, kRowAllStates);
    rows.setState(2, RowState{kRowDropHighlighted | 0x2000 | kRowSelected}, kRowAllStates);
    list.sortRows(0, true);
    ASSERT_EQ(column(0), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(rows.at(0).state.bits, kRowCut | 0x0300u);
    EXPECT_EQ(rows.at(1).state.bits, kRowDropHighlighted | 0x2000u | kRowSelected);
    EXPECT_EQ(rows.at(2).state.bits, kRowSelected | kRowFocused);
    for (int r = 0; r < 3; ++r) {
        const std::string n = rows.at(r).cells[0];
        EXPECT_EQ(rows.at(r).cells[1], "t-" + n);
        EXPECT_EQ(rows.at(r).cells[2], "s-" + n);
        EXPECT_EQ(rows.at(r).cells[3], "l-" + n);
    }
    EXPECT_EQ(origins(), (Origins{1, 2, 0}));
    EXPECT_EQ(rows.at(0).image, 1);  // images were numbered by origin
    EXPECT_EQ(rows.at(2).image, 0);
    // The core's own view of the rows moved too.
    std::string t;
    ASSERT_TRUE(list.cellText(2, 2, t));
    EXPECT_EQ(t, "s-c");
    EXPECT_EQ(list.rowImage(0), 1);
    EXPECT_TRUE(list.isRowSelected(2));
    EXPECT_FALSE(list.isRowSelected(0));
}

TEST_F(ListSort, MatchesRowSwappingSortOnRandomLists) {
    std::mt19937 rng(12345);
    const char* words[] = {"alpha", "Alpha", "beta", "b", "", "?", "2004/07/15 [09:05:03]", "\xC4z"};
    for (int round = 0; round < 200; ++round) {
        rows = CountingRows();
        const int n = static_cast<int>(rng() % 40);
        std::vector<std::vector<std::string>> cells;
        for (int k = 0; k < n; ++k) {
            std::vector<std::string> row;
            for (int c = 0; c < kColumnCount; ++c) row.push_back(words[rng() % 8]);
            cells.push_back(row);
        }
        fill(cells);
        for (int k = 0; k < n; ++k) rows.setState(k, RowState{static_cast<uint32_t>(rng()) & kRowAllStates}, kRowAllStates);

        const int col = static_cast<int>(rng() % kColumnCount);
        const bool asc = (rng() & 1) != 0;
        int first = 0, last = -1;
        if (n > 2 && round % 3 == 0) {
            first = static_cast<int>(rng() % n);
            last = first + static_cast<int>(rng() % (n - first));
        }

        std::vector<RowData> expected;
        for (int k = 0; k < n; ++k) expected.push_back(rows.at(k));
        referenceSort(expected, col, asc, first, last);

        list.sortRows(col, asc, first, last);
        ASSERT_EQ(rows.rowCount(), n);
        for (int k = 0; k < n; ++k) {
            SCOPED_TRACE("round " + std::to_string(round) + " row " + std::to_string(k));
            const RowData& got = rows.at(k);
            ASSERT_EQ(got.itemData, expected[k].itemData);
            ASSERT_EQ(got.state.bits, expected[k].state.bits);
            for (int c = 0; c < kColumnCount; ++c) ASSERT_EQ(got.cells[c], expected[k].cells[c]);
        }
        // A whole-list sort leaves the column ordered in its direction.
        if (last == -1) {
            std::vector<std::string> v = column(col);
            if (asc) {
                EXPECT_TRUE(std::is_sorted(v.begin(), v.end()));
            } else {
                EXPECT_TRUE(std::is_sorted(v.rbegin(), v.rend()));
            }
        }
    }
}

TEST_F(ListSort, PartialRangeLeavesOtherRowsAlone) {
    fillNames({"z", "d", "c", "b", "a"});
    list.sortRows(0, true, 1, 3);
    EXPECT_EQ(column(0), (std::vector<std::string>{"z", "b", "c", "d", "a"}));
}

TEST_F(ListSort, OnlyRowsThatMoveAreRewritten) {
    fillNames({"a", "b", "c", "d", "e", "f"});
    list.sortRows(0, true);
    EXPECT_EQ(rows.writes, 0);
    fillNames({});  // no-op refill keeps rows
    list.sortRows(0, false);  // reverses the list: every row moves
    EXPECT_EQ(column(0), (std::vector<std::string>{"f", "e", "d", "c", "b", "a"}));
    EXPECT_EQ(rows.writes, 6);
}

TEST_F(ListSort, HeaderClicksShareOneDirectionToggle) {
    fill({{"b", "", "Changed"}, {"c", "", "Not changed"}, {"a", "", "Saved"}});
    list.headerClicked(0);  // ascending by name
    EXPECT_EQ(column(0), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(list.sortAscending, 0);
    list.headerClicked(2);  // descending by status
    EXPECT_EQ(column(2), (std::vector<std::string>{"Saved", "Not changed", "Changed"}));
    EXPECT_EQ(list.sortAscending, 1);
    list.headerClicked(0);
    list.headerClicked(0);  // name ascending, then descending
    EXPECT_EQ(column(0), (std::vector<std::string>{"c", "b", "a"}));
}

TEST_F(ListSort, ClicksOnTinyListsStillFlipTheDirection) {
    list.headerClicked(1);
    EXPECT_EQ(list.sortAscending, 0);
    fillNames({"only"});
    rows.setState(0, RowState{kRowSelected}, kRowAllStates);
    list.headerClicked(0);
    EXPECT_EQ(list.sortAscending, 1);
    EXPECT_EQ(column(0), (std::vector<std::string>{"only"}));
    EXPECT_TRUE(rows.at(0).state.selected());
    EXPECT_EQ(rows.writes, 0);
    list.sortAscending = 7;  // anything but 1 counts as descending and flips to 1
    fillNames({"x"});
    list.headerClicked(0);
    EXPECT_EQ(column(0), (std::vector<std::string>{"x", "only"}));
    EXPECT_EQ(list.sortAscending, 1);
}

TEST_F(ListSort, BadColumnChangesNothing) {
    fillNames({"b", "a"});
    list.sortRows(4, true);
    list.sortRows(-1, true);
    EXPECT_EQ(column(0), (std::vector<std::string>{"b", "a"}));
}

}  // namespace
}  // namespace hs
