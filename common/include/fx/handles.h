// Small owning wrappers for Win32 handles: one owner per handle, no copies.
#pragma once
#include <windows.h>
#include <utility>

namespace fx {

template <class Traits>
class UniqueHandle {
public:
    using type = typename Traits::type;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(type h) noexcept : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(o.release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    type get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != Traits::invalid(); }
    type release() noexcept { return std::exchange(h_, Traits::invalid()); }
    void reset(type h = Traits::invalid()) noexcept {
        type old = std::exchange(h_, h);
        if (old != Traits::invalid()) Traits::close(old);
    }
    // For out-parameters: frees the current handle and hands out the slot.
    type* put() noexcept { reset(); return &h_; }

private:
    type h_ = Traits::invalid();
};

struct KernelHandleTraits {
    using type = HANDLE;
    static type invalid() noexcept { return nullptr; }
    static void close(type h) noexcept { ::CloseHandle(h); }
};
struct FileHandleTraits {
    using type = HANDLE;
    static type invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(type h) noexcept { ::CloseHandle(h); }
};
struct RegKeyTraits {
    using type = HKEY;
    static type invalid() noexcept { return nullptr; }
    static void close(type h) noexcept { ::RegCloseKey(h); }
};
template <class T>
struct GdiObjectTraits {
    using type = T;
    static type invalid() noexcept { return nullptr; }
    static void close(type h) noexcept { ::DeleteObject(h); }
};
struct MemoryDcTraits {
    using type = HDC;
    static type invalid() noexcept { return nullptr; }
    static void close(type h) noexcept { ::DeleteDC(h); }
};
struct IconTraits {
    using type = HICON;
    static type invalid() noexcept { return nullptr; }
    static void close(type h) noexcept { ::DestroyIcon(h); }
};
struct MenuTraits {
    using type = HMENU;
    static type invalid() noexcept { return nullptr; }
    static void close(type h) noexcept { ::DestroyMenu(h); }
};
struct ModuleTraits {
    using type = HMODULE;
    static type invalid() noexcept { return nullptr; }
    static void close(type h) noexcept { ::FreeLibrary(h); }
};

using UniqueHandleK = UniqueHandle<KernelHandleTraits>;
using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueHandle<GdiObjectTraits<HPEN>>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueRgn = UniqueHandle<GdiObjectTraits<HRGN>>;
using UniqueMemDC = UniqueHandle<MemoryDcTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;

// A window's device context, released on scope exit.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() { if (dc_) ::ReleaseDC(hwnd_, dc_); }
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint/EndPaint pair.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) noexcept : hwnd_(hwnd) { ::BeginPaint(hwnd, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { ::EndPaint(hwnd_, &ps_); }
    HDC dc() const noexcept { return ps_.hdc; }
    const PAINTSTRUCT& info() const noexcept { return ps_; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
};

// Selects an object into a DC and puts the previous one back on scope exit.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), prev_(obj ? ::SelectObject(dc, obj) : nullptr) {}
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;
    ~SelectScope() { if (prev_) ::SelectObject(dc_, prev_); }

private:
    HDC dc_;
    HGDIOBJ prev_;
};

}  // namespace fx
