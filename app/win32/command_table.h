// The program's commands in one table. Each row holds a command id, when it
// may run and when its menu item is checked (rules over one CommandScope),
// and its handler. The menu bar, the context and tray menus, the toolbar
// and the accelerators all take their enabling and check marks from here,
// and every command, whatever it came from, runs through runCommand.
//
// A new command: its id in res/command_ids.h, its handler and its row in
// command_table.cpp, its menu line (and prompt) in res/halvorsight.rc.
#pragma once

#include <windows.h>

#include <cstddef>

#include "catalogue/options.h"

namespace hs {

class Program;

// What the rules and the handlers see: the program, the number of selected
// rows when the command was asked for, and the options.
struct CommandScope {
    Program& program;
    int selectedRows;
    ProgramOptions& options;
};

using CommandRule = bool (*)(const CommandScope&);

struct CommandRow {
    int id;
    CommandRule available;  // null: always available
    CommandRule checked;    // null: the item has no check mark
    void (*run)(CommandScope&);
};

// The table's rows, and the number of them.
const CommandRow* commandRows();
std::size_t commandRowCount();

// The row of a command id, or null for an id the table does not know.
const CommandRow* findCommand(int commandId);

// True when the command may run now. Ids the table does not know are always
// available (the system's own commands, for one).
bool isCommandAvailable(int commandId, const CommandScope& scope);

enum class CommandOutcome {
    Unavailable,  // not allowed now: nothing ran
    Handled,
    NotHandled,   // not a command of the table
};

// The availability first, then the command's handler.
CommandOutcome runCommand(int commandId, CommandScope& scope);

// Enables or greys every command item of `menu` (not its submenus' items)
// and sets the check mark of the items that have one. Separators, submenu
// entries and ids the table does not know stay enabled.
void applyMenuState(HMENU menu, const CommandScope& scope);

// Loads menu resource `menuId`, applies the state to its first submenu and
// tracks it at `point` (screen) with `flags`, owned by `owner`, which gets
// the chosen command.
void showCommandMenu(HWND owner, HINSTANCE module, int menuId, POINT point, UINT flags, const CommandScope& scope);

// The command id of a WM_COMMAND from a menu, an accelerator or a control.
inline int commandIdOf(WPARAM wParam) { return static_cast<int>(LOWORD(wParam)); }

// The start-up prompt, offered once when the list is empty: with
// "&Start add wizard >>" the wizard runs at once, without the method choice.
void offerStartupWizard(Program& program);

}  // namespace hs
