// A hidden top-level window of the test program, as a parent for the list
// control, an owner or a message target; the list view's window classes are
// registered first.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "platform/win32/handles.h"

namespace hs::test {

inline UniqueWindow hiddenWindow(const char* caption, DWORD style = WS_OVERLAPPEDWINDOW, int width = 700,
                                 int height = 400) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    return UniqueWindow(::CreateWindowExA(0, "STATIC", caption, style, 0, 0, width, height, nullptr, nullptr,
                                          ::GetModuleHandleA(nullptr), nullptr));
}

}  // namespace hs::test
