// Reading and writing label templates of many objects: a template of 10,000
// objects should read and write in under 20 ms each, and the cost should grow
// linearly with the number of objects (see the complexity lines).

#include "template/AddinViews.h"
#include "template/TfrReport.h"

#include <benchmark/benchmark.h>

using namespace mirel::tmpl;

namespace {

// A label sheet: per label a text object with an expression, a barcode-like
// add-in (a shape) and a frame line, on one page.
TfrReport labels(int objects) {
    TfrReport report;
    report.Pages.Add().ApplyPaper();
    auto& list = report.Pages[0].Objects;
    list.reserve(static_cast<size_t>(objects));
    for (int i = 0; i < objects; ++i) {
        std::unique_ptr<TfrView> view;
        switch (i % 3) {
        case 0: {
            auto memo = std::make_unique<TfrMemoView>();
            memo->Memo = {"[条形码编号]", "批号 [编头]"};
            view = std::move(memo);
            break;
        }
        case 1: view = std::make_unique<TfrShapeView>(); break;
        default: view = std::make_unique<TfrLineView>(); break;
        }
        view->Name = view->BaseName() + std::to_string(i);
        view->Left = (i % 4) * 200;
        view->Top = (i / 4) * 100;
        view->Width = 180;
        view->Height = 90;
        list.push_back(std::move(view));
    }
    return report;
}

void BM_ReadTemplate(benchmark::State& state) {
    TfrReport source = labels(static_cast<int>(state.range(0)));
    const std::string bytes = source.SaveToBytes();
    for (auto _ : state) {
        TfrReport report;
        RecordingHost host;
        report.LoadFromBytes(bytes, host);
        benchmark::DoNotOptimize(report.Pages[0].Objects.size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
    state.SetComplexityN(state.range(0));
    state.counters["file_bytes"] = static_cast<double>(bytes.size());
}

void BM_WriteTemplate(benchmark::State& state) {
    TfrReport report = labels(static_cast<int>(state.range(0)));
    size_t size = 0;
    for (auto _ : state) {
        const std::string bytes = report.SaveToBytes();
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(BM_ReadTemplate)->RangeMultiplier(10)->Range(100, 100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_WriteTemplate)->RangeMultiplier(10)->Range(100, 100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

BENCHMARK_MAIN();
