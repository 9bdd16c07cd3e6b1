// Web pages and web files on real servers on 127.0.0.1 (tests/servers,
// started by the web_servers fixture): the status cycle over plain HTTP and
// HTTPS, the page modes, the account, the certificates, and the servers
// that answer badly or never. The program runs with short network bounds
// (HS_TEST_NET_BOUNDS) so that every bound is reached within seconds.
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <utility>
#include <string>
#include <vector>

#include "handles.h"
#include "open_recorder.h"
#include "program_test.h"
#include "screenshot.h"
#include "work_dir.h"
#include "res/command_ids.h"

namespace hs::e2e {
namespace {

constexpr int kStatusColumn = 2;
constexpr int kLastCheckColumn = 3;
// connect, idle, total (ms)
constexpr const char* kTestBounds = "2000,1500,5000";

class WebTest : public QuietProgramTest {
protected:
    void SetUp() override {
        const char* state = std::getenv("HS_WEB_STATE");
        ASSERT_NE(state, nullptr) << "HS_WEB_STATE is not set (the web_servers fixture)";
        state_ = toWindowsPath(state);
        std::ifstream ports(state_ + "\\ports");
        std::string name;
        int port = 0;
        while (ports >> name >> port) ports_[name] = port;
        ASSERT_EQ(ports_.size(), 12u) << "no ports from the web servers";
        SetEnvironmentVariableA("HS_TEST_NET_BOUNDS", kTestBounds);
        QuietProgramTest::SetUp();
        prefix_ = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }
    void TearDown() override {
        QuietProgramTest::TearDown();
        SetEnvironmentVariableA("HS_TEST_NET_BOUNDS", nullptr);
    }

    std::string url(const std::string& server, const std::string& path) {
        return std::string(server == "http" || server == "silent" ? "http" : "https") + "://127.0.0.1:" +
               std::to_string(ports_[server]) + path;
    }
    // A file the servers serve as /files/<name> (names carry the case's name).
    std::string served(const std::string& name) { return prefix_ + "-" + name; }
    void serve(const std::string& name, const std::string& bytes) {
        std::ofstream(state_ + "\\www\\" + served(name), std::ios::binary) << bytes;
    }
    void document(const std::string& name, int32_t type, const std::string& location,
                  const std::string& kept = "") {
        writeRecord(makeRecord(name, type, location, WaitingForRetrieve));
        if (!kept.empty()) dir().writeFile("data\\" + name + ".content", kept);
    }
    std::string kept(const std::string& name) {
        std::string bytes;
        if (!dir().readFile("data\\" + name + ".content", bytes)) return "(no kept copy)";
        return bytes;
    }
    std::vector<std::string> tempFiles() { return dir().temporaryFiles(); }

    // Ends the program by its Exit command; nothing temporary stays behind.
    void exitClean(RunningProgram& app) {
        const auto code = exitByCommand(app);
        ASSERT_TRUE(code.has_value());
        EXPECT_EQ(*code, 0u);
        EXPECT_TRUE(tempFiles().empty());
    }

    // Check All, then waits until every named row has a new stamp and a
    // final status; returns name -> status.
    std::map<std::string, std::string> checkAll(const RunningProgram& app, const std::vector<std::string>& names,
                                                milliseconds limit = kWait) {
        const RemoteListView list = app.rows();
        std::map<std::string, std::string> before;
        for (const auto& n : names) before[n] = cellOf(list, n, kLastCheckColumn);
        Sleep(1100);  // whole-second stamps
        postCommand(app.main, ID_DOC_CHECK_ALL);
        return waitForOutcomes(app, names, before, limit);
    }
    std::map<std::string, std::string> waitForOutcomes(const RunningProgram& app,
                                                       const std::vector<std::string>& names,
                                                       std::map<std::string, std::string> before,
                                                       milliseconds limit = kWait) {
        const RemoteListView list = app.rows();
        std::map<std::string, std::string> status;
        pollUntil(
            [&] {
                for (const auto& n : names) {
                    status[n] = cellOf(list, n, kStatusColumn);
                    if (cellOf(list, n, kLastCheckColumn) == before[n] || status[n] == "Retrieving..." ||
                        status[n] == "Waiting for retrieve...") {
                        return false;
                    }
                }
                return true;
            },
            limit);
        return status;
    }

