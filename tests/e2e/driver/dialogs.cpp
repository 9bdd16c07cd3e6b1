#include "dialogs.h"

#include "window_find.h"

namespace hs::e2e {

std::vector<HWND> findDialogs(DWORD pid, const std::string& title) {
    WindowQuery q;
    q.pid = pid;
    q.className = "#32770";
    q.title = title;
    q.visibleOnly = true;
    return findTopLevelWindows(q);
}

HWND waitForDialog(DWORD pid, const std::string& title, milliseconds timeout) {
    return pollFor(
        [&]() -> HWND {
            const auto all = findDialogs(pid, title);
            return all.empty() ? nullptr : all.front();
        },
        timeout);
}

std::string messageBoxText(HWND box) { return dialogItemText(box, 0xFFFF); }

bool hasDialogItem(HWND dialog, int id) { return GetDlgItem(dialog, id) != nullptr; }

std::string dialogItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item ? windowText(item) : std::string();
}

std::vector<std::string> dialogTexts(HWND dialog) {
    std::vector<std::string> texts;
    for (HWND child : findDescendants(dialog)) texts.push_back(windowText(child));
    return texts;
}

bool isButtonChecked(HWND dialog, int id) {
    LRESULT state = 0;
    return sendBounded(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, &state) && state == BST_CHECKED;
}

bool typeText(HWND dialog, int id, const std::string& text) {
    return sendBounded(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool clickButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (!button) return false;
    return PostMessageA(button, BM_CLICK, 0, 0) != 0;
}

bool waitForWindowGone(HWND w, milliseconds timeout) {
    return pollUntil([&] { return !IsWindow(w); }, timeout);
}

}  // namespace hs::e2e
