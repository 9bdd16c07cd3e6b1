// The command table: availability decides before any handler runs, every
// menu command has its row, and menus and the context menu are greyed by
// the table's rules, one table of rules by command and selection.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>

#include "app/win32/command_table.h"
#include "app/win32/program.h"
#include "platform/win32/handles.h"
#include "res/command_ids.h"
#include "res/resource_ids.h"
#include "unit/test_support.h"

namespace hs {
namespace {

class CommandRouting : public test::WorkingDirTest {
protected:
    CommandScope selected(int rows) { return CommandScope{program_, rows, program_.options()}; }

    test::FakeCommandHost host_;
    int wakes_ = 0;
    Program program_{::GetModuleHandleA(nullptr), &host_, [this] { ++wakes_; }};
};

bool isGrey(HMENU menu, int command) {
    return (::GetMenuState(menu, static_cast<UINT>(command), MF_BYCOMMAND) & MF_GRAYED) != 0;
}

UniqueMenu loadMenu(int id) { return UniqueMenu(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id))); }

// Available with 0, 1 and 3 selected rows.
struct Rule {
    int id;
    bool none, one, several;
};
const Rule kRules[] = {
    {ID_DOC_EDIT, false, true, false},     {ID_DOC_DUPLICATE, false, true, false},
    {ID_DOC_SAVE_AS, false, true, false},  {ID_DOC_VIEW_HEADER, false, true, false},
    {ID_DOC_OPEN, false, true, true},      {ID_DOC_DELETE, false, true, true},
    {ID_DOC_CHECK, false, true, true},     {ID_DOC_SET_NOTCHANGED, false, true, true},
    {ID_DOC_ADD, true, true, true},        {ID_DOC_CHECK_ALL, true, true, true},
    {ID_DOC_SELECT_ALL, true, true, true}, {ID_DOC_DESELECT_ALL, true, true, true},
    {ID_DOC_SET_ALL_NOTCHANGED, true, true, true},
    // Only with a document whose content differs from its acknowledged one.
    {ID_DOC_WHAT_CHANGED, false, false, false},
};

TEST_F(CommandRouting, RulesByCommandInTheTableAndTheContextMenu) {
    UniqueMenu menu = loadMenu(IDR_CONTEXT_MENU);
    ASSERT_TRUE(menu);
    HMENU popup = ::GetSubMenu(menu.get(), 0);
    for (int rows : {0, 1, 3, 1}) {
        applyMenuState(popup, selected(rows));
        for (const Rule& rule : kRules) {
            const bool available = rows == 0 ? rule.none : rows == 1 ? rule.one : rule.several;
            EXPECT_EQ(isCommandAvailable(rule.id, selected(rows)), available) << rows << " rows, " << rule.id;
            EXPECT_EQ(isGrey(popup, rule.id), !available) << rows << " rows, " << rule.id;
        }
    }
}

TEST_F(CommandRouting, AvailabilityDecidesBeforeTheHandler) {
    CommandScope none = selected(0), one = selected(1);
    EXPECT_EQ(runCommand(ID_DOC_EDIT, none), CommandOutcome::Unavailable);
    EXPECT_EQ(runCommand(ID_DOC_CHECK, none), CommandOutcome::Unavailable);
    EXPECT_EQ(runCommand(12345, one), CommandOutcome::NotHandled);
    EXPECT_TRUE(isCommandAvailable(12345, none));
    EXPECT_EQ(wakes_, 0);
    // Without windows the handlers find no rows; Check All still wakes the engine.
    EXPECT_EQ(runCommand(ID_DOC_CHECK_ALL, none), CommandOutcome::Handled);
    EXPECT_EQ(wakes_, 1);
    EXPECT_TRUE(host_.log.empty());
}

TEST_F(CommandRouting, EveryRowHasItsOwnIdAndAHandler) {
    std::set<int> ids;
    for (std::size_t i = 0; i < commandRowCount(); ++i) {
        const CommandRow& row = commandRows()[i];
        EXPECT_TRUE(ids.insert(row.id).second) << row.id;
        EXPECT_NE(row.run, nullptr) << row.id;
    }
}

TEST_F(CommandRouting, SubmenusAndTrayItemsStayEnabled) {
    UniqueMenu menu = loadMenu(IDR_MAINFRAME);
    ASSERT_TRUE(menu);
    HMENU view = ::GetSubMenu(menu.get(), 2);
    applyMenuState(view, selected(0));
    EXPECT_FALSE(::GetMenuState(view, 3, MF_BYPOSITION) & MF_GRAYED);  // "&Background images"

    UniqueMenu tray = loadMenu(IDR_TRAY_MENU);
    ASSERT_TRUE(tray);
    HMENU popup = ::GetSubMenu(tray.get(), 0);
    applyMenuState(popup, selected(0));
    for (int id : {ID_TRAY_OPEN, ID_DOC_CHECK_ALL, ID_APP_OPTION, ID_TRAY_EXIT}) EXPECT_FALSE(isGrey(popup, id));
}

// Every command item of the menus has a row in the command table.
void expectItemsInTable(HMENU menu) {
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        if (HMENU sub = ::GetSubMenu(menu, i)) {
            expectItemsInTable(sub);
            continue;
        }
        const UINT id = ::GetMenuItemID(menu, i);
        if (id == 0 || id == static_cast<UINT>(-1)) continue;  // separator
        EXPECT_NE(findCommand(static_cast<int>(id)), nullptr) << id;
    }
}

TEST_F(CommandRouting, EveryMenuCommandIsInTheTable) {
    for (int resource : {IDR_MAINFRAME, IDR_CONTEXT_MENU, IDR_TRAY_MENU}) {
        UniqueMenu menu = loadMenu(resource);
        ASSERT_TRUE(menu) << resource;
        expectItemsInTable(menu.get());
    }
}

}  // namespace
}  // namespace hs
