// Network over the system's sockets. Windows Sockets and BSD sockets differ
// only in a few names, bridged below; every wait is a select() (Windows,
// whose fd_set is a list of sockets) or a poll() (elsewhere, where select()
// cannot take a descriptor beyond FD_SETSIZE) with the caller's timeout on a
// non-blocking socket.
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
bool setNonBlocking(Socket s) {
    u_long on = 1;
    return ::ioctlsocket(s, FIONBIO, &on) == 0;
}
bool connectPending() { return ::WSAGetLastError() == WSAEWOULDBLOCK; }
bool wouldBlock() { return ::WSAGetLastError() == WSAEWOULDBLOCK; }
constexpr int kSendFlags = 0;

// The program starts Windows Sockets itself; this keeps the sockets usable
// by any other user of the network (tests, tools) as well.
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
// Waits until `s` can be read (or written); false on a timeout or failure.
bool waitFor(Socket s, bool forWrite, int timeoutMs) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv{};
    tv.tv_sec = timeoutMs / 1000;
    tv.tv_usec = (timeoutMs % 1000) * 1000;
    const int ready = ::select(0, forWrite ? nullptr : &set, forWrite ? &set : nullptr, nullptr, &tv);
    return ready > 0;
}

// Waits until a connection being made is made or has failed; false on a
// timeout. Windows Sockets report a failed connection in the exception set
// only, so without it a refused connection would wait for the timeout.
bool waitConnected(Socket s, int timeoutMs) {
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval tv{};
    tv.tv_sec = timeoutMs / 1000;
    tv.tv_usec = (timeoutMs % 1000) * 1000;
    return ::select(0, nullptr, &writable, &failed, &tv) > 0;
}
#else
bool waitFor(Socket s, bool forWrite, int timeoutMs) {
    pollfd one{};
    one.fd = s;
    one.events = forWrite ? POLLOUT : POLLIN;
    return ::poll(&one, 1, timeoutMs) > 0;
}

// A failed connection shows as POLLERR or POLLHUP beside POLLOUT.
bool waitConnected(Socket s, int timeoutMs) { return waitFor(s, true, timeoutMs); }
#endif

std::string dotted(const sockaddr_in& address) {
    char text[INET_ADDRSTRLEN] = {};
    if (::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text) == nullptr) return std::string();
    return text;
}

// The IPv4 addresses of `host`, found within `timeoutMs`. The system
// resolver takes no timeout, so a name (not a dotted address) is looked up
// on a helper thread (runWithin).
bool resolve(const std::string& host, int port, int timeoutMs, std::vector<sockaddr_in>& found,
             std::string& error) {
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
        timeoutMs);
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

class SocketStream final : public TcpStream {
public:
    explicit SocketStream(Socket s) : s_(s) {}
    ~SocketStream() override { closeSocket(s_); }

    bool sendAll(const char* data, std::size_t size, int timeoutMs) override {
        while (size > 0) {
            const int chunk = static_cast<int>(size > 65536 ? 65536 : size);
            const auto sent = ::send(s_, data, chunk, kSendFlags);
            if (sent > 0) {
                data += sent;
                size -= static_cast<std::size_t>(sent);
                continue;
            }
            if (sent < 0 && wouldBlock() && waitFor(s_, true, timeoutMs)) continue;
            return false;
        }
        return true;
    }

    long receive(char* buffer, std::size_t size, int timeoutMs) override {
        if (size == 0) return kNetError;
        const int want = static_cast<int>(size > 65536 ? 65536 : size);
        for (;;) {
            const auto got = ::recv(s_, buffer, want, 0);
            if (got > 0) return static_cast<long>(got);
            if (got == 0) return kNetClosed;
            if (!wouldBlock()) return kNetError;
            if (!waitFor(s_, false, timeoutMs)) return kNetTimedOut;
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
    Socket s_;
};

class SocketListener final : public TcpListener {
public:
    SocketListener(Socket s, int port) : s_(s), port_(port) {}
    ~SocketListener() override { closeSocket(s_); }

    int port() const override { return port_; }

    std::unique_ptr<TcpStream> accept(int timeoutMs) override {
        if (!waitFor(s_, false, timeoutMs)) return nullptr;
        const Socket s = ::accept(s_, nullptr, nullptr);
        if (s == kNoSocket) return nullptr;
        if (!setNonBlocking(s)) {
            closeSocket(s);
            return nullptr;
        }
        return std::make_unique<SocketStream>(s);
    }

private:
    Socket s_;
    int port_;
};

class SocketNetwork final : public Network {
public:
    std::unique_ptr<TcpStream> connect(const std::string& host, int port, int timeoutMs,
                                       std::string& error) override {
        if (!started_.ok) {
            error = "sockets unavailable";
            return nullptr;
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        std::vector<sockaddr_in> found;
        if (!resolve(host, port, timeoutMs, found, error)) return nullptr;
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
            if (stream) break;
        }
        return stream;
    }

    std::unique_ptr<TcpListener> listen(const std::string& address) override {
        if (!started_.ok) return nullptr;
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
        return std::make_unique<SocketListener>(s, ntohs(local.sin_port));
    }

private:
    static std::unique_ptr<TcpStream> connectTo(const sockaddr_in& a, int timeoutMs, std::string& error) {
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
            if (!waitConnected(s, timeoutMs)) {
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
        return std::make_unique<SocketStream>(s);
    }

    SocketsStarted started_;
};

}  // namespace

bool runWithin(std::function<void()> work, int timeoutMs) {
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
    return shared->done.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return shared->finished; });
}

std::unique_ptr<Network> makePlatformNetwork() {
    return std::make_unique<SocketNetwork>();
}

}  // namespace hs
