#include "app/win32/feature_hooks.h"

#include "app/win32/options_dialog.h"

namespace hs {

// Catalogue commands, opening and the viewers: not built yet.
void addDocumentCommand(HWND) {}
void editDocumentCommand(HWND) {}
void duplicateDocumentCommand(HWND) {}
void deleteDocumentsCommand(HWND) {}
void checkSelectedDocumentsCommand(HWND) {}
void selectAllRowsCommand(HWND) {}
void deselectAllRowsCommand(HWND) {}
void setSelectedNotChangedCommand(HWND) {}
void setAllNotChangedCommand(HWND) {}
void openSelectedDocumentsCommand(HWND) {}
void viewDocumentHeaderCommand(HWND) {}
void saveDocumentAsCommand(HWND) {}

// Background images: not built yet; the list is drawn plain.
void backgroundDefaultCommand(HWND) {}
void backgroundEmptyCommand(HWND) {}
void backgroundCustomCommand(HWND) {}
void applyStartupBackground(HWND) {}

// Opening a row and sorting: not built yet.
void openRowOnDoubleClick(HWND, int) {}
void sortRowsByColumn(HWND, int) {}

// The add wizard: not built yet.
void preferWizardAtStart() {}
void offerStartupWizard(HWND) {}

void optionsCommand(HWND view) {
    showOptionsDialog(view);
}

}  // namespace hs
