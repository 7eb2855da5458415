#pragma once

#include "win/window.h"

#include <commctrl.h>
#include <initializer_list>
#include <string>

namespace reelbond {

class TEdit : public Control {
protected:
    const char* ClassName() const override { return "EDIT"; }
    DWORD Style() const override { return ES_AUTOHSCROLL | WS_TABSTOP; }
    DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
};

class TStatusBar : public Control {
public:
    void SetPanelWidths(std::initializer_list<int> widths);
    void SetPanelText(int panel, const std::string& text);
    std::string PanelText(int panel) const;

protected:
    const char* ClassName() const override { return STATUSCLASSNAMEA; }
    DWORD Style() const override { return CCS_NOPARENTALIGN | CCS_NORESIZE | WS_CLIPSIBLINGS; }
};

class TProgressBar : public Control {
public:
    // Sets the position and repaints at once: long handlers do not return to the loop.
    void SetPosition(int position);
    int Position() const { return static_cast<int>(SendMessageA(hwnd(), PBM_GETPOS, 0, 0)); }

protected:
    const char* ClassName() const override { return PROGRESS_CLASSA; }
    DWORD Style() const override { return 0; }
    void OnCreated() override;
};

} // namespace reelbond
