#include "dialogs/what_changed_model.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <ctime>
#include <utility>

#include "open/open_document.h"

namespace hs {

namespace {

// The hex view's columns: offset, two spaces, 16 bytes of "XX ", a space,
// 16 characters.
constexpr std::size_t kHexColumn = 10;
constexpr std::size_t kCharsColumn = kHexColumn + 3 * HexDifference::kBytesPerRow + 1;

RowStyle styleOf(RowKind kind) {
    switch (kind) {
        case RowKind::Removed: return RowStyle::Removed;
        case RowKind::Added: return RowStyle::Added;
        case RowKind::Changed: return RowStyle::Changed;
        case RowKind::Same: break;
    }
    return RowStyle::Same;
}

std::string plural(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string linesSummary(const TextDifference& d) {
    if (d.same()) return "no difference";
    return plural(d.changes.size(), "change", "changes") + ": " + plural(d.removedLines, "line", "lines") +
           " removed, " + std::to_string(d.addedLines) + " added";
}

std::string hexLine(uint64_t offset, const std::string& hex, const std::string& chars) {
    char head[16];
    std::snprintf(head, sizeof head, "%08" PRIX64 "  ", offset);
    std::string line = head;
    line += hex;
    line.resize(kCharsColumn, ' ');
    return line + chars;
}

// Every place `pattern` starts in `line` (overlapping ones merged into one mark).
std::vector<WordRange> occurrences(const std::string& line, const std::string& pattern) {
    std::vector<WordRange> marks;
    if (pattern.empty()) return marks;
    for (std::size_t at = line.find(pattern); at != std::string::npos; at = line.find(pattern, at + 1)) {
        if (!marks.empty() && marks.back().begin + marks.back().length >= at) {
            marks.back().length = at + pattern.size() - marks.back().begin;
        } else {
            marks.push_back(WordRange{at, pattern.size()});
        }
    }
    return marks;
}

}  // namespace

ChangeSource changeSourceOf(const Document& record) {
    ChangeSource source;
    source.page = record.type == HtmlPage;
    source.mode = source.page ? compareModeOf(record) : CompareMode::Binary;
    source.countString = fieldText(record.countString);
    source.middleStart = fieldText(record.middleStart);
    source.middleEnd = fieldText(record.middleEnd);
    return source;
}

ChangeView chooseView(const ChangeSource& source, const std::string& older, const std::string& newer) {
    if (source.page && source.mode == CompareMode::CountString) return ChangeView::Count;
    if (source.page && source.mode == CompareMode::MiddleString) return ChangeView::Middle;
    if (source.page || (readsAsText(older) && readsAsText(newer))) return ChangeView::Lines;
    return ChangeView::Hex;
}

Comparison::Comparison(const ChangeSource& source, std::string older, std::string newer,
                       const ViewToggles& toggles, bool truncated)
    : view_(chooseView(source, older, newer)), toggles_(toggles) {
    TextDiffOptions options;
    options.textOnly = toggles.textOnly && source.page;
    if (source.page && view_ != ChangeView::Hex) {
        older = loadedText(older);
        newer = loadedText(newer);
    }
    switch (view_) {
        case ChangeView::Lines: buildLines(older, newer, options); break;
        case ChangeView::Count: buildCount(older, newer, source); break;
        case ChangeView::Middle: buildMiddle(older, newer, source, options); break;
        case ChangeView::Hex: {
            hex_ = std::make_unique<HexDifference>(std::move(older), std::move(newer));
            same_ = hex_->firstDifference() == HexDifference::npos;
            summary_ = "sizes " + sizeText(hex_->leftSize()) + " and " + sizeText(hex_->rightSize()) + "; ";
            if (same_) {
                summary_ += "no difference";
            } else {
                char at[64];
                std::snprintf(at, sizeof at, "first difference at offset %08" PRIX64 " (%" PRIu64 ")",
                              hex_->firstDifference(), hex_->firstDifference());
                summary_ += at;
            }
            break;
        }
    }
    if (truncated) {
        if (!note_.empty()) note_ += "; ";
        note_ += "only the first " + std::to_string(kMaxCompareBytes / (1024 * 1024)) +
                 " MB of each version compared";
    }
}

void Comparison::buildLines(const std::string& older, const std::string& newer, const TextDiffOptions& options) {
    lines_ = diffText(older, newer, options);
    unified_ = unifiedRows(lines_);
    for (std::size_t i = 0; i < unified_.size(); ++i) {
        if (unified_[i].kind != RowKind::Same && (i == 0 || unified_[i - 1].kind == RowKind::Same)) {
            unifiedChanges_.push_back(i);
        }
    }
    same_ = lines_.same();
    summary_ = linesSummary(lines_);
    note_ = lines_.note;
}

void Comparison::buildCount(const std::string& older, const std::string& newer, const ChangeSource& source) {
    count_ = diffCount(older, newer, source.countString);
    head_.assign(1, source.countString);
    same_ = count_.leftCount == count_.rightCount;
    summary_ = "\"" + source.countString + "\" found " + std::to_string(count_.leftCount) + " times before, " +
               std::to_string(count_.rightCount) + " times now";
    note_ = count_.note;
}

void Comparison::buildMiddle(const std::string& older, const std::string& newer, const ChangeSource& source,
                             const TextDiffOptions& options) {
    MiddleDifference middle = diffMiddle(older, newer, source.middleStart, source.middleEnd, options);
    lines_ = std::move(middle.lines);
    unified_ = unifiedRows(lines_);
    for (std::size_t i = 0; i < unified_.size(); ++i) {
        if (unified_[i].kind != RowKind::Same && (i == 0 || unified_[i - 1].kind == RowKind::Same)) {
            unifiedChanges_.push_back(i);
        }
    }
    same_ = lines_.same();
    summary_ = "middle text: " + linesSummary(lines_);
    if (!middle.leftFound) summary_ += "; the markers are not in the older version";
    if (!middle.rightFound) summary_ += "; the markers are not in the newer version";
    note_ = lines_.note;
}

bool Comparison::oneColumn() const {
    return toggles_.oneColumn && (view_ == ChangeView::Lines || view_ == ChangeView::Middle);
}

std::size_t Comparison::rowCount() const {
    switch (view_) {
        case ChangeView::Hex: return static_cast<std::size_t>(hex_->rowCount());
        case ChangeView::Count: return 1 + std::max(count_.leftLines.size(), count_.rightLines.size());
        case ChangeView::Lines:
        case ChangeView::Middle: break;
    }
    return oneColumn() ? unified_.size() : lines_.rows.size();
}

ViewRow Comparison::lineRow(std::size_t index) const {
    ViewRow row;
    if (oneColumn()) {
        const UnifiedRow& u = unified_[index];
        row.twoSides = false;
        row.style = row.leftStyle = styleOf(u.kind);
        row.leftNumber = u.kind == RowKind::Added ? u.rightLine : u.leftLine;
        row.left = u.text;
        row.leftMarks = u.words;
        return row;
    }
    const DiffRow& d = lines_.rows[index];
    row.style = styleOf(d.kind);
    row.leftNumber = d.leftLine;
    row.rightNumber = d.rightLine;
    row.left = d.left;
    row.right = d.right;
    row.leftMarks = d.leftWords;
    row.rightMarks = d.rightWords;
    row.leftStyle = d.kind == RowKind::Same || d.kind == RowKind::Added ? RowStyle::Same : RowStyle::Removed;
    row.rightStyle = d.kind == RowKind::Same || d.kind == RowKind::Removed ? RowStyle::Same : RowStyle::Added;
    if (d.kind == RowKind::Added) row.leftStyle = RowStyle::Heading;    // no line on this side
    if (d.kind == RowKind::Removed) row.rightStyle = RowStyle::Heading;
    return row;
}

std::vector<ViewRow> Comparison::rows(std::size_t first, std::size_t count) const {
    std::vector<ViewRow> out;
    const std::size_t total = rowCount();
    if (first >= total) return out;
    count = std::min(count, total - first);
    if (view_ == ChangeView::Hex) {
        for (const HexRow& h : hex_->rows(first, count)) {
            ViewRow row;
            row.left = hexLine(h.offset, h.leftHex, h.leftChars);
            // The offset once, on the left.
            row.right = hexLine(h.offset, h.rightHex, h.rightChars).substr(kHexColumn);
            row.style = h.differs != 0 ? RowStyle::Changed : RowStyle::Same;
            for (std::size_t i = 0; i < HexDifference::kBytesPerRow; ++i) {
                if ((h.differs & (1u << i)) == 0) continue;
                for (auto* marks : {&row.leftMarks, &row.rightMarks}) {
                    marks->push_back(WordRange{kHexColumn + 3 * i, 2});
                    marks->push_back(WordRange{kCharsColumn + i, 1});
                }
            }
            std::sort(row.leftMarks.begin(), row.leftMarks.end(),
                      [](const WordRange& a, const WordRange& b) { return a.begin < b.begin; });
            row.rightMarks = row.leftMarks;
            for (WordRange& mark : row.rightMarks) mark.begin -= kHexColumn;
            out.push_back(std::move(row));
        }
        return out;
    }
    for (std::size_t i = first; i < first + count; ++i) {
        if (view_ != ChangeView::Count) {
            out.push_back(lineRow(i));
            continue;
        }
        ViewRow row;
        if (i == 0) {
            row.style = row.leftStyle = row.rightStyle = RowStyle::Heading;
            row.left = "Before: " + std::to_string(count_.leftCount);
            row.right = "Now: " + std::to_string(count_.rightCount);
        } else {
            if (i - 1 < count_.leftLines.size()) {
                row.leftNumber = count_.leftLines[i - 1].line;
                row.left = count_.leftLines[i - 1].text;
                row.leftMarks = occurrences(row.left, head_.empty() ? std::string() : head_[0]);
            }
            if (i - 1 < count_.rightLines.size()) {
                row.rightNumber = count_.rightLines[i - 1].line;
                row.right = count_.rightLines[i - 1].text;
                row.rightMarks = occurrences(row.right, head_.empty() ? std::string() : head_[0]);
            }
        }
        out.push_back(std::move(row));
    }
    return out;
}

std::size_t Comparison::nextChange(std::size_t row) const {
    switch (view_) {
        case ChangeView::Count: return npos;
        case ChangeView::Hex: {
            const uint64_t top = static_cast<uint64_t>(row);
            uint64_t at = hex_->nextDifference(top * HexDifference::kBytesPerRow);
            // A run that starts in the top row itself is where the view is.
            while (at != HexDifference::npos && at / HexDifference::kBytesPerRow <= top) {
                at = hex_->nextDifference(at);
            }
            return at == HexDifference::npos ? npos : static_cast<std::size_t>(at / HexDifference::kBytesPerRow);
        }
        case ChangeView::Lines:
        case ChangeView::Middle: break;
    }
    if (!oneColumn()) {
        const std::size_t next = lines_.nextChange(row);
        return next == TextDifference::npos ? npos : next;
    }
    auto it = std::upper_bound(unifiedChanges_.begin(), unifiedChanges_.end(), row);
    return it == unifiedChanges_.end() ? npos : *it;
}

std::size_t Comparison::previousChange(std::size_t row) const {
    switch (view_) {
        case ChangeView::Count: return npos;
        case ChangeView::Hex: {
            const uint64_t at =
                hex_->previousDifference(static_cast<uint64_t>(row) * HexDifference::kBytesPerRow);
            return at == HexDifference::npos ? npos : static_cast<std::size_t>(at / HexDifference::kBytesPerRow);
        }
        case ChangeView::Lines:
        case ChangeView::Middle: break;
    }
    if (!oneColumn()) {
        const std::size_t previous = lines_.previousChange(row);
        return previous == TextDifference::npos ? npos : previous;
    }
    auto it = std::lower_bound(unifiedChanges_.begin(), unifiedChanges_.end(), row);
    return it == unifiedChanges_.begin() ? npos : *(it - 1);
}

std::size_t Comparison::firstChange() const {
    switch (view_) {
        case ChangeView::Count: return 0;
        case ChangeView::Hex:
            return same_ ? 0 : static_cast<std::size_t>(hex_->firstDifference() / HexDifference::kBytesPerRow);
        case ChangeView::Lines:
        case ChangeView::Middle: break;
    }
    if (same_) return 0;
    return oneColumn() ? unifiedChanges_.front() : lines_.changes.front();
}

std::string Comparison::rowsText(std::size_t first, std::size_t count) const {
    std::string text;
    for (const ViewRow& row : rows(first, count)) {
        if (!row.twoSides) {
            text += row.style == RowStyle::Removed ? "- " : row.style == RowStyle::Added ? "+ " : "  ";
            text += row.left;
        } else {
            const bool removed = row.leftStyle == RowStyle::Removed;
            const bool added = row.rightStyle == RowStyle::Added;
            text += removed && added ? "! " : removed ? "- " : added ? "+ " : "  ";
            text += row.left + " | " + row.right;
        }
        text += "\r\n";
    }
    return text;
}

// ------------------------------------------------------------ history

std::string versionTimeText(int64_t time, int64_t localOffset) {
    if (time == 0) return std::string();
    const std::time_t t = static_cast<std::time_t>(time + localOffset);
    std::tm parts{};
#ifdef _WIN32
    if (gmtime_s(&parts, &t) != 0) return std::string();
#else
    if (gmtime_r(&t, &parts) == nullptr) return std::string();
#endif
    char text[64];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", parts.tm_year + 1900, parts.tm_mon + 1,
                  parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
    return text;
}

std::string sizeText(uint64_t bytes) {
    std::string digits = std::to_string(bytes);
    for (std::size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, ",");
    return digits + (bytes == 1 ? " byte" : " bytes");
}

std::string versionName(uint32_t seq) {
    return seq == kCurrentVersion ? std::string("Current") : "Version " + std::to_string(seq);
}

bool baselinePair(const std::vector<VersionInfo>& versions, uint32_t& older, uint32_t& newer) {
    for (const VersionInfo& v : versions) {
        if (v.baseline && v.seq != kCurrentVersion) {
            older = v.seq;
            newer = kCurrentVersion;
            return std::any_of(versions.begin(), versions.end(),
                               [](const VersionInfo& c) { return c.seq == kCurrentVersion; });
        }
    }
    return false;
}

bool pickComparePair(const std::vector<VersionInfo>& versions, const std::vector<std::size_t>& chosen,
                     uint32_t& older, uint32_t& newer) {
    // Listed oldest first, the kept content last: a lower index is older.
    std::vector<std::size_t> picked;
    for (std::size_t i : chosen) {
        if (i < versions.size()) picked.push_back(i);
    }
    std::sort(picked.begin(), picked.end());
    if (picked.size() >= 2) {
        older = versions[picked.front()].seq;
        newer = versions[picked.back()].seq;
        return true;
    }
    if (picked.size() != 1 || versions.size() < 2) return false;
    const VersionInfo& one = versions[picked.front()];
    if (one.seq != kCurrentVersion) {
        if (versions.back().seq != kCurrentVersion) return false;
        older = one.seq;
        newer = kCurrentVersion;
        return true;
    }
    return baselinePair(versions, older, newer);
}

std::string versionFileName(const Document& record) {
    std::string component;
    lastLocationComponent(fieldText(record.url), component);
    if (record.type == HtmlPage) {
        const std::size_t dot = component.rfind('.');
        const std::string ext = dot == std::string::npos ? std::string() : component.substr(dot);
        if (ext != ".htm" && ext != ".html") return "page.htm";
        return component;
    }
    return component.empty() ? std::string("document") : component;
}

}  // namespace hs
