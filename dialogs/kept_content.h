// The kept content of a document as the viewer shows it and as Save as
// copies it. Both read the content file under the catalogue's document files
// lock and close it before letting go: a worker's commit, which replaces the
// file under the same lock, never finds it open (on Windows a file that is
// open cannot be replaced) and never waits longer than one read.
#pragma once

#include <cstddef>
#include <string>

#include "catalogue/catalogue.h"
#include "platform/file_system.h"

namespace hs {

// The viewer shows at most this many bytes of the beginning of a file.
constexpr std::size_t kHeaderDumpLimit = 2052;

// The two panes of the viewer. `hex` holds "%02X " for every byte with
// "\r\n" after every sixth; `text` holds every byte but zero unchanged.
struct HeaderDump {
    std::string hex;
    std::string text;
};

// Adds byte number `n` (counting from 1) to the dump.
void appendDumpByte(HeaderDump& dump, unsigned char byte, std::size_t n);

// The dump of the first kHeaderDumpLimit bytes of `bytes`.
HeaderDump dumpHeader(const std::string& bytes);

// Dumps the beginning of the kept content of the document named `name`,
// never read past the limit; a read error ends the dump as the end of the
// file does. False when there is no kept content to read.
bool readHeaderDump(DocumentCatalogue& catalogue, FileSystem& fs, const std::string& name, HeaderDump& dump);

// Copies the whole kept content of the document named `name` to `to`,
// replacing `to`. False when there is no kept content (`to` untouched) or
// `to` cannot be written completely (a half-written one is removed).
bool copyKeptContent(DocumentCatalogue& catalogue, FileSystem& fs, const std::string& name,
                     const std::string& to);

}  // namespace hs
