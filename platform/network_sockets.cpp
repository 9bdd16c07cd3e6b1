// Network over the system's sockets. Windows Sockets and BSD sockets differ
// only in a few names, bridged below; every wait is a select() with the
// caller's timeout on a non-blocking socket.
#include "platform/network.h"

#include <chrono>
#include <cstring>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/select.h>
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

// Waits until `s` can be read (or written); false on a timeout or failure.
bool waitFor(Socket s, bool forWrite, int timeoutMs) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv{};
    tv.tv_sec = timeoutMs / 1000;
    tv.tv_usec = (timeoutMs % 1000) * 1000;
    const int ready = ::select(static_cast<int>(s + 1), forWrite ? nullptr : &set, forWrite ? &set : nullptr,
                               nullptr, &tv);
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
    return ::select(static_cast<int>(s + 1), nullptr, &writable, &failed, &tv) > 0;
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
        char text[INET_ADDRSTRLEN] = {};
        if (::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text) == nullptr) return std::string();
        return text;
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
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        const std::string service = std::to_string(port);
        if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 || found == nullptr) {
            error = "host not found";
            return nullptr;
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        std::unique_ptr<TcpStream> stream;
        error = "connection failed";
        for (addrinfo* a = found; a != nullptr && !stream; a = a->ai_next) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now()).count();
            if (left <= 0) {
                error = "connection timed out";
                break;
            }
            stream = connectTo(*a, static_cast<int>(left), error);
        }
        ::freeaddrinfo(found);
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
    static std::unique_ptr<TcpStream> connectTo(const addrinfo& a, int timeoutMs, std::string& error) {
        const Socket s = ::socket(a.ai_family, a.ai_socktype, a.ai_protocol);
        if (s == kNoSocket) return nullptr;
        if (!setNonBlocking(s)) {
            closeSocket(s);
            return nullptr;
        }
        if (::connect(s, a.ai_addr, static_cast<socklen_t>(a.ai_addrlen)) != 0) {
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

std::unique_ptr<Network> makePlatformNetwork() {
    return std::make_unique<SocketNetwork>();
}

}  // namespace hs
