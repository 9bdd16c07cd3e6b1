// The pictures of the manual and the README, taken from the real program
// under Wine by scripts/manual_screenshots.sh (not a test run by ctest).
// Each case sets up a working directory, drives the program to one window
// and saves it as "<name>.bmp" in the pictures directory (HS_E2E_SHOTS).
#include <winsock2.h>

#include <string>
#include <vector>

#include "list_input.h"
#include "program_test.h"
#include "screenshot.h"
#include "res/command_ids.h"

namespace hs::e2e {
namespace {

// A server that takes connections and never answers: a document on it stays
// "Retrieving..." for the program's whole wait.
class SilentServer {
public:
    SilentServer() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::listen(socket_, 8) == 0 &&
            ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            port_ = ntohs(address.sin_port);
        }
    }
    ~SilentServer() {
        ::closesocket(socket_);
        WSACleanup();
    }
    int port() const { return port_; }

private:
    SOCKET socket_ = INVALID_SOCKET;
    int port_ = 0;
};

class ManualShots : public QuietProgramTest {
protected:
    void shoot(HWND window, const std::string& name) {
        Sleep(600);  // let it paint itself first
        ASSERT_TRUE(saveWindowScreenshot(window, screenshotDirectory() + "\\" + name + ".bmp")) << name;
    }

    HWND dialog(RunningProgram& app, const std::string& title) {
        HWND found = waitForDialog(app.pid(), title, kShortWait);
        EXPECT_NE(found, nullptr) << "no dialog \"" << title << "\"";
        return found;
    }

    // Presses `button` on `dlg` and returns the dialog titled `next`.
    HWND press(RunningProgram& app, HWND dlg, int button, const std::string& next) {
        clickButton(dlg, button);
        waitForWindowGone(dlg, kShortWait);
        return dialog(app, next);
    }

    void close(HWND dlg) {
        clickButton(dlg, IDCANCEL);
        waitForWindowGone(dlg, kShortWait);
    }

