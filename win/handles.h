#pragma once

#include "core/unique.h"

#include <windows.h>

// After windows.h, which it needs.
#include <commctrl.h>

namespace reelbond {

// Releases a handle through the system function that frees it.
template <auto Release> struct ReleasedBy {
    template <typename Handle> void operator()(Handle handle) const noexcept { Release(handle); }
};
struct WindowDcReleaser {
    HWND window;
    void operator()(HDC dc) const noexcept { ReleaseDC(window, dc); }
};

using UniqueFont = Unique<HFONT, ReleasedBy<DeleteObject>>;
using UniqueBitmap = Unique<HBITMAP, ReleasedBy<DeleteObject>>;
using UniqueBrush = Unique<HBRUSH, ReleasedBy<DeleteObject>>;
using UniqueIcon = Unique<HICON, ReleasedBy<DestroyIcon>>;
// A memory device context, from CreateCompatibleDC.
using UniqueDc = Unique<HDC, ReleasedBy<DeleteDC>>;
// A device context from GetDC or GetWindowDC, released to the window it came from.
using UniqueWindowDc = Unique<HDC, WindowDcReleaser>;
using UniqueImageList = Unique<HIMAGELIST, ReleasedBy<ImageList_Destroy>>;
// A window of our own class; the system may destroy it first (with its owner, or when it is
// closed), and its procedure then lets go of it.
using UniqueWindow = Unique<HWND, ReleasedBy<DestroyWindow>>;

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
