#include "listview/document_list.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "catalogue/record.h"

namespace hs {


namespace {

// A row's text is read through a 512-byte buffer: at most 511 characters.
constexpr std::size_t kMaxRowText = kTextFieldSize - 1;

std::string cutToRowText(std::string text) {
    if (text.size() > kMaxRowText) text.resize(kMaxRowText);
    return text;
}

// What a row shows of one record, read under the catalogue lock.
struct RecordView {
    std::string name;
    int32_t type = 0;
    int32_t status = 0;
    std::string lastCheck;
};

bool readRecordView(DocumentCatalogue& catalogue, long slot, RecordView& view) {
    if (slot < 0 || static_cast<std::size_t>(slot) >= catalogue.slotCount()) return false;
    return catalogue.locked([&] {
        const Document& r = catalogue.recordLocked(static_cast<std::size_t>(slot));
        if (r.name[0] == '\0') return false;
        view.name = cutToRowText(fieldText(r.name));
        view.type = r.type;
        view.status = r.status;
        view.lastCheck = cutToRowText(fieldText(r.lastCheck));
        return true;
    });
}

}  // namespace

int compareCellText(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    // memcmp compares as unsigned char.
    const int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
    if (c != 0) return c < 0 ? -1 : 1;
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

DocumentList::DocumentList(RowList& rows, DocumentCatalogue& catalogue)
    : rows_(rows), catalogue_(catalogue) {
    resync();
}

void DocumentList::resync() {
    shown_.clear();
    const int n = rows_.rowCount();
    shown_.reserve(static_cast<std::size_t>(n > 0 ? n : 0));
    RowData data;
    for (int row = 0; row < n; ++row) {
        auto s = std::make_unique<Shown>();
        if (rows_.readRow(row, data)) {
            for (int c = 0; c < kColumnCount; ++c) s->cells[c] = cutToRowText(data.cells[c]);
            s->image = data.image;
            s->itemData = data.itemData;
        }
        shown_.push_back(std::move(s));
    }
    invalidateIndex();
}

bool DocumentList::rowText(int row, std::string& text) const { return cellText(row, 0, text); }

bool DocumentList::cellText(int row, int column, std::string& text) const {
    if (!exists(row) || column < 0 || column >= kColumnCount) return false;
    text = shown_[static_cast<std::size_t>(row)]->cells[column];
    return true;
}

int DocumentList::rowImage(int row) const {
    return exists(row) ? shown_[static_cast<std::size_t>(row)]->image : 0;
}

bool DocumentList::isRowSelected(int row) const {
    return exists(row) && rows_.state(row).selected();
}

int DocumentList::selectedCount() const { return rows_.selectedCount(); }

int DocumentList::nextSelectedRow(int after) const { return rows_.nextSelected(after); }

std::vector<int> DocumentList::selectedRows() const {
    std::vector<int> result;
    for (int row = rows_.nextSelected(-1); row >= 0; row = rows_.nextSelected(row)) {
        result.push_back(row);
    }
    return result;
}

long DocumentList::recordOfRow(int row) const {
    std::string text;
    if (!rowText(row, text)) return -1;
    // The catalogue's own index answers "first used slot with this name";
    // an empty text matches nothing, as free slots have empty names.
    return catalogue_.firstSlotNamed(text);
}

void DocumentList::buildIndex() const {
    firstRow_.clear();
    firstRow_.reserve(shown_.size());
    for (std::size_t row = 0; row < shown_.size(); ++row) {
        // emplace keeps the first row of a repeated text.
        firstRow_.emplace(shown_[row]->cells[0], static_cast<int>(row));
    }
    indexValid_ = true;
}

int DocumentList::rowOfRecord(long slot) const {
    if (slot < 0) return -1;
    const std::string name = cutToRowText(catalogue_.name(static_cast<std::size_t>(slot)));
    if (name.empty()) return -1;
    if (!indexValid_) buildIndex();
    auto it = firstRow_.find(name);
    return it == firstRow_.end() ? -1 : it->second;
}

int DocumentList::showRecordRow(long slot, int row, ShowRowMode mode) {
    RecordView view;
    if (!readRecordView(catalogue_, slot, view)) return -1;
    const int image = statusImageIndex(view.status);
    const std::string cells[kColumnCount] = {
        view.name,
        documentTypeText(view.type),
        documentStatusText(view.status),
        view.lastCheck.empty() ? std::string("?") : view.lastCheck,
    };

    if (mode == InsertRow) {
        if (row < 0) return -1;
        RowData data;
        for (int c = 0; c < kColumnCount; ++c) data.cells[c] = cells[c];
        data.image = image;
        data.itemData = 0;
        const int at = rows_.insertRow(std::min(row, rowCount()), data);
        if (at < 0) return -1;
        if (at > rowCount()) {  // the list put it elsewhere: read the rows again
            resync();
            return at;
        }
        auto s = std::make_unique<Shown>();
        for (int c = 0; c < kColumnCount; ++c) s->cells[c] = cells[c];
        s->image = image;
        const bool appended = at == rowCount();
        shown_.insert(shown_.begin() + at, std::move(s));
        // A row added after every other row cannot become the first row of
        // a name that already has one, so the index stays valid.
        if (appended && indexValid_) {
            firstRow_.emplace(cells[0], at);
        } else {
            invalidateIndex();
        }
        return at;
    }

    if (!exists(row)) return -1;
    Shown& s = *shown_[static_cast<std::size_t>(row)];
    // Only what differs is written: marking all rows for a check changes
    // just the status text and perhaps the image of each row.
    if (s.image != image) {
        rows_.setImage(row, image);
        s.image = image;
    }
    for (int c = 0; c < kColumnCount; ++c) {
        if (s.cells[c] == cells[c]) continue;
        rows_.setCellText(row, c, cells[c]);
        s.cells[c] = cells[c];
        if (c == 0) invalidateIndex();
    }
    return row;
}

int DocumentList::refreshRecordRow(long slot) {
    const int row = rowOfRecord(slot);
    if (row < 0) return -1;
    return showRecordRow(slot, row, RefreshRow);
}

bool DocumentList::deleteRow(int row) {
    if (!exists(row)) return false;
    if (!rows_.deleteRow(row)) return false;
    shown_.erase(shown_.begin() + row);
    invalidateIndex();
    return true;
}

void DocumentList::setSelectionOfAll(bool select) {
    RowState value;
    value.bits = select ? kRowSelected : 0;
    rows_.setState(-1, value, kRowSelected);
}

// The list's quicksort, run on positions into the current rows so that the
// list itself is rewritten once at the end:
//   - the pivot is the text of row (L + H) / 2, copied once per range;
//   - i runs up from L while i < H and text(i) is before the pivot, j runs
//     down from H while j > L and text(j) is after it (reversed for
//     descending);
//   - when i <= j the two rows are swapped only if their texts differ, and
//     i and j step on in every case;
//   - then L..j is sorted, and after it i..H.
// The ranges are kept on an explicit stack, popped in the same order as the
// recursion would take them, so a long list cannot exhaust the thread's
// stack whatever its order.
void DocumentList::sortRows(int column, bool ascending, int first, int last) {
    if (column < 0 || column >= kColumnCount) return;
    const int n = rowCount();
    if (last == -1) last = n - 1;
    if (first < 0) first = 0;
    if (last > n - 1) last = n - 1;
    if (last <= first) return;

    // order[p] is the row whose content goes to position p.
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int p = 0; p < n; ++p) order[static_cast<std::size_t>(p)] = p;
    auto text = [&](int p) -> const std::string& {
        return shown_[static_cast<std::size_t>(order[static_cast<std::size_t>(p)])]->cells[column];
    };
    auto before = [&](const std::string& a, const std::string& b) {
        const int c = compareCellText(a, b);
        return ascending ? c < 0 : c > 0;
    };

    std::vector<std::pair<int, int>> ranges;
    ranges.emplace_back(first, last);
    while (!ranges.empty()) {
        const int L = ranges.back().first;
        const int H = ranges.back().second;
        ranges.pop_back();
        if (H <= L) continue;
        const std::string pivot = text((L + H) / 2);
        int i = L;
        int j = H;
        while (i <= j) {
            while (i < H && before(text(i), pivot)) ++i;
            while (j > L && before(pivot, text(j))) --j;
            if (i <= j) {
                if (compareCellText(text(i), text(j)) != 0) {
                    std::swap(order[static_cast<std::size_t>(i)], order[static_cast<std::size_t>(j)]);
                }
                ++i;
                --j;
            }
        }
        // Pushed in reverse: L..j is taken (and finished) first.
        if (i < H) ranges.emplace_back(i, H);
        if (L < j) ranges.emplace_back(L, j);
    }

    // Read the states of the rows that move before anything is written, then
    // rewrite each moved position once.
    std::vector<std::pair<int, RowState>> moves;
    for (int p = first; p <= last; ++p) {
        const int from = order[static_cast<std::size_t>(p)];
        if (from != p) moves.emplace_back(p, rows_.state(from));
    }
    RowData data;
    for (const auto& move : moves) {
        const Shown& s = *shown_[static_cast<std::size_t>(order[static_cast<std::size_t>(move.first)])];
        for (int c = 0; c < kColumnCount; ++c) data.cells[c] = s.cells[c];
        data.image = s.image;
        data.itemData = s.itemData;
        data.state = move.second;
        rows_.writeRow(move.first, data);
    }
    if (moves.empty()) return;

    std::vector<std::unique_ptr<Shown>> sorted(static_cast<std::size_t>(n));
    for (int p = 0; p < n; ++p) {
        sorted[static_cast<std::size_t>(p)] = std::move(shown_[static_cast<std::size_t>(order[static_cast<std::size_t>(p)])]);
    }
    shown_.swap(sorted);
    invalidateIndex();
}

void DocumentList::headerClicked(int column) {
    sortRows(column, sortAscending == 1, 0, -1);
    sortAscending = sortAscending == 1 ? 0 : 1;
}

}  // namespace hs
