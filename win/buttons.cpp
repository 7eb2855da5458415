#include "win/buttons.h"

#include "win/high_contrast.h"
#include "win/owner_draw.h"

#include <cctype>
#include <oleacc.h>
#include <windowsx.h>

namespace reelbond {

long PushButton::AccessibleRole() const {
    return ROLE_SYSTEM_PUSHBUTTON;
}

std::optional<LRESULT> PushButton::HandleNotification(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        Click();
        return 0;
    }
    return std::nullopt;
}

LRESULT TBitBtn::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDBLCLK:
        // An owner-drawn button makes the second of two quick clicks a double click, which
        // it neither shows pressed nor reports as a click: take it as the press it is.
        return Default(WM_LBUTTONDOWN, wParam, lParam);
    case WM_GETDLGCODE:
        return DialogCodeTakingEnter(wParam, lParam);
    case WM_KEYDOWN:
        // Once per press, as Space does: a held key repeats with bit 30 set.
        if (wParam == VK_RETURN && !(lParam & (1 << 30))) {
            Click();
            return 0;
        }
        break;
    }
    return Default(message, wParam, lParam);
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& item) const {
    RECT frame = item.rcItem;
    const bool pushed = item.itemState & ODS_SELECTED;
    DrawFrameControl(item.hDC, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    if (glyph_) {
        const int shift = pushed ? Scaled(1) : 0;
        const int x = (frame.right - frame.left - glyph_->Width()) / 2 + shift;
        const int y = (frame.bottom - frame.top - glyph_->Height()) / 2 + shift;
        const bool disabled = item.itemState & ODS_DISABLED;
        if (HighContrastOn())
            glyph_->DrawShape(item.hDC, x, y,
                              GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
        else if (disabled)
            glyph_->DrawDisabled(item.hDC, x, y);
        else
            glyph_->Draw(item.hDC, x, y);
    }
    if (item.itemState & ODS_FOCUS) {
        RECT focus = frame;
        InflateRect(&focus, -Scaled(4), -Scaled(4));
        DrawFocusRect(item.hDC, &focus);
    }
}

void TSpeedButton::Register() {
    RegisterWindowClass(WindowClass, DefWindowProcW, CS_HREDRAW | CS_VREDRAW, nullptr);
}

char TSpeedButton::Accelerator() const {
    const std::string caption = Text();
    const auto amp = caption.find('&');
    if (amp == std::string::npos || amp + 1 >= caption.size())
        return 0;
    return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[amp + 1])));
}

std::string TSpeedButton::KeyboardShortcut() const {
    const char key = Accelerator();
    return key ? std::string("Alt+") + key : std::string();
}

LRESULT TSpeedButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_ENABLE:
        InvalidateRect(Hwnd(), nullptr, TRUE);
        return 0;
    case WM_MOUSEMOVE:
        SetHot(true);
        return 0;
    case WM_MOUSELEAVE:
        SetHot(false);
        return 0;
    case WM_LBUTTONDOWN:
        pressed_ = true;
        SetCapture(Hwnd());
        InvalidateRect(Hwnd(), nullptr, TRUE);
        return 0;
    case WM_LBUTTONUP: {
        const RECT client = ClientRect(Hwnd());
        const POINT pointer{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const bool click = pressed_ && PtInRect(&client, pointer);
        pressed_ = false;
        ReleaseCapture();
        InvalidateRect(Hwnd(), nullptr, TRUE);
        if (click)
            Click();
        return 0;
    }
    default:
        return Default(message, wParam, lParam);
    }
}

void TSpeedButton::SetHot(bool hot) {
    if (hot == hot_)
        return;
    hot_ = hot;
    if (hot) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Hwnd(), 0};
        TrackMouseEvent(&track);
    }
    InvalidateRect(Hwnd(), nullptr, TRUE);
}

void TSpeedButton::Paint() {
    PAINTSTRUCT paint{};
    const auto painting = Painting(Hwnd(), paint);
    RECT client = ClientRect(Hwnd());
    FillRect(paint.hdc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const bool enabled = Enabled();
    if (enabled && (hot_ || pressed_))
        DrawEdge(paint.hdc, &client, pressed_ ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    const auto font = SelectedInto(paint.hdc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(paint.hdc, TRANSPARENT);
    const std::string caption = Text();
    const auto drawCaption = [&](COLORREF colour, int shift) {
        RECT place = client;
        OffsetRect(&place, shift, shift);
        SetTextColor(paint.hdc, colour);
        DrawTextWidened(paint.hdc, caption, place, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    };
    if (enabled) {
        drawCaption(ContrastColour(TextColour(), COLOR_BTNTEXT), pressed_ ? Scaled(1) : 0);
    } else {
        // The classic greyed look: a highlight copy one pixel down and right.
        drawCaption(GetSysColor(COLOR_BTNHIGHLIGHT), Scaled(1));
        drawCaption(GetSysColor(COLOR_GRAYTEXT), 0);
    }
}

LRESULT TButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // The default style is what makes the dialog manager send Enter to the button.
    if (message == WM_SETFOCUS)
        SendMessageW(Hwnd(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    else if (message == WM_KILLFOCUS)
        SendMessageW(Hwnd(), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    return Default(message, wParam, lParam);
}

} // namespace reelbond
