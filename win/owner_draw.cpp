#include "win/owner_draw.h"

#include "core/text.h"
#include "win/dpi.h"
#include "win/handles.h"
#include "win/window.h"

namespace reelbond {

int DrawTextWidened(HDC dc, const std::string& text, RECT& area, UINT format) {
    const std::wstring wide = Widened(text);
    return DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &area, format);
}

int FontCharacterHeight(HWND window) {
    const UniqueWindowDc dc = ClientDc(window);
    auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0));
    const auto selected = SelectedInto(dc.get(), font ? font : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    return metrics.tmHeight;
}

void DrawEntry(const DRAWITEMSTRUCT& item, const Glyph* glyph, int glyphLeft,
               int textLeftWithoutGlyph, const std::string& text, UINT verticalPlacement) {
    if (item.itemID != static_cast<UINT>(-1)) {
        const bool selected = item.itemState & ODS_SELECTED;
        FillRect(item.hDC, &item.rcItem,
                 GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        SetBkMode(item.hDC, TRANSPARENT);
        constexpr int GapAfterGlyph = 4;
        const UINT dpi = WindowDpi(item.hwndItem);
        RECT textArea = item.rcItem;
        textArea.left += Scaled(textLeftWithoutGlyph, dpi);
        if (glyph && glyph->Width() > 0) {
            const int left = item.rcItem.left + Scaled(glyphLeft, dpi);
            glyph->Draw(item.hDC, left,
                        (item.rcItem.top + item.rcItem.bottom - glyph->Height()) / 2);
            textArea.left = left + glyph->Width() + Scaled(GapAfterGlyph, dpi);
        }
        DrawTextWidened(item.hDC, text, textArea,
                        DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | verticalPlacement);
    }
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &item.rcItem);
}

void FitComboBoxField(HWND comboBox, int height) {
    // The frame around the field differs between systems: the field takes what the closed
    // window lacks or has too much. The height read back is not the one set (under Wine).
    const int field = FontCharacterHeight(comboBox);
    SendMessageW(comboBox, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    const RECT closed = WindowRect(comboBox);
    SendMessageW(comboBox, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                 field + height - (closed.bottom - closed.top));
}

} // namespace reelbond
