#include "app/availability.h"

#include "app/command_ids.h"

namespace hs {

bool isCommandAvailable(int commandId, const SelectionSnapshot& snapshot) {
    switch (commandId) {
        // exactly one document
        case ID_DOC_EDIT:
        case ID_DOC_DUPLICATE:
        case ID_DOC_SAVE_AS:
        case ID_DOC_VIEW_HEADER:
            return snapshot.selectedRows == 1;
        // one or more documents
        case ID_DOC_OPEN:
        case ID_DOC_DELETE:
        case ID_DOC_CHECK:
        case ID_DOC_SET_NOTCHANGED:
            return snapshot.selectedRows >= 1;
        default:
            return true;
    }
}

}  // namespace hs
