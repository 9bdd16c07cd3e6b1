#include "engine/detection.h"

#include <algorithm>
#include <cstring>

#include "engine/pattern_search.h"

namespace hs {

CompareMode compareModeOf(const DocumentRecord& record) {
    if (record.countMode == 1) return CompareMode::CountString;
    if (record.middleMode == 1) return CompareMode::MiddleString;
    return CompareMode::Binary;
}

// ------------------------------------------------------------ Binary rule

bool KeptContentComparer::open(const std::string& keptPath, FileMode mode) {
    changed_ = false;
    return kept_.open(keptPath, mode);
}

void KeptContentComparer::feed(const char* data, std::size_t n) {
    if (changed_ || n == 0) return;
    if (buffer_.size() < n) buffer_.resize(n);
    const std::size_t got = kept_.read(buffer_.data(), n);
    // memcmp compares the bytes as unsigned values.
    if (got < n || std::memcmp(buffer_.data(), data, n) != 0) changed_ = true;
}

// ------------------------------------------------------------ CountString

int64_t countOccurrences(const std::string& contentPath, const std::string& pattern) {
    std::string text;
    if (!loadText(contentPath, text)) return -1;
    return PatternSearch(pattern).count(text);
}

// ------------------------------------------------------------ MiddleString

MiddleSpan findMiddleText(const std::string& text, const std::string& startMarker,
                          const std::string& endMarker) {
    MiddleSpan span;
    const std::size_t s = PatternSearch(startMarker).find(text, 0);
    if (s == PatternSearch::npos) return span;
    const std::size_t e = PatternSearch(endMarker).find(text, s + 1);
    if (e == PatternSearch::npos) return span;
    span.found = true;
    span.begin = s + startMarker.size();
    span.length = e > span.begin ? e - span.begin : 0;
    return span;
}

bool saveMiddleText(const std::string& contentPath, const std::string& startMarker,
                    const std::string& endMarker, const std::string& middlePath) {
    std::string text;
    if (!loadText(contentPath, text)) return false;
    const MiddleSpan span = findMiddleText(text, startMarker, endMarker);
    if (!span.found) return false;
    writeTextFile(middlePath, text.data() + span.begin, span.length);
    return true;
}

namespace {

// True when the kept middle file holds `n` bytes equal to `middle` at its
// start (it may go on). Sets `readable` to false when it cannot be read.
bool keptMiddleBegins(const std::string& keptPath, const char* middle, std::size_t n,
                      bool& readable) {
    ContentReader kept;
    readable = kept.open(keptPath, FileMode::Text);
    if (!readable) return false;
    std::vector<char> buffer(64 * 1024);
    std::size_t done = 0;
    while (done < n) {
        const std::size_t want = std::min(buffer.size(), n - done);
        const std::size_t got = kept.read(buffer.data(), want);
        if (kept.failed()) {
            readable = false;
            return false;
        }
        if (got < want || std::memcmp(buffer.data(), middle + done, want) != 0) return false;
        done += want;
    }
    return true;
}

}  // namespace

bool compareMiddleText(const std::string& contentPath, const std::string& startMarker,
                       const std::string& endMarker, const std::string& keptMiddlePath,
                       const std::string& newMiddlePath) {
    std::string text;
    if (!loadText(contentPath, text)) return false;
    const MiddleSpan span = findMiddleText(text, startMarker, endMarker);
    if (!span.found) return false;
    const char* middle = text.data() + span.begin;
    bool readable = true;
    const bool same = keptMiddleBegins(keptMiddlePath, middle, span.length, readable);
    if (!readable || same) return false;
    return writeTextFile(newMiddlePath, middle, span.length);
}

}  // namespace hs
