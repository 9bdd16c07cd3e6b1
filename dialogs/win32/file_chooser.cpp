#include "dialogs/win32/file_chooser.h"

#include <commdlg.h>

#include "catalogue/record.h"

namespace hs {

std::string chooseExistingFile(HWND owner, const char* startFolder) {
    char path[kTextFieldSize] = {};
    OPENFILENAMEA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = owner;
    choose.lpstrFile = path;
    choose.nMaxFile = sizeof path;
    choose.lpstrInitialDir = startFolder;
    choose.lpstrTitle = "Choose file..";
    choose.lpstrDefExt = "*.*";
    // The working directory holds every data path: choosing must not move it.
    choose.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!::GetOpenFileNameA(&choose)) return std::string();
    return path;
}

}  // namespace hs
