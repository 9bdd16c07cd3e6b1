// The program offers its add wizard two seconds after it starts with an
// empty list. Cases that are not about that prompt get it cancelled for
// them, from a thread of the driver, as soon as it shows.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace hs::e2e {

constexpr const char* kStartupPromptTitle = "Start-up wizard";

class StartupPromptDismisser {
public:
    StartupPromptDismisser();
    ~StartupPromptDismisser();
    StartupPromptDismisser(const StartupPromptDismisser&) = delete;
    StartupPromptDismisser& operator=(const StartupPromptDismisser&) = delete;

    // Cancels the prompt of process `pid` whenever it shows.
    void watch(DWORD pid);
    // Leaves every prompt to the test from now on.
    void stop();

private:
    void run();

    std::mutex mutex_;
    std::vector<DWORD> pids_;
    std::atomic<bool> running_{true};
    std::thread thread_;
};

}  // namespace hs::e2e
