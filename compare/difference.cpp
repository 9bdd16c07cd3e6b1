#include "compare/difference.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include <dtl/dtl.hpp>

#include "catalogue/text_mode.h"
#include "compare/detection.h"
#include "compare/pattern_search.h"

namespace hs {

namespace {

constexpr std::size_t kTextProbe = 8192;

// "1,000"
std::string grouped(std::size_t n) {
    std::string digits = std::to_string(n);
    for (std::size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, ",");
    return digits;
}

bool startsWithNoCase(std::string_view text, std::size_t at, const char* word) {
    const std::size_t n = std::strlen(word);
    if (text.size() - at < n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        char c = text[at + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != word[i]) return false;
    }
    return true;
}

bool isWordByte(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80;
}

// ------------------------------------------------------------ lines

struct Line {
    std::string_view text;  // without its line end
    std::size_t number;     // from 1
};

std::vector<Line> splitLines(std::string_view text, bool skipBlank) {
    std::vector<Line> lines;
    std::size_t start = 0;
    std::size_t number = 1;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        std::size_t stop = end;
        if (stop > start && text[stop - 1] == '\r') --stop;
        const std::string_view line = text.substr(start, stop - start);
        if (!skipBlank || line.find_first_not_of(" \t\r\f\v") != std::string_view::npos) {
            lines.push_back(Line{line, number});
        }
        ++number;
        start = next;
    }
    return lines;
}

// ------------------------------------------------------------ words

// Words (letters, digits), runs of blanks, and single other characters.
std::vector<std::string_view> tokens(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        std::size_t j = i + 1;
        if (isWordByte(c)) {
            while (j < line.size() && isWordByte(static_cast<unsigned char>(line[j]))) ++j;
        } else if (c == ' ' || c == '\t') {
            while (j < line.size() && (line[j] == ' ' || line[j] == '\t')) ++j;
        }
        out.push_back(line.substr(i, j - i));
        i = j;
    }
    return out;
}

void addRange(std::vector<WordRange>& ranges, std::size_t begin, std::size_t length) {
    if (!ranges.empty() && ranges.back().begin + ranges.back().length == begin) {
        ranges.back().length += length;
    } else {
        ranges.push_back(WordRange{begin, length});
    }
}

// Marks the words of a changed pair of lines that the other line lacks.
void markWords(DiffRow& row, std::size_t maxLine) {
    if (row.left.size() > maxLine || row.right.size() > maxLine) {
        row.leftWords = {WordRange{0, row.left.size()}};
        row.rightWords = {WordRange{0, row.right.size()}};
        return;
    }
    const std::vector<std::string_view> a = tokens(row.left);
    const std::vector<std::string_view> b = tokens(row.right);
    std::unordered_map<std::string_view, int> ids;
    std::vector<int> x, y;
    for (std::string_view t : a) x.push_back(ids.emplace(t, static_cast<int>(ids.size())).first->second);
    for (std::string_view t : b) y.push_back(ids.emplace(t, static_cast<int>(ids.size())).first->second);
    dtl::Diff<int, std::vector<int>> diff(x, y);
    diff.onUnserious();
    diff.compose();
    std::size_t ia = 0, ib = 0, pa = 0, pb = 0;  // token index and byte position on each side
    for (const auto& e : diff.getSes().getSequence()) {
        switch (e.second.type) {
            case dtl::SES_COMMON:
                pa += a[ia++].size();
                pb += b[ib++].size();
                break;
            case dtl::SES_DELETE:
                addRange(row.leftWords, pa, a[ia].size());
                pa += a[ia++].size();
                break;
            case dtl::SES_ADD:
                addRange(row.rightWords, pb, b[ib].size());
                pb += b[ib++].size();
                break;
        }
    }
}

// Builds the rows of a line difference, change by change, and stops after
// `maxChanges` changes.
class RowBuilder {
public:
    RowBuilder(TextDifference& out, const TextDiffOptions& options) : out_(out), options_(options) {}

    bool full() const { return full_; }

    void same(const Line& l, const Line& r) {
        if (full_) return;
        flush();
        DiffRow row;
        row.leftLine = l.number;
        row.rightLine = r.number;
        row.left = std::string(l.text);
        row.right = std::string(r.text);
        out_.rows.push_back(std::move(row));
    }
    void removed(const Line& l) {
        if (!full_) removed_.push_back(l);
    }
    void added(const Line& r) {
        if (!full_) added_.push_back(r);
    }

