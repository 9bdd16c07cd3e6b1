// The one file system fake of the tests: the platform's file system, or
// without one a working directory of pretended names, with switches that
// make single operations fail, hooks before replacements and removals, a
// log of the calls, and a count of the operations made while the watched
// catalogue's lock was held by the calling thread. Free of gtest, so that
// the fuzz targets can use it too.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "platform/file_system.h"

namespace hs::test {

class SwitchableFileSystem : public FileSystem {
public:
    SwitchableFileSystem() = default;  // pretended names only
    explicit SwitchableFileSystem(FileSystem& inner) : inner_(&inner) {}

    // Switches and hooks; set them before the test's threads start.
    bool failTemp = false;
    bool failStagedWrite = false;  // temporary names that cannot be written
    bool failReplace = false;
    std::function<bool(const std::string& to)> failReplaceOf;
    std::set<std::string> refused;  // calls that fail, as logged: "create x", "remove x"
    std::function<void()> beforeReplace;
    std::function<void(const std::string& path)> beforeRemove;
    // The pretended files and directories, when there is no inner file system.
    std::set<std::string> files, directories;
    const DocumentCatalogue* watched = nullptr;
    std::atomic<int> underCatalogueLock{0};
    std::atomic<int> tempFilesMade{0};
    // What the volume is said to have free (unknown unless set).
    std::atomic<uint64_t> freeSpace{kUnknownFreeBytes};

    // The calls so far as "<kind> <path>" (kinds: list mkdir rmdir create
    // exists directory remove copy replace temp; copy and replace name the
    // target, temp the directory); with a kind, that kind's paths only.
    std::vector<std::string> calls(const std::string& kind = "") {
        std::lock_guard<std::mutex> lock(logMutex_);
        if (kind.empty()) return calls_;
        std::vector<std::string> paths;
        for (const std::string& c : calls_)
            if (c.compare(0, kind.size() + 1, kind + " ") == 0) paths.push_back(c.substr(kind.size() + 1));
        return paths;
    }

    bool listFiles(const std::string& d, const std::string& p, std::vector<std::string>& n) override {
        return call("list", d) && inner_ && inner_->listFiles(d, p, n);
    }
    bool makeDirectory(const std::string& d) override { return call("mkdir", d) && inner_ && inner_->makeDirectory(d); }
    bool removeDirectory(const std::string& d) override {
        return call("rmdir", d) && inner_ && inner_->removeDirectory(d);
    }
    bool createNewFile(const std::string& p) override {
        if (!call("create", p)) return false;
        return inner_ ? inner_->createNewFile(p) : !directories.count(p) && files.insert(p).second;
    }
    bool exists(const std::string& p) override {
        return call("exists", p) && (inner_ ? inner_->exists(p) : files.count(p) || directories.count(p));
    }
    bool isDirectory(const std::string& p) override {
        return call("directory", p) && (inner_ ? inner_->isDirectory(p) : directories.count(p) > 0);
    }
    bool removeFile(const std::string& p) override {
        if (beforeRemove) beforeRemove(p);
        return call("remove", p) && (inner_ ? inner_->removeFile(p) : files.erase(p) > 0);
    }
    bool copyFile(const std::string& f, const std::string& t) override {
        return call("copy", t) && inner_ && inner_->copyFile(f, t);
    }
    bool replaceFile(const std::string& f, const std::string& t) override {
        if (beforeReplace) beforeReplace();
        return call("replace", t) && !failReplace && !(failReplaceOf && failReplaceOf(t)) && inner_ &&
               inner_->replaceFile(f, t);
    }
    std::string makeTempFile(const std::string& d, const std::string& p) override {
        if (!call("temp", d) || failTemp || !inner_) return std::string();
        ++tempFilesMade;
        if (failStagedWrite) return joinPath(joinPath(d, "missing"), p + "1.tmp");
        return inner_->makeTempFile(d, p);
    }
    uint64_t freeBytes(const std::string&) override { return freeSpace; }

private:
    // Logs the call; false when it is refused.
    bool call(const char* kind, const std::string& path) {
        if (watched && watched->lockedByThisThread()) ++underCatalogueLock;
        std::string c = std::string(kind) + " " + path;
        const bool refusedCall = refused.count(c) != 0;
        std::lock_guard<std::mutex> lock(logMutex_);
        calls_.push_back(std::move(c));
        return !refusedCall;
    }
    FileSystem* inner_ = nullptr;
    std::mutex logMutex_;
    std::vector<std::string> calls_;
};

}  // namespace hs::test
