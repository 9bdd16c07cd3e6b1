// The program's menus, accelerators and prompts as the running program
// loads them: every item's text and command, and the key of every
// accelerator.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "res/command_ids.h"
#include "res/resource_ids.h"
#include "res/version.h"
#include "app/win32/frame_bars.h"
#include "platform/win32/handles.h"

namespace hs {
namespace {

struct Item {
    std::string text;  // "-" for a separator, ">" prefix for a submenu
    int command;
};

std::vector<Item> itemsOf(HMENU menu) {
    std::vector<Item> items;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        ::GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        if (info.fType & MFT_SEPARATOR) items.push_back({"-", 0});
        else if (info.hSubMenu) items.push_back({std::string(">") + text, 0});
        else items.push_back({text, static_cast<int>(info.wID)});
    }
    return items;
}

void expectItems(HMENU menu, const std::vector<Item>& expected) {
    const std::vector<Item> actual = itemsOf(menu);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].text, expected[i].text) << "item " << i;
        EXPECT_EQ(actual[i].command, expected[i].command) << "item " << i << " " << expected[i].text;
    }
}

UniqueMenu loadMenu(int id) {
    return UniqueMenu(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)));
}

const std::vector<Item> kDocumentItems = {
    {"&Open..\tDblClk", ID_DOC_OPEN},
    {"Vie&w document header..", ID_DOC_VIEW_HEADER},
    {"Sa&ve document as..", ID_DOC_SAVE_AS},
    {"W&hat changed..\tCtrl+W", ID_DOC_WHAT_CHANGED},
    {"-", 0},
    {"&Add..\tCtrl+A", ID_DOC_ADD},
    {"&Edit..\tCtrl+E", ID_DOC_EDIT},
    {"Dupl&icate..\tCtrl+C", ID_DOC_DUPLICATE},
    {"Dele&te\tDel", ID_DOC_DELETE},
    {"-", 0},
    {"&Check !\tF5", ID_DOC_CHECK},
    {"Chec&k All !\tCtrl+F5", ID_DOC_CHECK_ALL},
    {"-", 0},
    {"&Select All\tCtrl+S", ID_DOC_SELECT_ALL},
    {"&Deselect All\tCtrl+D", ID_DOC_DESELECT_ALL},
    {"-", 0},
    {"Set as '&Not changed' status", ID_DOC_SET_NOTCHANGED},
    {"Set all as 'Not changed' stat&us\tESC", ID_DOC_SET_ALL_NOTCHANGED},
};

TEST(ShellResources, MainMenuHasEveryItemWithItsCommand) {
    UniqueMenu menu = loadMenu(IDR_MAINFRAME);
    ASSERT_TRUE(menu);
    expectItems(menu.get(), {{">&Application", 0}, {">&Document", 0}, {">&View", 0}, {">&Help", 0}});
    expectItems(::GetSubMenu(menu.get(), 0),
                {{"&Option..", ID_APP_OPTION}, {"-", 0}, {"E&xit", ID_APP_EXIT_CMD}});
    expectItems(::GetSubMenu(menu.get(), 1), kDocumentItems);
    HMENU view = ::GetSubMenu(menu.get(), 2);
    expectItems(view, {{"&Toolbar", ID_VIEW_TOOLBAR_CMD},
                       {"&Status Bar", ID_VIEW_STATUS_BAR_CMD},
                       {"-", 0},
                       {">&Background images", 0}});
    expectItems(::GetSubMenu(view, 3),
                {{"&Default", ID_BG_DEFAULT}, {"&Empty", ID_BG_EMPTY}, {"-", 0}, {"&Custom..", ID_BG_CUSTOM}});
    expectItems(::GetSubMenu(menu.get(), 3), {{"Manual page..", ID_HELP_MANUAL},
                                              {"Support page..", ID_HELP_SUPPORT},
                                              {"-", 0},
                                              {"Tollenby Lab website..", ID_HELP_HOMEPAGE},
                                              {"-", 0},
                                              {"&About Halvorsight...\tF1", ID_APP_ABOUT_CMD}});
}

