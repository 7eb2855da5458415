#pragma once

#include "win/glyph.h"
#include "win/window.h"

#include <string>

namespace reelbond {

// A list box whose entries its wrapper draws, all of one height: the height the window
// gives, or else the font's character height, raised to what the entries' glyphs need.
class OwnerDrawnListBox : public Control {
public:
    // The glyphs the entries' item data number.
    explicit OwnerDrawnListBox(std::initializer_list<const char*> glyphNames)
        : glyphs_(glyphNames) {}

    int ItemHeight() const;
    // Fixes the entry height: font changes leave it alone from then on.
    void SetItemHeight(int height);
    int EntryCount() const;
    std::string EntryText(int index) const;

protected:
    const wchar_t* ClassName() const override { return L"LISTBOX"; }
    DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
    void OnCreated() override;
    void OnDpiChanged() override { glyphs_.ScaleTo(WindowDpi(Hwnd())); }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The height from the font, raised to the glyphs' when they are shown.
    void ResetItemHeight();
    int MinimumItemHeight() const;
    const Glyph* GlyphOf(const DRAWITEMSTRUCT& item) const { return glyphs_.At(item.itemData); }

private:
    GlyphSet glyphs_;
    // The height the window gave; 0 when none was given.
    int explicitItemHeight_ = 0;
};

// Suspends a list's repainting while its entries are replaced, then repaints it once:
// repainting after every insert makes a large directory take seconds to list.
inline auto RedrawSuspended(HWND list) noexcept {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    return ScopeExit([list] {
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    });
}

} // namespace reelbond
