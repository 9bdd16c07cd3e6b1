#include "engine/content_source.h"

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
