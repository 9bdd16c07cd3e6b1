// The browser's command line, split again as a started program splits its
// own: exactly two arguments, the browser's path and the URL.
#include <string>
#include <vector>

#include "open/open_document.h"
#include "fuzz_support.h"

using namespace hs;

namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

// The Windows rules: the program name runs to the next quote when quoted
// (to the next blank when not), with no escapes. Then 2n backslashes before
// a quote give n and the quote opens or closes, 2n+1 give n and a quote;
// other backslashes stand for themselves.
std::vector<std::string> splitCommandLine(const std::string& line) {
    std::vector<std::string> args(1);
    std::size_t i = 0;
    if (!line.empty() && line[0] == '"') {
        for (i = 1; i < line.size() && line[i] != '"'; ++i) args[0] += line[i];
        if (i < line.size()) ++i;
    } else {
        for (; i < line.size() && !blank(line[i]); ++i) args[0] += line[i];
    }
    for (;;) {
        while (i < line.size() && blank(line[i])) ++i;
        if (i == line.size()) return args;
        std::string arg;
        bool quoted = false;
        for (; i < line.size() && (quoted || !blank(line[i])); ++i) {
            std::size_t slashes = 0;
            while (line[i] == '\\' && i + 1 < line.size()) ++slashes, ++i;
            if (line[i] != '"') {
                arg.append(slashes, '\\');
                arg += line[i];
            } else {
                arg.append(slashes / 2, '\\');
                if (slashes % 2) {
                    arg += '"';
                } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    arg += '"', ++i;  // "" inside quotes: one quote
                } else {
                    quoted = !quoted;
                }
            }
        }
        args.push_back(arg);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::string path = in.text();
    std::string url = in.rest();
    // A path never holds a quote, and neither part a zero byte.
    if (path.find_first_of(std::string("\"\0", 2)) != std::string::npos) return 0;
    url = url.substr(0, url.find('\0'));

    std::string wanted;
    for (const char c : url) wanted += c == '"' ? std::string("%22") : std::string(1, c);
    const std::vector<std::string> args = splitCommandLine(browserCommandLine(path, url));
    fuzz::require(args.size() == 2, "two arguments");
    fuzz::require(args[0] == path, "the browser's path");
    fuzz::require(args[1] == wanted, "the URL, with %22 for a quote");
    return 0;
}
