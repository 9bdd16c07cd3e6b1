// Fresh working directories for the program under test, and file helpers
// relative to them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace hs::e2e {

// Turns a Unix path ("/a/b") into the path Wine shows for it on drive Z:
// ("Z:\a\b"); a path that is already a Windows path is returned with its
// slashes turned into backslashes.
std::string toWindowsPath(const std::string& path);

// The directory under which test working directories are made: the
// environment variable HS_E2E_WORK when set, otherwise the system's
// temporary directory.
std::string workBaseDirectory();

// The longest path of a working directory (its label is cut to fit): no
// program starts in one beyond MAX_PATH, and the program's files lie below.
constexpr std::size_t kMaxWorkDirLength = 200;

// A new, empty, uniquely named directory that is removed again on
// destruction unless keep() was called (a failed test keeps its files).
class WorkDir {
public:
    // `label` becomes part of the name, to find a kept directory again.
    explicit WorkDir(const std::string& label);
    ~WorkDir();
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;

    const std::string& path() const { return path_; }
    // "<dir>\<relative>", relative given with either slash.
    std::string file(const std::string& relative) const;

    void keep() { keep_ = true; }
    bool kept() const { return keep_; }

    // Files relative to the directory. writeFile creates missing parents.
    void writeFile(const std::string& relative, const std::string& bytes) const;
    // Reads the whole file; false (and empty bytes) when it cannot be opened.
    bool readFile(const std::string& relative, std::string& bytes) const;
    bool exists(const std::string& relative) const;
    bool isDirectory(const std::string& relative) const;
    void makeDirectory(const std::string& relative) const;
    // Last-write time of a file as a FILETIME count (0 when unreadable), and
    // a way to make a prepared file look old, so that a later write shows.
    unsigned long long writeTime(const std::string& relative) const;
    void makeOld(const std::string& relative) const;
    // Names of the entries of a subdirectory, sorted.
    std::vector<std::string> list(const std::string& relative = "") const;
    // Names of the temporary files in "data" and its staging folder.
    std::vector<std::string> temporaryFiles() const;

private:
    std::string path_;
    bool keep_ = false;
};

}  // namespace hs::e2e
