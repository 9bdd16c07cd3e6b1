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
// (c) at every size also runs until every row shows the outcome of its
// check (the record files name local files that do not exist, so each
// check fails at once); the table ends with that figure at 1,000 and
// 10,000 documents and their ratio.
//
//   (e) unchanged local files: N documents whose local files exist and
//       equal their kept content ("data\<name>.content"), all "Not
//       changed". "Chec&k All !" is sent and timed until every row shows a
//       new "Last check" text and "Not changed". Beside it, in this
//       process, a bare loop does the same file work for the same
//       documents: fopen the local file and the kept content, fread both in
//       512-byte pieces, memcmp, fclose both.
//
//   (f) unchanged web pages: N HtmlPage documents on the local web server
//       of tests/servers (its state directory from --web-state= or
//       HS_WEB_STATE), pages of 2-4 KB whose kept content is the same page
//       in text form, all "Not changed". "Chec&k All !" is timed until
//       every row shows a new "Last check" and "Not changed". Beside it, in
//       this process, a bare loop makes the same client calls (the
//       program's web client over the same sockets) and the same file work:
//       the body read in pieces, compared with the kept content read in
//       text mode, discarded. Also the program's peak working set.
//
// (c) is timed two ways. "post + WM_NULL" posts the command and sends a
// WM_NULL to the main window: sent messages are handled before posted ones, so
// this figure can miss the command altogether and is shown only beside the
// other. "send" sends the command itself and returns once it was handled.
//
//   e2e_list_bench.exe --program=<Halvorsight.exe> [--sizes=0,1000,10000] [--runs=3]
//       [--reader=<hs_bare_record_read.exe>] [--local-unchanged=1000]
//       [--web-unchanged=1000] [--web-state=<web server state directory>]
// --local-unchanged=0 leaves (e) out, --web-unchanged=0 (f).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <fstream>
#include <vector>

#include "catalogue/store.h"
#include "dialogs/win32/message_box.h"
#include "net/content_source.h"
#include "net/web_client.h"
#include "list_input.h"
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


double median(std::vector<double> v) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
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
        Document r = makeRecord(name, LocalFile, "C:\\nowhere\\" + name + ".txt", statuses[i % 4]);
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

bool exitProgram(Running& app) {
    if (app.main) PostMessageA(app.main, WM_COMMAND, ID_APP_EXIT_CMD, 0);
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

constexpr int kStatusColumn = 2;
constexpr int kLastCheckColumn = 3;

bool pendingStatus(const std::string& s) { return s == "Waiting for retrieve..." || s == "Retrieving..."; }

// Waits until done(row) holds for every row, polling every `every`. Rows are
// read in order from the first one not yet seen done, and a poll stops at
// the first row still pending, so polling costs little beside the program's
// own refreshes. The figure is the time the last row was seen done; a pass
// over every row then confirms it (a row could have moved). -1 on timeout.
template <class Done>
double waitForRows(const RowReader& reader, Done done, Clock::time_point since, milliseconds timeout,
                   milliseconds every = milliseconds(50)) {
    const int rows = reader.rows();
    const auto end = Clock::now() + timeout;
    int next = 0;
    while (Clock::now() < end) {
        while (next < rows && done(next)) ++next;
        if (next == rows) {
            const double seen = msBetween(since, Clock::now());
            next = 0;
            while (next < rows && done(next)) ++next;
            if (next == rows) return seen;
        }
        Sleep(static_cast<DWORD>(every.count()));
    }
    int pending = 0;
    for (int r = 0; r < rows; ++r) pending += done(r) ? 0 : 1;
    std::printf("timed out with %d of %d rows not done\n", pending, rows);
    return -1;
}

// Waits until no row shows "Waiting for retrieve..." or "Retrieving...":
// the worker's pass has ended and every refresh it posted was handled.
double waitForOutcomes(HWND list, Clock::time_point since, milliseconds timeout) {
    const RowReader reader(list);
    return waitForRows(
        reader, [&](int row) { return !pendingStatus(reader.text(row, kStatusColumn)); }, since, timeout);
}

// Generous for a linear pass (today about 10 ms a document at 10,000),
// short enough that a row left pending for good does not hold the run.
milliseconds outcomeTimeout(int count) { return milliseconds(std::max(60000, count * 30)); }

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
    std::vector<double> bare, start, sent, outcomes, byName, byStatus;
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
        sent.push_back(timedSend(app.main, WM_COMMAND, ID_DOC_CHECK_ALL, 0));
        // Every row's outcome: the worker's refreshes queue up on the window
        // thread.
        outcomes.push_back(waitForOutcomes(app.list, t0, outcomeTimeout(count)));
        std::printf("run %d of %d with %d documents: Check All until every outcome %.0f ms\n", run + 1, runs,
                    count, outcomes.back());
        // The figures are taken: no need for an orderly exit behind the
        // queued refreshes (the record files stay as they were prepared).
        app.process.terminate();
    }
    if (count > 0) {
        // (c) posted, in a fresh start of its own.
        Running app;
        if (startToFullList(program, dir, count, app) >= 0) {
            settle(app.list);
            PostMessageA(app.main, WM_COMMAND, ID_DOC_CHECK_ALL, 0);
            f.markPosted = timedSend(app.list, WM_NULL, 0, 0);
        }
        app.process.terminate();
    }
    f.bare = median(bare);
    f.start = median(start);
    f.markSent = median(sent);
    f.outcomesShown = median(outcomes);
    f.sortName = median(byName);
    f.sortStatus = median(byStatus);
    return f;
}

