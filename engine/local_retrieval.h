// Local-file retrieval: a document that is a file reachable through the file
// system, at the path held in the record's url (relative paths against the
// working directory). It is compared byte for byte with the kept content
// file in pieces of 512 bytes; CompareMode does not apply.
#pragma once

#include "catalogue/record.h"
#include "engine/retrieval.h"

namespace hs {

constexpr std::size_t kLocalPieceSize = 512;

// First retrieval (no kept content): the file is copied to a staged file,
// outcome Saved, no notification. Later retrieval: the file is compared with
// the kept content; unchanged gives NotChanged (a file that only lost its
// tail, or became empty, is unchanged); a change plays the change sound and
// starts the blink, then the file is copied to a staged file, outcome
// Changed. Every failure gives UnableToRetrieve and leaves the kept content
// as it was. The staged file replaces the content file at the commit.
RetrievalOutcome retrieveLocalFile(const DocumentRecord& record, RetrievalContext& ctx);

}  // namespace hs
