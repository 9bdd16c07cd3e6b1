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
#include "engine/content_source.h"
#include "platform/file_system.h"

namespace hs {

struct RetrievalContext {
    FileSystem& files;
};

// A staged file and the kept file it replaces at the commit.
struct StagedFile {
    std::string staged;  // a temporary file in the data directory, "" for none
    std::string target;
};

struct RetrievalOutcome {
    // The new status; none leaves the status as it is (an unknown type stays
    // Retrieving).
    std::optional<int32_t> status;
    // New content that becomes the content file. If it cannot be moved into
    // place, the outcome becomes UnableToRetrieve.
    StagedFile content;
    // A new middle file (MiddleString pages); a failed move leaves the old one.
    StagedFile middle;
    // A new countResult (CountString pages); the record file is written with
    // it at the commit.
    std::optional<int32_t> countResult;
    // A change was found. The sound and the blink follow once the outcome is
    // committed, also when keeping the new content failed afterwards.
    bool changed = false;
    // A first retrieval of a MiddleString page did not find its markers.
    bool markersMissing = false;

    static RetrievalOutcome withStatus(int32_t s) {
        RetrievalOutcome o;
        o.status = s;
        return o;
    }
};

// Fetches the new content of a document.
using RetrievalPath = std::function<Fetched(const DocumentRecord&, RetrievalContext&)>;

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
