// Benchmark of checking in the real program under Wine (not a test: it
// prints figures). The program is driven only from outside: record files
// prepared before a start, window messages, the rows and record files read
// back.
//
//   1. pages far away: N HtmlPage documents spread over the sites of
//      bench/far_sites.py (127.0.0.1 to 127.0.0.10, one port, every answer
//      100 ms late), all "Not changed" with kept content equal to the page.
//      "Chec&k All !" is timed until every row shows a new "Last check"
//      (a "Not changed" outcome leaves the record file as it is, so the
//      rows are read, at most every 25 ms and from the first row not yet
//      seen done: about one read per row). Beside it urlwatch on the same
//      URLs (its second run, the first fills its cache), the floor
//      N x delay / 8 (eight retrievals at once), and the most connections
//      the server saw open at once per address.
//   2. unchanged local files against the bare compare loop: the list
//      benchmark's (e), run as a child (e2e_list_bench.exe).
//   3. missing local files: N LocalFile documents whose files do not exist,
//      all "Waiting for retrieve" in their record files, so the worker
//      checks them at start-up. Timed from CreateProcess until every record
//      file was rewritten (the directory listed every 200 ms or more: opening a
//      record file would make the program's rename over it fail), then
//      every status field read: "Unable to retrieve".
//   4. exit: N documents "Not changed", no check at start-up; from WM_CLOSE
//      to the end of the process.
//   5. memory: the program's working set, idle with the full list, and its
//      peak so far (the same runs as 4).
//
//   check_wine_bench.exe --program=<Halvorsight.exe> [--sites-state=<far_sites.py state>]
//       [--pages=100,1000] [--missing=1000,10000] [--idle=1000,10000]
//       [--local-unchanged=1000] [--list-bench=<e2e_list_bench.exe>] [--runs=1]
// A list given empty ("--pages=") leaves its part out.
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "dialogs/win32/message_box.h"
#include "options_file.h"
#include "process.h"
#include "program_bench.h"
#include "record_files.h"
#include "remote.h"
#include "window_find.h"
#include "work_dir.h"
#include "res/command_ids.h"

namespace hs::e2e {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kStatusColumn = 2;
constexpr int kLastCheckColumn = 3;
constexpr const char* kOldCheckText = "2001/02/03 [04:05:06]";
constexpr int kSites = 10;
constexpr double kDelayMs = 100;
// The floor's reference: eight retrievals at once (the program runs up to
// kMaxRetrievals, 12, so it can come in under it).
constexpr int kRetrievalsAtOnce = 8;

double fastest(const std::vector<double>& v) {
    double best = -1;
    for (double x : v) {
        if (x >= 0 && (best < 0 || x < best)) best = x;
    }
    return best;
}

double ratio(double a, double b) { return a > 0 && b > 0 ? a / b : -1; }

std::string padded(int i, int width) {
    std::string s = std::to_string(i);
    return std::string(s.size() < static_cast<std::size_t>(width) ? width - s.size() : 0, '0') + s;
}

// Every document's record file, and an options file without any check at
// start-up or by the clock.
void writeOptions(const WorkDir& dir) { dir.writeFile(kOptionsFile, OptionsFile{}.bytes()); }

// ------------------------------------------------------------- the program

// Waits until done(i) holds for every i < count, polling every `every`.
// Each poll goes on from the first item not yet seen done and stops at the
// next one still pending, so each item is read about once. Done is final
// (an outcome once shown stays), so the figure is the poll that saw the
// last one: at most one interval late. -1 on timeout.
template <class Done>
double waitForAll(int count, Done done, Clock::time_point since, milliseconds every, milliseconds timeout) {
    const auto end = Clock::now() + timeout;
    int next = 0;
    while (Clock::now() < end) {
        while (next < count && done(next)) ++next;
        if (next == count) return msBetween(since, Clock::now());
        Sleep(static_cast<DWORD>(every.count()));
    }
    int pending = 0;
    for (int i = next; i < count; ++i) pending += done(i) ? 0 : 1;
    std::printf("  timed out with %d of %d not done\n", pending, count);
    return -1;
}

struct Memory {
    double workingMb = -1, peakMb = -1;
};

Memory memoryOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS m{};
    m.cb = sizeof m;
    Memory out;
    if (GetProcessMemoryInfo(process, &m, sizeof m)) {
        constexpr double mb = 1024.0 * 1024.0;
        out.workingMb = static_cast<double>(m.WorkingSetSize) / mb;
        out.peakMb = static_cast<double>(m.PeakWorkingSetSize) / mb;
    }
    return out;
}

