// The main frame's control bars: the toolbar (flat, with tooltips, normal
// and hot image lists from bitmaps 135 and 134) docked at the top, and the one-pane status bar at the bottom that shows "Ready" when
// idle and the command prompts while menus are tracked or the pointer rests
// on a toolbar button.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/win32/command_table.h"
#include "platform/win32/handles.h"

namespace hs {

// The child window ids of the bars.
constexpr int kToolbarId = 2;
constexpr int kStatusBarId = 3;

// A string of the string table ("" when it is missing).
std::string loadResourceString(HINSTANCE module, int id);

// The status-bar prompt of a command: its string up to the first "\n".
std::string commandPrompt(HINSTANCE module, int commandId);
// The tooltip of a command: the part after the "\n", or else the prompt.
std::string commandTooltip(HINSTANCE module, int commandId);

class FrameBars {
public:
    bool createToolbar(HWND frame, HINSTANCE module);
    bool createStatusBar(HWND frame);
    // Normal and hot image lists; failures leave the toolbar without images.
    void attachToolbarImages(HINSTANCE module);

    HWND toolbar() const { return toolbar_; }
    HWND statusBar() const { return statusBar_; }

    // The frame moved to a screen of another scale: the toolbar's images
    // and button sizes follow it.
    void dpiChanged(HWND frame);

    // Places the bars in the frame's client area and returns what is left.
    RECT layout(HWND frame);

    bool toolbarVisible() const;
    bool statusBarVisible() const;
    void toggleToolbar();
    void toggleStatusBar();

    void setStatusText(const std::string& text);
    void showIdlePrompt();
    void showCommandPrompt(int commandId);

    // Handles WM_MENUSELECT of the frame (and of its popup menus).
    void onMenuSelect(WPARAM wParam, LPARAM lParam);

    // Enables each button by the availability of its command.
    void applyAvailability(const CommandScope& scope);

    // Tooltip and fly-by notifications of the toolbar; true when handled.
    bool onNotify(const NMHDR& header, LRESULT& result);

private:
    void applyButtonSizes();

    HWND toolbar_ = nullptr;
    HWND statusBar_ = nullptr;
    HINSTANCE module_ = nullptr;
    UniqueImageList normalImages_;
    UniqueImageList hotImages_;
    // The drawn size in use (100, 150 or 200 percent).
    int imagePercent_ = 100;
    std::string tipText_;
    std::wstring tipTextWide_;
};

}  // namespace hs
