#include "platform/proxy_settings.h"

#include <windows.h>

namespace hs {

namespace {

std::string readText(HKEY key, const char* name) {
    char value[2048] = {};
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::string();
    }
    return std::string(value);
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
