// CHalvorsightView: the list view of the main frame. Its window is the
// SysListView32 control itself, subclassed (its window procedure replaced),
// so that the control is the window that owns the tray icon and the three
// timers, receives the commands of the popup menus it owns and the check
// workers' wake-ups.
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

#include "app/command_table.h"
#include "app/commands.h"
#include "app/options.h"
#include "app/win32/shell_state.h"
#include "app/win32/tray_icon.h"
#include "app/win32/view_timers.h"
#include "app/win32/win32_check_host.h"
#include "app/win32/win32_command_host.h"
#include "catalogue/catalogue.h"
#include "listview/document_list.h"
#include "listview/win32/list_background.h"
#include "listview/win32/list_control_rows.h"
#include "platform/file_system.h"
#include "platform/win32/window_base.h"

namespace hs {

// What the view works on; the program gives its own parts, tests their own.
struct ViewServices {
    DocumentCatalogue& catalogue;
    FileSystem& files;
    ProgramOptions& options;
    ShellState& shell;
    TrayIcon& tray;
    Win32CheckHost& checkHost;
    HINSTANCE module;
    // Starts one more check worker and returns at once.
    std::function<void()> startCheckWorker;
    // Opens a document (the Open command and the double-click).
    DocumentOpener openDocument;
    // The start-up prompt, offered once when the list is empty.
    std::function<void()> offerStartupWizard;
    // The catalogue commands' message boxes; null: boxes over the frame.
    CommandHost* commandHost = nullptr;
    // The tray icon's balloon events (NIN_BALLOON*).
    std::function<void(UINT)> balloonEvent;
};

class CHalvorsightView : public Window, private ViewTimerActions {
public:
    // Finds the program the shell opens ".htm" files with.
    explicit CHalvorsightView(ViewServices services);
    ~CHalvorsightView() override;

    // Creates the list window as a child of the frame and subclasses it.
    bool create(HWND frame);

    int selectedCount() const { return rows_.selectedCount(); }

    // The selection the commands' availability is decided by. With one
    // selected document its files are looked at (whether its content
    // differs from its acknowledged version).
    SelectionSnapshot selection();

    // The name of the one selected document; false with another number of
    // selected rows or a row that matches no document.
    bool singleSelectedName(std::string& name);

    // The rows of the list. Valid once create() succeeded.
    DocumentList& documents() { return *documents_; }
    const DocumentList& documents() const { return *documents_; }
    DocumentCatalogue& catalogue() { return services_.catalogue; }

    // What the catalogue commands work on: the catalogue, these rows, the
    // message boxes, the files and the check worker.
    CommandContext commandContext();

    // The start-up steps of the view, in their order.
    void initialUpdate();

    // Row painting, reflected from the frame's WM_DRAWITEM.
    void drawItem(const DRAWITEMSTRUCT& item) const;

    // The View menu's background choices: "&Default", "&Empty", and
    // "&Custom.." with its open-file dialog.
    void useDefaultBackground();
    void useEmptyBackground();
    void chooseCustomBackground();

    // The picture behind the rows.
    const ListBackground& background() const { return background_; }

    // List notifications reflected from the frame; true when handled.
    bool onListNotify(const NMHDR& header, LRESULT& result);

    // The document commands on the rows. Bulk changes run with the list's
    // redrawing paused.
    void checkSelectedDocuments();                    // "&Check !"
    void checkAllDocuments() override;                // "Chec&k All !", periodic tick
    void setSelectionOfAllRows(bool select);          // "&Select All", "&Deselect All"
    void setSelectedDocumentsNotChanged();            // "Set as 'Not changed' status"
    void setAllDocumentsNotChanged();                 // "Set all as 'Not changed' status"
    void deleteSelectedDocuments();                   // "Dele&te", after its question
    void openSelectedDocuments();                     // "&Open.."

    // The marking of checkAllDocuments without the worker (start-up check).
    std::size_t markAllDocumentsForCheck();

    // Loads every record file of the data directory, one row per record
    // at its slot position.
    void loadDocuments();

    // The window moved to a screen of another scale: the columns keep their
    // share and the status pictures are taken at the new size.
    void dpiChanged();

    // Refreshes the rows of every slot the check host queued.
    void refreshChangedRows();

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void showContextMenu(LPARAM screenPoint);
    LRESULT onHeaderNotify(WPARAM wParam, LPARAM lParam);
    LRESULT onDoubleClick(UINT message, WPARAM wParam, LPARAM lParam);
    void openRowOnDoubleClick(int row);
    bool bulk(int rows) const;

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
    UINT dpi_ = 96;
    Win32CommandHost messageBoxes_;
    HWND frame_ = nullptr;
    bool refreshTimerArmed_ = false;
    ListControlRows rows_;
    std::unique_ptr<DocumentList> documents_;
    ListBackground background_;
};

// Finds the program associated with ".htm" files through an empty probe
// file "HalvorsightTemp.htm" in the working directory, deleted afterwards
// (an existing file of that name is left as it is). Empty when there is
// none.
std::string findBrowserPath();

}  // namespace hs
