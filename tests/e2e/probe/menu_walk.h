// Writes a menu and its submenus as text, one line per item:
//   <depth> TAB <id> TAB <flags> TAB <text> LF
// depth 0 is the menu bar; flags are letters: P popup, S separator,
// G grey, D disabled (not grey), C checked, R radio check. Used inside the
// program under test by the injected menu probe, and by the driver itself
// for menus read from the program's resources.
#pragma once

#include <windows.h>

#include <string>

namespace hs::e2e {

// Called with each popup before it is read; lets the probe ask the program
// to set the state of its items, as it does when the user opens the menu.
using BeforePopupFn = void (*)(HMENU popup, int index, void* context);

inline void walkMenu(HMENU menu, int depth, std::string& out, BeforePopupFn before = nullptr,
                     void* context = nullptr) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[1024] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text - 1;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        std::string flags;
        if (info.hSubMenu) flags += 'P';
        if (info.fType & MFT_SEPARATOR) flags += 'S';
        if (info.fState & MF_GRAYED) flags += 'G';
        else if (info.fState & MF_DISABLED) flags += 'D';
        if (info.fState & MFS_CHECKED) flags += 'C';
        if (info.fType & MFT_RADIOCHECK) flags += 'R';
        std::string line = std::to_string(depth) + "\t" + std::to_string(info.wID) + "\t" + flags + "\t";
        for (const char* p = text; *p; ++p) {
            if (*p == '\n') line += "\\n";
            else if (*p == '\\') line += "\\\\";
            else line += *p;
        }
        out += line + "\n";
        if (info.hSubMenu) {
            if (before) before(info.hSubMenu, i, context);
            walkMenu(info.hSubMenu, depth + 1, out, before, context);
        }
    }
}

}  // namespace hs::e2e
