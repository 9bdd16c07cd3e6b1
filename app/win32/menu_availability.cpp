#include "app/win32/menu_availability.h"

namespace hs {

void applyMenuAvailability(HMENU menu, const SelectionSnapshot& selection) {
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_SUBMENU;
        if (!::GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        if ((info.fType & MFT_SEPARATOR) != 0 || info.hSubMenu != nullptr) continue;
        const bool available = isCommandAvailable(static_cast<int>(info.wID), selection);
        ::EnableMenuItem(menu, static_cast<UINT>(i),
                         MF_BYPOSITION | (available ? MF_ENABLED : MF_GRAYED));
    }
}

}  // namespace hs
