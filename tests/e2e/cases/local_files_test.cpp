// Documents that are files in the test's directory: the status cycle of
// their checks, the kept copies in "data", the commands that reset and
// delete them, and what reaches the record files at exit.
#include <regex>
#include <string>
#include <vector>

#include "program_test.h"
#include "res/command_ids.h"

namespace hs::e2e {
namespace {

constexpr int kStatusColumn = 2;
constexpr int kLastCheckColumn = 3;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

const std::regex kLastCheckForm(R"(\d{4}/\d{2}/\d{2} \[\d{2}:\d{2}:\d{2}\])");

class LocalFilesTest : public QuietProgramTest {
protected:
    // A document whose source and kept copy exist; `kept` empty: no copy.
    void prepareDocument(const std::string& name, int32_t status, const std::string& source,
                         const std::string& kept) {
        const std::string file = name + ".txt";
        if (!source.empty()) dir().writeFile(file, source);
        if (!kept.empty()) dir().writeFile("data\\" + name + ".content", kept);
        writeRecord(makeRecord(name, LocalFile, file, status));
    }

    std::string kept(const std::string& name) {
        std::string bytes;
        if (!dir().readFile("data\\" + name + ".content", bytes)) return "(no kept copy)";
        return bytes;
    }

    // Checks the selected rows with F5 and waits until the named row shows
    // a final status with a last-check text other than `lastBefore`.
    std::string checkAndWait(const RunningProgram& app, const std::string& name) {
        const RemoteListView list = app.rows();
        const std::string before = cellOf(list, name, kLastCheckColumn);
        // Stamps have whole seconds: make sure the next one differs.
        Sleep(1100);
        postKey(app.list, VK_F5);
        std::string status;
        pollUntil(
            [&] {
                status = cellOf(list, name, kStatusColumn);
                return cellOf(list, name, kLastCheckColumn) != before && status != "Retrieving..." &&
                       status != "Waiting for retrieve...";
            },
            kWait);
        return status;
    }
};

// Source bytes that a text-mode copy would change: CR LF, a lone LF, a zero
// byte and 0x1A.
const char kSourceBytes[] = "line one\r\nline two\nzero \0 byte \x1A after\r\n";
const std::string kSource(kSourceBytes, sizeof kSourceBytes - 1);

TEST_F(LocalFilesTest, ChecksSaveCompareReplaceAndFailAsTheSourceChanges) {
    prepareDocument("Watched", WaitingForRetrieve, kSource, "");
    RunningProgram& app = start();
    const RemoteListView list = app.rows();

    // The worker started at every start takes the waiting document: the
    // first retrieval keeps a byte-identical copy.
    ASSERT_TRUE(pollUntil([&] { return cellOf(list, "Watched", kStatusColumn) == "Saved"; }))
        << "status \"" << cellOf(list, "Watched", kStatusColumn) << "\"";
    EXPECT_EQ(list.image(0), 0);
    const std::string firstStamp = cellOf(list, "Watched", kLastCheckColumn);
    EXPECT_TRUE(std::regex_match(firstStamp, kLastCheckForm)) << "last check \"" << firstStamp << "\"";
    EXPECT_TRUE(kept("Watched") == kSource) << "the kept copy differs from the source";

    ASSERT_TRUE(selectOnly(list, {"Watched"}));
    EXPECT_EQ(checkAndWait(app, "Watched"), "Not changed");

    // A source that only lost its tail counts as unchanged.
    dir().writeFile("Watched.txt", kSource.substr(0, 10));
    EXPECT_EQ(checkAndWait(app, "Watched"), "Not changed");
    EXPECT_TRUE(kept("Watched") == kSource) << "an unchanged check replaced the kept copy";

    const std::string grown = kSource + "one more line\r\n";
    dir().writeFile("Watched.txt", grown);
    EXPECT_EQ(checkAndWait(app, "Watched"), "Changed");
    EXPECT_EQ(list.image(rowNamed(list, "Watched")), 3);
    EXPECT_TRUE(kept("Watched") == grown) << "the kept copy was not replaced by the new content";

    // A deleted source: the check fails, the kept copy stays.
    postKey(app.list, VK_ESCAPE);  // out of Changed, or F5 would pass it by
    ASSERT_TRUE(pollUntil([&] { return cellOf(list, "Watched", kStatusColumn) == "Not changed"; }, kShortWait));
    ASSERT_TRUE(DeleteFileA(dir().file("Watched.txt").c_str()));
    EXPECT_EQ(checkAndWait(app, "Watched"), "Unable to retrieve");
    EXPECT_EQ(list.image(rowNamed(list, "Watched")), 2);
    EXPECT_TRUE(kept("Watched") == grown) << "a failed check touched the kept copy";
    const std::string lastStamp = cellOf(list, "Watched", kLastCheckColumn);
    EXPECT_TRUE(std::regex_match(lastStamp, kLastCheckForm)) << "a failed check got no stamp: " << lastStamp;

    const auto code = exitByCommand(app);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0u);
    const std::string stored = readRecordFile("Watched");
    ASSERT_EQ(stored.size(), offsets::recordSize);
    EXPECT_EQ(int32At(stored, offsets::status), UnableToRetrieve);
    EXPECT_EQ(textAt(stored, offsets::lastCheck), lastStamp);
}

TEST_F(LocalFilesTest, ChecksPassChangedDocumentsByAndEscResetsEveryRow) {
    prepareDocument("Changed doc", Changed, "new text", "old text");
    prepareDocument("Failed doc", UnableToRetrieve, "", "kept text");
    prepareDocument("Plain doc", NotChanged, "same text", "same text");
    RunningProgram& app = start();
    const RemoteListView list = app.rows();
    ASSERT_EQ(list.rowCount(), 3);

    // Check ! on all three rows, then Check All !: only the two that are
    // not Changed are retrieved, each time.
    ASSERT_TRUE(selectOnly(list, {"Changed doc", "Failed doc", "Plain doc"}));
    for (const std::string how : {"F5", "Check All"}) {
        SCOPED_TRACE(how);
        const std::string failedBefore = cellOf(list, "Failed doc", kLastCheckColumn);
        const std::string plainBefore = cellOf(list, "Plain doc", kLastCheckColumn);
        Sleep(1100);  // whole-second stamps
        if (how == "F5") postKey(app.list, VK_F5);
        else postCommand(app.main, ID_DOC_CHECK_ALL);
        ASSERT_TRUE(pollUntil(
            [&] {
                return cellOf(list, "Failed doc", kLastCheckColumn) != failedBefore &&
                       cellOf(list, "Plain doc", kLastCheckColumn) != plainBefore &&
                       cellOf(list, "Plain doc", kStatusColumn) == "Not changed";
            },
            kWait))
            << "the check did not reach the documents that are not Changed";
        Sleep(300);  // one pass of the worker covers every slot
        EXPECT_EQ(cellOf(list, "Changed doc", kStatusColumn), "Changed");
        EXPECT_EQ(cellOf(list, "Changed doc", kLastCheckColumn), "?") << "the Changed document was retrieved";
        EXPECT_EQ(cellOf(list, "Failed doc", kStatusColumn), "Unable to retrieve");
        EXPECT_EQ(kept("Changed doc"), "old text");
        EXPECT_EQ(kept("Failed doc"), "kept text");
    }

    // Esc: every row to "Not changed", without a retrieval.
    postKey(app.list, VK_ESCAPE);
    EXPECT_TRUE(pollUntil(
        [&] {
            for (const char* name : {"Changed doc", "Failed doc", "Plain doc"})
                if (cellOf(list, name, kStatusColumn) != "Not changed") return false;
            return true;
        },
        kShortWait))
        << cellOf(list, "Changed doc", kStatusColumn) << " / " << cellOf(list, "Failed doc", kStatusColumn);
    Sleep(300);
    EXPECT_EQ(cellOf(list, "Changed doc", kLastCheckColumn), "?") << "Esc started a check";

    ASSERT_TRUE(exitByCommand(app).has_value());
    for (const char* name : {"Changed doc", "Failed doc", "Plain doc"})
        EXPECT_EQ(int32At(readRecordFile(name), offsets::status), NotChanged) << name;
}

TEST_F(LocalFilesTest, DeleteAsksAndOnYesRemovesTheRowsAndTheirFiles) {
    for (const char* name : {"Keep", "Drop one", "Drop two"}) {
        prepareDocument(name, NotChanged, "", "content");
        dir().writeFile(std::string("data\\") + name + ".middle", "middle");
    }
    RunningProgram& app = start();
    const RemoteListView list = app.rows();
    ASSERT_EQ(list.rowCount(), 3);
    const std::vector<std::string> allFiles = dir().list("data");
    ASSERT_EQ(allFiles.size(), 9u);

    auto askDelete = [&]() -> HWND {
        postKey(app.list, VK_DELETE);
        HWND box = waitForDialog(app.pid(), kAppTitle, kShortWait);
        if (!box) return nullptr;
        EXPECT_EQ(messageBoxText(box), "Are you sure to delete the selected data ?");
        EXPECT_TRUE(hasDialogItem(box, kIdYes) && hasDialogItem(box, kIdNo)) << "not a Yes/No question";
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(box, kIdYes), GWL_STYLE) & BS_DEFPUSHBUTTON)
            << "Yes is not the default button";
        return box;
    };

    ASSERT_TRUE(selectOnly(list, {"Drop one", "Drop two"}));
    HWND box = askDelete();
    ASSERT_NE(box, nullptr) << "Del asked nothing";
    ASSERT_TRUE(clickButton(box, kIdNo));
    ASSERT_TRUE(waitForWindowGone(box, kShortWait));
    Sleep(200);
    EXPECT_EQ(list.rowCount(), 3) << "No deleted rows";
    EXPECT_EQ(dir().list("data"), allFiles) << "No deleted files";

    box = askDelete();
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(clickButton(box, kIdYes));
    ASSERT_TRUE(waitForWindowGone(box, kShortWait));
    EXPECT_TRUE(pollUntil([&] { return list.rowCount() == 1; }, kShortWait)) << "rows: " << list.rowCount();
    EXPECT_EQ(list.names(), std::vector<std::string>{"Keep"});
    EXPECT_EQ(dir().list("data"), (std::vector<std::string>{"Keep.content", "Keep.data", "Keep.middle"}));

    // The deleted documents do not come back with the exit's save.
    ASSERT_TRUE(exitByCommand(app).has_value());
    EXPECT_EQ(dir().list("data"), (std::vector<std::string>{"Keep.content", "Keep.data", "Keep.middle"}));
}

}  // namespace
}  // namespace hs::e2e
