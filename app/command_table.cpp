#include "app/command_table.h"

#include <iterator>

#include "res/command_ids.h"

namespace hs {

namespace {

using H = CommandHandlers;
using A = Availability;

const CommandRow kCommands[] = {
    {ID_DOC_ADD, A::Always, &H::addDocument},
    {ID_DOC_EDIT, A::ExactlyOne, &H::editDocument},
    {ID_DOC_DUPLICATE, A::ExactlyOne, &H::duplicateDocument},
    {ID_DOC_OPEN, A::OneOrMore, &H::openDocuments},
    {ID_DOC_VIEW_HEADER, A::ExactlyOne, &H::viewDocumentHeader},
    {ID_DOC_SAVE_AS, A::ExactlyOne, &H::saveDocumentAs},
    {ID_DOC_WHAT_CHANGED, A::OneChanged, &H::showWhatChanged},
    {ID_DOC_DELETE, A::OneOrMore, &H::deleteDocuments},
    {ID_DOC_CHECK, A::OneOrMore, &H::checkDocuments},
    {ID_DOC_CHECK_ALL, A::Always, &H::checkAllDocuments},
    {ID_DOC_SELECT_ALL, A::Always, &H::selectAllDocuments},
    {ID_DOC_DESELECT_ALL, A::Always, &H::deselectAllDocuments},
    {ID_DOC_SET_NOTCHANGED, A::OneOrMore, &H::setDocumentsNotChanged},
    {ID_DOC_SET_ALL_NOTCHANGED, A::Always, &H::setAllDocumentsNotChanged},
    {ID_VIEW_TOOLBAR_CMD, A::Always, &H::toggleToolbar},
    {ID_VIEW_STATUS_BAR_CMD, A::Always, &H::toggleStatusBar},
    {ID_BG_DEFAULT, A::Always, &H::backgroundDefault},
    {ID_BG_EMPTY, A::Always, &H::backgroundEmpty},
    {ID_BG_CUSTOM, A::Always, &H::backgroundCustom},
    {ID_APP_OPTION, A::Always, &H::showOptions},
    {ID_APP_EXIT_CMD, A::Always, &H::exitProgram},
    {ID_TRAY_EXIT, A::Always, &H::exitProgram},
    {ID_APP_ABOUT_CMD, A::Always, &H::showAbout},
    {ID_HELP_MANUAL, A::Always, &H::openManual},
    {ID_HELP_SUPPORT, A::Always, &H::openSupportPage},
    {ID_HELP_HOMEPAGE, A::Always, &H::openHomePage},
    {ID_TRAY_OPEN, A::Always, &H::openFromTray},
};

}  // namespace

const CommandRow* commandRows() { return kCommands; }
std::size_t commandRowCount() { return std::size(kCommands); }

const CommandRow* findCommand(int commandId) {
    for (const CommandRow& row : kCommands) {
        if (row.id == commandId) return &row;
    }
    return nullptr;
}

bool isAvailable(Availability rule, const SelectionSnapshot& snapshot) {
    switch (rule) {
        case Availability::ExactlyOne: return snapshot.selectedRows == 1;
        case Availability::OneOrMore: return snapshot.selectedRows >= 1;
        case Availability::OneChanged: return snapshot.selectedRows == 1 && snapshot.selectedHasDifference;
        case Availability::Always: break;
    }
    return true;
}

bool isCommandAvailable(int commandId, const SelectionSnapshot& snapshot) {
    const CommandRow* row = findCommand(commandId);
    return row == nullptr || isAvailable(row->availability, snapshot);
}

CommandOutcome runCommand(int commandId, const SelectionSnapshot& snapshot, CommandHandlers& handlers) {
    const CommandRow* row = findCommand(commandId);
    if (row == nullptr) return CommandOutcome::NotHandled;
    if (!isAvailable(row->availability, snapshot)) return CommandOutcome::Unavailable;
    (handlers.*(row->handler))();
    return CommandOutcome::Handled;
}

}  // namespace hs
