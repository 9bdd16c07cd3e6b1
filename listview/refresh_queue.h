// Row refreshes asked for by check workers, coalesced for the window thread.
//
// A worker adds the slot whose record changed; only the add that finds no
// wake-up outstanding asks its caller to post one message to the window
// thread. The window thread drains every queued slot at once when that
// message arrives. So the message queue holds at most one such message
// however many documents are checked, a slot queued twice is refreshed once
// (showing its latest state), and no refresh is lost: a slot added after a
// drain began asks for a new wake-up.
#pragma once

#include <cstddef>
#include <mutex>
#include <unordered_set>
#include <vector>

namespace hs {

class SlotRefreshQueue {
public:
    // Queues `slot`; true when the caller must wake the window thread.
    bool add(std::size_t slot);

    // The wake-up could not be delivered: the next add asks again.
    void wakeFailed();

    // Takes every queued slot, in the order they were first queued; the next
    // add asks for a wake-up again.
    std::vector<std::size_t> drain();

private:
    std::mutex mutex_;
    std::vector<std::size_t> slots_;
    std::unordered_set<std::size_t> queued_;
    bool wakePending_ = false;
};

}  // namespace hs
