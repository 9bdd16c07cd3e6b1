#include "listview/refresh_queue.h"

namespace hs {

bool SlotRefreshQueue::add(std::size_t slot) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (queued_.insert(slot).second) slots_.push_back(slot);
    if (wakePending_) return false;
    wakePending_ = true;
    return true;
}

void SlotRefreshQueue::wakeFailed() {
    std::lock_guard<std::mutex> lock(mutex_);
    wakePending_ = false;
}

std::vector<std::size_t> SlotRefreshQueue::drain() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::size_t> taken;
    taken.swap(slots_);
    queued_.clear();
    wakePending_ = false;
    return taken;
}

}  // namespace hs
