#pragma once

#include <windows.h>

namespace reelbond {

// The density every length of the program's layouts is given in.
inline constexpr UINT LayoutDpi = 96;

// The dots per inch of the window's screen; for no window, the system's. A window takes the
// density its top-level window was last told of (WM_DPICHANGED); where the system cannot
// tell a window's own (before Windows 10), the screen's device context does.
UINT WindowDpi(HWND window);
// The frame, with its top left at 0,0, of a window without menu whose client area has that
// size, its caption and borders as wide as at the density.
RECT FrameAroundClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi);
// What the top-level window was told its screen's density now is.
void SetTopLevelDpi(HWND topLevel, UINT dpi);
void ForgetTopLevelDpi(HWND topLevel);

// The one place a length of the 96-dpi layout becomes pixels at a density.
inline int Scaled(int length, UINT dpi) {
    return MulDiv(length, static_cast<int>(dpi), static_cast<int>(LayoutDpi));
}

} // namespace reelbond
