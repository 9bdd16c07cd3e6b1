#include "platform/win32/dpi.h"

namespace hs {

namespace {

template <typename Function>
Function user32Function(const char* name) {
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    if (user32 == nullptr) return nullptr;
    FARPROC found = ::GetProcAddress(user32, name);
    Function function = nullptr;
    static_assert(sizeof function == sizeof found, "function pointers differ in size");
    // A looked-up export has to be given its real type; copying the bytes
    // says so without a cast that hides a mismatch of calling conventions.
    ::CopyMemory(&function, &found, sizeof function);
    return function;
}

UINT systemDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen != nullptr) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

}  // namespace

UINT windowDpi(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) return dpi;
    }
    return systemDpi();
}

int systemMetricAtDpi(int index, UINT dpi) {
    using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
    static const auto forDpi = user32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    if (forDpi != nullptr) return forDpi(index, dpi);
    return ::MulDiv(::GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(systemDpi()));
}

int imageScalePercent(UINT dpi) {
    if (dpi >= 168) return 200;  // from 175 percent
    if (dpi >= 120) return 150;  // from 125 percent
    return 100;
}

}  // namespace hs
