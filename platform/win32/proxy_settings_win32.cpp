#include "platform/proxy_settings.h"

#include <windows.h>

#include <algorithm>

namespace hs {

namespace {

// A text value whole, whatever its length (a bypass list of an intranet
// runs to many kilobytes); "" when it is missing or not text.
std::string readText(HKEY key, const char* name) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        if (::RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ)) {
            return std::string();
        }
        std::string value(size + 1, '\0');
        DWORD got = size;
        const LONG result =
            ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value[0]), &got);
        if (result == ERROR_MORE_DATA) continue;  // it grew in between
        if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::string();
        value.resize(std::min<std::size_t>(got, value.size()));
        const std::size_t end = value.find('\0');
        if (end != std::string::npos) value.resize(end);
        return value;
    }
    return std::string();
}

}  // namespace

SystemProxy systemProxy() {
    SystemProxy proxy;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", 0,
                        KEY_READ, &key) != ERROR_SUCCESS) {
        return proxy;
    }
    DWORD enabled = 0;
    DWORD size = sizeof enabled;
    DWORD type = 0;
    if (::RegQueryValueExA(key, "ProxyEnable", nullptr, &type, reinterpret_cast<BYTE*>(&enabled), &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD) {
        proxy.enabled = enabled != 0;
    }
    proxy.server = readText(key, "ProxyServer");
    proxy.bypass = readText(key, "ProxyOverride");
    ::RegCloseKey(key);
    if (proxy.server.empty()) proxy.enabled = false;
    return proxy;
}

}  // namespace hs
