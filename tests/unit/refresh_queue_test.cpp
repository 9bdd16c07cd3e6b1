// Coalesced row refreshes: one wake-up per burst, each slot once, nothing
// lost when workers add while the window thread drains.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

#include "listview/refresh_queue.h"

namespace hs {
namespace {

TEST(SlotRefreshQueue, OneWakeUpPerBurstAndEachSlotOnce) {
    SlotRefreshQueue q;
    EXPECT_TRUE(q.add(7));
    EXPECT_FALSE(q.add(3));
    EXPECT_FALSE(q.add(7));
    EXPECT_EQ(q.drain(), (std::vector<std::size_t>{7, 3}));
    EXPECT_TRUE(q.drain().empty());
    EXPECT_TRUE(q.add(7));  // after a drain the next add wakes again
    q.wakeFailed();
    EXPECT_TRUE(q.add(8));  // a lost wake-up is asked for again
    EXPECT_EQ(q.drain(), (std::vector<std::size_t>{7, 8}));
}

// Workers add while the window thread drains whenever it is woken: every
// slot added is drained, and a slot's last add is never left queued without
// a wake-up.
TEST(SlotRefreshQueue, NothingIsLostUnderConcurrentAdds) {
    SlotRefreshQueue q;
    std::atomic<int> wakeUps{0};
    std::atomic<bool> done{false};
    constexpr std::size_t kPerWorker = 20000;
    auto worker = [&](std::size_t base) {
        for (std::size_t i = 0; i < kPerWorker; ++i) {
            if (q.add(base + i)) wakeUps.fetch_add(1);
        }
    };
    std::set<std::size_t> seen;
    std::thread drainer([&] {
        while (!done.load() || wakeUps.load() > 0) {
            if (wakeUps.load() == 0) {
                std::this_thread::yield();
                continue;
            }
            wakeUps.fetch_sub(1);
            for (std::size_t s : q.drain()) seen.insert(s);
        }
    });
    std::thread a(worker, 0), b(worker, kPerWorker);
    a.join();
    b.join();
    done = true;
    drainer.join();
    EXPECT_EQ(seen.size(), 2 * kPerWorker);
}

}  // namespace
}  // namespace hs
