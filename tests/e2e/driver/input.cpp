#include "input.h"

#include <vector>

#include "window_find.h"

namespace hs::e2e {

bool postCommand(HWND w, int id) {
    return PostMessageA(w, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0) != 0;
}

bool postSysCommand(HWND w, WPARAM code) { return PostMessageA(w, WM_SYSCOMMAND, code, 0) != 0; }

namespace {

LPARAM keyLParam(UINT vk, bool up) {
    const UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    LPARAM lp = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16);
    const bool extended = vk == VK_DELETE || vk == VK_INSERT || vk == VK_HOME || vk == VK_END ||
                          vk == VK_PRIOR || vk == VK_NEXT || (vk >= VK_LEFT && vk <= VK_DOWN);
    if (extended) lp |= LPARAM(1) << 24;
    if (up) lp |= (LPARAM(1) << 30) | (LPARAM(1) << 31);
    return lp;
}

}  // namespace

bool postKey(HWND w, UINT vk) {
    return PostMessageA(w, WM_KEYDOWN, vk, keyLParam(vk, false)) &&
           PostMessageA(w, WM_KEYUP, vk, keyLParam(vk, true));
}

bool bringToForeground(HWND w, milliseconds timeout) {
    HWND root = GetAncestor(w, GA_ROOT);
    if (!root) root = w;
    return pollUntil(
        [&] {
            if (GetForegroundWindow() == root) return true;
            SetForegroundWindow(root);
            return GetForegroundWindow() == root;
        },
        timeout, milliseconds(50));
}

bool sendKey(HWND w, UINT vk, bool ctrl) {
    if (!bringToForeground(w)) return false;
    std::vector<INPUT> inputs;
    auto key = [&](WORD k, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = k;
        in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(k, MAPVK_VK_TO_VSC));
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(in);
    };
    if (ctrl) key(VK_CONTROL, false);
    key(static_cast<WORD>(vk), false);
    key(static_cast<WORD>(vk), true);
    if (ctrl) key(VK_CONTROL, true);
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

bool postMouse(HWND w, UINT msg, int x, int y, WPARAM keys) {
    return PostMessageA(w, msg, keys, MAKELPARAM(x, y)) != 0;
}

}  // namespace hs::e2e
