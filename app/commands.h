// The user's commands on the catalogue and on the selected rows of the
// document list: check, select, set "Not changed", delete, and storing the
// record a dialog produced (add, duplicate, edit). The Win32 view turns menu
// commands into these calls; the dialogs themselves are the caller's.
//
// All commands run on the user-interface thread. They find a row's record by
// its text (DocumentList::recordOfRow), refresh rows from records, and ask
// for retrievals only by marking records WaitingForRetrieve and calling
// startCheckWorker; they never wait for a worker.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/record.h"
#include "open/open_document.h"
#include "listview/document_list.h"
#include "platform/file_system.h"

namespace hs {

// The message boxes the commands show (caption: the application title).
class CommandHost {
public:
    virtual ~CommandHost() = default;
    // Information icon, OK button.
    virtual void showInformation(const std::string& text) = 0;
    // Exclamation icon, OK button.
    virtual void showWarning(const std::string& text) = 0;
    // Question icon, Yes and No buttons, Yes the default; true only for Yes.
    virtual bool askYesNo(const std::string& text) = 0;
    // Stop icon, OK button.
    virtual void showError(const std::string& text) = 0;
};

struct CommandContext {
    DocumentCatalogue& catalogue;
    DocumentList& list;
    CommandHost& host;
    FileSystem& files;
    // Starts one more check worker and returns at once.
    std::function<void()> startCheckWorker;
};

// The texts the commands show.
extern const char* const kSelectOneToEditText;
extern const char* const kSelectOneToDuplicateText;
extern const char* const kSelectToDeleteText;
extern const char* const kConfirmDeleteText;
extern const char* const kSelectToCheckText;
extern const char* const kSelectText;
extern const char* const kNotRetrievedText;
extern const char* const kCannotOpenDocumentText;
extern const char* const kSaveFailedText;

// Which records a marking for retrieval passes over.
enum MarkRule {
    SkipBusyAndChanged,  // "Check !": leaves Retrieving, Changed, WaitingForRetrieve
    SkipChanged,         // "Check All !" and the timed checks: leaves Changed only
};

// Puts a used slot into WaitingForRetrieve unless the rule says to leave it;
// the test and the change are one step under the catalogue lock, so a
// worker's outcome landing in between is never overwritten. A slot that a
// worker holds right now is flagged to be retrieved again. Returns true when
// the slot was marked.
bool markForRetrieval(DocumentCatalogue& catalogue, std::size_t slot, MarkRule rule);

// "&Check !": marks the selected rows' records that are not Retrieving,
// Changed or WaitingForRetrieve, refreshes their rows, starts a worker
// (also when nothing was marked). No selection: a message, nothing else.
void checkSelected(CommandContext& ctx);

// The marking of "Check All !" without starting a worker (the start-up
// check): every used slot not in Changed that has a row is marked and its
// row refreshed. Returns the number of slots marked.
std::size_t markAllDocuments(DocumentCatalogue& catalogue, DocumentList& list);

// "Chec&k All !" and the periodic check: markAllDocuments, then a worker.
void checkAllDocuments(CommandContext& ctx);

// "&Select All" (true) and "&Deselect All" (false): only the selected state
// of every row changes.
void setSelectionOfAll(DocumentList& list, bool select);

// "Set as '&Not changed' status": selected rows' records to NotChanged, and
// their kept content acknowledged (the version "What changed" compares
// with). No selection: a message, nothing else.
void setSelectedNotChanged(CommandContext& ctx);

// "Set all as 'Not changed' stat&us": every row's record to NotChanged, its
// kept content acknowledged.
void setAllNotChanged(CommandContext& ctx);

// "Dele&te": after a Yes to the confirmation, walks the rows from the last to
// the first; each selected row whose text matches a slot is removed, the
// slot is cleared and its record, content and middle files are deleted
// (failures passed over). Rows matching no slot stay. Nothing is written and
// no worker is started. Returns the number of documents deleted.
std::size_t deleteSelected(CommandContext& ctx);

// Stores a completed record (Add, Duplicate) into a slot obtained from
// findFreeSlot: copies it whole, inserts its row at the position equal to
// the slot index, writes its record file and starts a worker. Refuses (false,
// nothing changed) a missing slot, a slot in use and a record without name.
bool storeNewRecord(CommandContext& ctx, std::size_t slot, const Document& pending);

// The row and slot an Edit works on: exactly one selected row whose text
// matches a slot. With another number of selected rows the message "Please
// select one document data to edit." is shown. False when there is nothing
// to edit.
bool findEditTarget(CommandContext& ctx, int& row, long& slot);

// The OK of Edit: copies the record over the slot, deletes the record and
// content files of the slot's previous name (the middle file stays), refreshes
// `row` (or, if that row no longer shows the document, the document's row),
// writes the record file under the new name and starts a worker. Refuses a
// free or missing slot and a record without name.
bool applyEdit(CommandContext& ctx, int row, std::size_t slot, const Document& pending);

// What Duplicate works on: with exactly one selected row, obtains the slot
// for the copy (findFreeSlot) and the source slot of the selected row. With
// another number of selected rows the message "Please select one document
// data to duplicate." is shown. False when there is nothing to duplicate; a
// slot appended for the copy then stays free. The copy is stored later with
// storeNewRecord.
bool findDuplicateTarget(CommandContext& ctx, std::size_t& copySlot, long& sourceSlot);

// Opens one document (openDocument with the program's browser and launcher).
using DocumentOpener = std::function<OpenResult(const Document&)>;

// Opens the document of `row`. Interactive: a document without kept content
// or without a usable location, or one the shell would not open, says so in
// a message box; otherwise nothing is shown. A row that matches no slot does nothing.
void openRow(CommandContext& ctx, int row, bool interactive, const DocumentOpener& open);

// "&Open..": every selected row in row order, interactively when exactly one
// row is selected (so with several, the rows that cannot be opened are
// passed over in silence). No selection: a message, nothing else.
void openSelected(CommandContext& ctx, const DocumentOpener& open);

// The common start of "Vie&w document header.." and "Sa&ve document as..":
// exactly one selected row whose text matches a slot (anything else does
// nothing, in silence), and a record that has kept content. A record that is
// Retrieving, UnableToRetrieve or WaitingForRetrieve is refused with the
// "not retrieved" message. On success `name` is the document's name, by which
// its files are read (DocumentFiles).
bool findKeptContentTarget(CommandContext& ctx, std::string& name);

}  // namespace hs
