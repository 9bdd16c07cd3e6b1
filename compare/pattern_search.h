// Byte-string search over a loaded page: the first occurrence of a pattern at
// or after a position, and the number of occurrences, overlapping ones
// included ("aa" occurs three times in "aaaa").
//
// The program's ANSI code page is single-byte, so the search is a plain byte
// search: every byte position is a character position and a match can start
// anywhere. (On a double-byte code page a match would have to start on a
// character boundary.)
//
// Speed: candidates are found with memchr on the pattern byte that is least
// likely in ordinary text; when that byte turns out to be frequent, eight
// positions at a time are tested for a matching first and last byte instead.
// Each candidate is checked with memcmp. When the checks cost more than a
// small multiple of the text scanned (periodic patterns such as "aaa...a"
// over "aaa...a"), the search switches to Knuth-Morris-Pratt for the rest of
// the text, so no search is ever quadratic. The text is searched in place;
// nothing is copied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hs {

class PatternSearch {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    explicit PatternSearch(std::string pattern);

    // Position of the first occurrence starting at or after `from`, or npos.
    // A start beyond the end finds nothing. The empty pattern occurs at every
    // position from `from` up to and including the end of the text.
    std::size_t find(const char* text, std::size_t n, std::size_t from) const;
    std::size_t find(const std::string& text, std::size_t from) const {
        return find(text.data(), text.size(), from);
    }

    // All occurrences starting at or after `from`, each search continuing one
    // byte after the last found position (so overlapping occurrences count).
    int64_t count(const char* text, std::size_t n, std::size_t from = 0) const;
    int64_t count(const std::string& text, std::size_t from = 0) const {
        return count(text.data(), text.size(), from);
    }

    const std::string& pattern() const { return pattern_; }

private:
    int64_t run(const char* text, std::size_t n, std::size_t from, bool all,
                std::size_t* first) const;
    // Knuth-Morris-Pratt from `from`; with `all`, counts every occurrence,
    // otherwise stops at the first and returns its position through `first`.
    int64_t kmp(const char* text, std::size_t n, std::size_t from, bool all,
                std::size_t* first) const;

    std::string pattern_;
    std::size_t anchor_ = 0;              // index of the byte memchr looks for
    std::vector<std::size_t> failure_;    // KMP failure function, m + 1 entries
};

}  // namespace hs
