#include "win/edit_and_bars.h"

#include <vector>

namespace reelbond {

void TStatusBar::SetPanelWidths(std::initializer_list<int> widths) {
    std::vector<int> edges;
    int right = 0;
    for (int width : widths)
        edges.push_back(right += width);
    SendMessageA(hwnd(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void TStatusBar::SetPanelText(int panel, const std::string& text) {
    SendMessageA(hwnd(), SB_SETTEXTA, panel, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string TStatusBar::PanelText(int panel) const {
    const auto length = LOWORD(SendMessageA(hwnd(), SB_GETTEXTLENGTHA, panel, 0));
    std::string text(length + 1, '\0');
    SendMessageA(hwnd(), SB_GETTEXTA, panel, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

void TProgressBar::OnCreated() {
    SendMessageA(hwnd(), PBM_SETRANGE32, 0, 100);
    SendMessageA(hwnd(), PBM_SETSTEP, 2, 0);
}

void TProgressBar::SetPosition(int position) {
    SendMessageA(hwnd(), PBM_SETPOS, position, 0);
    UpdateWindow(hwnd());
}

} // namespace reelbond
