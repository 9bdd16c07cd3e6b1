// The check workers' host: a worker's row refresh and blink request reach
// the list view window as posted messages, so the worker never waits for the
// window thread; the blink is asked for only while the window is hidden.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <future>
#include <thread>

#include "app/win32/shell_state.h"
#include "app/win32/view_messages.h"
#include "app/win32/win32_check_host.h"
#include "app/win32/win32_handles.h"

namespace hs {
namespace {

class CheckHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = UniqueWindow(::CreateWindowExA(0, "STATIC", "host target", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                                 nullptr, ::GetModuleHandleA(nullptr), nullptr));
        ASSERT_TRUE(window_);
        previousView_ = shellState().listView.exchange(window_.get());
        previousHidden_ = shellState().hiddenInTray.load();
    }
    void TearDown() override {
        shellState().listView.store(previousView_);
        shellState().hiddenInTray.store(previousHidden_);
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

    Win32CheckHost host_;
    UniqueWindow window_;
    HWND previousView_ = nullptr;
    int32_t previousHidden_ = 0;
};

TEST_F(CheckHostTest, RecordChangedIsPostedWithTheSlot) {
    EXPECT_TRUE(returnsWithoutTheWindowThread([this] {
        host_.recordChanged(7);
        host_.recordChanged(0);
    }));
    MSG m{};
    ASSERT_TRUE(takeMessage(kRecordChangedMessage, m));
    EXPECT_EQ(m.wParam, 7u);
    ASSERT_TRUE(takeMessage(kRecordChangedMessage, m));
    EXPECT_EQ(m.wParam, 0u);
    EXPECT_FALSE(takeMessage(kRecordChangedMessage, m));
}

TEST_F(CheckHostTest, BlinkIsRequestedOnlyWhileHidden) {
    MSG m{};
    setHiddenInTray(false);
    EXPECT_TRUE(returnsWithoutTheWindowThread([this] { host_.startChangeBlink(); }));
    EXPECT_FALSE(takeMessage(kArmBlinkMessage, m));

    setHiddenInTray(true);
    EXPECT_TRUE(returnsWithoutTheWindowThread([this] { host_.startChangeBlink(); }));
    EXPECT_TRUE(takeMessage(kArmBlinkMessage, m));
}

TEST_F(CheckHostTest, NoViewWindowIsNoCrash) {
    shellState().listView.store(nullptr);
    setHiddenInTray(true);
    host_.recordChanged(3);
    host_.startChangeBlink();
    MSG m{};
    EXPECT_FALSE(takeMessage(kRecordChangedMessage, m));
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
    const std::string now = Win32CheckHost().lastCheckText();
    ASSERT_EQ(now.size(), 21u);
    EXPECT_EQ(now[4], '/');
    EXPECT_EQ(now[10], ' ');
    EXPECT_EQ(now.back(), ']');
}

}  // namespace
}  // namespace hs
