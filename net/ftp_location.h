// An FTP document's location split into server, directory and file name.
// The retrieval and the properties dialog's connection test use the same
// split.
#pragma once

#include <optional>
#include <string>

namespace hs {

struct FtpLocation {
    std::string server;     // may be empty ("/pub/file": no server)
    std::string directory;  // relative to the login directory; "" for none
    std::string fileName;   // may be empty (a location ending with a separator)
};

// Splits "server/directory/file" (either "/" or "\" separating), with or
// without a scheme: everything up to the first "://" is dropped.
//  - The server is the text before the first separator; none, or a line
//    break before it, and the location cannot be split.
//  - The file name is the text after the last separator, looked for from
//    the end down to the second character (the first one is never taken
//    for the file's separator); none, or a line break after it, and the
//    location cannot be split.
//  - The directory is what lies between, found as the text after the first
//    "/" of the rest (after the first "\" when it has no "/"); it may hold
//    separators itself ("pub/tools").
// A line break anywhere else fails as well: a server's command line must
// never carry one.
std::optional<FtpLocation> splitFtpLocation(const std::string& location);

}  // namespace hs
