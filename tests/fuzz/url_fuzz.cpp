// Web locations: the normalization the properties dialog applies, the URL
// a page opens with, and the parsing of locations and redirections into
// what the web client sends.
#include <string>

#include "catalogue/record.h"
#include "dialogs/document_properties_model.h"
#include "open/open_document.h"
#include "net/web_url.h"
#include "fuzz_support.h"

using namespace hs;

namespace {

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// What goes on a request line and into the Host header.
void requireSendable(const WebUrl& url) {
    fuzz::require(!url.host.empty(), "a host");
    for (const char c : url.host) {
        fuzz::require(static_cast<unsigned char>(c) > 0x20 && c != '\\' && c != '/', "a host without blanks");
    }
    fuzz::require(url.port >= 1 && url.port <= 65535, "a port");
    fuzz::require(startsWith(url.target, "/"), "a target that starts with /");
    for (const char c : url.target) {
        const auto u = static_cast<unsigned char>(c);
        fuzz::require(u > 0x20 && u < 0x7F && c != '#', "a target of printable characters");
    }
    fuzz::require(url.hostHeader().find_first_of("\r\n ") == std::string::npos, "a Host header on one line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const uint8_t flags = in.byte();
    const std::string typed = in.text();
    const std::string user = in.text();
    const std::string password = in.text();
    const std::string location = in.rest();

    const std::string normalized = normalizeWebLocation(typed);
    fuzz::require(startsWith(normalized, "http://") || startsWith(normalized, "https://"), "a web scheme");
    fuzz::require(normalizeWebLocation(normalized) == normalized, "normalizing twice changes nothing");

    Document record = zeroRecord();
    record.type = (flags & 1) ? HtmlPage : WebFile;
    record.useAccount = (flags & 2) ? 1 : 0;
    setField(record.url, normalized);
    setField(record.userName, user);
    setField(record.password, password);
    const std::string opened = pageOpenUrl(record);
    fuzz::require(startsWith(opened, "http://") || startsWith(opened, "https://"), "the page opens on the web");

    const WebRequest request = webRequestOf(record);
    WebUrl url;
    if (!parseWebUrl(request.location, url)) return 0;
    requireSendable(url);
    fuzz::require(url.https == startsWith(normalized, "https://"), "the scheme is kept");

    WebUrl next;
    if (resolveLocation(url, location, next)) {
        requireSendable(next);
        if (!next.hasUserInfo) {
            fuzz::require(next.user.empty() && next.password.empty(), "no credentials from the old URL");
        }
    }
    return 0;
}
