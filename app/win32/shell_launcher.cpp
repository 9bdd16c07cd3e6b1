#include "app/win32/shell_launcher.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "platform/win32/file_types.h"
#include "platform/win32/handles.h"

namespace hs {

bool ShellLauncher::startProcess(const std::string& commandLine) {
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoA(&startup);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, "C:\\",
                          &startup, &started)) {
        return false;
    }
    // Nobody waits for the browser.
    UniqueHandle process(started.hProcess);
    UniqueHandle thread(started.hThread);
    return true;
}

bool ShellLauncher::shellOpen(const std::string& target, bool isUrl) {
    const HINSTANCE result =
        ::ShellExecuteA(nullptr, "open", target.c_str(), nullptr, isUrl ? "." : nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool ShellLauncher::systemCallsDangerous(const std::string& fileName) { return systemCallsDangerousType(fileName); }

}  // namespace hs

namespace hs {

namespace {
constexpr const char* kBrowserProbeFile = "HalvorsightTemp.htm";
}  // namespace

std::string findBrowserPath() {
    // The shell answers only for a file that exists, so an empty probe is
    // made and deleted again. A file of that name that is already there is
    // the user's: it is asked about as it is, and neither emptied nor
    // deleted.
    const bool madeProbe = static_cast<bool>(UniqueHandle(::CreateFileA(
        kBrowserProbeFile, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
    char found[MAX_PATH + 1] = {};
    const HINSTANCE result = ::FindExecutableA(kBrowserProbeFile, nullptr, found);
    if (madeProbe) ::DeleteFileA(kBrowserProbeFile);
    if (reinterpret_cast<INT_PTR>(result) <= 32) return std::string();
    found[MAX_PATH] = '\0';
    return found;
}

}  // namespace hs
