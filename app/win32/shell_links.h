// The Help menu's links: the manual page beside the program, the support
// page and the home page, each opened by the shell.
#pragma once

#include <string>

namespace hs {

// The address a Help link command opens ("" for other commands). The
// manual is "manual.html" in the program's own directory.
std::string helpLinkAddress(int commandId);

// A file address of a section of the manual beside the program, for a
// browser: "file:///C:/.../manual.html#<section>".
std::string manualSectionAddress(const std::string& section);

// Asks the shell to "open" the address: no parameters, working directory
// ".", normal show state. The result is not checked. False for commands
// that are not Help links.
bool openHelpLink(int commandId);

}  // namespace hs
