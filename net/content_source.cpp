#include "net/content_source.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace hs {

long FileSource::read(char* buf, std::size_t n) {
    if (!reader_.isOpen()) return -1;
    n = std::min({n, pieceSize_, static_cast<std::size_t>(LONG_MAX)});
    const std::size_t got = reader_.read(buf, n);
    if (got == 0 && reader_.failed()) return -1;
    return static_cast<long>(got);
}

long LimitedSource::read(char* buf, std::size_t n) {
    if (failed_) return -1;
    if (total_ >= nextCheck_) {
        // Room for this MiB and the floor after it.
        constexpr uint64_t kCheckEvery = uint64_t{1} << 20;
        const uint64_t free = files_.freeBytes(dir_);
        if (free != FileSystem::kUnknownFreeBytes && free < limits_.minFreeBytes + kCheckEvery) {
            failed_ = true;
            return -1;
        }
        nextCheck_ = total_ + kCheckEvery;
    }
    long got = inner_->read(buf, n);
    if (got > 0) {
        total_ += static_cast<uint64_t>(got);
        if (total_ > limits_.maxBytes) got = -1;
    }
    if (got < 0) failed_ = true;
    return got;
}

long readFull(ContentSource& source, char* buf, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        const long got = source.read(buf + done, n - done);
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<long>(done);
}

Fetched Fetched::stream(std::unique_ptr<ContentSource> source) {
    Fetched f;
    if (source) {
        f.kind_ = Kind::Stream;
        f.source_ = std::move(source);
    }
    return f;
}

Fetched Fetched::file(std::string path) {
    Fetched f;
    if (!path.empty()) {
        f.kind_ = Kind::File;
        f.path_ = std::move(path);
    }
    return f;
}

}  // namespace hs
