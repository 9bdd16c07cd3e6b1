// The frame and list wired to the commands: rows loaded at their slots, each
// document command run through the table, Delete asking first, a worker's
// refresh landing in the right row after a header click, the toolbar and
// check marks following the state, and the start-up prompt's timer.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/win32/frame_timers.h"
#include "app/win32/main_frame.h"
#include "app/win32/program.h"
#include "catalogue/store.h"
#include "listview/win32/document_list_control.h"
#include "platform/file_system.h"
#include "platform/win32/handles.h"
#include "res/command_ids.h"
#include "res/resource_ids.h"
#include "unit/test_support.h"

namespace hs {
namespace {

Document doc(const std::string& name, int32_t status) {
    return test::testDocument(name, LocalFile, status, "C:\\nowhere\\" + name);
}

class ViewCommandsTest : public test::WorkingDirTest {
protected:
    // Writes the record files, then makes the frame and its list and loads
    // them (without the program's other start-up steps).
    void startView(const std::vector<Document>& records) {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&icc);
        std::filesystem::create_directory("data");
        for (const Document& r : records) ASSERT_TRUE(writeRecordFile(testFileSystem(), r));
        program_ = std::make_unique<Program>(::GetModuleHandleA(nullptr), &host_, [this] { ++workersStarted_; });
        ASSERT_TRUE(program_->createMainFrame());
        list_ = program_->list()->window();
        program_->checkHost().setWindow(program_->frame()->window());
        program_->list()->setUpColumns();
        program_->list()->loadDocuments(testFileSystem());
    }

    void TearDown() override {
        program_.reset();
        WorkingDirTest::TearDown();
    }

    DocumentCatalogue& catalogue() { return program_->catalogue(); }
    CommandOutcome run(int command) { return program_->runCommand(command); }
    int selectedCount() { return program_->list()->selectedCount(); }