// ------------------------------------------------------ the far sites' server

// One GET to the control port of far_sites.py; the body, or "" on failure.
std::string controlGet(int port, const std::string& path, DWORD timeoutMs) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return "";
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<u_short>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string reply;
    if (connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0) {
        const std::string request = "GET " + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
        send(s, request.data(), static_cast<int>(request.size()), 0);
        char buf[4096];
        for (int n; (n = recv(s, buf, sizeof buf, 0)) > 0;) reply.append(buf, static_cast<std::size_t>(n));
    }
    closesocket(s);
    const auto body = reply.find("\r\n\r\n");
    return body == std::string::npos ? "" : reply.substr(body + 4);
}

struct FarSites {
    std::string state;  // Windows path of the server's state directory
    int sitesPort = 0, controlPort = 0;

    bool load() {
        std::ifstream ports(state + "\\ports");
        std::string name;
        int port = 0;
        while (ports >> name >> port) {
            if (name == "sites") sitesPort = port;
            if (name == "control") controlPort = port;
        }
        return sitesPort > 0 && controlPort > 0;
    }
    // The most connections open at once to any one address since the last
    // reset, and the requests counted.
    void stats(int& most, long& requests) const {
        most = -1;
        requests = 0;
        std::istringstream in(controlGet(controlPort, "/stats", 10000));
        std::string address;
        int m = 0;
        long r = 0;
        while (in >> address >> m >> r) {
            most = std::max(most, m);
            requests += r;
        }
    }
};

// --------------------------------------------------------- 1. pages far away

struct FarFigures {
    int pages = 0;
    double program = -1, urlwatchFirst = -1, urlwatch = -1;
    int mostAtOnce = -1;
    long requests = 0;
    int notChanged = 0;
    long rowReads = 0;
    double floor() const { return pages * kDelayMs / kRetrievalsAtOnce; }
};

// N pages of 2-4 KB in the server's www folder, one "Not changed" HtmlPage
// for each, sites in turn; the kept content is the page in text form. The
// URL list for urlwatch goes beside the pages.
std::string prepareFarPages(const WorkDir& dir, const FarSites& sites, int count) {
    std::mt19937 random(9191u + static_cast<unsigned>(count));
    std::uniform_int_distribution<int> size(2048, 4096);
    std::uniform_int_distribution<int> printable(' ', '~');
    dir.makeDirectory("data");
    writeOptions(dir);
    std::string urls;
    for (int i = 0; i < count; ++i) {
        const std::string doc = "page " + padded(i, 5);
        const std::string file = "far-" + std::to_string(count) + "-" + std::to_string(i) + ".html";
        std::string bytes(static_cast<std::size_t>(size(random)), ' ');
        for (std::size_t k = 0; k < bytes.size(); ++k) {
            bytes[k] = k % 64 == 63 ? '\n' : static_cast<char>(printable(random));
        }
        std::string text;
        for (const char c : bytes) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
        std::ofstream(sites.state + "\\www\\" + file, std::ios::binary) << bytes;
        dir.writeFile("data\\" + doc + ".content", text);
        const std::string url = "http://127.0.0." + std::to_string(i % kSites + 1) + ":" +
                                std::to_string(sites.sitesPort) + "/" + file;
        Document r = makeRecord(doc, HtmlPage, url, NotChanged);
        setField(r.lastCheck, kOldCheckText);
        dir.writeFile(recordFileName(doc), recordFileBytes(r));
        urls += url + "\n";
    }
    const std::string list = "far-" + std::to_string(count) + ".list";
    std::ofstream(sites.state + "\\www\\" + list, std::ios::binary) << urls;
    return list;
}

