// Network over the system's sockets. Windows Sockets and BSD sockets differ
// only in a few names, bridged below; every wait is a select() (Windows,
// whose fd_set is a list of sockets) or a poll() (elsewhere, where select()
// cannot take a descriptor beyond FD_SETSIZE) with the caller's timeout on a
// non-blocking socket. With a cancel token, each wait goes in slices of
// kCancelCheckMs and looks at the token between them, and every open socket
// is shut down when the token is cancelled, which ends its wait at once.
#include "platform/network.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace hs {

namespace {

#ifdef _WIN32
using Socket = SOCKET;
constexpr Socket kNoSocket = INVALID_SOCKET;
void closeSocket(Socket s) { ::closesocket(s); }
void shutSocket(Socket s) { ::shutdown(s, SD_BOTH); }
bool setNonBlocking(Socket s) {
    u_long on = 1;
    return ::ioctlsocket(s, FIONBIO, &on) == 0;
}
bool connectPending() { return ::WSAGetLastError() == WSAEWOULDBLOCK; }
bool wouldBlock() { return ::WSAGetLastError() == WSAEWOULDBLOCK; }
constexpr int kSendFlags = 0;

// Each network starts Windows Sockets (2.2) for its own lifetime, before
// its first name lookup or socket; nothing else in the program uses them.
struct SocketsStarted {
    SocketsStarted() {
        WSADATA data{};
        ok = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~SocketsStarted() {
        if (ok) ::WSACleanup();
    }
    bool ok = false;
};
#else
using Socket = int;
constexpr Socket kNoSocket = -1;
void closeSocket(Socket s) { ::close(s); }
void shutSocket(Socket s) { ::shutdown(s, SHUT_RDWR); }
bool setNonBlocking(Socket s) {
    const int flags = ::fcntl(s, F_GETFL, 0);
    return flags >= 0 && ::fcntl(s, F_SETFL, flags | O_NONBLOCK) == 0;
}
bool connectPending() { return errno == EINPROGRESS; }
bool wouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR; }
constexpr int kSendFlags = MSG_NOSIGNAL;
struct SocketsStarted {
    bool ok = true;
};
#endif

#ifdef _WIN32
// Waits until `s` can be read (or written): > 0 ready, 0 timed out, < 0
// failed.
int waitOnce(Socket s, bool forWrite, int timeoutMs) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv{};
    tv.tv_sec = timeoutMs / 1000;
    tv.tv_usec = (timeoutMs % 1000) * 1000;
    return ::select(0, forWrite ? nullptr : &set, forWrite ? &set : nullptr, nullptr, &tv);
}

// Waits until a connection being made is made or has failed (as
// waitOnce). Windows Sockets report a failed connection in the exception
// set only, so without it a refused connection would wait for the timeout.
int waitConnectedOnce(Socket s, int timeoutMs) {
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval tv{};
    tv.tv_sec = timeoutMs / 1000;
    tv.tv_usec = (timeoutMs % 1000) * 1000;
    return ::select(0, nullptr, &writable, &failed, &tv);
}
#else
int waitOnce(Socket s, bool forWrite, int timeoutMs) {
    pollfd one{};
    one.fd = s;
    one.events = forWrite ? POLLOUT : POLLIN;
    const int ready = ::poll(&one, 1, timeoutMs);
    return ready < 0 && errno == EINTR ? 0 : ready;
}

// A failed connection shows as POLLERR or POLLHUP beside POLLOUT.
int waitConnectedOnce(Socket s, int timeoutMs) { return waitOnce(s, true, timeoutMs); }
#endif

// Runs wait(ms) until it is ready (true), fails or the time is up (false),
// in slices of kCancelCheckMs while a token may end it (false once it did).
template <class Wait>
bool waitCancellable(const CancelToken* cancel, int timeoutMs, Wait wait) {
    if (cancel == nullptr) return wait(timeoutMs) > 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (cancel->cancelled()) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now()).count();
        const int slice = static_cast<int>(left < kCancelCheckMs ? (left > 0 ? left : 0) : kCancelCheckMs);
        const int ready = wait(slice);
        if (ready != 0) return ready > 0 && !cancel->cancelled();
        if (left <= kCancelCheckMs) return false;
    }
}

bool waitFor(Socket s, bool forWrite, int timeoutMs, const CancelToken* cancel) {
    return waitCancellable(cancel, timeoutMs, [&](int ms) { return waitOnce(s, forWrite, ms); });
}

bool waitConnected(Socket s, int timeoutMs, const CancelToken* cancel) {
    return waitCancellable(cancel, timeoutMs, [&](int ms) { return waitConnectedOnce(s, ms); });
}

