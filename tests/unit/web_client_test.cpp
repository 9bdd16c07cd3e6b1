// The web client against a server of our own on 127.0.0.1: what a request
// carries, the three ways a body is framed, redirections, and every bound a
// hostile server runs into. Then the web path in a check: a failed body
// leaves the kept content as it was and no temporary file behind.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "catalogue/catalogue.h"
#include "check/check_worker.h"
#include "net/web_client.h"
#include "check/web_retrieval.h"
#include "engine_test_support.h"
#include "platform/network.h"
#include "test_support.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/select.h>
#include <unistd.h>
#endif

namespace hs {
namespace {

using Clock = std::chrono::steady_clock;
using Handler = std::function<void(TcpStream&, const std::string& request, int index)>;

// Serves one connection at a time: reads the request head, then lets the
// handler answer. Handlers that stall poll `stopping()`.
class FakeServer {
public:
    explicit FakeServer(Handler handler)
        : network_(makePlatformNetwork()), listener_(network_->listen("127.0.0.1")), handler_(std::move(handler)) {
        thread_ = std::thread([this] { serve(); });
    }
    ~FakeServer() {
        stop_ = true;
        thread_.join();
    }
    int port() const { return listener_->port(); }
    std::string url(const std::string& path = "/") const {
        return "http://127.0.0.1:" + std::to_string(port()) + path;
    }
    std::vector<std::string> requests() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }
    bool stopping() const { return stop_; }

private:
    void serve() {
        int index = 0;
        while (!stop_) {
            auto s = listener_->accept(20);
            if (!s) continue;
            std::string request;
            char c;
            while (request.find("\r\n\r\n") == std::string::npos && s->receive(&c, 1, 2000) == 1) request += c;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(request);
            }
            handler_(*s, request, index++);
        }
    }

    std::unique_ptr<Network> network_;
    std::unique_ptr<TcpListener> listener_;
    Handler handler_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> requests_;
};

// Waits, sending nothing, until the client goes away or the test ends.
void holdSilent(TcpStream& s, const FakeServer& server) {
    char c;
    while (!server.stopping() && s.receive(&c, 1, 20) == kNetTimedOut) {
    }
}

void answer(TcpStream& s, const std::string& text) { s.sendAll(text, 2000); }

constexpr WebBounds kShort{2000, 300, 1500, 10};

std::unique_ptr<ContentSource> open(const std::string& url, std::string* error = nullptr,
                                    WebRequest request = {}) {
    WebClient client(makePlatformNetwork(), nullptr, "Tarnwell (QVR) - Halvorsight", kShort);
    request.location = url;
    std::string e;
    auto body = client.open(request, e);
    if (error) *error = e;
    return body;
}

// The whole body, or "<failed>" with what came before it.
std::string readAll(ContentSource& body, std::size_t* largestPiece = nullptr) {
    std::string all;
    std::vector<char> buf(20000);
    for (;;) {
        const long got = body.read(buf.data(), buf.size());
        if (got < 0) return all + "<failed>";
        if (got == 0) return all;
        if (largestPiece) *largestPiece = std::max(*largestPiece, static_cast<std::size_t>(got));
        all.append(buf.data(), static_cast<std::size_t>(got));
    }
}

TEST(WebClient, RequestCarriesAgentNoCacheAndTheAccountAsBasicCredentials) {
    const std::string big(20000, 'x');
    FakeServer server([&](TcpStream& s, const std::string&, int) {
        answer(s, "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 404 Not Found\r\nContent-Length: 20000\r\n\r\n" + big);
        holdSilent(s, server);
    });
    WebRequest account;
    account.withAccount = true;
    account.userName = "ann@corp";
    account.password = "p:a/s@s";
    auto body = open(server.url("/dir/page.html?x=1"), nullptr, account);
    ASSERT_TRUE(body);
    std::size_t largest = 0;
    EXPECT_EQ(readAll(*body, &largest), big);  // a 404 page is content
    EXPECT_LE(largest, 8192u);

    const std::string request = server.requests().at(0);
    EXPECT_EQ(request.substr(0, request.find("\r\n")), "GET /dir/page.html?x=1 HTTP/1.1");
    for (const std::string& line :
         {"Host: 127.0.0.1:" + std::to_string(server.port()), std::string("User-Agent: Tarnwell (QVR) - Halvorsight"),
          std::string("Cache-Control: no-cache"), std::string("Pragma: no-cache"),
          std::string("Connection: close"), "Authorization: Basic " + base64Encode("ann@corp:p:a/s@s")}) {
        EXPECT_NE(request.find("\r\n" + line + "\r\n"), std::string::npos) << line;
    }
}

