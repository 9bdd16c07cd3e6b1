// Starting the browser and the shell's "open" for opening documents.
#pragma once

#include <string>

#include "open/open_document.h"

namespace hs {

class ShellLauncher final : public DocumentLauncher {
public:
    // A new process with the program's own environment and start-up
    // information, working directory "C:\"; not waited for.
    bool startProcess(const std::string& commandLine) override;
    // ShellExecute "open", shown normally; a URL with the working directory
    // ".", a file without one. False for a result of 32 or less.
    bool shellOpen(const std::string& target, bool isUrl) override;
    // shlwapi's list of dangerous types.
    bool systemCallsDangerous(const std::string& fileName) override;
};

// Finds the program associated with ".htm" files through an empty probe
// file "HalvorsightTemp.htm" in the working directory, deleted afterwards
// (an existing file of that name is left as it is). Empty when there is
// none.
std::string findBrowserPath();

}  // namespace hs
