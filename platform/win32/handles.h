// Move-only owners of Win32 handles: each one releases its handle exactly
// once, with the function that matches how the handle was obtained. Every
// handle kind the program, its tests and its driver hold lives here.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <wininet.h>

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

struct FindTraits {
    static HANDLE none() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { ::FindClose(h); }
};

struct InternetTraits {
    static HINTERNET none() { return nullptr; }
    static bool valid(HINTERNET h) { return h != nullptr; }
    static void close(HINTERNET h) { ::InternetCloseHandle(h); }
};

struct RegistryKeyTraits {
    static HKEY none() { return nullptr; }
    static bool valid(HKEY h) { return h != nullptr; }
    static void close(HKEY h) { ::RegCloseKey(h); }
};

struct ModuleTraits {
    static HMODULE none() { return nullptr; }
    static bool valid(HMODULE h) { return h != nullptr; }
    static void close(HMODULE h) { ::FreeLibrary(h); }
};

struct MemoryDcTraits {
    static HDC none() { return nullptr; }
    static bool valid(HDC h) { return h != nullptr; }
    static void close(HDC h) { ::DeleteDC(h); }
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
using UniqueFind = UniqueHandleOf<HANDLE, FindTraits>;
using UniqueInternet = UniqueHandleOf<HINTERNET, InternetTraits>;
using UniqueRegistryKey = UniqueHandleOf<HKEY, RegistryKeyTraits>;
using UniqueModule = UniqueHandleOf<HMODULE, ModuleTraits>;
using UniqueMemoryDc = UniqueHandleOf<HDC, MemoryDcTraits>;
template <class Gdi>
using UniqueGdiObject = UniqueHandleOf<Gdi, GdiTraits<Gdi>>;
using UniqueMenu = UniqueHandleOf<HMENU, MenuTraits>;
using UniqueIcon = UniqueHandleOf<HICON, IconTraits>;
using UniqueImageList = UniqueHandleOf<HIMAGELIST, ImageListTraits>;
using UniqueBitmap = UniqueHandleOf<HBITMAP, GdiTraits<HBITMAP>>;
using UniqueBrush = UniqueHandleOf<HBRUSH, GdiTraits<HBRUSH>>;
using UniqueWindow = UniqueHandleOf<HWND, WindowTraits>;

// A device context taken with GetDC, given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A memory device context compatible with `compatible`, with one object
// selected into it for its lifetime: the object that was selected before is
// put back before the context is deleted, so the selected object (owned by
// the caller) can be deleted afterwards.
class MemoryDcWith {
public:
    MemoryDcWith(HDC compatible, HGDIOBJ object) : dc_(::CreateCompatibleDC(compatible)) {
        if (dc_ && object != nullptr) previous_ = ::SelectObject(dc_.get(), object);
    }
    ~MemoryDcWith() {
        if (dc_ && previous_ != nullptr) ::SelectObject(dc_.get(), previous_);
    }
    MemoryDcWith(const MemoryDcWith&) = delete;
    MemoryDcWith& operator=(const MemoryDcWith&) = delete;
    HDC get() const { return dc_.get(); }
    explicit operator bool() const { return static_cast<bool>(dc_); }

private:
    UniqueMemoryDc dc_;
    HGDIOBJ previous_ = nullptr;
};

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
