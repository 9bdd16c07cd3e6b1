// How the program ends (Exit, closing the window, the tray menu's Exit), how
// a second start behaves, and the way in and out of the notification area.
#include <string>
#include <vector>

#include "decoy_window.h"
#include "program_test.h"
#include "res/command_ids.h"

namespace hs::e2e {
namespace {

class LifecycleTest : public ProgramTest {
protected:
    // A directory whose shutdown leaves traces: a record caught in
    // Retrieving (stored as WaitingForRetrieve) and a leftover temporary file.
    void prepareShutdownTraces() {
        writeRecord(makeRecord("Stuck", LocalFile, "C:\\nowhere\\stuck.txt", Retrieving));
        dir().writeFile("data\\QVR1.tmp", "left over");
    }

    void expectShutdownTraces() {
        const std::string stored = readRecordFile("Stuck");
        ASSERT_EQ(stored.size(), offsets::recordSize);
        EXPECT_EQ(int32At(stored, offsets::status), WaitingForRetrieve) << "the catalogue was not saved";
        EXPECT_FALSE(dir().exists("data\\QVR1.tmp")) << "temporary files were not deleted";
    }

    // Ends the program by `how` and checks the orderly shutdown: exit code
    // 0, the catalogue saved, temporary files gone, the tray icon removed.
    void checkOrderlyShutdown(const std::string& how) {
        prepareShutdownTraces();
        RunningProgram& app = start();
        TrayIcon icon;
        ASSERT_TRUE(waitForTrayIcon(app, icon)) << "no tray icon with the tip \"" << kTrayTip << "\"";
        if (how == "exit") {
            postCommand(app.main, ID_APP_EXIT_CMD);
        } else if (how == "close") {
            postSysCommand(app.main, SC_CLOSE);
        } else {
            postCommand(app.main, ID_TRAY_EXIT);
        }
        const auto code = waitForExit(app);
        ASSERT_TRUE(code.has_value()) << "the program did not end";
        EXPECT_EQ(*code, 0u);
        expectShutdownTraces();
        TrayIcon still;
        EXPECT_FALSE(findSameTrayIcon(icon, still)) << "the tray icon was left behind";
    }

    static bool shown(HWND w) { return IsWindowVisible(w) && !IsIconic(w); }
};

TEST_F(LifecycleTest, ExitCommandSavesAndCleansUp) { checkOrderlyShutdown("exit"); }

TEST_F(LifecycleTest, ClosingTheWindowSavesLikeExit) { checkOrderlyShutdown("close"); }

TEST_F(LifecycleTest, TrayMenuExitSavesLikeExit) { checkOrderlyShutdown("tray"); }

TEST_F(LifecycleTest, MinimizeHidesToTrayAndDoubleClickBringsItBack) {
    writeRecord(makeRecord("Doc", LocalFile, "C:\\nowhere\\doc.txt", NotChanged));
    RunningProgram& app = start();
    TrayIcon icon;
    ASSERT_TRUE(waitForTrayIcon(app, icon)) << "no tray icon with the tip \"" << kTrayTip << "\"";

    postSysCommand(app.main, SC_MINIMIZE);
    ASSERT_TRUE(pollUntil([&] { return !IsWindowVisible(app.main); }, kShortWait))
        << "minimizing did not hide the window";
    EXPECT_TRUE(app.process.running()) << "minimizing ended the program";

    // A single click does nothing; nothing to poll for, so give it time.
    ASSERT_TRUE(findSameTrayIcon(icon, icon));
    clickTrayIcon(icon);
    Sleep(400);
    EXPECT_FALSE(IsWindowVisible(app.main)) << "a single click showed the window";

    ASSERT_TRUE(findSameTrayIcon(icon, icon));
    doubleClickTrayIcon(icon);
    ASSERT_TRUE(pollUntil([&] { return shown(app.main); }, kShortWait))
        << "the double-click did not bring the window back";
    EXPECT_FALSE(isTopmost(app.main)) << "the window was left topmost";
    EXPECT_TRUE(pollUntil([&] { return isForeground(app.main); }, kShortWait))
        << "the window is not in front";

    // The tray menu's "Open.." does the same.
    postSysCommand(app.main, SC_MINIMIZE);
    ASSERT_TRUE(pollUntil([&] { return !IsWindowVisible(app.main); }, kShortWait));
    postCommand(app.main, ID_TRAY_OPEN);
    ASSERT_TRUE(pollUntil([&] { return shown(app.main); }, kShortWait)) << "\"Open..\" did not show the window";
    EXPECT_FALSE(isTopmost(app.main));

    // Maximize and restore are not minimizing: the window stays shown.
    postSysCommand(app.main, SC_MAXIMIZE);
    ASSERT_TRUE(pollUntil([&] { return IsZoomed(app.main) != 0; }, kShortWait));
    postSysCommand(app.main, SC_RESTORE);
    ASSERT_TRUE(pollUntil([&] { return !IsZoomed(app.main); }, kShortWait));
    EXPECT_TRUE(shown(app.main));

    const auto code = exitByCommand(app);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0u);
}

TEST_F(LifecycleTest, TrayMenuOpensOnRightButtonAndCarriesOutItsChoice) {
    writeRecord(makeRecord("Doc", LocalFile, "C:\\nowhere\\doc.txt", NotChanged));
    RunningProgram& app = start();
    TrayIcon icon;
    ASSERT_TRUE(waitForTrayIcon(app, icon));
    postSysCommand(app.main, SC_MINIMIZE);
    ASSERT_TRUE(pollUntil([&] { return !IsWindowVisible(app.main); }, kShortWait));

    ASSERT_TRUE(findSameTrayIcon(icon, icon));
    rightClickTrayIcon(icon);
    HWND popup = pollFor([&] { return findOpenPopupMenu(app.pid()); }, kShortWait);
    ASSERT_NE(popup, nullptr) << "the right button opened no menu";
    Menu menu;
    std::string error;
    ASSERT_TRUE(readOpenPopupMenu(app.process.handle(), menu, error)) << error;
    EXPECT_EQ(menuLines(menu, true), (std::vector<std::string>{"Open.. = 32798", "Check All ! = 32800", "----",
                                                               "Option.. = 32790", "----", "Exit = 32799"}));

    // Leaving the menu chooses nothing.
    postKey(popup, VK_ESCAPE);
    ASSERT_TRUE(waitForWindowGone(popup, kShortWait) || !IsWindowVisible(popup)) << "Esc did not close the menu";
    EXPECT_FALSE(IsWindowVisible(app.main));
    EXPECT_TRUE(app.process.running());

    // The first item, chosen by keyboard, reaches the frame: "Open..".
    ASSERT_TRUE(findSameTrayIcon(icon, icon));
    rightClickTrayIcon(icon);
    popup = pollFor([&] { return findOpenPopupMenu(app.pid()); }, kShortWait);
    ASSERT_NE(popup, nullptr);
    postKey(popup, VK_DOWN);
    postKey(popup, VK_RETURN);
    EXPECT_TRUE(pollUntil([&] { return shown(app.main); }, kShortWait)) << "\"Open..\" from the menu did nothing";

    const auto code = exitByCommand(app);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0u);
}

