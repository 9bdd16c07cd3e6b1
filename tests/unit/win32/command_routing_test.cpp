// Command routing and menu availability: an unavailable command reaches no
// target, the chain stops at the first target that handles a command, and
// popup menus are greyed by the number of selected rows.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "app/command_ids.h"
#include "app/win32/command_router.h"
#include "app/win32/win32_handles.h"

namespace hs {
namespace {

class RecordingTarget : public CommandTarget {
public:
    explicit RecordingTarget(std::vector<int> handles) : handles_(std::move(handles)) {}
    bool onCommand(int commandId) override {
        seen.push_back(commandId);
        for (int id : handles_) {
            if (id == commandId) return true;
        }
        return false;
    }
    std::vector<int> seen;

private:
    std::vector<int> handles_;
};

SelectionSnapshot selected(int rows) {
    SelectionSnapshot s;
    s.selectedRows = rows;
    return s;
}

TEST(CommandRouting, UnavailableCommandsReachNoTarget) {
    RecordingTarget view({ID_DOC_EDIT, ID_DOC_DELETE});
    RecordingTarget frame({ID_APP_EXIT_CMD});
    EXPECT_EQ(routeCommand(ID_DOC_EDIT, selected(0), {&view, &frame}), CommandOutcome::Unavailable);
    EXPECT_EQ(routeCommand(ID_DOC_EDIT, selected(2), {&view, &frame}), CommandOutcome::Unavailable);
    EXPECT_EQ(routeCommand(ID_DOC_DELETE, selected(0), {&view, &frame}), CommandOutcome::Unavailable);
    EXPECT_TRUE(view.seen.empty());
    EXPECT_TRUE(frame.seen.empty());
    EXPECT_EQ(routeCommand(ID_DOC_DELETE, selected(3), {&view, &frame}), CommandOutcome::Handled);
    EXPECT_EQ(view.seen, std::vector<int>{ID_DOC_DELETE});
}

TEST(CommandRouting, ViewFirstThenFrame) {
    RecordingTarget view({ID_DOC_CHECK_ALL});
    RecordingTarget frame({ID_APP_EXIT_CMD, ID_DOC_CHECK_ALL});
    EXPECT_EQ(routeCommand(ID_DOC_CHECK_ALL, selected(0), {&view, &frame}), CommandOutcome::Handled);
    EXPECT_TRUE(frame.seen.empty());  // the view took it
    EXPECT_EQ(routeCommand(ID_APP_EXIT_CMD, selected(0), {&view, &frame}), CommandOutcome::Handled);
    EXPECT_EQ(frame.seen, std::vector<int>{ID_APP_EXIT_CMD});
    EXPECT_EQ(routeCommand(12345, selected(0), {&view, nullptr, &frame}), CommandOutcome::NotHandled);
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

}  // namespace
}  // namespace hs
