// What counts as a change, and the files that hold what is compared against.
//
// Every document's new content is compared with its kept content file
// ("data\<name>.content"). An HtmlPage may instead be compared by the number
// of occurrences of a string (CountString) or by the text between two marker
// strings (MiddleString), whose kept copy is the middle file
// ("data\<name>.middle"). The functions here take plain file paths and
// strings; the comparison rules of compare_rules.h call them for every kind
// of retrieval and decide which files are the kept ones and which are staged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/record.h"
#include "catalogue/text_mode.h"

namespace hs {

enum class CompareMode { Binary, CountString, MiddleString };

// The CompareMode of a record: countMode 1 wins over middleMode 1. Only an
// HtmlPage uses its mode; every other kind is compared byte for byte.
CompareMode compareModeOf(const Document& record);

// ------------------------------------------------------------ Binary rule

// The Binary rule for one piece: `n` new bytes against the `got` kept bytes
// read for them. Different when fewer came or any byte differs.
bool pieceDiffers(const char* fresh, const char* kept, std::size_t got, std::size_t n);

// Compares new content, fed in pieces, with the kept content read alongside:
// for each piece of n bytes, n bytes of the kept content are read; the
// content has changed when fewer come or any byte differs. New content that
// ends while the kept content goes on has not changed. After the first
// difference the kept content is not read any more.
class KeptContentComparer {
public:
    // Opens the kept content; false when it cannot be opened.
    bool open(const std::string& keptPath, FileMode mode);
    bool isOpen() const { return kept_.isOpen(); }

    void feed(const char* data, std::size_t n);

    bool changed() const { return changed_; }
    // The kept content could not be read (an I/O error, not its end).
    bool failed() const { return kept_.failed(); }
    void close() { kept_.close(); }

private:
    ContentReader kept_;
    std::vector<char> buffer_;
    bool changed_ = false;
};

// ------------------------------------------------------------ CountString

// Occurrences of `pattern` in the file, loaded as text (text mode, bytes 0
// dropped), overlapping occurrences included; -1 when the file cannot be
// opened or read. The empty pattern occurs at every position and the end.
//
// Here and below, `piece` is how many bytes of the file are read at a time
// (tests use small pieces so that matches cross piece boundaries often).
int64_t countOccurrences(const std::string& contentPath, const std::string& pattern,
                         std::size_t piece = TextStream::kPiece);

// ------------------------------------------------------------ MiddleString

// Where the middle text lies in a loaded text: after the end of the first
// start marker, up to the end marker, which is searched from one byte after
// the start marker's position (so the two markers may overlap). Empty when
// the end marker begins before the start marker ends.
struct MiddleSpan {
    bool found = false;       // both markers found
    std::size_t begin = 0;    // first byte of the middle text
    std::size_t length = 0;
};
MiddleSpan findMiddleText(const std::string& text, const std::string& startMarker,
                          const std::string& endMarker);

// First retrieval: finds the markers in the new content and writes the middle
// text in text mode to `middlePath`. Returns true when both markers were
// found, also when the middle file could not be written.
bool saveMiddleText(const std::string& contentPath, const std::string& startMarker,
                    const std::string& endMarker, const std::string& middlePath,
                    std::size_t piece = TextStream::kPiece);

// Later retrieval: compares the new middle text with the kept middle file
// (`keptMiddlePath`, text mode), byte for byte; a kept middle text that is
// longer but begins with the new one is unchanged. When it changed, writes
// the new middle text in text mode to `newMiddlePath` (the kept path itself,
// or a staged file the caller moves over it) and returns true. Returns false
// (not changed) when the new content cannot be read, a marker is missing, the
// kept middle file cannot be read, or the new middle file cannot be written.
bool compareMiddleText(const std::string& contentPath, const std::string& startMarker,
                       const std::string& endMarker, const std::string& keptMiddlePath,
                       const std::string& newMiddlePath, std::size_t piece = TextStream::kPiece);
inline bool compareMiddleText(const std::string& contentPath, const std::string& startMarker,
                              const std::string& endMarker, const std::string& middlePath) {
    return compareMiddleText(contentPath, startMarker, endMarker, middlePath, middlePath);
}

}  // namespace hs
