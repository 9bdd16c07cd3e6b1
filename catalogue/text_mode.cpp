#include "catalogue/text_mode.h"

#include <algorithm>
#include <cstring>

#include "platform/stdio_file.h"

namespace hs {

namespace {

constexpr std::size_t kRawBufferSize = 64 * 1024;

std::size_t findByte(const char* s, std::size_t from, std::size_t n, char c) {
    if (from >= n) return n;
    const void* p = std::memchr(s + from, c, n - from);
    return p ? static_cast<std::size_t>(static_cast<const char*>(p) - s) : n;
}

// Turns the stored form of `n` bytes into the text that text mode reads, in
// place, optionally dropping every byte 0 as well; returns the new length.
// The text ends at the first 0x1A (unless the caller has cut it already). Runs of ordinary bytes are found with
// memchr and moved as blocks, so the pass stays fast on large pages.
std::size_t translateInPlace(char* s, std::size_t n, bool dropNul, bool findEnd = true) {
    if (findEnd) {
        if (const void* z = std::memchr(s, kTextEnd, n)) {
            n = static_cast<std::size_t>(static_cast<const char*>(z) - s);
        }
    }
    std::size_t r = 0;
    std::size_t w = 0;
    std::size_t nextCr = findByte(s, 0, n, '\r');
    std::size_t nextNul = dropNul ? findByte(s, 0, n, '\0') : n;
    while (r < n) {
        const std::size_t stop = std::min(nextCr, nextNul);
        if (stop > r) {
            if (w != r) std::memmove(s + w, s + r, stop - r);
            w += stop - r;
            r = stop;
            if (r >= n) break;
        }
        if (s[r] == '\0') {  // only reached when dropping
            ++r;
            nextNul = findByte(s, r, n, '\0');
            continue;
        }
        // A carriage return: with a line feed behind it the pair is one line feed.
        if (r + 1 < n && s[r + 1] == '\n') {
            s[w++] = '\n';
            r += 2;
        } else {
            s[w++] = '\r';
            r += 1;
        }
        nextCr = findByte(s, r, n, '\r');
    }
    return w;
}

}  // namespace

// ------------------------------------------------------------ ContentReader

ContentReader::~ContentReader() { close(); }

bool ContentReader::open(const std::string& path, FileMode mode) {
    close();
    file_ = openForReading(path);
    if (!file_) return false;
    mode_ = mode;
    failed_ = false;
    ended_ = false;
    pos_ = end_ = 0;
    if (mode_ == FileMode::Text) raw_.resize(kRawBufferSize);
    return true;
}

void ContentReader::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    raw_.clear();
    raw_.shrink_to_fit();
    pos_ = end_ = 0;
}

// Keeps the unread raw bytes (at most one pending carriage return) and reads
// more behind them. Returns false when no new byte came.
bool ContentReader::refill() {
    if (ended_ || !file_) return false;
    const std::size_t keep = end_ - pos_;
    if (keep && pos_) std::memmove(raw_.data(), raw_.data() + pos_, keep);
    pos_ = 0;
    end_ = keep;
    const std::size_t got = std::fread(raw_.data() + end_, 1, raw_.size() - end_, file_);
    if (got < raw_.size() - end_) {
        ended_ = true;
        if (std::ferror(file_)) failed_ = true;
    }
    if (const void* z = std::memchr(raw_.data() + end_, kTextEnd, got)) {
        end_ = static_cast<std::size_t>(static_cast<const char*>(z) - raw_.data());
        ended_ = true;  // text mode ends at 0x1A
        return true;
    }
    end_ += got;
    return got > 0;
}

std::size_t ContentReader::read(char* out, std::size_t n) {
    if (!file_ || n == 0) return 0;
    if (mode_ == FileMode::Binary) {
        const std::size_t got = std::fread(out, 1, n, file_);
        if (got < n && std::ferror(file_)) failed_ = true;
        return got;
    }
    std::size_t done = 0;
    while (done < n) {
        if (pos_ == end_) {
            if (ended_) break;
            refill();
            continue;
        }
        const char* base = raw_.data() + pos_;
        const std::size_t span = std::min(end_ - pos_, n - done);
        const void* cr = std::memchr(base, '\r', span);
        const std::size_t plain =
            cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - base) : span;
        std::memcpy(out + done, base, plain);
        pos_ += plain;
        done += plain;
        if (!cr) continue;
        // raw_[pos_] is a carriage return; its pair may lie in the next read.
        if (pos_ + 1 >= end_ && !ended_) {
            refill();
            continue;
        }
        if (pos_ + 1 < end_ && raw_[pos_ + 1] == '\n') {
            out[done++] = '\n';
            pos_ += 2;
        } else {
            out[done++] = '\r';
            pos_ += 1;
        }
    }
    return done;
}

