// The document properties dialog (resource 129) for Add, Edit and Duplicate:
// every setting of one document, checked on OK, with the location tried out
// by the location button (browser, FTP connection test, file chooser).
#pragma once

#include <windows.h>

#include <cstddef>

#include "catalogue/catalogue.h"
#include "catalogue/record.h"
#include "dialogs/document_properties_model.h"
#include "platform/file_system.h"

namespace hs {

// The record the properties dialog and the add wizard fill for their
// callers; one per program, used on the window thread only.
Document& pendingRecord();

// Runs the dialog modal to `owner` in `mode`; for Edit and Duplicate the
// dialog starts with the settings of slot `sourceSlot`. Returns 1 when OK
// succeeded (pendingRecord() then holds the new record) and 0 on Cancel or
// when the window was closed; pendingRecord() is then untouched.
int showPropertiesDialog(HINSTANCE module, HWND owner, PropertiesMode mode, std::size_t sourceSlot,
                         DocumentCatalogue& catalogue, FileSystem& files);

}  // namespace hs
