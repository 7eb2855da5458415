#include "core/input_file_table.h"

#include <algorithm>

namespace reelbond {
namespace {

std::string FrameSizeText(const SequenceHeaderInfo& info) {
    return std::to_string(info.HorizontalSize) + " X " + std::to_string(info.VerticalSize);
}

} // namespace

InputFileTable::InputFileTable() : rows_(2) {
    rows_[0] = {"File name", "Frame size", "Frame rate", "Status"};
}

int InputFileTable::FileCount() const {
    return static_cast<int>(std::count_if(rows_.begin() + 1, rows_.end(), [](const Row& row) {
        return !row[FileNameColumn].empty();
    }));
}

void InputFileTable::SetCurrentRow(int row) {
    if (row >= 1 && row <= DataRowCount())
        currentRow_ = row;
}

void InputFileTable::AppendEmptyRow() {
    if (rows_.back()[FileNameColumn].empty())
        return;
    rows_.emplace_back();
    currentRow_ = DataRowCount();
}

void InputFileTable::FillLastRow(const std::string& path, const SequenceHeaderInfo& info) {
    Row& last = rows_.back();
    last[FileNameColumn] = path;
    last[FrameSizeColumn] = FrameSizeText(info);
    last[FrameRateColumn] = FrameRateText(info.FrameRateCode);
    last[StatusColumn] = RowStatus(DataRowCount());
}

std::string InputFileTable::RowStatus(int row) const {
    // Compared as texts, so two frame rates without a text are equal.
    const Row& first = rows_[1];
    const Row& other = rows_.at(row);
    if (other[FrameSizeColumn] != first[FrameSizeColumn] ||
        other[FrameRateColumn] != first[FrameRateColumn])
        return StatusFormatDiffer;
    return StatusOk;
}

std::string InputFileTable::FileCountText() const {
    return "  " + std::to_string(FileCount()) + " file(s) selected";
}

void InputFileTable::ResetGrid() {
    rows_.resize(2);
    rows_[1] = Row{};
    currentRow_ = 1;
}

bool InputFileTable::RemoveCurrentRow() {
    if (DataRowCount() == 1) {
        rows_[1] = Row{};
        return false;
    }
    rows_.erase(rows_.begin() + currentRow_);
    currentRow_ = std::min(currentRow_, DataRowCount());
    SetStatusesIfFirstRowDiffers();
    return true;
}

void InputFileTable::MoveCurrentRowUp() {
    if (currentRow_ == 1)
        return;
    std::swap(rows_[currentRow_ - 1], rows_[currentRow_]);
    --currentRow_;
    if (currentRow_ == 1)
        SetStatusesAgainstFirstRow();
}

void InputFileTable::MoveCurrentRowDown() {
    if (currentRow_ == DataRowCount())
        return;
    std::swap(rows_[currentRow_], rows_[currentRow_ + 1]);
    ++currentRow_;
    SetStatusesIfFirstRowDiffers();
}

void InputFileTable::SetStatusesIfFirstRowDiffers() {
    if (rows_[1][StatusColumn] == StatusFormatDiffer)
        SetStatusesAgainstFirstRow();
}

void InputFileTable::SetStatusesAgainstFirstRow() {
    rows_[1][StatusColumn] = StatusOk;
    for (int row = 2; row <= DataRowCount(); ++row)
        rows_[row][StatusColumn] = RowStatus(row);
}

} // namespace reelbond
