// The Options dialog (resource 138): shows the program's settings and the
// balloon setting of the settings file, and returns what the user applied.
#pragma once

#include <windows.h>

#include <optional>

#include "catalogue/options.h"
#include "dialogs/options_dialog_model.h"

namespace hs {

// What the user applied: the options block's settings and the balloons.
struct OptionsChoice {
    OptionsDialogModel options;
    bool changeBalloons = true;
};

// Runs the modal dialog owned by `owner` over the settings `current` and the
// balloon setting `balloons`. Returns what the user applied
// (applyOptionsDialog stores the options), nothing on Cancel or Esc.
std::optional<OptionsChoice> showOptionsDialog(HINSTANCE module, HWND owner, const AppOptions& current,
                                               bool balloons);

}  // namespace hs
