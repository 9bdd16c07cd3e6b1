// The view wired to the catalogue commands: rows loaded from the data
// directory at their slot positions, each document command on the rows,
// Delete asking first, Check All leaving Changed documents alone, and a
// worker's refresh landing in the right row after a header click.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <string>
#include <vector>

#include "res/command_ids.h"
#include "res/resource_ids.h"
#include "app/win32/halvorsight_view.h"
#include "app/win32/view_messages.h"
#include "platform/win32/handles.h"
#include "catalogue/store.h"
#include "listview/win32/document_list_control.h"
#include "platform/file_system.h"
#include "unit/test_support.h"
#include "unit/win32/hidden_window.h"

namespace hs {
namespace {

class AnsweringHost : public CommandHost {
public:
    void showInformation(const std::string& text) override { shown.push_back(text); }
    void showWarning(const std::string& text) override { shown.push_back(text); }
    void showError(const std::string& text) override { shown.push_back(text); }
    bool askYesNo(const std::string& text) override {
        asked.push_back(text);
        return answer;
    }
    bool answer = false;
    std::vector<std::string> shown;
    std::vector<std::string> asked;
};

Document doc(const std::string& name, int32_t status) {
    return test::testDocument(name, LocalFile, status, "C:\\nowhere\\" + name);
}

class ViewCommandsTest : public test::WorkingDirTest {
protected:
    void SetUp() override {
        WorkingDirTest::SetUp();
        std::filesystem::create_directory("data");
        parent_ = test::hiddenWindow("view parent", WS_POPUP);
        ASSERT_TRUE(parent_);
    }

    // Writes the record files, then makes the view and loads them.
    void startView(const std::vector<Document>& records) {
        for (const Document& r : records) ASSERT_TRUE(writeRecordFile(testFileSystem(), r));
        ViewServices services{catalogue_, testFileSystem(), options_, shell_, tray_, checkHost_,
                              ::GetModuleHandleA(nullptr), [this] { ++workersStarted_; }, {}, {}, &host_};
        view_ = std::make_unique<CHalvorsightView>(std::move(services));
        ASSERT_TRUE(view_->create(parent_.get()));
        checkHost_.setWindow(view_->window());
        DocumentListControl(view_->window()).insertColumns();
        view_->loadDocuments();
    }

    void TearDown() override {
        view_.reset();
        parent_.reset();
        WorkingDirTest::TearDown();
    }

