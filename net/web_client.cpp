#include "net/web_client.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace hs {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kPieceSize = 8192;
constexpr std::size_t kMaxLine = 8192;         // one header or chunk-size line
constexpr std::size_t kMaxHeadBytes = 65536;   // all header lines of one answer
constexpr int kMaxHeadLines = 200;
constexpr int kMaxInterimAnswers = 5;          // 1xx answers before the real one

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string trim(const std::string& s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

// The connection of one request with its bounds: every wait for bytes is at
// most the idle bound and never past the deadline of the retrieval.
class Connection {
public:
    Connection(std::unique_ptr<TcpStream> stream, int idleMs, Clock::time_point deadline)
        : stream_(std::move(stream)), idleMs_(idleMs), deadline_(deadline) {}

    int waitMs() const {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
        if (left <= 0) return 0;
        return static_cast<int>(std::min<long long>(left, idleMs_));
    }

    bool send(const std::string& text) {
        const int wait = waitMs();
        return wait > 0 && stream_->sendAll(text, wait);
    }

    // More bytes into the buffer: their number, kNetClosed, or less than 0.
    long fill() {
        if (pos_ == buffer_.size()) {
            buffer_.clear();
            pos_ = 0;
        }
        const int wait = waitMs();
        if (wait <= 0) return kNetTimedOut;
        char piece[kPieceSize];
        const long got = stream_->receive(piece, sizeof piece, wait);
        if (got > 0) buffer_.append(piece, static_cast<std::size_t>(got));
        return got;
    }

    std::size_t available() const { return buffer_.size() - pos_; }

    // The connection itself, once nothing read is left over.
    std::unique_ptr<TcpStream> release() { return available() == 0 ? std::move(stream_) : nullptr; }

    std::size_t take(char* out, std::size_t n) {
        n = std::min(n, available());
        std::memcpy(out, buffer_.data() + pos_, n);
        pos_ += n;
        return n;
    }

    // One line without its line end ("\r\n" or "\n"); false when the
    // connection ends or fails first, or the line is longer than `limit`.
    bool readLine(std::string& line, std::size_t limit) {
        std::size_t scanned = pos_;
        for (;;) {
            const std::size_t lf = buffer_.find('\n', scanned);
            if (lf != std::string::npos) {
                if (lf - pos_ > limit) return false;
                line.assign(buffer_, pos_, lf - pos_);
                if (!line.empty() && line.back() == '\r') line.pop_back();
                pos_ = lf + 1;
                return true;
            }
            if (available() > limit) return false;
            scanned = buffer_.size();
            // fill() drops the buffer only when it is used up; keep the
            // partial line by moving it to the front first.
            buffer_.erase(0, pos_);
            scanned -= pos_;
            pos_ = 0;
            if (fill() <= 0) return false;
        }
    }

private:
    std::unique_ptr<TcpStream> stream_;
    int idleMs_;
    Clock::time_point deadline_;
    std::string buffer_;
    std::size_t pos_ = 0;
};

enum class Framing { Length, Chunked, UntilClose };

struct Head {
    int status = 0;
    std::string location;
    Framing framing = Framing::UntilClose;
    uint64_t length = 0;
};

bool parseLength(const std::string& value, uint64_t& length) {
    // A list of equal values ("12, 12") counts as one.
    bool any = false;
    std::size_t start = 0;
    while (start <= value.size()) {
        std::size_t comma = value.find(',', start);
        if (comma == std::string::npos) comma = value.size();
        const std::string item = trim(value.substr(start, comma - start));
        if (item.empty() || item.size() > 18) return false;
        uint64_t v = 0;
        for (const char c : item) {
            if (!std::isdigit(static_cast<unsigned char>(c))) return false;
            v = v * 10 + static_cast<uint64_t>(c - '0');
        }
        if (any && v != length) return false;
        length = v;
        any = true;
        start = comma + 1;
    }
    return any;
}

bool readHead(Connection& conn, Head& head, std::string& error) {
    for (int interim = 0; interim <= kMaxInterimAnswers; ++interim) {
        head = Head{};
        std::string line;
        if (!conn.readLine(line, kMaxLine)) {
            error = "no answer";
            return false;
        }
        // "HTTP/1.x NNN reason"
        if (line.size() < 12 || line.compare(0, 7, "HTTP/1.") != 0 || line[8] != ' ' ||
            !std::isdigit(static_cast<unsigned char>(line[9])) || !std::isdigit(static_cast<unsigned char>(line[10])) ||
            !std::isdigit(static_cast<unsigned char>(line[11]))) {
            error = "not an HTTP answer";
            return false;
        }
        head.status = (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');

        bool haveLength = false;
        bool chunked = false;
        bool otherCoding = false;
        std::size_t headBytes = 0;
        for (int count = 0;; ++count) {
            if (count > kMaxHeadLines || !conn.readLine(line, kMaxLine)) {
                error = "broken answer head";
                return false;
            }
            headBytes += line.size();
            if (headBytes > kMaxHeadBytes) {
                error = "answer head too long";
                return false;
            }
            if (line.empty()) break;
            // An obsolete folded line would continue the header above it;
            // read as a header of its own it could hide a framing
            // ("Transfer-Encoding:" + " chunked"). Such an answer is broken.
            if (line[0] == ' ' || line[0] == '\t') {
                error = "folded header line";
                return false;
            }
            const std::size_t colon = line.find(':');
            if (colon == std::string::npos) continue;
            const std::string name = lower(trim(line.substr(0, colon)));
            const std::string value = trim(line.substr(colon + 1));
            if (name == "content-length") {
                uint64_t length = 0;
                if (!parseLength(value, length) || (haveLength && length != head.length)) {
                    error = "bad Content-Length";
                    return false;
                }
                head.length = length;
                haveLength = true;
            } else if (name == "transfer-encoding") {
                // The last coding decides whether the body is chunked.
                std::string codings = lower(value);
                const std::size_t comma = codings.rfind(',');
                const std::string last = trim(comma == std::string::npos ? codings : codings.substr(comma + 1));
                chunked = last == "chunked";
                otherCoding = !chunked;
            } else if (name == "location") {
                head.location = value;
            }
        }
        if (head.status >= 100 && head.status < 200) {
            if (head.status == 101) {
                error = "protocol switch refused";
                return false;
            }
            continue;  // an interim answer; the real one follows
        }
        if (head.status == 204 || head.status == 304) {
            head.framing = Framing::Length;
            head.length = 0;
        } else if (chunked) {
            head.framing = Framing::Chunked;
        } else if (otherCoding) {
            head.framing = Framing::UntilClose;
        } else if (haveLength) {
            head.framing = Framing::Length;
        } else {
            head.framing = Framing::UntilClose;
        }
        return true;
    }
    error = "too many interim answers";
    return false;
}

// The body of an answer, read from the connection as it is asked for.
class HttpBody final : public ContentSource {
public:
    HttpBody(std::unique_ptr<Connection> conn, const Head& head)
        : conn_(std::move(conn)), framing_(head.framing), left_(head.length) {}

    long read(char* buf, std::size_t n) override {
        if (failed_) return -1;
        if (done_ || n == 0) return 0;
        n = std::min(n, kPieceSize);
        switch (framing_) {
            case Framing::Length:
                if (left_ == 0) return end();
                break;
            case Framing::Chunked:
                if (left_ == 0) {
                    if (!nextChunk()) return fail();
                    if (done_) return 0;
                }
                break;
            case Framing::UntilClose:
                break;
        }
        if (conn_->available() == 0) {
            const long got = conn_->fill();
            if (got == kNetClosed && framing_ == Framing::UntilClose) return end();
            if (got <= 0) return fail();
        }
        if (framing_ != Framing::UntilClose) n = static_cast<std::size_t>(std::min<uint64_t>(n, left_));
        const std::size_t taken = conn_->take(buf, n);
        if (framing_ != Framing::UntilClose) left_ -= taken;
        return static_cast<long>(taken);
    }

private:
    long end() {
        done_ = true;
        conn_.reset();
        return 0;
    }
    long fail() {
        failed_ = true;
        conn_.reset();
        return -1;
    }

    // Reads the next chunk's size line (after the previous chunk's line
    // end); at the last chunk, the trailer lines too.
    bool nextChunk() {
        std::string line;
        if (!firstChunk_ && (!conn_->readLine(line, kMaxLine) || !line.empty())) return false;
        firstChunk_ = false;
        if (!conn_->readLine(line, kMaxLine)) return false;
        const std::string size = trim(line.substr(0, line.find(';')));
        if (size.empty() || size.size() > 15) return false;
        uint64_t value = 0;
        for (const char c : size) {
            if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
            const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::tolower(c) - 'a' + 10);
            value = value * 16 + static_cast<uint64_t>(digit);
        }
        if (value > 0) {
            left_ = value;
            return true;
        }
        // The last chunk: trailer lines up to an empty one. The body is
        // complete, so a connection closed instead of the empty line is
        // taken as its end.
        for (int count = 0; count <= kMaxHeadLines; ++count) {
            if (!conn_->readLine(line, kMaxLine) || line.empty()) {
                end();
                return true;
            }
        }
        return false;
    }

    std::unique_ptr<Connection> conn_;
    Framing framing_;
    uint64_t left_;
    bool firstChunk_ = true;
    bool done_ = false;
    bool failed_ = false;
};

bool isRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool wildcardMatch(const std::string& pattern, const std::string& text) {
    // Iterative '*' matching with one back-tracking point.
    std::size_t p = 0, t = 0, star = std::string::npos, mark = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = t;
        } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (star != std::string::npos) {
            p = star + 1;
            t = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::string withoutScheme(const std::string& s) {
    const std::size_t scheme = s.find("://");
    return scheme == std::string::npos ? s : s.substr(scheme + 3);
}

}  // namespace

ProxyRoute proxyRouteFor(const SystemProxy& proxy, const WebUrl& url) {
    ProxyRoute route;
    if (!proxy.enabled) return route;
    const std::string host = lower(url.host);
    std::size_t start = 0;
    while (start <= proxy.bypass.size()) {
        std::size_t end = proxy.bypass.find_first_of("; ", start);
        if (end == std::string::npos) end = proxy.bypass.size();
        const std::string item = lower(trim(proxy.bypass.substr(start, end - start)));
        if (item == "<local>" ? host.find('.') == std::string::npos
                              : !item.empty() && wildcardMatch(withoutScheme(item), host)) {
            return route;
        }
        start = end + 1;
    }
    // "host:port" for every scheme, or "scheme=host:port" entries.
    std::string chosen;
    bool socks = false;
    start = 0;
    while (start <= proxy.server.size()) {
        std::size_t end = proxy.server.find(';', start);
        if (end == std::string::npos) end = proxy.server.size();
        const std::string item = trim(proxy.server.substr(start, end - start));
        const std::size_t equals = item.find('=');
        if (equals == std::string::npos) {
            if (chosen.empty()) chosen = item;
        } else {
            const std::string scheme = lower(trim(item.substr(0, equals)));
            if (scheme == (url.https ? "https" : "http")) chosen = trim(item.substr(equals + 1));
            socks = socks || (scheme == "socks" && !trim(item.substr(equals + 1)).empty());
        }
        start = end + 1;
    }
    if (chosen.empty() && socks) {
        route.refused = true;
        return route;
    }
    WebUrl server;
    if (chosen.empty() || !parseWebUrl("http://" + withoutScheme(chosen), server)) return route;
    route.use = true;
    route.host = server.host;
    route.port = server.port;
    return route;
}

WebBounds webBounds() {
    WebBounds bounds;
    static_cast<NetBounds&>(bounds) = netBounds();
    return bounds;
}

WebClient::WebClient(std::shared_ptr<Network> network, TlsStarter tls, std::string agent, WebBounds bounds)
    : network_(std::move(network)), tls_(std::move(tls)), agent_(std::move(agent)), bounds_(bounds) {}

std::unique_ptr<ContentSource> WebClient::open(const WebRequest& request, std::string& error) const {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(bounds_.totalMs);
    auto msLeft = [&] {
        return static_cast<int>(std::max<long long>(
            0, std::min<long long>(INT32_MAX, std::chrono::duration_cast<std::chrono::milliseconds>(
                                                  deadline - Clock::now()).count())));
    };

    WebUrl url;
    if (!parseWebUrl(request.location, url)) {
        error = "not an http or https location";
        return nullptr;
    }
    const WebUrl origin = url;
    std::string credentials;
    if (request.withAccount) {
        credentials = request.userName + ":" + request.password;
    } else if (url.hasUserInfo) {
        credentials = url.user + ":" + url.password;
    }

    const SystemProxy proxy = proxySource_ ? proxySource_() : SystemProxy{};
    for (int redirects = 0;;) {
        const ProxyRoute route = proxyRouteFor(proxy, url);
        if (route.refused) {
            error = "only a SOCKS proxy is set, which is not supported";
            return nullptr;
        }
        // The network bounds the host lookup by the same timeout.
        const int connectMs = std::min(bounds_.connectMs, msLeft());
        if (connectMs <= 0) {
            error = "time is up";
            return nullptr;
        }
        auto tcp = network_->connect(route.use ? route.host : url.host, route.use ? route.port : url.port, connectMs,
                                     error);
        if (!tcp) return nullptr;
        if (url.https && route.use) {
            // A tunnel through the proxy; TLS runs end to end inside it.
            Connection tunnel(std::move(tcp), bounds_.idleMs, deadline);
            const std::string authority = url.host + ":" + std::to_string(url.port);
            Head head;
            if (!tunnel.send("CONNECT " + authority + " HTTP/1.1\r\nHost: " + authority + "\r\nUser-Agent: " +
                             agent_ + "\r\n\r\n") ||
                !readHead(tunnel, head, error)) {
                if (error.empty()) error = "proxy did not answer";
                return nullptr;
            }
            tcp = head.status / 100 == 2 ? tunnel.release() : nullptr;
            if (!tcp) {
                error = "proxy refused the tunnel";
                return nullptr;
            }
        }
        if (url.https) {
            if (!tls_) {
                error = "no TLS";
                return nullptr;
            }
            tcp = tls_(std::move(tcp), url.host, bounds_.idleMs, deadline, error);
            if (!tcp) return nullptr;
        }
        auto conn = std::make_unique<Connection>(std::move(tcp), bounds_.idleMs, deadline);

        // Through a proxy, plain http names the whole URL.
        const std::string target =
            route.use && !url.https ? "http://" + url.hostHeader() + url.target : url.target;
        std::string text = "GET " + target + " HTTP/1.1\r\nHost: " + url.hostHeader() +
                           "\r\nUser-Agent: " + agent_ +
                           "\r\nAccept: */*\r\nCache-Control: no-cache\r\nPragma: no-cache\r\n";
        if (!credentials.empty() && url.sameOrigin(origin)) {
            text += "Authorization: Basic " + base64Encode(credentials) + "\r\n";
        }
        text += "Connection: close\r\n\r\n";
        if (!conn->send(text)) {
            error = "request not sent";
            return nullptr;
        }

        Head head;
        if (!readHead(*conn, head, error)) return nullptr;
        if (isRedirect(head.status) && !head.location.empty()) {
            if (++redirects > bounds_.maxRedirects) {
                error = "too many redirections";
                return nullptr;
            }
            WebUrl next;
            if (!resolveLocation(url, head.location, next)) {
                error = "bad redirection";
                return nullptr;
            }
            url = next;
            continue;
        }
        return std::make_unique<HttpBody>(std::move(conn), head);
    }
}

}  // namespace hs
