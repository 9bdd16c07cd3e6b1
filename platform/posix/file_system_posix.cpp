// The file system on POSIX systems.
//
// Listing: the analogue of the Windows enumeration with its attribute filter.
// Only regular files pass (directories, sockets, devices and the like do
// not; a symbolic link counts as what it points to). The order is the order
// in which readdir returns the entries, which is the file system's own order,
// just as FindFirstFileA/FindNextFileA give NTFS's order on Windows. The
// ending of the pattern is compared case-sensitively, as this file system
// compares names.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/stdio_file.h"

namespace hs {

namespace {

bool matchesPattern(const std::string& name, const std::string& pattern) {
    if (pattern.empty() || pattern[0] != '*') return name == pattern;
    const std::string ending = pattern.substr(1);
    return name.size() >= ending.size() &&
           name.compare(name.size() - ending.size(), ending.size(), ending) == 0;
}

class DirHandle {
public:
    explicit DirHandle(const std::string& dir) : dir_(opendir(dir.c_str())) {}
    ~DirHandle() {
        if (dir_) closedir(dir_);
    }
    DirHandle(const DirHandle&) = delete;
    DirHandle& operator=(const DirHandle&) = delete;
    DIR* get() const { return dir_; }

private:
    DIR* dir_;
};

std::string directoryOf(const std::string& path) {
    const std::size_t at = path.find_last_of('/');
    if (at == std::string::npos) return std::string();
    if (at == 0) return "/";
    return path.substr(0, at);
}

bool createExclusive(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

class PosixFileSystem final : public FileSystem {
public:
    uint64_t freeBytes(const std::string& dir) override {
        struct statvfs volume;
        if (::statvfs(dir.c_str(), &volume) != 0) return kUnknownFreeBytes;
        return static_cast<uint64_t>(volume.f_bavail) * volume.f_frsize;
    }

    bool listFiles(const std::string& dir, const std::string& pattern,
                   std::vector<std::string>& names) override {
        names.clear();
        DirHandle d(dir);
        if (!d.get()) return false;
        while (const dirent* entry = readdir(d.get())) {
            const std::string name = entry->d_name;
            if (!matchesPattern(name, pattern)) continue;
            struct stat st;
            if (::stat(joinPath(dir, name).c_str(), &st) != 0) continue;
            if (!S_ISREG(st.st_mode)) continue;
            names.push_back(name);
        }
        return true;
    }

    bool removeDirectory(const std::string& dir) override { return ::rmdir(dir.c_str()) == 0; }

    bool makeDirectory(const std::string& dir) override {
        if (::mkdir(dir.c_str(), 0777) == 0) return true;
        return errno == EEXIST && isDirectory(dir);
    }

    bool createNewFile(const std::string& path) override { return createExclusive(path); }

    bool exists(const std::string& path) override {
        struct stat st;
        return ::stat(path.c_str(), &st) == 0;
    }

    bool isDirectory(const std::string& path) override {
        struct stat st;
        return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    // unlink, not remove(): remove() would also delete an empty directory.
    bool removeFile(const std::string& path) override { return ::unlink(path.c_str()) == 0; }

    bool replaceFile(const std::string& from, const std::string& to) override {
        return std::rename(from.c_str(), to.c_str()) == 0;
    }

    // Copies into a new temporary file beside `to` and moves it over `to`, so
    // a failed copy (unreadable source, full disk) leaves `to` as it was.
    // Copying a file onto itself is refused: it would empty the file.
    bool copyFile(const std::string& from, const std::string& to) override {
        StdioFile in(from, "rb");
        if (!in.get()) return false;
        struct stat src, dst;
        if (::fstat(fileno(in.get()), &src) != 0 || !S_ISREG(src.st_mode)) return false;
        if (::stat(to.c_str(), &dst) == 0 && src.st_dev == dst.st_dev && src.st_ino == dst.st_ino) {
            return false;
        }
        const std::string temp = makeTempFile(directoryOf(to), "QVR");
        if (temp.empty()) return false;
        bool ok = false;
        {
            StdioFile out(temp, "wb");
            if (out.get()) {
                ok = copyStream(in.get(), out.get());
                if (!out.close()) ok = false;
            }
        }
        if (ok) ok = std::rename(temp.c_str(), to.c_str()) == 0;
        if (!ok) ::unlink(temp.c_str());
        return ok;
    }

    // "<first three characters of prefix><1 to 4 hex digits>.tmp", like the
    // names Windows makes, created exclusively so that concurrent callers
    // never share a name.
    std::string makeTempFile(const std::string& dir, const std::string& prefix) override {
        static std::atomic<unsigned> counter{static_cast<unsigned>(
            std::chrono::steady_clock::now().time_since_epoch().count() ^ ::getpid())};
        const std::string stem = prefix.substr(0, 3);
        for (unsigned attempt = 0; attempt < 0xFFFFu; ++attempt) {
            unsigned unique = counter.fetch_add(1) & 0xFFFFu;
            if (unique == 0) continue;
            char hex[8];
            std::snprintf(hex, sizeof hex, "%X", unique);
            const std::string name = stem + hex + ".tmp";
            const std::string path = dir.empty() ? name : joinPath(dir, name);
            if (createExclusive(path)) return path;
            if (errno != EEXIST) return std::string();
        }
        return std::string();
    }
};

}  // namespace

std::unique_ptr<FileSystem> makePlatformFileSystem() {
    return std::make_unique<PosixFileSystem>();
}

char pathSeparator() { return '/'; }

std::string joinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (dir.back() == '/') return dir + name;
    return dir + '/' + name;
}

}  // namespace hs
