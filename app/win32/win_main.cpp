// The program's entry point.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>

#include "app/win32/halvorsight_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&controls);

    int exitCode = 0;
    try {
        static hs::CHalvorsightApp app;
        if (app.initInstance(instance)) exitCode = app.run();
    } catch (...) {
        exitCode = 1;
    }
    // Everything is saved by now. Check workers may still be running: the
    // process ends without running static destructors under their feet.
    std::_Exit(exitCode);
}
