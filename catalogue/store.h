// The catalogue's record files in the data directory, one per document,
// loaded once at start-up, written after each settled change and once more at
// shutdown. Where they lie is DocumentFiles' (document_files.h) to say.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/document_files.h"
#include "platform/file_system.h"

namespace hs {

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

}  // namespace hs
