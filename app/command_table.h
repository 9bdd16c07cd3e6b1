// The program's commands in one table: for each command id its availability
// rule and its handler. Menus, the context and tray menus, the toolbar and
// the accelerators all ask this table whether a command may run, and every
// command, whatever it came from, runs through runCommand.
#pragma once

#include <cstddef>

namespace hs {

// When a command may run, by the number of selected rows.
enum class Availability {
    Always,
    ExactlyOne,  // one selected document
    OneOrMore,   // at least one selected document
    OneChanged,  // one selected document whose content differs from its acknowledged version
};

struct SelectionSnapshot {
    int selectedRows = 0;
    // With one selected document: it has an acknowledged earlier version
    // and its kept content differs from it.
    bool selectedHasDifference = false;
};

// What the commands do; the Windows program implements it over its windows
// and the catalogue, tests with fakes.
class CommandHandlers {
public:
    virtual ~CommandHandlers() = default;

    // Document menu, context menu and toolbar.
    virtual void addDocument() = 0;
    virtual void editDocument() = 0;
    virtual void duplicateDocument() = 0;
    virtual void openDocuments() = 0;
    virtual void viewDocumentHeader() = 0;
    virtual void saveDocumentAs() = 0;
    virtual void deleteDocuments() = 0;
    virtual void checkDocuments() = 0;
    virtual void checkAllDocuments() = 0;
    virtual void selectAllDocuments() = 0;
    virtual void deselectAllDocuments() = 0;
    virtual void setDocumentsNotChanged() = 0;
    virtual void setAllDocumentsNotChanged() = 0;
    virtual void showWhatChanged() = 0;

    // View menu.
    virtual void toggleToolbar() = 0;
    virtual void toggleStatusBar() = 0;
    virtual void backgroundDefault() = 0;
    virtual void backgroundEmpty() = 0;
    virtual void backgroundCustom() = 0;

    // Program, Help and tray menus.
    virtual void showOptions() = 0;
    virtual void exitProgram() = 0;
    virtual void showAbout() = 0;
    virtual void openManual() = 0;
    virtual void openSupportPage() = 0;
    virtual void openHomePage() = 0;
    virtual void openFromTray() = 0;
};

struct CommandRow {
    int id;
    Availability availability;
    void (CommandHandlers::*handler)();
};

// The table's rows, and the number of them.
const CommandRow* commandRows();
std::size_t commandRowCount();

// The row of a command id, or null for an id the table does not know.
const CommandRow* findCommand(int commandId);

bool isAvailable(Availability rule, const SelectionSnapshot& snapshot);

// True when the command may run now. Ids the table does not know are always
// available (the system's own commands, for one).
bool isCommandAvailable(int commandId, const SelectionSnapshot& snapshot);

enum class CommandOutcome {
    Unavailable,  // not allowed with this selection: nothing ran
    Handled,
    NotHandled,   // not a command of the table
};

// Availability first, then the command's handler.
CommandOutcome runCommand(int commandId, const SelectionSnapshot& snapshot, CommandHandlers& handlers);

}  // namespace hs
