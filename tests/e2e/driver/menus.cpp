#include "menus.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <sstream>

#include "handles.h"
#include "remote.h"
#include "window_find.h"
#include "work_dir.h"
#include "../probe/menu_probe_protocol.h"
#include "../probe/menu_walk.h"

namespace hs::e2e {

bool parseMenuReport(const std::string& report, Menu& menu, std::string& error) {
    menu.clear();
    std::istringstream in(report);
    std::string line;
    if (!std::getline(in, line) || line != "ok") {
        error = "probe report: " + line;
        return false;
    }
    // Stack of the item lists being filled, one per depth.
    std::vector<Menu*> levels{&menu};
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        const auto t1 = line.find('\t');
        const auto t2 = t1 == std::string::npos ? t1 : line.find('\t', t1 + 1);
        const auto t3 = t2 == std::string::npos ? t2 : line.find('\t', t2 + 1);
        if (t3 == std::string::npos) {
            error = "malformed menu line: " + line;
            return false;
        }
        const size_t depth = std::stoul(line.substr(0, t1));
        MenuItem item;
        item.id = static_cast<UINT>(std::stoul(line.substr(t1 + 1, t2 - t1 - 1)));
        const std::string flags = line.substr(t2 + 1, t3 - t2 - 1);
        item.popup = flags.find('P') != std::string::npos;
        item.separator = flags.find('S') != std::string::npos;
        item.grey = flags.find('G') != std::string::npos;
        item.disabled = flags.find('D') != std::string::npos;
        item.checked = flags.find('C') != std::string::npos;
        const std::string raw = line.substr(t3 + 1);
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\\' && i + 1 < raw.size()) {
                item.text += raw[i + 1] == 'n' ? '\n' : raw[i + 1];
                ++i;
            } else {
                item.text += raw[i];
            }
        }
        if (depth + 1 > levels.size()) {
            error = "menu item deeper than its parent: " + line;
            return false;
        }
        levels.resize(depth + 1);
        levels.back()->push_back(item);
        levels.push_back(&levels.back()->back().items);
    }
    return true;
}

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

namespace {

bool runProbe(HANDLE process, uint64_t target, uint32_t flags, Menu& menu, std::string& error,
              milliseconds timeout);

}  // namespace

bool readWindowMenu(HANDLE process, HWND window, bool initPopups, Menu& menu, std::string& error,
                    milliseconds timeout) {
    return runProbe(process, reinterpret_cast<uintptr_t>(window),
                    initPopups ? static_cast<uint32_t>(kProbeInitPopups) : 0u, menu, error, timeout);
}

HWND findOpenPopupMenu(DWORD pid) {
    WindowQuery q;
    q.pid = pid;
    q.className = "#32768";
    q.visibleOnly = true;
    return findTopLevelWindow(q);
}

bool readOpenPopupMenu(HANDLE process, Menu& menu, std::string& error, milliseconds timeout) {
    menu.clear();
    HWND popup = findOpenPopupMenu(GetProcessId(process));
    if (!popup) {
        error = "no popup menu is open";
        return false;
    }
    LRESULT handle = 0;
    if (!sendBounded(popup, MN_GETHMENU, 0, 0, &handle) || !handle) {
        error = "the popup menu window gave no menu handle";
        return false;
    }
    return runProbe(process, static_cast<uint64_t>(handle), kProbeMenuHandle, menu, error, timeout);
}

namespace {

bool runProbe(HANDLE process, uint64_t target, uint32_t flags, Menu& menu, std::string& error,
              milliseconds timeout) {
    menu.clear();
    const DWORD pid = GetProcessId(process);
    const std::string dll = driverDirectory() + "\\" + kProbeDll;

    // The export's offset is the same in every process that maps the DLL.
    UniqueModule local(LoadLibraryExA(dll.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES));
    if (!local) {
        error = "cannot load " + dll;
        return false;
    }
    const auto* localProc = reinterpret_cast<const BYTE*>(GetProcAddress(local.get(), kMenuProbeExport));
    if (!localProc) {
        error = "probe export missing";
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
    MenuProbeRequest req{};
    req.window = target;
    req.flags = flags;
    req.sendTimeoutMs = 2000;
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
    std::string report;
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
    return parseMenuReport(report, menu, error);
}

}  // namespace

bool readMenuResource(const std::string& exe, int id, Menu& menu, std::string& error) {
    menu.clear();
    UniqueModule module(LoadLibraryExA(toWindowsPath(exe).c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!module) {
        error = "cannot open " + exe + " for its resources";
        return false;
    }
    UniqueMenu m(LoadMenuA(module.get(), MAKEINTRESOURCEA(id)));
    if (!m) {
        error = "no menu resource " + std::to_string(id);
        return false;
    }
    std::string report = "ok\n";
    walkMenu(m.get(), 0, report);
    return parseMenuReport(report, menu, error);
}

const MenuItem* findMenuItem(const Menu& menu, UINT id) {
    for (const auto& item : menu) {
        if (!item.popup && !item.separator && item.id == id) return &item;
        if (const MenuItem* inner = findMenuItem(item.items, id)) return inner;
    }
    return nullptr;
}

std::vector<std::string> menuLines(const Menu& menu, bool withState, int depth) {
    std::vector<std::string> out;
    for (const auto& item : menu) {
        std::string line(static_cast<size_t>(depth) * 2, ' ');
        if (item.separator) {
            line += "----";
        } else if (item.popup) {
            line += item.text + " >";
        } else {
            line += item.text + " = " + std::to_string(item.id);
            if (withState && item.grey) line += " [grey]";
            if (withState && item.checked) line += " [checked]";
        }
        out.push_back(line);
        const auto inner = menuLines(item.items, withState, depth + 1);
        out.insert(out.end(), inner.begin(), inner.end());
    }
    return out;
}

}  // namespace hs::e2e
