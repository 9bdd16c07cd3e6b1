// A whole FTP session against a server whose replies are the fuzzer's
// bytes, in any order and in pieces of every size: login, a directory
// change, a retrieval over a data connection read to its end. Every command
// goes out as one line, and the content is what the server's own data
// connection said.
#include <string>

#include "net/ftp_client.h"
#include "fake_network.h"

using namespace hs;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const uint8_t flags = in.byte();
    fuzz::PieceSizes sizes(in.text());
    const std::string user = in.text();
    const std::string directory = in.text();
    const std::string file = in.text();
    const std::string content = in.text();
    const std::string replies = in.rest();

    std::string sent;
    fuzz::ScriptedNetwork network;
    network.streams.push_back(std::make_unique<fuzz::ScriptedStream>(
        std::vector<std::string>{replies}, sizes, fuzz::peerEnd(flags), &sent));
    if (!(flags & 16)) {
        network.data = std::make_unique<fuzz::ScriptedStream>(std::vector<std::string>{content}, sizes,
                                                              fuzz::peerEnd(flags >> 2));
    }
    if (flags & 32) {  // somebody else connects to the data port first
        network.stranger = std::make_unique<fuzz::ScriptedStream>(std::vector<std::string>{"forged"}, sizes,
                                                                  kNetClosed, nullptr, "127.0.0.66");
    }
    {
        auto session = std::make_unique<FtpSession>(network, NetBounds{});
        FtpSession& s = *session;
        if (s.open("127.0.0.1", kFtpPort, user, "secret") && s.changeDirectory(directory) && s.startRetrieve(file)) {
            FtpFileSource source(std::move(session));
            std::string got;
            const long end = fuzz::readToEnd(source, sizes, content.size(), got);
            fuzz::require(end < 0 || got == content, "a confirmed transfer is the whole content");
        } else {
            fuzz::require(!s.error().empty(), "a failed step says why");
        }
    }
    // Every command is one line; nothing is left in the middle of a line.
    for (std::size_t i = 0; i < sent.size(); ++i) {
        fuzz::require((sent[i] == '\r') == (i + 1 < sent.size() && sent[i + 1] == '\n') &&
                          (sent[i] != '\n' || (i > 0 && sent[i - 1] == '\r')),
                      "commands of one line each");
    }
    fuzz::require(sent.empty() || sent.back() == '\n', "whole commands");
    return 0;
}
