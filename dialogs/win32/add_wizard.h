// The Add command's dialogs: the method choice, the start-up prompt and the
// five steps of the add wizard, each modal to the list view window.
#pragma once

#include <windows.h>

#include <functional>

#include "catalogue/catalogue.h"
#include "platform/file_system.h"

namespace hs {

// "Add document by": preselects the wizard when `preferWizard` is true.
// On "&Next >>" stores the choice into `preferWizard` and returns 1;
// returns 0 on Cancel.
int showAddMethodChoice(HINSTANCE module, HWND owner, bool& preferWizard);

// "Start-up wizard": 1 for "&Start add wizard >>", 0 for Cancel.
int showStartupPrompt(HINSTANCE module, HWND owner);

// Runs the wizard over pendingRecord(), which it clears first. True when
// the user finished it: pendingRecord() then holds the new document (its
// status is the caller's). False on Cancel at any step. `explainMiddle`
// is what "What is this ?" does.
bool runAddWizardDialogs(HINSTANCE module, HWND owner, const DocumentCatalogue& catalogue, FileSystem& files,
                         const std::function<void(HWND)>& explainMiddle);

}  // namespace hs
