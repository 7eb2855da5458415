#pragma once

#include "win/accessible_object.h"
#include "win/glyph.h"
#include "win/window.h"

#include <functional>
#include <memory>
#include <string>

namespace reelbond {

// A framed group with a coloured caption; its controls are its siblings, laid over it.
class GroupBox : public Control {
public:
    std::optional<LRESULT> HandleNotification(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    const char* ClassName() const override { return "BUTTON"; }
    DWORD Style() const override { return BS_GROUPBOX; }
};

// A push button that shows a glyph only, greyed while disabled. Every click of the mouse
// clicks it, quick ones included; Space and Enter click it while it has the focus.
class BitmapButton : public Control, public AccessibleParts {
public:
    void SetGlyph(const char* resourceName) {
        glyph_ = std::make_unique<Glyph>(resourceName, WindowDpi(hwnd()));
    }
    std::function<void()> OnClick;
    std::optional<LRESULT> HandleNotification(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDpiChanged() override {
        if (glyph_)
            glyph_->ScaleTo(WindowDpi(hwnd()));
    }
    long AccessibleRole() const override;

protected:
    const char* ClassName() const override { return "BUTTON"; }
    DWORD Style() const override { return BS_OWNERDRAW | WS_TABSTOP; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Draw(const DRAWITEMSTRUCT& item) const;
    void Click();
    std::unique_ptr<Glyph> glyph_;
};

// A flat button that shows its border only under the mouse, never takes the focus and
// is clicked by the Alt accelerator of its caption.
class SpeedButton : public Control, public AccessibleParts {
public:
    std::function<void()> OnClick;
    // The caption's accelerator letter, upper-cased; 0 when it has none.
    char Accelerator() const;
    void Click();
    static void Register();
    long AccessibleRole() const override;
    std::string KeyboardShortcut() const override;

protected:
    static constexpr char WindowClass[] = "ReelbondSpeedButton";
    const char* ClassName() const override { return WindowClass; }
    DWORD Style() const override { return 0; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint();
    void SetHot(bool hot);
    bool PointerInside(LPARAM lParam) const;

    HFONT font_ = nullptr;
    bool hot_ = false;
    bool pressed_ = false;
};

class Edit : public Control {
protected:
    const char* ClassName() const override { return "EDIT"; }
    DWORD Style() const override { return ES_AUTOHSCROLL | WS_TABSTOP; }
    DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
};

// A bevelled panel: lowered outer and raised inner bevel.
class Panel : public Control {
protected:
    const char* ClassName() const override { return "STATIC"; }
    DWORD Style() const override { return SS_ETCHEDFRAME; }
};

class StatusBar : public Control {
public:
    void SetPanelWidths(std::initializer_list<int> widths);
    void SetPanelText(int panel, const std::string& text);
    std::string PanelText(int panel) const;

protected:
    const char* ClassName() const override { return STATUSCLASSNAMEA; }
    DWORD Style() const override { return CCS_NOPARENTALIGN | CCS_NORESIZE | WS_CLIPSIBLINGS; }
};

class ProgressBar : public Control {
public:
    // Sets the position and repaints at once: long handlers do not return to the loop.
    void SetPosition(int position);
    int Position() const;

protected:
    const char* ClassName() const override { return PROGRESS_CLASSA; }
    DWORD Style() const override { return 0; }
    void OnCreated() override;
};

} // namespace reelbond
