// The catalogue of documents: an ordered sequence of slots, each holding one
// Document. Slots never move while the program runs, so a slot index
// names a record from its storing until its deletion.
//
// The catalogue is shared by the window thread and the check workers. Every
// access goes through one mutex; callers either take copies (record(),
// status(), ...) or run a short function with the lock held (withSlot,
// locked). Nobody holds the lock across a retrieval.
//
// Each slot also carries bookkeeping that is not part of the record bytes:
// a generation number that changes whenever the slot is stored or cleared
// (so a worker can tell that the document it retrieved is gone or was
// replaced), and the worker's hold on the slot while it retrieves.
//
// A second lock, the document files lock, keeps a document's files in the
// data directory in step with its slot (see lockDocumentFiles). File work
// happens under that lock only, never under the catalogue lock, which the
// window thread takes for every row it draws.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "catalogue/record.h"

namespace hs {

// The status a record file holds when the program does not know it.
constexpr int32_t kStatusNotStored = -1;

struct SlotState {
    uint64_t generation = 0;  // changes on every store and clear
    bool held = false;        // a worker is retrieving this slot now
    bool remarked = false;    // marked for retrieval again while held
    // The status the record file got at its last write by this program, or
    // had when it was loaded; kStatusNotStored when unknown. A commit whose
    // new status differs from it writes the record file.
    int32_t storedStatus = kStatusNotStored;
    // The markers-missing message was shown for this document; it is not
    // shown again until the slot is stored anew or the markers are found.
    bool markersReported = false;
    // recordFingerprint of what the record file got at that write (or holds
    // when loaded, if exactly that); 0 when unknown. The shutdown save writes only records
    // whose fingerprint differs.
    uint64_t storedFingerprint = 0;
};

class DocumentCatalogue {
public:
    DocumentCatalogue();
    ~DocumentCatalogue();
    DocumentCatalogue(const DocumentCatalogue&) = delete;
    DocumentCatalogue& operator=(const DocumentCatalogue&) = delete;

    std::size_t slotCount() const { return count_.load(std::memory_order_acquire); }

    // Copies; a slot beyond the end reads as a free (zero) slot.
    Document record(std::size_t slot) const;
    std::string name(std::size_t slot) const;
    bool isUsed(std::size_t slot) const;
    int32_t status(std::size_t slot) const;
    uint64_t generation(std::size_t slot) const;

    // Sets the status of a used slot; does nothing for a free or missing one.
    void setStatus(std::size_t slot, int32_t status);

    // Returns the index of the first free slot, appending a zero slot when
    // every slot is used. Window thread only.
    std::size_t findFreeSlot();

    // Copies a whole record into a slot (which must exist) and gives the
    // slot a new generation; its record file counts as not written yet.
    void storeRecord(std::size_t slot, const Document& record);

    // Sets all bytes of the slot to zero and gives it a new generation.
    void clearSlot(std::size_t slot);

    // Appends a record as the next slot and returns its index (loading: the
    // record is what its record file holds).
    std::size_t appendRecord(const Document& record);

    // The first used slot whose name equals `name` byte for byte, or -1.
    long firstSlotNamed(const std::string& name) const;

    // Runs fn(Document&, SlotState&) with the catalogue locked. A name
    // changed inside fn is re-indexed afterwards. Keep fn short.
    template <class Fn>
    decltype(auto) withSlot(std::size_t slot, Fn&& fn) {
        std::unique_lock<std::mutex> lock(mutex_);
        Owner owner(*this);
        Slot& s = slotRef(slot);
        NameGuard guard(*this, slot, s);
        return fn(s.record, s.state);
    }

    // Runs fn() with the catalogue locked; inside, recordLocked and
    // stateLocked give direct access. Names must not be changed this way.
    template <class Fn>
    decltype(auto) locked(Fn&& fn) {
        std::unique_lock<std::mutex> lock(mutex_);
        Owner owner(*this);
        return fn();
    }
    Document& recordLocked(std::size_t slot) { return slotRef(slot).record; }
    SlotState& stateLocked(std::size_t slot) { return slotRef(slot).state; }

    // Waits, with the catalogue locked, until pred() holds; released slots
    // and other hand-overs call notifyAll().
    template <class Pred>
    void waitFor(Pred pred) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] {
            Owner owner(*this);
            return pred();
        });
    }
    void notifyAll() { changed_.notify_all(); }

    // Whether the calling thread runs inside locked(), withSlot() or
    // waitFor() now, i.e. holds the catalogue lock with its own code running.
    bool lockedByThisThread() const {
        return lockedBy_.load(std::memory_order_relaxed) == std::this_thread::get_id();
    }

    // The document files lock. Held around each step that changes a
    // document's files in the data directory together with the slot check or
    // change that decides whose files they are: a worker's commit (confirm
    // the slot's generation, write the record file, move the staged files,
    // land the status), deleting, editing or adding a document (clear or
    // store the slot, remove or write its files), and every other write of a
    // record file (the shutdown save). While it is held, the generation of a used
    // slot does not change. Take it first; the catalogue lock may be taken
    // inside it, never the other way round.
    std::unique_lock<std::mutex> lockDocumentFiles() {
        return std::unique_lock<std::mutex>(filesMutex_);
    }

private:
    struct Slot {
        Document record;
        SlotState state;
    };

    // Slots live in segments that are never moved or freed while the
    // catalogue lives; segment k holds kFirstSegment << k slots, at most
    // kLargestSegment (so a large catalogue leaves little room unused).
    static constexpr std::size_t kFirstSegment = 64;
    static constexpr std::size_t kLargestSegment = 1024;
    static constexpr std::size_t kSegments = 4096;

    Slot& slotRef(std::size_t slot);
    const Slot& slotRef(std::size_t slot) const;
    std::size_t appendLocked();
    void indexName(const std::string& name, std::size_t slot);
    void unindexName(const std::string& name, std::size_t slot);

    struct NameGuard {
        NameGuard(DocumentCatalogue& c, std::size_t slot, Slot& s);
        ~NameGuard();
        DocumentCatalogue& cat;
        std::size_t slot;
        Slot& s;
        std::string before;
    };

    // Notes the thread that runs code under the catalogue lock.
    struct Owner {
        explicit Owner(const DocumentCatalogue& c) : cat(c) {
            cat.lockedBy_.store(std::this_thread::get_id(), std::memory_order_relaxed);
        }
        ~Owner() { cat.lockedBy_.store(std::thread::id(), std::memory_order_relaxed); }
        const DocumentCatalogue& cat;
    };

    mutable std::mutex mutex_;
    std::mutex filesMutex_;
    mutable std::atomic<std::thread::id> lockedBy_{};
    std::condition_variable changed_;
    std::atomic<std::size_t> count_{0};
    Slot* segments_[kSegments] = {};
    // The slots of each name, in slot order (nearly always one).
    std::map<std::string, std::vector<std::size_t>> byName_;
};

}  // namespace hs
