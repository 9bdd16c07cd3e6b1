// New content as a retrieval path hands it over: a stream of pieces, or a
// file that the path's client already wrote into the data directory.
//
// A path only fetches. Comparing, staging and committing are the same for
// every path and live in compare_rules.h and the check worker.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "catalogue/text_mode.h"
#include "platform/file_system.h"

namespace hs {

// A stream of bytes read in pieces. read() fills up to `n` bytes of `buf`
// and returns how many came: more than 0 while there is content, 0 at its
// end, less than 0 when it cannot be read any further. A source may deliver
// fewer bytes than asked at any time (a web client hands over what the
// server sent, up to 8192 bytes; a file is read in pieces of 512).
class ContentSource {
public:
    virtual ~ContentSource() = default;
    virtual long read(char* buf, std::size_t n) = 0;
};

// A file read in pieces of at most `pieceSize` bytes, in binary or text mode.
class FileSource : public ContentSource {
public:
    explicit FileSource(std::size_t pieceSize = 512) : pieceSize_(pieceSize ? pieceSize : 1) {}

    bool open(const std::string& path, FileMode mode) { return reader_.open(path, mode); }
    bool isOpen() const { return reader_.isOpen(); }
    long read(char* buf, std::size_t n) override;
    void close() { reader_.close(); }

private:
    ContentReader reader_;
    std::size_t pieceSize_;
};

// Reads until `n` bytes came or the source ended; returns the count, or less
// than 0 when the source failed.
long readFull(ContentSource& source, char* buf, std::size_t n);

// What new content from the network may cost the disk that holds "data".
struct ContentLimits {
    // No document this program watches is larger; an endless or enormous
    // body stops here instead of filling the disk until the time bound.
    uint64_t maxBytes = uint64_t{1} << 30;  // 1 GiB
    // The room left on the volume of "data" for the records, the kept copies
    // and everything else the user does.
    uint64_t minFreeBytes = uint64_t{100} << 20;  // 100 MB
};

// A source that fails (read() < 0) once more than `maxBytes` came, or when
// writing what comes would leave less than `minFreeBytes` free on the volume
// of `dir` (asked before the first byte and then every MiB).
class LimitedSource final : public ContentSource {
public:
    LimitedSource(std::unique_ptr<ContentSource> inner, FileSystem& files, std::string dir,
                  ContentLimits limits = {})
        : inner_(std::move(inner)), files_(files), dir_(std::move(dir)), limits_(limits) {}
    long read(char* buf, std::size_t n) override;

private:
    std::unique_ptr<ContentSource> inner_;
    FileSystem& files_;
    std::string dir_;
    ContentLimits limits_;
    uint64_t total_ = 0;
    uint64_t nextCheck_ = 0;
    bool failed_ = false;
};

// What a retrieval path delivers.
class Fetched {
public:
    enum class Kind { Failed, Stream, File };

    static Fetched failed() { return Fetched(); }
    static Fetched stream(std::unique_ptr<ContentSource> source);
    // A file in the data directory that now belongs to the check: it either
    // becomes the kept content or is deleted.
    static Fetched file(std::string path);

    Kind kind() const { return kind_; }
    ContentSource& source() { return *source_; }
    // Takes the stream out, to be wrapped and handed on.
    std::unique_ptr<ContentSource> release() {
        kind_ = Kind::Failed;
        return std::move(source_);
    }
    const std::string& path() const { return path_; }

private:
    Kind kind_ = Kind::Failed;
    std::unique_ptr<ContentSource> source_;
    std::string path_;
};

}  // namespace hs
