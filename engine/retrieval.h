// The retrieval paths and what they hand back to the check worker.
//
// A retrieval path works on a copy of the record, without the catalogue lock
// and without touching the catalogue. Whatever it fetches goes into staged
// (temporary) files in the data directory; the worker then commits the
// outcome in one locked step, and only if the slot still holds the same
// document (see check_worker.cpp). So a path never writes the kept files of
// a document that was deleted or replaced meanwhile.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "catalogue/record.h"
#include "engine/check_host.h"
#include "platform/file_system.h"

namespace hs {

struct RetrievalContext {
    FileSystem& files;
    CheckHost& host;
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

    static RetrievalOutcome withStatus(int32_t s) {
        RetrievalOutcome o;
        o.status = s;
        return o;
    }
};

using RetrievalPath = std::function<RetrievalOutcome(const DocumentRecord&, RetrievalContext&)>;

// One retrieval path per document type; checkDocument dispatches by type and
// leaves any other type value alone.
struct RetrievalPaths {
    RetrievalPath htmlPage;   // web retrieval, page flag 1
    RetrievalPath webFile;    // web retrieval, page flag 0
    RetrievalPath ftpFile;
    RetrievalPath localFile;
};

// The paths the program uses: the three dispatch points below and
// retrieveLocalFile.
RetrievalPaths defaultRetrievalPaths();

// Dispatch point of web retrieval (HtmlPage with page flag true, WebFile with
// false) and of FTP retrieval. Until a path is installed they give
// UnableToRetrieve.
RetrievalOutcome retrieveWebDocument(const DocumentRecord& record, bool pageFlag,
                                     RetrievalContext& ctx);
RetrievalOutcome retrieveFtpFile(const DocumentRecord& record, RetrievalContext& ctx);

using WebRetrievalFn = RetrievalOutcome (*)(const DocumentRecord&, bool pageFlag,
                                            RetrievalContext&);
using FtpRetrievalFn = RetrievalOutcome (*)(const DocumentRecord&, RetrievalContext&);

// Installs the web and FTP paths (the program does this once at start-up,
// before the first worker; installing later is safe as well).
void installWebRetrieval(WebRetrievalFn fn);
void installFtpRetrieval(FtpRetrievalFn fn);

// Deletes a staged file, if any (failures are passed over).
void discardStaged(FileSystem& files, StagedFile& file);

}  // namespace hs
