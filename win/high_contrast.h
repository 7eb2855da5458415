#pragma once

#include <optional>
#include <windows.h>

namespace reelbond {

// Whether the system's high-contrast mode is on. A forced answer replaces the system's: the
// tests force it, since Wine cannot switch the mode on.
bool HighContrastOn();
void ForceHighContrast(std::optional<bool> on);

// The colour a fixed colour of the program's becomes: itself at normal contrast, the system
// colour of that part (COLOR_WINDOWTEXT, COLOR_BTNTEXT...) under high contrast.
COLORREF ContrastColour(COLORREF fixed, int systemColour);

// A window class's background in a system colour that follows the colour when it changes.
// Wine replaces the brushes of GetSysColorBrush then, and a class that kept one would paint
// with a deleted brush.
inline HBRUSH ClassBackground(int systemColour) {
    return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(systemColour + 1));
}

// The system's colours or its contrast mode changed (WM_SYSCOLORCHANGE, WM_SETTINGCHANGE,
// WM_THEMECHANGED): the window's controls hear of it as the system's own controls expect
// (WM_SYSCOLORCHANGE), and the whole window is painted anew.
bool ChangesColours(UINT message);
void RepaintInNewColours(HWND window);

} // namespace reelbond
