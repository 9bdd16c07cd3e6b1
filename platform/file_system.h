// The file-system operations the core needs beyond <cstdio>: directory
// listing with the platform's filter and order, exclusive creation, atomic
// replacement, copying and temporary names. File contents are read and written
// with std::fopen in binary mode everywhere; text-mode translation, where the
// document rules ask for it, is done by the core itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hs {

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Names (not paths) of the entries of `dir` that match `pattern` (a single
    // "*" followed by a fixed ending, such as "*.data"), in the order the
    // platform lists them. Only ordinary files pass: on Windows an entry whose
    // attributes include ARCHIVE or NORMAL; elsewhere regular files. Returns
    // false, with an empty list, when the listing cannot start.
    virtual bool listFiles(const std::string& dir, const std::string& pattern,
                           std::vector<std::string>& names) = 0;

    // Creates a directory; an existing one is not an error.
    virtual bool makeDirectory(const std::string& dir) = 0;

    // Removes an empty directory; false when it is not there or not empty.
    virtual bool removeDirectory(const std::string& dir) { (void)dir; return false; }

    // Creates an empty file that must not exist yet; fails if anything of
    // that name exists. Never touches an existing file.
    virtual bool createNewFile(const std::string& path) = 0;

    virtual bool exists(const std::string& path) = 0;
    virtual bool isDirectory(const std::string& path) = 0;

    virtual bool removeFile(const std::string& path) = 0;

    // Moves `from` over `to` in one step, replacing `to` if it exists. Either
    // `to` is the old file or the new one afterwards, never missing.
    virtual bool replaceFile(const std::string& from, const std::string& to) = 0;

    // Copies `from` to `to`, replacing `to` if it exists.
    virtual bool copyFile(const std::string& from, const std::string& to) = 0;

    // Creates a new, empty, uniquely named file "<prefix>XXXX.tmp" in `dir`
    // and returns its path ("" on failure).
    virtual std::string makeTempFile(const std::string& dir, const std::string& prefix) = 0;

    // The bytes this user may still write on the volume that holds `dir`;
    // kUnknownFreeBytes when the platform cannot tell.
    virtual uint64_t freeBytes(const std::string& dir) {
        (void)dir;
        return kUnknownFreeBytes;
    }
    static constexpr uint64_t kUnknownFreeBytes = UINT64_MAX;

    // An existing directory as other programs are to be given it: on
    // Windows its full path, in its short 8.3 form when the long one leaves
    // fewer than `room` characters below MAX_PATH (the shell opens nothing
    // beyond). Elsewhere, and where nothing shorter exists, `dir` itself or
    // its full path.
    virtual std::string pathForOtherPrograms(const std::string& dir, std::size_t room) {
        (void)room;
        return dir;
    }

    // Marks a file as downloaded from the Internet (the "Zone.Identifier"
    // stream of the Internet zone), so that the system warns before running
    // it. False where the file system keeps no such streams.
    virtual bool markFromInternet(const std::string& path) {
        (void)path;
        return false;
    }
};

// A new file system of the platform the program runs on. The program makes
// one and hands it to whatever needs files.
std::unique_ptr<FileSystem> makePlatformFileSystem();

// The separator the document file patterns use: a backslash on Windows, the
// platform's own separator elsewhere.
char pathSeparator();

// "dir" + separator + "name".
std::string joinPath(const std::string& dir, const std::string& name);

}  // namespace hs
