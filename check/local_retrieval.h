// Local-file retrieval: a document that is a file reachable through the file
// system, at the path held in the record's url (relative paths against the
// working directory). The file is handed over in pieces of 512 bytes and
// compared byte for byte with the kept content; CompareMode does not apply.
#pragma once

#include "catalogue/record.h"
#include "check/retrieval.h"

namespace hs {

constexpr std::size_t kLocalPieceSize = 512;

// Opens the file for reading as bytes; a file that cannot be opened is a
// failure (UnableToRetrieve, the kept content stays as it was).
Fetched fetchLocalFile(const Document& record, RetrievalContext& ctx);

}  // namespace hs
