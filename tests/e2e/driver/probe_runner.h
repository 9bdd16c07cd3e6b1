// Runs an export of the probe DLL (tests/e2e/probe) inside the program
// under test: the DLL is loaded there by a remote LoadLibraryA thread (once
// per process), the request is copied into the program's memory, and the
// export runs as a second remote thread that writes its report to a file.
#pragma once

#include <windows.h>

#include <string>

#include "wait.h"
#include "../probe/menu_probe_protocol.h"

namespace hs::e2e {

// Runs `exportName` of the probe in `process` with `request` (its report
// path is filled in here) and returns the report. False, with a reason in
// `error`, when the probe could not be run or ended with a non-zero code.
bool runProbeExport(HANDLE process, const char* exportName, MenuProbeRequest request,
                    std::string& report, std::string& error, milliseconds timeout = kWait);

}  // namespace hs::e2e
