#pragma once

#include <windows.h>

namespace reelbond {

// The character height (ascent plus descent) of the window's font.
int FontCharacterHeight(HWND window);
// The top at which something of height is centred vertically in an entry.
int CentredTop(const RECT& entry, int height);

// The list's usual look of an owner-drawn entry: the background and text colours of a
// selected or unselected entry before the entry's content is drawn, and the focus
// rectangle after it.
void PaintEntryBackground(const DRAWITEMSTRUCT& item);
void PaintEntryFocus(const DRAWITEMSTRUCT& item);

} // namespace reelbond
