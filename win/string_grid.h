#pragma once

#include "win/window.h"

#include <functional>
#include <vector>

namespace reelbond {

// How the grid wants a cell painted; the colours are already set in the device context.
struct GridCellState {
    bool fixed;
    bool selected;
};

// The rows a grid shows below its fixed header row (row 0): data rows 1..n, one of them
// current. The grid asks for nothing else: OnDrawCell paints each cell.
class GridRows {
public:
    virtual int DataRowCount() const = 0;
    virtual int CurrentRow() const = 0;
    // Makes a data row current.
    virtual void SetCurrentRow(int row) = 0;

protected:
    ~GridRows() = default;
};

// A fixed header row over the rows, with whole-row selection of the current row. The user
// moves the current row by click, keys and wheel and resizes columns by dragging their
// borders in the header row; nothing else is editable.
class TStringGrid : public Control {
public:
    TStringGrid(GridRows& rows, int columnCount) : rows_(rows), widths_(columnCount, 64) {}

    std::function<void(int column, int row, const RECT& cell, GridCellState state, HDC dc)>
        OnDrawCell;

    // One width a column.
    void SetColumnWidths(const std::vector<int>& widths);
    int ColumnWidth(int column) const { return widths_.at(column); }
    void SetRowHeight(int height) { rowHeight_ = height; }
    // The first data row shown below the header.
    int TopRow() const { return topRow_; }
    // Shows the table as it is now: scroll ranges, the current row in view, a repaint.
    void Refresh();
    // The rectangle of a cell in client coordinates.
    RECT CellRect(int column, int row) const;

    static void Register();

protected:
    static constexpr char WindowClass[] = "ReelbondStringGrid";
    const char* ClassName() const override { return WindowClass; }
    DWORD Style() const override { return WS_TABSTOP | WS_VSCROLL | WS_HSCROLL; }
    DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint();
    void PaintCell(HDC dc, int column, int row);
    int VisibleDataRows() const;
    int TotalWidth() const;
    void UpdateScrollBars();
    void ScrollCurrentRowIntoView();
    void MoveCurrentRow(int row);
    void OnKeyDown(WPARAM key);
    void OnLeftButtonDown(POINT point);
    void OnMouseMove(POINT point);
    void OnScroll(int bar, WORD request);
    // The column whose right border lies under x in the header row, or -1.
    int ColumnBorderAt(POINT point) const;

    GridRows& rows_;
    HFONT font_ = nullptr;
    std::vector<int> widths_;
    int rowHeight_ = 24;
    int topRow_ = 1;
    int leftOffset_ = 0;
    int sizingColumn_ = -1;
    int sizingStartX_ = 0;
    int sizingStartWidth_ = 0;
};

} // namespace reelbond
