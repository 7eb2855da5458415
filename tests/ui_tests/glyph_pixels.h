#pragma once

#include "win/glyph.h"
#include "win/handles.h"

#include <string>
#include <vector>
#include <windows.h>

namespace reelbond::test {

// A bitmap of the screen's format to draw into.
class Canvas {
public:
    Canvas(int width, int height)
        : memory_(CreateCompatibleDC(nullptr)),
          bitmap_(CreateCompatibleBitmap(ClientDc(nullptr).get(), width, height)),
          select_(SelectedInto(memory_.get(), bitmap_.get())), width_(width), height_(height) {}

    HDC dc() const { return memory_.get(); }
    COLORREF At(int x, int y) const { return GetPixel(dc(), x, y); }
    std::vector<COLORREF> Pixels() const;

private:
    UniqueDc memory_;
    UniqueBitmap bitmap_;
    decltype(SelectedInto(nullptr, nullptr)) select_;
    int width_;
    int height_;
};

// The colours of area's pixels, row by row.
std::vector<COLORREF> PixelsIn(HDC dc, const RECT& area);

// Whether dc shows glyph at (x, y) exactly as the glyph draws itself over background.
bool ShowsGlyph(HDC dc, int x, int y, const Glyph& glyph, COLORREF background);

// The colours and font a control draws an entry's text in.
struct TextLook {
    HFONT font;
    COLORREF ink;
    COLORREF paper;
};
// The look of a list entry, selected or not, in the control's font.
TextLook EntryLook(HWND control, bool selected);

// Whether window shows, in area (client coordinates), 8-bit text exactly as DrawTextW draws
// its wide form into an area of that size with format and look. Reading the stored text back
// cannot tell this: an 8-bit GDI call draws the same bytes in another code page.
bool ShowsText(HWND window, const RECT& area, const std::string& text, UINT format,
               const TextLook& look);

// Whether text draws in font with a glyph of its own for each character, as
// opposed to the box of a character that no font has.
bool HasGlyphs(HFONT font, const std::wstring& text);

} // namespace reelbond::test