// An open socket of a network with a token: shut down when it is cancelled.
class Registered {
public:
    Registered(std::shared_ptr<CancelToken> cancel, Socket s) : cancel_(std::move(cancel)) {
        if (cancel_) key_ = cancel_->onCancel([s] { shutSocket(s); });
    }
    ~Registered() {
        if (cancel_) cancel_->forget(key_);
    }
    Registered(const Registered&) = delete;
    Registered& operator=(const Registered&) = delete;
    const CancelToken* token() const { return cancel_.get(); }
    bool cancelled() const { return cancel_ && cancel_->cancelled(); }

private:
    std::shared_ptr<CancelToken> cancel_;
    std::size_t key_ = 0;
};

std::string dotted(const sockaddr_in& address) {
    char text[INET_ADDRSTRLEN] = {};
    if (::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text) == nullptr) return std::string();
    return text;
}

// The IPv4 addresses of `host`, found within `timeoutMs`. The system
// resolver takes no timeout, so a name (not a dotted address) is looked up
// on a helper thread (runWithin).
bool resolve(const std::string& host, int port, int timeoutMs, const CancelToken* cancel,
             std::vector<sockaddr_in>& found, std::string& error) {
    sockaddr_in literal{};
    literal.sin_family = AF_INET;
    literal.sin_port = htons(static_cast<unsigned short>(port));
    if (::inet_pton(AF_INET, host.c_str(), &literal.sin_addr) == 1) {
        found.assign(1, literal);
        return true;
    }
    // Shared with the helper, which may outlive this call.
    auto addresses = std::make_shared<std::vector<sockaddr_in>>();
    const bool inTime = runWithin(
        [addresses, host, port] {
            addrinfo hints{};
            hints.ai_family = AF_INET;
            hints.ai_socktype = SOCK_STREAM;
            addrinfo* list = nullptr;
            if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list) != 0) return;
            for (addrinfo* a = list; a != nullptr; a = a->ai_next) {
                if (a->ai_family == AF_INET && a->ai_addrlen >= sizeof(sockaddr_in)) {
                    addresses->push_back(*reinterpret_cast<const sockaddr_in*>(a->ai_addr));
                }
            }
            ::freeaddrinfo(list);
        },
        timeoutMs, cancel);
    if (!inTime) {
        error = "host lookup timed out";
        return false;
    }
    if (addresses->empty()) {
        error = "host not found";
        return false;
    }
    found = *addresses;
    return true;
}

// Closes its socket when it goes.
struct OwnedSocket {
    explicit OwnedSocket(Socket s) : s(s) {}
    ~OwnedSocket() { closeSocket(s); }
    OwnedSocket(const OwnedSocket&) = delete;
    OwnedSocket& operator=(const OwnedSocket&) = delete;
    Socket s;
};

class SocketStream final : public TcpStream {
public:
    SocketStream(Socket s, std::shared_ptr<CancelToken> cancel) : owned_(s), s_(s), registered_(std::move(cancel), s) {}

    bool sendAll(const char* data, std::size_t size, int timeoutMs) override {
        while (size > 0) {
            const int chunk = static_cast<int>(size > 65536 ? 65536 : size);
            const auto sent = ::send(s_, data, chunk, kSendFlags);
            if (sent > 0) {
                data += sent;
                size -= static_cast<std::size_t>(sent);
                continue;
            }
            if (sent < 0 && wouldBlock() && waitFor(s_, true, timeoutMs, registered_.token())) continue;
            return false;
        }
        return true;
    }

    long receive(char* buffer, std::size_t size, int timeoutMs) override {
        if (size == 0) return kNetError;
        const int want = static_cast<int>(size > 65536 ? 65536 : size);
        for (;;) {
            // A cancelled connection fails: its shutdown must not read as
            // the end of the content.
            if (registered_.cancelled()) return kNetError;
            const auto got = ::recv(s_, buffer, want, 0);
            if (registered_.cancelled()) return kNetError;
            if (got > 0) return static_cast<long>(got);
            if (got == 0) return kNetClosed;
            if (!wouldBlock()) return kNetError;
            if (!waitFor(s_, false, timeoutMs, registered_.token())) {
                return registered_.cancelled() ? kNetError : kNetTimedOut;
            }
        }
    }

    std::string localAddress() const override {
        sockaddr_in address{};
        socklen_t length = sizeof address;
        if (::getsockname(s_, reinterpret_cast<sockaddr*>(&address), &length) != 0) return std::string();
        return dotted(address);
    }

    std::string peerAddress() const override {
        sockaddr_in address{};
        socklen_t length = sizeof address;
        if (::getpeername(s_, reinterpret_cast<sockaddr*>(&address), &length) != 0) return std::string();
        return dotted(address);
    }

private:
    // Declared in this order so that the socket is forgotten by the token
    // before it is closed: no shutdown reaches a closed (reused) socket.
    OwnedSocket owned_;
    Socket s_;
    Registered registered_;
};

class SocketListener final : public TcpListener {
public:
    SocketListener(Socket s, int port, std::shared_ptr<CancelToken> cancel)
        : owned_(s), s_(s), port_(port), cancel_(std::move(cancel)), registered_(cancel_, s) {}

