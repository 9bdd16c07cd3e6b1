#include "engine/local_retrieval.h"

#include "platform/stdio_file.h"

#include <cstdio>

#include "catalogue/store.h"
#include "engine/detection.h"

namespace hs {

namespace {

// Copies the file at `path` into a new temporary file of the data directory;
// the kept content is not touched. Returns the staged path, "" on failure.
std::string stageCopy(FileSystem& files, const std::string& path) {
    const std::string temp = files.makeTempFile(kDataDir, "QVR");
    if (temp.empty()) return std::string();
    if (!files.copyFile(path, temp)) {
        files.removeFile(temp);
        return std::string();
    }
    return temp;
}

RetrievalOutcome staged(int32_t status, std::string temp, std::string target) {
    RetrievalOutcome o = RetrievalOutcome::withStatus(status);
    o.content.staged = std::move(temp);
    o.content.target = std::move(target);
    return o;
}

enum class Comparison { Same, Changed, Failed };

// The Binary rule over 512-byte pieces, ending with the new file.
Comparison compareWithKept(std::FILE* source, KeptContentComparer& kept) {
    char piece[kLocalPieceSize];
    for (;;) {
        const std::size_t n = std::fread(piece, 1, sizeof piece, source);
        if (std::ferror(source)) return Comparison::Failed;
        kept.feed(piece, n);
        if (kept.failed()) return Comparison::Failed;
        if (kept.changed()) return Comparison::Changed;
        if (n < sizeof piece) return Comparison::Same;
    }
}

}  // namespace

RetrievalOutcome retrieveLocalFile(const DocumentRecord& record, RetrievalContext& ctx) {
    const std::string path = fieldText(record.url);
    const std::string contentPath = contentFilePath(fieldText(record.name));

    KeptContentComparer kept;
    if (!kept.open(contentPath, FileMode::Binary)) {
        // First retrieval: the copy becomes the kept content.
        std::string temp = stageCopy(ctx.files, path);
        if (temp.empty()) return RetrievalOutcome::withStatus(UnableToRetrieve);
        return staged(Saved, std::move(temp), contentPath);
    }

    Comparison result;
    {
        StdioFile source(path, "rb");
        if (!source.get()) return RetrievalOutcome::withStatus(UnableToRetrieve);
        result = compareWithKept(source.get(), kept);
    }
    kept.close();

    if (result == Comparison::Failed) return RetrievalOutcome::withStatus(UnableToRetrieve);
    if (result == Comparison::Same) return RetrievalOutcome::withStatus(NotChanged);

    ctx.host.playChangeSound();
    ctx.host.startChangeBlink();
    std::string temp = stageCopy(ctx.files, path);
    if (temp.empty()) return RetrievalOutcome::withStatus(UnableToRetrieve);
    return staged(Changed, std::move(temp), contentPath);
}

}  // namespace hs
