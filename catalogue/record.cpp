#include "catalogue/record.h"

#include <algorithm>

namespace hs {

void setField(char (&field)[kTextFieldSize], const std::string& text) {
    std::memset(field, 0, kTextFieldSize);
    const std::size_t n = std::min(text.size(), kTextFieldSize - 1);
    std::memcpy(field, text.data(), n);
}

std::string fieldText(const char (&field)[kTextFieldSize]) {
    const void* end = std::memchr(field, 0, kTextFieldSize);
    const std::size_t n = end ? static_cast<std::size_t>(static_cast<const char*>(end) - field)
                              : kTextFieldSize;
    return std::string(field, n);
}

const char* documentTypeText(int32_t type) {
    switch (type) {
        case HtmlPage: return "html/cgi page";
        case WebFile: return "web file";
        case FtpFile: return "ftp file";
        case LocalFile: return "local file";
        default: return "Unknown";
    }
}

const char* documentStatusText(int32_t status) {
    switch (status) {
        case NotChanged: return "Not changed";
        case Retrieving: return "Retrieving...";
        case Changed: return "Changed";
        case UnableToRetrieve: return "Unable to retrieve";
        case WaitingForRetrieve: return "Waiting for retrieve...";
        case Saved: return "Saved";
        default: return "Unknown";
    }
}

int statusImageIndex(int32_t status) {
    switch (status) {
        case Retrieving:
        case WaitingForRetrieve: return 1;
        case Changed: return 3;
        case UnableToRetrieve: return 2;
        default: return 0;
    }
}

}  // namespace hs
