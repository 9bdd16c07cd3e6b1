#include "app/commands.h"

#include <vector>

#include "catalogue/document_files.h"
#include "catalogue/store.h"

namespace hs {

const char* const kSelectOneToEditText = "Please select one document data to edit.";
const char* const kSelectOneToDuplicateText = "Please select one document data to duplicate.";
const char* const kSelectToDeleteText = "Please select the document data to delete.";
const char* const kConfirmDeleteText = "Are you sure to delete the selected data ?";
const char* const kSelectToCheckText = "Please select the document data to check.";
const char* const kSelectText = "Please select the document data.";
const char* const kNotRetrievedText =
    "Selected document is not retrieved. Please press Check! button to retrieve.";
const char* const kCannotOpenDocumentText = "Cannot open the selected document.";
const char* const kSaveFailedText =
    "The document could not be saved. Please check that the target folder can be written to and has free "
    "space.";

namespace {

void startWorker(CommandContext& ctx) {
    if (ctx.startCheckWorker) ctx.startCheckWorker();
}

// Sets a used slot to NotChanged whatever it was. A pending second retrieval
// requested while a worker held the slot is dropped with it: a record set to
// NotChanged before a worker reaches it is not retrieved.
bool setNotChanged(DocumentCatalogue& catalogue, std::size_t slot) {
    if (slot >= catalogue.slotCount()) return false;
    return catalogue.locked([&] {
        Document& r = catalogue.recordLocked(slot);
        if (r.name[0] == '\0') return false;
        r.status = NotChanged;
        catalogue.stateLocked(slot).remarked = false;
        return true;
    });
}

// "Set as 'Not changed'": the kept content becomes the acknowledged one, and
// the record NotChanged, in one step under the document files lock, so a
// check that commits a new content in between cannot have it acknowledged
// unseen. A document whose kept content is already acknowledged has its
// history left as it is.
bool acknowledge(CommandContext& ctx, std::size_t slot) {
    if (slot >= ctx.catalogue.slotCount()) return false;
    auto lock = ctx.catalogue.lockDocumentFiles();
    const std::string name = ctx.catalogue.name(slot);
    DocumentFiles files(ctx.files);
    uint32_t seq = kCurrentVersion;
    if (!name.empty() && !(files.baselineOf(name, seq) && seq == kCurrentVersion)) files.acknowledgeCurrent(name);
    return setNotChanged(ctx.catalogue, slot);
}

}  // namespace

bool markForRetrieval(DocumentCatalogue& catalogue, std::size_t slot, MarkRule rule) {
    if (slot >= catalogue.slotCount()) return false;
    const bool marked = catalogue.locked([&] {
        Document& r = catalogue.recordLocked(slot);
        if (r.name[0] == '\0') return false;
        const int32_t status = r.status;
        if (status == Changed) return false;
        if (rule == SkipBusyAndChanged && (status == Retrieving || status == WaitingForRetrieve)) {
            return false;
        }
        r.status = WaitingForRetrieve;
        SlotState& state = catalogue.stateLocked(slot);
        if (state.held) state.remarked = true;
        return true;
    });
    if (marked) catalogue.notifyAll();
    return marked;
}

void checkSelected(CommandContext& ctx) {
    if (ctx.list.selectedCount() == 0) {
        ctx.host.showInformation(kSelectToCheckText);
        return;
    }
    for (int row : ctx.list.selectedRows()) {
        const long slot = ctx.list.recordOfRow(row);
        if (slot < 0) continue;
        if (markForRetrieval(ctx.catalogue, static_cast<std::size_t>(slot), SkipBusyAndChanged)) {
            ctx.list.showRecordRow(slot, row, RefreshRow);
        }
    }
    startWorker(ctx);
}

std::size_t markAllDocuments(DocumentCatalogue& catalogue, DocumentList& list) {
    std::size_t marked = 0;
    const std::size_t slots = catalogue.slotCount();
    for (std::size_t slot = 0; slot < slots; ++slot) {
        const long s = static_cast<long>(slot);
        const int row = list.rowOfRecord(s);  // free slots have no row
        if (row < 0) continue;
        if (markForRetrieval(catalogue, slot, SkipChanged)) {
            list.showRecordRow(s, row, RefreshRow);
            ++marked;
        }
    }
    return marked;
}

void checkAllDocuments(CommandContext& ctx) {
    markAllDocuments(ctx.catalogue, ctx.list);
    startWorker(ctx);
}

void setSelectionOfAll(DocumentList& list, bool select) { list.setSelectionOfAll(select); }

void setSelectedNotChanged(CommandContext& ctx) {
    if (ctx.list.selectedCount() == 0) {
        ctx.host.showInformation(kSelectText);
        return;
    }
    for (int row : ctx.list.selectedRows()) {
        const long slot = ctx.list.recordOfRow(row);
        if (slot < 0) continue;
        if (acknowledge(ctx, static_cast<std::size_t>(slot))) {
            ctx.list.showRecordRow(slot, row, RefreshRow);
        }
    }
}

void setAllNotChanged(CommandContext& ctx) {
    const int rows = ctx.list.rowCount();
    for (int row = 0; row < rows; ++row) {
        const long slot = ctx.list.recordOfRow(row);
        if (slot < 0) continue;
        if (acknowledge(ctx, static_cast<std::size_t>(slot))) {
            ctx.list.showRecordRow(slot, row, RefreshRow);
        }
    }
}

std::size_t deleteSelected(CommandContext& ctx) {
    if (ctx.list.selectedCount() == 0) {
        ctx.host.showInformation(kSelectToDeleteText);
        return 0;
    }
    if (!ctx.host.askYesNo(kConfirmDeleteText)) return 0;

    // Removing a row leaves the indexes of the rows above it alone, so the
    // selection taken now stays valid while walking it from the end.
    const std::vector<int> selected = ctx.list.selectedRows();
    std::size_t deleted = 0;
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        const int row = *it;
        const long slot = ctx.list.recordOfRow(row);
        if (slot < 0) continue;  // a row matching no slot stays
        const std::string name = ctx.catalogue.name(static_cast<std::size_t>(slot));
        ctx.list.deleteRow(row);
        // The slot is cleared before its files go, both under the document
        // files lock: a worker still retrieving the document then finds the
        // slot's generation changed and drops its outcome instead of writing
        // a content file after the deletion.
        const auto filesLock = ctx.catalogue.lockDocumentFiles();
        ctx.catalogue.clearSlot(static_cast<std::size_t>(slot));
        DocumentFiles(ctx.files).removeAll(name);
        ++deleted;
    }
    return deleted;
}

