#include "app/win32/halvorsight_app.h"

#include <winsock2.h>

#include <new>
#include <string>

#include "app/command_ids.h"
#include "app/win32/app_instance.h"
#include "app/win32/frame_bars.h"
#include "app/win32/shell_state.h"
#include "catalogue/catalogue.h"

namespace hs {

namespace {

constexpr const char* kOutOfMemoryText = "INTERNAL ERROR: CANNOT ALLOCATE MEMORY.\n";

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (key_ != nullptr) ::RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool create(HKEY parent, const std::string& path) {
        return ::RegCreateKeyExA(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_READ | KEY_WRITE, nullptr, &key_, nullptr) == ERROR_SUCCESS;
    }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

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
    RegistryKey app;
    if (!app.create(HKEY_CURRENT_USER, appKey)) return false;
    RegistryKey recent;
    if (!recent.create(app.get(), "Recent File List")) return true;
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
    frame_->view()->initialUpdate();
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
        theCatalogue();
        return true;
    } catch (const std::bad_alloc&) {
        showMessage(nullptr, kOutOfMemoryText, MB_OK | MB_ICONSTOP);
        ::PostQuitMessage(0);
        return false;
    }
}

bool CHalvorsightApp::createMainFrame() {
    frame_ = std::make_unique<CMainFrame>();
    return frame_->create(module_);
}

void CHalvorsightApp::showMainWindow() {
    ::ShowWindow(frame_->window(), SW_SHOW);
    ::UpdateWindow(frame_->window());
}

int CHalvorsightApp::run() {
    MSG message{};
    for (;;) {
        const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (accelerators_ != nullptr && frame_ &&
            ::TranslateAcceleratorA(frame_->window(), accelerators_, &message)) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace hs
