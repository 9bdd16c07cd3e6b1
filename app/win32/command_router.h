// Command routing: a command from the menu, the toolbar, an accelerator or
// a popup menu is first tested for availability with the number of selected
// rows, then offered to each target of the chain in turn (the view first,
// then the frame) until one handles it.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "app/availability.h"

namespace hs {

class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    // Carries out `commandId` and returns true, or returns false when the
    // command is not this target's.
    virtual bool onCommand(int commandId) = 0;
};

enum class CommandOutcome {
    Unavailable,  // not allowed with this selection: nothing ran
    Handled,
    NotHandled,   // no target knows the command
};

CommandOutcome routeCommand(int commandId, const SelectionSnapshot& selection,
                            std::initializer_list<CommandTarget*> chain);

// Enables or greys every command item of `menu` (not its submenus'
// items) by isCommandAvailable. Separators and submenu entries are left.
void applyMenuAvailability(HMENU menu, const SelectionSnapshot& selection);

// The command id of a WM_COMMAND from a menu, an accelerator or a control.
inline int commandIdOf(WPARAM wParam) { return static_cast<int>(LOWORD(wParam)); }

}  // namespace hs
