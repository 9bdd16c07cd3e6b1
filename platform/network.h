// TCP connections whose every wait is bounded by the caller: connecting,
// sending, receiving and accepting each take a timeout, so a peer that
// stops answering costs at most that long. IPv4 and host names (resolved
// by the system, within the connection's timeout too). Used by the web and
// FTP clients.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace hs {

// What receive() returns besides a byte count.
constexpr long kNetClosed = 0;     // the peer closed the connection
constexpr long kNetError = -1;     // the connection failed
constexpr long kNetTimedOut = -2;  // nothing came within the timeout

// Ends every connection of a network at once, for the end of the program:
// cancel() shuts the registered sockets down, so a wait on them returns at
// once, and every later connect, accept or wait of that network fails.
class CancelToken {
public:
    void cancel();
    bool cancelled() const { return cancelled_.load(std::memory_order_acquire); }

    // Runs `shut` at cancel(), or at once when that came already; returns
    // the key for forget(). After forget() returns, `shut` is not running
    // and never runs.
    std::size_t onCancel(std::function<void()> shut);
    void forget(std::size_t key);

private:
    std::mutex mutex_;
    std::atomic<bool> cancelled_{false};
    std::size_t next_ = 0;
    std::map<std::size_t, std::function<void()>> shuts_;
};

class TcpStream {
public:
    virtual ~TcpStream() = default;

    // Sends every byte; false when the connection failed or no byte could
    // be sent for `timeoutMs`.
    virtual bool sendAll(const char* data, std::size_t size, int timeoutMs) = 0;
    bool sendAll(const std::string& text, int timeoutMs) { return sendAll(text.data(), text.size(), timeoutMs); }

    // Up to `size` bytes as soon as some came: their number, kNetClosed,
    // kNetError or kNetTimedOut.
    virtual long receive(char* buffer, std::size_t size, int timeoutMs) = 0;

    // This end's IPv4 address, dotted ("127.0.0.1"); "" when unknown.
    virtual std::string localAddress() const = 0;
    // The other end's IPv4 address, dotted; "" when unknown.
    virtual std::string peerAddress() const { return std::string(); }
};

class TcpListener {
public:
    virtual ~TcpListener() = default;
    // The port it listens on.
    virtual int port() const = 0;
    // The first connection within `timeoutMs`, or null.
    virtual std::unique_ptr<TcpStream> accept(int timeoutMs) = 0;
};

class Network {
public:
    virtual ~Network() = default;

    // A connection to host:port made within `timeoutMs`, or null with a
    // short reason in `error`.
    virtual std::unique_ptr<TcpStream> connect(const std::string& host, int port, int timeoutMs,
                                               std::string& error) = 0;

    // A listener on an ephemeral port of the local IPv4 address `address`
    // (the address a connection of ours uses), or null.
    virtual std::unique_ptr<TcpListener> listen(const std::string& address) = 0;
};

// Runs `work` on a helper thread and waits at most `timeoutMs` for it: true
// when it finished in time. Past the time the helper is left to finish by
// itself, so `work` must own (share) everything it touches. The system's
// host lookup, which takes no timeout, runs this way. A cancelled token
// ends the wait too (false).
bool runWithin(std::function<void()> work, int timeoutMs, const CancelToken* cancel = nullptr);

// The platform's sockets (Windows Sockets or BSD sockets). With a token,
// cancelling it ends every connection and wait of this network within
// kCancelCheckMs at most (the sockets themselves at once).
std::unique_ptr<Network> makePlatformNetwork(std::shared_ptr<CancelToken> cancel = nullptr);

// How often a wait that has no socket to be woken by (a connection being
// made, a listener, a host lookup) looks at its network's token.
constexpr int kCancelCheckMs = 50;

}  // namespace hs
