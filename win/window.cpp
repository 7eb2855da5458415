#include "win/window.h"

#include "core/io_error.h"
#include "core/text.h"
#include "win/accessible_object.h"
#include "win/error_barrier.h"
#include "win/high_contrast.h"

#include <commctrl.h>
#include <utility>

namespace reelbond {
namespace {

constexpr wchar_t ControlProperty[] = L"Reelbond.Control";

HWND NotifyingChild(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
        return reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
    case WM_DRAWITEM:
        return wParam ? reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    default:
        return nullptr;
    }
}

} // namespace

void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, UINT style, HBRUSH background,
                         HICON icon) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.hIcon = icon;
    windowClass.lpszClassName = name;
    if (!RegisterClassExW(&windowClass))
        ThrowLastError();
}

void Window::CreateWindowOfClass(const wchar_t* className, DWORD exStyle, DWORD style,
                                 const char* caption, const RECT& frame, HWND parent) {
    if (CreateWindowExW(exStyle, className, Widened(caption).c_str(), style, frame.left, frame.top,
                        frame.right - frame.left, frame.bottom - frame.top, parent, nullptr,
                        GetModuleHandleW(nullptr), this))
        return;
    if (creationFailure_)
        std::rethrow_exception(std::exchange(creationFailure_, nullptr));
    ThrowLastError();
}

void Window::CreateTopLevelWindow(const wchar_t* className, DWORD exStyle, DWORD style,
                                  const char* caption, int clientWidth, int clientHeight) {
    layoutClient_ = SIZE{clientWidth, clientHeight};
    // Sized once it exists, when its own density is known, and before its controls are made.
    CreateWindowOfClass(className, exStyle, style, caption, RECT{}, nullptr);
}

