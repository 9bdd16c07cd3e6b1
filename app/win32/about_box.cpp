#include "app/win32/about_box.h"

#include "app/command_ids.h"
#include "app/win32/shell_state.h"

namespace hs {

namespace {

INT_PTR CALLBACK aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                ::EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

void showAboutBox(HWND owner) {
    ::DialogBoxParamA(resourceModule(), MAKEINTRESOURCEA(IDD_ABOUTBOX), owner, aboutProc, 0);
}

}  // namespace hs
