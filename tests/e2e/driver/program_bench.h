// What the benchmarks of the real program share: starting it until its list
// is full, waiting for a quiet window thread, and reading single row texts
// through one buffer in the program.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "process.h"
#include "remote.h"
#include "work_dir.h"

namespace hs::e2e {

using BenchClock = std::chrono::steady_clock;

double msBetween(BenchClock::time_point a, BenchClock::time_point b);

// A file beside the running program (the bench's own helpers).
std::string besideThisProgram(const std::string& relative);

struct Running {
    Process process;
    HWND main = nullptr;
    HWND list = nullptr;
};

// Starts the program in `dir` and waits until its shown list holds `count`
// rows: the time from CreateProcess, or -1. `started`, when given, gets
// the moment of the start.
double startToFullList(const std::string& program, const WorkDir& dir, int count, Running& app,
                       BenchClock::time_point* started = nullptr);

// startToFullList, then settle. When the list does not fill, says so for
// this run (counted from 1), ends the process and gives false.
bool startSettled(const std::string& program, const WorkDir& dir, int count, Running& app, int run);

// Waits until the window thread answers quickly a few times in a row. Sent
// messages overtake posted ones, so this says nothing about posted row
// refreshes still queued.
void settle(HWND view);

// True (and said on stderr) when a window with the program's title is open:
// the program would not start beside it, and every figure would be lost.
bool programAlreadyOpen();

// Column texts of single rows, read through one buffer in the program, so
// that a read costs one message and two memory copies (under Wine about
// 0.25 to 0.4 ms of the program's window thread, most of it in the
// wineserver).
class RowReader {
public:
    explicit RowReader(HWND list);
    int rows() const;
    std::string text(int row, int column) const;
    // Texts read so far: what polling cost the program's window thread.
    long reads() const { return reads_; }

private:
    static constexpr std::size_t kText = 512;
    mutable long reads_ = 0;
    HWND list_;
    UniqueHandle process_;
    RemoteMemory mem_;
};

}  // namespace hs::e2e
