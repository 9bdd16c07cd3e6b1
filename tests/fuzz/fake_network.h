// An in-memory network for the fuzz targets of the web and FTP clients: the
// peer of every connection says a fixed script in pieces whose sizes come
// from the input, then ends as told. Nothing waits and nothing runs on a
// thread, so the clients' bounds never come into play; a client that loops
// on an answer shows up as a timeout of the fuzzer.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "net/content_source.h"
#include "fuzz_support.h"
#include "platform/network.h"

namespace hs::fuzz {

// Piece sizes taken in turn from the bytes of a text (a byte b gives at most
// 1 + b*b/8 bytes, 1 to 8129); without bytes, as many as asked.
class PieceSizes {
public:
    explicit PieceSizes(std::string sizes) : sizes_(std::move(sizes)) {}
    std::size_t next(std::size_t asked) {
        if (sizes_.empty()) return asked;
        const std::size_t b = static_cast<unsigned char>(sizes_[next_++ % sizes_.size()]);
        return std::min(asked, 1 + b * b / 8);
    }

private:
    std::string sizes_;
    std::size_t next_ = 0;
};

// How a peer ends once its script is said: 0 to 3 give kNetClosed,
// kNetClosed, kNetTimedOut, kNetError.
inline long peerEnd(unsigned bits) {
    static const long ends[] = {kNetClosed, kNetClosed, kNetTimedOut, kNetError};
    return ends[bits % 4];
}

// A connection whose peer sends `parts` (no piece spans two parts), then
// answers every receive with `end`. What the client sends goes to `sent`.
class ScriptedStream : public TcpStream {
public:
    ScriptedStream(std::vector<std::string> parts, PieceSizes& sizes, long end, std::string* sent = nullptr,
                   std::string peer = "127.0.0.2")
        : parts_(std::move(parts)), sizes_(sizes), end_(end), sent_(sent), peer_(std::move(peer)) {}

    bool sendAll(const char* data, std::size_t size, int) override {
        if (sent_) sent_->append(data, size);
        return true;
    }
    long receive(char* buffer, std::size_t size, int) override {
        while (part_ < parts_.size() && pos_ == parts_[part_].size()) ++part_, pos_ = 0;
        if (part_ == parts_.size()) return end_;
        require(size > 0, "a receive asks for bytes");
        const std::size_t n = std::min(sizes_.next(size), parts_[part_].size() - pos_);
        std::memcpy(buffer, parts_[part_].data() + pos_, n);
        pos_ += n;
        return static_cast<long>(n);
    }
    std::string localAddress() const override { return "127.0.0.1"; }
    std::string peerAddress() const override { return peer_; }

private:
    std::vector<std::string> parts_;
    PieceSizes& sizes_;
    long end_;
    std::string* sent_;
    std::string peer_;
    std::size_t part_ = 0;
    std::size_t pos_ = 0;
};

// Hands out `streams` one per connect(), front first (null when none is
// left), and to a listener's accept() first `stranger` and then `data`.
class ScriptedNetwork : public Network {
public:
    std::vector<std::unique_ptr<TcpStream>> streams;
    std::unique_ptr<TcpStream> stranger;
    std::unique_ptr<TcpStream> data;

    std::unique_ptr<TcpStream> connect(const std::string&, int, int, std::string& error) override {
        if (next_ == streams.size()) {
            error = "refused";
            return nullptr;
        }
        return std::move(streams[next_++]);
    }
    std::unique_ptr<TcpListener> listen(const std::string&) override { return std::make_unique<Listener>(*this); }

private:
    struct Listener : TcpListener {
        explicit Listener(ScriptedNetwork& n) : network(n) {}
        int port() const override { return 40000; }
        std::unique_ptr<TcpStream> accept(int) override {
            return std::move(network.stranger ? network.stranger : network.data);
        }
        ScriptedNetwork& network;
    };
    std::size_t next_ = 0;
};

// Reads `source` to its end in pieces asked for in the sizes given, into
// `content`; returns the last result (0 at the end, less than 0 on failure).
// The source may not hand out more than `most` bytes in all, and stays at
// its end or its failure once there.
inline long readToEnd(ContentSource& source, PieceSizes& sizes, std::size_t most, std::string& content) {
    char buffer[9000];
    for (;;) {
        const std::size_t asked = sizes.next(sizeof buffer);
        const long got = source.read(buffer, asked);
        if (got <= 0) {
            const long again = source.read(buffer, asked);
            require(got == 0 ? again == 0 : again < 0, "an end or a failure stays");
            return got;
        }
        require(static_cast<std::size_t>(got) <= asked, "no more than asked");
        content.append(buffer, static_cast<std::size_t>(got));
        require(content.size() <= most, "no byte the peer did not send");
    }
}

}  // namespace hs::fuzz
