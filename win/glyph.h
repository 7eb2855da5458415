#pragma once

#include "win/dpi.h"
#include "win/handles.h"

#include <commctrl.h>
#include <cstddef>
#include <initializer_list>
#include <vector>
#include <windows.h>

namespace reelbond {

// A bitmap of the program's resources drawn transparently: the colour of its bottom-left
// pixel is not painted. Disabled, it is drawn greyed. The resource is drawn for 96 dpi; at
// other densities each of its pixels becomes a block of whole pixels, so edges stay hard.
class Glyph {
public:
    explicit Glyph(const char* resourceName, UINT dpi = LayoutDpi) : resourceName_(resourceName) {
        ScaleTo(dpi);
    }

    // Draws the glyph anew from its resource for a density.
    void ScaleTo(UINT dpi);
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    void Draw(HDC dc, int x, int y) const {
        ImageList_Draw(images_.get(), 0, dc, x, y, ILD_TRANSPARENT);
    }
    void DrawDisabled(HDC dc, int x, int y) const;
    // Its shape alone, every painted pixel in one colour, as high contrast wants it.
    void DrawShape(HDC dc, int x, int y, COLORREF colour) const;

private:
    const char* resourceName_;
    UniqueImageList images_;
    UniqueIcon greyable_;
    int width_ = 0;
    int height_ = 0;
};

// The glyphs of a list's entries, numbered in the order given: an entry keeps the number of
// its glyph as its item data.
class GlyphSet {
public:
    explicit GlyphSet(std::initializer_list<const char*> resourceNames);

    void ScaleTo(UINT dpi);
    int TallestHeight() const;
    // The glyph numbered index; null for any other number (an entry without a glyph).
    const Glyph* At(std::size_t index) const {
        return index < glyphs_.size() ? &glyphs_[index] : nullptr;
    }

private:
    std::vector<Glyph> glyphs_;
};

} // namespace reelbond
