#pragma once

#include "win/font.h"
#include "win/handles.h"
#include "win/window.h"

#include <vector>
#include <windows.h>

namespace reelbond {

// One control of a window's layout: where it lies in the 96-dpi layout of its parent's client
// area, what it says and how it starts. Controls laid over a group box or a panel are the
// window's children all the same, so that their notifications reach the window: parent only
// gives the corner they are placed from.
struct Placement {
    Control* control;
    const Control* parent;
    int left, top, width, height;
    const char* text;
    const char* hint = nullptr;
    bool enabled = true;
    const FontSpec* font = nullptr;
    COLORREF colour = 0;
};

// The controls of one window, made from its layout table: created in table order (the tab
// order), numbered from a first id, and placed, scaled and given their fonts again whenever
// the screen's density changes. A control with a hint shows it as a tooltip.
class ControlLayout {
public:
    void Create(HWND window, const std::vector<Placement>& layout, int firstId);
    // Lays the controls out again at the window's new density.
    void Apply(HWND window, const std::vector<Placement>& layout);

private:
    void SetFonts(HWND window, const std::vector<Placement>& layout);
    // Once the fonts are in, which the fitting measures.
    static void FitHeights(HWND window, const std::vector<Placement>& layout);
    void AddTooltip(HWND window, const Control& control, const char* hint);
    void AddTool(const TOOLINFOW& tool);

    std::vector<UniqueFont> fonts_;
    // A child of the window, destroyed with it.
    HWND tooltip_ = nullptr;
};

} // namespace reelbond