// ---------------------------------------------------------------- (e)

constexpr const char* kOldCheckText = "2001/02/03 [04:05:06]";

struct LocalPair {
    std::string source;  // the document's local file
    std::string kept;    // its kept content
};

// N LocalFile documents, "Not changed", last checked at kOldCheckText,
// whose local files in "files" exist (2-4 KB of varied text) and whose
// kept content files are byte-identical copies.
std::vector<LocalPair> prepareUnchangedLocal(const WorkDir& dir, int count) {
    std::mt19937 random(777u + static_cast<unsigned>(count));
    std::uniform_int_distribution<int> letter('a', 'z');
    std::uniform_int_distribution<int> size(2048, 4096);
    std::uniform_int_distribution<int> printable(' ', '~');
    dir.makeDirectory("data");
    dir.makeDirectory("files");
    std::vector<LocalPair> pairs;
    for (int i = 0; i < count; ++i) {
        std::string name;
        for (int k = 0; k < 8; ++k) name += static_cast<char>(letter(random));
        name += " " + std::to_string(i);
        std::string bytes(static_cast<std::size_t>(size(random)), ' ');
        for (std::size_t k = 0; k < bytes.size(); ++k) {
            bytes[k] = k % 64 == 63 ? '\n' : static_cast<char>(printable(random));
        }
        const std::string source = "files\\" + name + ".txt";
        const std::string kept = "data\\" + name + ".content";
        dir.writeFile(source, bytes);
        dir.writeFile(kept, bytes);
        Document r = makeRecord(name, LocalFile, dir.file(source), NotChanged);
        setField(r.lastCheck, kOldCheckText);
        dir.writeFile(recordFileName(name), recordFileBytes(r));
        pairs.push_back({dir.file(source), dir.file(kept)});
    }
    return pairs;
}

