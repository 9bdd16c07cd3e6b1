// Documents on FTP servers: the real server of tests/servers/ftp_server.py
// on 127.0.0.1 port 21 (anonymous and named logins, every command in its
// log), and hostile servers on 127.0.0.2 to 127.0.0.6. The servers' state
// directory comes in HS_FTP_STATE; the program's network bounds are
// shortened through HS_TEST_NET_BOUNDS, which it inherits from the driver.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "program_test.h"

namespace hs::e2e {
namespace {

constexpr int kStatusColumn = 2;
constexpr int kLastCheckColumn = 3;
constexpr const char* kUser = "watcher";
constexpr const char* kPassword = "p@ss w:rd/#%!";

std::string ftpState() {
    char buf[1024] = {};
    const DWORD n = GetEnvironmentVariableA("HS_FTP_STATE", buf, sizeof buf);
    return n > 0 && n < sizeof buf ? toWindowsPath(buf) : std::string();
}

class FtpTest : public QuietProgramTest {
protected:
    void SetUp() override {
        QuietProgramTest::SetUp();
        ASSERT_FALSE(ftpState().empty()) << "HS_FTP_STATE is not set";
        SetEnvironmentVariableA("HS_TEST_NET_BOUNDS", "3000,3000,8000");
        logStart_ = serverLog().size();
    }
    void TearDown() override {
        SetEnvironmentVariableA("HS_TEST_NET_BOUNDS", nullptr);
        QuietProgramTest::TearDown();
    }

