#include "app/win32/halvorsight_app.h"

#include <new>

#include "app/win32/app_instance.h"
#include "app/win32/main_frame.h"
#include "app/win32/shell_state.h"
#include "res/resource_ids.h"

namespace hs {

namespace {

constexpr const char* kOutOfMemoryText = "INTERNAL ERROR: CANNOT ALLOCATE MEMORY.\n";

}  // namespace

// ---------------------------------------------------------------- start-up

CHalvorsightApp::~CHalvorsightApp() {
    if (program_ && !program_->engineEnded()) static_cast<void>(program_.release());
}

bool CHalvorsightApp::initInstance(HINSTANCE module) {
    module_ = module;
    if (raiseRunningInstance()) return false;
    accelerators_ = ::LoadAcceleratorsA(module_, MAKEINTRESOURCEA(IDR_MAINFRAME));
    if (!createProgram()) return false;
    if (!program_->createMainFrame()) return false;
    program_->start();
    showMainWindow();
    return true;
}

bool CHalvorsightApp::raiseRunningInstance() {
    HWND running = findWindowWithTitle(kAppTitle);
    if (running == nullptr) return false;
    bringToFront(running);
    return true;
}

bool CHalvorsightApp::createProgram() {
    try {
        program_ = std::make_unique<Program>(module_);
        return true;
    } catch (const std::bad_alloc&) {
        showMessage(nullptr, kOutOfMemoryText, MB_OK | MB_ICONSTOP);
        ::PostQuitMessage(0);
        return false;
    }
}

HWND CHalvorsightApp::mainWindow() const {
    CMainFrame* frame = program_ ? program_->frame() : nullptr;
    return frame != nullptr ? frame->window() : nullptr;
}

void CHalvorsightApp::showMainWindow() {
    ::ShowWindow(mainWindow(), SW_SHOW);
    ::UpdateWindow(mainWindow());
}

int CHalvorsightApp::run() {
    MSG message{};
    for (;;) {
        const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (accelerators_ != nullptr && mainWindow() != nullptr &&
            ::TranslateAcceleratorA(mainWindow(), accelerators_, &message)) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace hs
