#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>

#include "compare/detection.h"
#include "compare/pattern_search.h"
#include "catalogue/text_mode.h"
#include "test_support.h"

namespace hs {
namespace {

using test::fileExists;
using test::readBytes;
using test::writeBytes;

std::size_t naiveFind(const std::string& t, const std::string& p, std::size_t from) {
    if (from > t.size()) return PatternSearch::npos;
    const std::size_t r = t.find(p, from);
    return r == std::string::npos ? PatternSearch::npos : r;
}

int64_t naiveCount(const std::string& t, const std::string& p) {
    int64_t n = 0;
    for (std::size_t pos = naiveFind(t, p, 0); pos != PatternSearch::npos;
         pos = naiveFind(t, p, pos + 1)) {
        ++n;
    }
    return n;
}

TEST(PatternSearchTest, OverlappingOccurrencesAllCount) {
    EXPECT_EQ(PatternSearch("aa").count(std::string("aaaa")), 3);
    EXPECT_EQ(PatternSearch("aba").count(std::string("ababa")), 2);
    EXPECT_EQ(PatternSearch("new.gif").count(std::string("new.gif new.gif new.gi")), 2);
    EXPECT_EQ(PatternSearch("x").count(std::string("")), 0);
    EXPECT_EQ(PatternSearch("longer").count(std::string("long")), 0);
}

TEST(PatternSearchTest, FindHonoursTheStartPosition) {
    const std::string t = "abcabc";
    PatternSearch s("abc");
    EXPECT_EQ(s.find(t, 0), 0u);
    EXPECT_EQ(s.find(t, 1), 3u);
    EXPECT_EQ(s.find(t, 4), PatternSearch::npos);
    EXPECT_EQ(s.find(t, 7), PatternSearch::npos);  // beyond the end
    // The empty pattern occurs at every position, the end included.
    EXPECT_EQ(PatternSearch("").find(t, 6), 6u);
    EXPECT_EQ(PatternSearch("").find(t, 7), PatternSearch::npos);
    EXPECT_EQ(PatternSearch("").count(t), 7);
}

TEST(PatternSearchTest, BytesAboveAsciiAndZeroBytesAreOrdinaryBytes) {
    const std::string t = "caf\xE9 \xE9t\xE9 \x80\xFF";
    EXPECT_EQ(PatternSearch("\xE9").count(t), 3);
    EXPECT_EQ(PatternSearch("\x80\xFF").find(t, 0), 9u);
    const std::string z("a\0b\0b", 5);
    EXPECT_EQ(PatternSearch(std::string("\0b", 2)).count(z), 2);
}

// Compares with a plain search over texts and patterns from a two-letter
// alphabet, long enough for the search to switch to its linear-time path.
TEST(PatternSearchTest, AgreesWithPlainSearchOnPeriodicInput) {
    std::mt19937 rng(12345);
    for (int round = 0; round < 60; ++round) {
        const bool periodic = round % 2 == 0;
        std::string text(20000 + rng() % 5000, 'a');
        for (char& c : text) {
            if (!periodic || rng() % 50 == 0) c = rng() % 2 ? 'a' : 'b';
        }
        std::string pattern(1 + rng() % 40, 'a');
        for (char& c : pattern) {
            if (rng() % (periodic ? 8 : 2) == 0) c = 'b';
        }
        const PatternSearch search(pattern);
        ASSERT_EQ(search.count(text), naiveCount(text, pattern)) << "round " << round;
        for (int k = 0; k < 5; ++k) {
            const std::size_t from = rng() % (text.size() + 2);
            ASSERT_EQ(search.find(text, from), naiveFind(text, pattern, from))
                << "round " << round << " from " << from;
        }
    }
}

TEST(PatternSearchTest, NearMatchesEverywhereStayLinear) {
    const std::string text(8 * 1024 * 1024, 'a');
    const std::string nearMiss = std::string(510, 'a') + "b";
    const std::string full(511, 'a');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(PatternSearch(nearMiss).count(text), 0);
    EXPECT_EQ(PatternSearch(nearMiss).find(text, 0), PatternSearch::npos);
    EXPECT_EQ(PatternSearch(full).count(text), static_cast<int64_t>(text.size() - 510));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // A quadratic search would need minutes here; even a sanitized build is
    // far below this bound.
    EXPECT_LT(seconds, 20.0);
}

class Detection : public test::WorkingDirTest {};

TEST_F(Detection, CountOccurrencesReadsTheFileAsText) {
    EXPECT_EQ(countOccurrences("missing.html", "a"), -1);
    writeBytes("p.html", "aaaa");
    EXPECT_EQ(countOccurrences("p.html", "aa"), 3);
    writeBytes("p.html", "<img src=new.gif>\r\n<img src=new.gif>\r\nnew.gif");
    EXPECT_EQ(countOccurrences("p.html", "new.gif"), 3);
    EXPECT_EQ(countOccurrences("p.html", ">\n<"), 1);    // stored CR LF is a line feed
    EXPECT_EQ(countOccurrences("p.html", "\r"), 0);
    writeBytes("p.html", std::string("ne\0w.gif new.gif\x1Anew.gif", 25));
    EXPECT_EQ(countOccurrences("p.html", "new.gif"), 2);  // NUL dropped, stops at 0x1A
    writeBytes("p.html", "no match here");
    EXPECT_EQ(countOccurrences("p.html", "new.gif"), 0);
}

TEST(MiddleText, MarkersAndOverlaps) {
    auto middle = [](const std::string& t, const std::string& s, const std::string& e) {
        const MiddleSpan span = findMiddleText(t, s, e);
        return span.found ? "[" + t.substr(span.begin, span.length) + "]" : std::string("none");
    };
    EXPECT_EQ(middle("x<b>12</b>y", "<b>", "</b>"), "[12]");
    EXPECT_EQ(middle("<b>1</b><b>2</b>", "<b>", "</b>"), "[1]");     // first start marker
    EXPECT_EQ(middle("--x--", "--", "--"), "[x]");
    // The end marker is searched from one byte after the start marker's
    // position, so it may overlap the start marker: the middle text is empty.
    EXPECT_EQ(middle("abcd", "abc", "bcd"), "[]");
    EXPECT_EQ(middle("aXaYa", "aXa", "a"), "[]");
    EXPECT_EQ(middle("<b></b>", "<b>", "</b>"), "[]");
    EXPECT_EQ(middle("no start </b>", "<b>", "</b>"), "none");
    EXPECT_EQ(middle("</b> end first <b>", "<b>", "</b>"), "none");
    EXPECT_EQ(middle("<b>", "<b>", "b"), "[]");  // "b" found inside the start marker
}

TEST_F(Detection, SaveMiddleTextWritesTheMiddleInTextMode) {
    writeBytes("new.tmp", "head <b>1\r\n2\xE9</b> tail");
    EXPECT_TRUE(saveMiddleText("new.tmp", "<b>", "</b>", "doc.middle"));
    EXPECT_EQ(readBytes("doc.middle"), "1\r\n2\xE9");

    writeBytes("none.tmp", "head only");
    EXPECT_FALSE(saveMiddleText("none.tmp", "<b>", "</b>", "other.middle"));
    EXPECT_FALSE(fileExists("other.middle"));
    EXPECT_FALSE(saveMiddleText("missing.tmp", "<b>", "</b>", "other.middle"));
    // Both markers found but the middle file cannot be made: still found.
    EXPECT_TRUE(saveMiddleText("new.tmp", "<b>", "</b>", "no-dir/x.middle"));
}

TEST_F(Detection, CompareMiddleTextDecidesAndRewrites) {
    writeBytes("kept.middle", "12");
    writeBytes("new.tmp", "<b>12</b> other text changed");
    EXPECT_FALSE(compareMiddleText("new.tmp", "<b>", "</b>", "kept.middle"));

    writeBytes("new.tmp", "<b>13</b>");
    EXPECT_TRUE(compareMiddleText("new.tmp", "<b>", "</b>", "kept.middle"));
    EXPECT_EQ(readBytes("kept.middle"), "13");

    // A longer kept middle text that begins with the new one is unchanged.
    writeBytes("kept.middle", "13 and more\r\n");
    EXPECT_FALSE(compareMiddleText("new.tmp", "<b>", "</b>", "kept.middle"));
    EXPECT_EQ(readBytes("kept.middle"), "13 and more\r\n");

    // A new text longer than the kept one has changed.
    writeBytes("new.tmp", "<b>13 and more\nstill more</b>");
    EXPECT_TRUE(compareMiddleText("new.tmp", "<b>", "</b>", "kept.middle"));
    EXPECT_EQ(readBytes("kept.middle"), "13 and more\r\nstill more");
}

TEST_F(Detection, CompareMiddleTextTreatsHighBytesAsEqualBytes) {
    writeBytes("new.tmp", "<p>\xE4\xF6\xFC \x80\xFF</p>");
    ASSERT_TRUE(saveMiddleText("new.tmp", "<p>", "</p>", "kept.middle"));
    EXPECT_FALSE(compareMiddleText("new.tmp", "<p>", "</p>", "kept.middle"));
    writeBytes("new.tmp", "<p>\xE4\xF6\xFD \x80\xFF</p>");
    EXPECT_TRUE(compareMiddleText("new.tmp", "<p>", "</p>", "kept.middle"));
}

TEST_F(Detection, CompareMiddleTextFailuresCountAsUnchanged) {
    writeBytes("new.tmp", "<b>12</b>");
    // No kept middle file (its first retrieval missed the markers).
    EXPECT_FALSE(compareMiddleText("new.tmp", "<b>", "</b>", "absent.middle"));
    EXPECT_FALSE(fileExists("absent.middle"));
    writeBytes("kept.middle", "11");
    EXPECT_FALSE(compareMiddleText("new.tmp", "<i>", "</b>", "kept.middle"));
    EXPECT_FALSE(compareMiddleText("missing.tmp", "<b>", "</b>", "kept.middle"));
    // The new middle file cannot be written.
    EXPECT_FALSE(compareMiddleText("new.tmp", "<b>", "</b>", "kept.middle", "no-dir/x"));
    EXPECT_EQ(readBytes("kept.middle"), "11");
    // Staged: the kept file stays, the new text goes to the staged one.
    EXPECT_TRUE(compareMiddleText("new.tmp", "<b>", "</b>", "kept.middle", "staged.middle"));
    EXPECT_EQ(readBytes("kept.middle"), "11");
    EXPECT_EQ(readBytes("staged.middle"), "12");
}

TEST_F(Detection, KeptContentComparerFollowsTheBinaryRule) {
    auto changed = [](const std::string& kept, const std::string& fresh, FileMode mode,
                      std::size_t piece) {
        writeBytes("kept.content", kept);
        KeptContentComparer c;
        EXPECT_TRUE(c.open("kept.content", mode));
        for (std::size_t i = 0; i <= fresh.size(); i += piece) {
            c.feed(fresh.data() + i, std::min(piece, fresh.size() - i));
        }
        return c.changed();
    };
    EXPECT_FALSE(changed("abcdef", "abcdef", FileMode::Binary, 4));
    EXPECT_FALSE(changed("abcdef", "abc", FileMode::Binary, 4));  // tail lost
    EXPECT_FALSE(changed("abcdef", "", FileMode::Binary, 4));
    EXPECT_TRUE(changed("abc", "abcd", FileMode::Binary, 4));
    EXPECT_TRUE(changed("abcdef", "abcdeg", FileMode::Binary, 4));
    EXPECT_TRUE(changed("\x7F", "\x80", FileMode::Binary, 1));
    // Text mode: stored CR LF reads as LF; a kept 0x1A ends the kept text, so
    // the same page is found changed every time.
    EXPECT_FALSE(changed("a\r\nb", "a\nb", FileMode::Text, 8192));
    EXPECT_TRUE(changed("a\x1A" "b", "a\x1A" "b", FileMode::Text, 8192));
    EXPECT_FALSE(changed("a\x1A" "b", "a\x1A" "b", FileMode::Binary, 8192));
    KeptContentComparer none;
    EXPECT_FALSE(none.open("missing.content", FileMode::Binary));
}

// Pages larger than the pieces the searches read: occurrences, markers and
// CR LF pairs that straddle the piece edges must give the same results as a
// search over the whole text.
TEST_F(Detection, LargePagesMatchTheWholeTextAcrossPieceEdges) {
    std::mt19937 rng(99);
    std::string stored(3 * TextStream::kPiece + 1000, 'a');
    for (char& c : stored) {
        const unsigned r = rng() % 100;
        c = r < 45 ? 'a' : r < 90 ? 'b' : r < 94 ? '\n' : r < 97 ? '\r' : r < 99 ? '\0' : 'c';
    }
    stored = toStoredText(stored);  // a few CR CR LF, many CR LF
    const std::size_t edge = TextStream::kPiece;
    stored.replace(edge - 2, 4, "<<<<");          // the start marker over the first edge
    stored.replace(2 * edge - 1, 3, ">>>");       // the end marker over the second
    stored.replace(3 * edge - 2, 4, "a\r\nb");    // a CR LF pair split by the third
    stored.replace(3 * edge - 20, 6, "abcabc");
    writeBytes("big.content", stored);
    std::string whole = fromStoredText(stored);
    whole.erase(std::remove(whole.begin(), whole.end(), '\0'), whole.end());

    for (const std::string pattern : {"ab", "ba\nab", "aab", "a\nb", "<<", "abcabc", "bca", "c"}) {
        EXPECT_EQ(countOccurrences("big.content", pattern), PatternSearch(pattern).count(whole))
            << pattern;
    }
    for (const auto& markers : {std::pair<std::string, std::string>{"<<", ">>"},
                                {"c", "c"}, {"abcab", "cabc"}, {"a\nb", "b"}}) {
        const MiddleSpan span = findMiddleText(whole, markers.first, markers.second);
        ASSERT_TRUE(span.found) << markers.first;
        const std::string middle = whole.substr(span.begin, span.length);
        ASSERT_TRUE(saveMiddleText("big.content", markers.first, markers.second, "big.middle"));
        EXPECT_EQ(readBytes("big.middle"), toStoredText(middle)) << markers.first;
        EXPECT_FALSE(compareMiddleText("big.content", markers.first, markers.second, "big.middle"));
    }
    // One byte changed deep inside the long middle text is found.
    ASSERT_TRUE(saveMiddleText("big.content", "<<", ">>", "big.middle"));
    std::string edited = stored;
    const std::size_t at = edited.find_first_of("ab", edge + 5000);
    edited[at] = edited[at] == 'a' ? 'b' : 'a';
    writeBytes("edited.content", edited);
    EXPECT_TRUE(compareMiddleText("edited.content", "<<", ">>", "big.middle"));
    EXPECT_FALSE(compareMiddleText("edited.content", "<<", ">>", "big.middle"));
}

}  // namespace
}  // namespace hs
