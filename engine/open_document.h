// Opening a document: an HTML/CGI page in the browser at its live address,
// every other kind from a copy of its kept content, opened by the program
// the shell associates with the document's own file name.
//
// The rules are here; starting a program and the shell's "open" are the
// platform's (DocumentLauncher). The Open command, the double-click and the
// automatic open of a changed web document all come here.
#pragma once

#include <string>

#include "catalogue/record.h"
#include "platform/file_system.h"

namespace hs {

// What the platform does for an open.
class DocumentLauncher {
public:
    virtual ~DocumentLauncher() = default;
    // Starts the browser with `commandLine` as a new process that nobody
    // waits for; false when it could not be started.
    virtual bool startProcess(const std::string& commandLine) = 0;
    // Asks the shell to open a URL or a file with its associated program.
    virtual void shellOpen(const std::string& target, bool isUrl) = 0;
};

enum class OpenResult {
    Opened,           // handed to the browser or the shell
    NotDownloaded,    // no kept content to open yet
    InvalidLocation,  // the location has no last component to name the copy by
    Failed,           // no copy could be made; nothing is reported
};

// The messages an interactive open shows.
extern const char* const kSelectToOpenText;
extern const char* const kNotDownloadedText;       // information icon
extern const char* const kInvalidLocationText;     // exclamation icon

// The address a page is opened at: "https://" when the location contains
// "s://" or "S://" anywhere, else "http://", then the location after its
// first "://" (or the whole location). With an account the user name and
// password come before the host as "user:password@"; characters that would
// end them early (":", "@", "/", and any other character outside the
// unreserved set) are written as %XX escapes, which browsers decode.
std::string pageOpenUrl(const DocumentRecord& record);

// The browser's command line: its path and the URL, each in double quotes,
// so that a path with blanks starts and the URL stays one argument. A
// double quote in the URL is written as %22; backslashes before a closing
// quote are doubled as the command-line rules want.
std::string browserCommandLine(const std::string& browserPath, const std::string& url);

// The last component of a location: the text after the last "\" or "/",
// searched from the last character down to the second (so the first
// character is never taken for a separator). False when there is no
// separator, or a line feed or carriage return comes before one; a location
// that ends with a separator gives the empty component.
bool lastLocationComponent(const std::string& location, std::string& component);

// Opens the document of `record`. A page: its live URL in the browser at
// `browserPath`, or through the shell when that cannot be started (or is
// empty). Any other kind: the kept content "data\<name>.content" is copied
// to "data\QVRxxxx.tmp_<last component>" and that copy is opened by the
// shell; the copy stays in "data".
OpenResult openDocument(const DocumentRecord& record, const std::string& browserPath, FileSystem& files,
                        DocumentLauncher& launcher);

}  // namespace hs