TEST_F(LifecycleTest, SecondStartRaisesTheFirstAndEndsWithoutAWindow) {
    writeRecord(makeRecord("Doc", LocalFile, "C:\\nowhere\\doc.txt", NotChanged));
    RunningProgram& first = start();
    postSysCommand(first.main, SC_MINIMIZE);
    ASSERT_TRUE(pollUntil([&] { return !IsWindowVisible(first.main); }, kShortWait));

    WorkDir& other = extraDir("second");
    RunningProgram& second = launch(&other);
    bool secondShowedAWindow = false;
    const bool ended = pollUntil([&] {
        if (!visibleWindowsOf(second.pid()).empty()) secondShowedAWindow = true;
        return !second.process.running();
    });
    ASSERT_TRUE(ended) << "the second instance did not end";
    const auto code = second.process.waitForExit(milliseconds(0));
    ASSERT_TRUE(code.has_value());
    EXPECT_FALSE(isCrashCode(*code)) << "the second instance crashed: " << std::hex << *code;
    EXPECT_FALSE(secondShowedAWindow);
    EXPECT_FALSE(other.exists("data")) << "the second instance went on to create its data directory";

    EXPECT_TRUE(pollUntil([&] { return shown(first.main); }, kShortWait))
        << "the running instance was not brought back";
    EXPECT_FALSE(isTopmost(first.main)) << "the running instance was left topmost";
    WindowQuery q;
    q.title = kAppTitle;
    q.visibleOnly = true;
    EXPECT_EQ(findTopLevelWindows(q).size(), 1u);

    const auto firstCode = exitByCommand(first);
    ASSERT_TRUE(firstCode.has_value());
    EXPECT_EQ(*firstCode, 0u);
}

// The single-instance test looks for the title anywhere in any top-level
// caption, case-sensitively: a browser showing a page of that name counts.
TEST_F(LifecycleTest, AnyCaptionContainingTheTitleCountsAsRunningInstance) {
    DecoyWindow decoy(std::string("Notes about ") + kAppTitle + " - Some Browser", true);
    ASSERT_NE(decoy.hwnd(), nullptr);
    ASSERT_TRUE(IsIconic(decoy.hwnd()));

    RunningProgram& app = launch();
    const auto code = app.process.waitForExit(kWait);
    ASSERT_TRUE(code.has_value()) << "the program did not end although a window carries its title";
    EXPECT_FALSE(isCrashCode(*code)) << std::hex << *code;
    EXPECT_FALSE(dir().exists("data"));
    EXPECT_TRUE(pollUntil([&] { return shown(decoy.hwnd()); }, kShortWait))
        << "the window with the title was not brought to the front";
    EXPECT_FALSE(isTopmost(decoy.hwnd()));
}

TEST_F(LifecycleTest, TitleInOtherLetterCaseDoesNotCount) {
    std::string lower = kAppTitle;
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    DecoyWindow decoy(lower, true);
    ASSERT_NE(decoy.hwnd(), nullptr);

    RunningProgram& app = start();
    EXPECT_TRUE(dir().isDirectory("data"));
    EXPECT_TRUE(IsIconic(decoy.hwnd())) << "the look-alike window was raised";
    const auto code = exitByCommand(app);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0u);
}

}  // namespace
}  // namespace hs::e2e
