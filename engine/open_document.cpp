#include "engine/open_document.h"

#include <cstdio>

#include "catalogue/store.h"
#include "platform/stdio_file.h"

namespace hs {

const char* const kSelectToOpenText = "Please select one document data to open.";
const char* const kNotDownloadedText =
    "This document is not downloaded yet.\nPlease use the 'Check!' button to download.";
const char* const kInvalidLocationText = "Invalid document location.\nPlease use the 'Edit' button to correct.";

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

}  // namespace

std::string pageOpenUrl(const DocumentRecord& record) {
    const std::string location = fieldText(record.url);
    const bool secure = location.find("s://") != std::string::npos || location.find("S://") != std::string::npos;
    const std::string prefix = secure ? "https://" : "http://";
    const std::size_t scheme = location.find("://");
    const std::string rest = scheme == std::string::npos ? location : location.substr(scheme + 3);
    if (record.useAccount != 1) return prefix + rest;
    return prefix + escapeUserInfo(fieldText(record.userName)) + ":" + escapeUserInfo(fieldText(record.password)) +
           "@" + rest;
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

OpenResult openDocument(const DocumentRecord& record, const std::string& browserPath, FileSystem& files,
                        DocumentLauncher& launcher) {
    if (record.type == HtmlPage) {
        // The live page; it need not have been retrieved before.
        const std::string url = pageOpenUrl(record);
        if (!browserPath.empty() && launcher.startProcess(browserCommandLine(browserPath, url))) {
            return OpenResult::Opened;
        }
        launcher.shellOpen(url, true);
        return OpenResult::Opened;
    }
    const std::string content = contentFilePath(fieldText(record.name));
    {
        StdioFile kept(openForReading(content));
        if (!kept.get()) return OpenResult::NotDownloaded;
    }
    std::string component;
    if (!lastLocationComponent(fieldText(record.url), component)) return OpenResult::InvalidLocation;
    // A fresh name that ends with the document's own file name, so that the
    // shell picks the program for its kind.
    const std::string temp = files.makeTempFile(kDataDir, "QVR");
    if (temp.empty()) return OpenResult::Failed;
    files.removeFile(temp);
    const std::string copy = temp + "_" + component;
    if (!files.copyFile(content, copy)) return OpenResult::Failed;
    launcher.shellOpen(copy, false);
    return OpenResult::Opened;
}

}  // namespace hs
