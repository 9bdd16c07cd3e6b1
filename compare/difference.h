// What changed between two versions of a document, as plain models a window
// draws: a line difference for content that reads as text (side by side or
// as one column, with the changed words of a changed line marked), the two
// counts of a CountString page with the lines that hold the string, the
// difference of the two middle texts of a MiddleString page, and a hex view
// of both versions for any other content.
//
// The left side is always the older version (the acknowledged one), the
// right side the newer. Every model stops at a bounded cost on large or very
// different content and says so (cut, note): the window never waits long.
//
// Inputs are the versions' bytes as kept. A page is kept in text form (CR LF
// line ends, text_mode.h): loadedText() turns such bytes into the text the
// check itself compares, and the count and middle models take loaded text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hs {

// ------------------------------------------------------------ kinds of content

// Whether bytes read as text: no byte 0 in the first 8 KB, and at most one in
// ten of those bytes is a control character other than tab, line feed,
// carriage return, form feed or end of text (0x1A). Bytes from 0x80 up are
// text (the ANSI code page).
bool readsAsText(const std::string& bytes);

// A page's kept bytes as the check reads them: text mode (CR LF to LF, the
// text ends at 0x1A) and every byte 0 dropped.
std::string loadedText(const std::string& keptBytes);

// The text of a page without its markup: tags, comments and the content of
// script and style elements are dropped (a tag becomes nothing, so words
// around it stay apart only where spaces or line ends were). Line ends stay
// where they were, so line numbers still fit the page.
std::string stripMarkup(const std::string& page);

// ------------------------------------------------------------ lines

enum class RowKind { Same, Removed, Added, Changed };

// A part of a line, in bytes.
struct WordRange {
    std::size_t begin = 0;
    std::size_t length = 0;
};

// One row of the side-by-side view. Line numbers count from 1; 0 where the
// side has no line (Removed: right, Added: left). A Changed row pairs a
// removed line with the added line that took its place; its changed words
// are marked on both sides.
struct DiffRow {
    RowKind kind = RowKind::Same;
    std::size_t leftLine = 0;
    std::size_t rightLine = 0;
    std::string left;
    std::string right;
    std::vector<WordRange> leftWords;
    std::vector<WordRange> rightWords;
};

// One row of the one-column view: a Same, Removed or Added line (a Changed
// pair becomes its removed line and then its added line, each with its
// marked words).
struct UnifiedRow {
    RowKind kind = RowKind::Same;
    std::size_t leftLine = 0;
    std::size_t rightLine = 0;
    std::string text;
    std::vector<WordRange> words;
};

struct TextDiffOptions {
    // Compare the text of pages without markup (stripMarkup); lines left
    // empty by it are not shown.
    bool textOnly = false;
    // How many changes (runs of removed, added or changed lines) are shown
    // at most; the rows stop after the last of them.
    std::size_t maxChanges = 1000;
    // Lines compared at most on each side once the equal beginning and end
    // are set aside; what lies beyond is shown as removed and added lines.
    std::size_t maxLines = 200000;
    // Lines longer than this get no word marks (the whole line is marked).
    std::size_t maxWordLine = 4000;
};

struct TextDifference {
    std::vector<DiffRow> rows;         // every line, in order, side by side
    std::vector<std::size_t> changes;  // index in rows of the first row of each change
    std::size_t removedLines = 0;      // lines only on the left (changed rows counted)
    std::size_t addedLines = 0;        // lines only on the right (changed rows counted)
    bool cut = false;                  // the difference stops short or is coarser than it could be
    std::string note;                  // why, for the user ("" when not cut)

    bool same() const { return changes.empty(); }
    // For next/previous change: the first row of the first change after /
    // the last change before row `row`, npos when there is none.
    std::size_t nextChange(std::size_t row) const;
    std::size_t previousChange(std::size_t row) const;
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
};

// The line difference of `left` against `right`, both text (loadedText for
// pages). Lines end at LF; a CR before it belongs to the line end.
TextDifference diffText(const std::string& left, const std::string& right,
                        const TextDiffOptions& options = TextDiffOptions());

// The same rows in one column.
std::vector<UnifiedRow> unifiedRows(const TextDifference& difference);

// ------------------------------------------------------------ CountString

struct CountLine {
    std::size_t line = 0;  // from 1
    std::string text;
};

struct CountDifference {
    int64_t leftCount = 0;
    int64_t rightCount = 0;
    std::vector<CountLine> leftLines;   // lines where an occurrence starts
    std::vector<CountLine> rightLines;
    bool cut = false;                   // more lines than maxLines hold the string
    std::string note;
};

// Counts `pattern` in both loaded texts as the check counts it (overlapping
// occurrences, pattern_search.h) and lists the lines where occurrences start,
// at most `maxLines` on each side.
CountDifference diffCount(const std::string& left, const std::string& right, const std::string& pattern,
                          std::size_t maxLines = 1000);

// ------------------------------------------------------------ MiddleString

struct MiddleDifference {
    bool leftFound = false;   // both markers found in the older text
    bool rightFound = false;
    std::string left;         // the middle texts ("" where not found)
    std::string right;
    TextDifference lines;     // of left against right
};

// Finds the middle text of both loaded texts with the check's rule
// (findMiddleText, detection.h) and compares them line by line.
MiddleDifference diffMiddle(const std::string& left, const std::string& right, const std::string& startMarker,
                            const std::string& endMarker, const TextDiffOptions& options = TextDiffOptions());

// ------------------------------------------------------------ bytes

// One row of the hex view: 16 bytes from `offset` of each side. A side that
// has ended has fewer (or no) bytes; a position where only one side has a
// byte, or the bytes differ, is marked in `differs` (bit i for byte i).
struct HexRow {
    uint64_t offset = 0;
    std::string leftHex;     // "4A 6F ..." (3 characters a byte, spaces for a missing one)
    std::string rightHex;
    std::string leftChars;   // printable bytes as they are, others as '.'
    std::string rightChars;
    uint16_t differs = 0;
};

// Both versions' bytes side by side. Rows are made on demand for the range
// the window shows, so opening a pair of large files costs only the search
// for the first difference (a memcmp) and the first screen.
class HexDifference {
public:
    static constexpr std::size_t kBytesPerRow = 16;
    static constexpr uint64_t npos = UINT64_MAX;

    // Takes the bytes over (move them in: large versions are not copied).
    HexDifference(std::string left, std::string right);

    uint64_t leftSize() const { return left_.size(); }
    uint64_t rightSize() const { return right_.size(); }
    uint64_t rowCount() const;

    // The first differing offset (the shorter side's end counts), npos when
    // both are the same.
    uint64_t firstDifference() const { return first_; }
    // The first differing offset after / before `offset`, npos when none. A
    // run of differing bytes counts once: next skips to the start of the
    // following run, previous to the start of the run before.
    uint64_t nextDifference(uint64_t offset) const;
    uint64_t previousDifference(uint64_t offset) const;

    HexRow row(uint64_t index) const;
    // Up to `count` rows from row `first`.
    std::vector<HexRow> rows(uint64_t first, std::size_t count) const;

private:
    bool differsAt(uint64_t offset) const;

    std::string left_;
    std::string right_;
    uint64_t first_ = npos;
};

}  // namespace hs
