// What a file operation costs under Wine in a directory of many files (not
// a test: it prints figures). Wine looks a name up on a case-sensitive
// file system by the name as given first; a name that is not there is then
// compared, case-insensitively, with every entry of the directory. So
// every miss, and every new file, costs time in proportion to the
// directory's size.
//
// For directories of 0, 1,000 and 10,000 files of 4632 bytes, the mean time
// of one:
//   (a) open of a file that exists, by its exact name;
//   (b) open of a name that does not exist;
//   (c) record file write as the program does it: GetTempFileNameA in the
//       directory, write 4632 bytes, MoveFileExA over the existing file;
//   (d) the same with the temporary file in a small subdirectory.
//
//   dir_size_bench.exe [--sizes=0,1000,10000] [--ops=200]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "work_dir.h"

namespace {

using Clock = std::chrono::steady_clock;

double usSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
}

bool openClose(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

bool writeReplacing(const std::string& tempDir, const std::string& target, const std::string& bytes) {
    char temp[MAX_PATH];
    if (GetTempFileNameA(tempDir.c_str(), "QVR", 0, temp) == 0) return false;
    std::FILE* f = std::fopen(temp, "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), bytes.size(), 1, f) == 1;
    std::fclose(f);
    return ok && MoveFileExA(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace hs::e2e;
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::vector<int> sizes{0, 1000, 10000};
    int ops = 200;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("--sizes=", 0) == 0) {
            sizes.clear();
            for (const char* p = a.c_str() + 8; *p;) {
                sizes.push_back(std::atoi(p));
                while (*p && *p != ',') ++p;
                if (*p == ',') ++p;
            }
        } else if (a.rfind("--ops=", 0) == 0) {
            ops = std::max(1, std::atoi(a.c_str() + 6));
        }
    }
    const std::string bytes(4632, 'x');
    std::printf("%9s | %12s | %12s | %16s | %16s\n", "files", "(a) open us", "(b) miss us", "(c) write us",
                "(d) beside us");
    for (int n : sizes) {
        WorkDir dir("dir-size-" + std::to_string(n));
        dir.makeDirectory("data");
        dir.makeDirectory("data\\staging");
        const int files = std::max(n, 1);
        for (int i = 0; i < files; ++i) dir.writeFile("data\\doc " + std::to_string(i) + ".data", bytes);
        const std::string data = dir.file("data");
        auto target = [&](int i) { return data + "\\doc " + std::to_string(i % files) + ".data"; };
        auto t0 = Clock::now();
        for (int i = 0; i < ops; ++i) openClose(target(i));
        const double open = usSince(t0) / ops;
        t0 = Clock::now();
        for (int i = 0; i < ops; ++i) openClose(data + "\\missing " + std::to_string(i) + ".data");
        const double miss = usSince(t0) / ops;
        t0 = Clock::now();
        for (int i = 0; i < ops; ++i) writeReplacing(data, target(i), bytes);
        const double write = usSince(t0) / ops;
        t0 = Clock::now();
        for (int i = 0; i < ops; ++i) writeReplacing(data + "\\staging", target(i), bytes);
        const double beside = usSince(t0) / ops;
        std::printf("%9d | %12.1f | %12.1f | %16.1f | %16.1f\n", n, open, miss, write, beside);
    }
    return 0;
}
