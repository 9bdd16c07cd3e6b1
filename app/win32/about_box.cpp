#include "app/win32/about_box.h"

#include "platform/win32/window_base.h"
#include "res/resource_ids.h"

namespace hs {

void showAboutBox(HINSTANCE module, HWND owner) {
    // OK and Cancel (Esc) close it; the base's handlers are all it needs.
    Dialog about;
    about.runModal(module, IDD_ABOUTBOX, owner);
}

}  // namespace hs
