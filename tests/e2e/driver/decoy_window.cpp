#include "decoy_window.h"

namespace hs::e2e {

namespace {

constexpr const char* kDecoyClass = "HsE2eDecoyWindow";

LRESULT CALLBACK decoyProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

DecoyWindow::DecoyWindow(const std::string& caption, bool minimized)
    : caption_(caption), minimized_(minimized), ready_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    thread_.reset(CreateThread(nullptr, 0, threadMain, this, 0, nullptr));
    if (thread_) WaitForSingleObject(ready_.get(), 5000);
}

DecoyWindow::~DecoyWindow() {
    if (hwnd_) PostMessageA(hwnd_, WM_CLOSE, 0, 0);
    if (thread_) WaitForSingleObject(thread_.get(), 5000);
}

DWORD WINAPI DecoyWindow::threadMain(LPVOID param) {
    auto* self = static_cast<DecoyWindow*>(param);
    WNDCLASSA wc{};
    wc.lpfnWndProc = decoyProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kDecoyClass;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&wc);  // fails harmlessly when already registered
    HWND w = CreateWindowExA(0, kDecoyClass, self->caption_.c_str(), WS_OVERLAPPEDWINDOW, 40, 40,
                             400, 300, nullptr, nullptr, wc.hInstance, nullptr);
    if (w) ShowWindow(w, self->minimized_ ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
    self->hwnd_ = w;
    SetEvent(self->ready_.get());
    if (!w) return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

}  // namespace hs::e2e
