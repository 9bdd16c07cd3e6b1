// Faults seen from outside: a record file whose stored name points out of
// "data", the end of the Windows session, a document deleted while the
// worker reads its kept copy, and a notification area that is created anew.
#include <algorithm>
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "held_file.h"
#include "program_test.h"
#include "screenshot.h"
#include "res/command_ids.h"

namespace hs::e2e {
namespace {

constexpr UINT kTrayIconId = 1025;

class RobustnessTest : public QuietProgramTest {
protected:
    // Delete on the selected rows, answered Yes.
    void deleteSelectedRows(RunningProgram& app) {
        postCommand(app.main, ID_DOC_DELETE);
        HWND question = waitForDialog(app.pid(), kAppTitle, kShortWait);
        ASSERT_NE(question, nullptr) << "Delete asked nothing";
        ASSERT_TRUE(clickButton(question, IDYES));
        ASSERT_TRUE(waitForWindowGone(question, kShortWait));
    }
};

TEST_F(RobustnessTest, StoredNamesOutsideDataAreNotLoadedAndNothingOutsideIsTouched) {
    dir().writeFile("victim.data", "not the program's");
    dir().writeFile("victim.content", "not the program's either");
    writeRecord(makeRecord("..\\victim", LocalFile, "C:\\nowhere\\a.txt", NotChanged), "escape.data");
    writeRecord(makeRecord("x/../../victim", LocalFile, "C:\\nowhere\\b.txt", NotChanged), "slash.data");
    writeRecord(makeRecord("Fine", LocalFile, "C:\\nowhere\\c.txt", NotChanged));
    RunningProgram& app = start();
    const RemoteListView list = app.rows();
    ASSERT_TRUE(pollUntil([&] { return list.rowCount() >= 1; }, kShortWait));
    EXPECT_EQ(list.names(), (std::vector<std::string>{"Fine"}));

    // Delete everything that was loaded, then the orderly exit writes every
    // record it holds.
    for (int row = 0; row < list.rowCount(); ++row) list.setSelected(row, true);
    deleteSelectedRows(app);
    const auto code = exitByCommand(app);
    ASSERT_TRUE(code.has_value());
    std::string bytes;
    EXPECT_TRUE(dir().readFile("victim.data", bytes) && bytes == "not the program's");
    EXPECT_TRUE(dir().readFile("victim.content", bytes) && bytes == "not the program's either");
}

// Windows ends a session with WM_QUERYENDSESSION and WM_ENDSESSION and then
// ends the process, without the close that runs the orderly exit.
TEST_F(RobustnessTest, EndOfSessionSavesTheCatalogue) {
    dir().writeFile("doc.txt", "same");
    dir().writeFile("data\\Doc.content", "same");
    writeRecord(makeRecord("Doc", LocalFile, "doc.txt", Changed));
    dir().writeFile("data\\QVR7.tmp", "left over");
    RunningProgram& app = start();
    const RemoteListView list = app.rows();
    postKey(app.list, VK_ESCAPE);  // "Not changed", in memory only
    ASSERT_TRUE(pollUntil([&] { return list.text(0, 2) == "Not changed"; }, kShortWait));
    EXPECT_EQ(int32At(readRecordFile("Doc"), offsets::status), Changed);

    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(app.main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, 5000,
                                    &answer));
    EXPECT_NE(answer, 0u) << "the program refused to let the session end";
    ASSERT_TRUE(SendMessageTimeoutA(app.main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_BLOCK, 5000,
                                    &answer));
    app.process.terminate();  // what the system does next

    EXPECT_EQ(int32At(readRecordFile("Doc"), offsets::status), NotChanged) << "the catalogue was not saved";
    EXPECT_FALSE(dir().exists("data\\QVR7.tmp"));
}

// The worker holds the kept copy open while it compares; the document is
// deleted meanwhile. Its files must be gone at once, not left behind for a
// later document of the same name to be compared with.
TEST_F(RobustnessTest, ADocumentDeletedWhileItsKeptCopyIsReadLeavesNoFile) {
    HeldFile source("sharing");
    ASSERT_TRUE(source) << "cannot create the held file";
    const std::string kept(2000, 'k');
    dir().writeFile("data\\Held.content", kept);
    dir().writeFile("data\\Held.middle", "middle");
    writeRecord(makeRecord("Held", LocalFile, source.path(), WaitingForRetrieve));
    RunningProgram& app = start();
    const RemoteListView list = app.rows();
    // The first piece equals the kept one: the worker has read the kept copy
    // and waits for the next piece with it open.
    ASSERT_TRUE(source.opened(kShortWait)) << "the worker did not open the document";
    ASSERT_TRUE(source.send(kept.substr(0, 512)));
    ASSERT_TRUE(pollUntil([&] { return list.text(0, 2) == "Retrieving..."; }, kShortWait));
    Sleep(300);

    ASSERT_TRUE(list.setSelected(0, true));
    deleteSelectedRows(app);
    EXPECT_TRUE(pollUntil([&] { return list.rowCount() == 0; }, kShortWait));
    EXPECT_FALSE(dir().exists("data\\Held.content")) << "the kept copy stayed while it was read";
    EXPECT_FALSE(dir().exists("data\\Held.middle"));
    EXPECT_FALSE(dir().exists("data\\Held.data"));

    // The worker finishes with a changed content; nothing comes back.
    ASSERT_TRUE(source.release(std::string(700, 'n')));
    Sleep(1000);
    std::vector<std::string> left = dir().list("data");
    left.erase(std::remove(left.begin(), left.end(), "staging"), left.end());  // the checks' folder
    EXPECT_EQ(left, std::vector<std::string>{}) << "files left in data";
    EXPECT_EQ(dir().temporaryFiles(), std::vector<std::string>{});
    const auto code = exitByCommand(app);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(dir().list("data"), std::vector<std::string>{});
}

// Explorer broadcasts "TaskbarCreated" when it has made a new notification
// area, which holds none of the old icons.
TEST_F(RobustnessTest, TheTrayIconComesBackWhenTheTaskbarIsCreatedAgain) {
    RunningProgram& app = start();
    TrayIcon icon;
    ASSERT_TRUE(waitForTrayIcon(app, icon)) << "no tray icon with the tip \"" << kTrayTip << "\"";

    // The icon lost, as with a new notification area.
    NOTIFYICONDATAA lost{};
    lost.cbSize = NOTIFYICONDATAA_V2_SIZE;
    lost.hWnd = app.main;
    lost.uID = kTrayIconId;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &lost));
    ASSERT_TRUE(pollUntil([&] { return !findSameTrayIcon(icon, icon); }, kShortWait));

    SendNotifyMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(pollUntil([&] { return !trayIcons().empty(); }, kShortWait)) << "the tray icon did not come back";
    Sleep(200);
    saveScreenshot(screenshotDirectory() + "\\RobustnessTest.TheTrayIconComesBackWhenTheTaskbarIsCreatedAgain-tray.bmp");

    // The icon that came back is the program's: a double-click on it after
    // a minimize brings the window back.
    postSysCommand(app.main, SC_MINIMIZE);
    ASSERT_TRUE(pollUntil([&] { return !IsWindowVisible(app.main); }, kShortWait));
    const auto icons = trayIcons();
    ASSERT_FALSE(icons.empty());
    doubleClickTrayIcon(icons.front());
    EXPECT_TRUE(pollUntil([&] { return IsWindowVisible(app.main) != 0; }, kShortWait));
    const auto code = exitByCommand(app);
    ASSERT_TRUE(code.has_value());
}

}  // namespace
}  // namespace hs::e2e
