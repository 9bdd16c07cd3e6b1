#include "screenshot.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "handles.h"
#include "work_dir.h"

namespace hs::e2e {

namespace {

bool saveScreenArea(const std::string& path, int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) return false;

    WindowDc screen(nullptr);
    if (!screen.get()) return false;
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), w, h));
    if (!bitmap) return false;
    bool copied = false;
    {
        MemoryDcWith mem(screen.get(), bitmap.get());
        if (!mem) return false;
        copied = BitBlt(mem.get(), 0, 0, w, h, screen.get(), x, y, SRCCOPY | CAPTUREBLT) != 0;
    }
    if (!copied) return false;

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h;  // bottom-up rows, as BMP files keep them
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * h);
    if (!GetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(h), pixels.data(),
                   reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS))
        return false;

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(&file, sizeof file, 1, f) == 1 && std::fwrite(&info, sizeof info, 1, f) == 1 &&
              std::fwrite(pixels.data(), 1, pixels.size(), f) == pixels.size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

}  // namespace

bool saveScreenshot(const std::string& path) {
    return saveScreenArea(path, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                          GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

bool saveWindowScreenshot(HWND window, const std::string& path) {
    RECT r{};
    if (!GetWindowRect(window, &r)) return false;
    return saveScreenArea(path, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

std::string screenshotDirectory() {
    char shots[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA("HS_E2E_SHOTS", shots, sizeof shots);
    const std::string dir = n > 0 && n < sizeof shots ? toWindowsPath(shots) : workBaseDirectory();
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

}  // namespace hs::e2e
