// The tray icon's callback: a double-click brings the hidden main window
// back and clears the hidden flag, other mouse messages change nothing; and
// the icon record follows add, blink swaps and removal.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/command_ids.h"
#include "app/win32/shell_state.h"
#include "app/win32/tray_icon.h"
#include "app/win32/win32_handles.h"

namespace hs {
namespace {

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        main_ = UniqueWindow(::CreateWindowExA(0, "STATIC", "tray test main", WS_OVERLAPPEDWINDOW, 20, 20, 300,
                                               200, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr));
        owner_ = UniqueWindow(::CreateWindowExA(0, "STATIC", "tray owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                                nullptr, ::GetModuleHandleA(nullptr), nullptr));
        ASSERT_TRUE(main_);
        ASSERT_TRUE(owner_);
        previousMain_ = shellState().mainFrame.exchange(main_.get());
        previousHidden_ = shellState().hiddenInTray.load();
    }
    void TearDown() override {
        removeTrayIcon();
        shellState().mainFrame.store(previousMain_);
        shellState().hiddenInTray.store(previousHidden_);
    }

    void hideInTray() {
        ::ShowWindow(main_.get(), SW_MINIMIZE);
        ::ShowWindow(main_.get(), SW_HIDE);
        setHiddenInTray(true);
    }

    LRESULT callback(UINT mouse) {
        return handleTrayCallback(owner_.get(), TRAY_CALLBACK_MESSAGE, TRAY_ICON_ID, mouse);
    }

    UniqueWindow main_;
    UniqueWindow owner_;
    HWND previousMain_ = nullptr;
    int32_t previousHidden_ = 0;
};

TEST_F(TrayIconTest, DoubleClickBringsTheWindowBackAndClearsTheFlag) {
    hideInTray();
    callback(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(::IsWindowVisible(main_.get()));
    EXPECT_FALSE(::IsIconic(main_.get()));
    EXPECT_EQ(::GetWindowLongA(main_.get(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_FALSE(isHiddenInTray());
    // Also when the window is shown already.
    setHiddenInTray(true);
    callback(WM_LBUTTONDBLCLK);
    EXPECT_FALSE(isHiddenInTray());
}

TEST_F(TrayIconTest, OtherMouseMessagesChangeNothing) {
    hideInTray();
    for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_RBUTTONUP, WM_MBUTTONDOWN}) {
        callback(mouse);
        EXPECT_FALSE(::IsWindowVisible(main_.get())) << mouse;
        EXPECT_TRUE(isHiddenInTray()) << mouse;
    }
}

TEST_F(TrayIconTest, IconFollowsAddSwapAndRemove) {
    setTrayIcon(IDI_BLINK);  // nothing to modify before the icon exists
    EXPECT_EQ(currentTrayIconId(), 0);
    addTrayIcon(owner_.get());
    EXPECT_EQ(currentTrayIconId(), IDR_MAINFRAME);
    setTrayIcon(IDI_BLINK);
    EXPECT_EQ(currentTrayIconId(), IDI_BLINK);
    setTrayIcon(IDR_MAINFRAME);
    EXPECT_EQ(currentTrayIconId(), IDR_MAINFRAME);
    removeTrayIcon();
    EXPECT_EQ(currentTrayIconId(), 0);
    setTrayIcon(IDI_BLINK);  // gone: blinking cannot bring it back
    EXPECT_EQ(currentTrayIconId(), 0);
}

}  // namespace
}  // namespace hs
