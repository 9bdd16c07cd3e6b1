// A std::FILE* that is closed when it goes out of scope. Every file content
// the core reads or writes goes through std::fopen in binary mode.
#pragma once

#include <cstdio>
#include <string>

namespace hs {

// A new or emptied file opened for writing bytes (std::fopen "wb"). On
// Windows it may be deleted while it is open, the deletion completing when
// it is closed: a shutdown that clears the temporary files also clears one
// that a worker is still writing (a download in progress), instead of
// leaving it behind because it was open.
std::FILE* openForWriting(const std::string& path);

// An existing file opened for reading bytes (std::fopen "rb"). On Windows
// the file stays free to be deleted, renamed or replaced while it is read:
// a document deleted or edited while a worker compares its kept content
// loses that file at once, and the commit of a new content is never held
// up by a reader. (The C runtime's own fopen shares reading and writing
// only.)
std::FILE* openForReading(const std::string& path);

// Copies the rest of `in` to the end of `out`; false when a read or a write
// failed (`out` may then hold part of it).
inline bool copyStream(std::FILE* in, std::FILE* out) {
    char buffer[16384];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, in);
        if (got > 0 && std::fwrite(buffer, 1, got, out) != got) return false;
        if (got < sizeof buffer) return std::ferror(in) == 0;
    }
}

class StdioFile {
public:
    StdioFile(const std::string& path, const char* mode) : f_(std::fopen(path.c_str(), mode)) {}
    // Takes over a file opened elsewhere (openForReading, openForWriting).
    explicit StdioFile(std::FILE* f) : f_(f) {}
    ~StdioFile() {
        if (f_) std::fclose(f_);
    }
    StdioFile(const StdioFile&) = delete;
    StdioFile& operator=(const StdioFile&) = delete;

    std::FILE* get() const { return f_; }
    explicit operator bool() const { return f_ != nullptr; }

    // Closes now and reports whether everything buffered reached the file.
    bool close() {
        std::FILE* f = f_;
        f_ = nullptr;
        return f && std::fclose(f) == 0;
    }

private:
    std::FILE* f_;
};

}  // namespace hs
