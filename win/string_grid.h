#pragma once

#include "win/accessible_object.h"
#include "win/window.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace reelbond {

// How the grid wants a cell painted; the colours are already set in the device context.
struct GridCellState {
    bool fixed;
    bool selected;
};

// The rows a grid shows below its fixed header row (row 0): data rows 1..n, one of them
// current. OnDrawCell paints each cell; the texts are what screen readers read.
class GridRows {
public:
    virtual int DataRowCount() const = 0;
    virtual std::string CellText(int column, int row) const = 0;
    virtual int CurrentRow() const = 0;
    // Makes a data row current.
    virtual void SetCurrentRow(int row) = 0;

protected:
    ~GridRows() = default;
};

// A fixed header row over the rows, with whole-row selection of the current row. The user
// moves the current row by click, keys and wheel and resizes columns by dragging their
// borders in the header row; nothing else is editable.
class TStringGrid : public Control, public AccessibleParts {
public:
    TStringGrid(GridRows& rows, int columnCount) : rows_(rows), widths_(columnCount, 64) {}

    std::function<void(int column, int row, const RECT& cell, GridCellState state, HDC dc)>
        OnDrawCell;

    // One width a column.
    void SetColumnWidths(const std::vector<int>& widths);
    int ColumnCount() const { return static_cast<int>(widths_.size()); }
    int ColumnWidth(int column) const { return widths_.at(column); }
    void SetRowHeight(int height) { rowHeight_ = height; }
    // Shows the table as it is now: scroll ranges, the current row in view, a repaint; and
    // tells screen readers what changed.
    void Refresh();
    // The rectangle of a cell in client coordinates.
    RECT CellRect(int column, int row) const;

    static void Register();

protected:
    static constexpr wchar_t WindowClass[] = L"ReelbondStringGrid";
    const wchar_t* ClassName() const override { return WindowClass; }
    DWORD Style() const override { return WS_TABSTOP | WS_VSCROLL | WS_HSCROLL; }
    DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // What a screen reader reads of the grid: a list whose items are the data rows up to the
    // last that holds text (an empty table shows one blank row and has none), each named by
    // its cells.
    long AccessibleRole() const override;
    int ItemCount() const override;
    std::string ItemName(int row) const override;
    RECT ItemPlace(int row) const override;
    int ItemAt(POINT screenPoint) const override;
    int CurrentItem() const override;
    // Events for screen readers: the rows changed, the current row moved.
    void AnnounceChanges();

    void OnCreated() override { FollowFocusCues(UIS_INITIALIZE); }
    void FollowFocusCues(WPARAM change);
    void Paint();
    void PaintFocus(HDC dc, int lastRow);
    // The data row's rectangle across all columns, in client coordinates.
    RECT RowRect(int row) const;
    // The number of the row shown at a point of the client area below the header row; 0 in
    // the header row.
    int RowAt(POINT point) const;
    void PaintCell(HDC dc, int column, int row);
    int VisibleDataRows() const;
    void UpdateScrollBars();
    void ScrollCurrentRowIntoView();
    void MoveCurrentRow(int row);
    void OnKeyDown(WPARAM key);
    void OnMouseWheel(int delta);
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
    // The part of a notch the wheel has turned so far, signed by its direction.
    int wheelRest_ = 0;
    bool focusCuesHidden_ = false;
    // The rows and the current row as screen readers were last told of them.
    std::vector<std::string> announcedRows_;
    std::pair<int, std::string> announcedCurrent_;
};

} // namespace reelbond
