// Keeps exceptions out of window and dialog procedures: the system calls
// them from C code, so an exception must never cross them. What was caught
// is left as a trace for a debugger (OutputDebugString).
#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace hs {

// Writes "Halvorsight: <where>: <what>" to the debugger's output.
inline void traceCaughtException(const char* where, const char* what) noexcept {
    try {
        const std::string line = std::string("Halvorsight: ") + where + ": " + what + "\n";
        ::OutputDebugStringA(line.c_str());
    } catch (...) {
        ::OutputDebugStringA("Halvorsight: exception in a window procedure\n");
    }
}

// Runs fn() and returns its result; when it throws, leaves a trace and
// returns `fallback`.
template <class Result, class Fn>
Result guardedCall(const char* where, Fn&& fn, Result fallback) noexcept {
    try {
        return fn();
    } catch (const std::exception& e) {
        traceCaughtException(where, e.what());
    } catch (...) {
        traceCaughtException(where, "unknown exception");
    }
    return fallback;
}

template <class Fn>
LRESULT guardedMessage(Fn&& fn, LRESULT fallback) noexcept {
    return guardedCall<LRESULT>("window message", static_cast<Fn&&>(fn), fallback);
}

}  // namespace hs
