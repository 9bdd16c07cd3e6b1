#include "catalogue/store.h"

#include "platform/stdio_file.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <utility>
#include <vector>

#include "catalogue/name_rule.h"
#include "catalogue/scramble.h"

namespace hs {

namespace {

// Reads the first kRecordSize bytes of a record file; false when the file
// cannot be opened or is shorter. `longer` tells whether more bytes follow.
bool readRecordFile(const std::string& path, RecordLayout& record, bool& longer) {
    StdioFile f(openForReading(path));
    if (!f.get()) return false;
    if (std::fread(&record, 1, sizeof record, f.get()) != sizeof record) return false;
    longer = std::fgetc(f.get()) != EOF;
    return true;
}

// A damaged or foreign record file may hold a text field without its
// terminator; every reader of a record relies on one, so the last byte of
// each text field is made zero. Records the program writes are unchanged by
// this. The account fields in stored form are left to unscrambling, which
// always terminates them.
void terminateTextFields(RecordLayout& r) {
    char* fields[] = {r.url, r.name, r.lastCheck, r.countString, r.middleStart, r.middleEnd};
    for (char* field : fields) field[kTextFieldSize - 1] = '\0';
    if (r.useAccount != 1) {
        r.userName[kTextFieldSize - 1] = '\0';
        r.password[kTextFieldSize - 1] = '\0';
    }
}

// An empty name marks a free slot; such a file is no document. A name that
// could leave the data directory is no document either.
bool completeLoadedRecord(RecordLayout& layout, Document& record) {
    terminateTextFields(layout);
    if (!hasValidNameCharacters(fieldText(layout.name))) return false;
    if (layout.useAccount == 1) unscrambleCredentials(layout);
    record = documentFromLayout(layout);
    return true;
}

}  // namespace

bool recordFromFileBytes(const void* bytes, std::size_t size, Document& record) {
    RecordLayout layout;
    if (!bytes || size < sizeof layout) return false;
    std::memcpy(&layout, bytes, sizeof layout);
    return completeLoadedRecord(layout, record);
}

void loadCatalogue(DocumentCatalogue& catalogue, FileSystem& fs,
                   const std::function<void(std::size_t slot)>& showRow) {
    std::vector<std::string> paths;
    if (!DocumentFiles(fs).listRecordFiles(paths)) return;

    // Records are completed (unscrambled) before they enter the catalogue,
    // so no other thread can ever see a stored form there.
    // A file that holds exactly the bytes the program would write for its
    // record needs no write at exit; one that is longer, holds a stored form
    // of credentials (which gets new filler) or had to be terminated does.
    std::vector<std::size_t> slots;
    for (const std::string& path : paths) {
        RecordLayout layout;
        Document record;
        bool longer = false;
        if (!readRecordFile(path, layout, longer)) continue;
        const RecordLayout asRead = layout;
        if (!completeLoadedRecord(layout, record)) continue;
        const RecordLayout written = layoutFromDocument(record);
        const bool exact = !longer && record.useAccount != 1 && std::memcmp(&asRead, &written, sizeof written) == 0;
        try {
            slots.push_back(catalogue.appendRecord(record));
            if (!exact) catalogue.withSlot(slots.back(), [](Document&, SlotState& s) { s.storedFingerprint = 0; });
        } catch (const std::exception&) {
            break;  // out of memory: keep what was loaded
        }
    }
    if (showRow) {
        for (std::size_t slot : slots) showRow(slot);
    }
}

// Written into a new temporary file of the data directory that then
// replaces the record file in one step: a failed write (full disk, killed
// process) leaves the previous record file whole instead of a short file
// that the next start would skip, losing the document. A record file that
// exists but could not be opened for writing (read-only) is left alone, as
// writing it in place would.
bool writeRecordFile(FileSystem& fs, const Document& record) {
    const std::string path = DocumentFiles::recordPath(fieldText(record.name));
    if (path.empty()) return false;  // a free slot, or a name with no file
    if (fs.exists(path)) {
        StdioFile existing(path, "r+b");
        if (!existing.get()) return false;
    }

    RecordLayout stored = layoutFromDocument(record);
    if (stored.useAccount == 1) scrambleCredentials(stored);

    const std::string temp = DocumentFiles(fs).newTempFile();
    if (temp.empty()) return false;
    bool ok = false;
    {
        StdioFile f(temp, "wb");
        if (f.get()) {
            ok = std::fwrite(&stored, sizeof stored, 1, f.get()) == 1;
            if (!f.close()) ok = false;
        }
    }
    if (ok) ok = fs.replaceFile(temp, path);
    if (!ok) fs.removeFile(temp);
    return ok;
}

namespace {

// With the document files lock held: writes the slot's record, as
// prepare() leaves it under the catalogue lock, and notes what was written.
// With `onlyChanged`, a record whose file is there and holds its bytes
// already is left alone.
template <class Prepare>
bool writeSlot(DocumentCatalogue& catalogue, FileSystem& fs, std::size_t slot, Prepare prepare,
               bool onlyChanged = false) {
    Document copy;
    uint64_t generation = 0;
    uint64_t fingerprint = 0;
    bool same = false;
    const bool used = catalogue.withSlot(slot, [&](Document& r, SlotState& state) {
        if (r.name[0] == '\0') return false;
        prepare(r);
        fingerprint = recordFingerprint(r);
        same = onlyChanged && fingerprint == state.storedFingerprint;
        copy = r;
        generation = state.generation;
        return true;
    });
    if (same && fs.exists(DocumentFiles::recordPath(copy.name))) return true;
    if (!used || !writeRecordFile(fs, copy)) return false;
    catalogue.withSlot(slot, [&](Document&, SlotState& state) {
        if (state.generation != generation) return;
        state.storedStatus = copy.status;
        state.storedFingerprint = fingerprint;
    });
    return true;
}

}  // namespace

bool writeRecord(DocumentCatalogue& catalogue, FileSystem& fs, std::size_t slot) {
    if (slot >= catalogue.slotCount()) return false;
    return writeSlot(catalogue, fs, slot, [](Document&) {});
}

void saveCatalogue(DocumentCatalogue& catalogue, FileSystem& fs) {
    const std::size_t count = catalogue.slotCount();
    for (std::size_t slot = 0; slot < count; ++slot) {
        const auto filesLock = catalogue.lockDocumentFiles();
        writeSlot(
            catalogue, fs, slot,
            [](Document& r) {
                if (r.status == Retrieving) r.status = WaitingForRetrieve;
            },
            true);
    }
}

}  // namespace hs
