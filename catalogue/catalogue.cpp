#include "catalogue/catalogue.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace hs {

namespace {

// Segment k holds first << k slots and starts at first * (2^k - 1), up to
// segments of `largest` slots; from there on every segment holds `largest`.
struct SlotPosition {
    std::size_t segment;
    std::size_t offset;
};

SlotPosition locate(std::size_t slot, std::size_t first, std::size_t largest) {
    std::size_t k = 0;
    std::size_t start = 0;
    while ((first << k) < largest) {
        if (slot < start + (first << k)) return {k, slot - start};
        start += first << k;
        ++k;
    }
    return {k + (slot - start) / largest, (slot - start) % largest};
}

}  // namespace

DocumentCatalogue::DocumentCatalogue() = default;

DocumentCatalogue::~DocumentCatalogue() {
    for (Slot*& seg : segments_) {
        delete[] seg;
        seg = nullptr;
    }
}

DocumentCatalogue::Slot& DocumentCatalogue::slotRef(std::size_t slot) {
    const SlotPosition p = locate(slot, kFirstSegment, kLargestSegment);
    return segments_[p.segment][p.offset];
}

const DocumentCatalogue::Slot& DocumentCatalogue::slotRef(std::size_t slot) const {
    const SlotPosition p = locate(slot, kFirstSegment, kLargestSegment);
    return segments_[p.segment][p.offset];
}

std::size_t DocumentCatalogue::appendLocked() {
    const std::size_t index = count_.load(std::memory_order_relaxed);
    const SlotPosition p = locate(index, kFirstSegment, kLargestSegment);
    if (p.segment >= kSegments) throw std::length_error("catalogue full");
    if (!segments_[p.segment]) {
        std::size_t size = kFirstSegment;
        for (std::size_t k = 0; k < p.segment && size < kLargestSegment; ++k) size <<= 1;
        Slot* seg = new Slot[size];
        for (std::size_t i = 0; i < size; ++i) {
            seg[i].record = zeroRecord();
        }
        segments_[p.segment] = seg;
    }
    Slot& s = segments_[p.segment][p.offset];
    s.record = zeroRecord();
    s.state = SlotState{};
    count_.store(index + 1, std::memory_order_release);
    return index;
}

Document DocumentCatalogue::record(std::size_t slot) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (slot >= count_.load(std::memory_order_relaxed)) return zeroRecord();
    return slotRef(slot).record;
}

std::string DocumentCatalogue::name(std::size_t slot) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (slot >= count_.load(std::memory_order_relaxed)) return std::string();
    return fieldText(slotRef(slot).record.name);
}

bool DocumentCatalogue::isUsed(std::size_t slot) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (slot >= count_.load(std::memory_order_relaxed)) return false;
    return slotRef(slot).record.name[0] != '\0';
}

int32_t DocumentCatalogue::status(std::size_t slot) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (slot >= count_.load(std::memory_order_relaxed)) return NotChanged;
    return slotRef(slot).record.status;
}

uint64_t DocumentCatalogue::generation(std::size_t slot) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (slot >= count_.load(std::memory_order_relaxed)) return 0;
    return slotRef(slot).state.generation;
}

void DocumentCatalogue::setStatus(std::size_t slot, int32_t status) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (slot >= count_.load(std::memory_order_relaxed)) return;
    Slot& s = slotRef(slot);
    if (s.record.name[0] == '\0') return;
    s.record.status = status;
}

std::size_t DocumentCatalogue::findFreeSlot() {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::size_t n = count_.load(std::memory_order_relaxed);
    for (std::size_t i = 0; i < n; ++i) {
        if (slotRef(i).record.name[0] == '\0') return i;
    }
    return appendLocked();
}

void DocumentCatalogue::storeRecord(std::size_t slot, const Document& record) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (slot >= count_.load(std::memory_order_relaxed)) return;
        Slot& s = slotRef(slot);
        unindexName(fieldText(s.record.name), slot);
        s.record = record;
        s.state.generation++;
        s.state.remarked = false;
        s.state.storedStatus = kStatusNotStored;
        s.state.markersReported = false;
        s.state.storedFingerprint = 0;
        indexName(fieldText(s.record.name), slot);
    }
    changed_.notify_all();
}

void DocumentCatalogue::clearSlot(std::size_t slot) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (slot >= count_.load(std::memory_order_relaxed)) return;
        Slot& s = slotRef(slot);
        unindexName(fieldText(s.record.name), slot);
        s.record = zeroRecord();
        s.state.generation++;
        s.state.remarked = false;
        s.state.storedStatus = kStatusNotStored;
        s.state.markersReported = false;
        s.state.storedFingerprint = 0;
    }
    changed_.notify_all();
}

std::size_t DocumentCatalogue::appendRecord(const Document& record) {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::size_t slot = appendLocked();
    Slot& s = slotRef(slot);
    s.record = record;
    s.state.generation++;
    s.state.storedStatus = record.status;
    s.state.storedFingerprint = recordFingerprint(record);
    indexName(fieldText(s.record.name), slot);
    return slot;
}

long DocumentCatalogue::firstSlotNamed(const std::string& name) const {
    if (name.empty()) return -1;
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = byName_.find(name);
    if (it == byName_.end() || it->second.empty()) return -1;
    return static_cast<long>(*it->second.begin());
}

void DocumentCatalogue::indexName(const std::string& name, std::size_t slot) {
    if (name.empty()) return;
    std::vector<std::size_t>& slots = byName_[name];
    const auto at = std::lower_bound(slots.begin(), slots.end(), slot);
    if (at == slots.end() || *at != slot) slots.insert(at, slot);
}

void DocumentCatalogue::unindexName(const std::string& name, std::size_t slot) {
    if (name.empty()) return;
    auto it = byName_.find(name);
    if (it == byName_.end()) return;
    std::vector<std::size_t>& slots = it->second;
    const auto at = std::lower_bound(slots.begin(), slots.end(), slot);
    if (at != slots.end() && *at == slot) slots.erase(at);
    if (slots.empty()) byName_.erase(it);
}

DocumentCatalogue::NameGuard::NameGuard(DocumentCatalogue& c, std::size_t sl, Slot& sr)
    : cat(c), slot(sl), s(sr), before(fieldText(sr.record.name)) {}

DocumentCatalogue::NameGuard::~NameGuard() {
    std::string after = fieldText(s.record.name);
    if (after != before) {
        cat.unindexName(before, slot);
        cat.indexName(after, slot);
    }
}

}  // namespace hs
