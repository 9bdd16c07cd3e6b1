// The program's entry point. The application object lives on this stack
// frame and makes the Program, which owns everything else; nothing of the
// program is a global. What the platform keeps for the process (the window
// classes, the common controls) is set up from here and from the
// application object; each network starts Windows Sockets for itself.
#include <windows.h>
#include <commctrl.h>

#include "app/win32/halvorsight_app.h"
#include "platform/win32/message_guard.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&controls);

    const int exitCode = hs::guardedCall<int>(
        "start-up",
        [instance] {
            hs::CHalvorsightApp app;
            return app.initInstance(instance) ? app.run() : 0;
        },
        1);
    // Everything is saved by now and the check engine's threads have ended.
    return exitCode;
}
