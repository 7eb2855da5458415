#include "win/string_grid.h"

#include "win/handles.h"
#include "win/high_contrast.h"

#include <algorithm>
#include <numeric>
#include <windowsx.h>

namespace reelbond {

constexpr int SizingMargin = 3;

void TStringGrid::Register() {
    RegisterWindowClass(WindowClass, DefWindowProcW, CS_DBLCLKS, nullptr);
}

void TStringGrid::SetColumnWidths(const std::vector<int>& widths) {
    widths_ = widths;
    Refresh();
}

void TStringGrid::Refresh() {
    if (!Hwnd())
        return;
    ScrollCurrentRowIntoView();
    UpdateScrollBars();
    InvalidateRect(Hwnd(), nullptr, FALSE);
    AnnounceChanges();
}

RECT TStringGrid::CellRect(int column, int row) const {
    int left = -leftOffset_;
    for (int c = 0; c < column; ++c)
        left += widths_[c];
    const int top = row == 0 ? 0 : (row - topRow_ + 1) * rowHeight_;
    return RECT{left, top, left + widths_[column], top + rowHeight_};
}

int TStringGrid::VisibleDataRows() const {
    return std::max<int>(1, ClientRect(Hwnd()).bottom / rowHeight_ - 1);
}

void TStringGrid::UpdateScrollBars() {
    const auto setBar = [this](int bar, int min, int max, int page, int position) {
        const UINT parts = SIF_RANGE | SIF_PAGE | SIF_POS;
        const SCROLLINFO info{sizeof info, parts, min, max, static_cast<UINT>(page), position};
        SetScrollInfo(Hwnd(), bar, &info, TRUE);
    };
    setBar(SB_VERT, 1, rows_.DataRowCount(), VisibleDataRows(), topRow_);
    const int width = ClientRect(Hwnd()).right;
    const int totalWidth = std::accumulate(widths_.begin(), widths_.end(), 0);
    leftOffset_ = std::clamp(leftOffset_, 0, std::max(0, totalWidth - width));
    setBar(SB_HORZ, 0, totalWidth - 1, width, leftOffset_);
}

void TStringGrid::ScrollCurrentRowIntoView() {
    const int current = rows_.CurrentRow();
    const int visible = VisibleDataRows();
    topRow_ = std::clamp(topRow_, current - visible + 1, current);
    topRow_ = std::clamp(topRow_, 1, std::max(1, rows_.DataRowCount() - visible + 1));
}

void TStringGrid::MoveCurrentRow(int row) {
    row = std::clamp(row, 1, rows_.DataRowCount());
    if (row == rows_.CurrentRow())
        return;
    rows_.SetCurrentRow(row);
    Refresh();
}

LRESULT TStringGrid::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    case WM_SIZE:
        Refresh();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_SETFOCUS:
        InvalidateRect(Hwnd(), nullptr, FALSE);
        if (const int row = CurrentItem())
            NotifyWinEvent(EVENT_OBJECT_FOCUS, Hwnd(), OBJID_CLIENT, row);
        return 0;
    case WM_KILLFOCUS:
        InvalidateRect(Hwnd(), nullptr, FALSE);
        return 0;
    case WM_UPDATEUISTATE: {
        const LRESULT result = Default(message, wParam, lParam);
        FollowFocusCues(wParam);
        return result;
    }
    case WM_KEYDOWN:
        OnKeyDown(wParam);
        return 0;
    case WM_MOUSEWHEEL:
        OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnLeftButtonDown(point);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(point);
        return 0;
    case WM_LBUTTONUP:
        if (std::exchange(sizingColumn_, -1) >= 0)
            ReleaseCapture();
        return 0;
    case WM_SETCURSOR: {
        // The sizing pointer while a column is sized and over a column border.
        POINT pointer;
        GetCursorPos(&pointer);
        ScreenToClient(Hwnd(), &pointer);
        if (LOWORD(lParam) != HTCLIENT || (sizingColumn_ < 0 && ColumnBorderAt(pointer) < 0))
            break;
        SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
        return TRUE;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
        OnScroll(message == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam));
        return 0;
    }
    return Default(message, wParam, lParam);
}

void TStringGrid::OnKeyDown(WPARAM key) {
    const int current = rows_.CurrentRow();
    const int target = key == VK_UP      ? current - 1
                       : key == VK_DOWN  ? current + 1
                       : key == VK_PRIOR ? current - VisibleDataRows()
                       : key == VK_NEXT  ? current + VisibleDataRows()
                       : key == VK_HOME  ? 1
                       : key == VK_END   ? rows_.DataRowCount()
                                         : current;
    if (target != current)
        MoveCurrentRow(target);
}

// Like the keys, the wheel moves the current row, one row a notch. Touchpads and free-spinning
// wheels send parts of a notch: they add up until a whole one is turned, in one direction.
void TStringGrid::OnMouseWheel(int delta) {
    if ((delta < 0) != (wheelRest_ < 0))
        wheelRest_ = 0;
    wheelRest_ += delta;
    const int notches = wheelRest_ / WHEEL_DELTA;
    wheelRest_ -= notches * WHEEL_DELTA;
    if (notches)
        MoveCurrentRow(rows_.CurrentRow() - notches);
}

