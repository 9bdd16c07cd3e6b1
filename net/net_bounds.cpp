#include "net/net_bounds.h"

#include <cerrno>
#include <cstdlib>

namespace hs {

NetBounds parseNetBounds(const char* text) {
    const NetBounds defaults;
    if (text == nullptr) return defaults;
    long values[3] = {};
    const char* p = text;
    for (int i = 0; i < 3; ++i) {
        char* end = nullptr;
        errno = 0;
        values[i] = std::strtol(p, &end, 10);
        if (end == p || errno != 0 || values[i] <= 0 || values[i] > 24L * 3600 * 1000) return defaults;
        if (*end != (i < 2 ? ',' : '\0')) return defaults;
        p = end + 1;
    }
    NetBounds b;
    b.connectMs = static_cast<int>(values[0]);
    b.idleMs = static_cast<int>(values[1]);
    b.totalMs = static_cast<int>(values[2]);
    return b;
}

NetBounds netBounds() {
    static const NetBounds bounds = parseNetBounds(std::getenv("HS_TEST_NET_BOUNDS"));
    return bounds;
}

}  // namespace hs
