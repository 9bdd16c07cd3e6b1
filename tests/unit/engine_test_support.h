// Helpers of the check engine tests: a host that records what the worker
// tells it, and a gate that holds a retrieval until the test lets it go.
#pragma once

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/record.h"
#include "engine/check_host.h"
#include "platform/file_system.h"

namespace hs::test {

class RecordingHost : public CheckHost {
public:
    void recordChanged(std::size_t slot) override { add("row " + std::to_string(slot)); }
    void playChangeSound() override { add("sound"); }
    void startChangeBlink() override { add("blink"); }
    std::string lastCheckText() override {
        std::lock_guard<std::mutex> lock(mutex_);
        return stamp_;
    }
    void workerFinished() override {
        std::lock_guard<std::mutex> lock(mutex_);
        ++finished_;
        cv_.notify_all();
    }

    void setStamp(const std::string& s) {
        std::lock_guard<std::mutex> lock(mutex_);
        stamp_ = s;
    }
    std::vector<std::string> events() {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_;
    }
    std::size_t count(const std::string& event) {
        std::lock_guard<std::mutex> lock(mutex_);
        std::size_t n = 0;
        for (const auto& e : events_) n += e == event;
        return n;
    }
    void clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.clear();
    }
    // Bounded wait until `n` workers have finished.
    bool waitFinished(int n, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        std::unique_lock<std::mutex> lock(mutex_);
        return cv_.wait_for(lock, limit, [&] { return finished_ >= n; });
    }

private:
    void add(const std::string& e) {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(e);
    }
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::string> events_;
    std::string stamp_ = "2004/07/15 [09:05:03]";
    int finished_ = 0;
};

// A retrieval that announces it has started and then waits (bounded) until
// the test opens the gate.
class Gate {
public:
    void arrive() {
        std::unique_lock<std::mutex> lock(mutex_);
        ++arrived_;
        cv_.notify_all();
        cv_.wait_for(lock, std::chrono::seconds(10), [&] { return open_; });
    }
    bool waitArrived(int n, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        std::unique_lock<std::mutex> lock(mutex_);
        return cv_.wait_for(lock, limit, [&] { return arrived_ >= n; });
    }
    void open() {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        cv_.notify_all();
    }
    int arrived() {
        std::lock_guard<std::mutex> lock(mutex_);
        return arrived_;
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    int arrived_ = 0;
    bool open_ = false;
};

// The platform's file system with switches that make single operations fail.
class SwitchableFileSystem : public FileSystem {
public:
    explicit SwitchableFileSystem(FileSystem& inner) : inner_(inner) {}
    bool failTemp = false;
    bool failCopy = false;
    bool failReplace = false;

    bool listFiles(const std::string& d, const std::string& p,
                   std::vector<std::string>& names) override { return inner_.listFiles(d, p, names); }
    bool makeDirectory(const std::string& d) override { return inner_.makeDirectory(d); }
    bool createNewFile(const std::string& p) override { return inner_.createNewFile(p); }
    bool exists(const std::string& p) override { return inner_.exists(p); }
    bool isDirectory(const std::string& p) override { return inner_.isDirectory(p); }
    bool removeFile(const std::string& p) override { return inner_.removeFile(p); }
    bool replaceFile(const std::string& f, const std::string& t) override {
        return !failReplace && inner_.replaceFile(f, t);
    }
    bool copyFile(const std::string& f, const std::string& t) override {
        return !failCopy && inner_.copyFile(f, t);
    }
    std::string makeTempFile(const std::string& d, const std::string& p) override {
        return failTemp ? std::string() : inner_.makeTempFile(d, p);
    }

private:
    FileSystem& inner_;
};

// Names of the temporary files left in "data".
inline std::vector<std::string> tempFilesLeft() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator("data", ec)) {
        if (e.path().extension() == ".tmp") names.push_back(e.path().filename().string());
    }
    return names;
}

inline DocumentRecord localDocument(const std::string& name, const std::string& path,
                                    int32_t status = WaitingForRetrieve) {
    DocumentRecord r = zeroRecord();
    r.type = LocalFile;
    setField(r.name, name);
    setField(r.url, path);
    r.status = status;
    return r;
}

inline void makeDataDir() { std::filesystem::create_directory("data"); }

}  // namespace hs::test
