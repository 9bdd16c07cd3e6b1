// The document name rule: a name must be usable as the stem of the
// document's files ("<name>.data", "<name>.content", "<name>.middle").
#pragma once

#include <string>

#include "platform/file_system.h"

namespace hs {

// The characters a document name must not contain.
extern const char* const kForbiddenNameCharacters;  // "\\/:*?\"<>|"

// True when `name` contains none of the nine characters \ / : * ? " < > |
// nor a control character, and a file of exactly that name can exist in the
// working directory.
//
// The test never harms an existing file: it creates the file only when
// nothing of that name exists yet (exclusive creation) and removes only what
// it created. A name that already exists as a regular file (for example the
// options file) counts as valid when that file can be opened for writing
// without creating or emptying it — the same answer the trial creation would
// give — and is left unchanged. An existing directory (such as "data") or a
// name the system accepts but cannot delete again (a device name) is
// invalid, as is the empty name, a name so long that its ".content" file
// could not be created (more than 255 characters for the file name), and a
// Windows device name such as "NUL" or "com1.txt" (its files would be the
// device, not files).
bool isValidDocumentName(const std::string& name, FileSystem& fs);

// The part of the rule that needs no file: not empty, none of the nine
// characters, no control character (bytes 0 to 31),
// not a Windows device name. Every name that becomes part of a path in
// the data directory passes it, so "data\<name>.data" and its siblings
// always lie inside "data": a record file whose stored name fails it is
// not loaded.
bool hasValidNameCharacters(const std::string& name);

}  // namespace hs