    std::string shown(int row, int column) {
        char text[600] = {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        ::SendMessageA(view_->window(), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }

    int rowNamed(const std::string& name) {
        const int n = static_cast<int>(::SendMessageA(view_->window(), LVM_GETITEMCOUNT, 0, 0));
        for (int r = 0; r < n; ++r)
            if (shown(r, 0) == name) return r;
        return -1;
    }

    void select(int row) {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED;
        state.state = LVIS_SELECTED;
        ::SendMessageA(view_->window(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    }

    void clickHeader(int column) {
        NMLISTVIEW click{};
        click.hdr.hwndFrom = view_->window();
        click.hdr.code = LVN_COLUMNCLICK;
        click.iItem = -1;
        click.iSubItem = column;
        LRESULT result = 1;
        EXPECT_TRUE(view_->onListNotify(click.hdr, result));
    }

    int rowCount() { return static_cast<int>(::SendMessageA(view_->window(), LVM_GETITEMCOUNT, 0, 0)); }

    // Runs the view's messages for a while: the workers' wake-up and the
    // refresh timer it arms.
    void runPostedMessages() {
        const DWORD until = ::GetTickCount() + 300;
        MSG m;
        while (static_cast<LONG>(until - ::GetTickCount()) > 0) {
            while (::PeekMessageA(&m, view_->window(), 0, 0, PM_REMOVE)) ::DispatchMessageA(&m);
            ::Sleep(10);
        }
    }

    DocumentCatalogue catalogue_;
    ProgramOptions options_;
    ShellState shell_;
    TrayIcon tray_{::GetModuleHandleA(nullptr)};
    Win32CheckHost checkHost_{options_, shell_};
    AnsweringHost host_;
    int workersStarted_ = 0;
    UniqueWindow parent_;
    std::unique_ptr<CHalvorsightView> view_;
};

TEST_F(ViewCommandsTest, RowsLoadAtTheirSlotsAndEachCommandWorksOnThem) {
    startView({doc("changed", Changed), doc("plain", NotChanged), doc("busy", Retrieving)});
    ASSERT_EQ(rowCount(), 3);
    for (int slot = 0; slot < 3; ++slot) EXPECT_EQ(shown(slot, 0), catalogue_.name(slot)) << slot;
    const long changed = catalogue_.firstSlotNamed("changed");
    const long plain = catalogue_.firstSlotNamed("plain");
    const long busy = catalogue_.firstSlotNamed("busy");

    view_->setSelectionOfAllRows(true);
    EXPECT_EQ(view_->selectedCount(), 3);
    // Check ! passes Changed and Retrieving by; Check All ! only Changed.
    view_->checkSelectedDocuments();
    EXPECT_EQ(catalogue_.status(plain), WaitingForRetrieve);
    EXPECT_EQ(catalogue_.status(busy), Retrieving);
    EXPECT_EQ(shown(rowNamed("plain"), 2), "Waiting for retrieve...");
    view_->checkAllDocuments();
    EXPECT_EQ(catalogue_.status(busy), WaitingForRetrieve);
    EXPECT_EQ(catalogue_.status(changed), Changed);
    EXPECT_EQ(workersStarted_, 2);

    view_->setSelectionOfAllRows(false);
    EXPECT_EQ(view_->selectedCount(), 0);
    select(rowNamed("changed"));
    view_->setSelectedDocumentsNotChanged();
    EXPECT_EQ(catalogue_.status(changed), NotChanged);
    EXPECT_EQ(catalogue_.status(plain), WaitingForRetrieve);
    view_->setAllDocumentsNotChanged();
    for (const char* name : {"changed", "plain", "busy"}) EXPECT_EQ(shown(rowNamed(name), 2), "Not changed") << name;
    EXPECT_EQ(workersStarted_, 2);
    EXPECT_TRUE(host_.shown.empty());
}

TEST_F(ViewCommandsTest, DeleteAsksAndOnlyAYesRemovesRowsSlotsAndFiles) {
    startView({doc("keep", NotChanged), doc("gone", Saved)});
    test::writeBytes("data\\gone.content", "kept copy");
    test::writeBytes("data\\gone.middle", "middle");
    select(rowNamed("gone"));

    host_.answer = false;
    view_->deleteSelectedDocuments();
    ASSERT_EQ(host_.asked, std::vector<std::string>{kConfirmDeleteText});
    EXPECT_EQ(rowCount(), 2);
    EXPECT_TRUE(test::fileExists("data\\gone.data"));

    host_.answer = true;
    view_->deleteSelectedDocuments();
    EXPECT_EQ(rowCount(), 1);
    EXPECT_EQ(shown(0, 0), "keep");
    EXPECT_EQ(catalogue_.firstSlotNamed("gone"), -1);
    for (const char* file : {"data\\gone.data", "data\\gone.content", "data\\gone.middle"}) {
        EXPECT_FALSE(test::fileExists(file)) << file;
    }
    EXPECT_TRUE(test::fileExists("data\\keep.data"));
    EXPECT_EQ(workersStarted_, 0);
}

TEST_F(ViewCommandsTest, WorkersRefreshLandsInTheDocumentsRowAfterHeaderClicks) {
    startView({doc("charlie", NotChanged), doc("alpha", NotChanged), doc("bravo", NotChanged)});
    const long charlie = catalogue_.firstSlotNamed("charlie");
    view_->documents().sortAscending = 1;
    clickHeader(0);  // ascending by name
    EXPECT_EQ(shown(0, 0), "alpha");
    EXPECT_EQ(shown(2, 0), "charlie");
    clickHeader(0);  // descending
    EXPECT_EQ(shown(0, 0), "charlie");

    catalogue_.withSlot(static_cast<std::size_t>(charlie), [](Document& r, SlotState&) {
        r.status = Changed;
        setField(r.lastCheck, "2004/07/15 [09:05:03]");
    });
    checkHost_.recordChanged(static_cast<std::size_t>(charlie));
    runPostedMessages();
    EXPECT_EQ(shown(0, 0), "charlie");
    EXPECT_EQ(shown(0, 2), "Changed");
    EXPECT_EQ(shown(0, 3), "2004/07/15 [09:05:03]");
    EXPECT_EQ(shown(1, 2), "Not changed");
    // A refresh for a slot without a row changes nothing.
    checkHost_.recordChanged(77);
    runPostedMessages();
    EXPECT_EQ(rowCount(), 3);
}

}  // namespace
}  // namespace hs
