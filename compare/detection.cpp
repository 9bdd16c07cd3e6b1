#include "compare/detection.h"

#include <algorithm>
#include <cstring>

#include "compare/pattern_search.h"

namespace hs {

CompareMode compareModeOf(const Document& record) {
    if (record.countMode == 1) return CompareMode::CountString;
    if (record.middleMode == 1) return CompareMode::MiddleString;
    return CompareMode::Binary;
}

// ------------------------------------------------------------ Binary rule

bool pieceDiffers(const char* fresh, const char* kept, std::size_t got, std::size_t n) {
    // memcmp compares the bytes as unsigned values.
    return got < n || std::memcmp(kept, fresh, n) != 0;
}

bool KeptContentComparer::open(const std::string& keptPath, FileMode mode) {
    changed_ = false;
    return kept_.open(keptPath, mode);
}

void KeptContentComparer::feed(const char* data, std::size_t n) {
    if (changed_ || n == 0) return;
    if (buffer_.size() < n) buffer_.resize(n);
    if (pieceDiffers(data, buffer_.data(), kept_.read(buffer_.data(), n), n)) changed_ = true;
}

// ------------------------------------------------------------ streaming
//
// The searches below read the new content as text piece by piece into one
// window string and search it in place. After a piece has been searched for
// a pattern of length m from position `from`, every start position up to
// end - m has been tried, so only the last m - 1 bytes (and nothing before
// `from`) are kept for the next piece. The page is never held whole.

namespace {

std::size_t nextFrom(std::size_t from, std::size_t end, std::size_t m) {
    const std::size_t untried = end + 1 > m ? end + 1 - m : 0;
    return std::max(from, untried);
}

// Where the middle text lies, as positions in the whole text.
struct MiddleScan {
    bool found = false;
    std::size_t begin = 0;
    std::size_t length = 0;
};

// Finds the markers in the text of `path` as findMiddleText does. With
// `kept`, feeds it every byte of the middle text as soon as it is known to
// lie before the end marker. False when the file cannot be opened or read.
bool scanMiddle(const std::string& path, const std::string& startMarker,
                const std::string& endMarker, KeptContentComparer* kept, MiddleScan& out,
                std::size_t piece) {
    out = MiddleScan{};
    TextStream text;
    if (!text.open(path)) return false;
    const PatternSearch findStart(startMarker);
    const PatternSearch findEnd(endMarker);
    std::string window;
    window.reserve(piece + std::max(startMarker.size(), endMarker.size()) + 2);
    std::size_t ws = 0;  // position of window[0] in the whole text
    bool haveStart = false;
    std::size_t fromStart = 0, fromEnd = 0, begin = 0, fed = 0;

    while (text.next(window, piece)) {
        const std::size_t end = ws + window.size();
        // Feeds the middle bytes before `upTo` that were not fed yet.
        auto feed = [&](std::size_t upTo) {
            upTo = std::min(upTo, end);
            const std::size_t from = std::max(fed, begin);
            if (!kept || upTo <= from) return;
            kept->feed(window.data() + (from - ws), upTo - from);
            fed = upTo;
        };
        if (!haveStart) {
            const std::size_t p = findStart.find(window.data(), window.size(), fromStart - ws);
            if (p != PatternSearch::npos) {
                haveStart = true;
                begin = ws + p + startMarker.size();
                fromEnd = ws + p + 1;  // the end marker may overlap the start marker
                fed = begin;
            } else {
                fromStart = nextFrom(fromStart, end, startMarker.size());
            }
        }
        if (haveStart) {
            const std::size_t p = findEnd.find(window.data(), window.size(), fromEnd - ws);
            if (p != PatternSearch::npos) {
                const std::size_t e = ws + p;
                feed(e);
                out.found = true;
                out.begin = begin;
                out.length = e > begin ? e - begin : 0;
                return true;
            }
            fromEnd = nextFrom(fromEnd, end, endMarker.size());
            feed(fromEnd);
        }
        const std::size_t keep = std::min(haveStart ? fromEnd : fromStart, end);
        window.erase(0, keep - ws);
        ws = keep;
    }
    return !text.failed();
}

// Writes the middle text found by scanMiddle in text mode to `path`, reading
// the content once more. False when the file cannot be written completely.
bool writeMiddle(const std::string& contentPath, const MiddleScan& scan,
                 const std::string& path, std::size_t pieceSize) {
    ContentWriter out;
    if (!out.open(path, FileMode::Text)) return false;
    const std::size_t b = scan.begin;
    const std::size_t e = scan.begin + scan.length;
    std::size_t ps = 0;  // position of the piece in the whole text
    if (scan.length) {
        TextStream text;
        if (!text.open(contentPath)) {
            out.close();
            return false;
        }
        std::string piece;
        while (ps < e && text.next(piece, pieceSize)) {
            const std::size_t pe = ps + piece.size();
            const std::size_t from = std::max(ps, b);
            const std::size_t to = std::min(pe, e);
            if (to > from) out.write(piece.data() + (from - ps), to - from);
            ps = pe;
            piece.clear();
        }
    }
    const bool complete = ps >= e || scan.length == 0;
    return out.close() && complete;
}

}  // namespace

// ------------------------------------------------------------ CountString

int64_t countOccurrences(const std::string& contentPath, const std::string& pattern, std::size_t piece) {
    TextStream text;
    if (!text.open(contentPath)) return -1;
    const PatternSearch search(pattern);
    const std::size_t m = pattern.size();
    std::string window;
    window.reserve(piece + m + 2);
    std::size_t ws = 0;
    std::size_t from = 0;
    int64_t total = 0;
    while (text.next(window, piece)) {
        const std::size_t end = ws + window.size();
        if (m == 0) {
            // The empty pattern occurs at every position; the end is added below.
            total += static_cast<int64_t>(window.size());
            window.clear();
            ws = end;
            continue;
        }
        total += search.count(window.data(), window.size(), from - ws);
        from = nextFrom(from, end, m);
        window.erase(0, from - ws);
        ws = from;
    }
    if (text.failed()) return -1;
    return m == 0 ? total + 1 : total;
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
                    const std::string& endMarker, const std::string& middlePath, std::size_t piece) {
    MiddleScan scan;
    if (!scanMiddle(contentPath, startMarker, endMarker, nullptr, scan, piece) || !scan.found) {
        return false;
    }
    writeMiddle(contentPath, scan, middlePath, piece);
    return true;
}

bool compareMiddleText(const std::string& contentPath, const std::string& startMarker,
                       const std::string& endMarker, const std::string& keptMiddlePath,
                       const std::string& newMiddlePath, std::size_t piece) {
    KeptContentComparer kept;
    if (!kept.open(keptMiddlePath, FileMode::Text)) return false;
    MiddleScan scan;
    if (!scanMiddle(contentPath, startMarker, endMarker, &kept, scan, piece) || !scan.found) {
        return false;
    }
    if (kept.failed() || !kept.changed()) return false;
    kept.close();
    return writeMiddle(contentPath, scan, newMiddlePath, piece);
}

}  // namespace hs
