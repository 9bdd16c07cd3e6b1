#include "work_dir.h"

#include "handles.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace hs::e2e {

namespace fs = std::filesystem;

std::string toWindowsPath(const std::string& path) {
    std::string p = path;
    if (!p.empty() && p[0] == '/') p = "Z:" + p;
    std::replace(p.begin(), p.end(), '/', '\\');
    return p;
}

std::string workBaseDirectory() {
    char buf[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("HS_E2E_WORK", buf, sizeof buf);
    if (n > 0 && n < sizeof buf) return toWindowsPath(buf);
    n = GetTempPathA(sizeof buf, buf);
    if (n == 0 || n >= sizeof buf) return ".";
    std::string base(buf, n);
    while (!base.empty() && (base.back() == '\\' || base.back() == '/')) base.pop_back();
    return base;
}

namespace {

std::string sanitize(const std::string& label) {
    std::string out;
    for (char c : label) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                        c == '-' || c == '_';
        out += ok ? c : '_';
    }
    return out;
}

}  // namespace

WorkDir::WorkDir(const std::string& label) {
    static std::atomic<unsigned> counter{0};
    const std::string base = workBaseDirectory();
    std::error_code ec;
    fs::create_directories(base, ec);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string unique = "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
        const std::size_t fixed = base.size() + 8 + unique.size();
        std::string name = sanitize(label);
        name.resize(std::min(name.size(), fixed < kMaxWorkDirLength ? kMaxWorkDirLength - fixed : 0));
        const std::string candidate = base + "\\hs-e2e-" + name + unique;
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a working directory under " + base);
}

WorkDir::~WorkDir() {
    if (keep_ || path_.empty()) return;
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string WorkDir::file(const std::string& relative) const {
    std::string rel = relative;
    std::replace(rel.begin(), rel.end(), '/', '\\');
    return rel.empty() ? path_ : path_ + "\\" + rel;
}

void WorkDir::writeFile(const std::string& relative, const std::string& bytes) const {
    const std::string p = file(relative);
    std::error_code ec;
    fs::create_directories(fs::path(p).parent_path(), ec);
    FILE* f = std::fopen(p.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + p);
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), f);
    const bool closed = std::fclose(f) == 0;
    if (written != bytes.size() || !closed) throw std::runtime_error("short write to " + p);
}

bool WorkDir::readFile(const std::string& relative, std::string& bytes) const {
    bytes.clear();
    FILE* f = std::fopen(file(relative).c_str(), "rb");
    if (!f) return false;
    char buf[8192];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    std::fclose(f);
    return true;
}

bool WorkDir::exists(const std::string& relative) const {
    return GetFileAttributesA(file(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WorkDir::isDirectory(const std::string& relative) const {
    const DWORD a = GetFileAttributesA(file(relative).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void WorkDir::makeDirectory(const std::string& relative) const {
    std::error_code ec;
    fs::create_directories(file(relative), ec);
    if (ec) throw std::runtime_error("cannot create " + file(relative));
}

unsigned long long WorkDir::writeTime(const std::string& relative) const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(file(relative).c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

void WorkDir::makeOld(const std::string& relative) const {
    UniqueHandle h(CreateFileA(file(relative).c_str(), FILE_WRITE_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!h) throw std::runtime_error("cannot open " + file(relative));
    SYSTEMTIME st{};
    st.wYear = 2001;
    st.wMonth = 1;
    st.wDay = 1;
    FILETIME ft{};
    SystemTimeToFileTime(&st, &ft);
    if (!SetFileTime(h.get(), nullptr, nullptr, &ft)) throw std::runtime_error("cannot set the time of " + file(relative));
}

std::vector<std::string> WorkDir::list(const std::string& relative) const {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(file(relative), ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> WorkDir::temporaryFiles() const {
    std::vector<std::string> found;
    for (const char* where : {"data", "data\\staging"}) {
        for (const std::string& n : list(where)) {
            if (n.size() > 4 && n.compare(n.size() - 4, 4, ".tmp") == 0) found.push_back(n);
        }
    }
    return found;
}

}  // namespace hs::e2e
