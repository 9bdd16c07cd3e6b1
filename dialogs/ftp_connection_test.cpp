#include "dialogs/ftp_connection_test.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <thread>

#include "catalogue/document_files.h"

namespace hs {

bool SessionFtpTestSteps::connect(const std::string& server, const std::string& user, const std::string& password) {
    if (server.empty()) return false;
    session_ = std::make_unique<FtpSession>(network_, bounds_);
    const bool anonymous = user.empty();
    return session_->open(server, port_, anonymous ? kAnonymousUser : user,
                          anonymous ? kAnonymousPassword : password);
}

bool SessionFtpTestSteps::changeDirectory(const std::string& path) {
    return session_ && session_->changeDirectory(path);
}

// The server accepting the transfer (its 1xx reply and the data connection)
// is the answer: the content itself is never read.
bool SessionFtpTestSteps::getFile(const std::string& fileName) {
    const std::string temp = DocumentFiles(files_).newTempFile();
    if (temp.empty()) return false;
    const bool accepted = session_ && !fileName.empty() && session_->startRetrieve(fileName);
    files_.removeFile(temp);
    return accepted;
}

namespace {

using Clock = std::chrono::steady_clock;

// An abandoned test notices within one slice of a wait.
constexpr int kSliceMs = 100;

int sliceUntil(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::max<long long>(0, std::min<long long>(left, kSliceMs)));
}

Clock::time_point after(int ms) { return Clock::now() + std::chrono::milliseconds(std::max(ms, 0)); }

// A connection whose waits are taken in slices, and fail at once after
// the test was abandoned.
class AbandonableStream final : public TcpStream {
public:
    AbandonableStream(std::unique_ptr<TcpStream> inner, const std::atomic<bool>& abandoned)
        : inner_(std::move(inner)), abandoned_(abandoned) {}

    bool sendAll(const char* data, std::size_t size, int timeoutMs) override {
        return !abandoned_ && inner_->sendAll(data, size, timeoutMs);
    }

    long receive(char* buffer, std::size_t size, int timeoutMs) override {
        const Clock::time_point deadline = after(timeoutMs);
        for (;;) {
            if (abandoned_) return kNetError;
            const long got = inner_->receive(buffer, size, sliceUntil(deadline));
            if (got != kNetTimedOut || Clock::now() >= deadline) return got;
        }
    }

    std::string localAddress() const override { return inner_->localAddress(); }
    std::string peerAddress() const override { return inner_->peerAddress(); }

private:
    std::unique_ptr<TcpStream> inner_;
    const std::atomic<bool>& abandoned_;
};

class AbandonableListener final : public TcpListener {
public:
    AbandonableListener(std::unique_ptr<TcpListener> inner, const std::atomic<bool>& abandoned)
        : inner_(std::move(inner)), abandoned_(abandoned) {}

    int port() const override { return inner_->port(); }

    std::unique_ptr<TcpStream> accept(int timeoutMs) override {
        const Clock::time_point deadline = after(timeoutMs);
        for (;;) {
            if (abandoned_) return nullptr;
            const Clock::time_point start = Clock::now();
            const int slice = sliceUntil(deadline);
            std::unique_ptr<TcpStream> stream = inner_->accept(slice);
            if (stream) return std::make_unique<AbandonableStream>(std::move(stream), abandoned_);
            // Back well before its slice ran out: a failure, not a wait.
            const Clock::time_point now = Clock::now();
            if (now >= deadline || now - start < std::chrono::milliseconds(slice / 2)) return nullptr;
        }
    }

private:
    std::unique_ptr<TcpListener> inner_;
    const std::atomic<bool>& abandoned_;
};

class AbandonableNetwork final : public Network {
public:
    AbandonableNetwork(std::unique_ptr<Network> inner, const std::atomic<bool>& abandoned)
        : inner_(std::move(inner)), abandoned_(abandoned) {}

    // Making the connection is one wait of the platform's: it runs to its
    // own bound.
    std::unique_ptr<TcpStream> connect(const std::string& host, int port, int timeoutMs,
                                       std::string& error) override {
        if (abandoned_) return nullptr;
        std::unique_ptr<TcpStream> stream = inner_->connect(host, port, timeoutMs, error);
        if (!stream) return nullptr;
        return std::make_unique<AbandonableStream>(std::move(stream), abandoned_);
    }

    std::unique_ptr<TcpListener> listen(const std::string& address) override {
        std::unique_ptr<TcpListener> listener = abandoned_ ? nullptr : inner_->listen(address);
        if (!listener) return nullptr;
        return std::make_unique<AbandonableListener>(std::move(listener), abandoned_);
    }

private:
    std::unique_ptr<Network> inner_;
    const std::atomic<bool>& abandoned_;
};

}  // namespace

std::shared_ptr<FtpTestRun> FtpTestRun::start(const FtpTestTarget& target, const NetBounds& bounds,
                                              std::function<void()> notify, int port) {
    std::shared_ptr<FtpTestRun> test(new FtpTestRun(std::move(notify)));
    try {
        // The thread holds the run as long as it needs it, whoever let go.
        std::thread([test, target, bounds, port] { test->run(target, bounds, port); }).detach();
    } catch (const std::exception&) {
        return nullptr;
    }
    return test;
}

void FtpTestRun::run(const FtpTestTarget& target, const NetBounds& bounds, int port) {
    try {
        std::unique_ptr<FileSystem> files = makePlatformFileSystem();
        AbandonableNetwork network(makePlatformNetwork(), abandoned_);
        SessionFtpTestSteps steps(network, *files, bounds, port);
        runFtpTestSteps(target, steps, [this](const std::string& text) { post(&text); });
    } catch (...) {
        // Nothing may leave the thread; the dialog still learns the end.
    }
    post(nullptr);
}

// A new text, or the end (null).
void FtpTestRun::post(const std::string* text) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (text) {
        texts_.push_back(*text);
    } else {
        finished_ = true;
    }
    if (!abandoned_ && notify_) notify_();
}

std::vector<std::string> FtpTestRun::takeProgress(bool& finished) {
    std::lock_guard<std::mutex> lock(mutex_);
    finished = finished_;
    std::vector<std::string> taken;
    taken.swap(texts_);
    return taken;
}

void FtpTestRun::abandon() {
    std::lock_guard<std::mutex> lock(mutex_);
    abandoned_ = true;
}

}  // namespace hs
