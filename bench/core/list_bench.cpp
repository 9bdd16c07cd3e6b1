// Costs of the document list with 1,000 and 10,000 documents: marking every
// document for a check (each record looked up by its row), a header-click
// sort, and showing the rows at start-up next to the bare cost of reading
// the record files.
//
// The rows live in a list that counts its calls: under Wine each call is a
// message to the program's own list window (a few microseconds), so the
// counter "list_calls" times ~3 us estimates what the Win32 list adds to the
// measured time.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "app/commands.h"
#include "catalogue/store.h"
#include "listview/document_list.h"
#include "listview/memory_row_list.h"
#include "platform/file_system.h"

namespace hs {
namespace {

FileSystem& testFileSystem() {
    static const std::unique_ptr<FileSystem> files = makePlatformFileSystem();
    return *files;
}

class CountingRowList : public MemoryRowList {
public:
    int insertRow(int position, const RowData& row) override {
        ++calls;
        return MemoryRowList::insertRow(position, row);
    }
    bool deleteRow(int row) override {
        ++calls;
        return MemoryRowList::deleteRow(row);
    }
    bool readRow(int row, RowData& data) const override {
        ++calls;
        return MemoryRowList::readRow(row, data);
    }
    bool writeRow(int row, const RowData& data) override {
        ++calls;
        return MemoryRowList::writeRow(row, data);
    }
    bool setCellText(int row, int column, const std::string& text) override {
        ++calls;
        return MemoryRowList::setCellText(row, column, text);
    }
    bool setImage(int row, int image) override {
        ++calls;
        return MemoryRowList::setImage(row, image);
    }
    RowState state(int row) const override {
        ++calls;
        return MemoryRowList::state(row);
    }
    bool setState(int row, RowState value, uint32_t mask) override {
        ++calls;
        return MemoryRowList::setState(row, value, mask);
    }
    // One message each in the Win32 list.
    int selectedCount() const override {
        ++calls;
        int n = 0;
        for (int r = 0; r < rowCount(); ++r) n += MemoryRowList::state(r).selected() ? 1 : 0;
        return n;
    }
    int nextSelected(int after) const override {
        ++calls;
        for (int r = after < 0 ? 0 : after + 1; r < rowCount(); ++r) {
            if (MemoryRowList::state(r).selected()) return r;
        }
        return -1;
    }
    mutable long long calls = 0;
};

Document makeRecord(int k, std::mt19937& rng) {
    Document r = zeroRecord();
    r.type = static_cast<int32_t>(rng() % 4);
    r.status = static_cast<int32_t>(rng() % 6);
    if (r.status == Changed) r.status = NotChanged;  // every document gets marked
    setField(r.name, "document " + std::to_string(rng() % 100000) + " #" + std::to_string(k));
    setField(r.url, "http://example.invalid/" + std::to_string(k));
    if (rng() % 4 != 0) setField(r.lastCheck, "2004/07/15 [09:05:" + std::to_string(10 + k % 50) + "]");
    return r;
}

struct Shown {
    DocumentCatalogue catalogue;
    CountingRowList rows;
    DocumentList list{rows, catalogue};

