#include "app/win32/feature_hooks.h"

#include "app/win32/options_dialog.h"
#include "listview/win32/plain_row_painter.h"

namespace hs {

// The properties dialog and the add wizard: not built yet.
void addDocumentCommand(HWND) {}
void editDocumentCommand(HWND) {}
void duplicateDocumentCommand(HWND) {}

// Opening documents and the viewers of kept content: not built yet.
void openSelectedDocumentsCommand(HWND) {}
void viewDocumentHeaderCommand(HWND) {}
void saveDocumentAsCommand(HWND) {}
// openDocument(row, 1) once opening documents exists.
void openRowOnDoubleClick(HWND, int) {}

// Background images: not built yet; the list is drawn plain.
void drawListRow(HWND view, const DocumentList& rows, const DRAWITEMSTRUCT& draw) {
    drawPlainRow(view, rows, draw);
}
bool listPaintingMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) { return false; }
void backgroundDefaultCommand(HWND) {}
void backgroundEmptyCommand(HWND) {}
void backgroundCustomCommand(HWND) {}
void applyStartupBackground(HWND) {}

// The add wizard: not built yet.
void preferWizardAtStart() {}
void offerStartupWizard(HWND) {}

void optionsCommand(HWND view) {
    showOptionsDialog(view);
}

}  // namespace hs
