// Which commands can run, decided from one snapshot of the list: the number
// of selected rows. Menus, the toolbar, accelerators and the context menu
// all ask this one function before a command runs or when they are shown.
#pragma once

namespace hs {

struct SelectionSnapshot {
    int selectedRows = 0;
};

// True when the command may run now. Commands this function does not know
// are always available.
bool isCommandAvailable(int commandId, const SelectionSnapshot& snapshot);

}  // namespace hs
