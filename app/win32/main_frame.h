// CMainFrame: the main window with menu 128, the toolbar and status bar
// around the list view. It routes every command (availability first, then
// the view, then itself), hides itself in the tray on minimize, and runs
// shutDown when it is closed.
#pragma once

#include <windows.h>

#include <memory>

#include "app/win32/command_router.h"
#include "app/win32/frame_bars.h"
#include "app/win32/halvorsight_view.h"

namespace hs {

class CMainFrame : public CommandTarget {
public:
    // Creates the data directory and clears the hidden flag.
    CMainFrame();
    ~CMainFrame() override;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // Registers the window class and creates the frame with its view, toolbar
    // and status bar. False when any of them could not be made.
    bool create(HINSTANCE module);

    HWND window() const { return window_; }
    CHalvorsightView* view() const { return view_.get(); }

    bool onCommand(int commandId) override;

    // The command router: availability with the current selection, then
    // the view, then the frame.
    CommandOutcome routeCommand(int commandId);

    static constexpr const char* kWindowClass = "HalvorsightMainFrame";

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onCreate();
    LRESULT onSysCommand(WPARAM wParam, LPARAM lParam);
    LRESULT onNotify(WPARAM wParam, LPARAM lParam);
    void onInitMenuPopup(HMENU menu);
    void layout();
    void updateToolbarAvailability();

    HWND window_ = nullptr;
    HINSTANCE module_ = nullptr;
    std::unique_ptr<CHalvorsightView> view_;
    FrameBars bars_;
    bool availabilityUpdatePosted_ = false;
};

}  // namespace hs
