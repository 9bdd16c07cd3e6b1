// The document properties dialog (resource 129) for Add, Edit and Duplicate:
// every setting of one document, checked on OK, with the location tried out
// by the location button (browser, FTP connection test, file chooser).
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>

#include "catalogue/catalogue.h"
#include "catalogue/record.h"
#include "dialogs/document_properties_model.h"
#include "platform/file_system.h"

namespace hs {

// Runs the dialog modal to `owner` in `mode`; for Edit and Duplicate the
// dialog starts with the settings of slot `sourceSlot`. Returns the record
// OK built (the caller stores it), nothing on Cancel or when the window was
// closed.
std::optional<Document> showPropertiesDialog(HINSTANCE module, HWND owner, PropertiesMode mode,
                                             std::size_t sourceSlot, const DocumentCatalogue& catalogue,
                                             FileSystem& files);

}  // namespace hs
