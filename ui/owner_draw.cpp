#include "ui/owner_draw.h"

#include "ui/handles.h"

namespace reelbond {

int FontCharacterHeight(HWND window) {
    HDC dc = GetDC(window);
    auto font = reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0));
    TEXTMETRICA metrics{};
    {
        SelectGuard selectFont(dc, font ? font : GetStockObject(SYSTEM_FONT));
        GetTextMetricsA(dc, &metrics);
    }
    ReleaseDC(window, dc);
    return metrics.tmHeight;
}

int CentredTop(const RECT& entry, int height) {
    return (entry.top + entry.bottom - height) / 2;
}

void PaintEntryBackground(const DRAWITEMSTRUCT& item) {
    const bool selected = item.itemState & ODS_SELECTED;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SetBkMode(item.hDC, TRANSPARENT);
}

void PaintEntryFocus(const DRAWITEMSTRUCT& item) {
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &item.rcItem);
}

} // namespace reelbond
