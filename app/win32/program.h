// The running program: one object, made by the application object at
// start-up and living until the process ends, that owns everything the
// program has once: the catalogue, the settings, the file system, the check
// workers' host and the retrieval paths, the shell's state, the tray icon,
// the main frame and the list view, and the command handlers. Everything
// else gets what it needs from here by reference; window procedures find
// their objects through their windows' user data. No other program-wide
// state exists.
//
// The check engine is declared last of the parts it uses, so it is
// destroyed (its threads ended) before them.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/command_table.h"
#include "app/options.h"
#include "app/win32/shell_launcher.h"
#include "app/win32/change_balloon.h"
#include "app/win32/shell_state.h"
#include "app/win32/tray_icon.h"
#include "app/win32/win32_check_host.h"
#include "catalogue/catalogue.h"
#include "catalogue/settings.h"
#include "check/check_engine.h"
#include "check/retrieval.h"
#include "platform/file_system.h"

namespace hs {

class CMainFrame;
class CHalvorsightView;
class ProgramCommands;

class Program {
public:
    explicit Program(HINSTANCE module);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    HINSTANCE module() const { return module_; }
    DocumentCatalogue& catalogue() { return catalogue_; }
    ProgramOptions& options() { return options_; }
    SettingsFile& settings() { return settings_; }
    FileSystem& files() { return *files_; }
    ShellState& shell() { return shell_; }
    TrayIcon& tray() { return tray_; }
    Win32CheckHost& checkHost() { return checkHost_; }
    DocumentLauncher& launcher() { return launcher_; }
    CommandHandlers& commands();

    CMainFrame* frame() const { return frame_.get(); }
    CHalvorsightView* view() const { return view_.get(); }

    // Creates the main frame, which creates the view through createView.
    bool createMainFrame();
    bool createView(HWND frame);

    // The selection the commands' availability is decided by.
    SelectionSnapshot selection() const;

    // Runs a command through the command table.
    CommandOutcome runCommand(int commandId);

    // Opens a document: a page in the browser, anything else from a copy of
    // its kept content (open/open_document.h).
    OpenResult openDocument(const Document& record, OpenMode mode = OpenMode::ByUser);

    // Opens a section of the manual in the browser found at start-up, or
    // through the shell when there is none. Failures are not reported.
    void openManualSection(const std::string& section);

    // The start-up prompt and, when accepted, the add wizard.
    void offerStartupWizard();

    // Wakes the check engine for the documents just marked; returns at once.
    void startCheckWorker();

    // Exit, closing the main window, the tray menu's Exit and the end of
    // the Windows session: removes the tray icon, cancels the running
    // retrievals and waits for the engine (kEngineStopLimit at most),
    // deletes every "*.tmp" file of "data", writes every used record and
    // ends the message loop.
    void shutDown();

    // False when an engine thread did not end in time at shutdown: it may
    // still touch the catalogue, so the program must not be destroyed.
    bool engineEnded() const { return engineEnded_; }

private:
    HINSTANCE module_;
    DocumentCatalogue catalogue_;
    ProgramOptions options_;
    std::unique_ptr<FileSystem> files_;
    ShellState shell_;
    ShellLauncher launcher_;
    Win32CheckHost checkHost_;
    std::shared_ptr<CancelToken> cancel_;
    RetrievalPaths retrievalPaths_;
    std::unique_ptr<CheckEngine> engine_;
    bool engineEnded_ = true;
    TrayIcon tray_;
    SettingsFile settings_;
    ChangeBalloon balloon_{tray_, settings_};
    std::unique_ptr<ProgramCommands> commands_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<CHalvorsightView> view_;
};

}  // namespace hs
