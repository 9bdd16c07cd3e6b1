// Helpers of the fuzz targets: a private working directory for targets whose
// code reads and writes files relative to it, the input cut into parts, and
// a check that aborts (so libFuzzer keeps the input) when a rule is broken.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace hs::fuzz {

// Aborts with a message when `ok` is false.
inline void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "broken rule: %s\n", what);
        std::abort();
    }
}

// Changes into a new, empty directory (removed again at exit), with a
// "data" directory in it.
inline void enterScratchDirectory() {
    static std::filesystem::path dir;
    if (!dir.empty()) return;
    std::string pattern = (std::filesystem::temp_directory_path() / "hs-fuzz-XXXXXX").string();
    require(::mkdtemp(pattern.data()) != nullptr, "scratch directory");
    dir = pattern;
    std::filesystem::current_path(dir);
    std::filesystem::create_directory("data");
    std::atexit([] {
        std::error_code ec;
        std::filesystem::current_path(dir.parent_path(), ec);
        std::filesystem::remove_all(dir, ec);
    });
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    require(f != nullptr, "scratch file");
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// The input read front to back: small numbers, then texts ended by a byte
// 0xFF (or the end), then the rest.
class Input {
public:
    Input(const uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}
    uint8_t byte() { return p_ < end_ ? *p_++ : 0; }
    std::string text() {
        std::string out;
        while (p_ < end_ && *p_ != 0xFF) out += static_cast<char>(*p_++);
        if (p_ < end_) ++p_;
        return out;
    }
    std::string rest() {
        std::string out(reinterpret_cast<const char*>(p_), static_cast<std::size_t>(end_ - p_));
        p_ = end_;
        return out;
    }

private:
    const uint8_t* p_;
    const uint8_t* end_;
};

}  // namespace hs::fuzz
