// A RowList held in memory: the list of the unit tests and benchmarks, and a
// reference for what the Win32 list must do.
#pragma once

#include <vector>

#include "listview/row_list.h"

namespace hs {

class MemoryRowList : public RowList {
public:
    int rowCount() const override;
    int insertRow(int position, const RowData& row) override;
    bool deleteRow(int row) override;
    bool readRow(int row, RowData& data) const override;
    bool writeRow(int row, const RowData& data) override;
    bool setCellText(int row, int column, const std::string& text) override;
    bool setImage(int row, int image) override;
    RowState state(int row) const override;
    bool setState(int row, RowState value, uint32_t mask) override;

    // Direct access for tests.
    const RowData& at(int row) const { return rows_.at(static_cast<std::size_t>(row)); }

private:
    bool exists(int row) const { return row >= 0 && row < rowCount(); }

    std::vector<RowData> rows_;
};

}  // namespace hs
