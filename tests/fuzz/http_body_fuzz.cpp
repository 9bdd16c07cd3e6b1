// A web answer's body read through the client in pieces of every size, so
// that piece boundaries fall everywhere in the chunk-size and trailer lines:
// the fuzzer's bytes as a chunked body, and its content framed by the
// target (chunked, with a length, until the close), which must come back.
#include <cstdio>
#include <memory>
#include <string>

#include "net/web_client.h"
#include "fake_network.h"

using namespace hs;

namespace {

// `content` in chunks whose sizes come from `cuts`, in hex of either case,
// some with an extension, with a trailer line; lines end in `eol`.
std::string chunked(const std::string& content, const std::string& cuts, bool upper, const char* eol) {
    std::string out;
    char size[32];
    for (std::size_t at = 0, i = 0; at < content.size(); ++i) {
        const std::size_t cut = cuts.empty() ? content.size() : 1 + static_cast<unsigned char>(cuts[i % cuts.size()]);
        const std::size_t n = std::min(cut, content.size() - at);
        std::snprintf(size, sizeof size, upper ? "%zX" : "%zx", n);
        out += std::string(i % 3 == 1 ? "0" : "") + size + (i % 2 ? " ;name=value" : "") + eol;
        out += content.substr(at, n) + eol;
        at += n;
    }
    return out + "0" + eol + "Trailer: x" + eol + eol;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const uint8_t flags = in.byte();
    fuzz::PieceSizes sizes(in.text());
    const std::string cuts = in.text();
    const std::string content = in.rest();
    const char* eol = flags & 4 ? "\n" : "\r\n";
    const int framing = flags % 4;  // raw chunked, chunked, length, until the close

    std::string head = std::string("HTTP/1.1 200 OK") + eol;
    if (framing <= 1) head += std::string("Transfer-Encoding: gzip, chunked") + eol;
    if (framing == 2) head += "Content-Length: " + std::to_string(content.size()) + eol;
    head += eol;
    const std::string sent = framing == 1 ? chunked(content, cuts, flags & 8, eol) : content;
    auto network = std::make_shared<fuzz::ScriptedNetwork>();
    network->streams.push_back(std::make_unique<fuzz::ScriptedStream>(
        std::vector<std::string>{head + sent}, sizes, framing == 0 ? fuzz::peerEnd(flags >> 4) : kNetClosed));
    WebClient client(network, nullptr, "Halvorsight", WebBounds{});

    std::string error;
    const auto body = client.open(WebRequest{"http://127.0.0.1/", false, "", ""}, error);
    fuzz::require(body != nullptr, "the answer head is read");
    std::string got;
    const long end = fuzz::readToEnd(*body, sizes, content.size(), got);
    if (framing > 0) fuzz::require(end == 0 && got == content, "the body comes back whole");
    return 0;
}