    explicit Shown(int n) {
        std::mt19937 rng(42);
        for (int k = 0; k < n; ++k) {
            const std::size_t slot = catalogue.appendRecord(makeRecord(k, rng));
            list.showRecordRow(static_cast<long>(slot), static_cast<int>(slot), InsertRow);
        }
        rows.calls = 0;
    }
};

void BM_MarkAllForCheck(benchmark::State& state) {
    Shown s(static_cast<int>(state.range(0)));
    long long calls = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::size_t slots = s.catalogue.slotCount();
        for (std::size_t slot = 0; slot < slots; ++slot) {
            s.catalogue.setStatus(slot, slot % 3 == 0 ? UnableToRetrieve : NotChanged);
            s.list.refreshRecordRow(static_cast<long>(slot));
        }
        s.rows.calls = 0;
        state.ResumeTiming();

        benchmark::DoNotOptimize(markAllDocuments(s.catalogue, s.list));
        calls += s.rows.calls;
    }
    state.counters["list_calls"] = benchmark::Counter(static_cast<double>(calls),
                                                      benchmark::Counter::kAvgIterations);
}

// Header clicks on one column: the shared toggle alternates the direction,
// so every click reverses the previous order and moves every row.
void sortBench(benchmark::State& state, int column) {
    Shown s(static_cast<int>(state.range(0)));
    s.list.sortAscending = 1;
    long long calls = 0;
    for (auto _ : state) {
        s.rows.calls = 0;
        s.list.headerClicked(column);
        calls += s.rows.calls;
    }
    state.counters["list_calls"] = benchmark::Counter(static_cast<double>(calls),
                                                      benchmark::Counter::kAvgIterations);
}
void BM_SortByName(benchmark::State& state) { sortBench(state, 0); }
void BM_SortByStatus(benchmark::State& state) { sortBench(state, 2); }

// A working directory with a data directory of n record files, made once
// per size and removed at exit.
class DataDirectory {
public:
    static DataDirectory& forSize(int n) {
        static DataDirectory small(1000), large(10000);
        DataDirectory& d = n <= 1000 ? small : large;
        std::filesystem::current_path(d.dir_);
        return d;
    }
    ~DataDirectory() {
        std::error_code ec;
        std::filesystem::current_path(home_, ec);
        std::filesystem::remove_all(dir_, ec);
    }

private:
    explicit DataDirectory(int n) : home_(std::filesystem::current_path()) {
        dir_ = std::filesystem::temp_directory_path() /
               ("hs-list-bench-" + std::to_string(n) + "-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(dir_ / DocumentFiles::directory());
        std::filesystem::current_path(dir_);
        std::mt19937 rng(7);
        for (int k = 0; k < n; ++k) {
            const Document r = makeRecord(k, rng);
            std::FILE* f = std::fopen(DocumentFiles::recordPath(fieldText(r.name)).c_str(), "wb");
            if (!f) continue;
            std::fwrite(&r, sizeof r, 1, f);
            std::fclose(f);
        }
        std::filesystem::current_path(home_);
    }
    std::filesystem::path home_;
    std::filesystem::path dir_;
};

// The bare cost: list the record files and read each one whole.
void BM_ReadRecordFiles(benchmark::State& state) {
    DataDirectory::forSize(static_cast<int>(state.range(0)));
    FileSystem& fs = testFileSystem();
    for (auto _ : state) {
        std::vector<std::string> names;
        fs.listFiles(DocumentFiles::directory(), "*.data", names);
        std::vector<Document> records;
        records.reserve(names.size());
        for (const std::string& name : names) {
            std::FILE* f = std::fopen(joinPath(DocumentFiles::directory(), name).c_str(), "rb");
            if (!f) continue;
            Document r;
            if (std::fread(&r, sizeof r, 1, f) == 1) records.push_back(r);
            std::fclose(f);
        }
        benchmark::DoNotOptimize(records.data());
    }
}

// Start-up: load the catalogue and show one row per record.
void BM_LoadAndShowRows(benchmark::State& state) {
    DataDirectory::forSize(static_cast<int>(state.range(0)));
    FileSystem& fs = testFileSystem();
    long long calls = 0;
    for (auto _ : state) {
        DocumentCatalogue catalogue;
        CountingRowList rows;
        DocumentList list(rows, catalogue);
        loadCatalogue(catalogue, fs, [&](std::size_t slot) {
            list.showRecordRow(static_cast<long>(slot), static_cast<int>(slot), InsertRow);
        });
        calls += rows.calls;
        benchmark::DoNotOptimize(list.rowCount());
    }
    state.counters["list_calls"] = benchmark::Counter(static_cast<double>(calls),
                                                      benchmark::Counter::kAvgIterations);
}

// Only the rows: show every slot of an already loaded catalogue.
void BM_ShowRowsOnly(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    DocumentCatalogue catalogue;
    std::mt19937 rng(42);
    for (int k = 0; k < n; ++k) catalogue.appendRecord(makeRecord(k, rng));
    for (auto _ : state) {
        CountingRowList rows;
        DocumentList list(rows, catalogue);
        for (int slot = 0; slot < n; ++slot) list.showRecordRow(slot, slot, InsertRow);
        benchmark::DoNotOptimize(list.rowCount());
    }
}

BENCHMARK(BM_MarkAllForCheck)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByName)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByStatus)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRecordFiles)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndShowRows)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowRowsOnly)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hs

BENCHMARK_MAIN();
