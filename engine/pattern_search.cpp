#include "engine/pattern_search.h"

#include <cstring>
#include <utility>

namespace hs {

namespace {

// Work allowed for the memchr-and-verify path: each candidate costs its
// check (pattern length) plus a fixed overhead; once the total passes this
// multiple of the bytes scanned, the linear-time path takes over.
constexpr std::size_t kCandidateCost = 16;
constexpr std::size_t kBudgetFactor = 4;
constexpr std::size_t kBudgetSlack = 4096;

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

std::size_t PatternSearch::find(const char* text, std::size_t n, std::size_t from) const {
    const std::size_t m = pattern_.size();
    if (from > n) return npos;
    if (m == 0) return from;
    if (m > n - from) return npos;
    const char* p = pattern_.data();
    const char a = p[anchor_];
    const std::size_t last = n - m;  // the last position a match can start at
    std::size_t pos = from;
    std::size_t work = 0;
    while (pos <= last) {
        const void* hit = std::memchr(text + pos + anchor_, a, last - pos + 1);
        if (!hit) return npos;
        const std::size_t start =
            static_cast<std::size_t>(static_cast<const char*>(hit) - text) - anchor_;
        if (std::memcmp(text + start, p, m) == 0) return start;
        pos = start + 1;
        work += m + kCandidateCost;
        if (work > kBudgetFactor * (pos - from) + kBudgetSlack) {
            std::size_t first = npos;
            kmp(text, n, pos, false, &first);
            return first;
        }
    }
    return npos;
}

int64_t PatternSearch::count(const char* text, std::size_t n) const {
    const std::size_t m = pattern_.size();
    if (m == 0) return static_cast<int64_t>(n) + 1;  // every position, the end included
    if (m > n) return 0;
    const char* p = pattern_.data();
    const char a = p[anchor_];
    const std::size_t last = n - m;
    std::size_t pos = 0;
    std::size_t work = 0;
    int64_t found = 0;
    while (pos <= last) {
        const void* hit = std::memchr(text + pos + anchor_, a, last - pos + 1);
        if (!hit) break;
        const std::size_t start =
            static_cast<std::size_t>(static_cast<const char*>(hit) - text) - anchor_;
        if (std::memcmp(text + start, p, m) == 0) ++found;
        pos = start + 1;
        work += m + kCandidateCost;
        if (work > kBudgetFactor * pos + kBudgetSlack) {
            return found + kmp(text, n, pos, true, nullptr);
        }
    }
    return found;
}

}  // namespace hs
