// The rows of the document list as the core sees them: an abstract list of
// rows with four text columns, an image index, an item-data word and a state
// word per row. The Win32 report list implements it with one or a few LVM_*
// messages per operation; MemoryRowList implements it in memory.
//
// Every operation is called on the user-interface thread only.
#pragma once

#include <cstdint>
#include <string>

namespace hs {

constexpr int kColumnCount = 4;  // "Name", "Type", "Status", "Last check"

// Row state bits. They use the list control's own item-state layout so that
// the Win32 list can pass the word through unchanged.
constexpr uint32_t kRowFocused = 0x0001;
constexpr uint32_t kRowSelected = 0x0002;
constexpr uint32_t kRowCut = 0x0004;
constexpr uint32_t kRowDropHighlighted = 0x0008;
constexpr uint32_t kRowOverlayMask = 0x0F00;
constexpr uint32_t kRowStateImageMask = 0xF000;
// Every state a row carries; a row that moves takes all of them along.
constexpr uint32_t kRowAllStates = kRowFocused | kRowSelected | kRowCut | kRowDropHighlighted |
                                   kRowOverlayMask | kRowStateImageMask;

// The state word of one row. Opaque apart from the two bits the program
// asks about; the others are carried along when rows move.
struct RowState {
    uint32_t bits = 0;

    bool selected() const { return (bits & kRowSelected) != 0; }
    bool focused() const { return (bits & kRowFocused) != 0; }
    bool operator==(const RowState& o) const { return bits == o.bits; }
    bool operator!=(const RowState& o) const { return bits != o.bits; }
};

// Everything a row holds.
struct RowData {
    std::string cells[kColumnCount];
    int image = 0;
    std::intptr_t itemData = 0;
    RowState state;
};

// What each row shows, for a RowList that keeps no texts of its own and
// asks when it needs them (the list control with texts on demand).
class RowContent {
public:
    virtual ~RowContent() = default;
    // False when the row or the column does not exist.
    virtual bool cellText(int row, int column, std::string& text) const = 0;
    virtual int rowImage(int row) const = 0;
};

class RowList {
public:
    virtual ~RowList() = default;

    virtual int rowCount() const = 0;

    // Inserts a row before `position` (0 to rowCount(); a larger position
    // appends) with all its cells, image, item data and state. Returns the
    // index the row got, or -1.
    virtual int insertRow(int position, const RowData& row) = 0;

    // Removes a row; false when it does not exist.
    virtual bool deleteRow(int row) = 0;

    // Reads a whole row; false when it does not exist.
    virtual bool readRow(int row, RowData& data) const = 0;

    // Rewrites a whole row: every cell, image, item data and every state bit.
    virtual bool writeRow(int row, const RowData& data) = 0;

    // One cell / the image of an existing row.
    virtual bool setCellText(int row, int column, const std::string& text) = 0;
    virtual bool setImage(int row, int image) = 0;

    // The state word of a row; all zero for a row that does not exist.
    virtual RowState state(int row) const = 0;

    // Sets the bits of `mask` to those of `value`, other bits unchanged.
    // Row -1 means every row (one LVM_SETITEMSTATE with index -1).
    virtual bool setState(int row, RowState value, uint32_t mask) = 0;

    // Number of selected rows (LVM_GETSELECTEDCOUNT). The default scans.
    virtual int selectedCount() const;

    // The first selected row after `after` (-1: from the start), or -1
    // (LVM_GETNEXTITEM with LVNI_SELECTED). The default scans.
    virtual int nextSelected(int after) const;
};

}  // namespace hs
