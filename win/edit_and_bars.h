#pragma once

#include "win/window.h"

#include <commctrl.h>
#include <initializer_list>
#include <string>

namespace reelbond {

class TEdit : public Control {
protected:
    const wchar_t* ClassName() const override { return L"EDIT"; }
    DWORD Style() const override { return ES_AUTOHSCROLL | WS_TABSTOP; }
    DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
};

class TStatusBar : public Control {
public:
    void SetPanelWidths(std::initializer_list<int> widths);
    void SetPanelText(int panel, const std::string& text);
    std::string PanelText(int panel) const;

protected:
    const wchar_t* ClassName() const override { return STATUSCLASSNAMEW; }
    DWORD Style() const override { return CCS_NOPARENTALIGN | CCS_NORESIZE | WS_CLIPSIBLINGS; }
};

class TProgressBar : public Control {
public:
    // Sets the position and repaints at once: long handlers do not return to the loop.
    void SetPosition(int position);
    int Position() const { return static_cast<int>(SendMessageW(Hwnd(), PBM_GETPOS, 0, 0)); }

protected:
    const wchar_t* ClassName() const override { return PROGRESS_CLASSW; }
    DWORD Style() const override { return 0; }
    void OnCreated() override;
};

} // namespace reelbond
