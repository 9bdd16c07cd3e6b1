// A DLL that the driver loads into the program under test to read its menu
// bar in-process (menus cannot be read from another process). The driver
// starts hsMenuProbe as a remote thread with a MenuProbeRequest in the
// program's memory; the report goes to the file the request names.
#include <windows.h>

#include <cstdio>
#include <string>

#include "menu_probe_protocol.h"
#include "menu_walk.h"

namespace {

struct ProbeContext {
    HWND window;
    UINT timeoutMs;
};

void initPopup(HMENU popup, int index, void* context) {
    auto* ctx = static_cast<ProbeContext*>(context);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(ctx->window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup),
                        MAKELPARAM(index, FALSE), SMTO_ABORTIFHUNG, ctx->timeoutMs, &ignored);
}

bool writeReport(const char* path, const std::string& text) {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI hsMenuProbe(LPVOID param) {
    const auto* req = static_cast<const hs::e2e::MenuProbeRequest*>(param);
    if (!req) return 2;
    try {
        const auto handle = static_cast<uintptr_t>(req->window);
        HWND window = reinterpret_cast<HWND>(handle);
        std::string report;
        HMENU menu = nullptr;
        if (req->flags & hs::e2e::kProbeMenuHandle) {
            menu = IsMenu(reinterpret_cast<HMENU>(handle)) ? reinterpret_cast<HMENU>(handle) : nullptr;
            window = nullptr;
        } else if (IsWindow(window)) {
            menu = GetMenu(window);
        }
        if (!menu) {
            report = "error no menu\n";
        } else {
            report = "ok\n";
            ProbeContext ctx{window, req->sendTimeoutMs ? req->sendTimeoutMs : 2000};
            const bool init = window && (req->flags & hs::e2e::kProbeInitPopups) != 0;
            hs::e2e::walkMenu(menu, 0, report, init ? initPopup : nullptr, &ctx);
        }
        return writeReport(req->reportPath, report) ? 0 : 3;
    } catch (...) {
        return 4;
    }
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
