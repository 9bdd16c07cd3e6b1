#include "net/ftp_location.h"

namespace hs {

namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }
bool isLineBreak(char c) { return c == '\n' || c == '\r'; }

}  // namespace

std::optional<FtpLocation> splitFtpLocation(const std::string& location) {
    std::string work = location;
    const std::size_t scheme = work.find("://");
    if (scheme != std::string::npos) work.erase(0, scheme + 3);

    FtpLocation out;
    std::size_t first = 0;
    while (first < work.size() && !isSeparator(work[first])) {
        if (isLineBreak(work[first])) return std::nullopt;
        ++first;
    }
    if (first == work.size()) return std::nullopt;
    out.server = work.substr(0, first);

    std::size_t last = 0;  // 0: none found (index 0 is never looked at)
    for (std::size_t i = work.size(); i-- > 1;) {
        if (isSeparator(work[i])) {
            last = i;
            break;
        }
        if (isLineBreak(work[i])) return std::nullopt;
    }
    if (last == 0) return std::nullopt;
    out.fileName = work.substr(last + 1);
    work.resize(last);
    if (work.find_first_of("\r\n") != std::string::npos) return std::nullopt;

    std::size_t slash = work.find('/');
    if (slash == std::string::npos) slash = work.find('\\');
    if (slash != std::string::npos) out.directory = work.substr(slash + 1);
    return out;
}

}  // namespace hs
