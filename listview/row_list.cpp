#include "listview/row_list.h"

namespace hs {

int RowList::selectedCount() const {
    int count = 0;
    const int n = rowCount();
    for (int row = 0; row < n; ++row) {
        if (state(row).selected()) ++count;
    }
    return count;
}

int RowList::nextSelected(int after) const {
    const int n = rowCount();
    for (int row = after < 0 ? 0 : after + 1; row < n; ++row) {
        if (state(row).selected()) return row;
    }
    return -1;
}

}  // namespace hs
