#include "platform/proxy_settings.h"

namespace hs {

SystemProxy systemProxy() { return SystemProxy{}; }

}  // namespace hs
