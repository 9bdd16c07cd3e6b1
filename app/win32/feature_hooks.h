// The view's commands and start-up steps that other features of the program
// carry out. Each hook is the single place the window shell calls the
// feature from; a hook whose feature is not built yet does nothing, so its
// command is present in the menus and has no effect.
//
// The catalogue commands that need no dialog (check, check all, select and
// deselect all, the two "Not changed" commands, delete) and the header-click
// sort are the view's own. A hook reaches the rows and the catalogue
// commands through programView() (halvorsight_view.h): its documents() and
// commandContext().
#pragma once

#include <windows.h>

namespace hs {

class DocumentList;

// Document menu, context menu and toolbar commands.
void addDocumentCommand(HWND view);
void editDocumentCommand(HWND view);
void duplicateDocumentCommand(HWND view);
void openSelectedDocumentsCommand(HWND view);
void viewDocumentHeaderCommand(HWND view);
void saveDocumentAsCommand(HWND view);

// View menu background commands.
void backgroundDefaultCommand(HWND view);
void backgroundEmptyCommand(HWND view);
void backgroundCustomCommand(HWND view);

// A double-click on a row, after the list's own handling: opens the row's
// document with the interactive flag 1.
void openRowOnDoubleClick(HWND view, int row);

// The list's painting: one owner-drawn row (plain rows until background
// pictures exist), and the list window's painting messages (background
// erasing, palette messages, the header's width-changing notifications),
// offered before the view's own handling; true when the message was
// answered with `result`.
void drawListRow(HWND view, const DocumentList& rows, const DRAWITEMSTRUCT& draw);
bool listPaintingMessage(HWND view, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// Start-up steps and the start-up prompt.
void applyStartupBackground(HWND view);
void preferWizardAtStart();
void offerStartupWizard(HWND view);

// The Options dialog, owned by the list view window.
void optionsCommand(HWND view);

}  // namespace hs
