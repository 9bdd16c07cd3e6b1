// The running program: one object, made by the application object at
// start-up and living until the process ends, that owns everything the
// program has once: the catalogue, the settings, the file system, the check
// workers' host and the retrieval paths, the shell's state, the tray icon,
// the main frame and the document list. Everything
// else gets what it needs from here by reference; window procedures find
// their objects through their windows' user data. No other program-wide
// state exists.
//
// The check engine is declared last of the parts it uses, so it is
// destroyed (its threads ended) before them.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/commands.h"
#include "app/win32/command_table.h"
#include "catalogue/options.h"
#include "app/win32/shell_launcher.h"
#include "app/win32/change_balloon.h"
#include "app/win32/shell_state.h"
#include "app/win32/tray_icon.h"
#include "app/win32/win32_check_host.h"
#include "app/win32/win32_command_host.h"
#include "catalogue/catalogue.h"
#include "catalogue/settings.h"
#include "check/check_engine.h"
#include "check/retrieval.h"
#include "platform/file_system.h"

namespace hs {

class CMainFrame;
class DocumentListWindow;
class WhatChangedWindows;

class Program {
public:
    // `boxes` and `wake` stand in for the commands' message boxes and for
    // waking the check engine (tests); by default the boxes are modal to
    // the main frame and the engine retrieves.
    explicit Program(HINSTANCE module, CommandHost* boxes = nullptr, std::function<void()> wake = {});
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

    CMainFrame* frame() const { return frame_.get(); }
    DocumentListWindow* list() const { return list_.get(); }

    // Creates the main frame, which creates the list through createList
    // (which finds the browser first).
    bool createMainFrame();
    bool createList(HWND frame);

    // The start-up steps once the windows exist: the tray icon, the
    // columns, the rows of the stored records, the options, the start-up
    // check, the periodic timer, the background picture, a worker for the
    // documents waiting, and the start-up prompt's timer.
    void start();

    // What the rules and handlers of the command table see now.
    CommandScope commandScope();
    // Runs a command through the command table.
    CommandOutcome runCommand(int commandId);

    // What the catalogue commands work on: the catalogue, the rows, the
    // message boxes, the files and the check engine. Only once the list
    // exists.
    CommandContext commandContext();

    // The marking of "Check All !" without waking the engine; returns the
    // number of documents marked.
    std::size_t markAllForCheck();

    // The method the Add command's choice preselects: the wizard at every
    // start, then the user's last choice until the program ends.
    bool& preferWizard() { return preferWizard_; }

    // Opens a document: a page in the browser, anything else from a copy of
    // its kept content (open/open_document.h).
    OpenResult openDocument(const Document& record, OpenMode mode = OpenMode::ByUser);

    // Opens a section of the manual in the browser found at start-up, or
    // through the shell when there is none. Failures are not reported.
    void openManualSection(const std::string& section);

    // The name of the one selected document; false with another number of
    // selected rows.
    bool singleSelectedName(std::string& name);

    // The "What changed" window for the document named `name`.
    void showWhatChangedOf(const std::string& name);

    // The tray icon's balloon events (NIN_BALLOON*): a click on a change's
    // balloon brings the window back with what changed in it.
    void balloonEvent(UINT event);
    void dismissBalloon() { balloon_.dismiss(); }

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
    Win32CommandHost messageBoxes_;
    CommandHost* boxes_;
    std::function<void()> wake_;
    Win32CheckHost checkHost_;
    std::shared_ptr<CancelToken> cancel_;
    RetrievalPaths retrievalPaths_;
    std::unique_ptr<CheckEngine> engine_;
    bool engineEnded_ = true;
    TrayIcon tray_;
    bool preferWizard_ = true;
    SettingsFile settings_;
    ChangeBalloon balloon_{tray_, settings_};
    std::unique_ptr<WhatChangedWindows> whatChanged_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<DocumentListWindow> list_;
};

}  // namespace hs
