// Move-only owners of Win32 handles: each one releases its handle exactly
// once, with the function that matches how the handle was obtained.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace hs {

template <class Handle, class Traits>
class UniqueHandleOf {
public:
    UniqueHandleOf() = default;
    explicit UniqueHandleOf(Handle h) : handle_(h) {}
    ~UniqueHandleOf() { reset(); }

    UniqueHandleOf(UniqueHandleOf&& other) noexcept : handle_(other.release()) {}
    UniqueHandleOf& operator=(UniqueHandleOf&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandleOf(const UniqueHandleOf&) = delete;
    UniqueHandleOf& operator=(const UniqueHandleOf&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return Traits::valid(handle_); }

    // Gives up ownership, for handles that another owner takes over (for
    // example an image list attached to a list control that frees it).
    Handle release() {
        Handle h = handle_;
        handle_ = Traits::none();
        return h;
    }

    void reset(Handle h = Traits::none()) {
        if (Traits::valid(handle_)) Traits::close(handle_);
        handle_ = h;
    }

private:
    Handle handle_ = Traits::none();
};

struct KernelHandleTraits {
    static HANDLE none() { return nullptr; }
    static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { ::CloseHandle(h); }
};

struct MenuTraits {
    static HMENU none() { return nullptr; }
    static bool valid(HMENU h) { return h != nullptr; }
    static void close(HMENU h) { ::DestroyMenu(h); }
};

struct IconTraits {
    static HICON none() { return nullptr; }
    static bool valid(HICON h) { return h != nullptr; }
    static void close(HICON h) { ::DestroyIcon(h); }
};

struct ImageListTraits {
    static HIMAGELIST none() { return nullptr; }
    static bool valid(HIMAGELIST h) { return h != nullptr; }
    static void close(HIMAGELIST h) { ::ImageList_Destroy(h); }
};

template <class Gdi>
struct GdiTraits {
    static Gdi none() { return nullptr; }
    static bool valid(Gdi h) { return h != nullptr; }
    static void close(Gdi h) { ::DeleteObject(h); }
};

struct WindowTraits {
    static HWND none() { return nullptr; }
    static bool valid(HWND h) { return h != nullptr && ::IsWindow(h); }
    static void close(HWND h) { ::DestroyWindow(h); }
};

using UniqueHandle = UniqueHandleOf<HANDLE, KernelHandleTraits>;
using UniqueMenu = UniqueHandleOf<HMENU, MenuTraits>;
using UniqueIcon = UniqueHandleOf<HICON, IconTraits>;
using UniqueImageList = UniqueHandleOf<HIMAGELIST, ImageListTraits>;
using UniqueBitmap = UniqueHandleOf<HBITMAP, GdiTraits<HBITMAP>>;
using UniqueBrush = UniqueHandleOf<HBRUSH, GdiTraits<HBRUSH>>;
using UniqueWindow = UniqueHandleOf<HWND, WindowTraits>;

// Saves a device context's state and restores it when the scope ends.
class SavedDcState {
public:
    explicit SavedDcState(HDC dc) : dc_(dc), saved_(::SaveDC(dc)) {}
    ~SavedDcState() {
        if (saved_ != 0) ::RestoreDC(dc_, saved_);
    }
    SavedDcState(const SavedDcState&) = delete;
    SavedDcState& operator=(const SavedDcState&) = delete;

private:
    HDC dc_;
    int saved_;
};

}  // namespace hs
