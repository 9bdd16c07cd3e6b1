// Menu availability: popup menus are greyed by the number of selected rows
// through the command table, and every command of the menus is in the table.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "app/command_table.h"
#include "res/command_ids.h"
#include "res/resource_ids.h"
#include "app/win32/menu_availability.h"
#include "platform/win32/handles.h"

namespace hs {
namespace {

SelectionSnapshot selected(int rows) {
    SelectionSnapshot s;
    s.selectedRows = rows;
    return s;
}

bool isGrey(HMENU menu, int command) {
    return (::GetMenuState(menu, static_cast<UINT>(command), MF_BYCOMMAND) & MF_GRAYED) != 0;
}

TEST(CommandRouting, ContextMenuFollowsTheSelection) {
    UniqueMenu menu(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_CONTEXT_MENU)));
    ASSERT_TRUE(menu);
    HMENU popup = ::GetSubMenu(menu.get(), 0);
    const int oneOrMore[] = {ID_DOC_OPEN, ID_DOC_CHECK, ID_DOC_DELETE, ID_DOC_SET_NOTCHANGED};
    const int exactlyOne[] = {ID_DOC_EDIT, ID_DOC_DUPLICATE, ID_DOC_SAVE_AS, ID_DOC_VIEW_HEADER};
    const int always[] = {ID_DOC_ADD, ID_DOC_CHECK_ALL, ID_DOC_SELECT_ALL, ID_DOC_DESELECT_ALL,
                          ID_DOC_SET_ALL_NOTCHANGED};
    struct Case {
        int rows;
        bool oneOrMoreGrey;
        bool exactlyOneGrey;
    };
    for (const Case c : {Case{0, true, true}, Case{1, false, false}, Case{3, false, true}, Case{1, false, false}}) {
        applyMenuAvailability(popup, selected(c.rows));
        for (int id : oneOrMore) EXPECT_EQ(isGrey(popup, id), c.oneOrMoreGrey) << c.rows << " rows, " << id;
        for (int id : exactlyOne) EXPECT_EQ(isGrey(popup, id), c.exactlyOneGrey) << c.rows << " rows, " << id;
        for (int id : always) EXPECT_FALSE(isGrey(popup, id)) << c.rows << " rows, " << id;
    }
}

TEST(CommandRouting, SubmenusAndTrayItemsStayEnabled) {
    UniqueMenu menu(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME)));
    ASSERT_TRUE(menu);
    HMENU view = ::GetSubMenu(menu.get(), 2);
    applyMenuAvailability(view, selected(0));
    EXPECT_FALSE(::GetMenuState(view, 3, MF_BYPOSITION) & MF_GRAYED);  // "&Background images"

    UniqueMenu tray(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAY_MENU)));
    ASSERT_TRUE(tray);
    HMENU popup = ::GetSubMenu(tray.get(), 0);
    applyMenuAvailability(popup, selected(0));
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

TEST(CommandRouting, EveryMenuCommandIsInTheTable) {
    for (int resource : {IDR_MAINFRAME, IDR_CONTEXT_MENU, IDR_TRAY_MENU}) {
        UniqueMenu menu(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource)));
        ASSERT_TRUE(menu) << resource;
        expectItemsInTable(menu.get());
    }
}

}  // namespace
}  // namespace hs