TEST(ShellResources, ContextAndTrayMenus) {
    UniqueMenu context = loadMenu(IDR_CONTEXT_MENU);
    ASSERT_TRUE(context);
    std::vector<Item> expected = kDocumentItems;
    expected[7].text = "Dup&licate..\tCtrl+C";  // the context menu's own mnemonic
    expectItems(::GetSubMenu(context.get(), 0), expected);

    UniqueMenu tray = loadMenu(IDR_TRAY_MENU);
    ASSERT_TRUE(tray);
    expectItems(::GetSubMenu(tray.get(), 0), {{"Open..", ID_TRAY_OPEN},
                                              {"Check All !", ID_DOC_CHECK_ALL},
                                              {"-", 0},
                                              {"Option..", ID_APP_OPTION},
                                              {"-", 0},
                                              {"Exit", ID_TRAY_EXIT}});
}

TEST(ShellResources, AcceleratorsMapTheirKeys) {
    HACCEL table = ::LoadAcceleratorsA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(table, nullptr);
    ACCEL keys[32];
    const int count = ::CopyAcceleratorTableA(table, keys, 32);
    std::vector<std::pair<std::pair<int, bool>, int>> actual;
    for (int i = 0; i < count; ++i) {
        EXPECT_TRUE(keys[i].fVirt & FVIRTKEY);
        EXPECT_FALSE(keys[i].fVirt & (FSHIFT | FALT));
        actual.push_back({{keys[i].key, (keys[i].fVirt & FCONTROL) != 0}, keys[i].cmd});
    }
    const std::vector<std::pair<std::pair<int, bool>, int>> expected = {
        {{'A', true}, ID_DOC_ADD},
        {{'C', true}, ID_DOC_DUPLICATE},
        {{'D', true}, ID_DOC_DESELECT_ALL},
        {{'E', true}, ID_DOC_EDIT},
        {{'S', true}, ID_DOC_SELECT_ALL},
        {{'W', true}, ID_DOC_WHAT_CHANGED},
        {{VK_DELETE, false}, ID_DOC_DELETE},
        {{VK_ESCAPE, false}, ID_DOC_SET_ALL_NOTCHANGED},
        {{VK_F1, false}, ID_APP_ABOUT_CMD},
        {{VK_F5, false}, ID_DOC_CHECK},
        {{VK_F5, true}, ID_DOC_CHECK_ALL},
    };
    EXPECT_EQ(actual, expected);
}

TEST(ShellResources, PromptsAndTitle) {
    HINSTANCE module = ::GetModuleHandleA(nullptr);
    EXPECT_EQ(loadResourceString(module, IDR_MAINFRAME), HS_APP_TITLE);
    EXPECT_EQ(loadResourceString(module, IDS_READY), "Ready");
    // Every command of the Document menu has a prompt.
    for (const Item& item : kDocumentItems) {
        if (item.command != 0) {
            EXPECT_FALSE(commandPrompt(module, item.command).empty()) << item.text;
        }
    }
    EXPECT_EQ(commandPrompt(module, ID_DOC_OPEN), "Open selected document.");
    EXPECT_EQ(commandPrompt(module, ID_BG_CUSTOM), "Find bitmap images for backgound..");
    // A prompt ends at the line feed; the rest is the tooltip.
    EXPECT_EQ(commandPrompt(module, ID_VIEW_TOOLBAR_CMD), "Show or hide the toolbar");
    EXPECT_EQ(commandTooltip(module, ID_VIEW_TOOLBAR_CMD), "Toggle ToolBar");
    // Without a line feed the tooltip is the prompt itself.
    EXPECT_EQ(commandTooltip(module, ID_DOC_CHECK), "Check changes of selected documents.");
    // A command without a string has neither.
    EXPECT_EQ(commandPrompt(module, ID_BG_DEFAULT), "");
}

}  // namespace
}  // namespace hs
