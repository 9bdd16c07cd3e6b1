// What the "What changed" window shows, without the window: which view fits
// a document's two versions, the rows it draws (only the ones asked for),
// where next/previous change lead, and the texts of its summary line and
// its history list.
//
// The window reads both versions (under the document files lock), hands the
// bytes to compareVersions, and draws rows from the Comparison it gets back.
// Every difference model stops at a bounded cost (compare/difference.h), so
// a comparison is made on the window thread without freezing it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/document_files.h"
#include "catalogue/record.h"
#include "compare/detection.h"
#include "compare/difference.h"

namespace hs {

// How many bytes of each version a comparison reads at most: enough for any
// page, and a hex view of a larger file still shows where it starts to
// differ.
constexpr std::size_t kMaxCompareBytes = 64u * 1024 * 1024;

enum class ChangeView {
    Lines,   // a line difference (pages and anything that reads as text)
    Count,   // the two counts and the lines that hold the count string
    Middle,  // the line difference of the two middle texts
    Hex,     // both versions' bytes side by side (the offset on the left only)
};

// The characters of the left side of a hex row: offset, bytes, characters.
constexpr std::size_t kHexLeftWidth = 10 + 3 * 16 + 1 + 16;

// What of the document decides the view.
struct ChangeSource {
    bool page = false;  // an HtmlPage: kept in text form, markup can be hidden
    CompareMode mode = CompareMode::Binary;
    std::string countString;
    std::string middleStart;
    std::string middleEnd;
};
ChangeSource changeSourceOf(const Document& record);

// Count and middle views for pages in those modes; the line view when both
// versions read as text; the hex view for anything else.
ChangeView chooseView(const ChangeSource& source, const std::string& older, const std::string& newer);

struct ViewToggles {
    bool oneColumn = false;  // the line views: one column instead of side by side
    bool textOnly = false;   // pages: markup hidden
};

// How a row is drawn.
enum class RowStyle { Same, Removed, Added, Changed, Heading };

// A drawn row: one text (one column) or two (side by side), with line
// numbers (0: none) and the marked parts of each text.
struct ViewRow {
    RowStyle style = RowStyle::Same;
    bool twoSides = true;
    std::size_t leftNumber = 0;
    std::size_t rightNumber = 0;
    std::string left;
    std::string right;  // unused with twoSides false
    std::vector<WordRange> leftMarks;
    std::vector<WordRange> rightMarks;
    RowStyle leftStyle = RowStyle::Same;   // side by side: each side's colour
    RowStyle rightStyle = RowStyle::Same;
};

// Both versions compared, in the view chosen for them.
class Comparison {
public:
    // `older` and `newer` are moved in (the hex view keeps them);
    // `truncated` says that either was read only up to kMaxCompareBytes.
    Comparison(const ChangeSource& source, std::string older, std::string newer, const ViewToggles& toggles,
               bool truncated = false);

    ChangeView view() const { return view_; }
    const ViewToggles& toggles() const { return toggles_; }
    // Whether the line view is drawn as one column (only line views have one).
    bool oneColumn() const;

    // The line at the top: what was compared and what differs.
    const std::string& summary() const { return summary_; }
    // Why the difference is not complete ("" when it is).
    const std::string& note() const { return note_; }
    bool same() const { return same_; }

    std::size_t rowCount() const;
    // Rows [first, first + count), clipped to rowCount().
    std::vector<ViewRow> rows(std::size_t first, std::size_t count) const;

    // The first row of the next change after `row` / the previous change
    // before it; npos when there is none. firstChange() for opening.
    std::size_t nextChange(std::size_t row) const;
    std::size_t previousChange(std::size_t row) const;
    std::size_t firstChange() const;
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // Rows [first, first + count) as plain text, one line a row: "  " for a
    // same line, "- " for removed, "+ " for added; side by side "old | new".
    std::string rowsText(std::size_t first, std::size_t count) const;

private:
    void buildLines(const std::string& older, const std::string& newer, const TextDiffOptions& options);
    void buildCount(const std::string& older, const std::string& newer, const ChangeSource& source);
    void buildMiddle(const std::string& older, const std::string& newer, const ChangeSource& source,
                     const TextDiffOptions& options);
    ViewRow lineRow(std::size_t index) const;

    ChangeView view_ = ChangeView::Lines;
    ViewToggles toggles_;
    std::string summary_;
    std::string note_;
    bool same_ = false;
    std::vector<std::string> head_;            // count view: the count string
    TextDifference lines_;
    std::vector<UnifiedRow> unified_;
    std::vector<std::size_t> unifiedChanges_;  // first unified row of each change
    CountDifference count_;
    std::unique_ptr<HexDifference> hex_;
};

// ------------------------------------------------------------ history

// "2026/12/09 14:02:11" of seconds since 1970 as local time (the caller
// converts: `localOffset` seconds east of UTC), "" for 0.
std::string versionTimeText(int64_t time, int64_t localOffset);

// "1,234,567 bytes".
std::string sizeText(uint64_t bytes);

// A version's name in the history list and the summary: "Version 3",
// "Current".
std::string versionName(uint32_t seq);

// What two versions of the history compare as: the older on the left. With
// one chosen, it is compared with the kept content (or, when it is the kept
// content, with the acknowledged version). False when there is nothing to
// compare.
bool pickComparePair(const std::vector<VersionInfo>& versions, const std::vector<std::size_t>& chosen,
                     uint32_t& older, uint32_t& newer);

// The acknowledged version and the kept content: what the window opens
// with. False without an acknowledged earlier version.
bool baselinePair(const std::vector<VersionInfo>& versions, uint32_t& older, uint32_t& newer);

// The file name a version is opened and saved under: the location's last
// component, or "page.htm" for a page without one ("document" for another
// kind), so that the shell picks the program by its type.
std::string versionFileName(const Document& record);

}  // namespace hs
