// The check engine: the one place where documents are retrieved. Requests
// (Check, Check all, the periodic tick, start-up, add, edit, duplicate) mark
// documents WaitingForRetrieve and wake the engine; its threads take the
// waiting documents in slot order and run checkDocument on each, several
// side by side, a bounded number at once against one server.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "catalogue/catalogue.h"
#include "check/check_host.h"
#include "check/retrieval.h"
#include "platform/file_system.h"
#include "platform/network.h"

namespace hs {

// Retrievals running at once: the engine's threads. A retrieval mostly
// waits for a server far away, so a round of them costs about one round trip
// whatever their number; the per-server limit below keeps each server's
// share small.
constexpr std::size_t kMaxRetrievals = 12;
// Retrievals at once against one server (scheme, host and port of the
// document's location): as many as a browser opens, so no server sees the
// program as a flood.
constexpr std::size_t kMaxPerServer = 4;
// Local files at once: they share the disks, where reads side by side only
// seek against each other; one at a time, in slot order, as they always
// were read.
constexpr std::size_t kMaxLocalFiles = 1;

// The server a document is retrieved from: "http://host:port",
// "https://host:port", "ftp://host:21", "file:" for every local file, and ""
// for a location that names none (those fail without a connection).
std::string serverOf(const Document& record);

class CheckEngine {
public:
    // The catalogue, host and file system must outlive the engine. `cancel`
    // is the token the retrieval paths' networks were made with; stop()
    // cancels it (the engine makes its own when none is given).
    CheckEngine(DocumentCatalogue& catalogue, CheckHost& host, FileSystem& files, RetrievalPaths paths,
                std::shared_ptr<CancelToken> cancel = nullptr);
    ~CheckEngine();
    CheckEngine(const CheckEngine&) = delete;
    CheckEngine& operator=(const CheckEngine&) = delete;

    // Documents were marked for retrieval: they are taken (the whole
    // catalogue is looked at once more after the current pass). Returns at
    // once; the first call starts the threads. Does nothing after stop().
    void wake();

    // Ends the engine: no further document is taken, the running retrievals
    // are cancelled (their records stay Retrieving) and the threads are
    // waited for up to `limit`. True when every thread ended; threads still
    // running then are left behind (they touch the catalogue, host and file
    // system until they end, so those must then live on).
    bool stop(std::chrono::milliseconds limit);

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace hs
