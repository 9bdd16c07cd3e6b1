#include "app/win32/app_instance.h"

#include <cstring>

namespace hs {

bool captionContainsTitle(const char* caption, const char* title) {
    if (caption == nullptr || title == nullptr) return false;
    return std::strstr(caption, title) != nullptr;
}

HWND findWindowWithTitle(const char* title) {
    char caption[1024];
    for (HWND w = ::GetWindow(::GetDesktopWindow(), GW_CHILD); w != nullptr;
         w = ::GetWindow(w, GW_HWNDNEXT)) {
        caption[0] = '\0';
        // Reads the stored caption without sending a message, so a hung
        // window cannot stall the start.
        ::GetWindowTextA(w, caption, sizeof caption);
        if (captionContainsTitle(caption, title)) return w;
    }
    return nullptr;
}

void bringToFront(HWND window) {
    if (window == nullptr) return;
    RECT r{};
    ::GetWindowRect(window, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    ::SetWindowPos(window, HWND_TOPMOST, r.left, r.top, width, height, SWP_SHOWWINDOW);
    ::SetWindowPos(window, HWND_NOTOPMOST, r.left, r.top, width, height, SWP_SHOWWINDOW);
    ::ShowWindow(window, SW_RESTORE);
}

}  // namespace hs
