// Benchmark of the document list in the real program under Wine, with
// 1,000 and 10,000 prepared record files (not a test: it prints figures).
//
//   (a) bare read: a small program that enumerates "data\*.data" and reads
//       4632 bytes of each, from CreateProcess to its exit;
//   (b) start-up: Halvorsight.exe from CreateProcess until its main window
//       is shown and the list holds every row (LVM_GETITEMCOUNT == N);
//       the ratio b/a says what the program adds to the bare reading;
//   (c) mark all: "Chec&k All !" (WM_COMMAND 32800) handled by the window
//       thread, and the time until every row shows the outcome of its check
//       (the worker's row refreshes are handled on the window thread too);
//   (d) sort: a header click (button down and up sent to the header), which
//       returns once the sort is done.
//
// (c) is timed two ways. "post + WM_NULL" posts the command and sends a
// WM_NULL to the view: sent messages are handled before posted ones, so
// this figure can miss the command altogether and is shown only beside the
// other. "send" sends the command itself and returns once it was handled.
//
//   e2e_list_bench.exe --program=<Halvorsight.exe> [--sizes=0,1000,10000] [--runs=3]
//       [--reader=<hs_bare_record_read.exe>]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "list_input.h"
#include "process.h"
#include "record_files.h"
#include "remote.h"
#include "window_find.h"
#include "work_dir.h"

