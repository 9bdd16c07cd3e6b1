#include "compare/pattern_search.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace hs {

namespace {

// Work allowed for the candidate-and-verify paths: each candidate costs its
// check (pattern length) plus a fixed overhead; once the total passes this
// multiple of the bytes scanned, the linear-time path takes over.
constexpr std::size_t kCandidateCost = 16;
constexpr std::size_t kBudgetFactor = 4;
constexpr std::size_t kBudgetSlack = 4096;

// memchr on the anchor byte is the fastest filter while its hits are sparse;
// with more than one hit per this many bytes the pair filter takes over.
constexpr std::size_t kSparseHits = 64;

// A rough rank of how often a byte turns up in web pages and plain text:
// higher is more common. Bytes not listed count as rare.
int commonness(unsigned char c) {
    static const char kByFrequency[] =
        " etaoinsrhldcumfpgwybvkxjqz<>/=\"\n.,-:;0123456789_'#&!()"
        "ETAOINSRHLDCUMFPGWYBVKXJQZ\t\r";
    const void* p = std::memchr(kByFrequency, c, sizeof kByFrequency - 1);
    if (!p) return 0;
    return static_cast<int>(sizeof kByFrequency) -
           static_cast<int>(static_cast<const char*>(p) - kByFrequency);
}

uint64_t load8(const char* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
constexpr uint64_t kOnes = 0x0101010101010101ULL;

// 0x80 in every byte of x that is zero, 0 in every other byte (exact: no
// carries cross the bytes).
uint64_t zeroBytes(uint64_t x) { return ~(((x & kLow7) + kLow7) | x | kLow7); }

// The bit of zeroBytes' result that stands for the byte at offset k of an
// eight-byte load, on either byte order.
uint64_t byteFlag(std::size_t k) {
    static const bool littleEndian = [] {
        const uint16_t one = 1;
        unsigned char first;
        std::memcpy(&first, &one, 1);
        return first == 1;
    }();
    return uint64_t{0x80} << (8 * (littleEndian ? k : 7 - k));
}

}  // namespace

PatternSearch::PatternSearch(std::string pattern) : pattern_(std::move(pattern)) {
    const std::size_t m = pattern_.size();
    int best = 1 << 30;
    for (std::size_t i = 0; i < m; ++i) {
        const int c = commonness(static_cast<unsigned char>(pattern_[i]));
        if (c < best) {
            best = c;
            anchor_ = i;
        }
    }
    failure_.assign(m + 1, 0);
    for (std::size_t i = 1; i < m; ++i) {
        std::size_t k = failure_[i];
        while (k > 0 && pattern_[k] != pattern_[i]) k = failure_[k];
        if (pattern_[k] == pattern_[i]) ++k;
        failure_[i + 1] = k;
    }
}

int64_t PatternSearch::kmp(const char* text, std::size_t n, std::size_t from, bool all,
                           std::size_t* first) const {
    const char* p = pattern_.data();
    const std::size_t m = pattern_.size();
    std::size_t k = 0;
    int64_t found = 0;
    std::size_t i = from;
    while (i < n) {
        if (k == 0) {
            // Nothing matched yet: jump to the next possible first byte.
            const void* hit = std::memchr(text + i, p[0], n - i);
            if (!hit) break;
            i = static_cast<std::size_t>(static_cast<const char*>(hit) - text) + 1;
            k = 1;
        } else {
            const char ch = text[i];
            while (k > 0 && p[k] != ch) k = failure_[k];
            if (p[k] == ch) ++k;
            ++i;
        }
        if (k == m) {
            if (!all) {
                *first = i - m;
                return 1;
            }
            ++found;
            k = failure_[m];
        }
    }
    if (!all) *first = npos;
    return found;
}

// The search behind find and count: candidates in increasing position, each
// verified; stops at the first match unless `all`.
int64_t PatternSearch::run(const char* text, std::size_t n, std::size_t from, bool all,
                           std::size_t* first) const {
    const std::size_t m = pattern_.size();
    if (!all) *first = npos;
    if (from > n || m > n - from) return 0;
    const char* p = pattern_.data();
    const std::size_t last = n - m;  // the last position a match can start at
    std::size_t pos = from;
    std::size_t work = 0;
    std::size_t hits = 0;
    int64_t found = 0;
    auto overBudget = [&] { return work > kBudgetFactor * (pos - from) + kBudgetSlack; };

    // 1. memchr on the anchor byte, then a full check.
    const char a = p[anchor_];
    while (pos <= last) {
        const void* hit = std::memchr(text + pos + anchor_, a, last - pos + 1);
        if (!hit) return found;
        const std::size_t start =
            static_cast<std::size_t>(static_cast<const char*>(hit) - text) - anchor_;
        if (std::memcmp(text + start, p, m) == 0) {
            if (!all) {
                *first = start;
                return 1;
            }
            ++found;
        }
        pos = start + 1;
        work += m + kCandidateCost;
        if (overBudget()) return found + kmp(text, n, pos, all, first);
        if (m >= 2 && ++hits > (pos - from) / kSparseHits + kSparseHits) break;
    }

    // 2. The pair filter: eight positions at a time, a position is a
    // candidate only when its first and its last byte both match.
    const uint64_t firstBytes = kOnes * static_cast<unsigned char>(p[0]);
    const uint64_t lastBytes = kOnes * static_cast<unsigned char>(p[m - 1]);
    while (pos + 8 <= last + 1) {
        const uint64_t both = zeroBytes(load8(text + pos) ^ firstBytes) &
                              zeroBytes(load8(text + pos + m - 1) ^ lastBytes);
        if (both) {
            // Each flagged byte is a candidate position pos + k.
            for (std::size_t k = 0; k < 8; ++k) {
                if (!(both & byteFlag(k))) continue;
                if (std::memcmp(text + pos + k, p, m) == 0) {
                    if (!all) {
                        *first = pos + k;
                        return 1;
                    }
                    ++found;
                }
                work += m + kCandidateCost;
            }
        }
        pos += 8;
        if (overBudget()) return found + kmp(text, n, pos, all, first);
    }
    for (; pos <= last; ++pos) {
        if (std::memcmp(text + pos, p, m) == 0) {
            if (!all) {
                *first = pos;
                return 1;
            }
            ++found;
        }
    }
    return found;
}

std::size_t PatternSearch::find(const char* text, std::size_t n, std::size_t from) const {
    if (pattern_.empty()) return from > n ? npos : from;
    std::size_t first = npos;
    run(text, n, from, false, &first);
    return first;
}

int64_t PatternSearch::count(const char* text, std::size_t n, std::size_t from) const {
    const std::size_t m = pattern_.size();
    if (from > n) return 0;
    if (m == 0) return static_cast<int64_t>(n - from) + 1;  // every position, the end too
    if (m == 1) return static_cast<int64_t>(std::count(text + from, text + n, pattern_[0]));
    return run(text, n, from, true, nullptr);
}

}  // namespace hs
