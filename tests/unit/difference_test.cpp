#include "compare/difference.h"
#include "dialogs/what_changed_model.h"

#include <gtest/gtest.h>

#include <chrono>

namespace hs {
namespace {

std::string marked(const std::string& line, const std::vector<WordRange>& words) {
    std::string out;
    for (const WordRange& w : words) out += "[" + line.substr(w.begin, w.length) + "]";
    return out;
}

std::string numbered(std::size_t from, std::size_t to, const std::string& prefix = "line ") {
    std::string text;
    for (std::size_t i = from; i < to; ++i) text += prefix + std::to_string(i) + "\n";
    return text;
}

TEST(Difference, KindsOfContent) {
    EXPECT_TRUE(readsAsText("<html>\r\n\tplain \xE9t\xE9\x1A"));
    EXPECT_FALSE(readsAsText(std::string("GIF89a\0\0", 8)));
    EXPECT_FALSE(readsAsText("\x01\x02\x03\x04 binary"));
    EXPECT_TRUE(readsAsText(std::string(9000, 'a') + std::string(1, '\0')));  // beyond the first 8 KB
    EXPECT_EQ(loadedText(std::string("a\r\nb\0c\rd\x1A" "after", 14)), "a\nbc\rd");
    EXPECT_EQ(stripMarkup("<p class=x>Price: <b>5</b></p>\n<!-- a\nb -->x < y<script>\nvar a='<p>';\n</script>z"),
              "Price: 5\n\nx < y\n\nz");
}

TEST(Difference, LinesSideBySideAndInOneColumn) {
    const TextDifference d = diffText("same\nold words here\ngone\nend\n", "same\nnew words here\nend\nadded\n");
    ASSERT_EQ(d.rows.size(), 5u);
    EXPECT_EQ(d.rows[0].kind, RowKind::Same);
    EXPECT_EQ(d.rows[1].kind, RowKind::Changed);
    EXPECT_EQ(marked(d.rows[1].left, d.rows[1].leftWords), "[old]");
    EXPECT_EQ(marked(d.rows[1].right, d.rows[1].rightWords), "[new]");
    EXPECT_EQ(d.rows[2].kind, RowKind::Removed);
    EXPECT_EQ(d.rows[2].leftLine, 3u);
    EXPECT_EQ(d.rows[2].rightLine, 0u);
    EXPECT_EQ(d.rows[3].kind, RowKind::Same);
    EXPECT_EQ(d.rows[4].kind, RowKind::Added);
    EXPECT_EQ(d.rows[4].rightLine, 4u);
    EXPECT_EQ(d.changes, (std::vector<std::size_t>{1, 4}));
    EXPECT_EQ(d.nextChange(1), 4u);
    EXPECT_EQ(d.nextChange(4), TextDifference::npos);
    EXPECT_EQ(d.previousChange(4), 1u);
    EXPECT_EQ(d.removedLines, 2u);
    EXPECT_EQ(d.addedLines, 2u);
    EXPECT_FALSE(d.cut);

    std::string column;
    for (const UnifiedRow& r : unifiedRows(d)) column += "SRA"[r.kind == RowKind::Same ? 0 : r.kind == RowKind::Removed ? 1 : 2] + r.text + "|";
    EXPECT_EQ(column, "Ssame|Rold words here|Rgone|Anew words here|Send|Aadded|");

    EXPECT_TRUE(diffText("a\r\nb", "a\nb\n").same());  // CR LF and a last line without its end
    // Only markup changed: nothing to show in text only.
    EXPECT_FALSE(diffText("<b>x</b>\n", "<i>x</i>\n").same());
    TextDiffOptions textOnly;
    textOnly.textOnly = true;
    EXPECT_TRUE(diffText("<b>x</b>\n", "<i>x</i>\n<br>\n", textOnly).same());
}

TEST(Difference, CountAndMiddleFollowTheCheck) {
    const CountDifference c = diffCount("aaaa\nb\naa a\n", "b\naaa\n", "aa");
    EXPECT_EQ(c.leftCount, 4);  // overlapping, as the check counts
    EXPECT_EQ(c.rightCount, 2);
    ASSERT_EQ(c.leftLines.size(), 2u);
    EXPECT_EQ(c.leftLines[1].line, 3u);
    EXPECT_EQ(c.leftLines[1].text, "aa a");
    ASSERT_EQ(c.rightLines.size(), 1u);
    EXPECT_EQ(c.rightLines[0].line, 2u);
    const CountDifference many = diffCount(numbered(0, 50), numbered(0, 10), "line", 20);
    EXPECT_TRUE(many.cut);
    EXPECT_EQ(many.leftLines.size(), 20u);
    EXPECT_EQ(many.leftCount, 50);

    const MiddleDifference m = diffMiddle("head<m>one\ntwo</m>x", "<m>one\n2</m>", "<m>", "</m>");
    EXPECT_TRUE(m.leftFound && m.rightFound);
    EXPECT_EQ(m.right, "one\n2");
    ASSERT_EQ(m.lines.rows.size(), 2u);
    EXPECT_EQ(m.lines.rows[1].kind, RowKind::Changed);
    EXPECT_FALSE(diffMiddle("no markers", "<m>x</m>", "<m>", "</m>").leftFound);
}

TEST(Difference, HexRowsAndDifferences) {
    std::string a(100, 'x');
    std::string b = a;
    b[20] = 'Y';
    b[21] = 'Z';
    b[40] = '\n';
    b.resize(90);
    const HexDifference h(a, b);
    EXPECT_EQ(h.firstDifference(), 20u);
    EXPECT_EQ(h.rowCount(), 7u);
    EXPECT_EQ(h.nextDifference(20), 40u);  // past the run 20-21
    EXPECT_EQ(h.nextDifference(40), 90u);  // where the right side ends
    EXPECT_EQ(h.nextDifference(95), HexDifference::npos);
    EXPECT_EQ(h.previousDifference(90), 40u);
    EXPECT_EQ(h.previousDifference(21), HexDifference::npos);
    const HexRow r = h.row(1);
    EXPECT_EQ(r.offset, 16u);
    EXPECT_EQ(r.differs, 0x30);
    EXPECT_EQ(r.rightHex.substr(12, 5), "59 5A");
    EXPECT_EQ(r.rightChars.substr(4, 2), "YZ");
    const HexRow last = h.rows(6, 10).back();
    EXPECT_EQ(last.rightHex, std::string(47, ' '));
    EXPECT_EQ(last.differs, 0x0F);
    EXPECT_EQ(HexDifference("same", "same").firstDifference(), HexDifference::npos);
}

// The window's model over the difference: rows as drawn, next/previous in
// both layouts and in the hex view, and which versions the history compares.
TEST(Difference, WhatChangedRowsMovesAndHistoryPairs) {
    ChangeSource page;
    page.page = true;
    const std::string older = "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\n";
    const std::string newer = "a\r\nB\r\nc\r\nd\r\nE\r\nf\r\n";
    const Comparison sides(page, older, newer, ViewToggles());
    EXPECT_EQ(sides.rowsText(1, 1), "! b | B\r\n");
    EXPECT_EQ(sides.nextChange(1), 4u);
    EXPECT_EQ(sides.previousChange(4), 1u);
    ViewToggles one;
    one.oneColumn = true;
    const Comparison column(page, older, newer, one);
    EXPECT_EQ(column.rowsText(0, 3), "  a\r\n- b\r\n+ B\r\n");
    EXPECT_EQ(column.nextChange(1), 5u);  // past both rows of the first change
    EXPECT_EQ(column.previousChange(5), 1u);
    EXPECT_EQ(column.nextChange(5), Comparison::npos);

    std::string bytes(64, '\x01');
    std::string changed = bytes;
    changed[3] = changed[5] = changed[40] = 'x';
    const Comparison hex(ChangeSource(), bytes, changed, ViewToggles());
    ASSERT_EQ(hex.view(), ChangeView::Hex);
    EXPECT_EQ(hex.firstChange(), 0u);
    EXPECT_EQ(hex.nextChange(0), 2u);  // the run at 5 is in the row shown
    const ViewRow row = hex.rows(2, 1).front();
    EXPECT_EQ(marked(row.right, row.rightMarks), "[78][x]");
    EXPECT_EQ(row.left.substr(0, 8), "00000020");

    const std::vector<VersionInfo> versions = {{1, 0, 5, false}, {2, 0, 6, true}, {kCurrentVersion, 0, 7, false}};
    uint32_t a = 99, b = 99;
    EXPECT_TRUE(pickComparePair(versions, {2, 0}, a, b));
    EXPECT_EQ(std::make_pair(a, b), std::make_pair(1u, kCurrentVersion));
    EXPECT_TRUE(pickComparePair(versions, {1}, a, b));
    EXPECT_EQ(std::make_pair(a, b), std::make_pair(2u, kCurrentVersion));
    EXPECT_TRUE(pickComparePair(versions, {2}, a, b));  // the kept content: against the acknowledged one
    EXPECT_EQ(a, 2u);
    EXPECT_FALSE(pickComparePair(versions, {}, a, b));
    EXPECT_FALSE(pickComparePair({{kCurrentVersion, 0, 7, true}}, {0}, a, b));
    EXPECT_EQ(sizeText(1234567), "1,234,567 bytes");
}

TEST(Difference, LargeContentStopsAtABoundedCost) {
    std::string left, right;
    for (int i = 0; i < 3000; ++i) {
        left += "kept " + std::to_string(i) + "\nold " + std::to_string(i) + "\n";
        right += "kept " + std::to_string(i) + "\nnew " + std::to_string(i) + "\n";
    }
    const TextDifference d = diffText(left, right);
    EXPECT_TRUE(d.cut);
    EXPECT_EQ(d.changes.size(), 1000u);
    EXPECT_EQ(d.note, "first 1,000 differences shown");

    // Two unrelated texts: the search stops, and what it could not match is
    // still all there as removed and added lines.
    const auto start = std::chrono::steady_clock::now();
    const TextDifference apart = diffText(numbered(0, 40000, "a"), numbered(0, 40000, "b"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(apart.cut);
    EXPECT_EQ(apart.removedLines, 40000u);
    EXPECT_EQ(apart.addedLines, 40000u);

    TextDiffOptions few;
    few.maxLines = 10;
    const TextDifference capped = diffText(numbered(0, 30, "a"), numbered(0, 30, "b"), few);
    EXPECT_TRUE(capped.cut);
    EXPECT_EQ(capped.removedLines, 30u);
}

}  // namespace
}  // namespace hs