    static void place(HWND main, int width, int height) {
        SetWindowPos(main, nullptr, 40, 40, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    static Document document(const std::string& name, int32_t type, const std::string& url, int32_t status,
                                   const std::string& lastCheck) {
        Document record = makeRecord(name, type, url, status);
        setField(record.lastCheck, lastCheck);
        return record;
    }
};

// Every kind of document and every status, one row selected.
TEST_F(ManualShots, MainWindow) {
    SetEnvironmentVariableA("HS_TEST_NET_BOUNDS", "60000,60000,120000");
    SilentServer silent;
    ASSERT_NE(silent.port(), 0);
    writeRecord(document("Tollenby Lab news", HtmlPage, "http://www.example.com/news/index.html", Changed,
                         "2026/12/08 [09:14:02]"));
    Document forum = document("Forum new posts", HtmlPage, "https://forum.example.org/board.php", NotChanged,
                                    "2026/12/08 [09:14:05]");
    forum.countMode = 1;
    setField(forum.countString, "new.gif");
    writeRecord(forum);
    writeRecord(document("Setup program", WebFile, "http://www.example.com/download/setup.exe", NotChanged,
                         "2026/12/08 [09:14:03]"));
    writeRecord(document("Project archive", FtpFile, "ftp.example.org/pub/project.gz", Saved,
                         "2026/12/08 [09:14:09]"));
    writeRecord(document("System log", LocalFile, "C:\\Logfiles\\System.log", UnableToRetrieve,
                         "2026/12/08 [09:14:01]"));
    writeRecord(document("Release notes", HtmlPage, "http://127.0.0.1:" + std::to_string(silent.port()) + "/notes",
                         WaitingForRetrieve, "2026/12/08 [09:13:58]"));
    writeRecord(document("Weekly prices", WebFile, "http://www.example.com/prices.csv", WaitingForRetrieve, ""));
    RunningProgram& app = start();
    place(app.main, 820, 330);
    // The worker of the start stays on the silent server, so the document
    // after it keeps waiting.
    ASSERT_TRUE(pollUntil([&] { return cellOf(app.rows(), "Release notes", 2) == "Retrieving..."; }));
    ASSERT_TRUE(selectOnly(app.rows(), {"Tollenby Lab news"}));
    shoot(app.main, "main-window");
    app.process.terminate();
    SetEnvironmentVariableA("HS_TEST_NET_BOUNDS", nullptr);
}

// The start-up prompt, the method choice and the five wizard steps.
TEST_F(ManualShots, AddWizard) {
    keepStartupPrompt();
    RunningProgram& app = start();
    HWND dlg = waitForDialog(app.pid(), "Start-up wizard", milliseconds(8000));
    ASSERT_NE(dlg, nullptr);
    shoot(dlg, "startup-prompt");
    close(dlg);

    ASSERT_TRUE(postCommand(app.main, ID_DOC_ADD));
    dlg = dialog(app, "Add document by");
    ASSERT_NE(dlg, nullptr);
    shoot(dlg, "add-method");
    dlg = press(app, dlg, IDOK, "Add wizard step 1");
    ASSERT_NE(dlg, nullptr);
    typeText(dlg, 1007, "Tollenby Lab news");
    shoot(dlg, "wizard-step1");
    dlg = press(app, dlg, IDOK, "Add wizard step 2");
    ASSERT_NE(dlg, nullptr);
    shoot(dlg, "wizard-step2");
    dlg = press(app, dlg, IDOK, "Add wizard step 3");
    ASSERT_NE(dlg, nullptr);
    typeText(dlg, 1008, "www.example.com/news/index.html");
    shoot(dlg, "wizard-step3");
    dlg = press(app, dlg, IDOK, "Add wizard step 4");
    ASSERT_NE(dlg, nullptr);
    shoot(dlg, "wizard-step4");
    dlg = press(app, dlg, IDOK, "Add wizard step 5");
    ASSERT_NE(dlg, nullptr);
    clickButton(dlg, 1029);
    typeText(dlg, 1026, "<h1>");
    typeText(dlg, 1030, "</h1>");
    shoot(dlg, "wizard-step5");
    close(dlg);
    ASSERT_TRUE(exitByCommand(app).has_value());
}

// The properties dialog, the options and the header viewer.
TEST_F(ManualShots, Dialogs) {
    Document page = document("Tollenby Lab news", HtmlPage, "http://www.example.com/news/index.html",
                                   NotChanged, "2026/12/08 [09:14:02]");
    page.middleMode = 1;
    setField(page.middleStart, "<h1>");
    setField(page.middleEnd, "</h1>");
    writeRecord(page);
    dir().writeFile("data\\Tollenby Lab news.content",
                    "<html>\r\n<head><title>News</title></head>\r\n<body>\r\n<h1>Version 2.4</h1>\r\n"
                    "<p>Served at 10:42</p>\r\n</body>\r\n</html>\r\n");
    RunningProgram& app = start();
    ASSERT_TRUE(selectOnly(app.rows(), {"Tollenby Lab news"}));
    ASSERT_TRUE(postCommand(app.main, ID_DOC_EDIT));
    HWND dlg = dialog(app, "Edit document");
    ASSERT_NE(dlg, nullptr);
    shoot(dlg, "properties");
    close(dlg);

    ASSERT_TRUE(postCommand(app.main, ID_APP_OPTION));
    dlg = dialog(app, "Options");
    ASSERT_NE(dlg, nullptr);
    shoot(dlg, "options");
    close(dlg);

    ASSERT_TRUE(postCommand(app.main, ID_DOC_VIEW_HEADER));
    dlg = dialog(app, "View document header");
    ASSERT_NE(dlg, nullptr);
    shoot(dlg, "header-viewer");
    close(dlg);
    ASSERT_TRUE(exitByCommand(app).has_value());
}

// The "What changed" window over a page whose acknowledged version is the
// first of two, side by side and as one column; the hex view of a changed
// file; and the balloon of a change a check found.
TEST_F(ManualShots, WhatChanged) {
    const std::string older =
        "<html>\r\n<head><title>News</title></head>\r\n<body>\r\n<h1>Version 2.4</h1>\r\n"
        "<p>Served at 10:42</p>\r\n<p>Downloads: 1,204</p>\r\n</body>\r\n</html>\r\n";
    const std::string newer =
        "<html>\r\n<head><title>News</title></head>\r\n<body>\r\n<h1>Version 2.5</h1>\r\n"
        "<p>Served at 11:07</p>\r\n<p>Now with a history of every page.</p>\r\n<p>Downloads: 1,204</p>\r\n"
        "</body>\r\n</html>\r\n";
    const auto withVersion = [&](const std::string& name, const std::string& v1, const std::string& now) {
        dir().writeFile("data\\" + name + ".v1", v1);
        dir().writeFile("data\\" + name + ".content", now);
        dir().writeFile("data\\" + name + ".history", "next 2\r\ncurrent 1796983620\r\nbaseline 1\r\nversion 1 "
                        "1796897220 " + std::to_string(v1.size()) + "\r\n");
    };
    writeRecord(document("Tollenby Lab news", HtmlPage, "http://www.example.com/news/index.html", Changed,
                         "2026/12/08 [09:14:02]"));
    withVersion("Tollenby Lab news", older, newer);
    writeRecord(document("Setup program", WebFile, "http://www.example.com/download/setup.exe", Changed,
                         "2026/12/08 [09:14:03]"));
    std::string program(4096, '\0');
    for (std::size_t i = 0; i < program.size(); ++i) program[i] = static_cast<char>((i * 7 + i / 64) & 0xFF);
    program.replace(0, 2, "MZ");
    std::string patched = program;
    patched.replace(0x130, 9, "Setup 2.5");
    withVersion("Setup program", program, patched + "tail");
    dir().writeFile("prices.csv", "item;price\r\ntea;2.40\r\n");
    dir().writeFile("data\\Weekly prices.content", "item;price\r\ntea;2.10\r\n");
    writeRecord(document("Weekly prices", LocalFile, "prices.csv", WaitingForRetrieve, ""));

    RunningProgram& app = start();
    // The start's check finds the prices changed: the balloon.
    HWND balloon = pollFor([] {
        for (HWND tip : findTopLevelWindows({0, "tooltips_class32", "", false, true})) {
            if (GetWindowLongA(tip, GWL_STYLE) & 0x40) return tip;  // TTS_BALLOON
        }
        return HWND(nullptr);
    }, kWait);
    if (balloon != nullptr) shoot(balloon, "change-balloon");
    EXPECT_NE(balloon, nullptr) << "no balloon";

    ASSERT_TRUE(selectOnly(app.rows(), {"Tollenby Lab news"}));
    ASSERT_TRUE(postCommand(app.main, ID_DOC_WHAT_CHANGED));
    HWND window = waitForTopLevelWindow({app.pid(), "HalvorsightWhatChanged", "", false, true}, kShortWait);
    ASSERT_NE(window, nullptr);
    SetWindowPos(window, nullptr, 4, 20, 1016, 540, SWP_NOZORDER);
    shoot(window, "what-changed");
    clickButton(window, 1108);  // one column
    shoot(window, "what-changed-one-column");
    clickButton(window, 1108);

    ASSERT_TRUE(selectOnly(app.rows(), {"Setup program"}));
    ASSERT_TRUE(postCommand(app.main, ID_DOC_WHAT_CHANGED));
    Sleep(300);
    shoot(window, "what-changed-hex");
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(exitByCommand(app).has_value());
}

}  // namespace
}  // namespace hs::e2e
