// The document list: rows of prepared records with their texts and status
// images, header-click sorting, the context menu, and how the toolbar and
// the command keys follow the selection.
#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "held_file.h"
#include "list_input.h"
#include "program_test.h"
#include "screenshot.h"
#include "res/command_ids.h"

namespace hs::e2e {
namespace {

constexpr int kNameColumn = 0;
constexpr int kStatusColumn = 2;
constexpr int kLastCheckColumn = 3;

const std::regex kLastCheckForm(R"(\d{4}/\d{2}/\d{2} \[\d{2}:\d{2}:\d{2}\])");

class ListTest : public ProgramTest {
protected:
    // "name | type | status | last check | image" of the row named `name`.
    static std::string summary(const RemoteListView& list, const std::string& name) {
        const int row = rowNamed(list, name);
        if (row < 0) return "(no row " + name + ")";
        std::string line;
        for (const auto& cell : list.rowTexts(row)) line += cell + " | ";
        return line + std::to_string(list.image(row));
    }

    // Every row's summary in row order: after a sort, the other columns and
    // the image must have moved with the name.
    static std::vector<std::string> summaries(const RemoteListView& list) {
        std::vector<std::string> out;
        for (const auto& name : list.names()) out.push_back(summary(list, name));
        return out;
    }

    // Rows whose texts sort differently in every column, with a record
    // file each. Upper case sorts before lower case: "Charlie" < "bravo".
    void prepareSortRows() {
        struct Row {
            const char* name;
            int32_t type;
            int32_t status;
            const char* lastCheck;
        };
        for (const Row& r : {Row{"bravo", WebFile, Changed, "2004/07/15 [09:05:03]"},
                             Row{"Alpha", LocalFile, UnableToRetrieve, ""},
                             Row{"delta", HtmlPage, Saved, "1999/12/31 [23:59:59]"},
                             Row{"Charlie", FtpFile, NotChanged, "2010/01/02 [03:04:05]"}}) {
            Document rec = makeRecord(r.name, r.type, "C:\\nowhere\\file.txt", r.status);
            setField(rec.lastCheck, r.lastCheck);
            writeRecord(rec);
        }
    }

    // The popup menu that a context-menu request at `p` opens, read
    // in-process; closed again with Esc. False when none opened.
    bool contextMenuAt(RunningProgram& app, POINT p, Menu& menu) {
        postContextMenuRequest(app.list, p);
        HWND popup = pollFor([&] { return findOpenPopupMenu(app.pid()); }, kShortWait);
        if (!popup) return false;
        std::string error;
        const bool read = readOpenPopupMenu(app.process.handle(), menu, error);
        EXPECT_TRUE(read) << error;
        postKey(popup, VK_ESCAPE);
        EXPECT_TRUE(pollUntil([&] { return findOpenPopupMenu(app.pid()) == nullptr; }, kShortWait))
            << "Esc did not close the context menu";
        return read;
    }

