#include "probe_runner.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstring>

#include "handles.h"
#include "remote.h"

namespace hs::e2e {

namespace {

// Base address of a module in another process, by file name (no path).
BYTE* remoteModuleBase(DWORD pid, const std::string& baseName) {
    UniqueHandle snap;
    // The snapshot can fail transiently while the process loads modules.
    for (int attempt = 0; attempt < 5 && !snap; ++attempt) {
        snap.reset(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid));
        if (!snap) Sleep(20);
    }
    if (!snap) return nullptr;
    MODULEENTRY32 e{};
    e.dwSize = sizeof e;
    for (BOOL ok = Module32First(snap.get(), &e); ok; ok = Module32Next(snap.get(), &e)) {
        if (_stricmp(e.szModule, baseName.c_str()) == 0) return e.modBaseAddr;
    }
    return nullptr;
}

std::string driverDirectory() {
    char buf[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    std::string p(buf, n);
    const auto slash = p.find_last_of("\\/");
    return slash == std::string::npos ? "." : p.substr(0, slash);
}

constexpr const char* kProbeDll = "hs_menu_probe.dll";

// Runs `start(param)` as a thread of `process` and returns its exit code.
bool runRemoteThread(HANDLE process, void* start, void* param, milliseconds timeout, DWORD& code,
                     std::string& error) {
    UniqueHandle thread(CreateRemoteThread(process, nullptr, 0,
                                           reinterpret_cast<LPTHREAD_START_ROUTINE>(start), param,
                                           0, nullptr));
    if (!thread) {
        error = "CreateRemoteThread failed, error " + std::to_string(GetLastError());
        return false;
    }
    if (WaitForSingleObject(thread.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        error = "remote thread did not finish in time";
        return false;
    }
    GetExitCodeThread(thread.get(), &code);
    return true;
}

}  // namespace

bool runProbeExport(HANDLE process, const char* exportName, MenuProbeRequest request,
                    std::string& report, std::string& error, milliseconds timeout) {
    const DWORD pid = GetProcessId(process);
    const std::string dll = driverDirectory() + "\\" + kProbeDll;

    // The export's offset is the same in every process that maps the DLL.
    UniqueModule local(LoadLibraryExA(dll.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES));
    if (!local) {
        error = "cannot load " + dll;
        return false;
    }
    const auto* localProc = reinterpret_cast<const BYTE*>(GetProcAddress(local.get(), exportName));
    if (!localProc) {
        error = std::string("probe export missing: ") + exportName;
        return false;
    }
    const auto procOffset = localProc - reinterpret_cast<const BYTE*>(local.get());

    BYTE* remoteProbe = remoteModuleBase(pid, kProbeDll);
    if (!remoteProbe) {
        // Load it with a remote LoadLibraryA. kernel32 may sit elsewhere in
        // the target, so the address is taken relative to its base there.
        HMODULE k32 = GetModuleHandleA("kernel32.dll");
        const auto* localLoad = reinterpret_cast<const BYTE*>(GetProcAddress(k32, "LoadLibraryA"));
        BYTE* remoteK32 = remoteModuleBase(pid, "kernel32.dll");
        if (!remoteK32 || !localLoad) {
            error = "kernel32 not found in the target";
            return false;
        }
        BYTE* remoteLoad = remoteK32 + (localLoad - reinterpret_cast<const BYTE*>(k32));
        RemoteMemory path(process, dll.size() + 1);
        if (!path || !path.write(0, dll.c_str(), dll.size() + 1)) {
            error = "cannot write the DLL path into the target";
            return false;
        }
        DWORD code = 0;
        if (!runRemoteThread(process, remoteLoad, path.address(), timeout, code, error)) return false;
        remoteProbe = remoteModuleBase(pid, kProbeDll);
        if (!remoteProbe) {
            error = "the probe DLL did not load in the target";
            return false;
        }
    }

    char tempDir[MAX_PATH];
    char reportPath[MAX_PATH];
    GetTempPathA(sizeof tempDir, tempDir);
    if (!GetTempFileNameA(tempDir, "hsm", 0, reportPath)) {
        error = "no temporary file for the report";
        return false;
    }
    MenuProbeRequest req = request;
    std::strncpy(req.reportPath, reportPath, sizeof req.reportPath - 1);
    RemoteMemory remoteReq(process, sizeof req);
    if (!remoteReq || !remoteReq.write(0, &req, sizeof req)) {
        error = "cannot write the probe request";
        DeleteFileA(reportPath);
        return false;
    }
    DWORD code = 0;
    const bool ran = runRemoteThread(process, remoteProbe + procOffset, remoteReq.address(), timeout,
                                     code, error);
    report.clear();
    if (FILE* f = std::fopen(reportPath, "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) report.append(buf, n);
        std::fclose(f);
    }
    DeleteFileA(reportPath);
    if (!ran) return false;
    if (code != 0) {
        error = "probe failed with code " + std::to_string(code);
        return false;
    }
    return true;
}

}  // namespace hs::e2e