    std::string shown(int row, int column) {
        char text[600] = {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        ::SendMessageA(list_, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }

    int rowNamed(const std::string& name) {
        for (int r = 0; r < rowCount(); ++r)
            if (shown(r, 0) == name) return r;
        return -1;
    }

    void select(int row) {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED;
        state.state = LVIS_SELECTED;
        ::SendMessageA(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    }

    void clickHeader(int column) {
        NMLISTVIEW click{};
        click.hdr.hwndFrom = list_;
        click.hdr.code = LVN_COLUMNCLICK;
        click.iItem = -1;
        click.iSubItem = column;
        ::SendMessageA(program_->frame()->window(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
    }

    int rowCount() { return static_cast<int>(::SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }

    // Runs the frame's messages for a while: the workers' wake-up and the
    // refresh timer it arms, the selection's toolbar update.
    void runPostedMessages() {
        const DWORD until = ::GetTickCount() + 300;
        MSG m;
        while (static_cast<LONG>(until - ::GetTickCount()) > 0) {
            while (::PeekMessageA(&m, program_->frame()->window(), 0, 0, PM_REMOVE)) ::DispatchMessageA(&m);
            ::Sleep(10);
        }
    }

    test::FakeCommandHost host_;
    int workersStarted_ = 0;
    std::unique_ptr<Program> program_;
    HWND list_ = nullptr;
};

TEST_F(ViewCommandsTest, RowsLoadAtTheirSlotsAndEachCommandWorksOnThem) {
    startView({doc("changed", Changed), doc("plain", NotChanged), doc("busy", Retrieving)});
    ASSERT_EQ(rowCount(), 3);
    for (int slot = 0; slot < 3; ++slot) EXPECT_EQ(shown(slot, 0), catalogue().name(slot)) << slot;
    const long changed = catalogue().firstSlotNamed("changed");
    const long plain = catalogue().firstSlotNamed("plain");
    const long busy = catalogue().firstSlotNamed("busy");

    run(ID_DOC_SELECT_ALL);
    EXPECT_EQ(selectedCount(), 3);
    // Check ! passes Changed and Retrieving by; Check All ! only Changed.
    run(ID_DOC_CHECK);
    EXPECT_EQ(catalogue().status(plain), WaitingForRetrieve);
    EXPECT_EQ(catalogue().status(busy), Retrieving);
    EXPECT_EQ(shown(rowNamed("plain"), 2), "Waiting for retrieve...");
    run(ID_DOC_CHECK_ALL);
    EXPECT_EQ(catalogue().status(busy), WaitingForRetrieve);
    EXPECT_EQ(catalogue().status(changed), Changed);
    EXPECT_EQ(workersStarted_, 2);

    run(ID_DOC_DESELECT_ALL);
    EXPECT_EQ(selectedCount(), 0);
    select(rowNamed("changed"));
    run(ID_DOC_SET_NOTCHANGED);
    EXPECT_EQ(catalogue().status(changed), NotChanged);
    EXPECT_EQ(catalogue().status(plain), WaitingForRetrieve);
    run(ID_DOC_SET_ALL_NOTCHANGED);
    for (const char* name : {"changed", "plain", "busy"}) EXPECT_EQ(shown(rowNamed(name), 2), "Not changed") << name;
    EXPECT_EQ(workersStarted_, 2);
    EXPECT_TRUE(host_.log.empty());
}

TEST_F(ViewCommandsTest, DeleteAsksAndOnlyAYesRemovesRowsSlotsAndFiles) {
    startView({doc("keep", NotChanged), doc("gone", Saved)});
    test::writeBytes("data\\gone.content", "kept copy");
    test::writeBytes("data\\gone.middle", "middle");
    select(rowNamed("gone"));

    host_.answer = false;
    run(ID_DOC_DELETE);
    ASSERT_EQ(host_.questions, std::vector<std::string>{kConfirmDeleteText});
    EXPECT_EQ(rowCount(), 2);
    EXPECT_TRUE(test::fileExists("data\\gone.data"));

    host_.answer = true;
    run(ID_DOC_DELETE);
    EXPECT_EQ(rowCount(), 1);
    EXPECT_EQ(shown(0, 0), "keep");
    EXPECT_EQ(catalogue().firstSlotNamed("gone"), -1);
    for (const char* file : {"data\\gone.data", "data\\gone.content", "data\\gone.middle"}) {
        EXPECT_FALSE(test::fileExists(file)) << file;
    }
    EXPECT_TRUE(test::fileExists("data\\keep.data"));
    EXPECT_EQ(workersStarted_, 0);
}

TEST_F(ViewCommandsTest, WorkersRefreshLandsInTheDocumentsRowAfterHeaderClicks) {
    startView({doc("charlie", NotChanged), doc("alpha", NotChanged), doc("bravo", NotChanged)});
    const long charlie = catalogue().firstSlotNamed("charlie");
    program_->list()->documents().sortAscending = 1;
    clickHeader(0);  // ascending by name
    EXPECT_EQ(shown(0, 0), "alpha");
    EXPECT_EQ(shown(2, 0), "charlie");
    clickHeader(0);  // descending
    EXPECT_EQ(shown(0, 0), "charlie");

    catalogue().withSlot(static_cast<std::size_t>(charlie), [](Document& r, SlotState&) {
        r.status = Changed;
        setField(r.lastCheck, "2004/07/15 [09:05:03]");
    });
    program_->checkHost().recordChanged(static_cast<std::size_t>(charlie));
    runPostedMessages();
    EXPECT_EQ(shown(0, 0), "charlie");
    EXPECT_EQ(shown(0, 2), "Changed");
    EXPECT_EQ(shown(0, 3), "2004/07/15 [09:05:03]");
    EXPECT_EQ(shown(1, 2), "Not changed");
    // A refresh for a slot without a row changes nothing.
    program_->checkHost().recordChanged(77);
    runPostedMessages();
    EXPECT_EQ(rowCount(), 3);
}

TEST_F(ViewCommandsTest, ToolbarAndViewMenuFollowTheSelectionAndTheBars) {
    startView({doc("one", NotChanged), doc("two", NotChanged)});
    HWND frame = program_->frame()->window();
    ::ShowWindow(frame, SW_SHOWNOACTIVATE);  // a hidden frame's bars count as hidden
    HWND toolbar = program_->frame()->bars().toolbar();
    std::vector<int> buttons;
    for (int i = 0; i < static_cast<int>(::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0)); ++i) {
        TBBUTTON button{};
        ::SendMessageA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        buttons.push_back(button.idCommand);
    }
    EXPECT_EQ(buttons, (std::vector<int>{ID_DOC_ADD, ID_DOC_EDIT, ID_DOC_DELETE, 0, ID_DOC_CHECK, ID_DOC_WHAT_CHANGED}));
    const auto enabled = [&](int id) { return ::SendMessageA(toolbar, TB_ISBUTTONENABLED, id, 0) != 0; };
    struct Step {
        int selectedRows;
        bool edit, remove;
    };
    for (const Step step : {Step{1, true, true}, Step{2, false, true}, Step{0, false, false}}) {
        run(ID_DOC_DESELECT_ALL);
        for (int row = 0; row < step.selectedRows; ++row) select(row);
        runPostedMessages();
        EXPECT_TRUE(enabled(ID_DOC_ADD)) << step.selectedRows;
        EXPECT_EQ(enabled(ID_DOC_EDIT), step.edit) << step.selectedRows;
        EXPECT_EQ(enabled(ID_DOC_DELETE), step.remove) << step.selectedRows;
    }

    HMENU view = ::GetSubMenu(::GetMenu(frame), 2);
    const auto checked = [&](int id) {
        ::SendMessageA(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), MAKELPARAM(2, 0));
        return (::GetMenuState(view, static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED) != 0;
    };
    EXPECT_TRUE(checked(ID_VIEW_TOOLBAR_CMD));
    run(ID_VIEW_TOOLBAR_CMD);
    EXPECT_FALSE(checked(ID_VIEW_TOOLBAR_CMD));
    EXPECT_TRUE(checked(ID_VIEW_STATUS_BAR_CMD));
    run(ID_VIEW_STATUS_BAR_CMD);
    EXPECT_FALSE(checked(ID_VIEW_STATUS_BAR_CMD));
}

TEST_F(ViewCommandsTest, StartupPromptTimerIsOneShotAndQuietOverRows) {
    startView({doc("one", NotChanged)});
    HWND frame = program_->frame()->window();
    armStartupPromptTimer(frame);
    std::atomic<bool> prompted{false};
    std::thread closer([&] {
        for (int i = 0; i < 150; ++i, ::Sleep(20)) {
            if (HWND box = ::FindWindowA("#32770", "Start-up wizard")) {
                prompted = true;
                ::PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
            }
        }
    });
    for (int i = 0; i < 10; ++i) runPostedMessages();  // the timer's 2 seconds
    closer.join();
    EXPECT_FALSE(prompted);
    EXPECT_FALSE(::KillTimer(frame, kStartupPromptTimer));  // gone already
}

}  // namespace
}  // namespace hs
