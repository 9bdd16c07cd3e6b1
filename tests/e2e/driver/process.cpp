#include "process.h"

#include <tlhelp32.h>

#include <stdexcept>
#include <vector>

#include "work_dir.h"

namespace hs::e2e {

namespace {

UniqueHandle makeKillOnCloseJob() {
    UniqueHandle job(CreateJobObjectA(nullptr, nullptr));
    if (!job) return job;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION info{};
    info.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &info, sizeof info);
    return job;
}

}  // namespace

Process Process::start(const std::string& exe, const std::string& workDir,
                       const std::string& arguments) {
    const std::string exePath = toWindowsPath(exe);
    std::string commandLine = "\"" + exePath + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');

    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    // Created suspended so that it is inside the job before it runs a line.
    // Wine now and then fails a process creation with an internal error
    // (1359) under load; a second try a moment later succeeds.
    DWORD error = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (CreateProcessA(exePath.c_str(), cmd.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                           workDir.c_str(), &si, &pi)) {
            error = 0;
            break;
        }
        error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR) break;
        Sleep(200);
    }
    if (error != 0) {
        throw std::runtime_error("CreateProcess failed for " + exePath + " (error " + std::to_string(error) + ")");
    }
    Process p;
    p.process_.reset(pi.hProcess);
    UniqueHandle thread(pi.hThread);
    p.pid_ = pi.dwProcessId;
    p.job_ = makeKillOnCloseJob();
    if (p.job_) AssignProcessToJobObject(p.job_.get(), pi.hProcess);
    ResumeThread(thread.get());
    return p;
}

Process::~Process() {
    // The job kills the process when it closes; make it explicit and bounded.
    if (running()) terminate();
}

bool Process::running() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::waitForExit(milliseconds timeout) const {
    if (!process_) return std::nullopt;
    if (WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    if (!GetExitCodeProcess(process_.get(), &code)) return std::nullopt;
    return code;
}

void Process::terminate() {
    if (!process_) return;
    TerminateProcess(process_.get(), 0xE2E);
    WaitForSingleObject(process_.get(), 5000);
}

bool terminateForeignProcess(DWORD pid) {
    UniqueHandle h(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
    if (!h) return false;
    TerminateProcess(h.get(), 0xE2E);
    return WaitForSingleObject(h.get(), 5000) == WAIT_OBJECT_0;
}

std::string processImageName(DWORD pid) {
    UniqueHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snap) return "";
    PROCESSENTRY32 e{};
    e.dwSize = sizeof e;
    for (BOOL ok = Process32First(snap.get(), &e); ok; ok = Process32Next(snap.get(), &e)) {
        if (e.th32ProcessID == pid) return e.szExeFile;
    }
    return "";
}

}  // namespace hs::e2e
