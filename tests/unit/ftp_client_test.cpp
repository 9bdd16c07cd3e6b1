// The FTP client: reply parsing, and the FTP path through the check worker
// against the fake server of fake_ftp_server.h over real sockets,
// well-behaved and hostile: a failed transfer must leave the kept content
// as it was.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "dialogs/ftp_connection_test.h"
#include "check/check_worker.h"
#include "net/ftp_client.h"
#include "check/ftp_retrieval.h"
#include "engine_test_support.h"
#include "fake_ftp_server.h"
#include "test_support.h"

namespace hs {
namespace {

using Mode = test::FakeFtpServer::Mode;

TEST(FtpReplies, SingleMultiLineSplitAndBroken) {
    std::string buffer = "220-Welcome\r\n221 not the end\r\n 220 nor this\r\n220 Ready\r\n331 Next";
    FtpReply reply;
    ASSERT_EQ(takeFtpReply(buffer, reply), FtpReplyParse::Complete);
    EXPECT_EQ(reply.code, 220);
    EXPECT_EQ(reply.text, "Welcome\n221 not the end\n 220 nor this\nReady");
    // The next reply has not fully arrived; a bare LF ends a line too.
    EXPECT_EQ(takeFtpReply(buffer, reply), FtpReplyParse::Incomplete);
    buffer += " one\n150\r\n";
    ASSERT_EQ(takeFtpReply(buffer, reply), FtpReplyParse::Complete);
    EXPECT_EQ(reply.code, 331);
    EXPECT_EQ(reply.text, "Next one");
    ASSERT_EQ(takeFtpReply(buffer, reply), FtpReplyParse::Complete);
    EXPECT_EQ(reply.code, 150);
    EXPECT_TRUE(buffer.empty());
    for (const char* broken : {"HTTP/1.1 200 OK\r\n", "22 short\r\n", "220x\r\n", "620 out of range\r\n"}) {
        std::string b = broken;
        EXPECT_EQ(takeFtpReply(b, reply), FtpReplyParse::Malformed) << broken;
    }
}

// Every byte value, more than one piece long.
std::string allBytes() {
    std::string s;
    for (int round = 0; round < 40; ++round)
        for (int b = 0; b < 256; ++b) s += static_cast<char>(b);
    return s;
}

// The FTP path as the worker runs it. The server's name leads to the fake
// server, so that the name and port asked for can be seen.
class RedirectNetwork : public Network {
public:
    RedirectNetwork(Network& inner, int port, std::string address = "127.0.0.1")
        : inner_(inner), port_(port), address_(std::move(address)) {}
    std::unique_ptr<TcpStream> connect(const std::string& host, int port, int timeoutMs,
                                       std::string& error) override {
        ++connects;
        EXPECT_EQ(host, "ftp.example");
        EXPECT_EQ(port, kFtpPort);
        return inner_.connect(address_, port_, timeoutMs, error);
    }
    std::unique_ptr<TcpListener> listen(const std::string& address) override { return inner_.listen(address); }
    int connects = 0;

private:
    Network& inner_;
    int port_;
    std::string address_;
};

class FtpPath : public test::WorkingDirTest {
protected:
    static constexpr const char* kUser = "j doe@x:y";
    static constexpr const char* kPassword = "p@ss w:rd/#%\"'!~";

    void SetUp() override {
        test::WorkingDirTest::SetUp();
        test::makeDataDir();
        Document r = test::testDocument("doc", FtpFile, WaitingForRetrieve, "ftp://ftp.example/pub/tools/list.bin");
        // Any printable characters in the account, sent as they are.
        r.useAccount = 1;
        setField(r.userName, kUser);
        setField(r.password, kPassword);
        server.setAccount(kUser, kPassword);
        slot = catalogue.appendRecord(r);
        paths.ftpFile = [this](const Document& record, RetrievalContext& ctx) {
            return fetchFtpFile(record, ctx.files, redirect, NetBounds{500, 500, 3000}, ContentLimits{20000, 0});
        };
    }
    int32_t check() {
        catalogue.setStatus(slot, WaitingForRetrieve);
        host.clear();
        runCheckPass(catalogue, host, testFileSystem(), paths);
        return catalogue.status(slot);
    }
    std::string kept() { return test::readBytes(test::dataFile("doc.content")); }