bool storeNewRecord(CommandContext& ctx, std::size_t slot, const Document& pending) {
    // Storing into a used slot would overwrite another document, and a
    // record without name would leave a free slot behind a row.
    if (pending.name[0] == '\0') return false;
    if (slot >= ctx.catalogue.slotCount() || ctx.catalogue.isUsed(slot)) return false;
    ctx.catalogue.storeRecord(slot, pending);
    ctx.list.showRecordRow(static_cast<long>(slot), static_cast<int>(slot), InsertRow);
    {
        const auto filesLock = ctx.catalogue.lockDocumentFiles();
        writeRecord(ctx.catalogue, ctx.files, slot);
    }
    startWorker(ctx);
    return true;
}

bool findEditTarget(CommandContext& ctx, int& row, long& slot) {
    row = -1;
    slot = -1;
    if (ctx.list.selectedCount() != 1) {
        ctx.host.showInformation(kSelectOneToEditText);
        return false;
    }
    row = ctx.list.nextSelectedRow(-1);
    slot = ctx.list.recordOfRow(row);
    return slot >= 0;
}

bool applyEdit(CommandContext& ctx, int row, std::size_t slot, const Document& pending) {
    if (pending.name[0] == '\0') return false;
    const std::string oldName = ctx.catalogue.name(slot);
    if (oldName.empty()) return false;

    // The row chosen when the dialog opened should still show the document;
    // if it does not, the document's own row is refreshed instead.
    if (ctx.list.recordOfRow(row) != static_cast<long>(slot)) {
        row = ctx.list.rowOfRecord(static_cast<long>(slot));
    }

    // The record is replaced before the old files go, for the same reason
    // as in deleteSelected: a retrieval of the old record that ends now is
    // dropped and cannot bring a content file back.
    {
        const auto filesLock = ctx.catalogue.lockDocumentFiles();
        ctx.catalogue.storeRecord(slot, pending);
        DocumentFiles(ctx.files).removeForEdit(oldName, fieldText(pending.name));
        writeRecord(ctx.catalogue, ctx.files, slot);
    }
    if (row >= 0) ctx.list.showRecordRow(static_cast<long>(slot), row, RefreshRow);
    startWorker(ctx);
    return true;
}

bool findDuplicateTarget(CommandContext& ctx, std::size_t& copySlot, long& sourceSlot) {
    sourceSlot = -1;
    if (ctx.list.selectedCount() != 1) {
        ctx.host.showInformation(kSelectOneToDuplicateText);
        return false;
    }
    copySlot = ctx.catalogue.findFreeSlot();
    sourceSlot = ctx.list.recordOfRow(ctx.list.nextSelectedRow(-1));
    return sourceSlot >= 0;
}

void openRow(CommandContext& ctx, int row, bool interactive, const DocumentOpener& open) {
    const long slot = ctx.list.recordOfRow(row);
    if (slot < 0) return;
    const Document record = ctx.catalogue.record(static_cast<std::size_t>(slot));
    const OpenResult result = open(record);
    if (!interactive) return;
    if (result == OpenResult::NotDownloaded) ctx.host.showInformation(kNotDownloadedText);
    if (result == OpenResult::InvalidLocation) ctx.host.showWarning(kInvalidLocationText);
    if (result == OpenResult::Refused) ctx.host.showError(kShellRefusedText);
}

void openSelected(CommandContext& ctx, const DocumentOpener& open) {
    const int selected = ctx.list.selectedCount();
    if (selected == 0) {
        ctx.host.showInformation(kSelectToOpenText);
        return;
    }
    std::vector<int> rows;
    for (int row = ctx.list.nextSelectedRow(-1); row >= 0; row = ctx.list.nextSelectedRow(row)) rows.push_back(row);
    for (int row : rows) openRow(ctx, row, selected == 1, open);
}

bool findKeptContentTarget(CommandContext& ctx, std::string& name) {
    if (ctx.list.selectedCount() != 1) return false;
    const long slot = ctx.list.recordOfRow(ctx.list.nextSelectedRow(-1));
    if (slot < 0) return false;
    const Document record = ctx.catalogue.record(static_cast<std::size_t>(slot));
    if (record.name[0] == '\0') return false;
    switch (record.status) {
        case Retrieving:
        case UnableToRetrieve:
        case WaitingForRetrieve:
            ctx.host.showInformation(kNotRetrievedText);
            return false;
        default:
            break;
    }
    name = record.name;
    return true;
}

}  // namespace hs
