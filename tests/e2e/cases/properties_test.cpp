// The document properties dialog behind Edit and Duplicate: the controls it
// opens with, a rename and what it does to the document's files, OK's
// refusals leaving the fields as typed, a duplicate stored as a second row,
// Cancel leaving every file alone, and the FTP connection test against the
// local FTP server and the hostile ones (off the window thread, cancelled
// at once). Each dialog is also kept as a picture in the shots
// directory.
#include <algorithm>
#include <string>
#include <vector>

#include "list_input.h"
#include "program_test.h"
#include "screenshot.h"
#include "res/command_ids.h"

namespace hs::e2e {
namespace {

constexpr int kStatusColumn = 2;

constexpr int kTypeHtml = 1003, kTypeWeb = 1004, kTypeFtp = 1005, kTypeLocal = 1006;
constexpr int kName = 1007, kLocation = 1008, kAction = 1009, kUseAccount = 1011, kUserName = 1012,
              kPassword = 1013, kHint = 1014, kLocationGroup = 1015, kCountString = 1025, kMiddleStart = 1026,
              kBinary = 1027, kCount = 1028, kMiddle = 1029, kMiddleEnd = 1030;

class PropertiesTest : public QuietProgramTest {
protected:
    HWND openWith(RunningProgram& app, const std::string& row, int command, const std::string& title) {
        if (!selectOnly(app.rows(), {row})) return nullptr;
        postCommand(app.main, command);
        return waitForDialog(app.pid(), title, kShortWait);
    }

    static bool checked(HWND dlg, int id) { return isButtonChecked(dlg, id); }
    static bool enabled(HWND dlg, int id) { return IsWindowEnabled(GetDlgItem(dlg, id)) != 0; }
    static bool type(HWND dlg, int id, const std::string& text) { return typeText(dlg, id, text); }

    // Presses OK and returns the text of the message box it shows (closed
    // again), or "(closed)" when the dialog ended instead.
    std::string okMessage(RunningProgram& app, HWND dlg) {
        clickButton(dlg, IDOK);
        HWND box = nullptr;
        pollUntil([&] { return (box = findBox(app)) != nullptr || !IsWindow(dlg); }, kShortWait);
        if (!box) return IsWindow(dlg) ? "(nothing)" : "(closed)";
        const std::string text = messageBoxText(box);
        clickButton(box, IDOK);
        waitForWindowGone(box, kShortWait);
        return text;
    }

    HWND findBox(RunningProgram& app) {
        const std::vector<HWND> boxes = findDialogs(app.pid(), kAppTitle);
        for (HWND box : boxes) {
            if (box != app.main) return box;
        }
        return nullptr;
    }

    void keepPicture(HWND dlg, const std::string& label) {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        Sleep(500);  // let the dialog paint itself first
        saveWindowScreenshot(dlg, screenshotDirectory() + "\\PropertiesTest-" + name + "-" + label + ".bmp");
    }

