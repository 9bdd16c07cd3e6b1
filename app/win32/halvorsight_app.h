// CHalvorsightApp: the application object. initInstance runs the start-up
// sequence (single-instance test, Windows Sockets, profile settings, the
// document, the main frame with its view, the view's initial update, then
// showing the window); run is the message loop.
#pragma once

#include <windows.h>

#include <memory>

#include "app/win32/program.h"

namespace hs {

// Windows Sockets 1.1, started once and cleaned up with its owner.
class WinsockSession {
public:
    WinsockSession() = default;
    ~WinsockSession();
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;

    // Asks for version 1.1 and accepts only 1.1.
    bool start();

private:
    bool started_ = false;
};

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
    bool startWindowsSockets();
    void loadProfileSettings();
    bool createDocument();
    bool createMainFrame();
    void showMainWindow();
    HWND mainWindow() const;

    HINSTANCE module_ = nullptr;
    HACCEL accelerators_ = nullptr;  // resource-loaded: freed with the module
    WinsockSession sockets_;
    std::unique_ptr<Program> program_;
};

// The registry key of the program's profile settings:
// HKEY_CURRENT_USER\Software\Local AppWizard-Generated Applications\Halvorsight.
constexpr const char* kRegistryCompany = "Local AppWizard-Generated Applications";
constexpr const char* kRegistryApplication = "Halvorsight";

// Opens (creating) the program's key and reads the recent-file list of
// `entries` entries, which the program does not show. True when the key
// could be opened.
bool loadStandardProfileSettings(int entries);

}  // namespace hs
