#include "startup_prompt.h"

#include "dialogs.h"

namespace hs::e2e {

StartupPromptDismisser::StartupPromptDismisser() : thread_([this] { run(); }) {}

StartupPromptDismisser::~StartupPromptDismisser() {
    stop();
    thread_.join();
}

void StartupPromptDismisser::watch(DWORD pid) {
    std::lock_guard<std::mutex> lock(mutex_);
    pids_.push_back(pid);
}

void StartupPromptDismisser::stop() { running_ = false; }

void StartupPromptDismisser::run() {
    while (running_) {
        std::vector<DWORD> pids;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            pids = pids_;
        }
        for (DWORD pid : pids) {
            for (HWND prompt : findDialogs(pid, kStartupPromptTitle)) {
                if (running_) clickButton(prompt, IDCANCEL);
            }
        }
        Sleep(50);
    }
}

}  // namespace hs::e2e