    // A file the real server serves, at <root>\<path>.
    void serve(const std::string& path, const std::string& bytes) {
        std::string dirs = path;
        for (std::size_t i = 0; (i = dirs.find('\\', i)) != std::string::npos; ++i)
            CreateDirectoryA((ftpState() + "\\root\\" + dirs.substr(0, i)).c_str(), nullptr);
        HANDLE f = CreateFileA((ftpState() + "\\root\\" + path).c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE) << path;
        DWORD written = 0;
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(f);
    }
    std::string serverLog() {
        HANDLE f = CreateFileA((ftpState() + "\\ftp.log").c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return std::string();
        std::string bytes;
        char buf[4096];
        DWORD got = 0;
        while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
        CloseHandle(f);
        return bytes;
    }
    // The server's log lines since the test began.
    std::vector<std::string> logLines() {
        std::vector<std::string> lines;
        const std::string log = serverLog().substr(std::min(logStart_, serverLog().size()));
        for (std::size_t pos = 0, end; (end = log.find('\n', pos)) != std::string::npos; pos = end + 1)
            lines.push_back(log.substr(pos, end - pos));
        return lines;
    }
    long logCount(const std::string& line) {
        const auto lines = logLines();
        return std::count(lines.begin(), lines.end(), line);
    }

    void document(const std::string& name, const std::string& url, const std::string& kept = "",
                  bool account = false, const std::string& password = kPassword) {
        Document r = makeRecord(name, FtpFile, url, WaitingForRetrieve);
        if (account) {
            r.useAccount = 1;
            setField(r.userName, kUser);
            setField(r.password, password);
        }
        if (!kept.empty()) dir().writeFile("data\\" + name + ".content", kept);
        writeRecord(r);
    }
    std::string kept(const std::string& name) {
        std::string bytes;
        if (!dir().readFile("data\\" + name + ".content", bytes)) return "(no kept copy)";
        return bytes;
    }
    // Waits until every named row shows a final status.
    bool settled(const RemoteListView& list, const std::vector<std::string>& names,
                 milliseconds timeout = kWait) {
        return pollUntil(
            [&] {
                for (const auto& n : names) {
                    const std::string s = cellOf(list, n, kStatusColumn);
                    if (s == "Retrieving..." || s == "Waiting for retrieve..." ||
                        cellOf(list, n, kLastCheckColumn) == "?")
                        return false;
                }
                return true;
            },
            timeout);
    }
    std::string checkAgain(const RunningProgram& app, const std::string& name) {
        const RemoteListView list = app.rows();
        const std::string before = cellOf(list, name, kLastCheckColumn);
        Sleep(1100);  // whole-second stamps
        postKey(app.list, VK_F5);
        pollUntil([&] {
            const std::string s = cellOf(list, name, kStatusColumn);
            return cellOf(list, name, kLastCheckColumn) != before && s != "Retrieving..." &&
                   s != "Waiting for retrieve...";
        });
        return cellOf(list, name, kStatusColumn);
    }
    void expectNoTempFilesAfterExit(RunningProgram& app) {
        ASSERT_TRUE(exitByCommand(app).has_value());
        EXPECT_EQ(dir().temporaryFiles(), std::vector<std::string>{}) << "left in data";
    }

private:
    std::size_t logStart_ = 0;
};

TEST_F(FtpTest, AnonymousFileIsSavedComparedAndReplacedByteForByte) {
    std::string every;
    for (int round = 0; round < 3; ++round)
        for (int b = 0; b < 256; ++b) every += static_cast<char>(b);
    serve("pub\\tools\\all.bin", every);
    document("Tools", "ftp://127.0.0.1/pub/tools/all.bin");
    RunningProgram& app = start();
    const RemoteListView list = app.rows();
    ASSERT_TRUE(settled(list, {"Tools"}));
    EXPECT_EQ(cellOf(list, "Tools", kStatusColumn), "Saved");
    EXPECT_TRUE(kept("Tools") == every) << "the kept copy is not the remote file byte for byte";
    EXPECT_EQ(logCount("USER anonymous"), 1);
    EXPECT_EQ(logCount("CWD pub/tools"), 1) << "the directory path was not entered in one change";
    EXPECT_EQ(logCount("TYPE I"), 1);

    ASSERT_TRUE(selectOnly(list, {"Tools"}));
    EXPECT_EQ(checkAgain(app, "Tools"), "Not changed");
    serve("pub\\tools\\all.bin", every.substr(0, 700));  // equal to the start of the kept copy
    EXPECT_EQ(checkAgain(app, "Tools"), "Not changed");
    EXPECT_TRUE(kept("Tools") == every) << "an unchanged check replaced the kept copy";
    serve("pub\\tools\\all.bin", every.substr(0, 700) + "changed");
    EXPECT_EQ(checkAgain(app, "Tools"), "Changed");
    EXPECT_EQ(list.image(rowNamed(list, "Tools")), 3);
    EXPECT_TRUE(kept("Tools") == every.substr(0, 700) + "changed");
    expectNoTempFilesAfterExit(app);
}

TEST_F(FtpTest, NamedLoginWorksAndRefusalsLeaveTheKeptCopies) {
    serve("home\\report.txt", "report");
    document("Named", "127.0.0.1\\home\\report.txt", "", true);
    document("Wrong password", "127.0.0.1/home/report.txt", "kept one", true, "not it");
    document("Missing", "127.0.0.1/home/missing.txt", "kept two");
    document("No separator", "127.0.0.1", "kept three");
    RunningProgram& app = start();
    const RemoteListView list = app.rows();
    ASSERT_TRUE(settled(list, {"Named", "Wrong password", "Missing", "No separator"}));
    EXPECT_EQ(cellOf(list, "Named", kStatusColumn), "Saved");
    EXPECT_EQ(kept("Named"), "report");
    EXPECT_EQ(logCount(std::string("USER ") + kUser), 2);
    EXPECT_EQ(logCount(std::string("PASS ") + kPassword), 1);
    for (const char* name : {"Wrong password", "Missing", "No separator"})
        EXPECT_EQ(cellOf(list, name, kStatusColumn), "Unable to retrieve") << name;
    EXPECT_EQ(kept("Wrong password"), "kept one");
    EXPECT_EQ(kept("Missing"), "kept two");
    EXPECT_EQ(kept("No separator"), "kept three");
    // Three documents reached the server; the one without a separator did not.
    EXPECT_EQ(logCount("connect"), 3);
    EXPECT_TRUE(findDialogs(app.pid()).empty()) << "a failure showed a message";
    expectNoTempFilesAfterExit(app);
}

TEST_F(FtpTest, HostileServersEndInUnableToRetrieveWithinTheBounds) {
    document("Silent", "127.0.0.2/f.bin", "kept silent");
    document("Never starts", "127.0.0.3/pub/f.bin", "kept never");
    document("Trickle", "127.0.0.4/pub/f.bin", "kept trickle");
    document("Refused", "127.0.0.5/f.bin", "kept refused");
    const auto begin = std::chrono::steady_clock::now();
    RunningProgram& app = start();
    const RemoteListView list = app.rows();
    // One worker takes them in turn: 3 s, 3 s, 8 s, at once, and a margin.
    ASSERT_TRUE(settled(list, {"Silent", "Never starts", "Trickle", "Refused"}, milliseconds(35000)));
    std::printf("hostile servers settled after %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - begin).count()));
    for (const char* name : {"Silent", "Never starts", "Trickle", "Refused"}) {
        EXPECT_EQ(cellOf(list, name, kStatusColumn), "Unable to retrieve") << name;
    }
    EXPECT_EQ(kept("Silent"), "kept silent");
    EXPECT_EQ(kept("Never starts"), "kept never");
    EXPECT_EQ(kept("Trickle"), "kept trickle");
    EXPECT_EQ(kept("Refused"), "kept refused");
    expectNoTempFilesAfterExit(app);
}

// A stranger who reads the PORT command connects to the data port before
// the server: that connection is closed and the server's own is the content.
TEST_F(FtpTest, ADataConnectionFromAnotherAddressIsNotTheContent) {
    document("Raced", "127.0.0.6/pub/f.bin", "kept raced");
    RunningProgram& app = start();
    const RemoteListView list = app.rows();
    ASSERT_TRUE(settled(list, {"Raced"}, milliseconds(15000)));
    EXPECT_EQ(cellOf(list, "Raced", kStatusColumn), "Changed");
    EXPECT_EQ(kept("Raced"), "the server's own bytes");
    expectNoTempFilesAfterExit(app);
}

}  // namespace
}  // namespace hs::e2e
