// CHalvorsightApp: the application object. initInstance runs the start-up
// sequence (single-instance test, the accelerators, the program, the main
// frame with its list, the program's start-up steps, then showing the
// window); run is the message loop.
#pragma once

#include <windows.h>

#include <memory>

#include "app/win32/program.h"

namespace hs {

class CHalvorsightApp {
public:
    CHalvorsightApp() = default;
    // The program goes with the application object, unless a check engine
    // thread outlived the exit's wait: then it is left to the end of the
    // process, which that thread may still use.
    ~CHalvorsightApp();
    CHalvorsightApp(const CHalvorsightApp&) = delete;
    CHalvorsightApp& operator=(const CHalvorsightApp&) = delete;

    // False when the program is to end at once (another instance runs, or
    // a start-up step failed and said so).
    bool initInstance(HINSTANCE module);

    // The message loop with the main frame's accelerators; returns the exit
    // code of the quit message.
    int run();

private:
    bool raiseRunningInstance();
    bool createProgram();
    void showMainWindow();
    HWND mainWindow() const;

    HINSTANCE module_ = nullptr;
    HACCEL accelerators_ = nullptr;  // resource-loaded: freed with the module
    std::unique_ptr<Program> program_;
};

}  // namespace hs
