// A top-level window of the driver itself with a caption of the test's
// choosing, for the program's single-instance test to find. It runs its
// own message loop on a thread of its own, so that the program's calls on
// it (SetWindowPos, ShowWindow) are answered while the test waits.
#pragma once

#include <windows.h>

#include <string>

#include "handles.h"

namespace hs::e2e {

class DecoyWindow {
public:
    // Creates and shows the window (minimized when `minimized`); hwnd() is
    // null if that failed.
    explicit DecoyWindow(const std::string& caption, bool minimized = false);
    ~DecoyWindow();
    DecoyWindow(const DecoyWindow&) = delete;
    DecoyWindow& operator=(const DecoyWindow&) = delete;

    HWND hwnd() const { return hwnd_; }

private:
    static DWORD WINAPI threadMain(LPVOID self);

    std::string caption_;
    bool minimized_;
    HWND hwnd_ = nullptr;
    UniqueHandle ready_;
    UniqueHandle thread_;
};

}  // namespace hs::e2e
