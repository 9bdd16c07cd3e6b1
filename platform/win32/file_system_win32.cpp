// The file system on Windows, through the ANSI variants of the Win32 API
// (the program's stored texts are 8-bit ANSI).
//
// Listing uses FindFirstFileA/FindNextFileA and keeps their order. An entry
// passes when its attributes include ARCHIVE or NORMAL and it is not a
// directory: a read-only file whose archive attribute is cleared, for
// example, does not pass. Because the system matches wildcards against the
// short 8.3 names as well ("*.tmp" would find "notes.tmpl" through its short
// name NOTES~1.TMP), the long name must also end with the pattern's ending,
// compared without regard to case as the file system does.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/handles.h"

namespace hs {

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool endsWithNoCase(const std::string& name, const std::string& ending) {
    if (name.size() < ending.size()) return false;
    const std::size_t start = name.size() - ending.size();
    for (std::size_t i = 0; i < ending.size(); ++i) {
        if (lowerAscii(name[start + i]) != lowerAscii(ending[i])) return false;
    }
    return true;
}

// The directory part of a path, "." for a bare name.
std::string directoryOf(const std::string& path) {
    const std::size_t at = path.find_last_of("\\/");
    if (at == std::string::npos) return ".";
    if (at == 0 || (at == 2 && path[1] == ':')) return path.substr(0, at + 1);
    return path.substr(0, at);
}

class Win32FileSystem final : public FileSystem {
public:
    uint64_t freeBytes(const std::string& dir) override {
        ULARGE_INTEGER available{};
        if (!GetDiskFreeSpaceExA(dir.c_str(), &available, nullptr, nullptr)) return kUnknownFreeBytes;
        return available.QuadPart;
    }

    bool listFiles(const std::string& dir, const std::string& pattern,
                   std::vector<std::string>& names) override {
        names.clear();
        WIN32_FIND_DATAA entry;
        UniqueFind find(FindFirstFileA(joinPath(dir, pattern).c_str(), &entry));
        if (!find) {
            // An existing directory with no matching entry is an empty
            // listing; a missing directory means the listing cannot start.
            return GetLastError() == ERROR_FILE_NOT_FOUND;
        }
        do {
            if (!isListedFileAttributes(entry.dwFileAttributes)) continue;
            const std::string name = entry.cFileName;
            if (!matchesListPattern(name, pattern)) continue;
            names.push_back(name);
        } while (FindNextFileA(find.get(), &entry));
        return true;
    }

    bool removeDirectory(const std::string& dir) override { return RemoveDirectoryA(dir.c_str()) != 0; }

    bool makeDirectory(const std::string& dir) override {
        if (CreateDirectoryA(dir.c_str(), nullptr)) return true;
        return GetLastError() == ERROR_ALREADY_EXISTS && isDirectory(dir);
    }

    bool createNewFile(const std::string& path) override {
        UniqueHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        return static_cast<bool>(f);
    }

    bool exists(const std::string& path) override {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    bool isDirectory(const std::string& path) override {
        const DWORD a = GetFileAttributesA(path.c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    // A file that someone still reads (opened with delete sharing, as the
    // program's own readers open every file) is only marked for deletion
    // by DeleteFileA and keeps its name until the last reader closes it:
    // a new document of the same name would meet it. So the file is first
    // moved aside to a fresh temporary name in its own directory, which
    // frees the name at once, and deleted there; should the deletion be
    // left pending, the ".tmp" goes at the next shutdown at the latest.
    // Temporary files themselves are deleted in place.
    bool removeFile(const std::string& path) override {
        if (!endsWithNoCase(path, ".tmp")) {
            char aside[MAX_PATH];
            const std::string dir = directoryOf(path);
            if (GetTempFileNameA(dir.c_str(), "QVR", 0, aside) != 0) {
                if (MoveFileExA(path.c_str(), aside, MOVEFILE_REPLACE_EXISTING)) {
                    if (DeleteFileA(aside)) return true;
                    // Not deletable (read-only): back under its own name.
                    MoveFileExA(aside, path.c_str(), 0);
                    return false;
                }
                DeleteFileA(aside);
            }
        }
        return DeleteFileA(path.c_str()) != 0;
    }

    bool replaceFile(const std::string& from, const std::string& to) override {
        return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    }

    bool copyFile(const std::string& from, const std::string& to) override {
        return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
    }

    std::string makeTempFile(const std::string& dir, const std::string& prefix) override {
        char path[MAX_PATH];
        const std::string where = dir.empty() ? std::string(".") : dir;
        if (GetTempFileNameA(where.c_str(), prefix.c_str(), 0, path) == 0) return std::string();
        return path;
    }

    // Long paths are fine for the file functions (Wine takes any length),
    // but the shell opens nothing beyond MAX_PATH: measured under Wine 8,
    // ShellExecute of a 393-character path gives 2, the same file through
    // its short directory names opens. Wine makes short names on every
    // drive; an NTFS volume without them keeps the long path.
    std::string pathForOtherPrograms(const std::string& dir, std::size_t room) override {
        const std::string full = fullPathOf(dir);
        if (full.empty()) return dir;
        if (full.size() + room < MAX_PATH) return full;
        std::vector<char> buffer(kLongPathBuffer);
        const DWORD n = GetShortPathNameA(full.c_str(), buffer.data(), kLongPathBuffer);
        if (n == 0 || n >= kLongPathBuffer || n >= full.size()) return full;
        return std::string(buffer.data(), n);
    }

    // Only where the volume has named streams: Wine 8 reports none for its
    // drives (flags 0xA), and there "<file>:Zone.Identifier" would be made
    // as a file of that very name beside the copy.
    bool markFromInternet(const std::string& path) override {
        const std::string full = fullPathOf(path);
        if (full.empty()) return false;
        std::vector<char> root(kLongPathBuffer);
        if (!GetVolumePathNameA(full.c_str(), root.data(), kLongPathBuffer)) return false;
        DWORD flags = 0;
        if (!GetVolumeInformationA(root.data(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) ||
            (flags & FILE_NAMED_STREAMS) == 0) {
            return false;
        }
        UniqueHandle stream(CreateFileA((path + ":Zone.Identifier").c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!stream) return false;
        static const char kInternetZone[] = "[ZoneTransfer]\r\nZoneId=3\r\n";
        DWORD written = 0;
        return WriteFile(stream.get(), kInternetZone, sizeof kInternetZone - 1, &written, nullptr) &&
               written == sizeof kInternetZone - 1;
    }

private:
    static constexpr DWORD kLongPathBuffer = 32768;

    static std::string fullPathOf(const std::string& path) {
        std::vector<char> buffer(kLongPathBuffer);
        const DWORD n = GetFullPathNameA(path.c_str(), kLongPathBuffer, buffer.data(), nullptr);
        if (n == 0 || n >= kLongPathBuffer) return std::string();
        return std::string(buffer.data(), n);
    }
};

}  // namespace

bool matchesListPattern(const std::string& name, const std::string& pattern) {
    if (pattern.empty() || pattern[0] != '*') {
        return name.size() == pattern.size() && endsWithNoCase(name, pattern);
    }
    return endsWithNoCase(name, pattern.substr(1));
}

bool isListedFileAttributes(unsigned long attributes) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    return (attributes & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL)) != 0;
}

std::unique_ptr<FileSystem> makePlatformFileSystem() {
    return std::make_unique<Win32FileSystem>();
}

char pathSeparator() { return '\\'; }

std::string joinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    const char last = dir.back();
    if (last == '\\' || last == '/') return dir + name;
    return dir + '\\' + name;
}

}  // namespace hs