FarFigures measureFarPages(const std::string& program, const FarSites& sites, int count, int runs) {
    FarFigures f;
    f.pages = count;
    WorkDir dir("bench-far-" + std::to_string(count));
    std::printf("preparing %d pages on %d sites...\n", count, kSites);
    const std::string list = prepareFarPages(dir, sites, count);
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        Running app;
        if (!startSettled(program, dir, count, app, run + 1)) continue;
        controlGet(sites.controlPort, "/reset", 10000);
        const RowReader reader(app.list);
        const auto t0 = Clock::now();
        sendBounded(app.main, WM_COMMAND, ID_DOC_CHECK_ALL, 0, nullptr, milliseconds(60000));
        const double shown = waitForAll(
            count, [&](int row) { return reader.text(row, kLastCheckColumn) != kOldCheckText; }, t0,
            milliseconds(25), milliseconds(60000 + count * 400));
        f.rowReads = reader.reads();
        sites.stats(f.mostAtOnce, f.requests);
        f.notChanged = 0;
        for (int row = 0; row < count; ++row) f.notChanged += reader.text(row, kStatusColumn) == "Not changed";
        app.process.terminate();
        times.push_back(f.notChanged == count ? shown : -1);
        std::printf("  run %d of %d, %d pages: Check All until every outcome %.0f ms, %d of %d \"Not changed\", "
                    "at most %d connections at once to one address, %ld requests, %ld row texts read\n",
                    run + 1, runs, count, shown, f.notChanged, count, f.mostAtOnce, f.requests, f.rowReads);
    }
    f.program = fastest(times);
    // urlwatch on the same URLs, its first run filling its cache.
    std::istringstream in(controlGet(sites.controlPort, "/urlwatch/" + list, 900000));
    in >> f.urlwatchFirst >> f.urlwatch;
    std::printf("  urlwatch, %d pages: first run %.0f ms, second run %.0f ms\n", count, f.urlwatchFirst,
                f.urlwatch);
    return f;
}

// ----------------------------------------------------- 3. missing local files

// The status field of a record file; -1 when unreadable. Open for
// microseconds, but open: a rename over it at that moment fails, so this is
// read only once nothing writes any more.
int32_t statusOf(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return -1;
    int32_t status = -1;
    DWORD got = 0;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offsets::status);
    if (!ReadFile(h, &status, sizeof status, &got, &at) || got != sizeof status) status = -1;
    CloseHandle(h);
    return status;
}

ULONGLONG fileTimeNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

