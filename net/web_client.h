// The web client: one fresh HTTP/1.1 GET per retrieval over the bounded
// sockets of platform/network.h (TLS through platform/tls.h for https).
//
// Every request asks the origin server itself (no cache, Cache-Control and
// Pragma "no-cache"), through the system's proxy when it names one, carries the application title as User-Agent, closes
// its connection after the answer and sends the document's account as
// Basic credentials. Redirections (301, 302, 303, 307, 308) are followed,
// between http and https in either direction; credentials go only to the
// scheme, host and port of the document's own location, so a redirection
// elsewhere, or down to plain http, never carries the password. The HTTP
// status is not looked at: whatever body answers is the content.
//
// Bounds: a connection made within connectMs, never idleMs without a byte
// from the server (before the answer, in the TLS handshake, in the body),
// at most maxRedirects redirections, and the whole retrieval, body included,
// within totalMs. Past any bound the retrieval fails.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "net/content_source.h"
#include "net/net_bounds.h"
#include "net/web_url.h"
#include "platform/network.h"
#include "platform/proxy_settings.h"

namespace hs {

// The network bounds of every client, and how many redirections are
// followed.
struct WebBounds : NetBounds {
    int maxRedirects = 10;
};

// The bounds of the program: netBounds() (the defaults, or what the tests
// set through HS_TEST_NET_BOUNDS) with the redirection limit.
WebBounds webBounds();

// Where a request goes when the system names a proxy: plain http through
// the proxy in absolute form, https through a CONNECT tunnel. Hosts that
// the bypass list names go directly. A SOCKS proxy ("socks=host:port") is
// not spoken here: a request that only it would carry is refused rather
// than sent directly past the proxy the user set.
struct ProxyRoute {
    bool use = false;
    bool refused = false;
    std::string host;
    int port = 0;
};
ProxyRoute proxyRouteFor(const SystemProxy& proxy, const WebUrl& url);

// Starts TLS over a connection (platform/tls.h's startTls in the program).
using TlsStarter = std::function<std::unique_ptr<TcpStream>(
    std::unique_ptr<TcpStream>, const std::string& serverName, int idleMs,
    std::chrono::steady_clock::time_point deadline, std::string& error)>;

class WebClient {
public:
    WebClient(std::shared_ptr<Network> network, TlsStarter tls, std::string agent, WebBounds bounds);

    // Sends the request and reads the answer's head, following redirections.
    // The body comes as a source of pieces of at most 8192 bytes, read from
    // the connection as they are asked for; it fails (read() < 0) when the
    // connection breaks before the announced end or a bound runs out. Null,
    // with a short reason in `error`, when no answer came.
    std::unique_ptr<ContentSource> open(const WebRequest& request, std::string& error) const;

    const WebBounds& bounds() const { return bounds_; }

    // The system's proxy settings, asked for at every request; without a
    // source every request goes directly.
    void setProxySource(std::function<SystemProxy()> source) { proxySource_ = std::move(source); }

private:
    std::function<SystemProxy()> proxySource_;
    std::shared_ptr<Network> network_;
    TlsStarter tls_;
    std::string agent_;
    WebBounds bounds_;
};

}  // namespace hs
