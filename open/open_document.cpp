#include "open/open_document.h"

#include <cstdio>


namespace hs {

const char* const kSelectToOpenText = "Please select one document data to open.";
const char* const kNotDownloadedText =
    "This document is not downloaded yet.\nPlease use the 'Check!' button to download.";
const char* const kInvalidLocationText = "Invalid document location.\nPlease use the 'Edit' button to correct.";
const char* const kShellRefusedText =
    "Windows could not open this document.\nThere may be no program for its type of file.";

namespace {

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

std::string escapeUserInfo(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (isUnreserved(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

// What Windows warns about before it runs a file from the Internet, and
// what it never lets mail or browsers open by themselves: programs, script
// hosts, installers, shortcuts, HTML applications and help, disk images,
// documents and add-ins that carry macros.
const char* const kDangerousExtensions[] = {
    "ade", "adp", "app", "application", "appref-ms", "asp", "bas", "bat", "cer", "chm", "cmd", "cnt", "com",
    "cpl", "crt", "csh", "der", "diagcab", "dll", "docm", "dotm", "exe", "fxp", "gadget", "grp", "hlp", "hpj",
    "hta", "htc", "img", "inf", "ins", "iso", "isp", "its", "jar", "jnlp", "js", "jse", "ksh", "lnk", "mad",
    "maf", "mag", "mam", "maq", "mar", "mas", "mat", "mau", "mav", "maw", "mcf", "mda", "mdb", "mde", "mdt",
    "mdw", "mdz", "msc", "msh", "msh1", "msh1xml", "msh2", "msh2xml", "mshxml", "msi", "msix", "msixbundle",
    "msp", "mst", "msu", "ocx", "ops", "pcd", "pif", "pl", "plg", "potm", "ppam", "ppsm", "pptm", "prf", "prg",
    "ps1", "ps1xml", "ps2", "ps2xml", "psc1", "psc2", "psd1", "psm1", "pst", "py", "pyc", "pyo", "pyw", "pyz",
    "pyzw", "reg", "scf", "scr", "sct", "search-ms", "settingcontent-ms", "shb", "shs", "sldm", "sys", "theme",
    "url", "vb", "vbe", "vbp", "vbs", "vhd", "vhdx", "vsmacros", "vsw", "website", "ws", "wsb", "wsc", "wsf",
    "wsh", "xbap", "xla", "xlam", "xll", "xlm", "xlsm", "xltm", "xnk",
};

}  // namespace

bool isDangerousFileName(const std::string& fileName) {
    std::size_t end = fileName.size();
    while (end > 0 && (fileName[end - 1] == '.' || fileName[end - 1] == ' ')) --end;
    const std::size_t dot = fileName.rfind('.', end == 0 ? 0 : end - 1);
    if (dot == std::string::npos || end == 0) return false;
    std::string extension;
    for (std::size_t i = dot + 1; i < end; ++i) {
        const char c = fileName[i];
        extension += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    for (const char* dangerous : kDangerousExtensions) {
        if (extension == dangerous) return true;
    }
    return false;
}

std::string normalizeWebLocation(const std::string& typed) {
    const bool secure = typed.find("s://") != std::string::npos || typed.find("S://") != std::string::npos;
    const std::size_t scheme = typed.find("://");
    const std::string address = scheme == std::string::npos ? typed : typed.substr(scheme + 3);
    return (secure ? "https://" : "http://") + address;
}

std::string pageOpenUrl(const Document& record) {
    const std::string address = normalizeWebLocation(fieldText(record.url));
    if (record.useAccount != 1) return address;
    const std::size_t host = address.find("://") + 3;
    return address.substr(0, host) + escapeUserInfo(fieldText(record.userName)) + ":" +
           escapeUserInfo(fieldText(record.password)) + "@" + address.substr(host);
}

std::string browserCommandLine(const std::string& browserPath, const std::string& url) {
    std::string quotedUrl;
    for (char c : url) {
        if (c == '"') {
            quotedUrl += "%22";
        } else {
            quotedUrl += c;
        }
    }
    // Backslashes right before the closing quote would escape it.
    std::size_t trailing = 0;
    while (trailing < quotedUrl.size() && quotedUrl[quotedUrl.size() - 1 - trailing] == '\\') ++trailing;
    quotedUrl.append(trailing, '\\');
    return "\"" + browserPath + "\" \"" + quotedUrl + "\"";
}

bool lastLocationComponent(const std::string& location, std::string& component) {
    component.clear();
    for (std::size_t i = location.size(); i-- > 1;) {
        const char c = location[i];
        if (c == '\n' || c == '\r') return false;
        if (c == '\\' || c == '/') {
            component = location.substr(i + 1);
            return true;
        }
    }
    return false;
}

OpenResult openDocument(const Document& record, const std::string& browserPath, FileSystem& files,
                        DocumentLauncher& launcher, OpenMode mode) {
    if (record.type == HtmlPage) {
        // The live page; it need not have been retrieved before.
        const std::string url = pageOpenUrl(record);
        if (!browserPath.empty() && launcher.startProcess(browserCommandLine(browserPath, url))) {
            return OpenResult::Opened;
        }
        return launcher.shellOpen(url, true) ? OpenResult::Opened : OpenResult::Refused;
    }
    DocumentFiles documentFiles(files);
    const std::string name = fieldText(record.name);
    if (!documentFiles.hasKeptContent(name)) return OpenResult::NotDownloaded;
    std::string component;
    if (!lastLocationComponent(fieldText(record.url), component)) return OpenResult::InvalidLocation;
    // Whatever a server sent, a program or script is not started unasked.
    if (mode == OpenMode::Automatic && (isDangerousFileName(component) || launcher.systemCallsDangerous(component))) {
        return OpenResult::Withheld;
    }
    const std::string copy = documentFiles.makeOpenCopy(name, component, kOpenNameRoom, kMaxOpenPathLength);
    if (copy.empty()) return OpenResult::Failed;
    return launcher.shellOpen(copy, false) ? OpenResult::Opened : OpenResult::Refused;
}

}  // namespace hs
