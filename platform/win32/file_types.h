// What the system knows about types of files.
#pragma once

#include <string>

namespace hs {

// Whether the system lists the extension of `fileName` among the dangerous
// types (shlwapi's AssocIsDangerous). False without an extension, and where
// the function is missing or has no opinion: Wine 8 answers false even for
// ".exe".
bool systemCallsDangerousType(const std::string& fileName);

}  // namespace hs
