#include "engine/retrieval.h"

#include "engine/local_retrieval.h"

namespace hs {

namespace {

std::atomic<WebRetrievalFn> webPath{nullptr};
std::atomic<FtpRetrievalFn> ftpPath{nullptr};

}  // namespace

RetrievalOutcome retrieveWebDocument(const DocumentRecord& record, bool pageFlag,
                                     RetrievalContext& ctx) {
    if (WebRetrievalFn fn = webPath.load()) return fn(record, pageFlag, ctx);
    return RetrievalOutcome::withStatus(UnableToRetrieve);
}

RetrievalOutcome retrieveFtpFile(const DocumentRecord& record, RetrievalContext& ctx) {
    if (FtpRetrievalFn fn = ftpPath.load()) return fn(record, ctx);
    return RetrievalOutcome::withStatus(UnableToRetrieve);
}

void installWebRetrieval(WebRetrievalFn fn) { webPath.store(fn); }
void installFtpRetrieval(FtpRetrievalFn fn) { ftpPath.store(fn); }

RetrievalPaths defaultRetrievalPaths() {
    RetrievalPaths paths;
    paths.htmlPage = [](const DocumentRecord& r, RetrievalContext& c) {
        return retrieveWebDocument(r, true, c);
    };
    paths.webFile = [](const DocumentRecord& r, RetrievalContext& c) {
        return retrieveWebDocument(r, false, c);
    };
    paths.ftpFile = [](const DocumentRecord& r, RetrievalContext& c) {
        return retrieveFtpFile(r, c);
    };
    paths.localFile = [](const DocumentRecord& r, RetrievalContext& c) {
        return retrieveLocalFile(r, c);
    };
    return paths;
}

void discardStaged(FileSystem& files, StagedFile& file) {
    if (!file.staged.empty()) files.removeFile(file.staged);
    file.staged.clear();
}

}  // namespace hs
