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

// "data\<name>.data", "data\<name>.content", "data\<name>.middle". A name
// that fails hasValidNameCharacters (name_rule.h) gives "", which names no
// file: such a name could reach outside "data".
std::string recordFilePath(const std::string& name);
std::string contentFilePath(const std::string& name);
std::string middleFilePath(const std::string& name);

// The record that the first bytes of a record file give, as loading takes
// it: false when fewer than kRecordSize bytes are there, or when the stored
// name is empty or fails hasValidNameCharacters (a name holding "..\", a
// drive or a slash must never become a path). Otherwise the text fields are
// terminated and, when useAccount is 1, the credentials unscrambled.
bool recordFromFileBytes(const void* bytes, std::size_t size, Document& record);

// Fills an empty catalogue from the record files of the data directory, in
// the order the platform lists them, unscrambles credentials, then calls
// showRow(slot) for every loaded slot in slot order. Never fails as a whole.
void loadCatalogue(DocumentCatalogue& catalogue, FileSystem& fs,
                   const std::function<void(std::size_t slot)>& showRow);

// Writes one record (credentials in stored form when useAccount is 1) to the
// record file named after its name. Returns false when the file could not be
// written; nothing is reported to the user.
bool writeRecordFile(FileSystem& fs, const Document& record);

// Writes the record of a slot as it is at this moment and notes the status
// written (SlotState::storedStatus). Record files are written under the
// document files lock only (DocumentCatalogue::lockDocumentFiles), which the
// caller holds: one writer per record file at a time, each writing the
// newest state of its record, so an older state can never replace a newer
// one on disk.
bool writeRecord(DocumentCatalogue& catalogue, FileSystem& fs, std::size_t slot);

// Every used slot whose record file does not hold its bytes yet, in slot
// order; Retrieving is stored as WaitingForRetrieve (also in memory). Takes the document files lock for each record itself.
void saveCatalogue(DocumentCatalogue& catalogue, FileSystem& fs);

// Deletes every "*.tmp" file of the data directory.
void deleteTempFiles(FileSystem& fs);

// Deletes the copies made for opening documents ("QVR*.tmp_*" in the data
// directory), which the programs that showed them may have used until the
// last run ended. A copy still open elsewhere stays until the next time.
void deleteOpenCopies(FileSystem& fs);

}  // namespace hs
