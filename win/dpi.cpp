#include "win/dpi.h"

#include "win/handles.h"

namespace reelbond {
namespace {

constexpr wchar_t DpiProperty[] = L"Reelbond.Dpi";

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

// Looked up at run time: older systems and their headers do not have it.
GetDpiForWindowFunction GetDpiForWindowOfSystem() {
    static const auto function =
        reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
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

void SetTopLevelDpi(HWND topLevel, UINT dpi) {
    SetPropW(topLevel, DpiProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(dpi)));
}

void ForgetTopLevelDpi(HWND topLevel) {
    RemovePropW(topLevel, DpiProperty);
}

} // namespace reelbond
