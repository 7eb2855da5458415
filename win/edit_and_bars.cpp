#include "win/edit_and_bars.h"

#include "core/text.h"

#include <vector>

namespace reelbond {

void TStatusBar::SetPanelWidths(std::initializer_list<int> widths) {
    std::vector<int> edges;
    int right = 0;
    for (int width : widths)
        edges.push_back(right += width);
    SendMessageW(Hwnd(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void TStatusBar::SetPanelText(int panel, const std::string& text) {
    SendMessageW(Hwnd(), SB_SETTEXTW, panel, reinterpret_cast<LPARAM>(Widened(text).c_str()));
}

std::string TStatusBar::PanelText(int panel) const {
    const auto length = LOWORD(SendMessageW(Hwnd(), SB_GETTEXTLENGTHW, panel, 0));
    std::wstring text(length + 1, L'\0');
    SendMessageW(Hwnd(), SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return Narrowed(text);
}

void TProgressBar::OnCreated() {
    SendMessageW(Hwnd(), PBM_SETRANGE32, 0, 100);
    SendMessageW(Hwnd(), PBM_SETSTEP, 2, 0);
}

void TProgressBar::SetPosition(int position) {
    SendMessageW(Hwnd(), PBM_SETPOS, position, 0);
    UpdateWindow(Hwnd());
}

} // namespace reelbond
