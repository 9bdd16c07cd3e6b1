// Speed of "What changed": the line difference of two 1 MB pages with one
// line in a hundred changed (goal: under 100 ms), and the first screen of
// the hex difference of two 10 MB files (goal: under 200 ms), from the bytes
// in memory to the rows of one screen and the next difference.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "compare/difference.h"

namespace {

struct Pages {
    std::string before;
    std::string after;

    Pages() {
        static const char* const words[] = {
            "the", "monitor", "<a href=\"index.html\">", "</a>", "news", "<img src=new.gif>",
            "document", "changed", "<p>", "</p>", "price", "42", "update", "\xE9t\xE9",
            "<div class=\"item\">", "</div>", "and", "of", "release", "notes"};
        std::mt19937 rng(2004);
        std::size_t line = 0;
        while (before.size() < 1024 * 1024) {
            std::string text;
            const int n = 5 + static_cast<int>(rng() % 12);
            for (int i = 0; i < n; ++i) {
                text += words[rng() % (sizeof words / sizeof *words)];
                text += ' ';
            }
            before += text + "\r\n";
            // One line in a hundred changed: a word swapped in, or the line
            // gone or a new one beside it.
            if (++line % 100 == 0) {
                switch (rng() % 3) {
                    case 0: after += "price 43 " + text + "\r\n"; break;
                    case 1: break;
                    case 2: after += text + "\r\nnew line " + std::to_string(line) + "\r\n"; break;
                }
            } else {
                after += text + "\r\n";
            }
        }
    }
};

void LineDifference_1MBPages(benchmark::State& state) {
    static const Pages p;
    hs::TextDiffOptions options;
    options.textOnly = state.range(0) != 0;
    std::size_t changes = 0;
    for (auto _ : state) {
        const hs::TextDifference d = hs::diffText(hs::loadedText(p.before), hs::loadedText(p.after), options);
        changes = d.changes.size();
        benchmark::DoNotOptimize(d.rows.data());
    }
    state.counters["changes"] = static_cast<double>(changes);
}
BENCHMARK(LineDifference_1MBPages)->Arg(0)->Arg(1)->ArgName("textOnly")->Unit(benchmark::kMillisecond);

// The bound: two unrelated pages of 1 MB, where no line matches.
void LineDifference_1MBUnrelated(benchmark::State& state) {
    static const Pages p;
    std::string other = p.before;
    for (char& c : other) c = c == 'e' ? 'E' : c;
    for (auto _ : state) benchmark::DoNotOptimize(hs::diffText(p.before, other).rows.data());
}
BENCHMARK(LineDifference_1MBUnrelated)->Unit(benchmark::kMillisecond);

void HexDifference_10MBFirstScreen(benchmark::State& state) {
    std::string left(10 * 1024 * 1024, '\0');
    std::mt19937 rng(1);
    for (char& c : left) c = static_cast<char>(rng());
    std::string right = left;
    right[right.size() - 1000] ^= 1;  // the first difference near the end: the longest search
    for (auto _ : state) {
        state.PauseTiming();
        std::string a = left, b = right;  // what reading the two versions gives
        state.ResumeTiming();
        const hs::HexDifference h(std::move(a), std::move(b));
        const std::vector<hs::HexRow> screen = h.rows(h.firstDifference() / 16, 60);
        benchmark::DoNotOptimize(screen.data());
        benchmark::DoNotOptimize(h.nextDifference(h.firstDifference()));
    }
}
BENCHMARK(HexDifference_10MBFirstScreen)->Unit(benchmark::kMillisecond);

}  // namespace
