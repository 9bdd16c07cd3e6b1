// Benchmark of the list's painting in the real program under Wine (not a
// test: it prints figures). The same 10,000 record files are shown twice
// in each run, once over the Default picture and once as a plain list (a
// stored background choice of no known value), in a main window of the
// same size:
//
//   (g) page repaint: the whole list invalidated without erasing and
//       painted at once (RedrawWindow with RDW_UPDATENOW, which returns
//       when every row of the page was drawn), 20 times;
//   (h) page scroll: WM_VSCROLL SB_PAGEDOWN sent to the list, then its
//       pending painting done at once, 20 pages from the top.
//
// Each figure is the median time of one page over the repetitions, then
// the median over the runs; the table shows both lists and their ratio.
//
//   e2e_paint_bench.exe --program=<Halvorsight.exe> [--rows=10000] [--runs=3]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "dialogs/win32/message_box.h"
#include "options_file.h"
#include "process.h"
#include "record_files.h"
#include "window_find.h"
#include "work_dir.h"

namespace hs::e2e {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRepetitions = 20;
constexpr int kPlainChoice = 3;  // no picture

double msSince(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

double median(std::vector<double> v) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void prepareRecords(const WorkDir& dir, int count) {
    dir.makeDirectory("data");
    for (int i = 0; i < count; ++i) {
        const std::string name = "Document " + std::to_string(100000 + i);
        const int32_t statuses[] = {NotChanged, Saved, UnableToRetrieve, Changed};
        const Document r = makeRecord(name, LocalFile, "C:\\nowhere\\" + name + ".txt", statuses[i % 4]);
        dir.writeFile(recordFileName(name), recordFileBytes(r));
    }
}

struct Running {
    Process process;
    HWND main = nullptr;
    HWND list = nullptr;
};

bool startFull(const std::string& program, const WorkDir& dir, int count, Running& app) {
    app.process = Process::start(program, dir.path());
    WindowQuery q;
    q.pid = app.process.pid();
    q.title = kAppTitle;
    q.visibleOnly = true;
    return pollUntil(
        [&] {
            if (!app.main) app.main = findTopLevelWindow(q);
            if (app.main && !app.list) app.list = findDescendant(app.main, "SysListView32");
            LRESULT n = 0;
            return app.list && sendBounded(app.list, LVM_GETITEMCOUNT, 0, 0, &n, milliseconds(60000)) && n == count;
        },
        milliseconds(180000), milliseconds(20));
}

// Waits until the window thread answers at once a few times in a row.
void settle(HWND list) {
    for (int quiet = 0, round = 0; quiet < 3 && round < 1000; ++round) {
        const auto t0 = Clock::now();
        sendBounded(list, WM_NULL, 0, 0, nullptr, milliseconds(60000));
        quiet = msSince(t0) < 2.0 ? quiet + 1 : 0;
        Sleep(20);
    }
}

struct PageTimes {
    double repaint = -1;
    double scroll = -1;
};

PageTimes measurePages(HWND main, HWND list) {
    SetWindowPos(main, HWND_TOP, 0, 0, 1000, 740, SWP_NOMOVE);
    SendMessageA(list, WM_VSCROLL, SB_TOP, 0);
    RedrawWindow(list, nullptr, nullptr, RDW_UPDATENOW);
    settle(list);
    std::vector<double> repaint, scroll;
    for (int i = 0; i < kRepetitions; ++i) {
        const auto t0 = Clock::now();
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        repaint.push_back(msSince(t0));
    }
    for (int i = 0; i < kRepetitions; ++i) {
        const auto t0 = Clock::now();
        sendBounded(list, WM_VSCROLL, SB_PAGEDOWN, 0, nullptr, milliseconds(60000));
        RedrawWindow(list, nullptr, nullptr, RDW_UPDATENOW);
        scroll.push_back(msSince(t0));
    }
    return PageTimes{median(repaint), median(scroll)};
}

struct Figures {
    std::vector<double> repaint, scroll;
};

void runOnce(const std::string& program, const WorkDir& dir, int rows, int choice, Figures& f, const char* label) {
    OptionsFile options;
    options.playSound = 0;
    options.backgroundChoice = choice;
    dir.writeFile(kOptionsFile, options.bytes());
    Running app;
    if (!startFull(program, dir, rows, app)) {
        std::printf("%s: the program showed no full list\n", label);
        app.process.terminate();
        return;
    }
    settle(app.list);
    const PageTimes t = measurePages(app.main, app.list);
    RECT client{};
    GetClientRect(app.list, &client);
    LRESULT perPage = 0;
    sendBounded(app.list, LVM_GETCOUNTPERPAGE, 0, 0, &perPage);
    std::printf("%-16s page of %ld rows in %ldx%ld: repaint %.2f ms, scroll %.2f ms\n", label,
                static_cast<long>(perPage), client.right, client.bottom, t.repaint, t.scroll);
    f.repaint.push_back(t.repaint);
    f.scroll.push_back(t.scroll);
    app.process.terminate();
}

}  // namespace
}  // namespace hs::e2e

int main(int argc, char** argv) {
    using namespace hs::e2e;
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::string program;
    int rows = 10000;
    int runs = 3;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("--program=", 0) == 0) {
            program = a.substr(10);
        } else if (a.rfind("--rows=", 0) == 0) {
            rows = std::max(1, std::atoi(a.c_str() + 7));
        } else if (a.rfind("--runs=", 0) == 0) {
            runs = std::max(1, std::atoi(a.c_str() + 7));
        } else {
            std::fprintf(stderr, "unknown argument: %s\n", a.c_str());
            return 2;
        }
    }
    if (program.empty()) {
        std::fprintf(stderr, "usage: e2e_paint_bench.exe --program=<Halvorsight.exe> [--rows=10000] [--runs=3]\n");
        return 2;
    }
    try {
        WorkDir dir("bench-paint");
        std::printf("preparing %d record files...\n", rows);
        prepareRecords(dir, rows);
        Figures picture, plain;
        for (int run = 0; run < runs; ++run) {
            runOnce(program, dir, rows, kPlainChoice, plain, "plain list");
            runOnce(program, dir, rows, 0, picture, "Default picture");
        }
        const double pr = median(picture.repaint), lr = median(plain.repaint);
        const double ps = median(picture.scroll), ls = median(plain.scroll);
        std::printf("\n%d rows, one page, medians of %d runs of %d pages, milliseconds\n", rows, runs, 20);
        std::printf("%-18s | %10s | %10s | %8s\n", "", "plain", "picture", "ratio");
        std::printf("%-18s | %10.2f | %10.2f | %8.2f\n", "(g) page repaint", lr, pr, lr > 0 ? pr / lr : -1.0);
        std::printf("%-18s | %10.2f | %10.2f | %8.2f\n", "(h) page scroll", ls, ps, ls > 0 ? ps / ls : -1.0);
        std::printf("target: picture / plain <= 2\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "benchmark failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
