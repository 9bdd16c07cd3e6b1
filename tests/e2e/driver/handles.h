// Move-only owners of the Win32 handles the driver opens.
#pragma once

#include <windows.h>

#include <utility>

namespace hs::e2e {

// A kernel handle closed with CloseHandle. Both the null handle and
// INVALID_HANDLE_VALUE count as empty.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) {
            reset();
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    void reset(HANDLE h = nullptr) {
        if (*this) CloseHandle(h_);
        h_ = h;
    }
    HANDLE release() { return std::exchange(h_, nullptr); }

private:
    HANDLE h_ = nullptr;
};

// A module loaded into the driver itself (FreeLibrary on destruction).
class UniqueModule {
public:
    UniqueModule() = default;
    explicit UniqueModule(HMODULE m) : m_(m) {}
    ~UniqueModule() {
        if (m_) FreeLibrary(m_);
    }
    UniqueModule(UniqueModule&& o) noexcept : m_(std::exchange(o.m_, nullptr)) {}
    UniqueModule& operator=(UniqueModule&& o) noexcept {
        if (this != &o) {
            if (m_) FreeLibrary(m_);
            m_ = std::exchange(o.m_, nullptr);
        }
        return *this;
    }
    UniqueModule(const UniqueModule&) = delete;
    UniqueModule& operator=(const UniqueModule&) = delete;
    HMODULE get() const { return m_; }
    explicit operator bool() const { return m_ != nullptr; }

private:
    HMODULE m_ = nullptr;
};

// A screen or window device context taken with GetDC.
class WindowDC {
public:
    explicit WindowDC(HWND w) : w_(w), dc_(GetDC(w)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(w_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND w_;
    HDC dc_;
};

// Any GDI object deleted with DeleteObject.
template <class T>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(T obj) : obj_(obj) {}
    ~GdiObject() {
        if (obj_) DeleteObject(obj_);
    }
    GdiObject(GdiObject&& o) noexcept : obj_(std::exchange(o.obj_, nullptr)) {}
    GdiObject& operator=(GdiObject&& o) noexcept {
        if (this != &o) {
            if (obj_) DeleteObject(obj_);
            obj_ = std::exchange(o.obj_, nullptr);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    T get() const { return obj_; }
    explicit operator bool() const { return obj_ != nullptr; }

private:
    T obj_ = nullptr;
};

// A memory device context (DeleteDC).
class MemoryDC {
public:
    explicit MemoryDC(HDC compatible) : dc_(CreateCompatibleDC(compatible)) {}
    ~MemoryDC() {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

}  // namespace hs::e2e
