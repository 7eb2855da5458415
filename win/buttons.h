#pragma once

#include "win/accessible_object.h"
#include "win/glyph.h"
#include "win/window.h"

#include <functional>
#include <memory>

namespace reelbond {

// A button of our own: OnClick runs when it is clicked (a system button reports it to its
// parent), and screen readers know it as a push button.
class PushButton : public Control, public AccessibleParts {
public:
    std::function<void()> OnClick;
    void Click() {
        if (OnClick)
            OnClick();
    }
    long AccessibleRole() const override;
    std::optional<LRESULT> HandleNotification(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A push button that shows a glyph only, greyed while disabled. Every click of the mouse
// clicks it, quick ones included; Space and Enter click it while it has the focus.
class TBitBtn : public PushButton {
public:
    void SetGlyph(const char* resourceName) {
        glyph_ = std::make_unique<Glyph>(resourceName, WindowDpi(Hwnd()));
    }
    void OnDpiChanged() override {
        if (glyph_)
            glyph_->ScaleTo(WindowDpi(Hwnd()));
    }

protected:
    const wchar_t* ClassName() const override { return L"BUTTON"; }
    DWORD Style() const override { return BS_OWNERDRAW | WS_TABSTOP; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void DrawItem(const DRAWITEMSTRUCT& item) const override;
    std::unique_ptr<Glyph> glyph_;
};

// A flat button that shows its border only under the mouse, never takes the focus and
// is clicked by the Alt accelerator of its caption.
class TSpeedButton : public PushButton {
public:
    // The caption's accelerator letter, upper-cased; 0 when it has none.
    char Accelerator() const;
    static void Register();
    std::string KeyboardShortcut() const override;

protected:
    static constexpr wchar_t WindowClass[] = L"ReelbondSpeedButton";
    const wchar_t* ClassName() const override { return WindowClass; }
    DWORD Style() const override { return 0; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint();
    void SetHot(bool hot);

    HFONT font_ = nullptr;
    bool hot_ = false;
    bool pressed_ = false;
};

// A push button that, while it has the focus, looks like and acts as the default button,
// so Enter presses it; there is no default button otherwise.
class TButton : public PushButton {
protected:
    const wchar_t* ClassName() const override { return L"BUTTON"; }
    DWORD Style() const override { return BS_PUSHBUTTON | WS_TABSTOP; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

} // namespace reelbond
