// Keeps exceptions out of window and dialog procedures: the system calls
// them from C code, so an exception must never cross them.
#pragma once

#include <windows.h>

namespace hs {

// Runs fn() and returns its result; when it throws, returns `fallback`.
template <class Fn>
LRESULT guardedMessage(Fn&& fn, LRESULT fallback) noexcept {
    try {
        return fn();
    } catch (...) {
        return fallback;
    }
}

}  // namespace hs
