// A hidden top-level window of the test program, as a parent for the list
// control, an owner or a message target; the list view's window classes are
// registered first.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "listview/win32/list_control_rows.h"
#include "platform/win32/handles.h"

namespace hs::test {

inline LRESULT CALLBACK answerDisplayInfoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR rows) {
    if (message == WM_NOTIFY &&
        reinterpret_cast<const ListControlRows*>(rows)->answerDisplayInfo(*reinterpret_cast<NMHDR*>(lParam))) {
        return 0;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

// Makes `parent` answer its list's questions for texts on demand from
// `rows`, as the program's frame does.
inline void answerDisplayInfoFrom(HWND parent, const ListControlRows& rows) {
    ::SetWindowSubclass(parent, answerDisplayInfoProc, 1, reinterpret_cast<DWORD_PTR>(&rows));
}

inline UniqueWindow hiddenWindow(const char* caption, DWORD style = WS_OVERLAPPEDWINDOW, int width = 700,
                                 int height = 400) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    return UniqueWindow(::CreateWindowExA(0, "STATIC", caption, style, 0, 0, width, height, nullptr, nullptr,
                                          ::GetModuleHandleA(nullptr), nullptr));
}

}  // namespace hs::test
