#include "win/static_controls.h"

#include "core/io_error.h"
#include "core/text.h"
#include "win/high_contrast.h"
#include "win/owner_draw.h"

namespace reelbond {

void TLabel::SizeToText() {
    RECT bounds{};
    {
        const UniqueWindowDc dc = ClientDc(Hwnd());
        const auto font = SelectedInto(
            dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageW(Hwnd(), WM_GETFONT, 0, 0)));
        DrawTextWidened(dc.get(), Text(), bounds, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
    }
    SetWindowPos(Hwnd(), nullptr, 0, 0, bounds.right, bounds.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TBevel::DrawItem(const DRAWITEMSTRUCT& item) const {
    RECT frame = item.rcItem;
    DrawEdge(item.hDC, &frame, BDR_SUNKENOUTER, BF_RECT);
}

void TImage::SetIcon(const char* resourceName, int size) {
    icon_.reset(
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), Widened(resourceName).c_str(),
                                      IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    if (!icon_)
        ThrowLastError();
    size_ = size;
    InvalidateRect(Hwnd(), nullptr, TRUE);
}

void TImage::DrawItem(const DRAWITEMSTRUCT& item) const {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    if (icon_)
        DrawIconEx(item.hDC, item.rcItem.left, item.rcItem.top, icon_.get(), size_, size_, 0,
                   nullptr, DI_NORMAL);
}

std::optional<LRESULT> TGroupBox::HandleNotification(UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_CTLCOLORSTATIC)
        return std::nullopt;
    const auto dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, ContrastColour(TextColour(), COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

} // namespace reelbond
