#include "platform/tls.h"

namespace hs {

std::unique_ptr<TcpStream> startTls(std::unique_ptr<TcpStream>, const std::string&, int,
                                    std::chrono::steady_clock::time_point, std::string& error) {
    error = "TLS not available on this platform";
    return nullptr;
}

}  // namespace hs