// The bare file work of checking one unchanged local file, as the program
// does it: 512-byte pieces of the local file, each compared with as many
// bytes of the kept content. Returns the time; `same` counts the files
// found equal.
double bareCompare(const std::vector<LocalPair>& pairs, int& same) {
    same = 0;
    const auto t0 = Clock::now();
    for (const LocalPair& p : pairs) {
        std::FILE* source = std::fopen(p.source.c_str(), "rb");
        std::FILE* kept = source ? std::fopen(p.kept.c_str(), "rb") : nullptr;
        if (source && kept) {
            char a[512], b[512];
            bool equal = true;
            for (;;) {
                const std::size_t n = std::fread(a, 1, sizeof a, source);
                if (std::fread(b, 1, n, kept) != n || std::memcmp(a, b, n) != 0) {
                    equal = false;
                    break;
                }
                if (n < sizeof a) break;
            }
            same += equal ? 1 : 0;
        }
        if (kept) std::fclose(kept);
        if (source) std::fclose(source);
    }
    return msBetween(t0, Clock::now());
}

struct LocalFigures {
    int documents = 0;
    double bare = -1, program = -1, readColumn = -1;
    // On a loaded machine the fastest runs say more about the program.
    double bareFastest = -1, programFastest = -1;
};

LocalFigures measureUnchangedLocal(const std::string& program, int count, int runs) {
    LocalFigures f;
    f.documents = count;
    WorkDir dir("bench-local-" + std::to_string(count));
    std::printf("preparing %d unchanged local files...\n", count);
    const std::vector<LocalPair> pairs = prepareUnchangedLocal(dir, count);
    int same = 0;
    bareCompare(pairs, same);  // the files in the cache for every figure
    if (same != count) {
        std::printf("bare loop: %d of %d files equal, figures not taken\n", same, count);
        return f;
    }
    // The bare loop runs before and after each start of the program, so
    // that both figures see the same load of the machine.
    std::vector<double> bare, checked, readColumn;
    for (int run = 0; run < runs; ++run) {
        bare.push_back(bareCompare(pairs, same));
        Running app;
        if (!startSettled(program, dir, count, app, run + 1)) continue;
        const RowReader reader(app.list);
        // What one pass over the column costs the poll, and every row as
        // prepared.
        int old = 0;
        const auto r0 = Clock::now();
        for (int row = 0; row < count; ++row) old += reader.text(row, kLastCheckColumn) == kOldCheckText ? 1 : 0;
        readColumn.push_back(msBetween(r0, Clock::now()));
        if (old != count) {
            std::printf("run %d: %d of %d rows show the prepared last check\n", run + 1, old, count);
            app.process.terminate();
            continue;
        }
        settle(app.list);
        const long readsBefore = reader.reads();
        const auto t0 = Clock::now();
        sendBounded(app.main, WM_COMMAND, ID_DOC_CHECK_ALL, 0, nullptr, milliseconds(60000));
        // The commit sets status and last check together and one refresh
        // shows both, so the poll reads the last check only; the statuses
        // are read once everything is shown. The whole check takes about as
        // long as ten polls of 50 ms: a finer step keeps the figure from
        // growing by up to one step, which the bare loop does not have.
        const double shown = waitForRows(
            reader, [&](int row) { return reader.text(row, kLastCheckColumn) != kOldCheckText; }, t0,
            outcomeTimeout(count), milliseconds(10));
        const long readsWaiting = reader.reads() - readsBefore;
        int notChanged = 0;
        for (int row = 0; row < count; ++row) notChanged += reader.text(row, kStatusColumn) == "Not changed" ? 1 : 0;
        app.process.terminate();
        if (notChanged != count) {
            std::printf("run %d: %d of %d rows \"Not changed\", figure dropped\n", run + 1, notChanged, count);
            continue;
        }
        bare.push_back(bareCompare(pairs, same));
        checked.push_back(shown);
        std::printf("run %d of %d, %d unchanged local files: bare loop %.1f ms before, %.1f ms after; Check All "
                    "until every outcome %.1f ms (%ld row texts read meanwhile)\n",
                    run + 1, runs, count, bare[bare.size() - 2], bare.back(), checked.back(), readsWaiting);
    }
    f.bare = median(bare);
    f.program = median(checked);
    f.readColumn = median(readColumn);
    if (!bare.empty()) f.bareFastest = *std::min_element(bare.begin(), bare.end());
    if (!checked.empty()) f.programFastest = *std::min_element(checked.begin(), checked.end());
    return f;
}