    std::string state_;
    std::map<std::string, int> ports_;
    std::string prefix_;
};

TEST_F(WebTest, PagesAndFilesThroughFirstUnchangedShortenedAndChanged) {
    const std::string page = "<html>\n<body>first</body>\n</html>\n";
    const std::string file("bin\r\n\0\x1A\xFF data", 14);
    serve("page.html", page);
    serve("file.bin", file);
    document("Page", HtmlPage, url("http", "/files/" + served("page.html")));
    document("File", WebFile, url("http", "/redirect/3/" + served("file.bin")));
    document("Gone", HtmlPage, url("http", "/files/" + served("missing.html")));
    RunningProgram& app = start();
    const RemoteListView list = app.rows();
    const std::vector<std::string> all = {"Page", "File", "Gone"};
    std::map<std::string, std::string> none{{"Page", "?"}, {"File", "?"}, {"Gone", "?"}};

    auto status = waitForOutcomes(app, all, none);
    EXPECT_EQ(status["Page"], "Saved");
    EXPECT_EQ(status["File"], "Saved");
    EXPECT_EQ(status["Gone"], "Saved");  // a 404 page is content
    EXPECT_EQ(kept("Page"), "<html>\r\n<body>first</body>\r\n</html>\r\n");  // text form
    EXPECT_TRUE(kept("File") == file) << "the web file is not kept byte for byte";
    EXPECT_NE(kept("Gone").find("404 Not Found"), std::string::npos);

    status = checkAll(app, all);
    EXPECT_EQ(status["Page"], "Not changed");
    EXPECT_EQ(status["File"], "Not changed");
    EXPECT_EQ(status["Gone"], "Not changed");

    // Lost its tail: not changed, the longer copy stays.
    serve("page.html", page.substr(0, 10));
    serve("file.bin", "");
    status = checkAll(app, {"Page", "File"});
    EXPECT_EQ(status["Page"], "Not changed");
    EXPECT_EQ(status["File"], "Not changed");
    EXPECT_TRUE(kept("File") == file);

    serve("page.html", page + "<!-- more -->\n");
    serve("file.bin", file + "!");
    status = checkAll(app, {"Page", "File"});
    EXPECT_EQ(status["Page"], "Changed");
    EXPECT_EQ(status["File"], "Changed");
    EXPECT_EQ(kept("Page"), "<html>\r\n<body>first</body>\r\n</html>\r\n<!-- more -->\r\n");
    EXPECT_TRUE(kept("File") == file + "!");
    exitClean(app);
}

// With "Open HTML/CGI page if changed" on, a changed page opens at its live
// address in the browser and a changed web file from a copy of its kept
// content (deep down, its name too long for the shell); a first retrieval, a
// changed local file and a changed file of a dangerous type open nothing.
TEST_F(WebTest, ChangedPageAndWebFileOpenByThemselvesWithTheAutomaticOpen) {
    useDeepDir();
    OpenRecorder recorder;
    OptionsFile options;
    options.playSound = 0;
    options.autoOpen = 1;
    writeOptions(options);
    const std::string report = "report-" + std::string(130, 'r') + ".hsdoc";
    serve("page.html", "<p>new</p>");
    serve(report, "new report");
    serve("first.html", "<p>first</p>");
    serve("macros.docm", "new macros");
    document("Page", HtmlPage, url("http", "/files/" + served("page.html")), "<p>old</p>");
    document("File", WebFile, url("http", "/files/" + served(report)), "old report");
    document("Macros", WebFile, url("http", "/files/" + served("macros.docm")), "old macros");
    document("First", HtmlPage, url("http", "/files/" + served("first.html")));
    writeRecord(makeRecord("Local", LocalFile, "x\\local.hsdoc", WaitingForRetrieve));
    dir().writeFile("data\\Local.content", "old local");
    dir().writeFile("x\\local.hsdoc", "new local");
    RunningProgram& app = start();
    auto status = waitForOutcomes(app, {"Page", "File", "First", "Local", "Macros"},
                                  {{"Page", "?"}, {"File", "?"}, {"First", "?"}, {"Local", "?"}, {"Macros", "?"}});
    EXPECT_EQ(status["Page"], "Changed");
    EXPECT_EQ(status["File"], "Changed");
    EXPECT_EQ(status["Macros"], "Changed");
    EXPECT_EQ(status["First"], "Saved");
    EXPECT_EQ(status["Local"], "Changed");

    std::vector<std::string> lines = recorder.waitForLines(2);
    Sleep(500);  // nothing more comes
    lines = recorder.lines();
    ASSERT_EQ(lines.size(), 2u);
    // The page and the file may come in either order.
    if (lines[0].find("QVR") != std::string::npos) std::swap(lines[0], lines[1]);
    const std::string& browser = lines[0];
    const std::string& copy = lines[1];
    EXPECT_NE(browser.find("\"" + url("http", "/files/" + served("page.html")) + "\""), std::string::npos) << browser;
    // Shortened to fit the shell, its type kept.
    EXPECT_NE(copy.find(".tmp_" + served("report-rrrr")), std::string::npos) << copy;
    EXPECT_EQ(copy.substr(copy.size() - 7), ".hsdoc\"") << copy;
    exitClean(app);
}

// With no program for ".htm" the page goes to the shell's "open", which in
// Wine runs the browsers listed for winebrowser: the fixture's script.
TEST_F(WebTest, WithoutABrowserAPageOpensThroughTheShell) {
    const std::string browsers = std::string(std::getenv("HS_WEB_STATE")) + "/fake-browser.sh";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", 0, nullptr, 0,
                              KEY_READ | KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    UniqueRegistryKey owned(key);
    RegSetValueExA(key, "Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(browsers.c_str()),
                   static_cast<DWORD>(browsers.size() + 1));
    writeRecord(makeRecord("Page", HtmlPage, "S://pages.example.test/x?y=1", NotChanged));
    RunningProgram& app = start();
    ASSERT_TRUE(selectOnly(app.rows(), {"Page"}));
    ASSERT_TRUE(postCommand(app.main, ID_DOC_OPEN));
    std::string opened;
    pollUntil([&] {
        std::ifstream log(state_ + "\\browser.log");
        return static_cast<bool>(std::getline(log, opened));
    });
    RegDeleteValueA(key, "Browsers");
    EXPECT_EQ(opened, "https://pages.example.test/x?y=1");
    exitClean(app);
}

// "What changed": the page's change against the acknowledged version; after
// "Set as 'Not changed'" the next change shows only itself, and the history
// compares the first version with the third.
TEST_F(WebTest, WhatChangedShowsTheChangeSinceTheAcknowledgedVersion) {
    constexpr int kHistory = 1101, kCompare = 1102, kSummary = 1110, kView = 1111;
    serve("page.html", "<p>one</p>\n<p>two</p>\n<p>three</p>\n");
    document("Page", HtmlPage, url("http", "/files/" + served("page.html")));
    RunningProgram& app = start();
    const RemoteListView list = app.rows();
    ASSERT_EQ(waitForOutcomes(app, {"Page"}, {{"Page", "?"}})["Page"], "Saved");
    ASSERT_TRUE(selectOnly(list, {"Page"}));
    HWND window = nullptr;
    const auto shown = [&] {
        postCommand(app.main, ID_DOC_WHAT_CHANGED);
        window = waitForTopLevelWindow({app.pid(), "HalvorsightWhatChanged", "", false, true});
        return window ? windowText(GetDlgItem(window, kView)) : std::string("(no window)");
    };

    serve("page.html", "<p>one</p>\n<p>TWO</p>\n<p>three</p>\n");
    ASSERT_EQ(checkAll(app, {"Page"})["Page"], "Changed");
    std::string text = shown();
    EXPECT_NE(text.find("! <p>two</p> | <p>TWO</p>"), std::string::npos) << text;
    EXPECT_NE(dialogItemText(window, kSummary).find("1 change"), std::string::npos);

    postCommand(app.main, ID_DOC_SET_NOTCHANGED);
    ASSERT_TRUE(pollUntil([&] { return cellOf(list, "Page", kStatusColumn) == "Not changed"; }, kShortWait));
    serve("page.html", "<p>one</p>\n<p>TWO</p>\n<p>3</p>\n");
    ASSERT_EQ(checkAll(app, {"Page"})["Page"], "Changed");
    text = shown();
    EXPECT_NE(text.find("! <p>three</p> | <p>3</p>"), std::string::npos) << text;
    EXPECT_EQ(text.find("two"), std::string::npos) << "the acknowledged change shows again:\n" << text;

    const RemoteListView history(GetDlgItem(window, kHistory));
    EXPECT_EQ(history.names(), (std::vector<std::string>{"Current", "Version 2", "Version 1"}));
    ASSERT_TRUE(selectOnly(history, {"Version 1", "Current"}));
    clickButton(window, kCompare);
    EXPECT_TRUE(pollUntil([&] { return dialogItemText(window, kSummary).find("2 lines removed") != std::string::npos; },
                          kShortWait))
        << dialogItemText(window, kSummary);
    text = windowText(GetDlgItem(window, kView));
    EXPECT_NE(text.find("! <p>two</p> | <p>TWO</p>"), std::string::npos) << text;
    EXPECT_NE(text.find("! <p>three</p> | <p>3</p>"), std::string::npos) << text;
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(waitForWindowGone(window));
    exitClean(app);
}

TEST_F(WebTest, CountAndMiddleModesAndTheMessageOfMissingMarkers) {
    serve("count.html", "new.gif new.gif new.gif");
    serve("middle.html", "<p>no markers here</p>");
    Document count = makeRecord("Count", HtmlPage, url("http", "/files/" + served("count.html")),
                                      WaitingForRetrieve);
    count.countMode = 1;
    setField(count.countString, "new.gif");
    writeRecord(count);
    Document middle = makeRecord("Middle", HtmlPage, url("http", "/files/" + served("middle.html")),
                                       WaitingForRetrieve);
    middle.middleMode = 1;
    setField(middle.middleStart, "<b>");
    setField(middle.middleEnd, "</b>");
    writeRecord(middle);
    serve("after.html", "after the middle page");
    document("After", HtmlPage, url("http", "/files/" + served("after.html")));

    RunningProgram& app = start();
    // The first retrieval of the middle page finds no markers: the window
    // shows the message, and the documents behind it do not wait for it.
    HWND box = waitForDialog(app.pid(), kAppTitle);
    ASSERT_NE(box, nullptr) << "no message about the missing markers";
    EXPECT_TRUE(pollUntil([&] { return cellOf(app.rows(), "After", kStatusColumn) == "Saved"; }));
    EXPECT_EQ(messageBoxText(box), "Cannot find the specified strings from document content.");
    saveWindowScreenshot(box, screenshotDirectory() + "\\WebTest." + prefix_ + "-markers.bmp");
    // The window stays usable while the box is up.
    DWORD_PTR ignored = 0;
    EXPECT_NE(SendMessageTimeoutA(app.main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored), 0);
    ASSERT_TRUE(clickButton(box, IDOK));
    std::map<std::string, std::string> none{{"Count", "?"}, {"Middle", "?"}};
    auto status = waitForOutcomes(app, {"Count", "Middle"}, none);
    EXPECT_EQ(status["Count"], "Saved");
    EXPECT_EQ(status["Middle"], "Unable to retrieve");
    // Missing again: no second message until the markers are found.
    status = checkAll(app, {"Middle"});
    EXPECT_EQ(status["Middle"], "Unable to retrieve");
    Sleep(500);
    EXPECT_EQ(waitForDialog(app.pid(), kAppTitle, milliseconds(0)), nullptr);
    EXPECT_EQ(int32At(readRecordFile("Count"), offsets::countResult), 3);

    // Other text changes, the count stays: not changed, the older page kept.
    serve("count.html", "new.gif, new.gif and new.gif");
    serve("middle.html", "<p>price <b>12</b></p>");
    status = checkAll(app, {"Count", "Middle"});
    EXPECT_EQ(status["Count"], "Not changed");
    EXPECT_EQ(status["Middle"], "Saved");
    EXPECT_EQ(kept("Count"), "new.gif new.gif new.gif");

    serve("count.html", "new.gif new.gif new.gif new.gif");
    serve("middle.html", "<p>offer <b>13</b></p>");
    status = checkAll(app, {"Count", "Middle"});
    EXPECT_EQ(status["Count"], "Changed");
    EXPECT_EQ(status["Middle"], "Changed");
    EXPECT_EQ(int32At(readRecordFile("Count"), offsets::countResult), 4);
    std::string middleText;
    dir().readFile("data\\Middle.middle", middleText);
    EXPECT_EQ(middleText, "13");
    exitClean(app);
}

TEST_F(WebTest, HttpsWithAnAccountAndOnlyTrustedCertificates) {
    serve("private.html", "members only\n");
    // A user name and password with the characters a URL cannot carry.
    std::ofstream(state_ + "\\www\\account", std::ios::binary) << "ann@corp\np:a/s@s\n";
    Document secure = makeRecord("Secure", HtmlPage, url("https", "/auth/" + served("private.html")),
                                       WaitingForRetrieve);
    secure.useAccount = 1;
    setField(secure.userName, "ann@corp");
    setField(secure.password, "p:a/s@s");
    writeRecord(secure);
    // The first seven are refused (no trusted root, another name, expired, for clients, revoked, TLS
    // 1.1); the rest retrieved (a CRL out of reach, a client certificate asked for, bodies chunked or
    // ended by close_notify: the servers close without one otherwise).
    const std::string file = "/files/" + served("private.html");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Untrusted", url("untrusted", file)}, {"Stranger", url("stranger", file)},
        {"Other name", url("wrongname", file)}, {"Expired", url("expired", file)},
        {"Client only", url("clientonly", file)}, {"Revoked", url("revoked", file)}, {"Old TLS", url("tls11", file)},
        {"Plain https", url("https", file)}, {"CRL out of reach", url("crlstall", file)},
        {"Cert asked", url("askcert", file)}, {"Chunked", url("https", "/chunked/" + served("private.html"))},
        {"close_notify", url("https", "/until-notify/" + served("private.html"))}};
    std::map<std::string, std::string> none{{"Secure", "?"}};
    for (const auto& [name, location] : cases) document(name, WebFile, location), none[name] = "?";

