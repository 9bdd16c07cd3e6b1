// The split of an FTP document's location into server, directory and file
// name, whose parts become the arguments of FTP commands.
#include <string>

#include "catalogue/record.h"
#include "net/ftp_location.h"
#include "fuzz_support.h"

using namespace hs;

namespace {

bool hasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string raw(reinterpret_cast<const char*>(data), size);
    // As a record holds it: at most 511 characters up to the first zero.
    Document record = zeroRecord();
    setField(record.url, raw);
    for (const std::string& location : {raw, fieldText(record.url)}) {
        const auto split = splitFtpLocation(location);
        if (!split) continue;
        fuzz::require(!hasLineBreak(split->server) && !hasLineBreak(split->directory) &&
                          !hasLineBreak(split->fileName),
                      "no line break reaches a command");
        fuzz::require(split->server.find_first_of("/\\") == std::string::npos, "the server holds no separator");
        fuzz::require(split->fileName.find_first_of("/\\") == std::string::npos, "the file name holds no separator");
        // Every part is a piece of the location, in order.
        const std::size_t scheme = location.find("://");
        const std::string rest = scheme == std::string::npos ? location : location.substr(scheme + 3);
        fuzz::require(rest.compare(0, split->server.size(), split->server) == 0, "the server starts the location");
        fuzz::require(rest.size() >= split->fileName.size() &&
                          rest.compare(rest.size() - split->fileName.size(), std::string::npos, split->fileName) == 0,
                      "the file name ends the location");
        fuzz::require(rest.find(split->directory) != std::string::npos, "the directory lies inside");
    }
    return 0;
}
