// The check workers' host: a worker's row refresh and blink request reach
// the main frame as posted messages, so the worker never waits for the
// window thread; the blink is asked for only while the window is hidden.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "app/win32/frame_messages.h"
#include "app/win32/win32_check_host.h"
#include "platform/win32/handles.h"
#include "unit/win32/hidden_window.h"

namespace hs {
namespace {

class CheckHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = test::hiddenWindow("host target", WS_OVERLAPPED);
        ASSERT_TRUE(window_);
        host_.setWindow(window_.get());
    }

    // Runs fn on another thread; true when it returned within two seconds
    // while this (the window's) thread handled no message at all.
    template <class Fn>
    bool returnsWithoutTheWindowThread(Fn fn) {
        std::packaged_task<void()> task(fn);
        std::future<void> done = task.get_future();
        std::thread worker(std::move(task));
        const bool returned = done.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
        if (!returned) {
            // Let a blocked SendMessage through before joining.
            MSG m;
            while (done.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
                while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&m);
            }
        }
        worker.join();
        return returned;
    }

    bool takeMessage(UINT message, MSG& out) {
        return ::PeekMessageA(&out, window_.get(), message, message, PM_REMOVE) != FALSE;
    }

    ProgramOptions options_;
    ShellState shell_;
    Win32CheckHost host_{options_, shell_};
    UniqueWindow window_;
};

// However many refreshes a burst holds, one wake-up is posted; the window
// thread then takes every slot once, and the next burst posts again.
TEST_F(CheckHostTest, RefreshesOfABurstShareOnePostedWakeUp) {
    EXPECT_TRUE(returnsWithoutTheWindowThread([this] {
        for (int i = 0; i < 20000; ++i) host_.recordChanged(static_cast<std::size_t>(i % 3 == 0 ? 7 : i));
        host_.recordChanged(0);
    }));
    MSG m{};
    ASSERT_TRUE(takeMessage(kRecordsChangedMessage, m));
    EXPECT_FALSE(takeMessage(kRecordsChangedMessage, m));
    const std::vector<std::size_t> slots = host_.takeChangedSlots();
    EXPECT_EQ(slots.size(), 20000u - 6667u + 1u);
    EXPECT_EQ(slots.front(), 7u);
    host_.recordChanged(7);
    EXPECT_TRUE(takeMessage(kRecordsChangedMessage, m));
}

TEST_F(CheckHostTest, BlinkIsRequestedOnlyWhileHidden) {
    MSG m{};
    shell_.setHiddenInTray(false);
    EXPECT_TRUE(returnsWithoutTheWindowThread([this] { host_.startChangeBlink(); }));
    EXPECT_FALSE(takeMessage(kArmBlinkMessage, m));

    shell_.setHiddenInTray(true);
    EXPECT_TRUE(returnsWithoutTheWindowThread([this] { host_.startChangeBlink(); }));
    EXPECT_TRUE(takeMessage(kArmBlinkMessage, m));
}

TEST_F(CheckHostTest, NoViewWindowIsNoCrash) {
    host_.setWindow(nullptr);
    shell_.setHiddenInTray(true);
    host_.recordChanged(3);
    host_.startChangeBlink();
    MSG m{};
    EXPECT_FALSE(::PeekMessageA(&m, nullptr, kRecordsChangedMessage, kArmBlinkMessage, PM_REMOVE));
    // Once the window is there, the queued refresh is asked for again.
    host_.setWindow(window_.get());
    host_.recordChanged(4);
    EXPECT_TRUE(takeMessage(kRecordsChangedMessage, m));
    EXPECT_EQ(host_.takeChangedSlots(), (std::vector<std::size_t>{3, 4}));
}

TEST(LastCheckText, FormatsTheLocalTime) {
    SYSTEMTIME t{};
    t.wYear = 2004;
    t.wMonth = 7;
    t.wDay = 15;
    t.wHour = 9;
    t.wMinute = 5;
    t.wSecond = 3;
    EXPECT_EQ(lastCheckTextOf(t), "2004/07/15 [09:05:03]");
    t.wHour = 23;
    t.wMonth = 12;
    t.wDay = 31;
    EXPECT_EQ(lastCheckTextOf(t), "2004/12/31 [23:05:03]");
    ProgramOptions options;
    ShellState shell;
    const std::string now = Win32CheckHost(options, shell).lastCheckText();
    ASSERT_EQ(now.size(), 21u);
    EXPECT_EQ(now[4], '/');
    EXPECT_EQ(now[10], ' ');
    EXPECT_EQ(now.back(), ']');
}

}  // namespace
}  // namespace hs
