#include "open_recorder.h"

#include <windows.h>

#include <fstream>

#include "handles.h"
#include "wait.h"

namespace hs::e2e {

namespace {

std::string besideDriver(const std::string& name) {
    char buf[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    std::string p(buf, n);
    return p.substr(0, p.find_last_of("\\/") + 1) + name;
}

void setDefaultValue(const std::string& key, const std::string& value) {
    HKEY k = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    UniqueRegistryKey owned(k);
    RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

const char* const kKeys[] = {".htm", ".hsdoc", ".docm", "HsTestPage", "HsTestDoc"};

}  // namespace

OpenRecorder::OpenRecorder() : log_(besideDriver("opened.log")) {
    DeleteFileA(log_.c_str());
    const std::string recorder = besideDriver("hs_open_recorder.exe");
    setDefaultValue("Software\\Classes\\.htm", "HsTestPage");
    setDefaultValue("Software\\Classes\\.hsdoc", "HsTestDoc");
    setDefaultValue("Software\\Classes\\.docm", "HsTestDoc");  // a dangerous type
    for (const char* type : {"HsTestPage", "HsTestDoc"}) {
        setDefaultValue(std::string("Software\\Classes\\") + type + "\\shell\\open\\command",
                        "\"" + recorder + "\" \"%1\"");
    }
}

OpenRecorder::~OpenRecorder() {
    for (const char* key : kKeys) RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string("Software\\Classes\\") + key).c_str());
}

std::vector<std::string> OpenRecorder::lines() const {
    std::ifstream f(log_, std::ios::binary);
    std::vector<std::string> found;
    for (std::string line; std::getline(f, line);) found.push_back(line);
    return found;
}

std::vector<std::string> OpenRecorder::waitForLines(std::size_t count) const {
    std::vector<std::string> found;
    pollUntil([&] { return (found = lines()).size() >= count; });
    return found;
}

}  // namespace hs::e2e
