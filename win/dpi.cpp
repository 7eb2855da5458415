#include "win/dpi.h"

#include "core/io_error.h"
#include "win/handles.h"

namespace reelbond {
namespace {

constexpr wchar_t DpiProperty[] = L"Reelbond.Dpi";

// Looked up at run time: systems before Windows 10 1607 and their headers lack them.
template <typename Function> Function UserFunction(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

GetDpiForWindowFunction GetDpiForWindowOfSystem() {
    static const auto function = UserFunction<GetDpiForWindowFunction>("GetDpiForWindow");
    return function;
}

AdjustWindowRectExForDpiFunction AdjustWindowRectExForDpiOfSystem() {
    static const auto function =
        UserFunction<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
    return function;
}

} // namespace

UINT WindowDpi(HWND window) {
    if (window) {
        if (const HANDLE told = GetPropW(GetAncestor(window, GA_ROOT), DpiProperty))
            return static_cast<UINT>(reinterpret_cast<UINT_PTR>(told));
        if (const auto getDpiForWindow = GetDpiForWindowOfSystem())
            if (const UINT dpi = getDpiForWindow(window))
                return dpi;
    }
    const UniqueWindowDc dc = ClientDc(window);
    const int dpi = dc ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : LayoutDpi;
}

RECT FrameAroundClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi) {
    RECT frame{0, 0, client.cx, client.cy};
    // Without the function the system has one density, whose frame widths AdjustWindowRectEx
    // knows.
    const auto adjustForDpi = AdjustWindowRectExForDpiOfSystem();
    if (!(adjustForDpi ? adjustForDpi(&frame, style, FALSE, exStyle, dpi)
                       : AdjustWindowRectEx(&frame, style, FALSE, exStyle)))
        ThrowLastError();
    OffsetRect(&frame, -frame.left, -frame.top);
    return frame;
}

void SetTopLevelDpi(HWND topLevel, UINT dpi) {
    SetPropW(topLevel, DpiProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(dpi)));
}

void ForgetTopLevelDpi(HWND topLevel) {
    RemovePropW(topLevel, DpiProperty);
}

} // namespace reelbond
