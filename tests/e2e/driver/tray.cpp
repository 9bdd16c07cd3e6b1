#include "tray.h"

#include <commctrl.h>

#include "remote.h"
#include "window_find.h"

namespace hs::e2e {

namespace {

constexpr std::size_t kTipBuffer = 1024;

void collectTools(HWND tooltip, const std::string& tip, std::vector<TrayIcon>& out) {
    LRESULT count = 0;
    if (!sendBounded(tooltip, TTM_GETTOOLCOUNT, 0, 0, &count) || count <= 0) return;
    UniqueHandle process = openWindowProcess(tooltip);
    RemoteMemory mem(process.get(), sizeof(TTTOOLINFOA) + kTipBuffer);
    if (!mem) return;
    for (LRESULT i = 0; i < count; ++i) {
        TTTOOLINFOA info{};
        info.cbSize = sizeof info;
        info.lpszText = mem.at<char>(sizeof(TTTOOLINFOA));
        const char zero = 0;
        if (!mem.write(0, &info, sizeof info) || !mem.write(sizeof(TTTOOLINFOA), &zero, 1)) return;
        LRESULT ok = 0;
        if (!sendBounded(tooltip, TTM_ENUMTOOLSA, static_cast<WPARAM>(i), mem.lparam(), &ok) || !ok)
            continue;
        TTTOOLINFOA got{};
        if (!mem.read(0, &got, sizeof got)) continue;
        // A tool whose text lives in the tooltip comes back in our buffer;
        // anything else (a callback or resource text) is not an icon tip.
        if (got.lpszText != mem.at<char>(sizeof(TTTOOLINFOA))) continue;
        const std::string text = mem.readString(sizeof(TTTOOLINFOA), kTipBuffer);
        if (text != tip) continue;
        TrayIcon icon;
        icon.tooltip = tooltip;
        icon.toolId = got.uId;
        icon.tip = text;
        if (got.uFlags & TTF_IDISHWND) {
            icon.window = reinterpret_cast<HWND>(got.uId);
            GetClientRect(icon.window, &icon.rect);
        } else {
            icon.window = got.hwnd;
            icon.rect = got.rect;
        }
        if (IsRectEmpty(&icon.rect)) continue;  // a deleted or hidden icon
        out.push_back(icon);
    }
}

BOOL CALLBACK collectTooltip(HWND w, LPARAM lp) {
    auto* list = reinterpret_cast<std::vector<HWND>*>(lp);
    if (className(w) == TOOLTIPS_CLASSA && windowProcessId(w) != GetCurrentProcessId())
        list->push_back(w);
    return TRUE;
}

POINT centre(const TrayIcon& icon) {
    return POINT{(icon.rect.left + icon.rect.right) / 2, (icon.rect.top + icon.rect.bottom) / 2};
}

bool post(const TrayIcon& icon, UINT msg, WPARAM keys) {
    const POINT c = centre(icon);
    return PostMessageA(icon.window, msg, keys, MAKELPARAM(c.x, c.y)) != 0;
}

}  // namespace

std::vector<TrayIcon> findTrayIcons(const std::string& tip) {
    std::vector<HWND> tooltips;
    EnumWindows(collectTooltip, reinterpret_cast<LPARAM>(&tooltips));
    std::vector<TrayIcon> icons;
    for (HWND t : tooltips) collectTools(t, tip, icons);
    return icons;
}

bool findSameTrayIcon(const TrayIcon& icon, TrayIcon& now) {
    for (const TrayIcon& i : findTrayIcons(icon.tip)) {
        if (i.tooltip == icon.tooltip && i.toolId == icon.toolId) {
            now = i;
            return true;
        }
    }
    return false;
}

void dropStaleTrayIcons(const std::string& tip) {
    for (int round = 0; round < 20; ++round) {
        const auto icons = findTrayIcons(tip);
        if (icons.empty()) return;
        // Removing one icon moves the others, so one per round.
        post(icons.front(), WM_MOUSEMOVE, 0);
        pollUntil([&] { return findTrayIcons(tip).size() < icons.size(); }, milliseconds(500));
    }
}

bool doubleClickTrayIcon(const TrayIcon& icon) {
    return post(icon, WM_MOUSEMOVE, 0) && post(icon, WM_LBUTTONDOWN, MK_LBUTTON) &&
           post(icon, WM_LBUTTONUP, 0) && post(icon, WM_LBUTTONDBLCLK, MK_LBUTTON) &&
           post(icon, WM_LBUTTONUP, 0);
}

bool clickTrayIcon(const TrayIcon& icon) {
    return post(icon, WM_MOUSEMOVE, 0) && post(icon, WM_LBUTTONDOWN, MK_LBUTTON) &&
           post(icon, WM_LBUTTONUP, 0);
}

bool rightClickTrayIcon(const TrayIcon& icon) {
    return post(icon, WM_MOUSEMOVE, 0) && post(icon, WM_RBUTTONDOWN, MK_RBUTTON) &&
           post(icon, WM_RBUTTONUP, 0);
}

}  // namespace hs::e2e
