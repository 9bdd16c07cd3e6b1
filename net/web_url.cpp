#include "net/web_url.h"

#include <cctype>

namespace hs {

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string percentDecode(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            const int hi = hexValue(s[i + 1]);
            const int lo = hexValue(s[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

// Escapes what may not stand on a request line; escapes already there stay.
std::string escapeTarget(const std::string& s) {
    static const char* const hex = "0123456789ABCDEF";
    std::string out;
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c >= 0x7F) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

// "a/b/../c/./d" -> "a/c/d", for a path that starts with "/".
std::string removeDotSegments(const std::string& path) {
    std::string out;
    std::size_t i = 0;
    while (i < path.size()) {
        std::size_t next = path.find('/', i + 1);
        if (next == std::string::npos) next = path.size();
        const std::string segment = path.substr(i, next - i);  // "/name"
        if (segment == "/.") {
            if (next == path.size()) out += '/';
        } else if (segment == "/..") {
            const std::size_t cut = out.rfind('/');
            out.erase(cut == std::string::npos ? 0 : cut);
            if (next == path.size()) out += '/';
        } else {
            out += segment;
        }
        i = next;
    }
    return out.empty() ? "/" : out;
}

}  // namespace

std::string WebUrl::hostHeader() const {
    return port == defaultPort() ? host : host + ":" + std::to_string(port);
}

bool WebUrl::sameOrigin(const WebUrl& other) const {
    return https == other.https && lower(host) == lower(other.host) && port == other.port;
}

bool parseWebUrl(const std::string& text, WebUrl& url) {
    url = WebUrl{};
    std::string rest = text;
    const std::size_t schemeEnd = text.find("://");
    if (schemeEnd != std::string::npos) {
        const std::string scheme = lower(text.substr(0, schemeEnd));
        if (scheme == "https") {
            url.https = true;
        } else if (scheme != "http") {
            return false;
        }
        rest = text.substr(schemeEnd + 3);
    }
    url.port = url.defaultPort();

    const std::size_t authorityEnd = rest.find_first_of("/?#");
    std::string authority = rest.substr(0, authorityEnd);
    std::string target = authorityEnd == std::string::npos ? std::string() : rest.substr(authorityEnd);

    const std::size_t at = authority.rfind('@');
    if (at != std::string::npos) {
        const std::string info = authority.substr(0, at);
        const std::size_t colon = info.find(':');
        url.hasUserInfo = true;
        url.user = percentDecode(info.substr(0, colon));
        if (colon != std::string::npos) url.password = percentDecode(info.substr(colon + 1));
        authority.erase(0, at + 1);
    }
    if (authority.empty() || authority[0] == '[') return false;
    const std::size_t colon = authority.find(':');
    url.host = authority.substr(0, colon);
    if (colon != std::string::npos) {
        const std::string port = authority.substr(colon + 1);
        if (!port.empty()) {
            if (port.size() > 5) return false;
            int value = 0;
            for (const char c : port) {
                if (!std::isdigit(static_cast<unsigned char>(c))) return false;
                value = value * 10 + (c - '0');
            }
            if (value < 1 || value > 65535) return false;
            url.port = value;
        }
    }
    if (url.host.empty()) return false;
    for (const char c : url.host) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == '\\') return false;
    }

    const std::size_t hash = target.find('#');
    if (hash != std::string::npos) target.erase(hash);
    if (target.empty() || target[0] == '?') target.insert(0, "/");
    url.target = escapeTarget(target);
    return true;
}

bool resolveLocation(const WebUrl& base, const std::string& location, WebUrl& url) {
    std::string text = location;
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.erase(0, 1);
    if (text.empty()) return false;

    const std::size_t schemeEnd = text.find("://");
    const std::size_t firstSpecial = text.find_first_of("/?#");
    if (schemeEnd != std::string::npos && (firstSpecial == std::string::npos || schemeEnd < firstSpecial)) {
        return parseWebUrl(text, url);
    }
    if (text.compare(0, 2, "//") == 0) {
        return parseWebUrl((base.https ? "https:" : "http:") + text, url);
    }

    url = base;
    url.hasUserInfo = false;
    url.user.clear();
    url.password.clear();
    const std::size_t hash = text.find('#');
    if (hash != std::string::npos) text.erase(hash);
    if (text.empty()) return true;  // the same document
    if (text[0] == '/') {
        url.target = text;
    } else if (text[0] == '?') {
        url.target = base.target.substr(0, base.target.find('?')) + text;
    } else {
        std::string dir = base.target.substr(0, base.target.find('?'));
        dir.erase(dir.rfind('/') + 1);
        url.target = dir + text;
    }
    const std::size_t query = url.target.find('?');
    const std::string path = removeDotSegments(url.target.substr(0, query));
    url.target = escapeTarget(path + (query == std::string::npos ? std::string() : url.target.substr(query)));
    return true;
}

WebRequest webRequestOf(const Document& record) {
    WebRequest request;
    request.location = fieldText(record.url);
    if (record.useAccount == 1) {
        if (request.location.find("://") == std::string::npos) request.location.insert(0, "http://");
        request.withAccount = true;
        request.userName = fieldText(record.userName);
        request.password = fieldText(record.password);
    }
    return request;
}

std::string base64Encode(const std::string& bytes) {
    static const char* const table = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8 | static_cast<unsigned char>(bytes[i + 2]);
        out += table[v >> 18];
        out += table[(v >> 12) & 63];
        out += table[(v >> 6) & 63];
        out += table[v & 63];
    }
    if (i < bytes.size()) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += table[v >> 18];
        out += table[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? table[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

}  // namespace hs
