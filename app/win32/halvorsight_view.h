// CHalvorsightView: the list view of the main frame. Its window is the
// SysListView32 control itself, subclassed, so that the control is the
// window that owns the tray icon and the three timers and receives the
// view's commands (from the frame's router and from the popup menus it
// owns) and the check workers' posted row refreshes.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>

#include "app/win32/command_router.h"
#include "app/win32/view_timers.h"
#include "listview/win32/document_list_control.h"

namespace hs {

class CHalvorsightView : public CommandTarget, private ViewTimerActions {
public:
    // Construction: finds the program the shell opens ".htm" files with.
    CHalvorsightView();
    ~CHalvorsightView() override;
    CHalvorsightView(const CHalvorsightView&) = delete;
    CHalvorsightView& operator=(const CHalvorsightView&) = delete;

    // Creates the list window as a child of the frame and subclasses it.
    bool create(HWND frame);

    HWND window() const { return list_.window(); }
    const DocumentListControl& list() const { return list_; }
    int selectedCount() const { return list_.selectedCount(); }

    // The start-up steps of the view, in their order.
    void initialUpdate();

    // The view's share of the command chain.
    bool onCommand(int commandId) override;

    // Row painting, reflected from the frame's WM_DRAWITEM.
    void drawItem(const DRAWITEMSTRUCT& item) const;

    // List notifications reflected from the frame; true when handled.
    bool onListNotify(const NMHDR& header, LRESULT& result);

    // "Chec&k All !" and the periodic tick: marks every document that is not
    // Changed and has a row, then starts a worker (also when none was marked).
    void checkAllDocuments() override;

    // The marking of checkAllDocuments without the worker (start-up check).
    std::size_t markAllDocumentsForCheck();

private:
    static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void showContextMenu(LPARAM screenPoint);
    LRESULT onDoubleClick(UINT message, WPARAM wParam, LPARAM lParam);

    // Start-up steps of the initial update.
    void frameworkInitialUpdate();
    void rememberViewWindow();
    void addTrayIconStep();
    void setUpColumnsAndImages();
    void enableFullRowHighlight();
    void loadDocuments();
    void readProgramOptions();
    void runStartupCheck();
    void armPeriodicCheck();
    void applyStoredBackground();
    void setPreferWizard();
    void startStartupWorker();
    void armStartupPrompt();

    // Shows a slot loaded by the store as the row at its slot position.
    void showLoadedRow(std::size_t slot);
    void startWorker();

    // ViewTimerActions
    void stopTimer(UINT_PTR timerId) override;
    void setTrayIcon(int iconId) override;
    int rowCount() override;
    void offerStartupWizard() override;
    bool hiddenInTray() override;
    int32_t& blinkPhase() override;

    HWND frame_ = nullptr;
    DocumentListControl list_;
    bool fullRowHighlight_ = false;
};

// Finds the program associated with ".htm" files through an empty probe
// file "HalvorsightTemp.htm" in the working directory, deleted afterwards
// (an existing file of that name is left as it is). Empty when there is
// none.
std::string findBrowserPath();

}  // namespace hs
