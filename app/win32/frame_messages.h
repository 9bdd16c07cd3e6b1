// Private messages of the main frame. The check engine's threads post them
// (never send: a retrieval must not wait for the window thread).
#pragma once

#include <windows.h>

namespace hs {

// Rows of the check host's refresh queue are waiting: the frame drains the
// queue and refreshes each slot's row, gathered by its refresh timer. At
// most one is outstanding, besides one with wParam kFlushRefreshes that a
// finishing worker posts to have its last rows shown at once.
constexpr UINT kRecordsChangedMessage = WM_APP + 1;
constexpr WPARAM kFlushRefreshes = 1;
// Arms TrayBlinkTimer on the window thread (a timer of another thread's
// window cannot be set from a worker).
constexpr UINT kArmBlinkMessage = WM_APP + 2;
// The selection changed: the toolbar's buttons are enabled anew. Posted so
// that a burst of selection changes costs one update.
constexpr UINT kSelectionChangedMessage = WM_APP + 3;
// The check host queued effects of landed checks (sound, automatic open,
// markers-missing message): the window thread runs them.
constexpr UINT kCheckEffectsMessage = WM_APP + 4;

}  // namespace hs