// Record files in `dataDir` written after `since`, seen by listing the
// directory: no record file is opened while the program replaces them.
int writtenSince(const std::string& dataDir, ULONGLONG since) {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileExA((dataDir + "\\*.data").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE) return 0;
    int n = 0;
    do {
        const ULONGLONG t = (static_cast<ULONGLONG>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                            found.ftLastWriteTime.dwLowDateTime;
        n += t > since ? 1 : 0;
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return n;
}

struct MissingFigures {
    int documents = 0;
    double fullList = -1, allUnable = -1, listing = -1;
};

// Each record file is written once here, when its outcome (a new status)
// is committed: the time every record file was rewritten is the time every
// outcome was on disk, confirmed by reading the statuses afterwards.
MissingFigures measureMissing(const std::string& program, int count, int runs) {
    MissingFigures f;
    f.documents = count;
    WorkDir dir("bench-missing-" + std::to_string(count));
    std::printf("preparing %d documents waiting for retrieve...\n", count);
    dir.makeDirectory("data");
    writeOptions(dir);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) names.push_back("doc " + padded(i, 5));
    std::vector<double> full, unable, listing;
    for (int run = 0; run < runs; ++run) {
        // Every record file waiting (again: a run's program rewrote them).
        for (const std::string& name : names) {
            const Document r = makeRecord(name, LocalFile, "C:\\nowhere\\" + name + ".txt", WaitingForRetrieve);
            dir.writeFile(recordFileName(name), recordFileBytes(r));
        }
        Sleep(50);
        const ULONGLONG since = fileTimeNow();
        Running app;
        Clock::time_point t0;
        full.push_back(startToFullList(program, dir, count, app, &t0));
        const auto end = t0 + milliseconds(std::max(120000, count * 30));
        double all = -1, listed = 0;
        int polls = 0, written = 0;
        while (Clock::now() < end) {
            const auto l0 = Clock::now();
            written = writtenSince(dir.file("data"), since);
            const double listing = msBetween(l0, Clock::now());
            listed += listing;
            ++polls;
            if (written >= count) {
                all = msBetween(t0, Clock::now());
                break;
            }
            // A listing of 10,000 files costs tens of milliseconds of a
            // core the program needs too: at most a fifth of the time.
            Sleep(static_cast<DWORD>(std::max(200.0, 4 * listing)));
        }
        int unableNow = 0;
        for (const std::string& name : names) unableNow += statusOf(dir.file(recordFileName(name))) == UnableToRetrieve;
        if (unableNow != count) all = -1;
        unable.push_back(all);
        listing.push_back(polls ? listed / polls : -1);
        std::printf("  run %d of %d, %d missing files: full list %.0f ms, every record \"Unable to retrieve\" "
                    "%.0f ms after CreateProcess (%d rewritten, %d say so; a listing of the directory %.1f ms)\n",
                    run + 1, runs, count, full.back(), all, written, unableNow, listing.back());
        app.process.terminate();
    }
    f.fullList = fastest(full);
    f.allUnable = fastest(unable);
    f.listing = fastest(listing);
    return f;
}

// -------------------------------------------------------- 4 and 5. idle, exit

struct IdleFigures {
    int documents = 0;
    double exitMs = -1;
    Memory idle;
};

IdleFigures measureIdle(const std::string& program, int count, int runs) {
    IdleFigures f;
    f.documents = count;
    WorkDir dir("bench-idle-" + std::to_string(count));
    std::printf("preparing %d documents, none to check...\n", count);
    dir.makeDirectory("data");
    writeOptions(dir);
    for (int i = 0; i < count; ++i) {
        const std::string name = "doc " + padded(i, 5);
        Document r = makeRecord(name, LocalFile, "C:\\nowhere\\" + name + ".txt", NotChanged);
        setField(r.lastCheck, kOldCheckText);
        dir.writeFile(recordFileName(name), recordFileBytes(r));
    }
    std::vector<double> exits;
    for (int run = 0; run < runs; ++run) {
        Running app;
        if (!startSettled(program, dir, count, app, run + 1)) continue;
        Sleep(1000);
        const Memory m = memoryOf(app.process.handle());
        if (f.idle.workingMb < 0 || m.workingMb > f.idle.workingMb) f.idle = m;
        const auto t0 = Clock::now();
        PostMessageA(app.main, WM_CLOSE, 0, 0);
        const auto code = app.process.waitForExit(milliseconds(300000));
        const double took = code ? msBetween(t0, Clock::now()) : -1;
        if (!code) app.process.terminate();
        exits.push_back(took);
        std::printf("  run %d of %d, %d documents: idle working set %.1f MB (peak %.1f MB), "
                    "WM_CLOSE to the process's end %.0f ms (exit code %lu)\n",
                    run + 1, runs, count, m.workingMb, m.peakMb, took,
                    code ? static_cast<unsigned long>(*code) : 0ul);
    }
    f.exitMs = fastest(exits);
    return f;
}

// ------------------------------------------------ 2. unchanged local files

struct LocalFigures {
    int documents = 0;
    double program = -1, bare = -1;  // fastest runs
};

// Runs the list benchmark's (e) alone, its output through a file (Wine's
// helper processes may hold an inherited pipe open), echoed and parsed.
LocalFigures measureLocal(const std::string& listBench, const std::string& program, int count, int runs) {
    LocalFigures f;
    f.documents = count;
    WorkDir dir("bench-local-child");
    const std::string out = dir.file("out.txt");
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE file = CreateFileA(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return f;
    std::string command = "\"" + listBench + "\" --program=\"" + program + "\" --sizes= --web-unchanged=0" +
                          " --local-unchanged=" + std::to_string(count) + " --runs=" + std::to_string(runs);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = file;
    si.hStdError = file;
    PROCESS_INFORMATION pi{};
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    std::printf("running %s\n", command.c_str());
    const BOOL started =
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, dir.path().c_str(), &si, &pi);
    CloseHandle(file);
    if (!started) {
        std::printf("  the list benchmark did not start (%lu)\n", GetLastError());
        return f;
    }
    WaitForSingleObject(pi.hProcess, 1800000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::ifstream in(out);
    for (std::string text; std::getline(in, text);) {
        std::printf("  | %s\n", text.c_str());
        std::sscanf(text.c_str(), "  fastest runs: %lf ms against %lf ms", &f.program, &f.bare);
    }
    return f;
}

// -------------------------------------------------------------- the table

void printTable(const std::vector<FarFigures>& farPages, const LocalFigures& local, const std::vector<MissingFigures>& missing,
                const std::vector<IdleFigures>& idle, int runs) {
    std::printf("\nfigures in milliseconds, fastest of %d run(s)\n", runs);
    if (!farPages.empty()) {
        std::printf("\n1. pages far away (%d sites, %.0f ms a request; floor = pages x delay / %d)\n", kSites,
                    kDelayMs, kRetrievalsAtOnce);
        std::printf("%6s | %9s | %9s | %8s | %13s | %16s | %17s\n", "pages", "program", "urlwatch", "floor",
                    "program/floor", "program/urlwatch", "most at once/addr");
        for (const FarFigures& f : farPages) {
            std::printf("%6d | %9.0f | %9.0f | %8.0f | %13.2f | %16.2f | %17d\n", f.pages, f.program, f.urlwatch,
                        f.floor(), ratio(f.program, f.floor()), ratio(f.program, f.urlwatch), f.mostAtOnce);
        }
        std::printf("  program: Check All until every row shows its outcome (\"Not changed\");\n"
                    "  urlwatch: its second run (10 workers); goal: at most 4 connections at once per address\n");
    }
    if (local.documents > 0) {
        std::printf("\n2. %d unchanged local files: program %.1f, bare compare loop %.1f, program/bare %.2f "
                    "(fastest runs of the list benchmark's (e))\n",
                    local.documents, local.program, local.bare, ratio(local.program, local.bare));
    }
    if (!missing.empty()) {
        std::printf("\n3. missing local files, all waiting at start-up, until every record says \"Unable to "
                    "retrieve\"\n");
        std::printf("%9s | %10s | %12s | %13s\n", "documents", "full list", "all unable", "a listing");
        for (const MissingFigures& m : missing) {
            std::printf("%9d | %10.0f | %12.0f | %13.1f\n", m.documents, m.fullList, m.allUnable, m.listing);
        }
        if (missing.size() >= 2) {
            const MissingFigures& a = missing.front();
            const MissingFigures& b = missing.back();
            std::printf("  %d / %d: %.2f (goal: at most %.0f)\n", b.documents, a.documents,
                        ratio(b.allUnable, a.allUnable), 1.2 * b.documents / a.documents);
        }
    }
    if (!idle.empty()) {
        std::printf("\n4. exit and 5. memory, nothing checked (working set idle with the full list)\n");
        std::printf("%9s | %14s | %12s | %12s\n", "documents", "WM_CLOSE->end", "working MB", "peak MB");
        for (const IdleFigures& i : idle) {
            std::printf("%9d | %14.0f | %12.1f | %12.1f\n", i.documents, i.exitMs, i.idle.workingMb,
                        i.idle.peakMb);
        }
        if (idle.size() >= 2) {
            std::printf("  exit %d / %d: %.2f\n", idle.back().documents, idle.front().documents,
                        ratio(idle.back().exitMs, idle.front().exitMs));
        }
    }
}

std::vector<int> parseList(const char* p) {
    std::vector<int> out;
    while (*p) {
        out.push_back(std::atoi(p));
        while (*p && *p != ',') ++p;
        if (*p == ',') ++p;
    }
    return out;
}

}  // namespace
}  // namespace hs::e2e

