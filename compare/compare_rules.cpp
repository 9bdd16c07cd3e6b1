#include "compare/compare_rules.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

#include "catalogue/document_files.h"
#include "compare/detection.h"

namespace hs {

namespace {

RetrievalOutcome unable() { return RetrievalOutcome::withStatus(UnableToRetrieve); }

RetrievalOutcome keep(int32_t status, std::string staged, const std::string& contentPath) {
    RetrievalOutcome o = RetrievalOutcome::withStatus(status);
    o.content = StagedFile{std::move(staged), contentPath};
    o.changed = status == Changed;
    return o;
}

bool keptContentExists(const std::string& contentPath) {
    ContentReader reader;
    return reader.open(contentPath, FileMode::Binary);
}

// A new temporary file in "data" being written in text or binary mode. It is
// deleted again unless finish() hands it over.
class Stager {
public:
    Stager(FileSystem& files, FileMode mode) : files_(files), mode_(mode) {}
    ~Stager() {
        writer_.close();
        if (!path_.empty()) files_.removeFile(path_);
    }
    Stager(const Stager&) = delete;
    Stager& operator=(const Stager&) = delete;

    bool open() {
        path_ = DocumentFiles(files_).newTempFile();
        return !path_.empty() && writer_.open(path_, mode_);
    }
    bool write(const char* data, std::size_t n) { return writer_.write(data, n); }

