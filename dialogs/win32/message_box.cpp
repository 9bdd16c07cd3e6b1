#include "dialogs/win32/message_box.h"

namespace hs {

int showMessage(HWND owner, const char* text, UINT flags) {
    if ((flags & MB_ICONMASK) == 0) flags |= MB_ICONEXCLAMATION;
    return ::MessageBoxA(owner, text, kAppTitle, flags);
}

}  // namespace hs
