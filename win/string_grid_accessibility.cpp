// What the grid tells screen readers: its rows as the items of a list, and events when they
// or the current row change.
#include "win/string_grid.h"

#include <oleacc.h>

namespace reelbond {

long TStringGrid::AccessibleRole() const {
    return ROLE_SYSTEM_LIST;
}

int TStringGrid::ItemCount() const {
    for (int row = rows_.DataRowCount(); row >= 1; --row)
        for (int column = 0; column < ColumnCount(); ++column)
            if (!rows_.CellText(column, row).empty())
                return row;
    return 0;
}

std::string TStringGrid::ItemName(int row) const {
    std::string name;
    for (int column = 0; column < ColumnCount(); ++column)
        name += (column ? ", " : "") + rows_.CellText(column, row);
    return name;
}

RECT TStringGrid::ItemPlace(int row) const {
    RECT place = RowRect(row);
    MapWindowPoints(Hwnd(), HWND_DESKTOP, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// Only where the row is shown: in the client area, and left of the columns' end.
int TStringGrid::ItemAt(POINT screenPoint) const {
    POINT point = screenPoint;
    ScreenToClient(Hwnd(), &point);
    const RECT client = ClientRect(Hwnd());
    const int row = RowAt(point);
    const RECT place = RowRect(row);
    return PtInRect(&client, point) && row <= ItemCount() && PtInRect(&place, point) ? row : 0;
}

int TStringGrid::CurrentItem() const {
    const int current = rows_.CurrentRow();
    return current <= ItemCount() ? current : 0;
}

// The current row is told of again when another row took its place (after a remove).
void TStringGrid::AnnounceChanges() {
    std::vector<std::string> rows;
    for (int row = 1, count = ItemCount(); row <= count; ++row)
        rows.push_back(ItemName(row));
    if (rows != announcedRows_) {
        announcedRows_ = std::move(rows);
        NotifyWinEvent(EVENT_OBJECT_REORDER, Hwnd(), OBJID_CLIENT, CHILDID_SELF);
    }
    const int row = CurrentItem();
    std::pair<int, std::string> current{row, row ? announcedRows_[row - 1] : ""};
    if (current == announcedCurrent_)
        return;
    announcedCurrent_ = std::move(current);
    if (!row)
        return;
    if (GetFocus() == Hwnd())
        NotifyWinEvent(EVENT_OBJECT_FOCUS, Hwnd(), OBJID_CLIENT, row);
    NotifyWinEvent(EVENT_OBJECT_SELECTION, Hwnd(), OBJID_CLIENT, row);
}

} // namespace reelbond
