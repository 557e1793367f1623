// The code store's reads over a million codes: the grid's row windows (by
// position and by key) and the print job's stream of every record.

#include "codes/CodeLines.h"
#include "codes/CodeStore.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

constexpr std::int64_t kCodes = 1000000;

// One store of a million generated codes for every benchmark of the run.
mirel::codes::CodeStore& millionStore() {
    static QTemporaryDir dir;
    static std::unique_ptr<mirel::codes::CodeStore> store = [] {
        auto s = std::make_unique<mirel::codes::CodeStore>(dir.filePath(QStringLiteral("dbno.csh")));
        mirel::codes::CodeList list;
        s->generate("abcd", kCodes, list);
        return s;
    }();
    return *store;
}

// A grid scrolled to a random row shows about 40 rows from there.
void BM_WindowAtRandomPosition(benchmark::State& state) {
    auto& store = millionStore();
    std::mt19937 random(1);
    std::uniform_int_distribution<std::int64_t> position(0, kCodes - 40);
    for (auto _ : state)
        benchmark::DoNotOptimize(store.records(position(random), 40));
}
BENCHMARK(BM_WindowAtRandomPosition);

void BM_WindowAfterRandomId(benchmark::State& state) {
    auto& store = millionStore();
    std::mt19937 random(2);
    std::uniform_int_distribution<std::int64_t> id(0, kCodes - 40);
    for (auto _ : state)
        benchmark::DoNotOptimize(store.recordsAfter(id(random), 40));
}
BENCHMARK(BM_WindowAfterRandomId);

void BM_StreamEveryRecord(benchmark::State& state) {
    auto& store = millionStore();
    for (auto _ : state) {
        std::int64_t n = 0;
        for (auto reader = store.reader(); !reader.atEnd(); reader.next())
            n += static_cast<std::int64_t>(reader.current().key1.size());
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(state.iterations() * kCodes);
}
BENCHMARK(BM_StreamEveryRecord)->Unit(benchmark::kMillisecond);

void BM_SplitImportLine(benchmark::State& state) {
    const std::string line = "123456\tA12 batch\t001F729IBF  ";
    for (auto _ : state)
        benchmark::DoNotOptimize(mirel::codes::splitImportLine(line));
}
BENCHMARK(BM_SplitImportLine);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
