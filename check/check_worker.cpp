// The check worker and the status cycle of a retrieval.
//
// A check runs in three steps: the document's retrieval path fetches the new
// content (retrieval.h), the document's comparison rule decides and stages
// what is to be kept (compare_rules.h), and the worker commits the outcome.
// Only the commit touches the kept files and the record.
//
// How workers, commands and the catalogue stay out of each other's way
// --------------------------------------------------------------------
// The check engine (check_engine.h) runs checkDocument on up to
// kMaxRetrievals threads at once, and the window thread edits,
// deletes, marks and resets records while they do. All record access goes
// through the catalogue lock, in short steps that do no file work; no lock
// is held while a document is fetched or compared, and no reference into the
// catalogue is kept across a retrieval (the worker works on a copy of the
// record).
//
// 1. One retrieval per document at a time. A worker claims a slot in one
//    locked step: the slot must be in use, WaitingForRetrieve and not held;
//    the worker then sets Retrieving and `held`, and copies the record and
//    its generation. A worker that finds a waiting slot held by another one
//    does not wait for it: it sets `remarked` and goes on. Commands that mark
//    a held slot (markForRetrieval) set `remarked` too, and setting a record
//    to NotChanged clears it again.
//    When the holder lands its outcome, in one locked step, it looks at the
//    mark: a slot that is `remarked`, or WaitingForRetrieve, was asked for
//    again during the retrieval. Unless the outcome is Changed (a changed
//    document is never marked again), the holder claims it again at once and
//    retrieves it once more. So a request made during a retrieval is never
//    lost, never served by two workers at the same time, and never makes
//    anybody wait. Because the hand-over is decided under the lock, a second
//    worker either sees the slot held (and the holder will see the mark) or
//    sees it released (and claims it itself).
//
// 2. Deleted or replaced documents. clearSlot and storeRecord give the slot
//    a new generation. Fetching and deciding write only staged files
//    (temporary files in "data"). The commit holds the document files lock
//    (DocumentCatalogue::lockDocumentFiles) throughout and, inside it:
//    confirms in a short catalogue step that the generation is still the one
//    claimed; writes the record file and moves the staged files over the
//    kept ones (keepOutcome; the kept content they replace becomes an
//    earlier version, document_files.h), with only the files lock held; lands status,
//    count and lastCheck in a second short catalogue step. Delete and edit
//    hold the same lock around "clear or store the slot, remove the files",
//    so between the confirmation and the landing no slot change can come in:
//    a commit either finishes before the command clears the slot (and the
//    command then removes the files it moved), or confirms afterwards, finds
//    the new generation and drops its outcome, deleting its staged files. No
//    file of another document is written and a deleted record is not brought
//    back. `held` survives the replacement, so an edited record (staged
//    WaitingForRetrieve) that other workers passed over is retrieved by the
//    holder right after it drops the old outcome.
//
//    Every record file is written under the files lock (commits, commands,
//    the shutdown save), from the record's state at that moment: one writer
//    per record file, and the newest state is the one that stays. A commit
//    writes the record file before it replaces kept files, whenever the
//    status, the kept content or the count changes, so an outcome is on
//    disk as soon as it is found, not only at an orderly exit.
//
// 3. Notifications. The sound, the blink, documentChanged and the
//    markers-missing message follow only a commit that landed, after the
//    files lock is released; a document deleted or edited during its check
//    never rings. The host passes them to the window thread and returns at
//    once. The markers-missing message comes once per stored document until
//    its markers are found (SlotState::markersReported).
//
// 4. Cancellation. Once the cancel token given to checkDocument is
//    cancelled (the program is ending), the outcome of the retrieval that
//    was running is dropped with its staged files; the record stays
//    Retrieving, which the shutdown save stores as WaitingForRetrieve.
//
// Lock order: the files lock first, the catalogue lock inside it. The
// engine's threads are ended and joined at exit. The window thread only waits for
// the short catalogue steps above, and for the files lock only when it
// deletes, edits, adds or saves documents or reads a kept content. Every
// host call is made without a lock.
#include "check/check_worker.h"

#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "catalogue/document_files.h"
#include "catalogue/store.h"
#include "compare/compare_rules.h"