    // Ends the change in progress, if any.
    void flush() {
        if (removed_.empty() && added_.empty()) return;
        if (out_.changes.size() >= options_.maxChanges) {
            full_ = true;
            removed_.clear();
            added_.clear();
            return;
        }
        out_.changes.push_back(out_.rows.size());
        out_.removedLines += removed_.size();
        out_.addedLines += added_.size();
        const std::size_t n = std::max(removed_.size(), added_.size());
        for (std::size_t i = 0; i < n; ++i) {
            DiffRow row;
            if (i < removed_.size()) {
                row.leftLine = removed_[i].number;
                row.left = std::string(removed_[i].text);
            }
            if (i < added_.size()) {
                row.rightLine = added_[i].number;
                row.right = std::string(added_[i].text);
            }
            if (i < removed_.size() && i < added_.size()) {
                row.kind = RowKind::Changed;
                markWords(row, options_.maxWordLine);
            } else {
                row.kind = i < removed_.size() ? RowKind::Removed : RowKind::Added;
            }
            out_.rows.push_back(std::move(row));
        }
        removed_.clear();
        added_.clear();
    }

private:
    TextDifference& out_;
    const TextDiffOptions& options_;
    std::vector<Line> removed_;
    std::vector<Line> added_;
    bool full_ = false;
};

void addNote(TextDifference& d, const std::string& note) {
    d.cut = true;
    if (!d.note.empty()) d.note += "; ";
    d.note += note;
}

// ------------------------------------------------------------ bytes

constexpr std::size_t kChunk = 4096;

void hexByte(std::string& out, unsigned char c) {
    static const char digits[] = "0123456789ABCDEF";
    out.push_back(digits[c >> 4]);
    out.push_back(digits[c & 15]);
    out.push_back(' ');
}

}  // namespace

// ------------------------------------------------------------ kinds of content

bool readsAsText(const std::string& bytes) {
    const std::size_t n = std::min(bytes.size(), kTextProbe);
    std::size_t control = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == 0) return false;
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != 0x1A) ++control;
        if (c == 0x7F) ++control;
    }
    return control * 10 <= n;
}

std::string loadedText(const std::string& keptBytes) {
    std::string text = fromStoredText(keptBytes);
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    return text;
}

std::string stripMarkup(const std::string& page) {
    std::string out;
    out.reserve(page.size());
    const std::string_view text(page);
    std::size_t i = 0;
    // Skips to just past `end` (keeping the line ends it passes), or to the end.
    auto skipTo = [&](std::size_t from, const char* end) {
        std::size_t j = from;
        while (j < text.size() && !startsWithNoCase(text, j, end)) {
            if (text[j] == '\n') out.push_back('\n');
            ++j;
        }
        return std::min(text.size(), j + std::strlen(end));
    };
    while (i < text.size()) {
        const char c = text[i];
        const bool tagStart = c == '<' && i + 1 < text.size() &&
                              (isWordByte(static_cast<unsigned char>(text[i + 1])) || text[i + 1] == '/' ||
                               text[i + 1] == '!' || text[i + 1] == '?');
        if (!tagStart) {
            out.push_back(c);
            ++i;
            continue;
        }
        if (startsWithNoCase(text, i, "<!--")) {
            i = skipTo(i + 4, "-->");
            continue;
        }
        const bool script = startsWithNoCase(text, i, "<script");
        const bool style = startsWithNoCase(text, i, "<style");
        i = skipTo(i + 1, ">");
        if (script) i = skipTo(i, "</script");
        if (style) i = skipTo(i, "</style");
        if (script || style) i = skipTo(i, ">");
    }
    return out;
}

// ------------------------------------------------------------ lines

std::size_t TextDifference::nextChange(std::size_t row) const {
    const auto it = std::upper_bound(changes.begin(), changes.end(), row);
    return it == changes.end() ? npos : *it;
}

std::size_t TextDifference::previousChange(std::size_t row) const {
    const auto it = std::lower_bound(changes.begin(), changes.end(), row);
    return it == changes.begin() ? npos : *(it - 1);
}

