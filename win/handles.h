#pragma once

#include "core/unique.h"

#include <windows.h>

// After windows.h, which it needs.
#include <commctrl.h>

namespace reelbond {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
};
struct IconDeleter {
    void operator()(HICON icon) const noexcept { DestroyIcon(icon); }
};
struct DcDeleter {
    void operator()(HDC dc) const noexcept { DeleteDC(dc); }
};
struct WindowDcReleaser {
    HWND window;
    void operator()(HDC dc) const noexcept { ReleaseDC(window, dc); }
};
struct ImageListDeleter {
    void operator()(HIMAGELIST images) const noexcept { ImageList_Destroy(images); }
};

using UniqueFont = Unique<HFONT, GdiObjectDeleter>;
using UniqueBitmap = Unique<HBITMAP, GdiObjectDeleter>;
using UniqueBrush = Unique<HBRUSH, GdiObjectDeleter>;
using UniqueIcon = Unique<HICON, IconDeleter>;
// A memory device context, from CreateCompatibleDC.
using UniqueDc = Unique<HDC, DcDeleter>;
// A device context from GetDC or GetWindowDC, released to the window it came from.
using UniqueWindowDc = Unique<HDC, WindowDcReleaser>;
using UniqueImageList = Unique<HIMAGELIST, ImageListDeleter>;

// Selects an object into a device context until the end of the scope.
inline auto SelectedInto(HDC dc, HGDIOBJ object) noexcept {
    return ScopeExit([dc, previous = SelectObject(dc, object)] { SelectObject(dc, previous); });
}

// BeginPaint now and EndPaint at the end of the scope, around one WM_PAINT.
inline auto Painting(HWND window, PAINTSTRUCT& paint) noexcept {
    BeginPaint(window, &paint);
    return ScopeExit([window, &paint] { EndPaint(window, &paint); });
}

inline UniqueWindowDc ClientDc(HWND window) noexcept {
    return UniqueWindowDc(GetDC(window), {window});
}

} // namespace reelbond
