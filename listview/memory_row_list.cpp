#include "listview/memory_row_list.h"

namespace hs {

int MemoryRowList::rowCount() const { return static_cast<int>(rows_.size()); }

int MemoryRowList::insertRow(int position, const RowData& row) {
    if (position < 0) return -1;
    if (position > rowCount()) position = rowCount();
    rows_.insert(rows_.begin() + position, row);
    return position;
}

bool MemoryRowList::deleteRow(int row) {
    if (!exists(row)) return false;
    rows_.erase(rows_.begin() + row);
    return true;
}

bool MemoryRowList::readRow(int row, RowData& data) const {
    if (!exists(row)) return false;
    data = rows_[static_cast<std::size_t>(row)];
    return true;
}

bool MemoryRowList::writeRow(int row, const RowData& data) {
    if (!exists(row)) return false;
    rows_[static_cast<std::size_t>(row)] = data;
    return true;
}

bool MemoryRowList::setCellText(int row, int column, const std::string& text) {
    if (!exists(row) || column < 0 || column >= kColumnCount) return false;
    rows_[static_cast<std::size_t>(row)].cells[column] = text;
    return true;
}

bool MemoryRowList::setImage(int row, int image) {
    if (!exists(row)) return false;
    rows_[static_cast<std::size_t>(row)].image = image;
    return true;
}

RowState MemoryRowList::state(int row) const {
    if (!exists(row)) return RowState{};
    return rows_[static_cast<std::size_t>(row)].state;
}

bool MemoryRowList::setState(int row, RowState value, uint32_t mask) {
    auto apply = [&](RowData& r) { r.state.bits = (r.state.bits & ~mask) | (value.bits & mask); };
    if (row == -1) {
        for (RowData& r : rows_) apply(r);
        return true;
    }
    if (!exists(row)) return false;
    apply(rows_[static_cast<std::size_t>(row)]);
    return true;
}

}  // namespace hs