int TStringGrid::ColumnBorderAt(POINT point) const {
    if (point.y < 0 || point.y >= rowHeight_)
        return -1;
    for (int column = 0; column < ColumnCount(); ++column) {
        const int border = CellRect(column, 0).right;
        if (point.x >= border - SizingMargin && point.x <= border + SizingMargin)
            return column;
    }
    return -1;
}

void TStringGrid::OnLeftButtonDown(POINT point) {
    SetFocus(Hwnd());
    const int border = ColumnBorderAt(point);
    if (border >= 0) {
        sizingColumn_ = border;
        sizingStartX_ = point.x;
        sizingStartWidth_ = widths_[border];
        SetCapture(Hwnd());
        return;
    }
    // The header row selects nothing.
    const int row = RowAt(point);
    if (row >= 1 && row <= rows_.DataRowCount())
        MoveCurrentRow(row);
}

void TStringGrid::OnMouseMove(POINT point) {
    if (sizingColumn_ < 0)
        return;
    widths_[sizingColumn_] =
        std::max(0, sizingStartWidth_ + static_cast<int>(point.x) - sizingStartX_);
    UpdateScrollBars();
    InvalidateRect(Hwnd(), nullptr, FALSE);
}

void TStringGrid::OnScroll(int bar, WORD request) {
    SCROLLINFO info{sizeof info, SIF_ALL};
    GetScrollInfo(Hwnd(), bar, &info);
    const int line = bar == SB_VERT ? 1 : 8;
    int position = info.nPos;
    switch (request) {
    case SB_LINEUP:
        position -= line;
        break;
    case SB_LINEDOWN:
        position += line;
        break;
    case SB_PAGEUP:
        position -= static_cast<int>(info.nPage);
        break;
    case SB_PAGEDOWN:
        position += static_cast<int>(info.nPage);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        position = info.nTrackPos;
        break;
    default:
        return;
    }
    int& scrolled = bar == SB_VERT ? topRow_ : leftOffset_;
    scrolled = std::clamp(position, info.nMin,
                          std::max(info.nMin, info.nMax - static_cast<int>(info.nPage) + 1));
    UpdateScrollBars();
    InvalidateRect(Hwnd(), nullptr, FALSE);
}

void TStringGrid::Paint() {
    PAINTSTRUCT paint{};
    const auto painting = Painting(Hwnd(), paint);
    const auto font = SelectedInto(paint.hdc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    const int lastRow = std::min(rows_.DataRowCount(), topRow_ + VisibleDataRows());
    for (int column = 0; column < ColumnCount(); ++column) {
        PaintCell(paint.hdc, column, 0);
        for (int row = topRow_; row <= lastRow; ++row)
            PaintCell(paint.hdc, column, row);
    }
    const RECT client = ClientRect(Hwnd());
    const RECT right{CellRect(ColumnCount() - 1, 0).right, 0, client.right, client.bottom};
    const RECT below{0, CellRect(0, lastRow).bottom, client.right, client.bottom};
    FillRect(paint.hdc, &right, GetSysColorBrush(COLOR_WINDOW));
    FillRect(paint.hdc, &below, GetSysColorBrush(COLOR_WINDOW));
    PaintFocus(paint.hdc, lastRow);
}

// As a list box does, the grid keeps what the system last said of focus cues: Wine's own
// default window procedure keeps nothing.
void TStringGrid::FollowFocusCues(WPARAM change) {
    if (LOWORD(change) == UIS_INITIALIZE)
        focusCuesHidden_ = SendMessageW(Hwnd(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS;
    else if (HIWORD(change) & UISF_HIDEFOCUS)
        focusCuesHidden_ = LOWORD(change) == UIS_SET;
    InvalidateRect(Hwnd(), nullptr, FALSE);
}

// As in a list box: the current row shows the focus, unless the system hides focus cues
// until the keyboard is used.
void TStringGrid::PaintFocus(HDC dc, int lastRow) {
    const int current = rows_.CurrentRow();
    if (GetFocus() != Hwnd() || focusCuesHidden_ || current < topRow_ || current > lastRow)
        return;
    const RECT row = RowRect(current);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &row);
}

int TStringGrid::RowAt(POINT point) const {
    return point.y < rowHeight_ ? 0 : topRow_ + point.y / rowHeight_ - 1;
}

RECT TStringGrid::RowRect(int row) const {
    return {CellRect(0, row).left, CellRect(0, row).top, CellRect(ColumnCount() - 1, row).right,
            CellRect(0, row).bottom};
}

void TStringGrid::PaintCell(HDC dc, int column, int row) {
    RECT cell = CellRect(column, row);
    const GridCellState state{row == 0, row != 0 && row == rows_.CurrentRow()};
    SetBkColor(dc, GetSysColor(state.fixed      ? COLOR_BTNFACE
                               : state.selected ? COLOR_HIGHLIGHT
                                                : COLOR_WINDOW));
    SetTextColor(dc, state.selected ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                    : ContrastColour(TextColour(), state.fixed ? COLOR_BTNTEXT
                                                                               : COLOR_WINDOWTEXT));
    if (OnDrawCell)
        OnDrawCell(column, row, cell, state, dc);
    if (state.fixed)
        DrawEdge(dc, &cell, BDR_RAISEDINNER, BF_RECT);
}

} // namespace reelbond
