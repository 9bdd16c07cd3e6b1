#include "platform/stdio_file.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

namespace hs {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A C stream over a handle; the handle is closed when the stream cannot be
// made.
std::FILE* streamOf(HANDLE h, int flags, const char* mode) {
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), flags);
    if (fd < 0) {
        ::CloseHandle(h);
        return nullptr;
    }
    std::FILE* f = ::_fdopen(fd, mode);
    if (f == nullptr) ::_close(fd);  // closes the handle too
    return f;
}

}  // namespace

std::FILE* openForWriting(const std::string& path) {
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    return streamOf(h, _O_BINARY | _O_WRONLY, "wb");
}

std::FILE* openForReading(const std::string& path) {
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    return streamOf(h, _O_BINARY | _O_RDONLY, "rb");
}

}  // namespace hs