// ---------------------------------------------------------------- (f)

struct WebPage {
    std::string url;
    std::string kept;  // the kept content file
};

// N pages in the server's directory, each a "Not changed" HtmlPage whose
// kept content is the page in text form (line feeds as CR LF).
std::vector<WebPage> prepareUnchangedWeb(const WorkDir& dir, const std::string& webState, int count) {
    std::ifstream ports(webState + "\\ports");
    std::string name;
    int port = 0, httpPort = 0;
    while (ports >> name >> port) {
        if (name == "http") httpPort = port;
    }
    if (httpPort == 0) return {};
    std::mt19937 random(4242u + static_cast<unsigned>(count));
    std::uniform_int_distribution<int> size(2048, 4096);
    std::uniform_int_distribution<int> printable(' ', '~');
    dir.makeDirectory("data");
    std::vector<WebPage> pages;
    for (int i = 0; i < count; ++i) {
        const std::string doc = "page " + std::to_string(i);
        const std::string file = "bench-page-" + std::to_string(i) + ".html";
        std::string bytes(static_cast<std::size_t>(size(random)), ' ');
        for (std::size_t k = 0; k < bytes.size(); ++k) {
            bytes[k] = k % 64 == 63 ? '\n' : static_cast<char>(printable(random));
        }
        std::string text;
        for (const char c : bytes) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
        std::ofstream(webState + "\\www\\" + file, std::ios::binary) << bytes;
        const std::string kept = "data\\" + doc + ".content";
        dir.writeFile(kept, text);
        const std::string url = "http://127.0.0.1:" + std::to_string(httpPort) + "/files/" + file;
        Document r = makeRecord(doc, HtmlPage, url, NotChanged);
        setField(r.lastCheck, kOldCheckText);
        dir.writeFile(recordFileName(doc), recordFileBytes(r));
        pages.push_back({url, dir.file(kept)});
    }
    return pages;
}

// The bare loop: each page through the web client, its pieces compared
// with the kept content read in text mode, nothing kept. `same` counts the
// pages found equal.
double bareWebCompare(const WebClient& client, const std::vector<WebPage>& pages, int& same) {
    same = 0;
    const auto t0 = Clock::now();
    std::vector<char> mine(8192), theirs(8192);
    for (const WebPage& p : pages) {
        WebRequest request;
        request.location = p.url;
        std::string error;
        auto body = client.open(request, error);
        FileSource kept(8192);
        if (!body || !kept.open(p.kept, FileMode::Text)) continue;
        bool equal = true;
        for (;;) {
            const long n = body->read(mine.data(), mine.size());
            if (n < 0) equal = false;
            if (n <= 0) break;
            if (readFull(kept, theirs.data(), static_cast<std::size_t>(n)) != n ||
                std::memcmp(mine.data(), theirs.data(), static_cast<std::size_t>(n)) != 0) {
                equal = false;
                break;
            }
        }
        same += equal ? 1 : 0;
    }
    return msBetween(t0, Clock::now());
}

struct WebFigures {
    int documents = 0;
    double bare = -1, program = -1, bareFastest = -1, programFastest = -1;
    double peakMb = -1;
};