TextDifference diffText(const std::string& leftText, const std::string& rightText, const TextDiffOptions& options) {
    TextDifference out;
    std::string strippedLeft, strippedRight;
    if (options.textOnly) {
        strippedLeft = stripMarkup(leftText);
        strippedRight = stripMarkup(rightText);
    }
    const std::vector<Line> left = splitLines(options.textOnly ? strippedLeft : leftText, options.textOnly);
    const std::vector<Line> right = splitLines(options.textOnly ? strippedRight : rightText, options.textOnly);

    // The equal beginning and end are set aside before the lines are
    // numbered for the difference.
    std::size_t head = 0;
    while (head < left.size() && head < right.size() && left[head].text == right[head].text) ++head;
    std::size_t tail = 0;
    while (tail < left.size() - head && tail < right.size() - head &&
           left[left.size() - 1 - tail].text == right[right.size() - 1 - tail].text) {
        ++tail;
    }
    RowBuilder rows(out, options);
    for (std::size_t i = 0; i < head; ++i) rows.same(left[i], right[i]);

    const std::size_t leftEnd = left.size() - tail;
    const std::size_t rightEnd = right.size() - tail;
    const std::size_t leftCompared = std::min(leftEnd - head, options.maxLines);
    const std::size_t rightCompared = std::min(rightEnd - head, options.maxLines);
    if (leftCompared < leftEnd - head || rightCompared < rightEnd - head) {
        addNote(out, "only the first " + grouped(options.maxLines) + " lines that differ were compared");
    }

    std::unordered_map<std::string_view, int> ids;
    std::vector<int> a(leftCompared), b(rightCompared);
    for (std::size_t i = 0; i < leftCompared; ++i) {
        a[i] = ids.emplace(left[head + i].text, static_cast<int>(ids.size())).first->second;
    }
    for (std::size_t i = 0; i < rightCompared; ++i) {
        b[i] = ids.emplace(right[head + i].text, static_cast<int>(ids.size())).first->second;
    }
    if (!a.empty() || !b.empty()) {
        // dtl stops searching after a bounded number of steps and shows the
        // rest as removed and added lines ("trivial"); the edit distance
        // then tells that this happened.
        dtl::Diff<int, std::vector<int>> diff(a, b);
        diff.onUnserious();
        diff.compose();
        const long long delta = static_cast<long long>(a.size() > b.size() ? a.size() - b.size() : b.size() - a.size());
        const long long p = (diff.getEditDistance() - delta) / 2;
        // That part is the last change; it is only worth a word when shown.
        const bool coarse = (p + 1) * (delta + p + 1) >= static_cast<long long>(dtl::MAX_CORDINATES_SIZE);
        std::size_t ia = head, ib = head;
        for (const auto& e : diff.getSes().getSequence()) {
            if (rows.full()) break;
            switch (e.second.type) {
                case dtl::SES_COMMON: rows.same(left[ia++], right[ib++]); break;
                case dtl::SES_DELETE: rows.removed(left[ia++]); break;
                case dtl::SES_ADD: rows.added(right[ib++]); break;
            }
        }
        rows.flush();
        if (coarse && !rows.full()) {
            addNote(out, "the lines differ too much to be matched exactly; part of them is shown as removed and added");
        }
    }
    for (std::size_t i = head + leftCompared; i < leftEnd; ++i) rows.removed(left[i]);
    for (std::size_t i = head + rightCompared; i < rightEnd; ++i) rows.added(right[i]);
    rows.flush();
    for (std::size_t i = 0; i < tail && !rows.full(); ++i) rows.same(left[leftEnd + i], right[rightEnd + i]);
    rows.flush();
    if (rows.full()) addNote(out, "first " + grouped(options.maxChanges) + " differences shown");
    return out;
}

std::vector<UnifiedRow> unifiedRows(const TextDifference& d) {
    std::vector<UnifiedRow> out;
    out.reserve(d.rows.size() + d.removedLines);
    // A change shows all its removed lines, then all its added lines.
    std::vector<UnifiedRow> added;
    for (const DiffRow& row : d.rows) {
        if (row.kind == RowKind::Same) {
            for (UnifiedRow& r : added) out.push_back(std::move(r));
            added.clear();
            out.push_back(UnifiedRow{RowKind::Same, row.leftLine, row.rightLine, row.left, {}});
            continue;
        }
        if (row.leftLine != 0) out.push_back(UnifiedRow{RowKind::Removed, row.leftLine, 0, row.left, row.leftWords});
        if (row.rightLine != 0) added.push_back(UnifiedRow{RowKind::Added, 0, row.rightLine, row.right, row.rightWords});
    }
    for (UnifiedRow& r : added) out.push_back(std::move(r));
    return out;
}

// ------------------------------------------------------------ CountString

namespace {

// The lines of `text` where occurrences start, at most `maxLines`.
std::vector<CountLine> linesHolding(const std::string& text, const PatternSearch& search, std::size_t maxLines,
                                    bool& cut) {
    std::vector<CountLine> lines;
    std::size_t line = 1;
    std::size_t lineStart = 0;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = search.find(text, from);
        if (at == PatternSearch::npos) break;
        for (std::size_t nl = text.find('\n', lineStart); nl != std::string::npos && nl < at;
             nl = text.find('\n', lineStart)) {
            ++line;
            lineStart = nl + 1;
        }
        if (lines.size() >= maxLines) {
            cut = true;
            break;
        }
        std::size_t end = text.find('\n', lineStart);
        if (end == std::string::npos) end = text.size();
        std::size_t stop = end;
        if (stop > lineStart && text[stop - 1] == '\r') --stop;
        lines.push_back(CountLine{line, text.substr(lineStart, stop - lineStart)});
        if (end >= text.size()) break;
        from = end + 1;  // one entry a line: on to the next line
    }
    return lines;
}

}  // namespace

