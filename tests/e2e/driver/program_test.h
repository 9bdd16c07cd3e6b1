// The test fixture of the end-to-end cases: each test gets a fresh working
// directory, starts the real program in it, drives it, and ends it again.
// On failure the fixture takes a screenshot, keeps the working directory and
// prints where both are; every program still running is then terminated, so
// no test leaves a process behind for the next one.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs.h"
#include "dialogs/win32/message_box.h"
#include "input.h"
#include "menus.h"
#include "options_file.h"
#include "process.h"
#include "record_files.h"
#include "remote.h"
#include "startup_prompt.h"
#include "tray.h"
#include "wait.h"
#include "window_find.h"
#include "work_dir.h"

namespace hs::e2e {

// The tip of the notification-area icon.
constexpr const char* kTrayTip = "Halvorsight";

// The program under test (set from the command line by the driver's main).
void setProgramPath(const std::string& path);
const std::string& programPath();

// One running instance of the program and its main windows.
struct RunningProgram {
    Process process;
    HWND main = nullptr;    // the frame: top-level, caption kAppTitle
    HWND list = nullptr;    // the document list ("SysListView32")
    HWND status = nullptr;  // the status bar ("msctls_statusbar32")
    std::vector<TrayIcon> trayBefore;  // icons with the tip before the start

    DWORD pid() const { return process.pid(); }
    RemoteListView rows() const { return RemoteListView(list); }
};

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    WorkDir& dir() { return *dir_; }
    // A fresh test directory kMaxWorkDirLength deep; before writing anything.
    void useDeepDir();
    // Another fresh directory (for a second instance); kept like the first.
    WorkDir& extraDir(const std::string& label);

    // Starts the program in `where` (default: the test's directory) without
    // waiting for anything.
    RunningProgram& launch(WorkDir* where = nullptr);
    // Starts the program and waits for its visible main window and its list
    // and status bar. Fails the test (fatally) when they do not appear.
    RunningProgram& start(WorkDir* where = nullptr);
    // The same for another copy of the program (an installed one) started
    // in any directory.
    RunningProgram& launchAt(const std::string& exe, const std::string& workDir);
    RunningProgram& startAt(const std::string& exe, const std::string& workDir);
    // Waits for the main window etc. of an already launched program.
    bool waitForMainWindow(RunningProgram& app, milliseconds timeout = kWait);

    // Application > Exit and wait for the process to end; returns its exit
    // code (nullopt when it did not end in time).
    std::optional<DWORD> exitByCommand(RunningProgram& app, milliseconds timeout = kWait);
    // Waits for a process to end after something else asked it to.
    std::optional<DWORD> waitForExit(RunningProgram& app, milliseconds timeout = kWait);

    // Prepared files in the test's directory.
    void writeRecord(const Document& record, const std::string& fileName = "");
    // The bytes of data\<name>.data; empty when the file is missing.
    std::string readRecordFile(const std::string& name);
    // The options file of the test's directory.
    void writeOptions(const OptionsFile& options);
    std::string readOptionsBytes();

    // Menu bar of the main window, through the probe DLL; fails the test
    // when it cannot be read.
    Menu readMainMenu(RunningProgram& app, bool initPopups = false);

    // The start-up prompt of the programs this test starts is cancelled as
    // soon as it shows, unless the test keeps it for itself.
    void keepStartupPrompt() { prompts_.reset(); }

    // Visible top-level windows (any class) of a process.
    std::vector<HWND> visibleWindowsOf(DWORD pid);

    // The tray icons that carry the program's tip.
    std::vector<TrayIcon> trayIcons() { return findTrayIcons(kTrayTip); }
    // The icon that appeared in the tray since `app` was launched.
    bool waitForTrayIcon(const RunningProgram& app, TrayIcon& icon, milliseconds timeout = kShortWait);

private:
    void endLeftoverInstances();
    void reportFailureState();

    std::unique_ptr<WorkDir> dir_;
    std::vector<std::unique_ptr<WorkDir>> extraDirs_;
    std::vector<std::unique_ptr<RunningProgram>> programs_;
    std::unique_ptr<StartupPromptDismisser> prompts_;
};

// A ProgramTest whose programs play no change sound (the machine may have
// no audio): the options file says so before each test.
class QuietProgramTest : public ProgramTest {
protected:
    void SetUp() override;
};

}  // namespace hs::e2e
