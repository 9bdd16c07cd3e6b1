#include "platform/win32/file_types.h"

#include <windows.h>

#include <vector>

namespace hs {

bool systemCallsDangerousType(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string extension = fileName.substr(dot);
    // Only a wide-character form exists; looked up at run time, as older
    // systems lack it.
    using IsDangerous = BOOL(WINAPI*)(LPCWSTR);
    HMODULE shlwapi = ::GetModuleHandleA("shlwapi.dll");
    if (shlwapi == nullptr) shlwapi = ::LoadLibraryA("shlwapi.dll");
    if (shlwapi == nullptr) return false;
    const auto isDangerous = reinterpret_cast<IsDangerous>(
        reinterpret_cast<void (*)()>(::GetProcAddress(shlwapi, "AssocIsDangerous")));
    if (isDangerous == nullptr) return false;
    const int length = ::MultiByteToWideChar(CP_ACP, 0, extension.c_str(), -1, nullptr, 0);
    if (length <= 0) return false;
    std::vector<wchar_t> wide(static_cast<std::size_t>(length));
    if (::MultiByteToWideChar(CP_ACP, 0, extension.c_str(), -1, wide.data(), length) != length) return false;
    return isDangerous(wide.data()) != FALSE;
}

}  // namespace hs
