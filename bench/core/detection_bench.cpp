// Speed of the change detection on a large page: counting a string and
// comparing the middle text, each loading the page as text first. Pages are
// written once into a temporary directory and removed at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "compare/detection.h"
#include "catalogue/text_mode.h"

namespace {

constexpr std::size_t kPageSize = 100u * 1024 * 1024;

struct Pages {
    std::filesystem::path dir;
    std::string html;      // an ordinary page, stored in text mode (CR LF)
    std::string htmlMiddle;
    std::string flat;      // 100 MB of the letter a
    std::size_t htmlBytes = 0;

    Pages() {
        dir = std::filesystem::temp_directory_path() /
              ("hs-bench-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(dir);
        html = (dir / "page.content").string();
        htmlMiddle = (dir / "page.middle").string();
        flat = (dir / "flat.content").string();

        static const char* const words[] = {
            "the", "monitor", "<a href=\"index.html\">", "</a>", "news", "<img src=new.gif>",
            "document", "changed", "<p>", "</p>", "price", "42", "update", "\xE9t\xE9",
            "<div class=\"item\">", "</div>", "and", "of", "release", "notes"};
        std::mt19937 rng(2004);
        std::string page = "<html><head><title>bench</title></head><body>\n";
        page.reserve(kPageSize + 4096);
        while (page.size() < kPageSize) {
            const int n = 5 + static_cast<int>(rng() % 12);
            for (int i = 0; i < n; ++i) {
                page += words[rng() % (sizeof words / sizeof *words)];
                page += ' ';
            }
            page += '\n';
        }
        page += "</body></html>\n";
        hs::writeTextFile(html, page.data(), page.size());
        htmlBytes = static_cast<std::size_t>(std::filesystem::file_size(html));
        // The kept middle text equals the new one: the full comparison runs.
        hs::saveMiddleText(html, "<body>", "</body>", htmlMiddle);

        const std::string a(kPageSize, 'a');
        hs::writeTextFile(flat, a.data(), a.size());
    }
    ~Pages() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

Pages& pages() {
    static Pages p;
    return p;
}

void CountOccurrences_Page(benchmark::State& state) {
    Pages& p = pages();
    for (auto _ : state) benchmark::DoNotOptimize(hs::countOccurrences(p.html, "new.gif"));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(p.htmlBytes));
}

void CountOccurrences_CommonWord(benchmark::State& state) {
    Pages& p = pages();
    for (auto _ : state) benchmark::DoNotOptimize(hs::countOccurrences(p.html, "the "));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(p.htmlBytes));
}

// "aaa...ab" (511 bytes) over 100 MB of "a": a near match at every byte.
void CountOccurrences_NearMatchEverywhere(benchmark::State& state) {
    Pages& p = pages();
    const std::string pattern = std::string(510, 'a') + "b";
    for (auto _ : state) benchmark::DoNotOptimize(hs::countOccurrences(p.flat, pattern));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(kPageSize));
}

// The whole page lies between the markers and equals the kept middle text.
void CompareMiddleText_Page(benchmark::State& state) {
    Pages& p = pages();
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            hs::compareMiddleText(p.html, "<body>", "</body>", p.htmlMiddle));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(p.htmlBytes));
}

void LoadText_Page(benchmark::State& state) {
    Pages& p = pages();
    for (auto _ : state) {
        std::string text;  // fresh each time, as countOccurrences does
        hs::loadText(p.html, text);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(p.htmlBytes));
}

}  // namespace

BENCHMARK(CountOccurrences_Page)->Unit(benchmark::kMillisecond);
BENCHMARK(CountOccurrences_CommonWord)->Unit(benchmark::kMillisecond);
BENCHMARK(CountOccurrences_NearMatchEverywhere)->Unit(benchmark::kMillisecond);
BENCHMARK(CompareMiddleText_Page)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadText_Page)->Unit(benchmark::kMillisecond);
