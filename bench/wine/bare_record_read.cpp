// The bare cost of what the program does at start-up with its record
// files: enumerate "data\*.data" of the working directory and read the
// first 4632 bytes of each.
//   hs_bare_record_read.exe <expected count>
// Exit code 0 when exactly that many files were read completely, 1 if not.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    const unsigned long expected = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 0;
    constexpr std::size_t kRecordSize = 4632;
    static char buffer[kRecordSize];
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA("data\\*.data", &found);
    if (search == INVALID_HANDLE_VALUE) return expected == 0 ? 0 : 1;
    unsigned long read = 0;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::string path = std::string("data\\") + found.cFileName;
        if (FILE* f = std::fopen(path.c_str(), "rb")) {
            if (std::fread(buffer, 1, kRecordSize, f) == kRecordSize) ++read;
            std::fclose(f);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return read == expected ? 0 : 1;
}
