#include "window_find.h"

namespace hs::e2e {

std::string className(HWND w) {
    char buf[256];
    const int n = GetClassNameA(w, buf, sizeof buf);
    return n > 0 ? std::string(buf, n) : std::string();
}

DWORD windowProcessId(HWND w) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid;
}

bool sendBounded(HWND w, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result, milliseconds timeout) {
    DWORD_PTR r = 0;
    const LRESULT ok = SendMessageTimeoutA(w, msg, wp, lp, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                                           static_cast<UINT>(timeout.count()), &r);
    if (result) *result = static_cast<LRESULT>(r);
    return ok != 0;
}

std::string windowText(HWND w) {
    LRESULT len = 0;
    if (!sendBounded(w, WM_GETTEXTLENGTH, 0, 0, &len) || len < 0) return "";
    std::string text(static_cast<size_t>(len) + 1, '\0');
    LRESULT got = 0;
    if (!sendBounded(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &got))
        return "";
    text.resize(static_cast<size_t>(got < 0 ? 0 : got));
    return text;
}

namespace {

bool matches(HWND w, const WindowQuery& q) {
    if (q.pid != 0 && windowProcessId(w) != q.pid) return false;
    if (q.visibleOnly && !IsWindowVisible(w)) return false;
    if (!q.className.empty() && className(w) != q.className) return false;
    if (!q.title.empty()) {
        // Top-level captions are kept by the window manager side, so
        // GetWindowTextA reads them without a message to the owner.
        char buf[1024];
        const int n = GetWindowTextA(w, buf, sizeof buf);
        const std::string caption(buf, n > 0 ? n : 0);
        if (q.titleContains ? caption.find(q.title) == std::string::npos : caption != q.title)
            return false;
    }
    return true;
}

struct EnumState {
    const WindowQuery* query;
    std::vector<HWND>* out;
};

BOOL CALLBACK collectTopLevel(HWND w, LPARAM lp) {
    auto* st = reinterpret_cast<EnumState*>(lp);
    if (matches(w, *st->query)) st->out->push_back(w);
    return TRUE;
}

struct ChildState {
    const std::string* cls;
    std::vector<HWND>* out;
};

BOOL CALLBACK collectChild(HWND w, LPARAM lp) {
    auto* st = reinterpret_cast<ChildState*>(lp);
    if (st->cls->empty() || className(w) == *st->cls) st->out->push_back(w);
    return TRUE;
}

}  // namespace

std::vector<HWND> findTopLevelWindows(const WindowQuery& q) {
    std::vector<HWND> out;
    EnumState st{&q, &out};
    EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&st));
    return out;
}

HWND findTopLevelWindow(const WindowQuery& q) {
    const auto all = findTopLevelWindows(q);
    return all.empty() ? nullptr : all.front();
}

HWND waitForTopLevelWindow(const WindowQuery& q, milliseconds timeout) {
    return pollFor([&] { return findTopLevelWindow(q); }, timeout);
}

std::vector<HWND> findDescendants(HWND parent, const std::string& cls) {
    std::vector<HWND> out;
    ChildState st{&cls, &out};
    EnumChildWindows(parent, collectChild, reinterpret_cast<LPARAM>(&st));
    return out;
}

HWND findDescendant(HWND parent, const std::string& cls) {
    const auto all = findDescendants(parent, cls);
    return all.empty() ? nullptr : all.front();
}

bool isTopmost(HWND w) { return (GetWindowLongPtrA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

bool isForeground(HWND w) {
    HWND fg = GetForegroundWindow();
    return fg != nullptr && (fg == w || GetAncestor(fg, GA_ROOTOWNER) == w);
}

}  // namespace hs::e2e
