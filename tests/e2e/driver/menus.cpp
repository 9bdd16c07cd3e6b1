#include "menus.h"

#include <sstream>

#include "handles.h"
#include "probe_runner.h"
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
    MenuProbeRequest req{};
    req.window = target;
    req.flags = flags;
    req.sendTimeoutMs = 2000;
    std::string report;
    if (!runProbeExport(process, kMenuProbeExport, req, report, error, timeout)) return false;
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
