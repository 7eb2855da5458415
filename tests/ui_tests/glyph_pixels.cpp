#include "glyph_pixels.h"

#include "ui/handles.h"

namespace reelbond::test {

bool ShowsGlyph(HDC dc, int x, int y, const Glyph& glyph, COLORREF background) {
    MemoryDc reference(dc);
    UniqueBitmap canvas(CreateCompatibleBitmap(dc, glyph.Width(), glyph.Height()));
    SelectGuard select(reference.get(), canvas.get());
    const UniqueBrush fill(CreateSolidBrush(background));
    const RECT area{0, 0, glyph.Width(), glyph.Height()};
    FillRect(reference.get(), &area, fill.get());
    glyph.Draw(reference.get(), 0, 0);
    for (int row = 0; row < glyph.Height(); ++row)
        for (int column = 0; column < glyph.Width(); ++column)
            if (GetPixel(dc, x + column, y + row) != GetPixel(reference.get(), column, row))
                return false;
    return true;
}

} // namespace reelbond::test