    int port() const override { return port_; }

    std::unique_ptr<TcpStream> accept(int timeoutMs) override {
        if (!waitFor(s_, false, timeoutMs, registered_.token())) return nullptr;
        const Socket s = ::accept(s_, nullptr, nullptr);
        if (s == kNoSocket) return nullptr;
        if (!setNonBlocking(s)) {
            closeSocket(s);
            return nullptr;
        }
        return std::make_unique<SocketStream>(s, cancel_);
    }

private:
    OwnedSocket owned_;
    Socket s_;
    int port_;
    std::shared_ptr<CancelToken> cancel_;
    Registered registered_;
};

class SocketNetwork final : public Network {
public:
    explicit SocketNetwork(std::shared_ptr<CancelToken> cancel) : cancel_(std::move(cancel)) {}

    std::unique_ptr<TcpStream> connect(const std::string& host, int port, int timeoutMs,
                                       std::string& error) override {
        if (!started_.ok) {
            error = "sockets unavailable";
            return nullptr;
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        std::vector<sockaddr_in> found;
        if (cancelled(error) || !resolve(host, port, timeoutMs, cancel_.get(), found, error)) return nullptr;
        std::unique_ptr<TcpStream> stream;
        error = "connection failed";
        for (const sockaddr_in& a : found) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now()).count();
            if (left <= 0) {
                error = "connection timed out";
                break;
            }
            stream = connectTo(a, static_cast<int>(left), error);
            if (stream || cancelled(error)) break;
        }
        return stream;
    }

    std::unique_ptr<TcpListener> listen(const std::string& address) override {
        std::string ignored;
        if (!started_.ok || cancelled(ignored)) return nullptr;
        const Socket s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (s == kNoSocket) return nullptr;
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = 0;
        if (::inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1 ||
            ::bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 || ::listen(s, 1) != 0 ||
            !setNonBlocking(s)) {
            closeSocket(s);
            return nullptr;
        }
        socklen_t length = sizeof local;
        if (::getsockname(s, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
            closeSocket(s);
            return nullptr;
        }
        return std::make_unique<SocketListener>(s, ntohs(local.sin_port), cancel_);
    }

private:
    bool cancelled(std::string& error) const {
        if (!cancel_ || !cancel_->cancelled()) return false;
        error = "cancelled";
        return true;
    }

    std::unique_ptr<TcpStream> connectTo(const sockaddr_in& a, int timeoutMs, std::string& error) {
        const Socket s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (s == kNoSocket) return nullptr;
        if (!setNonBlocking(s)) {
            closeSocket(s);
            return nullptr;
        }
        if (::connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
            if (!connectPending()) {
                error = "connection refused";
                closeSocket(s);
                return nullptr;
            }
            if (!waitConnected(s, timeoutMs, cancel_.get())) {
                error = "connection timed out";
                closeSocket(s);
                return nullptr;
            }
            int failure = 0;
            socklen_t length = sizeof failure;
            if (::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&failure), &length) != 0 ||
                failure != 0) {
                error = "connection refused";
                closeSocket(s);
                return nullptr;
            }
        }
        return std::make_unique<SocketStream>(s, cancel_);
    }

    SocketsStarted started_;
    std::shared_ptr<CancelToken> cancel_;
};

}  // namespace

void CancelToken::cancel() {
    std::lock_guard<std::mutex> lock(mutex_);
    cancelled_.store(true, std::memory_order_release);
    for (auto& entry : shuts_) entry.second();
}

std::size_t CancelToken::onCancel(std::function<void()> shut) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (cancelled_.load(std::memory_order_acquire)) shut();
    shuts_.emplace(next_, std::move(shut));
    return next_++;
}

void CancelToken::forget(std::size_t key) {
    std::lock_guard<std::mutex> lock(mutex_);
    shuts_.erase(key);
}

bool runWithin(std::function<void()> work, int timeoutMs, const CancelToken* cancel) {
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
    };
    auto shared = std::make_shared<Shared>();
    try {
        std::thread([shared, work = std::move(work)] {
            try {
                work();
            } catch (...) {
                // Nobody is left to tell.
            }
            std::lock_guard<std::mutex> lock(shared->mutex);
            shared->finished = true;
            shared->done.notify_all();
        }).detach();
    } catch (...) {
        return false;  // no thread
    }
    std::unique_lock<std::mutex> lock(shared->mutex);
    return waitCancellable(cancel, timeoutMs, [&](int ms) {
        return shared->done.wait_for(lock, std::chrono::milliseconds(ms), [&] { return shared->finished; }) ? 1 : 0;
    });
}

std::unique_ptr<Network> makePlatformNetwork(std::shared_ptr<CancelToken> cancel) {
    return std::make_unique<SocketNetwork>(std::move(cancel));
}

}  // namespace hs
