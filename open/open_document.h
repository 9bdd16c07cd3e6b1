// Opening a document: an HTML/CGI page in the browser at its live address,
// every other kind from a copy of its kept content, opened by the program
// the shell associates with the document's own file name.
//
// The rules are here; starting a program and the shell's "open" are the
// platform's (DocumentLauncher). The Open command, the double-click and the
// automatic open of a changed web document all come here.
#pragma once

#include <cstddef>
#include <string>

#include "catalogue/document_files.h"  // openCopyPath
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
    // Asks the shell to open a URL or a file with its associated program;
    // false when the shell refused (no program for the type, no such file).
    virtual bool shellOpen(const std::string& target, bool isUrl) = 0;
    // Whether the system counts a file of this name among the dangerous
    // types (programs, scripts, installers...). Where the system has no
    // opinion, false: the fixed list of isDangerousFileName still applies.
    virtual bool systemCallsDangerous(const std::string& fileName) {
        (void)fileName;
        return false;
    }
};

enum class OpenResult {
    Opened,           // handed to the browser or the shell
    NotDownloaded,    // no kept content to open yet
    InvalidLocation,  // the location has no last component to name the copy by
    Failed,           // no copy could be made; nothing is reported
    Refused,          // the shell would not open it
    Withheld,         // a dangerous type, not opened by itself
};

// Who asks for the open: the user (Open, double-click) or the automatic
// open of a changed web document, which never starts a dangerous type.
enum class OpenMode { ByUser, Automatic };

// The longest full path a copy for opening may have: the shell opens no
// file with a path near MAX_PATH (under Wine 8 none of 258 characters or
// more; 255 open).
constexpr std::size_t kMaxOpenPathLength = 255;
// The room kept for a copy's name when the data directory's full path is
// chosen (FileSystem::pathForOtherPrograms).
constexpr std::size_t kOpenNameRoom = 64;

// The messages an interactive open shows.
extern const char* const kSelectToOpenText;
extern const char* const kNotDownloadedText;       // information icon
extern const char* const kInvalidLocationText;     // exclamation icon
extern const char* const kShellRefusedText;        // stop icon

// The stored form of a typed web location: "https://" when the text holds
// "s://" or "S://" anywhere, else "http://", followed by the text after its
// first "://" (the whole text when it has none).
std::string normalizeWebLocation(const std::string& typed);

// The address a page is opened at: its location in the stored form above
// (normalizeWebLocation). With an account the user name and
// password come before the host as "user:password@"; characters that would
// end them early (":", "@", "/", and any other character outside the
// unreserved set) are written as %XX escapes, which browsers decode.
std::string pageOpenUrl(const Document& record);

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

// Whether a file of this name is of a type Windows treats as dangerous:
// programs, scripts, installers, shortcuts, HTML applications, documents
// with macros. Decided by the extension, without regard to case, after the
// trailing dots and blanks that Windows drops from file names.
bool isDangerousFileName(const std::string& fileName);

// Opens the document of `record`. A page: its live URL in the browser at
// `browserPath`, or through the shell when that cannot be started (or is
// empty). Any other kind: the kept content is copied for opening under a
// name ending with the location's last component (DocumentFiles::
// makeOpenCopy), marked as coming from the Internet, and opened by the
// shell; the copy stays until the next start. The automatic open withholds
// dangerous types before any copy is made.
OpenResult openDocument(const Document& record, const std::string& browserPath, FileSystem& files,
                        DocumentLauncher& launcher, OpenMode mode = OpenMode::ByUser);

}  // namespace hs
