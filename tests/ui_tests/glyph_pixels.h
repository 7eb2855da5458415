#pragma once

#include "ui/glyph.h"

#include <windows.h>

namespace reelbond::test {

// Whether dc shows glyph at (x, y) exactly as the glyph draws itself over background.
bool ShowsGlyph(HDC dc, int x, int y, const Glyph& glyph, COLORREF background);

} // namespace reelbond::test
