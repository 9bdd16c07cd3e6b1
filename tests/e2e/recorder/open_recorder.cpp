// A stand-in for the browser and for the program a file type opens with:
// appends its command line as one line to "opened.log" beside itself, then
// ends. The end-to-end cases register it in the test prefix and read the
// log to see exactly what the program started.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char self[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string log(self, n);
    const std::size_t slash = log.find_last_of("\\/");
    log = (slash == std::string::npos ? std::string(".") : log.substr(0, slash)) + "\\opened.log";
    if (std::FILE* f = std::fopen(log.c_str(), "ab")) {
        std::fprintf(f, "%s\n", ::GetCommandLineA());
        std::fclose(f);
    }
    return 0;
}
