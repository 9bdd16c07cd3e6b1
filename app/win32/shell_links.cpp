#include "app/win32/shell_links.h"

#include <windows.h>
#include <shellapi.h>

#include "res/command_ids.h"
#include "res/help_links.h"

namespace hs {

namespace {

std::string programDirectory() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return ".";
    std::string text(path, length);
    const std::string::size_type slash = text.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : text.substr(0, slash);
}

}  // namespace

std::string manualSectionAddress(const std::string& section) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string address = "file:///";
    for (unsigned char c : programDirectory() + "\\" + HS_MANUAL_FILE) {
        if (c == '\\') {
            address += '/';
        } else if (c <= ' ' || c == '#' || c == '%' || c == '"' || c >= 0x7F) {
            address += '%';
            address += kHex[c >> 4];
            address += kHex[c & 15];
        } else {
            address += static_cast<char>(c);
        }
    }
    return address + "#" + section;
}

std::string helpLinkAddress(int commandId) {
    switch (commandId) {
        case ID_HELP_MANUAL:
            return programDirectory() + "\\" + HS_MANUAL_FILE;
        case ID_HELP_SUPPORT:
            return HS_SUPPORT_URL;
        case ID_HELP_HOMEPAGE:
            return HS_HOMEPAGE_URL;
        default:
            return std::string();
    }
}

bool openHelpLink(int commandId) {
    const std::string address = helpLinkAddress(commandId);
    if (address.empty()) return false;
    ::ShellExecuteA(nullptr, "open", address.c_str(), nullptr, ".", SW_SHOWNORMAL);
    return true;
}

}  // namespace hs
