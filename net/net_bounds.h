// How long the network clients wait: to connect or for any reply of a
// server, without a byte on a data connection, and for a whole retrieval.
// A server that stops answering, or answers a byte at a time, costs a
// worker at most these times.
#pragma once

namespace hs {

struct NetBounds {
    int connectMs = 30 * 1000;      // a connection, or one whole reply
    int idleMs = 60 * 1000;         // without a byte of content
    int totalMs = 30 * 60 * 1000;   // one retrieval from start to end
};

// The bounds of this process. The tests shorten them through the
// environment variable HS_TEST_NET_BOUNDS="<connect_ms>,<idle_ms>,<total_ms>"
// (three positive numbers, read once); anything else gives the defaults.
NetBounds netBounds();

// The bounds a HS_TEST_NET_BOUNDS text gives (null: the defaults).
NetBounds parseNetBounds(const char* text);

}  // namespace hs