// ------------------------------------------------------------ ContentWriter

ContentWriter::~ContentWriter() { close(); }

bool ContentWriter::open(const std::string& path, FileMode mode) {
    close();
    file_ = openForWriting(path);
    if (!file_) return false;
    mode_ = mode;
    failed_ = false;
    if (mode_ == FileMode::Text) {
        buffer_.clear();
        buffer_.reserve(kRawBufferSize);
    }
    return true;
}

bool ContentWriter::flushBuffer() {
    if (!buffer_.empty()) {
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) failed_ = true;
        buffer_.clear();
    }
    return !failed_;
}

bool ContentWriter::write(const char* data, std::size_t n) {
    if (!file_) return false;
    if (mode_ == FileMode::Binary) {
        if (n && std::fwrite(data, 1, n, file_) != n) failed_ = true;
        return !failed_;
    }
    std::size_t r = 0;
    while (r < n) {
        const std::size_t lf = findByte(data, r, n, '\n');
        std::size_t span = lf - r;
        while (span) {  // copy the plain run through the buffer
            const std::size_t room = kRawBufferSize - buffer_.size();
            const std::size_t k = std::min(span, room);
            buffer_.insert(buffer_.end(), data + r, data + r + k);
            r += k;
            span -= k;
            if (buffer_.size() == kRawBufferSize && !flushBuffer()) return false;
        }
        if (lf < n) {
            if (buffer_.size() + 2 > kRawBufferSize && !flushBuffer()) return false;
            buffer_.push_back('\r');
            buffer_.push_back('\n');
            r = lf + 1;
        }
    }
    return !failed_;
}

bool ContentWriter::close() {
    if (!file_) return !failed_;
    if (mode_ == FileMode::Text) flushBuffer();
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    buffer_.clear();
    buffer_.shrink_to_fit();
    return !failed_;
}

// ------------------------------------------------------------ whole files

TextStream::~TextStream() { close(); }

bool TextStream::open(const std::string& path) {
    close();
    file_ = openForReading(path);
    if (!file_) return false;
    carry_ = ended_ = failed_ = false;
    sizeHint_ = 0;
    if (std::fseek(file_, 0, SEEK_END) == 0) {
        const long size = std::ftell(file_);
        if (size > 0) sizeHint_ = static_cast<std::size_t>(size);
    }
    std::fseek(file_, 0, SEEK_SET);
    return true;
}

void TextStream::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

bool TextStream::next(std::string& out, std::size_t raw) {
    if (!file_ || ended_) return false;
    if (raw == 0) raw = 1;
    const std::size_t region = out.size();  // where this piece's text starts
    if (carry_) out.push_back('\r');
    carry_ = false;
    const std::size_t base = out.size();
    out.resize(base + raw);
    const std::size_t got = std::fread(&out[base], 1, raw, file_);
    bool last = got < raw;
    if (last && std::ferror(file_)) failed_ = true;
    std::size_t end = base + got;
    if (const void* z = std::memchr(&out[base], kTextEnd, got)) {
        end = static_cast<std::size_t>(static_cast<const char*>(z) - out.data());
        last = true;  // text mode ends at 0x1A
    }
    // A carriage return at the end of the piece waits for its possible line
    // feed in the next piece.
    if (!last && end > region && out[end - 1] == '\r') {
        --end;
        carry_ = true;
    }
    const std::size_t n = translateInPlace(&out[region], end - region, true, false);
    out.resize(region + n);
    if (last) ended_ = true;
    return n > 0 || !ended_;
}

bool loadText(const std::string& path, std::string& text) {
    text.clear();
    TextStream stream;
    if (!stream.open(path)) return false;
    // Reserve the file's length once so the text never moves while it grows;
    // the last read needs a little room to meet the end of the file.
    constexpr std::size_t kEndProbe = 4096;
    if (stream.sizeHint()) text.reserve(stream.sizeHint() + kEndProbe);
    for (;;) {
        const std::size_t room = text.capacity() - text.size();
        const std::size_t raw =
            room >= kEndProbe ? std::min(room - 1, TextStream::kPiece) : TextStream::kPiece;
        if (!stream.next(text, raw)) break;
    }
    if (stream.failed()) {
        text.clear();
        return false;
    }
    return true;
}

bool writeTextFile(const std::string& path, const char* data, std::size_t n) {
    ContentWriter w;
    if (!w.open(path, FileMode::Text)) return false;
    w.write(data, n);
    return w.close();
}

std::string toStoredText(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

std::string fromStoredText(const std::string& stored) {
    std::string out = stored;
    if (out.empty()) return out;
    out.resize(translateInPlace(&out[0], out.size(), false));
    return out;
}

}  // namespace hs
