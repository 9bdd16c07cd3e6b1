// Private messages of the list view window and the main frame. Check
// workers post them (never send: a worker must not wait for the window
// thread).
#pragma once

#include <windows.h>

namespace hs {

// Rows of the check host's refresh queue are waiting: the view drains the
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

}  // namespace hs
