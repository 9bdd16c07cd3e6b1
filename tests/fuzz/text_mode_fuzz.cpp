// The text-mode reader and writer and the searches over a page's text: the
// count of a string and the middle text between two markers, read from a
// file in small pieces, against plain reference answers on the whole text.
#include <algorithm>
#include <cstdio>
#include <string>

#include "compare/detection.h"
#include "compare/pattern_search.h"
#include "catalogue/text_mode.h"
#include "fuzz_support.h"

using namespace hs;

namespace {

int64_t referenceCount(const std::string& text, const std::string& pattern) {
    if (pattern.empty()) return static_cast<int64_t>(text.size()) + 1;
    int64_t n = 0;
    for (std::size_t at = text.find(pattern); at != std::string::npos; at = text.find(pattern, at + 1)) ++n;
    return n;
}

std::string withoutZeros(std::string s) {
    s.erase(std::remove(s.begin(), s.end(), '\0'), s.end());
    return s;
}

std::string readText(const std::string& path, std::size_t chunk) {
    ContentReader reader;
    fuzz::require(reader.open(path, FileMode::Text), "the file opens");
    std::string out;
    std::string buffer(chunk, '\0');
    for (;;) {
        const std::size_t got = reader.read(&buffer[0], chunk);
        out.append(buffer, 0, got);
        if (got < chunk) break;
    }
    fuzz::require(!reader.failed(), "the file reads");
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::enterScratchDirectory();
    fuzz::Input in(data, size);
    const uint8_t shape = in.byte();
    // Now and then the interesting bytes straddle the reader's 64 KiB
    // buffer; the searches read small pieces, so that matches cross piece
    // boundaries.
    const bool large = (shape & 0x3F) == 0x3F;
    const std::size_t piece = 1 + in.byte() % 64;
    const std::size_t chunk = 1 + in.byte() % 64;  // bytes asked of the reader at a time
    const std::string pattern = in.text();
    const std::string startMarker = in.text();
    const std::string endMarker = in.text();
    const std::string keptMiddle = in.text();
    std::string stored = in.rest();
    // Longer pages find nothing new in small pieces and only slow the run.
    if (stored.size() > 4096) stored.resize(4096);
    if (large) stored.insert(0, std::string(65536 - 1 - (shape >> 6), 'x'));
    fuzz::writeFile("page.content", stored);

    const std::string text = fromStoredText(stored);
    fuzz::require(readText("page.content", chunk) == text, "the reader reads what text mode stores");
    const std::string searched = withoutZeros(text);
    std::string loaded;
    fuzz::require(loadText("page.content", loaded) && loaded == searched, "a loaded text drops the zeros");
    // The searches' own piece boundaries are met often enough with small
    // pieces; over 64 KiB they would only slow the run.
    if (large) return 0;

    // The count.
    const int64_t expected = referenceCount(searched, pattern);
    fuzz::require(countOccurrences("page.content", pattern, piece) == expected, "the count from the file");
    const PatternSearch search(pattern);
    fuzz::require(search.count(searched) == expected, "the count in memory");
    const std::size_t from = shape % (searched.size() + 2);
    const std::size_t found = search.find(searched, from);
    const std::size_t reference = from > searched.size() ? std::string::npos : searched.find(pattern, from);
    fuzz::require(found == (reference == std::string::npos ? PatternSearch::npos : reference), "find");

    // The middle text: first retrieval, then a later one against a kept one.
    const MiddleSpan span = findMiddleText(searched, startMarker, endMarker);
    const std::size_t s = searched.find(startMarker);
    const std::size_t e = s == std::string::npos ? s : searched.find(endMarker, s + 1);
    fuzz::require(span.found == (e != std::string::npos), "the markers are found where they are");
    const std::string middle = span.found ? searched.substr(span.begin, span.length) : std::string();
    if (span.found) {
        fuzz::require(span.begin == s + startMarker.size(), "the middle starts after the start marker");
        fuzz::require(span.length == (e > span.begin ? e - span.begin : 0), "and ends at the end marker");
    }
    std::remove("page.middle");
    fuzz::require(saveMiddleText("page.content", startMarker, endMarker, "page.middle", piece) == span.found,
                  "saved when both markers are there");
    if (span.found) fuzz::require(readText("page.middle", chunk) == middle, "the saved middle text");

    fuzz::require(writeTextFile("kept.middle", keptMiddle.data(), keptMiddle.size()), "a kept middle file");
    const std::string kept = readText("kept.middle", chunk);
    fuzz::require(kept == fromStoredText(toStoredText(keptMiddle)), "the kept middle reads back");
    const bool changed = span.found && !(kept.size() >= middle.size() && kept.compare(0, middle.size(), middle) == 0);
    std::remove("new.middle");
    fuzz::require(compareMiddleText("page.content", startMarker, endMarker, "kept.middle", "new.middle", piece) ==
                      changed,
                  "changed when the kept middle does not begin with the new one");
    if (changed) fuzz::require(readText("new.middle", chunk) == middle, "the new middle text");
    return 0;
}
