#pragma once

#include "win/glyph.h"

#include <string>
#include <windows.h>

namespace reelbond {

// Draws or (with DT_CALCRECT) measures the program's text.
int DrawTextWidened(HDC dc, const std::string& text, RECT& area, UINT format);

// The character height (ascent plus descent) of the window's font.
int FontCharacterHeight(HWND window);

// An owner-drawn entry in the list's usual look: the background and text colours of a
// selected or unselected entry; its glyph, when it has one, at glyphLeft from the entry's left
// edge and centred vertically; its text on one line with ampersands shown as themselves, 4
// pixels after the glyph or from textLeftWithoutGlyph; the focus rectangle last, which is all
// an empty list's focus (no entry) shows. The lengths are the 96-dpi layout's, scaled to the
// control's density. verticalPlacement is DT_TOP or DT_VCENTER.
void DrawEntry(const DRAWITEMSTRUCT& item, const Glyph* glyph, int glyphLeft,
               int textLeftWithoutGlyph, const std::string& text, UINT verticalPlacement);

// Makes a drop-down list's closed window height pixels high.
void FitComboBoxField(HWND comboBox, int height);

} // namespace reelbond
