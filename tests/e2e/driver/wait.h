// Bounded polling: every wait of the driver ends after a fixed time.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <type_traits>

namespace hs::e2e {

using std::chrono::milliseconds;

// Default bounds. A warm Wine starts the program in well under a second;
// the bounds leave room for a loaded machine without letting a test hang.
constexpr milliseconds kShortWait{3000};
constexpr milliseconds kWait{10000};
constexpr milliseconds kPollInterval{20};

// Calls cond() until it returns true or the time is up. Returns the last
// result, so a false result means the condition never held within `timeout`.
template <class Cond>
bool pollUntil(Cond&& cond, milliseconds timeout = kWait, milliseconds interval = kPollInterval) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (cond()) return true;
        if (std::chrono::steady_clock::now() >= end) return cond();
        Sleep(static_cast<DWORD>(interval.count()));
    }
}

// Calls fn() until it returns a value that tests true (a non-null handle, a
// non-empty optional) and returns that value, or the last value on timeout.
template <class Fn>
auto pollFor(Fn&& fn, milliseconds timeout = kWait, milliseconds interval = kPollInterval)
    -> std::decay_t<decltype(fn())> {
    std::decay_t<decltype(fn())> value{};
    pollUntil([&] { return static_cast<bool>(value = fn()); }, timeout, interval);
    return value;
}

}  // namespace hs::e2e
