// CHalvorsightView: the list view of the main frame. Its window is the
// SysListView32 control itself, subclassed (its window procedure replaced),
// so that the control is the window that owns the tray icon and the three
// timers and receives the view's commands (from the frame's router and from
// the popup menus it owns) and the check workers' posted row refreshes.
//
// The view owns the one DocumentList of the program; every change to a row
// goes through it (loading, commands, worker refreshes, header-click sorts).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "app/win32/command_router.h"
#include "app/win32/view_timers.h"
#include "app/win32/win32_command_host.h"
#include "catalogue/catalogue.h"
#include "catalogue/commands.h"
#include "listview/document_list.h"
#include "listview/win32/list_control_rows.h"
#include "platform/file_system.h"

namespace hs {

// What the view works on. The program's view uses the program-wide
// catalogue, the platform's files, message boxes owned by the main frame
// and the program's check worker; tests give their own.
struct ViewServices {
    DocumentCatalogue* catalogue = nullptr;  // null: theCatalogue()
    FileSystem* files = nullptr;             // null: platformFileSystem()
    CommandHost* commandHost = nullptr;      // null: message boxes over the frame
    std::function<void()> startCheckWorker;  // empty: startCheckWorker(theCatalogue(), programCheckHost())
};

class CHalvorsightView : public CommandTarget, private ViewTimerActions {
public:
    // Construction: registers the program-wide view and finds the program
    // the shell opens ".htm" files with.
    CHalvorsightView();
    explicit CHalvorsightView(ViewServices services);
    ~CHalvorsightView() override;
    CHalvorsightView(const CHalvorsightView&) = delete;
    CHalvorsightView& operator=(const CHalvorsightView&) = delete;

    // Creates the list window as a child of the frame and subclasses it.
    bool create(HWND frame);

    HWND window() const { return rows_.window(); }
    int selectedCount() const { return rows_.selectedCount(); }

    // The rows of the list. Valid once create() succeeded.
    DocumentList& documents() { return *documents_; }
    const DocumentList& documents() const { return *documents_; }
    DocumentCatalogue& catalogue() { return *catalogue_; }

    // What the catalogue commands work on: the catalogue, these rows, the
    // message boxes, the files and the check worker.
    CommandContext commandContext();

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

    // Loads every record file of the data directory, one row per record
    // at its slot position.
    void loadDocuments();

private:
    static LRESULT CALLBACK listWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT callListProc(UINT message, WPARAM wParam, LPARAM lParam);
    void unsubclass();
    void showContextMenu(LPARAM screenPoint);
    LRESULT onDoubleClick(UINT message, WPARAM wParam, LPARAM lParam);
    void deleteSelectedDocuments();

    // Start-up steps of the initial update.
    void frameworkInitialUpdate();
    void rememberViewWindow();
    void addTrayIconStep();
    void setUpColumnsAndImages();
    void enableFullRowHighlight();
    void readProgramOptions();
    void runStartupCheck();
    void armPeriodicCheck();
    void applyStoredBackground();
    void setPreferWizard();
    void startStartupWorker();
    void armStartupPrompt();

    void startWorker();

    // ViewTimerActions
    void stopTimer(UINT_PTR timerId) override;
    void setTrayIcon(int iconId) override;
    int rowCount() override;
    void offerStartupWizard() override;
    bool hiddenInTray() override;
    int32_t& blinkPhase() override;

    ViewServices services_;
    DocumentCatalogue* catalogue_ = nullptr;
    FileSystem* files_ = nullptr;
    Win32CommandHost messageBoxes_;
    HWND frame_ = nullptr;
    WNDPROC listProc_ = nullptr;  // the list control's own procedure
    ListControlRows rows_;
    std::unique_ptr<DocumentList> documents_;
};

// The program-wide view (the one that exists), or null. Window thread only;
// check workers reach the rows through messages posted to its window.
CHalvorsightView* programView();

// Finds the program associated with ".htm" files through an empty probe
// file "HalvorsightTemp.htm" in the working directory, deleted afterwards
// (an existing file of that name is left as it is). Empty when there is
// none.
std::string findBrowserPath();

}  // namespace hs
