#pragma once

#include "win/handles.h"
#include "win/window.h"

namespace reelbond {

// One line of text on the window's background.
class TLabel : public Control {
public:
    // Fits the label's size to its text in its font; the top-left corner stays.
    void SizeToText();

protected:
    const wchar_t* ClassName() const override { return L"STATIC"; }
    DWORD Style() const override { return SS_LEFT | SS_NOPREFIX; }
};

// A static control that draws itself in DrawItem.
class OwnerDrawnStatic : public Control {
protected:
    const wchar_t* ClassName() const override { return L"STATIC"; }
    DWORD Style() const override { return SS_OWNERDRAW; }
};

// A lowered box: shadow on its top and left edges, highlight on its bottom and right.
// Two pixels high, it is a horizontal rule.
class TBevel : public OwnerDrawnStatic {
public:
    void DrawItem(const DRAWITEMSTRUCT& item) const override;
};

// An icon drawn at its own size in the top-left corner of the control, never stretched.
class TImage : public OwnerDrawnStatic {
public:
    // Loads the icon resource at size x size pixels; a missing one leaves the area empty.
    void SetIcon(const char* resourceName, int size);
    void DrawItem(const DRAWITEMSTRUCT& item) const override;

private:
    UniqueIcon icon_;
    int size_ = 0;
};

// A framed group with a coloured caption; its controls are its siblings, laid over it.
class TGroupBox : public Control {
public:
    std::optional<LRESULT> HandleNotification(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    const wchar_t* ClassName() const override { return L"BUTTON"; }
    DWORD Style() const override { return BS_GROUPBOX; }
};

// A bevelled panel: lowered outer and raised inner bevel.
class TPanel : public Control {
protected:
    const wchar_t* ClassName() const override { return L"STATIC"; }
    DWORD Style() const override { return SS_ETCHEDFRAME; }
};

} // namespace reelbond
