// Menus of the program under test. The menu bar of a running window is read
// in-process by the injected probe DLL; menus that exist only as resources
// (popup menus loaded on demand) are read from the executable file.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "wait.h"

namespace hs::e2e {

struct MenuItem {
    UINT id = 0;
    std::string text;
    bool popup = false;
    bool separator = false;
    bool grey = false;
    bool disabled = false;  // disabled without the grey look
    bool checked = false;
    std::vector<MenuItem> items;  // the submenu of a popup
};

using Menu = std::vector<MenuItem>;

// Parses the probe's text report. False (with a reason) for a malformed one.
bool parseMenuReport(const std::string& report, Menu& menu, std::string& error);

// Reads the menu bar of `window`, a window of `process`. With initPopups
// the program gets WM_INITMENUPOPUP for each submenu first. False, with a
// reason in `error`, when the probe could not be run.
bool readWindowMenu(HANDLE process, HWND window, bool initPopups, Menu& menu, std::string& error,
                    milliseconds timeout = kWait);

// The visible popup-menu window ("#32768") of a process, or null.
HWND findOpenPopupMenu(DWORD pid);
// Reads the popup menu a process shows right now, in-process like the menu
// bar. False when none is open.
bool readOpenPopupMenu(HANDLE process, Menu& menu, std::string& error, milliseconds timeout = kWait);

// Reads menu resource `id` of an executable (Windows or Unix path).
bool readMenuResource(const std::string& exe, int id, Menu& menu, std::string& error);

// The first item with `id` in the menu or its submenus, or null.
const MenuItem* findMenuItem(const Menu& menu, UINT id);

// One line per item, indented by two spaces per level: "text = id" for a
// command (with " [grey]" and " [checked]" when withState), "text >" for a
// submenu, "----" for a separator. Compared as a whole, a mismatch shows
// the full menu.
std::vector<std::string> menuLines(const Menu& menu, bool withState = false, int depth = 0);

}  // namespace hs::e2e
