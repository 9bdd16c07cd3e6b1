// The check engine's queue.
//
// A cursor walks the slots in order; each slot it passes is looked at once.
// A waiting slot is taken by the next free thread unless its server has
// kMaxPerServer retrievals running (kMaxLocalFiles for local files): then it
// goes to that server's queue, which is served before the cursor moves on
// whenever the server has room again. So documents start in slot order
// (within one server strictly), a slow server never holds the documents of
// the others, and picking the next document costs no walk over the whole
// catalogue. A wake-up during a pass makes the cursor go round once more
// when it reaches the end; slots appended meanwhile are reached anyway,
// since the end is read afresh.
//
// A slot handed to a thread is noted until checkDocument returns, so no
// second thread takes it meanwhile; checkDocument's claim keeps a document
// from being retrieved twice at once whoever else asks.
//
// Lock order: the engine's mutex, then the catalogue lock inside it (only
// to look at a slot). The engine never holds its mutex while it calls
// checkDocument or the host.
#include "check/check_engine.h"

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "check/check_worker.h"
#include "net/ftp_location.h"
#include "net/web_url.h"

namespace hs {

std::string serverOf(const Document& record) {
    switch (record.type) {
        case HtmlPage:
        case WebFile: {
            WebUrl url;
            if (!parseWebUrl(webRequestOf(record).location, url)) return std::string();
            std::string host = url.host;
            std::transform(host.begin(), host.end(), host.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            return (url.https ? "https://" : "http://") + host + ":" + std::to_string(url.port);
        }
        case FtpFile: {
            const auto where = splitFtpLocation(fieldText(record.url));
            if (!where || where->server.empty()) return std::string();
            std::string host = where->server;
            std::transform(host.begin(), host.end(), host.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            return "ftp://" + host + ":21";
        }
        case LocalFile: return "file:";
        default: return std::string();
    }
}

namespace {

std::size_t limitOf(const std::string& server) {
    if (server == "file:") return kMaxLocalFiles;
    if (server.empty()) return kMaxRetrievals;  // fails at once, or is no retrieval
    return kMaxPerServer;
}

// What is noted of a slot besides the catalogue.
enum : unsigned char { kFree = 0, kQueued = 1, kTaken = 2 };

}  // namespace

struct CheckEngine::State {
    State(DocumentCatalogue& c, CheckHost& h, FileSystem& f, RetrievalPaths p, std::shared_ptr<CancelToken> t)
        : catalogue(c), host(h), files(f), paths(std::move(p)), cancel(std::move(t)) {}

    DocumentCatalogue& catalogue;
    CheckHost& host;
    FileSystem& files;
    const RetrievalPaths paths;
    const std::shared_ptr<CancelToken> cancel;

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::thread> threads;
    std::size_t alive = 0;
    bool stopping = false;

    std::size_t cursor = 0;     // the next slot to look at
    bool again = false;         // go round once more at the end
    std::size_t running = 0;    // retrievals now
    bool idleTold = true;       // the host knows that nothing runs
    std::map<std::string, std::size_t> perServer;          // running, by server
    std::map<std::string, std::deque<std::size_t>> held;   // waiting for room, by server
    std::vector<unsigned char> noted;                      // kFree, kQueued, kTaken by slot

    unsigned char& noteOf(std::size_t slot) {
        if (slot >= noted.size()) noted.resize(std::max(slot + 1, noted.size() * 2), kFree);
        return noted[slot];
    }
    bool hasRoom(const std::string& server) {
        auto it = perServer.find(server);
        return it == perServer.end() || it->second < limitOf(server);
    }

    // With the mutex held: whether pick() might find a slot now.
    bool mayPick() {
        if (running >= kMaxRetrievals) return false;
        if (again || cursor < catalogue.slotCount()) return true;
        for (auto& queue : held) {
            if (!queue.second.empty() && hasRoom(queue.first)) return true;
        }
        return false;
    }

    // With the mutex held: the next slot to retrieve and its server.
    bool pick(std::size_t& slot, std::string& server) {
        if (running >= kMaxRetrievals) return false;
        // Queued slots lie behind the cursor: the lowest with room goes first.
        auto best = held.end();
        for (auto it = held.begin(); it != held.end(); ++it) {
            if (!it->second.empty() && hasRoom(it->first) &&
                (best == held.end() || it->second.front() < best->second.front())) {
                best = it;
            }
        }
        if (best != held.end()) {
            slot = best->second.front();
            server = best->first;
            best->second.pop_front();
            if (best->second.empty()) held.erase(best);
            return true;
        }
        for (;;) {
            if (cursor >= catalogue.slotCount()) {
                if (!again) return false;
                again = false;
                cursor = 0;
                continue;
            }
            const std::size_t at = cursor++;
            if (noteOf(at) != kFree) continue;
            bool waiting = false;
            std::string where;
            catalogue.locked([&] {
                const Document& r = catalogue.recordLocked(at);
                waiting = r.name[0] != '\0' && r.status == WaitingForRetrieve && !catalogue.stateLocked(at).held;
                if (waiting) where = serverOf(r);
                return 0;
            });
            if (!waiting) continue;
            if (!hasRoom(where)) {
                held[where].push_back(at);
                noteOf(at) = kQueued;
                continue;
            }
            slot = at;
            server = std::move(where);
            return true;
        }
    }

    void run() {
        std::unique_lock<std::mutex> lock(mutex);
        while (!stopping) {
            std::size_t slot = 0;
            std::string server;
            if (!pick(slot, server)) {
                if (running == 0 && !idleTold) {
                    idleTold = true;
                    lock.unlock();
                    try {
                        host.workerFinished();  // the last rows are shown at once
                    } catch (...) {
                    }
                    lock.lock();
                    continue;
                }
                changed.wait(lock);
                continue;
            }
            noteOf(slot) = kTaken;
            ++running;
            ++perServer[server];
            idleTold = false;
            // One more thread looks for work only when there may be some: a
            // thread that ends a retrieval picks the next one itself, and
            // waking every thread for each document (all but one of them to
            // find nothing) costs more than a local file's whole check.
            if (mayPick()) changed.notify_one();
            lock.unlock();
            try {
                checkDocument(catalogue, slot, host, files, paths, cancel.get());
            } catch (...) {
                // checkDocument releases the slot itself; nothing else to undo.
            }
            lock.lock();
            noteOf(slot) = kFree;
            --running;
            if (--perServer[server] == 0) perServer.erase(server);
        }
        --alive;
        changed.notify_all();
    }
};

CheckEngine::CheckEngine(DocumentCatalogue& catalogue, CheckHost& host, FileSystem& files, RetrievalPaths paths,
                         std::shared_ptr<CancelToken> cancel)
    : state_(std::make_shared<State>(catalogue, host, files, std::move(paths),
                                     cancel ? std::move(cancel) : std::make_shared<CancelToken>())) {}

CheckEngine::~CheckEngine() { stop(std::chrono::seconds(5)); }

void CheckEngine::wake() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    State& s = *state_;
    if (s.stopping) return;
    s.again = true;
    while (s.threads.size() < kMaxRetrievals) {
        try {
            // The thread shares the state: one left behind by stop() keeps it.
            s.threads.emplace_back([state = state_] { state->run(); });
            ++s.alive;
        } catch (...) {
            break;  // fewer threads; without any the marks wait for the next start
        }
    }
    s.changed.notify_all();
}

bool CheckEngine::stop(std::chrono::milliseconds limit) {
    State& s = *state_;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.stopping = true;
        s.changed.notify_all();
        if (s.threads.empty()) return s.alive == 0;  // stopped before (or never started)
    }
    s.cancel->cancel();
    std::vector<std::thread> threads;
    bool ended;
    {
        std::unique_lock<std::mutex> lock(s.mutex);
        ended = s.changed.wait_for(lock, limit, [&] { return s.alive == 0; });
        threads.swap(s.threads);
    }
    for (std::thread& t : threads) {
        if (ended) {
            t.join();
        } else {
            t.detach();
        }
    }
    return ended;
}

}  // namespace hs
