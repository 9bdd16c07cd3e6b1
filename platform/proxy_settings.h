// The user's proxy settings as the system keeps them (on Windows the
// Internet settings of the current user: ProxyEnable, ProxyServer,
// ProxyOverride). Read afresh for every retrieval.
#pragma once

#include <string>

namespace hs {

struct SystemProxy {
    bool enabled = false;
    // "host:port" for every scheme, or "http=host:port;https=host:port;...".
    std::string server;
    // Hosts reached directly: ";"-separated patterns with "*", "<local>"
    // for names without a dot.
    std::string bypass;
};

// Where the platform keeps none (the portable build): no proxy.
SystemProxy systemProxy();

}  // namespace hs