namespace hs::e2e {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kAppTitle = "Tarnwell (QVR) - Halvorsight";
constexpr int kExitCommand = 32779;
constexpr int kCheckAllCommand = 32800;

double msBetween(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

double median(std::vector<double> v) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::string besideThisProgram(const std::string& name) {
    char buf[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    std::string p(buf, n);
    const auto slash = p.find_last_of("\\/");
    return (slash == std::string::npos ? std::string(".") : p.substr(0, slash)) + "\\" + name;
}

// N record files with names in random order, local files that do not exist
// (a check of them fails at once), in four statuses so that the status sort
// has work to do, none waiting, so that the worker started at start-up
// finds nothing to do.
void prepareRecords(const WorkDir& dir, int count) {
    std::mt19937 random(12345u + static_cast<unsigned>(count));
    std::uniform_int_distribution<int> letter('a', 'z');
    dir.makeDirectory("data");
    for (int i = 0; i < count; ++i) {
        std::string name;
        for (int k = 0; k < 8; ++k) name += static_cast<char>(letter(random));
        name += " " + std::to_string(i);
        const int32_t statuses[] = {NotChanged, Saved, UnableToRetrieve, Changed};
        DocumentRecord r = makeRecord(name, LocalFile, "C:\\nowhere\\" + name + ".txt", statuses[i % 4]);
        dir.writeFile(recordFileName(name), recordFileBytes(r));
    }
}

// (a): one run of the bare reader; -1 when it failed.
double bareRead(const std::string& reader, const WorkDir& dir, int count) {
    const auto t0 = Clock::now();
    Process p = Process::start(reader, dir.path(), std::to_string(count));
    const auto code = p.waitForExit(milliseconds(120000));
    const auto t1 = Clock::now();
    if (!code || *code != 0) return -1;
    return msBetween(t0, t1);
}

struct Running {
    Process process;
    HWND main = nullptr;
    HWND list = nullptr;
};

// (b): starts the program and waits for the shown, filled list.
double startToFullList(const std::string& program, const WorkDir& dir, int count, Running& app) {
    const auto t0 = Clock::now();
    app.process = Process::start(program, dir.path());
    WindowQuery q;
    q.pid = app.process.pid();
    q.title = kAppTitle;
    q.visibleOnly = true;
    const bool full = pollUntil(
        [&] {
            if (!app.main) app.main = findTopLevelWindow(q);
            if (app.main && !app.list) app.list = findDescendant(app.main, "SysListView32");
            if (!app.list) return false;
            LRESULT n = 0;
            return sendBounded(app.list, LVM_GETITEMCOUNT, 0, 0, &n, milliseconds(60000)) && n == count;
        },
        milliseconds(120000), milliseconds(2));
    const auto t1 = Clock::now();
    return full ? msBetween(t0, t1) : -1;
}

bool exitProgram(Running& app) {
    if (app.main) PostMessageA(app.main, WM_COMMAND, kExitCommand, 0);
    const bool ended = app.process.waitForExit(milliseconds(300000)).has_value();
    if (!ended) app.process.terminate();
    return ended;
}

// Time of one message sent with a generous bound; -1 when not answered.
double timedSend(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    const auto t0 = Clock::now();
    const bool ok = sendBounded(w, msg, wp, lp, nullptr, milliseconds(60000));
    const auto t1 = Clock::now();
    return ok ? msBetween(t0, t1) : -1;
}

// Waits until the window thread answers quickly a few times in a row.
// Sent messages overtake posted ones, so this says nothing about posted
// row refreshes still queued; see waitForOutcomes.
void settle(HWND view) {
    for (int quiet = 0, round = 0; quiet < 3 && round < 2000; ++round) {
        quiet = timedSend(view, WM_NULL, 0, 0) < 2.0 ? quiet + 1 : 0;
        Sleep(20);
    }
}

// The status texts of every row, read through one buffer in the program.
std::vector<std::string> statusTexts(HWND list) {
    std::vector<std::string> out;
    UniqueHandle process = openWindowProcess(list);
    constexpr std::size_t kText = 512;
    RemoteMemory mem(process.get(), sizeof(LVITEMA) + kText);
    LRESULT rows = 0;
    if (!mem || !sendBounded(list, LVM_GETITEMCOUNT, 0, 0, &rows, milliseconds(60000))) return out;
    for (LRESULT r = 0; r < rows; ++r) {
        LVITEMA item{};
        item.iSubItem = 2;
        item.pszText = mem.at<char>(sizeof(LVITEMA));
        item.cchTextMax = static_cast<int>(kText);
        mem.write(0, &item, sizeof item);
        sendBounded(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(r), mem.lparam(), nullptr, milliseconds(60000));
        out.push_back(mem.readString(sizeof(LVITEMA), kText));
    }
    return out;
}

// Waits until no row shows "Waiting for retrieve..." or "Retrieving...":
// the worker's pass has ended and every refresh it posted was handled
// (they are handled in the order they were posted). The time it took, or
// -1 on timeout.
double waitForOutcomes(HWND list, Clock::time_point since, milliseconds timeout) {
    const auto end = Clock::now() + timeout;
    while (Clock::now() < end) {
        const auto statuses = statusTexts(list);
        const bool pending = std::any_of(statuses.begin(), statuses.end(), [](const std::string& s) {
            return s == "Waiting for retrieve..." || s == "Retrieving...";
        });
        if (!pending) return msBetween(since, Clock::now());
        Sleep(50);
    }
    return -1;
}

struct Figures {
    int documents = 0;
    double bare = -1, start = -1, markPosted = -1, markSent = -1, outcomesShown = -1, sortName = -1,
           sortStatus = -1;
};

Figures measure(const std::string& program, const std::string& reader, int count, int runs) {
    Figures f;
    f.documents = count;
    WorkDir dir("bench-" + std::to_string(count));
    std::printf("preparing %d record files...\n", count);
    prepareRecords(dir, count);

    // One reading before the measurements, so that every figure finds the
    // files in the cache.
    bareRead(reader, dir, count);
    std::vector<double> bare, start, sent, byName, byStatus;
    for (int run = 0; run < runs; ++run) {
        bare.push_back(bareRead(reader, dir, count));
        Running app;
        start.push_back(startToFullList(program, dir, count, app));
        std::printf("run %d of %d with %d documents: bare %.0f ms, start %.0f ms\n", run + 1, runs, count,
                    bare.back(), start.back());
        if (!app.list) {
            std::printf("run %d: the program showed no full list\n", run + 1);
            app.process.terminate();
            continue;
        }
        if (count == 0) {
            // Only the fixed cost of a start; ended before the start-up
            // prompt of an empty list comes up.
            exitProgram(app);
            continue;
        }
        settle(app.list);
        const RemoteListView list(app.list);
        for (int click = 0; click < 2; ++click) {
            const auto t0 = Clock::now();
            const bool ok = clickColumnHeader(list, 0, milliseconds(60000));
            byName.push_back(ok ? msBetween(t0, Clock::now()) : -1);
        }
        {
            const auto t0 = Clock::now();
            const bool ok = clickColumnHeader(list, 2, milliseconds(60000));
            byStatus.push_back(ok ? msBetween(t0, Clock::now()) : -1);
        }
        settle(app.list);
        const auto t0 = Clock::now();
        sent.push_back(timedSend(app.list, WM_COMMAND, kCheckAllCommand, 0));
        // Every row's outcome: the worker's refreshes queue up on the window
        // thread. Waited for once; it can take long.
        if (run == 0) f.outcomesShown = waitForOutcomes(app.list, t0, milliseconds(900000));
        // The figures are taken: no need for an orderly exit behind the
        // queued refreshes (the record files stay as they were prepared).
        app.process.terminate();
    }
    if (count > 0) {
        // (c) posted, in a fresh start of its own.
        Running app;
        if (startToFullList(program, dir, count, app) >= 0) {
            settle(app.list);
            PostMessageA(app.list, WM_COMMAND, kCheckAllCommand, 0);
            f.markPosted = timedSend(app.list, WM_NULL, 0, 0);
        }
        app.process.terminate();
    }
    f.bare = median(bare);
    f.start = median(start);
    f.markSent = median(sent);
    f.sortName = median(byName);
    f.sortStatus = median(byStatus);
    return f;
}

void printTable(const std::vector<Figures>& all, int runs) {
    std::printf("\nmedians of %d runs, milliseconds\n", runs);
    std::printf("%9s | %9s | %9s | %5s | %13s | %9s | %11s | %9s | %10s\n", "documents", "(a) bare", "(b) start",
                "b/a", "(c) post+NULL", "(c) send", "(c) results", "(d) name", "(d) status");
    for (const Figures& f : all) {
        std::printf("%9d | %9.1f | %9.1f | %5.2f | %13.1f | %9.1f | %11.1f | %9.1f | %10.1f\n", f.documents, f.bare,
                    f.start, f.bare > 0 ? f.start / f.bare : -1.0, f.markPosted, f.markSent, f.outcomesShown,
                    f.sortName, f.sortStatus);
    }
    std::printf("targets: b/a <= 1.5, (c) < 100 ms, (d) < 300 ms\n"
                "(c) post+NULL and (c) results: one measurement each, not medians\n"
                "(c) results: from the sent command until every row shows the outcome of its check\n"
                "0 documents: the fixed cost of starting a process and the program\n");
}

}  // namespace
}  // namespace hs::e2e

int main(int argc, char** argv) {
    using namespace hs::e2e;
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::string program, reader = besideThisProgram("hs_bare_record_read.exe");
    std::vector<int> sizes{0, 1000, 10000};
    int runs = 3;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("--program=", 0) == 0) {
            program = a.substr(10);
        } else if (a.rfind("--reader=", 0) == 0) {
            reader = a.substr(9);
        } else if (a.rfind("--runs=", 0) == 0) {
            runs = std::max(1, std::atoi(a.c_str() + 7));
        } else if (a.rfind("--sizes=", 0) == 0) {
            sizes.clear();
            for (const char* p = a.c_str() + 8; *p;) {
                sizes.push_back(std::atoi(p));
                while (*p && *p != ',') ++p;
                if (*p == ',') ++p;
            }
        } else {
            std::fprintf(stderr, "unknown argument: %s\n", a.c_str());
            return 2;
        }
    }
    if (program.empty()) {
        std::fprintf(stderr, "usage: e2e_list_bench.exe --program=<Halvorsight.exe> [--sizes=0,1000,10000] [--runs=3]\n");
        return 2;
    }
    WindowQuery q;
    q.title = kAppTitle;
    q.titleContains = true;
    if (findTopLevelWindow(q)) {
        std::fprintf(stderr, "a window with the program's title is open: the program would not start\n");
        return 1;
    }
    try {
        std::vector<Figures> all;
        for (int n : sizes) all.push_back(measure(program, reader, n, runs));
        printTable(all, runs);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "benchmark failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
