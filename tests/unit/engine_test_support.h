// Helpers of the check engine tests: a host that records what the worker
// tells it, a gate that holds a retrieval until the test lets it go, content
// sources made of strings, and small helpers; the file system fake is in
// file_system_fake.h.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/record.h"
#include "check/check_host.h"
#include "net/content_source.h"
#include "platform/file_system.h"
#include "file_system_fake.h"

namespace hs::test {

class RecordingHost : public CheckHost {
public:
    void recordChanged(std::size_t slot) override { add("row " + std::to_string(slot)); }
    void playChangeSound() override { add("sound"); }
    void startChangeBlink() override { add("blink"); }
    void documentChanged(const Document& r) override { add("changed " + fieldText(r.name)); }
    void middleMarkersMissing(const Document& r) override { add("markers " + fieldText(r.name)); }
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

// Retrievals that note when they start and then wait (bounded) until the
// test lets their document go, counting how many run at once in all, per
// server (the part of the name before '-') and per document.
class HeldRetrievals {
public:
    void run(const std::string& name) {
        const std::string server = name.substr(0, name.find('-'));
        std::unique_lock<std::mutex> lock(mutex_);
        started_.push_back(name);
        maxAll_ = std::max(maxAll_, ++all_);
        maxServer_ = std::max(maxServer_, ++server_[server]);
        if (++document_[name] > 1) ++twice_;
        cv_.notify_all();
        cv_.wait_for(lock, std::chrono::seconds(10), [&] { return all_released_ || released_.count(name); });
        released_.erase(name);
        --all_, --server_[server], --document_[name];
    }
    void release(const std::string& name) { set([&] { released_.insert(name); }); }
    void releaseAll() { set([&] { all_released_ = true; }); }
    // The documents started so far, once at least `n` have (bounded wait).
    std::vector<std::string> started(std::size_t n) {
        std::unique_lock<std::mutex> lock(mutex_);
        cv_.wait_for(lock, std::chrono::seconds(10), [&] { return started_.size() >= n; });
        return started_;
    }
    int maxAll() { return read(maxAll_); }
    int maxPerServer() { return read(maxServer_); }
    int twice() { return read(twice_); }

private:
    int read(const int& value) {
        std::lock_guard<std::mutex> lock(mutex_);
        return value;
    }
    template <class F>
    void set(F f) {
        std::lock_guard<std::mutex> lock(mutex_);
        f();
        cv_.notify_all();
    }
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::string> started_;
    std::set<std::string> released_;
    bool all_released_ = false;
    std::map<std::string, int> server_, document_;
    int all_ = 0, maxAll_ = 0, maxServer_ = 0, twice_ = 0;
};

// Content held in a string, handed over in pieces of `piece` bytes; a read
// that would go beyond `failAt` bytes fails.
class StringSource : public ContentSource {
public:
    explicit StringSource(std::string bytes, std::size_t piece = 512, std::size_t failAt = std::string::npos)
        : bytes_(std::move(bytes)), piece_(piece), failAt_(failAt) {}
    long read(char* buf, std::size_t n) override {
        n = std::min({n, piece_, bytes_.size() - pos_});
        if (pos_ + n > failAt_) return -1;
        std::memcpy(buf, bytes_.data() + pos_, n);
        pos_ += n;
        return static_cast<long>(n);
    }
    std::size_t consumed() const { return pos_; }

private:
    std::string bytes_;
    std::size_t piece_, failAt_, pos_ = 0;
};

// Wraps what a path fetched: `atEnd` runs once the content has been read to
// its end (compared and staged), `afterwards` once the rule is done with it.
inline Fetched hooked(Fetched fetched, std::function<void()> atEnd, std::function<void()> afterwards = {}) {
    struct Hooked : ContentSource {
        std::unique_ptr<ContentSource> inner;
        std::function<void()> atEnd, afterwards;
        long read(char* buf, std::size_t n) override {
            const long got = inner->read(buf, n);
            if (got == 0 && atEnd) std::exchange(atEnd, nullptr)();
            return got;
        }
        ~Hooked() override { if (afterwards) afterwards(); }
    };
    auto h = std::make_unique<Hooked>();
    h->atEnd = std::move(atEnd);
    h->afterwards = std::move(afterwards);
    if (fetched.kind() != Fetched::Kind::Stream) return fetched;  // `afterwards` runs now
    h->inner = fetched.release();
    return Fetched::stream(std::move(h));
}

// Names of the temporary files left in "data" and its staging folder.
inline std::vector<std::string> tempFilesLeft() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::recursive_directory_iterator("data", ec)) {
        if (e.path().extension() == ".tmp") names.push_back(e.path().filename().string());
    }
    return names;
}

inline void makeDataDir() { std::filesystem::create_directory("data"); }

}  // namespace hs::test
