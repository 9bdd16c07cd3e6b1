#include "screen_pixels.h"

#include "handles.h"

namespace hs::e2e {

std::vector<uint32_t> screenPixels(const RECT& r) {
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    std::vector<uint32_t> pixels;
    if (w <= 0 || h <= 0) return pixels;
    WindowDc screen(nullptr);
    if (!screen.get()) return pixels;
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), w, h));
    if (!bitmap) return pixels;
    bool copied = false;
    {
        MemoryDcWith mem(screen.get(), bitmap.get());
        if (!mem) return pixels;
        copied = BitBlt(mem.get(), 0, 0, w, h, screen.get(), r.left, r.top, SRCCOPY | CAPTUREBLT) != 0;
    }
    if (!copied) return pixels;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = -h;  // top-down
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    pixels.resize(static_cast<size_t>(w) * h);
    if (!GetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(h), pixels.data(),
                   reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS))
        pixels.clear();
    for (auto& p : pixels) p &= 0x00FFFFFFu;
    return pixels;
}

RECT clientRectOnScreen(HWND w, const RECT& r) {
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    MapWindowPoints(w, nullptr, corners, 2);
    return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

}  // namespace hs::e2e
