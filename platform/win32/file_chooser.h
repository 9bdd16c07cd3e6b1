// The system's open-file and save-file dialogs as the program uses them.
// Choosing never moves the working directory, which holds every data path.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <cstddef>
#include <string>

namespace hs {

struct FileChoice {
    const char* title;
    const char* startFolder;             // nullptr: the system's choice
    DWORD flags;                         // beside OFN_EXPLORER and OFN_NOCHANGEDIR
    std::size_t room = 4096;             // the longest path taken, with its NUL
    const char* filter = nullptr;        // pairs of NUL-ended strings
    const char* defaultExtension = nullptr;
    bool save = false;                   // the save-file dialog
};

// The chosen path, or empty when the user cancelled.
std::string chooseFile(HWND owner, const FileChoice& choice);

// "Choose file..": an existing file, no filter, starting in `startFolder`,
// at most 511 characters (what the record holds).
std::string chooseExistingFile(HWND owner, const char* startFolder);

}  // namespace hs
