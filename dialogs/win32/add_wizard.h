// The Add command's dialogs: the method choice, the start-up prompt and the
// five steps of the add wizard, each modal to the list view window.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "catalogue/catalogue.h"
#include "platform/file_system.h"

namespace hs {

// "Add document by": preselects the wizard when `preferWizard` is true.
// On "&Next >>" returns the choice (true for the wizard); nothing on Cancel.
std::optional<bool> showAddMethodChoice(HINSTANCE module, HWND owner, bool preferWizard);

// "Start-up wizard": true for "&Start add wizard >>", false for Cancel.
bool showStartupPrompt(HINSTANCE module, HWND owner);

// Runs the wizard from a record of zero bytes. Returns the new document
// when the user finished it (the caller stores it); nothing on Cancel at
// any step. `explainMiddle` is what "What is this ?" does.
std::optional<Document> runAddWizardDialogs(HINSTANCE module, HWND owner, const DocumentCatalogue& catalogue,
                                            FileSystem& files, const std::function<void(HWND)>& explainMiddle);

}  // namespace hs
