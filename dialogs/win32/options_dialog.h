// The Options dialog (resource 138): shows the program's settings and
// returns what the user applied.
#pragma once

#include <windows.h>

#include <optional>

#include "catalogue/options.h"
#include "dialogs/options_dialog_model.h"

namespace hs {

// Runs the modal dialog owned by `owner` over the settings `current`.
// Returns the dialog's state when the user applied (applyOptionsDialog
// stores it), nothing on Cancel or Esc.
std::optional<OptionsDialogModel> showOptionsDialog(HINSTANCE module, HWND owner, const AppOptions& current);

}  // namespace hs
