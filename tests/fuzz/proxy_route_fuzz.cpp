// The choice between the system's proxy and a direct connection: the
// server entry for the scheme, and the bypass list with its wildcards,
// whose match must agree with a plain reference match.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "net/web_client.h"
#include "fuzz_support.h"

using namespace hs;

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// '*' any run of characters, '?' any one character.
bool referenceMatch(const std::string& pattern, const std::string& text) {
    std::vector<bool> row(text.size() + 1, false);  // pattern so far against text's front parts
    row[0] = true;
    for (const char p : pattern) {
        std::vector<bool> next(text.size() + 1, false);
        next[0] = p == '*' && row[0];
        for (std::size_t t = 1; t <= text.size(); ++t) {
            next[t] = p == '*' ? row[t] || next[t - 1] : row[t - 1] && (p == '?' || p == text[t - 1]);
        }
        row.swap(next);
    }
    return row[text.size()];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const uint8_t flags = in.byte();
    const std::string location = in.text();
    const std::string pattern = in.text();
    const SystemProxy proxy{(flags & 1) != 0, in.text(), in.rest()};
    WebUrl url;
    if (!parseWebUrl(location, url)) return 0;

    const ProxyRoute route = proxyRouteFor(proxy, url);
    fuzz::require(proxy.enabled || (!route.use && !route.refused), "no proxy when none is enabled");
    fuzz::require(!(route.use && route.refused), "a refused request goes nowhere");
    if (route.use) {
        fuzz::require(route.port >= 1 && route.port <= 65535, "a proxy port");
        fuzz::require(!route.host.empty() && route.host.find_first_of(" \t\r\n/") == std::string::npos, "a proxy host");
    }
    const ProxyRoute bypassed = proxyRouteFor({proxy.enabled, proxy.server, proxy.bypass + ";*"}, url);
    fuzz::require(!bypassed.use && !bypassed.refused, "a bypass of * bypasses everything");

    if (pattern.size() > 300 || url.host.size() > 300 || pattern.find_first_of("; \t") != std::string::npos ||
        pattern.find("://") != std::string::npos || lower(pattern) == "<local>") {
        return 0;
    }
    const bool direct = !proxyRouteFor({true, "127.0.0.9:8080", pattern}, url).use;
    fuzz::require(direct == (!pattern.empty() && referenceMatch(lower(pattern), lower(url.host))),
                  "the bypass matches as wildcards do");
    return 0;
}
