// The retrieval paths and what a check hands back to the worker's commit.
//
// A retrieval path fetches and nothing else: it works on a copy of the
// record, without any lock, and delivers the new content (a stream, or a
// file it wrote into the data directory) or a failure. The comparison rule
// of the document then decides (compare_rules.h); it writes nothing but
// staged (temporary) files in the data directory. The worker commits the
// outcome only if the slot still holds the same document (check_worker.cpp),
// so no kept file of a deleted or replaced document is ever written.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "catalogue/record.h"
#include "compare/outcome.h"
#include "net/content_source.h"
#include "platform/file_system.h"

namespace hs {

struct RetrievalContext {
    FileSystem& files;
};

// Fetches the new content of a document.
using RetrievalPath = std::function<Fetched(const Document&, RetrievalContext&)>;

// One retrieval path per document type; the worker dispatches by type and
// leaves any other type value alone. An empty path gives UnableToRetrieve.
struct RetrievalPaths {
    RetrievalPath htmlPage;   // web retrieval, page flag 1
    RetrievalPath webFile;    // web retrieval, page flag 0
    RetrievalPath ftpFile;
    RetrievalPath localFile;
};

// The paths the core brings on every platform: local files only. The web and
// FTP paths are empty until the platform's clients are added to them.
RetrievalPaths localRetrievalPaths();

// Deletes a staged file, if any (failures are passed over).
void discardStaged(FileSystem& files, StagedFile& file);

}  // namespace hs