int main(int argc, char** argv) {
    using namespace hs::e2e;
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::string program, sitesState, listBench = besideThisProgram("..\\e2e\\e2e_list_bench.exe");
    std::vector<int> pages{100, 1000}, missing{1000, 10000}, idle{1000, 10000};
    int localUnchanged = 1000, runs = 1;
    if (const char* state = std::getenv("HS_FAR_STATE")) sitesState = toWindowsPath(state);
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](const char* key) {
            const std::size_t n = std::strlen(key);
            return a.compare(0, n, key) == 0 ? a.c_str() + n : nullptr;
        };
        if (const char* v = value("--program=")) {
            program = v;
        } else if (const char* v = value("--sites-state=")) {
            sitesState = toWindowsPath(v);
        } else if (const char* v = value("--list-bench=")) {
            listBench = v;
        } else if (const char* v = value("--pages=")) {
            pages = parseList(v);
        } else if (const char* v = value("--missing=")) {
            missing = parseList(v);
        } else if (const char* v = value("--idle=")) {
            idle = parseList(v);
        } else if (const char* v = value("--local-unchanged=")) {
            localUnchanged = std::max(0, std::atoi(v));
        } else if (const char* v = value("--runs=")) {
            runs = std::max(1, std::atoi(v));
        } else {
            std::fprintf(stderr, "unknown argument: %s\n", a.c_str());
            return 2;
        }
    }
    if (program.empty()) {
        std::fprintf(stderr, "usage: check_wine_bench.exe --program=<Halvorsight.exe> [--sites-state=<dir>]"
                             " [--pages=100,1000] [--missing=1000,10000] [--idle=1000,10000]"
                             " [--local-unchanged=1000] [--list-bench=<exe>] [--runs=1]\n");
        return 2;
    }
    if (programAlreadyOpen()) return 1;
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    try {
        std::vector<FarFigures> farPages;
        if (!pages.empty()) {
            FarSites sites;
            sites.state = sitesState;
            if (sitesState.empty() || !sites.load()) {
                std::printf("no far_sites.py ports (--sites-state= or HS_FAR_STATE): pages far away left out\n");
            } else {
                for (int n : pages) farPages.push_back(measureFarPages(program, sites, n, runs));
            }
        }
        LocalFigures local;
        if (localUnchanged > 0) local = measureLocal(listBench, program, localUnchanged, std::max(runs, 3));
        std::vector<MissingFigures> unable;
        for (int n : missing) unable.push_back(measureMissing(program, n, runs));
        std::vector<IdleFigures> idleFigures;
        for (int n : idle) idleFigures.push_back(measureIdle(program, n, runs));
        printTable(farPages, local, unable, idleFigures, runs);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "benchmark failed: %s\n", e.what());
        return 1;
    }
    WSACleanup();
    return 0;
}
