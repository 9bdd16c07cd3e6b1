// Details of the Windows file system adapter that its tests check directly.
#pragma once

#include <string>

namespace hs {

// The entry filter of directory listings: ARCHIVE or NORMAL among the
// attributes, and not a directory.
bool isListedFileAttributes(unsigned long attributes);

// Whether a listed name ends with the fixed ending of a pattern "*<ending>",
// compared without regard to case; a pattern without "*" must match whole.
bool matchesListPattern(const std::string& name, const std::string& pattern);

}  // namespace hs
