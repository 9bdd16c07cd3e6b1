#include "program_test.h"

#include <cstdio>
#include <stdexcept>

#include "screenshot.h"

namespace hs::e2e {

namespace {

std::string& programPathStorage() {
    static std::string path;
    return path;
}

std::string currentTestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return info ? std::string(info->test_suite_name()) + "." + info->name() : "test";
}

}  // namespace

void setProgramPath(const std::string& path) { programPathStorage() = path; }
const std::string& programPath() { return programPathStorage(); }

void ProgramTest::SetUp() {
    ASSERT_FALSE(programPath().empty()) << "no program given: pass --program=<Halvorsight.exe>";
    endLeftoverInstances();
    dropStaleTrayIcons(kTrayTip);
    dir_ = std::make_unique<WorkDir>(currentTestName());
    prompts_ = std::make_unique<StartupPromptDismisser>();
}

void ProgramTest::endLeftoverInstances() {
    // A program left running by an earlier, aborted test would make every
    // start here a "second instance". End it, by its process id.
    WindowQuery q;
    q.title = kAppTitle;
    q.titleContains = true;
    for (HWND w : findTopLevelWindows(q)) {
        const DWORD pid = windowProcessId(w);
        if (pid == 0 || pid == GetCurrentProcessId()) continue;
        std::printf("note: ending process %lu (%s) left over with window \"%s\"\n",
                    static_cast<unsigned long>(pid), processImageName(pid).c_str(),
                    windowText(w).c_str());
        terminateForeignProcess(pid);
    }
}

void ProgramTest::useDeepDir() {
    dir_ = std::make_unique<WorkDir>(currentTestName() + std::string(kMaxWorkDirLength, '-'));
}

WorkDir& ProgramTest::extraDir(const std::string& label) {
    extraDirs_.push_back(std::make_unique<WorkDir>(currentTestName() + "-" + label));
    return *extraDirs_.back();
}

RunningProgram& ProgramTest::launch(WorkDir* where) {
    return launchAt(programPath(), (where ? *where : *dir_).path());
}

RunningProgram& ProgramTest::launchAt(const std::string& exe, const std::string& workDir) {
    auto app = std::make_unique<RunningProgram>();
    app->trayBefore = trayIcons();
    app->process = Process::start(exe, workDir);
    if (prompts_) prompts_->watch(app->pid());
    programs_.push_back(std::move(app));
    return *programs_.back();
}

bool ProgramTest::waitForMainWindow(RunningProgram& app, milliseconds timeout) {
    WindowQuery q;
    q.pid = app.pid();
    q.title = kAppTitle;
    q.visibleOnly = true;
    app.main = waitForTopLevelWindow(q, timeout);
    if (!app.main) return false;
    app.list = pollFor([&] { return findDescendant(app.main, "SysListView32"); }, kShortWait);
    app.status = pollFor([&] { return findDescendant(app.main, "msctls_statusbar32"); }, kShortWait);
    return app.list != nullptr && app.status != nullptr;
}

RunningProgram& ProgramTest::start(WorkDir* where) {
    return startAt(programPath(), (where ? *where : *dir_).path());
}

RunningProgram& ProgramTest::startAt(const std::string& exe, const std::string& workDir) {
    RunningProgram& app = launchAt(exe, workDir);
    const bool ok = waitForMainWindow(app);
    if (!ok) {
        const auto code = app.process.waitForExit(milliseconds(0));
        ADD_FAILURE() << "the program did not show its main window with list and status bar"
                      << " (main " << app.main << ", list " << app.list << ", status bar "
                      << app.status << ")"
                      << (code ? " - it ended with exit code " + std::to_string(*code) : "");
        // Let the caller's next ASSERT stop the test without touching nulls.
        throw std::runtime_error("program did not start");
    }
    return app;
}

std::optional<DWORD> ProgramTest::exitByCommand(RunningProgram& app, milliseconds timeout) {
    postCommand(app.main, 32779);  // Application > Exit
    return app.process.waitForExit(timeout);
}

std::optional<DWORD> ProgramTest::waitForExit(RunningProgram& app, milliseconds timeout) {
    return app.process.waitForExit(timeout);
}

void ProgramTest::writeRecord(const Document& record, const std::string& fileName) {
    const std::string file = fileName.empty() ? recordFileName(fieldText(record.name))
                                              : "data\\" + fileName;
    dir_->writeFile(file, recordFileBytes(record));
}

std::string ProgramTest::readRecordFile(const std::string& name) {
    std::string bytes;
    dir_->readFile(recordFileName(name), bytes);
    return bytes;
}

void ProgramTest::writeOptions(const OptionsFile& options) { dir_->writeFile(kOptionsFile, options.bytes()); }

std::string ProgramTest::readOptionsBytes() {
    std::string bytes;
    dir_->readFile(kOptionsFile, bytes);
    return bytes;
}

Menu ProgramTest::readMainMenu(RunningProgram& app, bool initPopups) {
    Menu menu;
    std::string error;
    const bool ok = readWindowMenu(app.process.handle(), app.main, initPopups, menu, error);
    EXPECT_TRUE(ok) << "menu probe: " << error;
    return menu;
}

bool ProgramTest::waitForTrayIcon(const RunningProgram& app, TrayIcon& icon, milliseconds timeout) {
    return pollUntil(
        [&] {
            for (const TrayIcon& now : trayIcons()) {
                bool known = false;
                for (const TrayIcon& before : app.trayBefore)
                    known = known || (before.tooltip == now.tooltip && before.toolId == now.toolId);
                if (!known) {
                    icon = now;
                    return true;
                }
            }
            return false;
        },
        timeout);
}

std::vector<HWND> ProgramTest::visibleWindowsOf(DWORD pid) {
    WindowQuery q;
    q.pid = pid;
    q.visibleOnly = true;
    return findTopLevelWindows(q);
}

void ProgramTest::reportFailureState() {
    const std::string name = currentTestName();
    for (auto& app : programs_) {
        if (!app->process.running()) continue;
        for (HWND d : findDialogs(app->pid()))
            std::printf("open dialog of pid %lu: \"%s\" text \"%s\"\n",
                        static_cast<unsigned long>(app->pid()), windowText(d).c_str(),
                        messageBoxText(d).c_str());
    }
    const std::string file = screenshotDirectory() + "\\" + name + ".bmp";
    if (saveScreenshot(file))
        std::printf("screenshot at failure: %s\n", file.c_str());
    if (dir_) {
        dir_->keep();
        std::printf("working directory kept: %s\n", dir_->path().c_str());
    }
    for (auto& d : extraDirs_) {
        d->keep();
        std::printf("working directory kept: %s\n", d->path().c_str());
    }
}

void ProgramTest::TearDown() {
    prompts_.reset();
    if (HasFailure()) reportFailureState();
    for (auto& app : programs_) {
        if (app->process.running()) {
            if (!HasFailure())
                ADD_FAILURE() << "the test left the program (pid " << app->pid() << ") running";
            app->process.terminate();
        }
    }
    programs_.clear();
}

void QuietProgramTest::SetUp() {
    ProgramTest::SetUp();
    OptionsFile quiet;
    quiet.playSound = 0;
    writeOptions(quiet);
}

}  // namespace hs::e2e