    std::unique_ptr<Network> network = makePlatformNetwork();
    test::FakeFtpServer server;
    RedirectNetwork redirect{*network, server.port()};
    DocumentCatalogue catalogue;
    test::RecordingHost host;
    RetrievalPaths paths;
    std::size_t slot = 0;
};

TEST_F(FtpPath, SavedUnchangedPrefixChangedAndFailuresKeepTheCopy) {
    const std::string first = allBytes();
    server.setFile("pub/tools/list.bin", first);
    EXPECT_EQ(check(), Saved);
    EXPECT_TRUE(kept() == first);
    EXPECT_EQ(server.commands(), (std::vector<std::string>{
                                     "USER j doe@x:y", "PASS p@ss w:rd/#%\"'!~", "CWD pub/tools", "TYPE I",
                                     server.commands().at(4), "RETR list.bin", "QUIT"}));
    EXPECT_EQ(server.commands().at(4).rfind("PORT 127,0,0,1,", 0), 0u);
    EXPECT_EQ(check(), NotChanged);
    server.setFile("pub/tools/list.bin", first.substr(0, 512));  // equal to the start
    EXPECT_EQ(check(), NotChanged);
    EXPECT_EQ(host.count("sound"), 0u);

    // Hostile servers cost no more than the bounds; the kept copy stays
    // whole, and a difference in what came before a failure is no change.
    server.setFile("pub/tools/list.bin", "new content, longer than the first half");
    for (Mode mode : {Mode::Silent, Mode::NoData, Mode::Trickle, Mode::Broken}) {
        SCOPED_TRACE(static_cast<int>(mode));
        server.setMode(mode);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(check(), UnableToRetrieve);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_TRUE(kept() == first);
        EXPECT_EQ(host.count("sound"), 0u);
    }
    server.setMode(Mode::Normal);
    server.setFile("pub/tools/list.bin", std::string(20001, 'x'));  // past the size limit
    EXPECT_EQ(check(), UnableToRetrieve);
    EXPECT_TRUE(kept() == first);
    server.setFile("pub/tools/list.bin", "new content, longer than the first half");
    EXPECT_EQ(check(), Changed);
    EXPECT_EQ(kept(), "new content, longer than the first half");
    EXPECT_EQ(host.count("sound"), 1u);
    EXPECT_EQ(host.count("blink"), 1u);

    // Refusals fail; no connection for a location that cannot be split or
    // names no file, nor for a line break in the account.
    auto withRecord = [&](const char* url, const char* password) {
        Document r = catalogue.record(slot);
        setField(r.url, url);
        setField(r.password, password);
        r.status = NotChanged;
        catalogue.storeRecord(slot, r);
        return check();
    };
    EXPECT_EQ(withRecord("ftp.example/pub/tools/list.bin", "wrong"), UnableToRetrieve);
    EXPECT_EQ(withRecord("ftp.example/pub/none/list.bin", kPassword), UnableToRetrieve);
    EXPECT_EQ(withRecord("ftp.example/pub/tools/none.bin", kPassword), UnableToRetrieve);
    const int connects = redirect.connects;
    EXPECT_EQ(withRecord("ftp.example", kPassword), UnableToRetrieve);
    EXPECT_EQ(withRecord("ftp.example/pub/", kPassword), UnableToRetrieve);
    EXPECT_EQ(withRecord("ftp.example/pub/tools/list.bin", "secret\r\nDELE list.bin"), UnableToRetrieve);
    EXPECT_EQ(redirect.connects, connects);
    EXPECT_EQ(kept(), "new content, longer than the first half");

    // A data connection from another address than the server's (here the
    // server listens on 127.0.0.2) is somebody else's: never the content.
    test::FakeFtpServer elsewhere("127.0.0.2");
    elsewhere.setAccount(kUser, kPassword);
    elsewhere.setFile("pub/tools/list.bin", "a stranger's bytes");
    RedirectNetwork toElsewhere{*network, elsewhere.port(), "127.0.0.2"};
    paths.ftpFile = [&](const Document& record, RetrievalContext& ctx) {
        return fetchFtpFile(record, ctx.files, toElsewhere, NetBounds{500, 500, 3000});
    };
    EXPECT_EQ(withRecord("ftp.example/pub/tools/list.bin", kPassword), UnableToRetrieve);
    EXPECT_EQ(kept(), "new content, longer than the first half");
    EXPECT_TRUE(test::tempFilesLeft().empty());
}

// The properties dialog's connection test: a transfer the server accepted is the success (never
// downloaded); an abandoned test cuts its waits short, removes its temporary file, posts no more.
TEST_F(FtpPath, ConnectionTestEndsOnAcceptanceAndAtOnceWhenAbandoned) {
    server.setFile("pub/tools/list.bin", allBytes());
    const FtpTestTarget target{"127.0.0.1", "pub/tools", "list.bin", kUser, kPassword};
    const NetBounds bounds{2000, 2000, 60000};
    std::atomic<int> posts{0};
    server.setMode(Mode::Trickle);
    std::shared_ptr<FtpTestRun> run = FtpTestRun::start(target, bounds, [&] { ++posts; }, server.port());
    std::string last;
    bool finished = false;
    ASSERT_TRUE(test::waitUntil([&] {
        for (const std::string& t : run->takeProgress(finished)) last = t;
        return finished;
    }, 1500));
    EXPECT_EQ(last.substr(last.rfind('\n') + 1), "Getting file...SUCCESS");

    server.setMode(Mode::NoData);
    run = FtpTestRun::start(target, bounds, [&] { ++posts; }, server.port());
    ASSERT_TRUE(test::waitUntil([] { return test::tempFilesLeft().size() == 1; }, 1500));
    run->abandon();
    const int before = posts;
    EXPECT_TRUE(test::waitUntil([&] { return run.use_count() == 1 && test::tempFilesLeft().empty(); }, 500));
    EXPECT_EQ(posts, before);
}

}  // namespace
}  // namespace hs