void Window::FitToLayout(POINT topLeft) {
    const UINT dpi = WindowDpi(Hwnd());
    const SIZE client{reelbond::Scaled(layoutClient_->cx, dpi),
                      reelbond::Scaled(layoutClient_->cy, dpi)};
    const RECT frame =
        FrameAroundClient(client, static_cast<DWORD>(GetWindowLongPtrW(Hwnd(), GWL_STYLE)),
                          static_cast<DWORD>(GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE)), dpi);
    SetWindowPos(Hwnd(), nullptr, topLeft.x, topLeft.y, frame.right, frame.bottom,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // Where the system draws the frame at a density other than the window's (Wine draws every
    // frame at the system's), the client area takes what the frame did not.
    const RECT placed = ClientRect(Hwnd());
    if (placed.right != client.cx || placed.bottom != client.cy)
        SetWindowPos(Hwnd(), nullptr, 0, 0, frame.right + client.cx - placed.right,
                     frame.bottom + client.cy - placed.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::CentreOnScreen() {
    const RECT frame = WindowRect(Hwnd());
    const int left = (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2;
    SetWindowPos(Hwnd(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::optional<LRESULT> Window::KeepFocusOnActivation(UINT message, WPARAM wParam) {
    if (message == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE) {
        if (const HWND focus = GetFocus(); IsChild(Hwnd(), focus))
            lastFocus_ = focus;
        return 0;
    }
    if (message != WM_ACTIVATE && message != WM_SETFOCUS)
        return std::nullopt;
    if (lastFocus_ && IsChild(Hwnd(), lastFocus_) && IsWindowEnabled(lastFocus_))
        SetFocus(lastFocus_);
    else
        SetFocus(GetNextDlgTabItem(Hwnd(), nullptr, FALSE));
    return 0;
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DPICHANGED) {
        ChangeDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    }
    if (ChangesColours(message))
        RepaintInNewColours(Hwnd());
    if (auto result = ReflectNotification(message, wParam, lParam))
        return *result;
    return DefWindowProcW(Hwnd(), message, wParam, lParam);
}

// The window takes the place the system suggests, which keeps it under the pointer when it
// is dragged from one screen to another. A window of a fixed layout takes the size that holds
// the layout at the new density, whatever size comes with the place.
void Window::ChangeDpi(UINT dpi, const RECT& suggested) {
    SetTopLevelDpi(Hwnd(), dpi);
    if (layoutClient_)
        FitToLayout(POINT{suggested.left, suggested.top});
    else
        SetWindowPos(Hwnd(), nullptr, suggested.left, suggested.top,
                     suggested.right - suggested.left, suggested.bottom - suggested.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    LayOut();
    RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = UniqueWindow(hwnd);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ForgetTopLevelDpi(hwnd);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->window_.release();
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    // A half-built window is left to the system to take apart: its own handlers would act on
    // a window that never stood (the main window's would end the program).
    if (self->creationFailure_)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    // A failure while the window is made, its controls' or its own handler's, fails its
    // creation: the system destroys the half-built window, and CreateWindowOfClass hands the
    // failure on to whoever creates it.
    if (message == WM_CREATE) {
        try {
            if (self->layoutClient_)
                self->FitToLayout(POINT{0, 0});
            self->CreateControls();
            return self->HandleMessage(message, wParam, lParam);
        } catch (...) {
            self->creationFailure_ = std::current_exception();
            return -1;
        }
    }
    return Guarded([&] { return self->HandleMessage(message, wParam, lParam); }, LRESULT{0});
}

Control::~Control() {
    if (hwnd_)
        Detach();
}

void Control::Detach() {
    RemoveWindowSubclass(hwnd_, SubclassProcedure, 0);
    RemovePropW(hwnd_, ControlProperty);
    hwnd_ = nullptr;
}

// Created as a wide window: the system's controls then take typed characters whole.
void Control::Create(HWND parent, int id, const RECT& frame, const std::string& text) {
    const HWND created = CreateWindowExW(
        ExStyle(), ClassName(), Widened(text).c_str(), Style() | WS_CHILD | WS_VISIBLE, frame.left,
        frame.top, frame.right - frame.left, frame.bottom - frame.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!created ||
        !SetWindowSubclass(created, SubclassProcedure, 0, reinterpret_cast<DWORD_PTR>(this)))
        ThrowLastError();
    hwnd_ = created;
    // Without it the control would never get the notifications its parent receives.
    if (!SetPropW(hwnd_, ControlProperty, this))
        ThrowLastError();
    OnCreated();
}

void Control::SetEnabled(bool enabled) {
    if (Enabled() == enabled)
        return;
    const bool hadFocus = GetFocus() == hwnd_;
    EnableWindow(hwnd_, enabled);
    // The system leaves no window with the focus, and keys would then reach the top-level
    // window as system keys, where Tab does nothing.
    if (hadFocus) {
        const HWND next = GetNextDlgTabItem(GetParent(hwnd_), hwnd_, FALSE);
        if (next && next != hwnd_)
            SetFocus(next);
    }
}

void Control::SetBorderWidth(int width) {
    borderWidth_ = width;
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The class's own frame stays outside; the band is taken from what it leaves as client.
LRESULT Control::HandleFrameMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = HandleMessage(message, wParam, lParam);
    if (message == WM_NCCALCSIZE) {
        RECT& client = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0];
        InflateRect(&client, -borderWidth_, -borderWidth_);
    } else {
        PaintBorderBand();
    }
    return result;
}

void Control::PaintBorderBand() {
    RECT client = ClientRect(hwnd_);
    MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const RECT frame = WindowRect(hwnd_);
    OffsetRect(&client, -frame.left, -frame.top);
    RECT band = client;
    InflateRect(&band, borderWidth_, borderWidth_);
    const UniqueWindowDc dc(GetWindowDC(hwnd_), {hwnd_});
    ExcludeClipRect(dc.get(), client.left, client.top, client.right, client.bottom);
    FillRect(dc.get(), &band, GetSysColorBrush(COLOR_BTNFACE));
}

void Control::SetFont(HFONT font) {
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

std::string Control::Text() const {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
    return Narrowed(text);
}

Control* Control::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<Control*>(GetPropW(hwnd, ControlProperty)) : nullptr;
}

LRESULT Control::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(hwnd_, message, wParam, lParam);
}

LRESULT Control::DialogCodeTakingEnter(WPARAM wParam, LPARAM lParam) {
    const auto* key = reinterpret_cast<const MSG*>(lParam);
    const LRESULT code = Default(WM_GETDLGCODE, wParam, lParam);
    const bool enter = key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN;
    return enter ? code | DLGC_WANTMESSAGE : code;
}

LRESULT CALLBACK Control::SubclassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR self) {
    auto* control = reinterpret_cast<Control*>(self);
    if (message == WM_NCDESTROY) {
        control->Detach();
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    const bool frame = message == WM_NCCALCSIZE || message == WM_NCPAINT;
    return Guarded(
        [&] {
            if (message == WM_GETOBJECT)
                if (const auto answer = AnswerGetObject(*control, wParam, lParam))
                    return *answer;
            if (message == WM_SETFOCUS)
                control->InputMethod.SwitchOn();
            else if (message == WM_KILLFOCUS)
                control->InputMethod.SwitchOff();
            if (frame && control->borderWidth_)
                return control->HandleFrameMessage(message, wParam, lParam);
            return control->HandleMessage(message, wParam, lParam);
        },
        LRESULT{0});
}

std::optional<LRESULT> ReflectNotification(UINT message, WPARAM wParam, LPARAM lParam) {
    Control* control = Control::FromHandle(NotifyingChild(message, wParam, lParam));
    if (!control)
        return std::nullopt;
    if (message == WM_DRAWITEM) {
        control->DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    return control->HandleNotification(message, wParam, lParam);
}

RECT ClientRect(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client;
}

RECT WindowRect(HWND window) {
    RECT frame{};
    GetWindowRect(window, &frame);
    return frame;
}

} // namespace reelbond
