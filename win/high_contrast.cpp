#include "win/high_contrast.h"

namespace reelbond {
namespace {

std::optional<bool> forced;

BOOL CALLBACK TellOfNewColours(HWND child, LPARAM) {
    SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

} // namespace

bool HighContrastOn() {
    if (forced)
        return *forced;
    HIGHCONTRASTW contrast{sizeof contrast};
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

void ForceHighContrast(std::optional<bool> on) {
    forced = on;
}

COLORREF ContrastColour(COLORREF fixed, int systemColour) {
    return HighContrastOn() ? GetSysColor(systemColour) : fixed;
}

bool ChangesColours(UINT message) {
    return message == WM_SYSCOLORCHANGE || message == WM_SETTINGCHANGE ||
           message == WM_THEMECHANGED;
}

void RepaintInNewColours(HWND window) {
    EnumChildWindows(window, TellOfNewColours, 0);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

} // namespace reelbond
