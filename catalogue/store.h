// The catalogue's files in the data directory: one record file per document,
// loaded once at start-up, written after each settled change and once more at
// shutdown; and the leftover temporary files removed at shutdown.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "catalogue/catalogue.h"
#include "platform/file_system.h"

namespace hs {

// The data directory, relative to the working directory.
extern const char* const kDataDir;

// "data\<name>.data", "data\<name>.content", "data\<name>.middle".
std::string recordFilePath(const std::string& name);
std::string contentFilePath(const std::string& name);
std::string middleFilePath(const std::string& name);

// Fills an empty catalogue from the record files of the data directory, in
// the order the platform lists them, unscrambles credentials, then calls
// showRow(slot) for every loaded slot in slot order. Never fails as a whole.
void loadCatalogue(DocumentCatalogue& catalogue, FileSystem& fs,
                   const std::function<void(std::size_t slot)>& showRow);

// Writes one record (credentials in stored form when useAccount is 1) to the
// record file named after its name. Returns false when the file could not be
// written; nothing is reported to the user.
bool writeRecordFile(const DocumentRecord& record);
bool writeRecordFile(const DocumentRecord& record, FileSystem& fs);

// Writes the record of a slot as it is at this moment.
bool writeRecord(DocumentCatalogue& catalogue, std::size_t slot);

// Every used slot, in slot order; Retrieving is stored as WaitingForRetrieve
// (also in memory).
void saveCatalogue(DocumentCatalogue& catalogue);

// Deletes every "*.tmp" file of the data directory.
void deleteTempFiles(FileSystem& fs);

}  // namespace hs