namespace hs {

namespace {

struct Claim {
    Document record;
    uint64_t generation = 0;
};

// With the lock held: takes the slot for retrieval if it is waiting and free.
bool claimLocked(DocumentCatalogue& catalogue, std::size_t slot, Claim& claim) {
    Document& r = catalogue.recordLocked(slot);
    SlotState& state = catalogue.stateLocked(slot);
    if (r.name[0] == '\0' || r.status != WaitingForRetrieve) return false;
    if (state.held) {
        state.remarked = true;  // the holder retrieves it again
        return false;
    }
    r.status = Retrieving;
    state.held = true;
    state.remarked = false;
    claim.record = r;
    claim.generation = state.generation;
    return true;
}

template <class Call>
void tellHost(Call&& call) {
    try {
        call();
    } catch (...) {
        // A host that cannot pass a notification on loses it.
    }
}

void tellHost(CheckHost& host, std::size_t slot) {
    tellHost([&] { host.recordChanged(slot); });
}

// Fetches by the record's type and applies its comparison rule.
RetrievalOutcome retrieve(const Document& record, FileSystem& files,
                          const RetrievalPaths& paths) {
    const RetrievalPath* path = nullptr;
    switch (record.type) {
        case HtmlPage: path = &paths.htmlPage; break;
        case WebFile: path = &paths.webFile; break;
        case FtpFile: path = &paths.ftpFile; break;
        case LocalFile: path = &paths.localFile; break;
        default: return RetrievalOutcome{};  // nothing retrieved; stays Retrieving
    }
    if (!*path) return RetrievalOutcome::withStatus(UnableToRetrieve);
    RetrievalContext ctx{files};
    try {
        Fetched fetched = (*path)(record, ctx);
        return decide(record, fetched, files);
    } catch (...) {
        return RetrievalOutcome::withStatus(UnableToRetrieve);
    }
}

void land(Document& r, const RetrievalOutcome& outcome, const std::string& stamp) {
    if (outcome.status) r.status = *outcome.status;
    if (outcome.countResult) r.countResult = *outcome.countResult;
    setField(r.lastCheck, stamp);
}

// With the files lock held and the generation confirmed: makes the outcome
// of `record` (the slot's record now) last. The record file is written
// whenever it would otherwise say something that matters falsely: a new
// status, new kept content, a new count; an outcome that only renews the
// last-check text waits for the next write. The record file goes first and
// the kept files follow, so a process that dies in between leaves a record
// that announces the change (found again at the next check) rather than new
// kept content behind a record that does not: a change is never lost. When
// the record file cannot be written, nothing is kept and the outcome becomes
// UnableToRetrieve. Returns the status written, if any.
std::optional<int32_t> keepOutcome(const Document& record, RetrievalOutcome& outcome,
                                   const std::string& stamp, int32_t stored, FileSystem& files) {
    const bool keepsFiles = !outcome.content.staged.empty() || !outcome.middle.staged.empty() ||
                            outcome.countResult.has_value();
    if (!keepsFiles && (!outcome.status || *outcome.status == stored)) return std::nullopt;

    Document next = record;
    land(next, outcome, stamp);
    const DocumentFiles::Kept kept = DocumentFiles(files).keep(
        [&] { return writeRecordFile(files, next); }, outcome.content, outcome.middle);
    if (kept == DocumentFiles::Kept::RecordNotWritten) {
        if (keepsFiles) {
            outcome.status = UnableToRetrieve;
            outcome.countResult.reset();
        }
        return std::nullopt;  // the staged files are discarded by the caller
    }
    std::optional<int32_t> written = next.status;
    if (kept == DocumentFiles::Kept::ContentNotKept) {
        // The kept state stays as it was as a whole (no middle file, no
        // count); the staged files are discarded by the caller.
        outcome.status = UnableToRetrieve;
        outcome.countResult.reset();
        next = record;
        land(next, outcome, stamp);
        if (writeRecordFile(files, next)) written = next.status;
    }
    return written;
}

// After a landed outcome: whether the markers-missing message is due. It is
// shown once until the slot is stored anew or the markers are found again.
bool markersMessageDue(DocumentCatalogue& catalogue, std::size_t slot, uint64_t generation,
                       const RetrievalOutcome& outcome) {
    return catalogue.locked([&] {
        SlotState& state = catalogue.stateLocked(slot);
        if (state.generation != generation) return false;
        if (!outcome.markersMissing) {
            if (outcome.status && *outcome.status != UnableToRetrieve) state.markersReported = false;
            return false;
        }
        if (state.markersReported) return false;
        state.markersReported = true;
        return true;
    });
}

void notifyHost(CheckHost& host, const RetrievalOutcome& outcome, const Document& landed, bool markersDue) {
    if (outcome.changed) {
        tellHost([&] { host.playChangeSound(); });
        tellHost([&] { host.startChangeBlink(); });
        if (outcome.status == Changed) tellHost([&] { host.documentChanged(landed); });
    }
    if (markersDue) tellHost([&] { host.middleMarkersMissing(landed); });
}

// A retrieval cut short by the end of the program: nothing of it lands. The
// record stays Retrieving (stored as WaitingForRetrieve) and is retrieved
// at the next start.
void dropCancelled(DocumentCatalogue& catalogue, std::size_t slot, RetrievalOutcome& outcome, FileSystem& files) {
    catalogue.locked([&] {
        catalogue.stateLocked(slot).held = false;
        catalogue.stateLocked(slot).remarked = false;
        return 0;
    });
    catalogue.notifyAll();
    discardStaged(files, outcome.content);
    discardStaged(files, outcome.middle);
}

}  // namespace

std::size_t checkDocument(DocumentCatalogue& catalogue, std::size_t slot, CheckHost& host,
                          FileSystem& files, const RetrievalPaths& paths, const CancelToken* cancel) {
    if (slot >= catalogue.slotCount()) return 0;
    Claim claim;
    if (!catalogue.locked([&] { return claimLocked(catalogue, slot, claim); })) return 0;

    std::size_t retrievals = 0;
    bool holding = true;
    try {
        while (holding) {
            tellHost(host, slot);  // the row reads "Retrieving..."
            RetrievalOutcome outcome = retrieve(claim.record, files, paths);
            ++retrievals;
            if (cancel != nullptr && cancel->cancelled()) {
                holding = false;
                dropCancelled(catalogue, slot, outcome, files);
                break;
            }
            const uint64_t claimed = claim.generation;
            std::string stamp;
            try {
                stamp = host.lastCheckText();
            } catch (...) {
            }

            bool landed = false;
            Document record;
            {
                const auto filesLock = catalogue.lockDocumentFiles();
                int32_t stored = kStatusNotStored;
                const bool same = catalogue.locked([&] {
                    const Document& r = catalogue.recordLocked(slot);
                    const SlotState& state = catalogue.stateLocked(slot);
                    if (state.generation != claim.generation || r.name[0] == '\0') return false;
                    record = r;
                    stored = state.storedStatus;
                    return true;
                });
                std::optional<int32_t> written;
                if (same) written = keepOutcome(record, outcome, stamp, stored, files);
                holding = catalogue.locked([&] {
                    Document& r = catalogue.recordLocked(slot);
                    SlotState& state = catalogue.stateLocked(slot);
                    landed = same && state.generation == claim.generation;
                    const bool askedAgain = state.remarked || r.status == WaitingForRetrieve;
                    if (landed) {
                        land(r, outcome, stamp);
                        record = r;
                        if (written) {
                            state.storedStatus = *written;
                            state.storedFingerprint = recordFingerprint(r);
                        }
                    }
                    state.held = false;
                    state.remarked = false;
                    const bool again = landed ? askedAgain && r.status != Changed
                                              : r.name[0] != '\0' && r.status == WaitingForRetrieve;
                    if (!again) return false;
                    r.status = WaitingForRetrieve;
                    return claimLocked(catalogue, slot, claim);
                });
            }
            catalogue.notifyAll();
            // Whatever was not moved into place belongs to no document.
            discardStaged(files, outcome.content);
            discardStaged(files, outcome.middle);
            if (landed) notifyHost(host, outcome, record, markersMessageDue(catalogue, slot, claimed, outcome));
            tellHost(host, slot);  // the row shows the outcome (or the next retrieval)
        }
    } catch (...) {
        // Never leave a slot held: a held slot would be passed over forever.
        if (holding) {
            catalogue.locked([&] {
                SlotState& state = catalogue.stateLocked(slot);
                Document& r = catalogue.recordLocked(slot);
                if (state.generation == claim.generation && r.status == Retrieving) {
                    r.status = UnableToRetrieve;
                }
                state.held = false;
                return 0;
            });
            catalogue.notifyAll();
            tellHost(host, slot);
        }
    }
    return retrievals;
}

std::size_t runCheckPass(DocumentCatalogue& catalogue, CheckHost& host, FileSystem& files,
                         const RetrievalPaths& paths) {
    std::size_t retrievals = 0;
    // slotCount() is read afresh each time: the catalogue may grow meanwhile.
    for (std::size_t slot = 0; slot < catalogue.slotCount(); ++slot) {
        retrievals += checkDocument(catalogue, slot, host, files, paths);
    }
    return retrievals;
}

std::string formatLastCheck(const std::tm& local) {
    char text[kTextFieldSize] = {};
    std::snprintf(text, sizeof text, "%02lld/%02d/%02d [%02d:%02d:%02d]",
                  static_cast<long long>(local.tm_year) + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

std::string currentLastCheckText() {
    // std::localtime shares one result buffer; the lock keeps the workers'
    // calls apart.
    static std::mutex mutex;
    const std::time_t now = std::time(nullptr);
    std::lock_guard<std::mutex> lock(mutex);
    const std::tm* local = std::localtime(&now);
    if (!local) return std::string();
    return formatLastCheck(*local);
}

}  // namespace hs
