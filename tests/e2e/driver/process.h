// A process started by the driver. Every process is placed in a job that is
// killed when the driver's last handle to it closes, so a driver that dies
// (a crash, a ctest timeout) takes its program with it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "handles.h"
#include "wait.h"

namespace hs::e2e {

class Process {
public:
    // Starts `exe` (a Windows or Unix path) with the working directory
    // `workDir`; `arguments` is appended to the quoted program name.
    // Throws std::runtime_error when the process cannot be created.
    static Process start(const std::string& exe, const std::string& workDir,
                         const std::string& arguments = "");

    Process() = default;
    Process(Process&&) = default;
    Process& operator=(Process&&) = default;
    ~Process();

    DWORD pid() const { return pid_; }
    HANDLE handle() const { return process_.get(); }
    explicit operator bool() const { return static_cast<bool>(process_); }

    bool running() const;
    // Waits up to `timeout` for the process to end and returns its exit code,
    // or nullopt while it still runs.
    std::optional<DWORD> waitForExit(milliseconds timeout = kWait) const;
    // Ends the process at once (exit code 0xE2E) and waits for it to be gone.
    void terminate();

private:
    UniqueHandle job_;
    UniqueHandle process_;
    DWORD pid_ = 0;
};

// Exit codes from 0xC0000000 up are exception statuses: the process crashed.
inline bool isCrashCode(DWORD code) { return code >= 0xC0000000u; }

// Ends a process that the driver did not start (a program left over by an
// earlier test run in the same prefix). True when it is gone.
bool terminateForeignProcess(DWORD pid);

// The base name of the executable of a process ("explorer.exe"), or "".
std::string processImageName(DWORD pid);

}  // namespace hs::e2e
