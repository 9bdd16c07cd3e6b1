// TLS over a bounded TCP connection. The handshake and every later read
// wait at most `idleMs` for a byte and never beyond `deadline`, so a server
// that stalls the handshake or trickles records costs no more than the
// caller allows. The server's certificate must chain to a root the system
// trusts, name `serverName`, be in date, be meant for server
// authentication and not be revoked (revocation that cannot be learnt
// within the bounds does not refuse it); otherwise the connection is
// refused. Nothing below TLS 1.2 is spoken.
//
// receive() gives kNetClosed only after the server's close_notify; a
// connection that ends without one gives kNetError, as the data before it
// may be cut short.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "platform/network.h"

namespace hs {

// A TLS connection over `tcp`, or null with a short reason in `error`.
// Where the platform brings no TLS (the portable build) it always fails.
std::unique_ptr<TcpStream> startTls(std::unique_ptr<TcpStream> tcp, const std::string& serverName, int idleMs,
                                    std::chrono::steady_clock::time_point deadline, std::string& error);

}  // namespace hs
