// The end-to-end driver: GoogleTest cases that start the real program.
//   e2e_driver.exe --program=<Halvorsight.exe> [--gtest_filter=...]
// The program may also be named by the environment variable HS_PROGRAM.
//   e2e_driver.exe --list-windows
// prints every top-level window of the desktop (for looking into a prefix).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "program_test.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::string program;
    char env[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA("HS_PROGRAM", env, sizeof env);
    if (n > 0 && n < sizeof env) program = env;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--list-windows") == 0) {
            for (HWND w : hs::e2e::findTopLevelWindows({})) {
                RECT r{};
                GetWindowRect(w, &r);
                std::printf("%p pid %lu %s class \"%s\" title \"%s\" at %ld,%ld %ldx%ld\n",
                            static_cast<void*>(w),
                            static_cast<unsigned long>(hs::e2e::windowProcessId(w)),
                            IsWindowVisible(w) ? "visible" : "hidden",
                            hs::e2e::className(w).c_str(), hs::e2e::windowText(w).c_str(), r.left,
                            r.top, r.right - r.left, r.bottom - r.top);
            }
            return 0;
        }
        if (std::strncmp(a, "--program=", 10) == 0) {
            program = a + 10;
        } else {
            std::fprintf(stderr, "unknown argument: %s\n", a);
            return 2;
        }
    }
    hs::e2e::setProgramPath(program);
    // Failures print as they happen; keep them in order with our own output.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    return RUN_ALL_TESTS();
}
