// The probe's second export: which common controls library the program
// loaded, as its file path and the version it reports. Version 6 (the one
// the manifest asks for) lives in the side-by-side store, in a folder whose
// name holds "common-controls" and the version; Wine's copy there reports
// 5.81, so the path tells more than the number.
#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <string>

#include "menu_probe_protocol.h"

extern "C" __declspec(dllexport) DWORD WINAPI hsControlsProbe(LPVOID param) {
    const auto* req = static_cast<const hs::e2e::MenuProbeRequest*>(param);
    if (!req) return 2;
    HMODULE controls = GetModuleHandleA("comctl32.dll");
    std::string report;
    if (!controls) {
        report = "error comctl32.dll is not loaded\n";
    } else {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(controls, path, MAX_PATH);
        DLLVERSIONINFO version{};
        version.cbSize = sizeof version;
        auto* getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
            reinterpret_cast<void*>(GetProcAddress(controls, "DllGetVersion")));
        if (getVersion) getVersion(&version);
        char line[64];
        std::snprintf(line, sizeof line, "ok %lu.%lu\n", version.dwMajorVersion, version.dwMinorVersion);
        report = std::string(line) + path + "\n";
    }
    FILE* f = std::fopen(req->reportPath, "wb");
    if (!f) return 3;
    const bool written = std::fwrite(report.data(), 1, report.size(), f) == report.size();
    return std::fclose(f) == 0 && written ? 0 : 3;
}
