// Menus and the command table: popup menus are enabled and greyed by the
// table's availability rules.
#pragma once

#include <windows.h>

#include "app/command_table.h"

namespace hs {

// Enables or greys every command item of `menu` (not its submenus'
// items) by isCommandAvailable. Separators and submenu entries are left.
void applyMenuAvailability(HMENU menu, const SelectionSnapshot& selection);

// The command id of a WM_COMMAND from a menu, an accelerator or a control.
inline int commandIdOf(WPARAM wParam) { return static_cast<int>(LOWORD(wParam)); }

}  // namespace hs
