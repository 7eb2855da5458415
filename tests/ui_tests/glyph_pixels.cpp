#include "glyph_pixels.h"

#include "core/text.h"
#include "win/handles.h"

#include <vector>

namespace reelbond::test {

std::vector<COLORREF> PixelsIn(HDC dc, const RECT& area) {
    std::vector<COLORREF> pixels;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    return pixels;
}

std::vector<COLORREF> Canvas::Pixels() const {
    return PixelsIn(dc(), RECT{0, 0, width_, height_});
}

namespace {

std::vector<COLORREF> Drawn(const std::wstring& text, int width, int height, UINT format,
                            const TextLook& look) {
    Canvas canvas(width, height);
    RECT area{0, 0, width, height};
    const UniqueBrush paper(CreateSolidBrush(look.paper));
    FillRect(canvas.dc(), &area, paper.get());
    const auto font = SelectedInto(canvas.dc(), look.font);
    SetTextColor(canvas.dc(), look.ink);
    SetBkMode(canvas.dc(), TRANSPARENT);
    DrawTextW(canvas.dc(), text.c_str(), static_cast<int>(text.size()), &area, format);
    return canvas.Pixels();
}

} // namespace

bool ShowsGlyph(HDC dc, int x, int y, const Glyph& glyph, COLORREF background) {
    Canvas reference(glyph.Width(), glyph.Height());
    const UniqueBrush fill(CreateSolidBrush(background));
    const RECT area{0, 0, glyph.Width(), glyph.Height()};
    FillRect(reference.dc(), &area, fill.get());
    glyph.Draw(reference.dc(), 0, 0);
    return PixelsIn(dc, RECT{x, y, x + glyph.Width(), y + glyph.Height()}) == reference.Pixels();
}

TextLook EntryLook(HWND control, bool selected) {
    return {reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)),
            GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT),
            GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW)};
}

bool ShowsText(HWND window, const RECT& area, const std::string& text, UINT format,
               const TextLook& look) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const std::vector<COLORREF> reference = Drawn(Widened(text), width, height, format, look);
    if (reference == Drawn(L"", width, height, format, look))
        return false;
    return PixelsIn(ClientDc(window).get(), area) == reference;
}

bool HasGlyphs(HFONT font, const std::wstring& text) {
    // Unassigned, so no font has a glyph for them: U+0378 and, as a surrogate pair, U+3FFFD.
    const std::wstring unassigned = L"\x0378";
    const std::wstring unassignedPair = L"\xD8BF\xDFFD";
    const TextLook look{font, RGB(0, 0, 0), RGB(255, 255, 255)};
    const auto draw = [&](const std::wstring& character) {
        return Drawn(character, 32, 32, DT_SINGLELINE | DT_NOPREFIX, look);
    };
    for (std::size_t at = 0; at < text.size(); ++at) {
        const bool pair = IS_HIGH_SURROGATE(text[at]) && at + 1 < text.size();
        const std::wstring character = text.substr(at, pair ? 2 : 1);
        at += pair ? 1 : 0;
        if (draw(character) == draw(pair ? unassignedPair : unassigned))
            return false;
    }
    return true;
}

} // namespace reelbond::test
