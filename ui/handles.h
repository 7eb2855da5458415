#pragma once

#include <utility>
#include <windows.h>

namespace reelbond {

// A move-only owner of one system handle, released by Deleter.
template <typename T, typename Deleter>
class Unique {
public:
    Unique() = default;
    explicit Unique(T value) noexcept : value_(value) {}
    Unique(Unique&& other) noexcept : value_(std::exchange(other.value_, T{})) {}
    Unique& operator=(Unique&& other) noexcept {
        reset(std::exchange(other.value_, T{}));
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { reset(); }

    T get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != T{}; }
    void reset(T value = T{}) noexcept {
        if (value_ != T{})
            Deleter{}(value_);
        value_ = value;
    }

private:
    T value_{};
};

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
};
struct IconDeleter {
    void operator()(HICON icon) const noexcept { DestroyIcon(icon); }
};

using UniqueFont = Unique<HFONT, GdiObjectDeleter>;
using UniqueBitmap = Unique<HBITMAP, GdiObjectDeleter>;
using UniqueBrush = Unique<HBRUSH, GdiObjectDeleter>;
using UniqueIcon = Unique<HICON, IconDeleter>;

// Selects an object into a device context and puts the previous one back.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectGuard() { SelectObject(dc_, previous_); }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint and EndPaint around one WM_PAINT.
class PaintGuard {
public:
    explicit PaintGuard(HWND window) noexcept : window_(window) { BeginPaint(window, &paint_); }
    ~PaintGuard() { EndPaint(window_, &paint_); }
    PaintGuard(const PaintGuard&) = delete;
    PaintGuard& operator=(const PaintGuard&) = delete;

    HDC dc() const noexcept { return paint_.hdc; }
    const RECT& area() const noexcept { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
};

// The device context of a whole window, frame included, released at the end.
class WindowDcGuard {
public:
    explicit WindowDcGuard(HWND window) noexcept : window_(window), dc_(GetWindowDC(window)) {}
    ~WindowDcGuard() { ReleaseDC(window_, dc_); }
    WindowDcGuard(const WindowDcGuard&) = delete;
    WindowDcGuard& operator=(const WindowDcGuard&) = delete;
    HDC dc() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A memory device context compatible with another, deleted at the end.
class MemoryDc {
public:
    explicit MemoryDc(HDC reference) noexcept : dc_(CreateCompatibleDC(reference)) {}
    ~MemoryDc() { DeleteDC(dc_); }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const noexcept { return dc_; }

private:
    HDC dc_;
};

} // namespace reelbond
