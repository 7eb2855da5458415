#pragma once

#include "core/sequence_header_probe.h"

#include <array>
#include <string>
#include <vector>

namespace reelbond {

inline constexpr char StatusOk[] = "OK";
inline constexpr char StatusFormatDiffer[] = "format differ";
// The count text as the window starts, and after remove, clear and link empty the table.
inline constexpr char InitialCountText[] = "  0   file(s) selected";
inline constexpr char EmptiedCountText[] = "  0  file(s) selected";

// The ordered input files: a header row and data rows 1..n of four text cells. The empty
// table is one data row of empty cells; the current row is always a data row.
class InputFileTable {
public:
    enum Column { FileNameColumn, FrameSizeColumn, FrameRateColumn, StatusColumn, ColumnCount };
    using Row = std::array<std::string, ColumnCount>;

    InputFileTable();

    int RowCount() const { return static_cast<int>(rows_.size()); }
    int DataRowCount() const { return RowCount() - 1; }
    const std::string& Cell(int column, int row) const { return rows_.at(row).at(column); }
    int FileCount() const;

    int CurrentRow() const { return currentRow_; }
    // Makes a data row current; other rows are ignored.
    void SetCurrentRow(int row);

    void AppendEmptyRow();
    void FillLastRow(const std::string& path, const SequenceHeaderInfo& info);
    std::string RowStatus(int row) const;
    // Two blanks, the number of files and " file(s) selected"; the window's count text.
    std::string FileCountText() const;
    void ResetGrid();

    // Removes the current row; false when that left the table empty.
    bool RemoveCurrentRow();
    void MoveCurrentRowUp();
    void MoveCurrentRowDown();
    bool CanMoveUp() const { return currentRow_ != 1; }
    bool CanMoveDown() const { return currentRow_ != DataRowCount(); }

private:
    // A first row reading "format differ" is a new first row: every status is set again.
    void SetStatusesIfFirstRowDiffers();
    void SetStatusesAgainstFirstRow();

    std::vector<Row> rows_;
    int currentRow_ = 1;
};

} // namespace reelbond