    RunningProgram& app = start();
    std::vector<std::string> names;
    for (const auto& [name, unused] : none) names.push_back(name);
    auto status = waitForOutcomes(app, names, none, milliseconds(40000));
    EXPECT_EQ(status["Secure"], "Saved");
    EXPECT_EQ(kept("Secure"), "members only\r\n");
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(status[cases[i].first], i < 7 ? "Unable to retrieve" : "Saved") << cases[i].first;
        EXPECT_EQ(kept(cases[i].first), i < 7 ? "(no kept copy)" : "members only\n") << cases[i].first;
    }

    // The account went to the https server, never to plain http.
    std::ifstream log(state_ + "\\requests.log");
    std::stringstream text;
    text << log.rdbuf();
    EXPECT_NE(text.str().find("https GET /auth/" + served("private.html") + " HTTP/1.1 Basic "),
              std::string::npos)
        << text.str();
    EXPECT_EQ(text.str().find("http GET /auth/"), std::string::npos);
    exitClean(app);
}

TEST_F(WebTest, HostileServersEndUnableToRetrieveAndKeepTheCopy) {
    const std::vector<std::pair<std::string, std::string>> hostile = {
        {"Silent", url("silent", "/")},
        {"Stalled TLS", "https://127.0.0.1:" + std::to_string(ports_["silent"]) + "/"},
        {"Headers only", url("http", "/headers-then-silence")},
        {"Trickle", url("http", "/trickle?every=0.5")},
        {"Endless", url("http", "/endless")},
        {"Loop", url("http", "/loop")},
        {"Refused", "http://127.0.0.1:1/"},
        {"Cut TLS body", url("https", "/until-close/" + served("cut.html"))},
    };
    serve("cut.html", "no close_notify after this");
    std::vector<std::string> names;
    for (const auto& [name, location] : hostile) {
        document(name, WebFile, location, "kept copy of " + name);
        names.push_back(name);
    }
    RunningProgram& app = start();
    std::map<std::string, std::string> before;
    for (const auto& n : names) before[n] = "?";

    // Every bound of kTestBounds is reached one after the other: about 20 s
    // for all; the window answers throughout.
    const auto begin = std::chrono::steady_clock::now();
    std::map<std::string, std::string> status;
    bool responsive = true;
    pollUntil(
        [&] {
            DWORD_PTR ignored = 0;
            responsive = responsive &&
                         SendMessageTimeoutA(app.main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored) != 0;
            status = waitForOutcomes(app, names, before, milliseconds(1));
            for (const auto& n : names) {
                if (status[n] != "Unable to retrieve") return false;
            }
            return true;
        },
        milliseconds(40000), milliseconds(250));
    const auto took = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - begin);
    EXPECT_TRUE(responsive) << "the window did not answer while the checks ran";
    for (const auto& n : names) {
        EXPECT_EQ(status[n], "Unable to retrieve") << n;
        EXPECT_EQ(kept(n), "kept copy of " + n) << n;
    }
    EXPECT_LT(took.count(), 40);
    EXPECT_TRUE(tempFiles().empty());
    exitClean(app);
}