    // Copies exactly `count` bytes of `source`.
    bool copy(ContentSource& source, uint64_t count) {
        while (count > 0) {
            const std::size_t want = static_cast<std::size_t>(std::min<uint64_t>(count, buffer_.size()));
            const long got = source.read(buffer_.data(), want);
            if (got <= 0 || !write(buffer_.data(), static_cast<std::size_t>(got))) return false;
            count -= static_cast<uint64_t>(got);
        }
        return true;
    }
    // Copies `source` to its end.
    bool copyRest(ContentSource& source) {
        for (;;) {
            const long got = source.read(buffer_.data(), buffer_.size());
            if (got < 0) return false;
            if (got == 0) return true;
            if (!write(buffer_.data(), static_cast<std::size_t>(got))) return false;
        }
    }
    // Closes the file; its path when everything reached it, else "".
    std::string finish() {
        if (!writer_.close()) return std::string();
        return std::exchange(path_, std::string());
    }

private:
    FileSystem& files_;
    FileMode mode_;
    ContentWriter writer_;
    std::string path_;
    std::vector<char> buffer_ = std::vector<char>(kMaxPieceSize);
};

// Passes reads through and notes whether the source failed.
struct FailureWatch final : ContentSource {
    explicit FailureWatch(ContentSource& inner) : inner(inner) {}
    long read(char* buf, std::size_t n) override {
        const long got = inner.read(buf, n);
        if (got < 0) failed = true;
        return got;
    }
    ContentSource& inner;
    bool failed = false;
};

std::string stageAll(ContentSource& fresh, FileMode mode, FileSystem& files) {
    Stager out(files, mode);
    if (!out.open() || !out.copyRest(fresh)) return std::string();
    return out.finish();
}

RetrievalOutcome decideStream(const Document& record, ContentSource& fresh, FileSystem& files) {
    if (record.type != HtmlPage) {
        return decideBinary(fresh, DocumentFiles::contentPath(fieldText(record.name)), FileMode::Binary,
                            files);
    }
    switch (compareModeOf(record)) {
        case CompareMode::CountString: return decideCount(fresh, record, files);
        case CompareMode::MiddleString: return decideMiddle(fresh, record, files);
        case CompareMode::Binary: break;
    }
    return decideBinary(fresh, DocumentFiles::contentPath(fieldText(record.name)), FileMode::Text, files);
}

}  // namespace

BinaryComparison compareWithKept(ContentSource& fresh, ContentSource& kept) {
    BinaryComparison c;
    std::vector<char> mine(kMaxPieceSize);
    std::vector<char> theirs(kMaxPieceSize);
    for (;;) {
        const long n = fresh.read(mine.data(), mine.size());
        if (n < 0) {
            c.result = BinaryComparison::Failed;
            return c;
        }
        if (n == 0) return c;
        const std::size_t len = static_cast<std::size_t>(n);
        const long k = readFull(kept, theirs.data(), len);
        if (k < 0) {
            c.result = BinaryComparison::Failed;
            return c;
        }
        if (pieceDiffers(mine.data(), theirs.data(), static_cast<std::size_t>(k), len)) {
            c.result = BinaryComparison::Changed;
            c.piece.assign(mine.data(), mine.data() + len);
            return c;
        }
        c.equalBytes += len;
    }
}

RetrievalOutcome decideBinary(ContentSource& fresh, const std::string& contentPath, FileMode mode,
                              FileSystem& files) {
    FileSource kept(kMaxPieceSize);
    if (!kept.open(contentPath, mode)) {
        std::string staged = stageAll(fresh, mode, files);
        if (staged.empty()) return unable();
        return keep(Saved, std::move(staged), contentPath);
    }
    const BinaryComparison c = compareWithKept(fresh, kept);
    kept.close();
    if (c.result == BinaryComparison::Failed) return unable();
    if (c.result == BinaryComparison::Same) return RetrievalOutcome::withStatus(NotChanged);

    // The equal part is read back from the kept content (in the same mode, so
    // it is written exactly as it was), then the piece that differs and the
    // rest of the new content follow.
    Stager out(files, mode);
    FileSource prefix(kMaxPieceSize);
    FailureWatch rest(fresh);
    const bool staged = out.open() && prefix.open(contentPath, mode) &&
                        out.copy(prefix, c.equalBytes) &&
                        out.write(c.piece.data(), c.piece.size()) && out.copyRest(rest);
    prefix.close();
    std::string path = staged ? out.finish() : std::string();
    if (path.empty()) {
        // A change that could not be kept is still announced; new content
        // that broke off (a connection lost mid-body) is a failed retrieval
        // and announces nothing.
        RetrievalOutcome o = unable();
        o.changed = !rest.failed;
        return o;
    }
    return keep(Changed, std::move(path), contentPath);
}

RetrievalOutcome decideBinaryFile(const std::string& fetchedPath, const std::string& contentPath,
                                  FileSystem& files) {
    FileSource kept(kMaxPieceSize);
    if (!kept.open(contentPath, FileMode::Binary)) return keep(Saved, fetchedPath, contentPath);
    BinaryComparison c;
    {
        FileSource fresh(kMaxPieceSize);
        if (!fresh.open(fetchedPath, FileMode::Binary)) {
            c.result = BinaryComparison::Failed;
        } else {
            c = compareWithKept(fresh, kept);
        }
    }
    kept.close();
    if (c.result == BinaryComparison::Changed) return keep(Changed, fetchedPath, contentPath);
    files.removeFile(fetchedPath);
    return RetrievalOutcome::withStatus(c.result == BinaryComparison::Same ? NotChanged
                                                                          : UnableToRetrieve);
}

RetrievalOutcome decideCount(ContentSource& fresh, const Document& record, FileSystem& files) {
    const std::string contentPath = DocumentFiles::contentPath(fieldText(record.name));
    const bool first = !keptContentExists(contentPath);
    std::string staged = stageAll(fresh, FileMode::Text, files);
    if (staged.empty()) return unable();
    const int64_t count = countOccurrences(staged, fieldText(record.countString));
    const int32_t result = static_cast<int32_t>(std::min<int64_t>(count, INT32_MAX));
    if (count < 0 || (!first && result == record.countResult)) {
        // An unreadable count keeps nothing: the next retrieval starts over.
        files.removeFile(staged);
        return count < 0 ? unable() : RetrievalOutcome::withStatus(NotChanged);
    }
    RetrievalOutcome o = keep(first ? Saved : Changed, std::move(staged), contentPath);
    o.countResult = result;
    return o;
}

RetrievalOutcome decideMiddle(ContentSource& fresh, const Document& record, FileSystem& files) {
    const std::string name = fieldText(record.name);
    const std::string contentPath = DocumentFiles::contentPath(name);
    const std::string startMarker = fieldText(record.middleStart);
    const std::string endMarker = fieldText(record.middleEnd);
    const bool first = !keptContentExists(contentPath);

    std::string staged = stageAll(fresh, FileMode::Text, files);
    if (staged.empty()) return unable();
    std::string middle = DocumentFiles(files).newTempFile();
    if (middle.empty()) {
        files.removeFile(staged);
        return unable();
    }
    const bool keepIt =
        first ? saveMiddleText(staged, startMarker, endMarker, middle)
              : compareMiddleText(staged, startMarker, endMarker, DocumentFiles::middlePath(name), middle);
    if (!keepIt) {
        files.removeFile(staged);
        files.removeFile(middle);
        if (!first) return RetrievalOutcome::withStatus(NotChanged);
        // Without the markers nothing is kept, so the next retrieval looks
        // for them afresh instead of finding "not changed" for good.
        RetrievalOutcome o = unable();
        o.markersMissing = true;
        return o;
    }
    RetrievalOutcome o = keep(first ? Saved : Changed, std::move(staged), contentPath);
    o.middle = StagedFile{std::move(middle), DocumentFiles::middlePath(name)};
    return o;
}

RetrievalOutcome decide(const Document& record, Fetched& fetched, FileSystem& files) {
    switch (fetched.kind()) {
        case Fetched::Kind::Failed:
            return unable();
        case Fetched::Kind::Stream:
            return decideStream(record, fetched.source(), files);
        case Fetched::Kind::File:
            break;
    }
    if (record.type != HtmlPage) {
        return decideBinaryFile(fetched.path(), DocumentFiles::contentPath(fieldText(record.name)), files);
    }
    // A page in a file: its bytes are read as the stream a web client gives.
    RetrievalOutcome o = unable();
    {
        FileSource source(kMaxPieceSize);
        if (source.open(fetched.path(), FileMode::Binary)) o = decideStream(record, source, files);
    }
    files.removeFile(fetched.path());
    return o;
}

}  // namespace hs