    std::string bytesOf(const std::string& file) {
        std::string bytes;
        return dir().readFile(file, bytes) ? bytes : "(missing)";
    }
};

TEST_F(PropertiesTest, EditShowsTheRecordCancelKeepsFilesAndARenameStartsAfresh) {
    Document page = makeRecord("News", HtmlPage, "http://127.0.0.1:9/news.html", NotChanged);
    page.middleMode = 1;
    setField(page.middleStart, "<h1>");
    setField(page.middleEnd, "</h1>");
    page.useAccount = 1;
    setField(page.userName, "reader");
    setField(page.password, "secret");
    writeRecord(page);
    dir().writeFile("Watched.txt", "watched content");
    dir().writeFile("data\\Watched.content", "old kept copy");
    dir().writeFile("data\\Watched.middle", "old middle");
    writeRecord(makeRecord("Watched", LocalFile, "Watched.txt", NotChanged));
    const std::string newsBytes = bytesOf("data\\News.data");
    RunningProgram& app = start();

    // "&Edit.." of the context menu, chosen by its mnemonic.
    ASSERT_TRUE(selectOnly(app.rows(), {"News"}));
    RECT row{};
    ASSERT_TRUE(app.rows().rowRect(0, row));
    postContextMenuRequest(app.list, clientToScreenPoint(app.list, row.left + 20, (row.top + row.bottom) / 2));
    HWND popup = pollFor([&] { return findOpenPopupMenu(app.pid()); }, kShortWait);
    ASSERT_NE(popup, nullptr) << "no context menu";
    postKey(popup, 'E');
    HWND dlg = waitForDialog(app.pid(), "Edit document", kShortWait);
    ASSERT_NE(dlg, nullptr) << "the context menu's Edit opened no \"Edit document\" dialog";
    EXPECT_FALSE(IsWindowEnabled(app.main)) << "the dialog is not modal";
    EXPECT_EQ(dialogItemText(dlg, kName), "News");
    EXPECT_EQ(dialogItemText(dlg, kLocation), "http://127.0.0.1:9/news.html");
    EXPECT_EQ(dialogItemText(dlg, kLocationGroup), "URL");
    EXPECT_EQ(dialogItemText(dlg, kAction), "&Open to check..");
    EXPECT_TRUE(checked(dlg, kTypeHtml) && checked(dlg, kMiddle) && checked(dlg, kUseAccount));
    EXPECT_FALSE(checked(dlg, kBinary) || checked(dlg, kCount) || checked(dlg, kTypeWeb));
    EXPECT_EQ(dialogItemText(dlg, kMiddleStart), "<h1>");
    EXPECT_EQ(dialogItemText(dlg, kMiddleEnd), "</h1>");
    EXPECT_EQ(dialogItemText(dlg, kCountString), "");
    EXPECT_EQ(dialogItemText(dlg, kUserName), "reader");
    EXPECT_TRUE(enabled(dlg, kMiddleStart) && enabled(dlg, kUserName) && enabled(dlg, kPassword));
    EXPECT_FALSE(enabled(dlg, kCountString));
    EXPECT_NE(dialogItemText(dlg, kHint).find("Example: (Tollenby Lab's news page)"), std::string::npos);
    keepPicture(dlg, "edit-page");

    // The type buttons switch the texts and the comparison controls.
    ASSERT_TRUE(clickButton(dlg, kTypeFtp));
    EXPECT_TRUE(pollUntil([&] { return dialogItemText(dlg, kAction) == "&Connect to check.."; }, kShortWait));
    EXPECT_EQ(dialogItemText(dlg, kLocationGroup), "FTP server/directory/filename");
    EXPECT_FALSE(enabled(dlg, kMiddle) || enabled(dlg, kMiddleStart));
    ASSERT_TRUE(clickButton(dlg, kTypeLocal));
    EXPECT_TRUE(pollUntil([&] { return !enabled(dlg, kUseAccount); }, kShortWait));
    EXPECT_TRUE(checked(dlg, kUseAccount) && enabled(dlg, kUserName));
    EXPECT_EQ(dialogItemText(dlg, kAction), "&Browse..");

    ASSERT_TRUE(clickButton(dlg, IDCANCEL));
    ASSERT_TRUE(waitForWindowGone(dlg, kShortWait));
    EXPECT_TRUE(bytesOf("data\\News.data") == newsBytes) << "Cancel changed the record file";
    EXPECT_EQ(cellOf(app.rows(), "News", kStatusColumn), "Not changed");

    // Ctrl+E on the local file, renamed.
    ASSERT_TRUE(selectOnly(app.rows(), {"Watched"}));
    ASSERT_TRUE(sendKey(app.list, 'E', true));
    dlg = waitForDialog(app.pid(), "Edit document", kShortWait);
    ASSERT_NE(dlg, nullptr) << "Ctrl+E opened no dialog";
    EXPECT_TRUE(checked(dlg, kTypeLocal) && checked(dlg, kBinary));
    EXPECT_FALSE(enabled(dlg, kUseAccount) || enabled(dlg, kBinary) || enabled(dlg, kUserName));
    EXPECT_EQ(dialogItemText(dlg, kAction), "&Browse..");
    EXPECT_EQ(dialogItemText(dlg, kLocationGroup), "PATH");
    keepPicture(dlg, "edit-local");
    ASSERT_TRUE(type(dlg, kName, "Renamed"));
    EXPECT_EQ(okMessage(app, dlg), "(closed)");

    const RemoteListView list = app.rows();
    ASSERT_TRUE(pollUntil([&] { return cellOf(list, "Renamed", kStatusColumn) == "Saved"; }))
        << "the renamed document was not retrieved afresh: \"" << cellOf(list, "Renamed", kStatusColumn) << "\"";
    EXPECT_EQ(rowNamed(list, "Watched"), -1);
    EXPECT_FALSE(dir().exists("data\\Watched.data"));
    EXPECT_FALSE(dir().exists("data\\Watched.content"));
    EXPECT_EQ(bytesOf("data\\Watched.middle"), "old middle");
    EXPECT_EQ(bytesOf("data\\Renamed.content"), "watched content");
    const std::string stored = readRecordFile("Renamed");
    ASSERT_EQ(stored.size(), offsets::recordSize);
    EXPECT_EQ(textAt(stored, offsets::name), "Renamed");
    EXPECT_EQ(textAt(stored, offsets::url), "Watched.txt");
    EXPECT_TRUE(exitByCommand(app).has_value());
}

TEST_F(PropertiesTest, DuplicateRefusesTakenAndInvalidNamesThenStoresASecondRow) {
    dir().writeFile("Log.txt", "log lines");
    writeRecord(makeRecord("Log", LocalFile, "Log.txt", NotChanged));
    RunningProgram& app = start();

    // Ctrl+C, the accelerator of Duplicate.
    ASSERT_TRUE(selectOnly(app.rows(), {"Log"}));
    ASSERT_TRUE(sendKey(app.list, 'C', true));
    HWND dlg = waitForDialog(app.pid(), "Duplicate document", kShortWait);
    ASSERT_NE(dlg, nullptr) << "Ctrl+C opened no \"Duplicate document\" dialog";
    keepPicture(dlg, "duplicate-local");

    // The file chooser puts the chosen file's path into the location.
    dir().writeFile("Other.txt", "other lines");
    ASSERT_TRUE(clickButton(dlg, kAction));
    HWND chooser = waitForDialog(app.pid(), "Choose file..", kShortWait);
    ASSERT_NE(chooser, nullptr) << "the location button opened no file chooser";
    const std::string chosen = dir().file("Other.txt");
    HWND nameBox = GetDlgItem(chooser, 0x47C);  // the file name box of the chooser
    if (!nameBox) nameBox = GetDlgItem(chooser, 0x480);
    ASSERT_TRUE(sendBounded(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen.c_str())));
    ASSERT_TRUE(clickButton(chooser, IDOK));
    ASSERT_TRUE(waitForWindowGone(chooser, kShortWait));
    EXPECT_TRUE(pollUntil([&] { return dialogItemText(dlg, kLocation) == chosen; }, kShortWait))
        << dialogItemText(dlg, kLocation);
    ASSERT_TRUE(type(dlg, kLocation, "Log.txt"));
    EXPECT_EQ(okMessage(app, dlg), "Same document name already exist. Please use another name.");
    ASSERT_TRUE(type(dlg, kName, "LOG"));
    EXPECT_EQ(okMessage(app, dlg), "Same document name already exist. Please use another name.");
    ASSERT_TRUE(type(dlg, kName, "Log?"));
    EXPECT_EQ(okMessage(app, dlg),
              "Invalid document name. Please do not use the following characters:\n\n\\ / : * ? \" < > |");
    ASSERT_TRUE(clickButton(dlg, kTypeHtml));
    ASSERT_TRUE(pollUntil([&] { return enabled(dlg, kUseAccount); }, kShortWait));
    ASSERT_TRUE(clickButton(dlg, kUseAccount));
    ASSERT_TRUE(pollUntil([&] { return enabled(dlg, kUserName); }, kShortWait));
    EXPECT_EQ(okMessage(app, dlg), "Please enter the username.");
    EXPECT_EQ(dialogItemText(dlg, kName), "Log?");
    EXPECT_EQ(dialogItemText(dlg, kLocation), "Log.txt");
    EXPECT_TRUE(checked(dlg, kTypeHtml) && checked(dlg, kUseAccount));
    EXPECT_EQ(app.rows().rowCount(), 1);