WebFigures measureUnchangedWeb(const std::string& program, const std::string& webState, int count, int runs) {
    WebFigures f;
    f.documents = count;
    WorkDir dir("bench-web-" + std::to_string(count));
    std::printf("preparing %d unchanged web pages...\n", count);
    const std::vector<WebPage> pages = prepareUnchangedWeb(dir, webState, count);
    if (pages.empty()) {
        std::printf("no web server ports under %s, (f) left out\n", webState.c_str());
        f.documents = 0;
        return f;
    }
    const WebClient client(makePlatformNetwork(), nullptr, kAppTitle, WebBounds{});
    int same = 0;
    bareWebCompare(client, pages, same);  // warm the server and the caches
    if (same != count) {
        std::printf("bare loop: %d of %d pages equal, figures not taken\n", same, count);
        return f;
    }
    std::vector<double> bare, checked, peak;
    for (int run = 0; run < runs; ++run) {
        bare.push_back(bareWebCompare(client, pages, same));
        Running app;
        if (!startSettled(program, dir, count, app, run + 1)) continue;
        const RowReader reader(app.list);
        const auto t0 = Clock::now();
        sendBounded(app.main, WM_COMMAND, ID_DOC_CHECK_ALL, 0, nullptr, milliseconds(60000));
        const double shown = waitForRows(
            reader, [&](int row) { return reader.text(row, kLastCheckColumn) != kOldCheckText; }, t0,
            outcomeTimeout(count));
        int notChanged = 0;
        for (int row = 0; row < count; ++row) notChanged += reader.text(row, kStatusColumn) == "Not changed" ? 1 : 0;
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        if (GetProcessMemoryInfo(app.process.handle(), &memory, sizeof memory)) {
            peak.push_back(static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0));
        }
        app.process.terminate();
        if (notChanged != count) {
            std::printf("run %d: %d of %d rows \"Not changed\", figure dropped\n", run + 1, notChanged, count);
            continue;
        }
        bare.push_back(bareWebCompare(client, pages, same));
        checked.push_back(shown);
        std::printf("run %d of %d, %d unchanged web pages: bare loop %.1f ms before, %.1f ms after; Check All "
                    "until every outcome %.1f ms; peak working set %.1f MB\n",
                    run + 1, runs, count, bare[bare.size() - 2], bare.back(), checked.back(),
                    peak.empty() ? -1.0 : peak.back());
    }
    f.bare = median(bare);
    f.program = median(checked);
    if (!bare.empty()) f.bareFastest = *std::min_element(bare.begin(), bare.end());
    if (!checked.empty()) f.programFastest = *std::min_element(checked.begin(), checked.end());
    if (!peak.empty()) f.peakMb = *std::max_element(peak.begin(), peak.end());
    return f;
}

// The program's figure beside the bare loop's: their ratio against the goal
// and the ratio of the fastest runs.
void printAgainstBare(double program, double bare, double programFastest, double bareFastest,
                      const char* target) {
    if (program > 0 && bare > 0) {
        std::printf("  program / bare loop:               %10.2f (target <= %s)\n", program / bare, target);
    }
    if (programFastest > 0 && bareFastest > 0) {
        std::printf("  fastest runs: %.1f ms against %.1f ms, %.2f\n", programFastest, bareFastest,
                    programFastest / bareFastest);
    }
}

void printWeb(const WebFigures& web, int runs) {
    if (web.documents <= 0) return;
    std::printf("\nunchanged web pages, %d documents (medians of %d runs, the bare loop twice a run):\n",
                web.documents, runs);
    std::printf("  (f) Check All until every outcome: %10.1f ms\n", web.program);
    std::printf("  (f) bare loop client + compare:    %10.1f ms\n", web.bare);
    printAgainstBare(web.program, web.bare, web.programFastest, web.bareFastest, "1.5");
    std::printf("  the program's peak working set: %.1f MB\n", web.peakMb);
}

void printSizes(const std::vector<Figures>& all, int runs);
void printLocal(const LocalFigures& local, int runs);

void printTable(const std::vector<Figures>& all, const LocalFigures& local, int runs) {
    if (!all.empty()) printSizes(all, runs);
    printLocal(local, runs);
}