    // The middle of the list's client area below its last row.
    static POINT belowTheRows(const RunningProgram& app) {
        const RemoteListView list = app.rows();
        RECT client{};
        GetClientRect(app.list, &client);
        RECT last{};
        int y = (client.top + client.bottom) / 2;
        if (list.rowCount() > 0 && list.rowRect(list.rowCount() - 1, last)) y = std::max<int>(y, last.bottom + 10);
        y = std::min<int>(y, client.bottom - 5);
        return clientToScreenPoint(app.list, (client.left + client.right) / 2, y);
    }
};

TEST_F(ListTest, RowsShowEveryStatusWithItsTextsAndImage) {
    // Two waiting documents whose reading the driver holds: the one worker
    // takes the first in slot order and stays in "Retrieving..." on it, so
    // the other waits behind it, whatever order the files were loaded in.
    HeldFile first("rows-a"), second("rows-b");
    ASSERT_TRUE(first && second) << "cannot create the held files";
    const std::string heldContent = "held content\r\n";
    for (const auto& [name, held] : {std::pair<const char*, HeldFile*>{"Held one", &first}, {"Held two", &second}}) {
        writeRecord(makeRecord(name, LocalFile, held->path(), WaitingForRetrieve));
        dir().writeFile(std::string("data\\") + name + ".content", heldContent);
    }
    Document page = makeRecord("Page", HtmlPage, "http://page.example/", NotChanged);
    setField(page.lastCheck, "2004/07/15 [09:05:03]");
    writeRecord(page);
    writeRecord(makeRecord("Web", WebFile, "http://web.example/f.zip", Changed));
    writeRecord(makeRecord("Ftp", FtpFile, "ftp.example/pub/f.txt", UnableToRetrieve));
    writeRecord(makeRecord("Local", LocalFile, "C:\\nowhere\\l.txt", Saved));
    writeRecord(makeRecord("Odd", 7, "?", 9));
    // A type the worker cannot retrieve and a status it does not take.
    writeRecord(makeRecord("Stuck", 7, "?", Retrieving));

    RunningProgram& app = start();
    const RemoteListView list = app.rows();
    ASSERT_EQ(list.rowCount(), 8);
    ASSERT_TRUE(pollUntil([&] { return first.opened(milliseconds(0)) || second.opened(milliseconds(0)); }))
        << "the worker did not start reading";
    const bool firstHeld = first.opened(milliseconds(0));
    const std::string heldName = firstHeld ? "Held one" : "Held two";
    const std::string waitingName = firstHeld ? "Held two" : "Held one";
    ASSERT_TRUE(pollUntil([&] { return cellOf(list, heldName, kStatusColumn) == "Retrieving..."; }, kShortWait))
        << summary(list, heldName);

    EXPECT_EQ(summary(list, "Page"), "Page | html/cgi page | Not changed | 2004/07/15 [09:05:03] | 0");
    EXPECT_EQ(summary(list, "Web"), "Web | web file | Changed | ? | 3");
    EXPECT_EQ(summary(list, "Ftp"), "Ftp | ftp file | Unable to retrieve | ? | 2");
    EXPECT_EQ(summary(list, "Local"), "Local | local file | Saved | ? | 0");
    EXPECT_EQ(summary(list, "Odd"), "Odd | Unknown | Unknown | ? | 0");
    EXPECT_EQ(summary(list, "Stuck"), "Stuck | Unknown | Retrieving... | ? | 1");
    EXPECT_EQ(summary(list, heldName), heldName + " | local file | Retrieving... | ? | 1");
    EXPECT_EQ(summary(list, waitingName), waitingName + " | local file | Waiting for retrieve... | ? | 1");

    // A picture of every status, kept beside the failure pictures.
    const std::string picture = screenshotDirectory() + "\\ListTest.RowsShowEveryStatusWithItsTextsAndImage-list.bmp";
    EXPECT_TRUE(saveWindowScreenshot(app.main, picture)) << "no picture " << picture;
    std::printf("picture of the list: %s\n", picture.c_str());

    // Released, the held document is compared with its kept copy; only then
    // does the worker go on to the one waiting behind it.
    HeldFile& heldFile = firstHeld ? first : second;
    HeldFile& waitingFile = firstHeld ? second : first;
    EXPECT_FALSE(waitingFile.opened(milliseconds(300))) << "one worker read two documents at once";
    ASSERT_TRUE(heldFile.release(heldContent));
    EXPECT_TRUE(pollUntil([&] { return cellOf(list, heldName, kStatusColumn) == "Not changed"; }, kShortWait))
        << summary(list, heldName);
    ASSERT_TRUE(waitingFile.opened(kShortWait)) << "the worker did not go on to the waiting document";
    EXPECT_TRUE(pollUntil([&] { return cellOf(list, waitingName, kStatusColumn) == "Retrieving..."; }, kShortWait));
    ASSERT_TRUE(waitingFile.release(heldContent));
    EXPECT_TRUE(pollUntil([&] { return cellOf(list, waitingName, kStatusColumn) == "Not changed"; }, kShortWait))
        << summary(list, waitingName);
    EXPECT_EQ(list.image(rowNamed(list, waitingName)), 0);
    for (const auto& name : {heldName, waitingName}) {
        const std::string stamp = cellOf(list, name, kLastCheckColumn);
        EXPECT_TRUE(std::regex_match(stamp, kLastCheckForm)) << name << ": last check \"" << stamp << "\"";
    }
    EXPECT_EQ(cellOf(list, "Stuck", kStatusColumn), "Retrieving...");

    ASSERT_TRUE(exitByCommand(app).has_value());
}

TEST_F(ListTest, HeaderClicksSortUpThenDownAndTheSelectionMovesWithTheRows) {
    prepareSortRows();
    RunningProgram& app = start();
    const RemoteListView list = app.rows();
    ASSERT_EQ(list.rowCount(), 4);
    const std::vector<std::string> before = summaries(list);
    std::vector<std::string> sortedBefore = before;
    std::sort(sortedBefore.begin(), sortedBefore.end());
    ASSERT_TRUE(selectOnly(list, {"bravo", "Alpha"}));

    struct Click {
        int column;
        std::vector<std::string> names;
    };
    // One direction toggle for every column: up, down, up, down.
    const std::vector<Click> clicks{
        {kNameColumn, {"Alpha", "Charlie", "bravo", "delta"}},
        {kNameColumn, {"delta", "bravo", "Charlie", "Alpha"}},
        // "Changed" < "Not changed" < "Saved" < "Unable to retrieve".
        {kStatusColumn, {"bravo", "Charlie", "delta", "Alpha"}},
        // Dates ascending would put "?" last; descending puts it first.
        {kLastCheckColumn, {"Alpha", "Charlie", "bravo", "delta"}},
        // Up again: the oldest date first, "?" after every date.
        {kLastCheckColumn, {"delta", "bravo", "Charlie", "Alpha"}},
    };
    for (size_t i = 0; i < clicks.size(); ++i) {
        SCOPED_TRACE("click " + std::to_string(i + 1) + " on column " + std::to_string(clicks[i].column));
        ASSERT_TRUE(clickColumnHeader(list, clicks[i].column)) << "the header click was not handled";
        EXPECT_EQ(list.names(), clicks[i].names);
        std::vector<std::string> now = summaries(list);
        std::sort(now.begin(), now.end());
        EXPECT_EQ(now, sortedBefore) << "a row's texts or image did not move with its name";
        std::vector<std::string> selected = selectedNames(list);
        std::sort(selected.begin(), selected.end());
        EXPECT_EQ(selected, (std::vector<std::string>{"Alpha", "bravo"})) << "the selection stayed behind";
    }

    // The sort touched the list only: the records are stored as they were.
    ASSERT_TRUE(exitByCommand(app).has_value());
    EXPECT_EQ(int32At(readRecordFile("bravo"), offsets::status), Changed);
    EXPECT_EQ(textAt(readRecordFile("Charlie"), offsets::lastCheck), "2010/01/02 [03:04:05]");
}

TEST_F(ListTest, ContextMenuGreysItemsByTheNumberOfSelectedRows) {
    for (const char* name : {"One", "Two", "Three"})
        writeRecord(makeRecord(name, LocalFile, "C:\\nowhere\\x.txt", NotChanged));
    RunningProgram& app = start();
    const RemoteListView list = app.rows();
    ASSERT_EQ(list.rowCount(), 3);

    auto expected = [](bool single, bool any) {
        auto item = [](const std::string& text, int id, bool on) {
            return text + " = " + std::to_string(id) + (on ? "" : " [grey]");
        };
        return std::vector<std::string>{
            item("&Open..\tDblClk", 32791, any),
            item("Vie&w document header..", 32806, single),
            item("Sa&ve document as..", 32805, single),
            item("W&hat changed..\tCtrl+W", 32807, false),  // no earlier versions
            "----",
            item("&Add..\tCtrl+A", 32776, true),
            item("&Edit..\tCtrl+E", 32777, single),
            item("Dup&licate..\tCtrl+C", 32778, single),
            item("Dele&te\tDel", 32782, any),
            "----",
            item("&Check !\tF5", 32783, any),
            item("Chec&k All !\tCtrl+F5", 32800, true),
            "----",
            item("&Select All\tCtrl+S", 32780, true),
            item("&Deselect All\tCtrl+D", 32781, true),
            "----",
            item("Set as '&Not changed' status", 32789, any),
            item("Set all as 'Not changed' stat&us\tESC", 32794, true),
        };
    };
    struct Case {
        std::vector<std::string> selected;
        bool single, any;
    };
    for (const Case& c : {Case{{}, false, false}, Case{{"Two"}, true, true}, Case{{"One", "Two", "Three"}, false, true}}) {
        SCOPED_TRACE("selected rows: " + std::to_string(c.selected.size()));
        ASSERT_TRUE(selectOnly(list, c.selected));
        // Below the last row, as a right click on the empty part of the list.
        Menu menu;
        ASSERT_TRUE(contextMenuAt(app, belowTheRows(app), menu)) << "no context menu opened";
        EXPECT_EQ(menuLines(menu, true), expected(c.single, c.any));
        EXPECT_EQ(list.selectedCount(), static_cast<int>(c.selected.size())) << "the menu changed the selection";
    }

    // Outside the list's client area (on the toolbar), and from the
    // keyboard (no point), nothing opens.
    HWND toolbar = findDescendant(app.main, TOOLBARCLASSNAMEA);
    ASSERT_NE(toolbar, nullptr);
    RECT bar{};
    GetClientRect(toolbar, &bar);
    for (const POINT p : {clientToScreenPoint(toolbar, bar.right / 2, bar.bottom / 2), POINT{-1, -1}}) {
        SCOPED_TRACE("point " + std::to_string(p.x) + "," + std::to_string(p.y));
        postContextMenuRequest(app.list, p);
        EXPECT_FALSE(pollUntil([&] { return findOpenPopupMenu(app.pid()) != nullptr; }, milliseconds(500)))
            << "a context menu opened";
        if (HWND popup = findOpenPopupMenu(app.pid())) postKey(popup, VK_ESCAPE);
    }

    // A command chosen in the menu reaches the frame: "&Select All" by its
    // mnemonic.
    ASSERT_TRUE(selectOnly(list, {}));
    postContextMenuRequest(app.list, belowTheRows(app));
    HWND popup = pollFor([&] { return findOpenPopupMenu(app.pid()); }, kShortWait);
    ASSERT_NE(popup, nullptr);
    postKey(popup, 'S');
    EXPECT_TRUE(pollUntil([&] { return list.selectedCount() == 3; }, kShortWait))
        << "\"&Select All\" from the context menu selected " << list.selectedCount() << " rows";
    if (HWND still = findOpenPopupMenu(app.pid())) postKey(still, VK_ESCAPE);

    ASSERT_TRUE(exitByCommand(app).has_value());
}

TEST_F(ListTest, ToolbarButtonsFollowTheSelection) {
    for (const char* name : {"One", "Two", "Three"})
        writeRecord(makeRecord(name, LocalFile, "C:\\nowhere\\x.txt", NotChanged));
    RunningProgram& app = start();
    const RemoteListView list = app.rows();
    ASSERT_EQ(list.rowCount(), 3);
    HWND toolbar = findDescendant(app.main, TOOLBARCLASSNAMEA);
    ASSERT_NE(toolbar, nullptr);

    struct Case {
        std::vector<std::string> selected;
        std::vector<int> enabled;  // of Add, Edit, Delete, Check !
    };
    const std::vector<Case> cases{
        {{}, {ID_DOC_ADD}},
        {{"One"}, {ID_DOC_ADD, ID_DOC_EDIT, ID_DOC_DELETE, ID_DOC_CHECK}},
        {{"One", "Three"}, {ID_DOC_ADD, ID_DOC_DELETE, ID_DOC_CHECK}},
        {{}, {ID_DOC_ADD}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("selected rows: " + std::to_string(c.selected.size()));
        ASSERT_TRUE(selectOnly(list, c.selected));
        auto enabled = [&] {
            std::vector<int> on;
            for (int id : {ID_DOC_ADD, ID_DOC_EDIT, ID_DOC_DELETE, ID_DOC_CHECK}) {
                EXPECT_GE(toolbarButtonState(toolbar, id), 0) << "no toolbar button " << id;
                if (toolbarButtonEnabled(toolbar, id)) on.push_back(id);
            }
            return on;
        };
        // The buttons are updated after the selection change is handled.
        pollUntil([&] { return enabled() == c.enabled; }, kShortWait);
        EXPECT_EQ(enabled(), c.enabled);
    }
    ASSERT_TRUE(exitByCommand(app).has_value());
}

TEST_F(ListTest, CommandKeysDoNothingWithoutASelection) {
    dir().writeFile("one.txt", "same");
    dir().writeFile("data\\One.content", "same");
    writeRecord(makeRecord("One", LocalFile, "one.txt", NotChanged));
    writeRecord(makeRecord("Two", LocalFile, "C:\\nowhere\\two.txt", NotChanged));
    RunningProgram& app = start();
    const RemoteListView list = app.rows();
    ASSERT_EQ(list.rowCount(), 2);
    ASSERT_EQ(list.selectedCount(), 0);
    const auto before = summaries(list);

    postKey(app.list, VK_F5);
    postKey(app.list, VK_DELETE);
    ASSERT_TRUE(sendKey(app.list, 'E', true)) << "could not bring the window to the front";
    // Nothing to wait for: give the keys time to be handled.
    Sleep(700);
    const auto dialogs = findDialogs(app.pid());
    EXPECT_TRUE(dialogs.empty()) << "a key without a selection opened \"" << windowText(dialogs.front()) << "\"";
    EXPECT_EQ(summaries(list), before) << "a row was checked or deleted";
    EXPECT_FALSE(dir().exists("data\\Two.content"));

    // With a row selected the same F5 checks it: the keys did arrive.
    ASSERT_TRUE(selectOnly(list, {"One"}));
    postKey(app.list, VK_F5);
    EXPECT_TRUE(pollUntil([&] { return std::regex_match(cellOf(list, "One", kLastCheckColumn), kLastCheckForm); },
                          kWait))
        << summary(list, "One");
    EXPECT_EQ(cellOf(list, "Two", kLastCheckColumn), "?");
    ASSERT_TRUE(exitByCommand(app).has_value());
}

}  // namespace
}  // namespace hs::e2e