    ASSERT_TRUE(clickButton(dlg, kUseAccount));
    ASSERT_TRUE(clickButton(dlg, kTypeLocal));
    ASSERT_TRUE(type(dlg, kName, "Log copy"));
    ASSERT_TRUE(pollUntil([&] { return checked(dlg, kTypeLocal) && !checked(dlg, kUseAccount); }, kShortWait));
    EXPECT_EQ(okMessage(app, dlg), "(closed)");

    const RemoteListView list = app.rows();
    ASSERT_TRUE(pollUntil([&] { return cellOf(list, "Log copy", kStatusColumn) == "Saved"; }))
        << "the copy: \"" << cellOf(list, "Log copy", kStatusColumn) << "\"";
    EXPECT_EQ(list.names(), (std::vector<std::string>{"Log", "Log copy"}));
    EXPECT_EQ(textAt(readRecordFile("Log copy"), offsets::url), "Log.txt");
    EXPECT_EQ(bytesOf("data\\Log copy.content"), "log lines");
    EXPECT_TRUE(exitByCommand(app).has_value());
}

std::string ftpState() {
    char buf[1024] = {};
    const DWORD n = GetEnvironmentVariableA("HS_FTP_STATE", buf, sizeof buf);
    return n > 0 && n < sizeof buf ? toWindowsPath(buf) : std::string();
}

class PropertiesFtpTest : public PropertiesTest {
protected:
    void SetUp() override {
        PropertiesTest::SetUp();
        ASSERT_FALSE(ftpState().empty()) << "HS_FTP_STATE is not set";
        SetEnvironmentVariableA("HS_TEST_NET_BOUNDS", "3000,3000,8000");
    }
    void TearDown() override {
        SetEnvironmentVariableA("HS_TEST_NET_BOUNDS", nullptr);
        PropertiesTest::TearDown();
    }
};

TEST_F(PropertiesFtpTest, ConnectionTestShowsEachStepInTheHintArea) {
    CreateDirectoryA((ftpState() + "\\root\\probe").c_str(), nullptr);
    HANDLE f = CreateFileA((ftpState() + "\\root\\probe\\probe.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(f, "probe", 5, &written, nullptr);
    CloseHandle(f);
    writeRecord(makeRecord("Probe", FtpFile, "ftp://127.0.0.1/probe/probe.txt", NotChanged));
    RunningProgram& app = start();

    HWND dlg = openWith(app, "Probe", ID_DOC_EDIT, "Edit document");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dialogItemText(dlg, kAction), "&Connect to Check..");
    keepPicture(dlg, "edit-ftp");
    const std::string ok = "Connecting to the server...SUCCESS\r\nChanging directory...SUCCESS\r\nGetting file...";
    ASSERT_TRUE(clickButton(dlg, kAction));
    EXPECT_TRUE(pollUntil([&] { return dialogItemText(dlg, kHint) == ok + "SUCCESS"; }))
        << dialogItemText(dlg, kHint);
    EXPECT_TRUE(pollUntil([&] { return enabled(dlg, kAction); }, kShortWait));
    keepPicture(dlg, "ftp-test");

    ASSERT_TRUE(type(dlg, kLocation, "127.0.0.1/nowhere/probe.txt"));
    ASSERT_TRUE(clickButton(dlg, kAction));
    EXPECT_TRUE(pollUntil([&] {
        return dialogItemText(dlg, kHint) ==
               "Connecting to the server...SUCCESS\r\nChanging directory...FAILED";
    })) << dialogItemText(dlg, kHint);
    EXPECT_TRUE(dir().temporaryFiles().empty()) << "the test left a temporary file";
    ASSERT_TRUE(clickButton(dlg, IDCANCEL));
    ASSERT_TRUE(waitForWindowGone(dlg, kShortWait));
    EXPECT_TRUE(exitByCommand(app).has_value());
}

TEST_F(PropertiesFtpTest, HostileServersLeaveTheDialogAnsweringAndCancelEndsTheTestAtOnce) {
    writeRecord(makeRecord("Hostile", FtpFile, "127.0.0.2/pub/f.bin", NotChanged));
    RunningProgram& app = start();
    HWND dlg = openWith(app, "Hostile", ID_DOC_EDIT, "Edit document");
    ASSERT_NE(dlg, nullptr);
    const std::string getting = "Connecting to the server...SUCCESS\r\nChanging directory...SUCCESS\r\nGetting file...";
    auto temps = [&] {
        return dir().temporaryFiles().size();
    };

    // A silent server: the dialog answers meanwhile (its hint is read), the reply bound ends the test.
    ASSERT_TRUE(clickButton(dlg, kAction));
    EXPECT_TRUE(pollUntil([&] { return dialogItemText(dlg, kHint) == "Connecting to the server..."; }, kShortWait));
    EXPECT_FALSE(enabled(dlg, kAction) || enabled(dlg, IDOK));
    EXPECT_TRUE(pollUntil([&] { return dialogItemText(dlg, kHint) == "Connecting to the server...FAILED"; },
                          milliseconds(8000)));
    EXPECT_TRUE(pollUntil([&] { return enabled(dlg, kAction) && enabled(dlg, IDOK); }, kShortWait));

    // A trickling server has accepted the transfer: that is the success, nothing is downloaded.
    ASSERT_TRUE(type(dlg, kLocation, "127.0.0.4/pub/f.bin"));
    ASSERT_TRUE(clickButton(dlg, kAction));
    EXPECT_TRUE(pollUntil([&] { return dialogItemText(dlg, kHint) == getting + "SUCCESS"; }, kShortWait))
        << dialogItemText(dlg, kHint);

    // Cancel while the server keeps the data connection waiting.
    ASSERT_TRUE(pollUntil([&] { return enabled(dlg, kAction); }, kShortWait));
    ASSERT_TRUE(type(dlg, kLocation, "127.0.0.3/pub/f.bin"));
    ASSERT_TRUE(clickButton(dlg, kAction));
    ASSERT_TRUE(pollUntil([&] { return temps() == 1; }, kShortWait)) << dialogItemText(dlg, kHint);
    EXPECT_EQ(dialogItemText(dlg, kHint), getting);
    ASSERT_TRUE(clickButton(dlg, IDCANCEL));
    EXPECT_TRUE(waitForWindowGone(dlg, milliseconds(1000)));
    EXPECT_TRUE(pollUntil([&] { return temps() == 0; }, milliseconds(1500))) << "the temporary file stayed";
    EXPECT_TRUE(exitByCommand(app).has_value());
}

}  // namespace
}  // namespace hs::e2e
