// The head of a web server's answer (status line, header lines, lengths),
// and before it a proxy's answer to CONNECT, as the web client reads them
// in pieces of every size, with the body behind them read to its end; a
// redirection is followed to a second connection.
#include <memory>
#include <string>

#include "net/web_client.h"
#include "fake_network.h"

using namespace hs;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const uint8_t flags = in.byte();
    const bool https = flags & 1, viaProxy = flags & 2;
    fuzz::PieceSizes sizes(in.text());
    const std::string proxyAnswer = in.text();
    const std::string redirected = in.text();  // the second connection's answer
    const std::string answer = in.rest();

    std::vector<std::string> parts{answer};
    if (https && viaProxy) parts.insert(parts.begin(), proxyAnswer);
    auto network = std::make_shared<fuzz::ScriptedNetwork>();
    for (const auto& script : {parts, std::vector<std::string>{redirected}}) {
        network->streams.push_back(std::make_unique<fuzz::ScriptedStream>(script, sizes, fuzz::peerEnd(flags >> 2)));
    }
    TlsStarter passThrough = [](std::unique_ptr<TcpStream> tcp, const std::string&, int,
                                std::chrono::steady_clock::time_point, std::string&) { return tcp; };
    WebBounds bounds;
    bounds.maxRedirects = 1;
    WebClient client(network, passThrough, "Halvorsight", bounds);
    if (viaProxy) client.setProxySource([] { return SystemProxy{true, "127.0.0.9:8080", ""}; });

    WebRequest request;
    request.location = https ? "https://127.0.0.1/a" : "http://127.0.0.1/a";
    std::string error;
    const auto body = client.open(request, error);
    fuzz::require(body || !error.empty(), "a failed request says why");
    std::string content;
    if (body) fuzz::readToEnd(*body, sizes, size, content);  // the tunnel may run on in the proxy part
    return 0;
}
