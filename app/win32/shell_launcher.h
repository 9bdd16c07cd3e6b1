// Starting the browser and the shell's "open" for opening documents.
#pragma once

#include "engine/open_document.h"

namespace hs {

class ShellLauncher final : public DocumentLauncher {
public:
    // A new process with the program's own environment and start-up
    // information, working directory "C:\"; not waited for.
    bool startProcess(const std::string& commandLine) override;
    // ShellExecute "open", shown normally; a URL with the working directory
    // ".", a file without one.
    void shellOpen(const std::string& target, bool isUrl) override;
};

}  // namespace hs