CountDifference diffCount(const std::string& left, const std::string& right, const std::string& pattern,
                          std::size_t maxLines) {
    CountDifference d;
    const PatternSearch search(pattern);
    d.leftCount = search.count(left);
    d.rightCount = search.count(right);
    d.leftLines = linesHolding(left, search, maxLines, d.cut);
    d.rightLines = linesHolding(right, search, maxLines, d.cut);
    if (d.cut) d.note = "first " + grouped(maxLines) + " lines shown";
    return d;
}

// ------------------------------------------------------------ MiddleString

MiddleDifference diffMiddle(const std::string& left, const std::string& right, const std::string& startMarker,
                            const std::string& endMarker, const TextDiffOptions& options) {
    MiddleDifference d;
    const MiddleSpan l = findMiddleText(left, startMarker, endMarker);
    const MiddleSpan r = findMiddleText(right, startMarker, endMarker);
    d.leftFound = l.found;
    d.rightFound = r.found;
    if (l.found) d.left = left.substr(l.begin, l.length);
    if (r.found) d.right = right.substr(r.begin, r.length);
    d.lines = diffText(d.left, d.right, options);
    return d;
}

// ------------------------------------------------------------ bytes

HexDifference::HexDifference(std::string left, std::string right) : left_(std::move(left)), right_(std::move(right)) {
    first_ = differsAt(0) ? 0 : nextDifference(0);
}

uint64_t HexDifference::rowCount() const {
    const uint64_t size = std::max(left_.size(), right_.size());
    return (size + kBytesPerRow - 1) / kBytesPerRow;
}

bool HexDifference::differsAt(uint64_t offset) const {
    const bool inLeft = offset < left_.size();
    const bool inRight = offset < right_.size();
    if (inLeft != inRight) return true;
    return inLeft && left_[offset] != right_[offset];
}

uint64_t HexDifference::nextDifference(uint64_t offset) const {
    const uint64_t common = std::min(left_.size(), right_.size());
    const uint64_t size = std::max(left_.size(), right_.size());
    uint64_t i = offset;
    while (i < size && differsAt(i)) ++i;  // past the run `offset` lies in
    // Equal stretches go by in chunks.
    while (i < common) {
        const uint64_t n = std::min<uint64_t>(kChunk, common - i);
        if (std::memcmp(left_.data() + i, right_.data() + i, n) == 0) {
            i += n;
            continue;
        }
        while (!differsAt(i)) ++i;
        return i;
    }
    return i < size ? i : npos;
}

uint64_t HexDifference::previousDifference(uint64_t offset) const {
    const uint64_t common = std::min(left_.size(), right_.size());
    uint64_t i = std::min<uint64_t>(offset, std::max(left_.size(), right_.size()));
    while (i > 0 && differsAt(i - 1)) --i;  // the start of the run `offset` lies in
    if (i == 0) return npos;
    // Back over the equal stretch before it (all of it lies within both).
    uint64_t j = i;
    while (j > 0) {
        const uint64_t n = std::min<uint64_t>(kChunk, j);
        if (j <= common && std::memcmp(left_.data() + j - n, right_.data() + j - n, n) == 0) {
            j -= n;
            continue;
        }
        while (!differsAt(j - 1)) --j;
        break;
    }
    if (j == 0) return npos;
    while (j > 0 && differsAt(j - 1)) --j;  // the start of that run
    return j;
}

HexRow HexDifference::row(uint64_t index) const {
    HexRow r;
    r.offset = index * kBytesPerRow;
    for (std::size_t i = 0; i < kBytesPerRow; ++i) {
        const uint64_t at = r.offset + i;
        for (int side = 0; side < 2; ++side) {
            const std::string& bytes = side == 0 ? left_ : right_;
            std::string& hex = side == 0 ? r.leftHex : r.rightHex;
            std::string& chars = side == 0 ? r.leftChars : r.rightChars;
            if (at < bytes.size()) {
                const unsigned char c = static_cast<unsigned char>(bytes[at]);
                hexByte(hex, c);
                chars.push_back(c >= 0x20 && c != 0x7F ? static_cast<char>(c) : '.');
            } else {
                hex += "   ";
                chars.push_back(' ');
            }
        }
        if (at < std::max(left_.size(), right_.size()) && differsAt(at)) r.differs |= static_cast<uint16_t>(1u << i);
    }
    r.leftHex.pop_back();
    r.rightHex.pop_back();
    return r;
}

std::vector<HexRow> HexDifference::rows(uint64_t first, std::size_t count) const {
    std::vector<HexRow> out;
    const uint64_t total = rowCount();
    for (uint64_t i = first; i < total && out.size() < count; ++i) out.push_back(row(i));
    return out;
}

}  // namespace hs
