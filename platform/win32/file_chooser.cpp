#include "platform/win32/file_chooser.h"

#include <vector>

namespace hs {

std::string chooseFile(HWND owner, const FileChoice& choice) {
    std::vector<char> path(choice.room, '\0');
    OPENFILENAMEA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = owner;
    choose.lpstrFilter = choice.filter;
    choose.nFilterIndex = choice.filter != nullptr ? 1 : 0;
    choose.lpstrFile = path.data();
    choose.nMaxFile = static_cast<DWORD>(path.size());
    choose.lpstrInitialDir = choice.startFolder;
    choose.lpstrTitle = choice.title;
    choose.lpstrDefExt = choice.defaultExtension;
    choose.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | choice.flags;
    const BOOL chosen = choice.save ? ::GetSaveFileNameA(&choose) : ::GetOpenFileNameA(&choose);
    if (!chosen) return std::string();
    path.back() = '\0';
    return path.data();
}

std::string chooseExistingFile(HWND owner, const char* startFolder) {
    FileChoice choice{"Choose file..", startFolder,
                      OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY};
    choice.room = 512;
    choice.defaultExtension = "*.*";
    return chooseFile(owner, choice);
}

}  // namespace hs
