#include "program_bench.h"

#include <commctrl.h>

#include <cstddef>
#include <cstdio>

#include "program_test.h"
#include "window_find.h"

namespace hs::e2e {

using std::chrono::milliseconds;

double msBetween(BenchClock::time_point a, BenchClock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

std::string besideThisProgram(const std::string& relative) {
    char buf[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    std::string p(buf, n);
    const auto slash = p.find_last_of("\\/");
    return (slash == std::string::npos ? std::string(".") : p.substr(0, slash)) + "\\" + relative;
}

double startToFullList(const std::string& program, const WorkDir& dir, int count, Running& app,
                       BenchClock::time_point* started) {
    const auto t0 = BenchClock::now();
    if (started) *started = t0;
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
        milliseconds(300000), milliseconds(2));
    return full ? msBetween(t0, BenchClock::now()) : -1;
}

bool startSettled(const std::string& program, const WorkDir& dir, int count, Running& app, int run) {
    if (startToFullList(program, dir, count, app) < 0) {
        std::printf("  run %d: the program showed no full list\n", run);
        app.process.terminate();
        return false;
    }
    settle(app.list);
    return true;
}

void settle(HWND view) {
    for (int quiet = 0, round = 0; quiet < 3 && round < 3000; ++round) {
        const auto t0 = BenchClock::now();
        const bool ok = sendBounded(view, WM_NULL, 0, 0, nullptr, milliseconds(60000));
        quiet = ok && msBetween(t0, BenchClock::now()) < 2.0 ? quiet + 1 : 0;
        Sleep(20);
    }
}

RowReader::RowReader(HWND list)
    : list_(list), process_(openWindowProcess(list)), mem_(process_.get(), sizeof(LVITEMA) + kText) {}

int RowReader::rows() const {
    LRESULT n = 0;
    return mem_ && sendBounded(list_, LVM_GETITEMCOUNT, 0, 0, &n, milliseconds(60000)) ? static_cast<int>(n) : 0;
}

std::string RowReader::text(int row, int column) const {
    // The item and an empty text behind it, in one copy.
    struct {
        LVITEMA item;
        char zero;
    } request{};
    request.item.mask = LVIF_TEXT;
    request.item.iItem = row;
    request.item.iSubItem = column;
    request.item.pszText = mem_.at<char>(sizeof(LVITEMA));
    request.item.cchTextMax = static_cast<int>(kText);
    static_assert(offsetof(decltype(request), zero) == sizeof(LVITEMA), "text right behind the item");
    ++reads_;
    if (!mem_ || !mem_.write(0, &request, sizeof(LVITEMA) + 1)) return "";
    if (!sendBounded(list_, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), mem_.lparam(), nullptr,
                     milliseconds(60000))) {
        return "";
    }
    return mem_.readString(sizeof(LVITEMA), kText);
}

bool programAlreadyOpen() {
    WindowQuery q;
    q.title = hs::kAppTitle;
    q.titleContains = true;
    if (!findTopLevelWindow(q)) return false;
    std::fprintf(stderr, "a window with the program's title is open: the program would not start\n");
    return true;
}

}  // namespace hs::e2e