TEST_F(WebTest, ExitDuringDownloadsEndsAtOnceAndLeavesNoTemporaryFile) {
    // Bounds far beyond the test: only the exit's cancellation ends these.
    SetEnvironmentVariableA("HS_TEST_NET_BOUNDS", "2000,60000,120000");
    document("Endless", WebFile, url("http", "/endless"), "kept copy");
    for (int i = 0; i < 50; ++i) {  // two servers to the engine: eight retrievals at once
        const std::string host = i % 2 ? "http://localhost:" : "http://127.0.0.1:";
        document("Slow " + std::to_string(i), WebFile, host + std::to_string(ports_["http"]) + "/trickle?every=0.5",
                 "kept copy");
    }
    RunningProgram& app = start();
    ASSERT_TRUE(pollUntil([&] { return cellOf(app.rows(), "Endless", kStatusColumn) == "Retrieving..."; }));
    Sleep(1000);  // the bodies are being staged
    const auto begin = std::chrono::steady_clock::now();
    exitClean(app);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5));
    for (int i = 0; i < 50; ++i) {
        const std::string name = "Slow " + std::to_string(i);
        const std::string record = readRecordFile(name);
        ASSERT_EQ(record.size(), offsets::recordSize) << name;
        EXPECT_EQ(int32At(record, offsets::status), WaitingForRetrieve) << name;
        EXPECT_EQ(kept(name), "kept copy") << name;
    }
    EXPECT_EQ(kept("Endless"), "kept copy");
}

}  // namespace
}  // namespace hs::e2e
