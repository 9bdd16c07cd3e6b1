#include "app/win32/halvorsight_app.h"

#include <winsock2.h>

#include <new>
#include <string>

#include "app/win32/app_instance.h"
#include "app/win32/frame_bars.h"
#include "app/win32/shell_state.h"
#include "app/win32/halvorsight_view.h"
#include "app/win32/main_frame.h"
#include "platform/win32/handles.h"
#include "res/resource_ids.h"

namespace hs {

namespace {

constexpr const char* kOutOfMemoryText = "INTERNAL ERROR: CANNOT ALLOCATE MEMORY.\n";

UniqueRegistryKey createRegistryKey(HKEY parent, const char* path) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS) {
        return UniqueRegistryKey();
    }
    return UniqueRegistryKey(key);
}

}  // namespace

// ---------------------------------------------------------------- sockets

WinsockSession::~WinsockSession() {
    if (started_) ::WSACleanup();
}

bool WinsockSession::start() {
    WSADATA data{};
    if (::WSAStartup(MAKEWORD(1, 1), &data) != 0) return false;
    started_ = true;
    if (data.wVersion != MAKEWORD(1, 1)) return false;
    return true;
}

// ---------------------------------------------------------------- profile

bool loadStandardProfileSettings(int entries) {
    const std::string appKey = std::string("Software\\") + kRegistryCompany + "\\" + kRegistryApplication;
    UniqueRegistryKey app = createRegistryKey(HKEY_CURRENT_USER, appKey.c_str());
    if (!app) return false;
    UniqueRegistryKey recent = createRegistryKey(app.get(), "Recent File List");
    if (!recent) return true;
    // The list is read as the framework does; the program shows none of it.
    for (int i = 1; i <= entries; ++i) {
        char value[MAX_PATH] = {};
        DWORD size = sizeof value;
        const std::string name = "File" + std::to_string(i);
        ::RegQueryValueExA(recent.get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    }
    return true;
}

// ---------------------------------------------------------------- start-up

CHalvorsightApp::~CHalvorsightApp() {
    if (program_ && !program_->engineEnded()) static_cast<void>(program_.release());
}

bool CHalvorsightApp::initInstance(HINSTANCE module) {
    module_ = module;
    if (raiseRunningInstance()) return false;
    if (!startWindowsSockets()) return false;
    loadProfileSettings();
    // The document template (menu, accelerators, icon and title 128) and
    // an empty new document: the catalogue, then the frame with its view.
    accelerators_ = ::LoadAcceleratorsA(module_, MAKEINTRESOURCEA(IDR_MAINFRAME));
    if (!createDocument()) return false;
    if (!createMainFrame()) return false;
    program_->view()->initialUpdate();
    showMainWindow();
    return true;
}

bool CHalvorsightApp::raiseRunningInstance() {
    HWND running = findWindowWithTitle(kAppTitle);
    if (running == nullptr) return false;
    bringToFront(running);
    return true;
}

bool CHalvorsightApp::startWindowsSockets() {
    if (sockets_.start()) return true;
    showMessage(nullptr, loadResourceString(module_, IDS_SOCKETS_FAILED).c_str(), MB_OK);
    return false;
}

void CHalvorsightApp::loadProfileSettings() {
    loadStandardProfileSettings(4);
}

bool CHalvorsightApp::createDocument() {
    try {
        program_ = std::make_unique<Program>(module_);
        return true;
    } catch (const std::bad_alloc&) {
        showMessage(nullptr, kOutOfMemoryText, MB_OK | MB_ICONSTOP);
        ::PostQuitMessage(0);
        return false;
    }
}

bool CHalvorsightApp::createMainFrame() {
    return program_->createMainFrame();
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
