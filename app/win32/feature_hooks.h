// The view's commands and start-up steps that other features of the program
// carry out. Each hook is the single place the window shell calls the
// feature from; a hook whose feature is not built yet does nothing, so its
// command is present in the menus and has no effect.
#pragma once

#include <windows.h>

namespace hs {

// Document menu, context menu and toolbar commands.
void addDocumentCommand(HWND view);
void editDocumentCommand(HWND view);
void duplicateDocumentCommand(HWND view);
void deleteDocumentsCommand(HWND view);
void checkSelectedDocumentsCommand(HWND view);
void selectAllRowsCommand(HWND view);
void deselectAllRowsCommand(HWND view);
void setSelectedNotChangedCommand(HWND view);
void setAllNotChangedCommand(HWND view);
void openSelectedDocumentsCommand(HWND view);
void viewDocumentHeaderCommand(HWND view);
void saveDocumentAsCommand(HWND view);

// View menu background commands.
void backgroundDefaultCommand(HWND view);
void backgroundEmptyCommand(HWND view);
void backgroundCustomCommand(HWND view);

// The list: a double-click on a row, a click on a column header.
void openRowOnDoubleClick(HWND view, int row);
void sortRowsByColumn(HWND view, int column);

// Start-up steps and the start-up prompt.
void applyStartupBackground(HWND view);
void preferWizardAtStart();
void offerStartupWizard(HWND view);

// The Options dialog, owned by the list view window.
void optionsCommand(HWND view);

}  // namespace hs
