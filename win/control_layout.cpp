#include "win/control_layout.h"

#include "core/io_error.h"
#include "core/text.h"
#include "win/accessible_name.h"

#include <algorithm>
#include <commctrl.h>
#include <stdexcept>
#include <string>

namespace reelbond {
namespace {

// Without a dependency on Common Controls 6 Windows gives the program comctl32 5.82, which
// refuses a tool larger than its own TOOLINFO.
const UINT ToolSize = TTTOOLINFOW_V2_SIZE;

// Edges are scaled rather than sizes, so that controls that meet at 96 dpi still meet.
RECT ScaledFrame(HWND window, const std::vector<Placement>& layout, const Placement& place) {
    POINT origin{0, 0};
    for (const Control* parent = place.parent; parent;) {
        const auto outer = std::find_if(layout.begin(), layout.end(),
                                        [&](const Placement& p) { return p.control == parent; });
        origin.x += outer->left;
        origin.y += outer->top;
        parent = outer->parent;
    }
    const UINT dpi = WindowDpi(window);
    const int left = origin.x + place.left;
    const int top = origin.y + place.top;
    return {Scaled(left, dpi), Scaled(top, dpi), Scaled(left + place.width, dpi),
            Scaled(top + place.height, dpi)};
}

} // namespace

void ControlLayout::Create(HWND window, const std::vector<Placement>& layout, int firstId) {
    int id = firstId;
    for (const Placement& place : layout) {
        place.control->Create(window, id++, ScaledFrame(window, layout, place), place.text);
        NameForScreenReaders(*place.control, place.text, place.parent, place.hint);
        place.control->SetTextColour(place.colour);
        place.control->SetEnabled(place.enabled);
        if (place.hint)
            AddTooltip(window, *place.control, place.hint);
    }
    SetFonts(window, layout);
    FitHeights(window, layout);
}

void ControlLayout::Apply(HWND window, const std::vector<Placement>& layout) {
    for (const Placement& place : layout) {
        const RECT frame = ScaledFrame(window, layout, place);
        SetWindowPos(place.control->Hwnd(), nullptr, frame.left, frame.top,
                     frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        place.control->OnDpiChanged();
        if (place.hint) {
            TOOLINFOW tool{ToolSize, 0, window, static_cast<UINT_PTR>(place.control->Id()), frame};
            SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    SetFonts(window, layout);
    FitHeights(window, layout);
}

void ControlLayout::FitHeights(HWND window, const std::vector<Placement>& layout) {
    for (const Placement& place : layout) {
        const RECT frame = ScaledFrame(window, layout, place);
        place.control->FitToHeight(frame.bottom - frame.top);
    }
}

// The new fonts are in place before the old ones go.
void ControlLayout::SetFonts(HWND window, const std::vector<Placement>& layout) {
    std::vector<UniqueFont> fonts;
    for (const Placement& place : layout) {
        if (place.font) {
            fonts.push_back(CreateUiFont(*place.font, WindowDpi(window)));
            place.control->SetFont(fonts.back().get());
        }
    }
    fonts_ = std::move(fonts);
}

void ControlLayout::AddTooltip(HWND window, const Control& control, const char* hint) {
    if (!tooltip_) {
        tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, TTS_ALWAYSTIP, 0, 0, 0,
                                   0, window, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!tooltip_)
            ThrowLastError();
        SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_INITIAL, 500);
        SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 2500);
    }
    // The control's own mouse messages show the hint while it is enabled; a disabled one
    // gets none, they reach the window, so a tool of the window covers its place as well.
    std::wstring text = Widened(hint);
    TOOLINFOW tool{.cbSize = ToolSize,
                   .uFlags = TTF_IDISHWND | TTF_SUBCLASS,
                   .hwnd = window,
                   .uId = reinterpret_cast<UINT_PTR>(control.Hwnd()),
                   .lpszText = text.data()};
    AddTool(tool);
    tool.uFlags = TTF_SUBCLASS;
    tool.uId = control.Id();
    tool.rect = WindowRect(control.Hwnd());
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&tool.rect), 2);
    AddTool(tool);
}

void ControlLayout::AddTool(const TOOLINFOW& tool) {
    if (!SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)))
        throw std::runtime_error("Cannot add the hint " + Narrowed(tool.lpszText));
}

} // namespace reelbond
