// The request the driver places inside the program's memory for the menu
// probe: which window's menu to read and where to write the report.
#pragma once

#include <cstdint>

namespace hs::e2e {

enum MenuProbeFlags : uint32_t {
    // Send WM_INITMENUPOPUP for each submenu before reading it, so that the
    // program greys and checks items as it does when the user opens them.
    kProbeInitPopups = 1,
    // `window` holds a menu handle (an open popup menu) to read as it is.
    kProbeMenuHandle = 2,
};

struct MenuProbeRequest {
    uint64_t window;        // HWND whose GetMenu is read, or the HMENU itself
    uint32_t flags;         // MenuProbeFlags
    uint32_t sendTimeoutMs; // bound of each message sent to the window
    char reportPath[1024];  // file the report is written to (ANSI)
};

// Exported thread procedures of the probe DLL: the menu reader, and the
// report of the common controls library the program loaded (which takes
// only the report path of the request).
constexpr const char* kMenuProbeExport = "hsMenuProbe";
constexpr const char* kControlsProbeExport = "hsControlsProbe";

}  // namespace hs::e2e
