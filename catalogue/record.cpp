#include "catalogue/record.h"

#include <algorithm>
#include <memory>

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

void setField(std::string& field, const std::string& text) {
    field.assign(text, 0, std::min(text.size(), kTextFieldSize - 1));
}

namespace {

// The text fields of both forms, in layout order.
template <class Doc, class Layout, class Fn>
void forEachTextField(Doc& d, Layout& l, Fn fn) {
    fn(d.url, l.url);
    fn(d.name, l.name);
    fn(d.userName, l.userName);
    fn(d.password, l.password);
    fn(d.lastCheck, l.lastCheck);
    fn(d.countString, l.countString);
    fn(d.middleStart, l.middleStart);
    fn(d.middleEnd, l.middleEnd);
}

// Whether a field holds any byte after its text.
bool hasTail(const char (&field)[kTextFieldSize]) {
    const void* end = std::memchr(field, 0, kTextFieldSize);
    if (!end) return false;
    const char* p = static_cast<const char*>(end);
    for (++p; p != field + kTextFieldSize; ++p) {
        if (*p != 0) return true;
    }
    return false;
}

}  // namespace

Document documentFromLayout(const RecordLayout& layout) {
    Document d;
    bool carries = false;
    forEachTextField(d, layout, [&](std::string& text, const char (&field)[kTextFieldSize]) {
        text = fieldText(field);
        if (text.size() >= kTextFieldSize) text.resize(kTextFieldSize - 1);
        carries = carries || hasTail(field) || field[kTextFieldSize - 1] != 0;
    });
    for (unsigned char byte : layout.reserved) carries = carries || byte != 0;
    d.type = layout.type;
    d.useAccount = layout.useAccount;
    d.status = layout.status;
    d.countMode = layout.countMode;
    d.countResult = layout.countResult;
    d.middleMode = layout.middleMode;
    if (carries) d.carried = std::make_shared<const RecordLayout>(layout);
    return d;
}

RecordLayout layoutFromDocument(const Document& document) {
    RecordLayout l = document.carried ? *document.carried : zeroLayout();
    forEachTextField(document, l, [&](const std::string& text, char (&field)[kTextFieldSize]) {
        if (!document.carried || fieldText(field) != text) setField(field, text);
    });
    l.type = document.type;
    l.useAccount = document.useAccount;
    l.status = document.status;
    l.countMode = document.countMode;
    l.countResult = document.countResult;
    l.middleMode = document.middleMode;
    return l;
}

bool operator==(const Document& a, const Document& b) {
    const RecordLayout x = layoutFromDocument(a);
    const RecordLayout y = layoutFromDocument(b);
    return std::memcmp(&x, &y, sizeof x) == 0;
}

uint64_t recordFingerprint(const Document& document) {
    const RecordLayout layout = layoutFromDocument(document);
    const auto* p = reinterpret_cast<const unsigned char*>(&layout);
    uint64_t h = 14695981039346656037ull;  // FNV-1a, 64 bits
    for (std::size_t i = 0; i < sizeof layout; ++i) h = (h ^ p[i]) * 1099511628211ull;
    return h;
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
