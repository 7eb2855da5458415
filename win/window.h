#pragma once

#include "win/dpi.h"
#include "win/handles.h"
#include "win/input_method.h"

#include <exception>
#include <optional>
#include <string>
#include <windows.h>

namespace reelbond {

// Registers a window class of this program; start-up does it once for each class, so a
// second registration fails.
void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, UINT style, HBRUSH background,
                         HICON icon = nullptr);

// A top-level or child window of a class of our own. The window procedure is the one
// place where C++ exceptions stop: a failure in a handler goes to the top-level error box.
// A window class is made only as Owned<T> (below), which destroys the window while all of
// the class's controls and fonts still stand.
class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window() = default;

    HWND Hwnd() const noexcept { return window_.get(); }
    // A length of the 96-dpi layout in pixels at the window's density.
    int Scaled(int length) const { return reelbond::Scaled(length, WindowDpi(Hwnd())); }
    // Destroys the window now, if it stands.
    void Destroy() noexcept { window_.reset(); }

protected:
    // Creates the window; "this" reaches the procedure through lpCreateParams.
    void CreateWindowOfClass(const wchar_t* className, DWORD exStyle, DWORD style,
                             const char* caption, const RECT& frame, HWND parent);
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs before WM_CREATE reaches HandleMessage; a failure here fails the creation.
    virtual void CreateControls() {}
    // Lays the controls out again after the screen's density changed.
    virtual void LayOut() {}
    // A top-level window, hidden, whose client area has the given size of the 96-dpi layout,
    // scaled to the window's density, now and whenever the density changes.
    void CreateTopLevelWindow(const wchar_t* className, DWORD exStyle, DWORD style,
                              const char* caption, int clientWidth, int clientHeight);
    // As a dialog does: the control that had the focus when the window was deactivated gets
    // it back when it is activated again, else the first control in tab order. Answers
    // WM_ACTIVATE and WM_SETFOCUS; nullopt for other messages.
    std::optional<LRESULT> KeepFocusOnActivation(UINT message, WPARAM wParam);
    // Places the window in the middle of the screen, its size unchanged.
    void CentreOnScreen();
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    // Overridden by Owned alone: a window class left abstract by it cannot be made otherwise.
    virtual void MadeAsOwned() = 0;
    void ChangeDpi(UINT dpi, const RECT& suggested);
    // Sizes the window so that its client area holds the layout at the window's density.
    void FitToLayout(POINT topLeft);
    UniqueWindow window_;
    // The client area's size in the 96-dpi layout, for a window of a fixed layout.
    std::optional<SIZE> layoutClient_;
    HWND lastFocus_ = nullptr;
    std::exception_ptr creationFailure_;
};

// A window class as it is made: its destructor destroys the window first, so the window's
// last messages, WM_NCDESTROY included, reach the whole object.
template <typename WindowClass> class Owned final : public WindowClass {
public:
    using WindowClass::WindowClass;
    ~Owned() override { this->Destroy(); }

private:
    void MadeAsOwned() override {}
};

// A wrapper around a standard or custom control: it receives its own messages and the
// notifications its parent gets about it (reflected by the parent's Window).
class Control {
public:
    Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    HWND Hwnd() const noexcept { return hwnd_; }
    int Id() const noexcept { return GetDlgCtrlID(hwnd_); }
    // A length of the 96-dpi layout in pixels at the control's density.
    int Scaled(int length) const { return reelbond::Scaled(length, WindowDpi(hwnd_)); }

    // The input method switched on while the control has the focus.
    InputMethodSwitch InputMethod;
    // What a screen reader calls the control and says it is for; empty leaves it to the system.
    std::string AccessibleName;
    std::string AccessibleDescription;

    // Creates the control's window at frame in parent's client coordinates.
    void Create(HWND parent, int id, const RECT& frame, const std::string& text);

    bool Enabled() const { return IsWindowEnabled(hwnd_); }
    // Disabling the focused control hands the focus on to the next control in tab order.
    void SetEnabled(bool enabled);
    // A band of the button face this wide inside the control's frame, around its client area.
    void SetBorderWidth(int width);
    void SetFont(HFONT font);
    // The screen's density changed: the control draws its own parts anew at the new one.
    virtual void OnDpiChanged() {}
    // A control whose window is not as tall as what it shows (a drop-down list's window
    // holds its open list) fits what it shows to the height its layout gives it.
    virtual void FitToHeight(int) {}
    std::string Text() const;
    // The colour in which the control draws its text, where it draws it itself.
    COLORREF TextColour() const noexcept { return textColour_; }
    void SetTextColour(COLORREF colour) noexcept { textColour_ = colour; }

    // The wrapper of a control window, or null for windows that are not ours.
    static Control* FromHandle(HWND hwnd);
    // A notification the parent received about this control (WM_COMMAND, WM_NOTIFY,
    // WM_DRAWITEM, WM_CTLCOLOR...); nullopt leaves it to the parent's default handling.
    virtual std::optional<LRESULT> HandleNotification(UINT, WPARAM, LPARAM) { return std::nullopt; }
    // An owner-drawn control draws itself here when its parent is asked to (WM_DRAWITEM).
    virtual void DrawItem(const DRAWITEMSTRUCT&) const {}

protected:
    virtual const wchar_t* ClassName() const = 0;
    virtual DWORD Style() const = 0;
    virtual DWORD ExStyle() const { return 0; }
    // Called once the window exists and is attached.
    virtual void OnCreated() {}
    // The control's own messages; the default passes them on to the class's procedure.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        return Default(message, wParam, lParam);
    }
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    // The answer to WM_GETDLGCODE of a control that takes Enter itself, which dialog
    // navigation would otherwise send to the window's default button.
    LRESULT DialogCodeTakingEnter(WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR id, DWORD_PTR self);
    // Lets go of the window: it is being destroyed, or the wrapper is.
    void Detach();
    LRESULT HandleFrameMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void PaintBorderBand();
    HWND hwnd_ = nullptr;
    COLORREF textColour_ = 0;
    int borderWidth_ = 0;
};

// Hands a parent's notification about a child control to the child's wrapper.
std::optional<LRESULT> ReflectNotification(UINT message, WPARAM wParam, LPARAM lParam);

// A window's client area, and its frame in screen coordinates.
RECT ClientRect(HWND window);
RECT WindowRect(HWND window);

} // namespace reelbond