void printSizes(const std::vector<Figures>& all, int runs) {
    std::printf("\nmedians of %d runs, milliseconds\n", runs);
    std::printf("%9s | %9s | %9s | %5s | %13s | %9s | %11s | %9s | %10s\n", "documents", "(a) bare", "(b) start",
                "b/a", "(c) post+NULL", "(c) send", "(c) results", "(d) name", "(d) status");
    for (const Figures& f : all) {
        std::printf("%9d | %9.1f | %9.1f | %5.2f | %13.1f | %9.1f | %11.1f | %9.1f | %10.1f\n", f.documents, f.bare,
                    f.start, f.bare > 0 ? f.start / f.bare : -1.0, f.markPosted, f.markSent, f.outcomesShown,
                    f.sortName, f.sortStatus);
    }
    std::printf("targets: b/a <= 1.5, (c) < 100 ms, (d) < 300 ms\n"
                "(c) post+NULL: one measurement, not a median\n"
                "(c) results: from the sent command until every row shows the outcome of its check\n"
                "0 documents: the fixed cost of starting a process and the program\n");

    const Figures* small = nullptr;
    const Figures* large = nullptr;
    for (const Figures& f : all) {
        if (f.documents == 1000) small = &f;
        if (f.documents == 10000) large = &f;
    }
    if (small || large) {
        std::printf("\nCheck All until every row shows its outcome (failed checks):\n");
        if (small) std::printf("  1,000 documents:  %10.1f ms\n", small->outcomesShown);
        if (large) std::printf("  10,000 documents: %10.1f ms\n", large->outcomesShown);
        if (small && large && small->outcomesShown > 0 && large->outcomesShown > 0) {
            std::printf("  10,000 / 1,000:   %10.2f (target <= 12)\n", large->outcomesShown / small->outcomesShown);
        }
    }
}

void printLocal(const LocalFigures& local, int runs) {
    if (local.documents > 0) {
        std::printf("\nunchanged local files, %d documents (medians of %d runs, the bare loop twice a run):\n",
                    local.documents, runs);
        std::printf("  (e) Check All until every outcome: %10.1f ms\n", local.program);
        std::printf("  (e) bare loop fopen/fread/memcmp:  %10.1f ms\n", local.bare);
        printAgainstBare(local.program, local.bare, local.programFastest, local.bareFastest, "2");
        std::printf("  reading the last-check column of every row once: %.1f ms\n", local.readColumn);
    }
}

}  // namespace
}  // namespace hs::e2e

int main(int argc, char** argv) {
    using namespace hs::e2e;
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::string program, reader = besideThisProgram("hs_bare_record_read.exe");
    std::vector<int> sizes{0, 1000, 10000};
    int runs = 3;
    int localUnchanged = 1000;
    int webUnchanged = 1000;
    std::string webState;
    if (const char* state = std::getenv("HS_WEB_STATE")) webState = toWindowsPath(state);
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("--program=", 0) == 0) {
            program = a.substr(10);
        } else if (a.rfind("--reader=", 0) == 0) {
            reader = a.substr(9);
        } else if (a.rfind("--local-unchanged=", 0) == 0) {
            localUnchanged = std::max(0, std::atoi(a.c_str() + 18));
        } else if (a.rfind("--web-unchanged=", 0) == 0) {
            webUnchanged = std::max(0, std::atoi(a.c_str() + 16));
        } else if (a.rfind("--web-state=", 0) == 0) {
            webState = toWindowsPath(a.substr(12));
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
        std::fprintf(stderr, "usage: e2e_list_bench.exe --program=<Halvorsight.exe> [--sizes=0,1000,10000] [--runs=3]"
                             " [--local-unchanged=1000] [--web-unchanged=1000] [--web-state=<dir>]\n");
        return 2;
    }
    if (programAlreadyOpen()) return 1;
    try {
        LocalFigures local;
        if (localUnchanged > 0) local = measureUnchangedLocal(program, localUnchanged, runs);
        WebFigures web;
        if (webUnchanged > 0 && !webState.empty()) web = measureUnchangedWeb(program, webState, webUnchanged, runs);
        if (webUnchanged > 0 && webState.empty()) std::printf("no --web-state and no HS_WEB_STATE: (f) left out\n");
        std::vector<Figures> all;
        for (int n : sizes) all.push_back(measure(program, reader, n, runs));
        printTable(all, local, runs);
        printWeb(web, runs);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "benchmark failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
