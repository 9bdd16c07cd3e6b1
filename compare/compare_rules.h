// The comparison rules as steps of a check: each takes the new content a
// retrieval path delivered and the document's kept state, decides whether
// the document changed, stages what is to be kept (temporary files in
// "data", never the kept files themselves) and says in the outcome what the
// commit does with them.
//
// An HtmlPage keeps its content and middle file in text form (text_mode.h)
// and may use CountString or MiddleString; every other kind is compared and
// kept byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/record.h"
#include "catalogue/text_mode.h"
#include "compare/outcome.h"
#include "net/content_source.h"
#include "platform/file_system.h"

namespace hs {

// The largest piece read from a source at once (what a web client hands over).
constexpr std::size_t kMaxPieceSize = 8192;

// The Binary rule between new content and the kept content, both as
// sources: for every piece of n new bytes, n kept bytes are read; the
// content changed when fewer come or any byte differs. New content that ends
// while the kept content goes on has not changed.
struct BinaryComparison {
    enum Result { Same, Changed, Failed };
    Result result = Same;
    // Changed: the number of bytes before the piece with the difference (the
    // same in both), and that piece of the new content.
    uint64_t equalBytes = 0;
    std::vector<char> piece;
};

// Reads `fresh` to its end, or up to the piece in which the first difference
// lies; `kept` is not read beyond that piece.
BinaryComparison compareWithKept(ContentSource& fresh, ContentSource& kept);

// Binary rule against the kept content file at `contentPath`, read and kept
// in `mode`. No kept content: the new content is staged (Saved). Unchanged:
// NotChanged, and nothing was written. Changed: the equal part is copied from
// the kept content into a staged file, followed by the rest of the new
// content (Changed; UnableToRetrieve, still marked changed, when staging
// fails). A source that fails gives UnableToRetrieve.
RetrievalOutcome decideBinary(ContentSource& fresh, const std::string& contentPath, FileMode mode,
                              FileSystem& files);

// The Binary rule for new content that a path already wrote into "data"
// (kept as bytes): the file itself becomes the kept content or is deleted.
RetrievalOutcome decideBinaryFile(const std::string& fetchedPath, const std::string& contentPath,
                                  FileSystem& files);

// CountString (an HtmlPage): the page is staged in text form and its
// occurrences of countString counted. First retrieval: Saved with the count.
// Later: a count equal to countResult is NotChanged (the staged page is
// dropped), any other is Changed with the new count and the new page.
RetrievalOutcome decideCount(ContentSource& fresh, const Document& record, FileSystem& files);

// MiddleString (an HtmlPage): the page is staged in text form. First
// retrieval: the text between the markers is staged as the middle file
// (Saved); without the markers the outcome is UnableToRetrieve with
// markersMissing, and nothing is kept. Later: a new middle text is Changed
// with the new page and middle file; an equal one, missing markers or an
// unreadable middle file are NotChanged.
RetrievalOutcome decideMiddle(ContentSource& fresh, const Document& record, FileSystem& files);

// Applies the record's rule to what its path delivered; a failed fetch is
// UnableToRetrieve. A fetched file is deleted unless it became staged.
RetrievalOutcome decide(const Document& record, Fetched& fetched, FileSystem& files);

}  // namespace hs
