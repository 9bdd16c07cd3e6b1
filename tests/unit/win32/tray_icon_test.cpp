// The tray icon's callback: a double-click brings the hidden main window
// back and clears the hidden flag, a right button press opens the menu,
// other mouse messages change nothing; and
// the icon record follows add, blink swaps and removal.
#include <gtest/gtest.h>

#include <windows.h>

#include "res/command_ids.h"
#include "res/resource_ids.h"
#include "app/win32/shell_state.h"
#include "app/win32/tray_icon.h"
#include "platform/win32/handles.h"
#include "unit/win32/hidden_window.h"

namespace hs {
namespace {

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        main_ = test::hiddenWindow("tray test main");
        owner_ = test::hiddenWindow("tray owner", WS_OVERLAPPED);
        ASSERT_TRUE(main_);
        ASSERT_TRUE(owner_);
        shell_.mainFrame.store(main_.get());
    }
    void TearDown() override { tray_.remove(); }

    void hideInTray() {
        ::ShowWindow(main_.get(), SW_MINIMIZE);
        ::ShowWindow(main_.get(), SW_HIDE);
        shell_.setHiddenInTray(true);
    }

    LRESULT callback(UINT mouse) {
        return handleTrayCallback(owner_.get(), kTrayCallbackMessage, kTrayIconId, mouse, shell_,
                                  [this] { ++menusOpened_; });
    }

    ShellState shell_;
    TrayIcon tray_{::GetModuleHandleA(nullptr)};
    UniqueWindow main_;
    UniqueWindow owner_;
    int menusOpened_ = 0;
};

TEST_F(TrayIconTest, DoubleClickBringsTheWindowBackAndClearsTheFlag) {
    hideInTray();
    callback(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(::IsWindowVisible(main_.get()));
    EXPECT_FALSE(::IsIconic(main_.get()));
    EXPECT_EQ(::GetWindowLongA(main_.get(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_FALSE(shell_.isHiddenInTray());
    // Also when the window is shown already.
    shell_.setHiddenInTray(true);
    callback(WM_LBUTTONDBLCLK);
    EXPECT_FALSE(shell_.isHiddenInTray());
}

TEST_F(TrayIconTest, OtherMouseMessagesChangeNothing) {
    hideInTray();
    for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_RBUTTONUP, WM_MBUTTONDOWN}) {
        callback(mouse);
        EXPECT_FALSE(::IsWindowVisible(main_.get())) << mouse;
        EXPECT_TRUE(shell_.isHiddenInTray()) << mouse;
    }
    EXPECT_EQ(menusOpened_, 0);
    callback(WM_RBUTTONDOWN);
    EXPECT_EQ(menusOpened_, 1);
}

TEST_F(TrayIconTest, IconFollowsAddSwapAndRemove) {
    tray_.setIcon(IDI_BLINK);  // nothing to modify before the icon exists
    EXPECT_EQ(tray_.currentIconId(), 0);
    tray_.add(owner_.get());
    EXPECT_EQ(tray_.currentIconId(), IDR_MAINFRAME);
    tray_.setIcon(IDI_BLINK);
    EXPECT_EQ(tray_.currentIconId(), IDI_BLINK);
    tray_.setIcon(IDR_MAINFRAME);
    EXPECT_EQ(tray_.currentIconId(), IDR_MAINFRAME);
    tray_.remove();
    EXPECT_EQ(tray_.currentIconId(), 0);
    tray_.setIcon(IDI_BLINK);  // gone: blinking cannot bring it back
    EXPECT_EQ(tray_.currentIconId(), 0);
}

}  // namespace
}  // namespace hs
