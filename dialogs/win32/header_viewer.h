// The header viewer: the beginning of a document's kept content as
// characters and as hexadecimal pairs, in a modal dialog.
#pragma once

#include <windows.h>

#include <string>

#include "catalogue/catalogue.h"
#include "platform/file_system.h"

namespace hs {

// Shows the viewer over the file at `path`, owned by `owner`. The file is
// read, and closed again, before the dialog opens. Returns 1 once the dialog
// was shown and closed, 0 when the file cannot be opened (nothing is shown).
int showHeaderViewer(HINSTANCE module, HWND owner, DocumentCatalogue& catalogue, FileSystem& fs,
                     const std::string& name);

// The save-file dialog of "Sa&ve document as..": the chosen path, or empty
// when the user cancelled. Choosing leaves the working directory as it was.
std::string chooseSaveAsPath(HWND owner);

}  // namespace hs
