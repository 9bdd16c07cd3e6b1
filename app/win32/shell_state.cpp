#include "app/win32/shell_state.h"

namespace hs {

int showMessage(HWND owner, const char* text, UINT flags) {
    // A box without an explicit icon shows the exclamation icon.
    if ((flags & MB_ICONMASK) == 0) flags |= MB_ICONEXCLAMATION;
    return ::MessageBoxA(owner, text, kAppTitle, flags);
}

}  // namespace hs
