// CMainFrame: the main window with menu 128, the toolbar and status bar
// around the document list. Every command it receives, from its menus, the
// context and tray menus, the toolbar and the accelerators, runs through the
// command table. It owns the tray icon's messages, the timers and the check
// engine's wake-ups; it hides itself in the tray on minimize and shuts the
// program down when it is closed.
#pragma once

#include <windows.h>

#include "app/win32/frame_bars.h"
#include "platform/win32/window_base.h"

namespace hs {

class Program;

class CMainFrame : public Window {
public:
    // Creates the data directory and clears the hidden flag.
    explicit CMainFrame(Program& program);
    ~CMainFrame() override = default;

    // Registers the window class and creates the frame with its view, toolbar
    // and status bar. False when any of them could not be made.
    bool create();

    void toggleToolbar();
    void toggleStatusBar();
    const FrameBars& bars() const { return bars_; }

    static constexpr const char* kWindowClass = "HalvorsightMainFrame";

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT onCreate();
    LRESULT onSysCommand(WPARAM wParam, LPARAM lParam);
    LRESULT onNotify(WPARAM wParam, LPARAM lParam);
    void onTimer(UINT_PTR timerId);
    void onRecordsChanged(WPARAM wParam);
    void refreshChangedRows();
    void showContextMenu(LPARAM screenPoint);
    void showTrayMenu();
    void layout();
    void updateToolbarAvailability();
    // One toolbar update for a burst of changes, posted.
    void postAvailabilityUpdate();
    HWND listWindow() const;

    Program& program_;
    FrameBars bars_;
    // Broadcast to top-level windows when the notification area is created
    // anew.
    UINT taskbarCreatedMessage_ = 0;
    bool availabilityUpdatePosted_ = false;
    bool refreshTimerArmed_ = false;
};

}  // namespace hs