TEST(WebClient, ChunkedAndUntilCloseBodies) {
    FakeServer server([&](TcpStream& s, const std::string& request, int) {
        if (request.find("/chunked") != std::string::npos) {
            // Pieces that split the size lines and the data anywhere.
            for (const char* piece : {"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\n\r\n5;ext=1\r", "\nhel",
                                      "lo\r\n1", "0\r\n", "0123456789abcdef\r\n0\r\nX-Trailer: 1\r\n\r\n"}) {
                answer(s, piece);
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            holdSilent(s, server);
        } else if (request.find("/close") != std::string::npos) {
            answer(s, "HTTP/1.0 200 OK\r\n\r\nline one\nline two\n");
        } else if (request.find("/badchunk") != std::string::npos) {
            answer(s, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n10\r\nshort");
        } else {
            answer(s, "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nshort");  // closed early
        }
    });
    auto chunked = open(server.url("/chunked"));
    ASSERT_TRUE(chunked);
    EXPECT_EQ(readAll(*chunked), "hello0123456789abcdef");
    auto untilClose = open(server.url("/close"));
    ASSERT_TRUE(untilClose);
    EXPECT_EQ(readAll(*untilClose), "line one\nline two\n");
    // A body that ends before its announced end is no content.
    auto badChunk = open(server.url("/badchunk"));
    ASSERT_TRUE(badChunk);
    EXPECT_EQ(readAll(*badChunk), "short<failed>");
    auto truncated = open(server.url("/truncated"));
    ASSERT_TRUE(truncated);
    EXPECT_EQ(readAll(*truncated), "short<failed>");
}

TEST(WebClient, RedirectionsAreFollowedTenTimesAndCredentialsStayWithTheirOrigin) {
    FakeServer elsewhere([&](TcpStream& s, const std::string&, int) {
        answer(s, "HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nelsewhere");
    });
    FakeServer server([&](TcpStream& s, const std::string& request, int) {
        const std::string line = request.substr(0, request.find("\r\n"));
        const std::size_t at = line.find("/hop");
        if (line.find("/away") != std::string::npos) {
            answer(s, "HTTP/1.1 302 Found\r\nLocation: " + elsewhere.url("/there") + "\r\n\r\n");
        } else if (at != std::string::npos) {
            const int hop = std::stoi(line.substr(at + 4));
            if (hop > 0) {
                answer(s, "HTTP/1.1 " + std::string(hop % 2 ? "301" : "307") + " Moved\r\nLocation: hop" +
                              std::to_string(hop - 1) + "\r\nContent-Length: 3\r\n\r\nold");
            } else {
                answer(s, "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nhere");
            }
        }
    });
    auto ten = open(server.url("/a/hop10"));
    ASSERT_TRUE(ten);
    EXPECT_EQ(readAll(*ten), "here");
    EXPECT_EQ(server.requests().back().substr(0, 14), "GET /a/hop0 HT");

    std::string error;
    EXPECT_FALSE(open(server.url("/a/hop11"), &error));
    EXPECT_EQ(error, "too many redirections");

    WebRequest account;
    account.withAccount = true;
    account.userName = "u";
    account.password = "secret";
    auto moved = open(server.url("/away"), nullptr, account);
    ASSERT_TRUE(moved);
    EXPECT_EQ(readAll(*moved), "elsewhere");
    EXPECT_NE(server.requests().back().find("Authorization: Basic"), std::string::npos);
    EXPECT_EQ(elsewhere.requests().at(0).find("Authorization"), std::string::npos);
}

TEST(WebClient, HostileServersRunIntoTheBounds) {
    FakeServer server([&](TcpStream& s, const std::string& request, int) {
        const std::string line = request.substr(0, request.find("\r\n"));
        if (line.find("/silent") != std::string::npos) {
            holdSilent(s, server);
        } else if (line.find("/headers") != std::string::npos) {
            answer(s, "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nsome");
            holdSilent(s, server);
        } else if (line.find("/trickle") != std::string::npos) {
            answer(s, "HTTP/1.1 200 OK\r\n\r\n");
            while (!server.stopping() && s.sendAll("x", 200)) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        } else if (line.find("/endless") != std::string::npos) {
            answer(s, "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n");
            const std::string piece(4096, 'e');
            while (!server.stopping() && s.sendAll(piece, 200)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        } else if (line.find("/longhead") != std::string::npos) {
            answer(s, "HTTP/1.1 200 OK\r\nX-Long: " + std::string(10000, 'h') + "\r\n\r\n");
        } else if (line.find("/garbage") != std::string::npos) {
            answer(s, "SSH-2.0-Server\r\n\r\n");
        } else if (line.find("/folded") != std::string::npos) {
            answer(s, "HTTP/1.1 200 OK\r\nTransfer-Encoding:\r\n chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n");
        }  // anything else: closed without an answer
    });

    auto within = [](const std::function<void()>& f, int ms) {
        const auto start = Clock::now();
        f();
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        EXPECT_LT(took, ms);
        return took;
    };
    std::string error;
    // No answer within the idle bound.
    EXPECT_GE(within([&] { EXPECT_FALSE(open(server.url("/silent"), &error)); }, 1200), 250);
    // Headers, then silence in the body.
    within([&] {
        auto body = open(server.url("/headers"));
        ASSERT_TRUE(body);
        EXPECT_EQ(readAll(*body), "some<failed>");
    }, 1200);
    // A byte now and then never trips the idle bound, but the whole
    // retrieval's bound ends it; so does a body without end.
    for (const char* path : {"/trickle", "/endless"}) {
        const auto took = within([&] {
            auto body = open(server.url(path));
            ASSERT_TRUE(body);
            const std::string got = readAll(*body);
            EXPECT_EQ(got.substr(got.size() - 8), "<failed>") << path;
        }, 2500);
        EXPECT_GE(took, 1400) << path;
    }
    EXPECT_FALSE(open(server.url("/longhead"), &error));
    EXPECT_FALSE(open(server.url("/garbage"), &error));
    EXPECT_FALSE(open(server.url("/folded"), &error));
    EXPECT_FALSE(open(server.url("/closed"), &error));

    // The system's host lookup takes no timeout: it runs within the bound
    // and is left behind past it.
    within([&] { EXPECT_FALSE(runWithin([] { std::this_thread::sleep_for(std::chrono::milliseconds(400)); }, 50)); },
           300);
    EXPECT_TRUE(runWithin([] {}, 1000));

    // A port nobody listens on fails at once; https without TLS fails too.
    int freePort = 0;
    {
        auto listener = makePlatformNetwork()->listen("127.0.0.1");
        freePort = listener->port();
    }
    within([&] { EXPECT_FALSE(open("http://127.0.0.1:" + std::to_string(freePort) + "/", &error)); }, 1000);
    EXPECT_FALSE(open("https://127.0.0.1:" + std::to_string(server.port()) + "/", &error));
}

#ifndef _WIN32
// A connection whose descriptor lies past FD_SETSIZE is waited for like any
// other (select() would write beyond its set).
TEST(WebClient, DescriptorsPastFdSetSize) {
    rlimit limit{}, before{};
    getrlimit(RLIMIT_NOFILE, &before);
    limit = {std::min<rlim_t>(before.rlim_max, FD_SETSIZE + 64), before.rlim_max};
    if (limit.rlim_cur < FD_SETSIZE + 64 || setrlimit(RLIMIT_NOFILE, &limit) != 0) GTEST_SKIP() << "no descriptors";
    FakeServer server([&](TcpStream& s, const std::string&, int) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the client waits first
        answer(s, "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
    });
    std::vector<int> filler(FD_SETSIZE);
    for (int& fd : filler) fd = dup(0);
    auto body = open(server.url("/"));
    EXPECT_EQ(body ? readAll(*body) : "<none>", "ok");
    for (int fd : filler) close(fd);
    setrlimit(RLIMIT_NOFILE, &before);
}
#endif

TEST(WebProxy, RoutesFromTheSystemSettings) {
    auto route = [](const char* server, const char* bypass, const char* location) {
        SystemProxy proxy;
        proxy.enabled = true;
        proxy.server = server;
        proxy.bypass = bypass;
        WebUrl url;
        EXPECT_TRUE(parseWebUrl(location, url));
        const ProxyRoute r = proxyRouteFor(proxy, url);
        return r.refused ? "refused" : r.use ? r.host + ":" + std::to_string(r.port) : std::string("direct");
    };
    EXPECT_EQ(route("proxy:3128", "", "http://example.com/"), "proxy:3128");
    EXPECT_EQ(route("proxy:3128", "", "https://example.com/"), "proxy:3128");
    EXPECT_EQ(route("http=web:8080;https=tls:8443;ftp=f:21", "", "https://example.com/"), "tls:8443");
    EXPECT_EQ(route("http=web:8080", "", "https://example.com/"), "direct");
    EXPECT_EQ(route("socks=s:1080", "", "https://example.com/"), "refused");
    EXPECT_EQ(route("http=web:8080;socks=s:1080", "", "http://example.com/"), "web:8080");
    EXPECT_EQ(route("http://proxy", "", "http://example.com/"), "proxy:80");
    EXPECT_EQ(route("proxy:3128", "*.corp.example; <local>", "http://Intranet.CORP.example/"), "direct");
    EXPECT_EQ(route("proxy:3128", "*.corp.example;<local>", "http://wiki/"), "direct");
    EXPECT_EQ(route("proxy:3128", "127.0.0.*", "http://127.0.0.1:81/"), "direct");
    EXPECT_EQ(route("proxy:3128", "*.corp.example", "http://corp.example.org/"), "proxy:3128");
    SystemProxy off;
    off.server = "proxy:3128";
    WebUrl url;
    parseWebUrl("http://example.com/", url);
    EXPECT_FALSE(proxyRouteFor(off, url).use);
}

TEST(WebProxy, PlainRequestsNameTheWholeUrlAndHttpsGoesThroughATunnel) {
    FakeServer proxy([&](TcpStream& s, const std::string& request, int) {
        if (request.compare(0, 8, "CONNECT ") != 0) {
            answer(s, "HTTP/1.1 200 OK\r\nContent-Length: 7\r\n\r\nproxied");
            return;
        }
        if (request.find("refused.example") != std::string::npos) {
            answer(s, "HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n");
            return;
        }
        // The tunnel: what comes next is the client's (here unencrypted)
        // request to the origin.
        answer(s, "HTTP/1.1 200 Connection established\r\n\r\n");
        std::string inner;
        char c;
        while (inner.find("\r\n\r\n") == std::string::npos && s.receive(&c, 1, 2000) == 1) inner += c;
        answer(s, "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(inner.size()) + "\r\n\r\n" + inner);
    });
    std::string tlsName;
    // A stand-in for TLS that only notes the server name.
    TlsStarter tls = [&](std::unique_ptr<TcpStream> tcp, const std::string& name, int,
                         std::chrono::steady_clock::time_point, std::string&) {
        tlsName = name;
        return tcp;
    };
    WebClient client(makePlatformNetwork(), tls, "agent", kShort);
    client.setProxySource([&] {
        SystemProxy p;
        p.enabled = true;
        p.server = "127.0.0.1:" + std::to_string(proxy.port());
        return p;
    });
    std::string error;
    WebRequest request;
    request.location = "http://origin.example:8080/page?x";
    auto plain = client.open(request, error);
    ASSERT_TRUE(plain) << error;
    EXPECT_EQ(readAll(*plain), "proxied");
    const std::string sent = proxy.requests().back();
    EXPECT_EQ(sent.substr(0, sent.find("\r\n")), "GET http://origin.example:8080/page?x HTTP/1.1");
    EXPECT_NE(sent.find("\r\nHost: origin.example:8080\r\n"), std::string::npos);

    request.location = "https://secure.example/private";
    auto tunnelled = client.open(request, error);
    ASSERT_TRUE(tunnelled) << error;
    const std::string connect = proxy.requests().back();
    EXPECT_EQ(connect.substr(0, connect.find("\r\n")), "CONNECT secure.example:443 HTTP/1.1");
    EXPECT_EQ(tlsName, "secure.example");
    const std::string inner = readAll(*tunnelled);
    EXPECT_EQ(inner.substr(0, inner.find("\r\n")), "GET /private HTTP/1.1");

    request.location = "https://refused.example/";
    EXPECT_FALSE(client.open(request, error));
}

// The web path inside a check: text form for a page, and a body that breaks
// off leaves everything as it was.
class WebRetrieval : public test::WorkingDirTest {
protected:
    void SetUp() override {
        test::WorkingDirTest::SetUp();
        test::makeDataDir();
        slot = catalogue.appendRecord(test::testDocument("page", HtmlPage, NotChanged, server.url("/page")));
        auto client = std::make_shared<const WebClient>(makePlatformNetwork(), nullptr, "agent", kShort);
        paths.htmlPage = webRetrievalPath(client, ContentLimits{8192, 1000});
    }
    int32_t check() {
        catalogue.setStatus(slot, WaitingForRetrieve);
        runCheckPass(catalogue, host, files, paths);
        return catalogue.status(slot);
    }

    std::atomic<int> mode{0};
    FakeServer server{[this](TcpStream& s, const std::string&, int) {
        if (mode == 0) answer(s, "HTTP/1.1 200 OK\r\nContent-Length: 8\r\n\r\nab\ncd\nef");
        if (mode == 1) answer(s, "HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nab\nXY");   // changed, then cut
        if (mode == 2) answer(s, "HTTP/1.1 200 OK\r\n\r\n" + std::string(5000, 'z'));   // held open
        if (mode == 2) holdSilent(s, server);
        if (mode == 3) answer(s, "HTTP/1.1 200 OK\r\nContent-Length: 9000\r\n\r\n" + std::string(9000, 'b'));
    }};
    DocumentCatalogue catalogue;
    test::RecordingHost host;
    test::SwitchableFileSystem files{testFileSystem()};
    RetrievalPaths paths;
    std::size_t slot = 0;
};

TEST_F(WebRetrieval, BrokenBodiesLeaveTheKeptPageAsItWas) {
    EXPECT_EQ(check(), Saved);
    const std::string kept = test::readBytes(test::dataFile("page.content"));
    EXPECT_EQ(kept, "ab\r\ncd\r\nef");  // a page is kept in text form
    // 3: larger than the limit; 4: the disk would be too full.
    for (int m : {1, 2, 3, 4}) {
        mode = m == 4 ? 0 : m;
        files.freeSpace = m == 4 ? 1000 + (1 << 20) - 1 : FileSystem::kUnknownFreeBytes;
        EXPECT_EQ(check(), UnableToRetrieve) << m;
        EXPECT_EQ(test::readBytes(test::dataFile("page.content")), kept) << m;
        EXPECT_TRUE(test::tempFilesLeft().empty()) << m;
        EXPECT_EQ(host.count("sound"), 0u);
    }
    mode = 0;
    files.freeSpace = FileSystem::kUnknownFreeBytes;
    EXPECT_EQ(check(), NotChanged);
}

}  // namespace
}  // namespace hs
