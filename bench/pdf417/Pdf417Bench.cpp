// PDF417 generation and rendering.
//
// Generation is encoding, error correction and the module rows of every row (no
// image), measured against zint's ZBarcode_Encode of the same bytes as PDF417 in
// the same run; the ratio is printed at the end. Rendering is the template
// object's default 273 x 81 image.

#include "core/Encoding.h"
#include "pdf417/TStPDF417Barcode.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>
#include <zint.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

using mirel::pdf417::Pdf417Symbol;
using mirel::pdf417::TStPDF417Barcode;

// 300 bytes of label data: Chinese (byte compaction), serial numbers (numeric),
// upper and lower case, punctuation and line breaks (text sub-modes).
const std::string& mixedText() {
    static const std::string text = [] {
        const std::string line = mirel::core::fromUtf8(
            "产品: LED灯 Model X-200a; SN 000213298174000213, Lot 2024/07/13 qty=48 合格\r\n");
        std::string s;
        while (s.size() < 300)
            s += line;
        s.resize(300);
        return s;
    }();
    return text;
}

void generate(Pdf417Symbol& symbol) {
    symbol.GenerateSymbol();
    const auto layout = symbol.PrepareMatrix();
    mirel::pdf417::ModuleRow modules;
    for (int row = 0; row < layout.rows; ++row) {
        symbol.RowModules(row, false, modules);
        benchmark::DoNotOptimize(modules);
    }
}

void BM_Mirel_GenerateSymbol(benchmark::State& state) {
    Pdf417Symbol symbol;
    symbol.SetCode(mixedText());
    for (auto _ : state) {
        generate(symbol);
        benchmark::ClobberMemory();
    }
    const auto layout = symbol.Layout();
    state.counters["level"] = layout.level;
    state.counters["columns"] = layout.columns;
    state.counters["rows"] = layout.rows;
}
BENCHMARK(BM_Mirel_GenerateSymbol);

void BM_Zint_Encode(benchmark::State& state) {
    zint_symbol* symbol = ZBarcode_Create();
    const auto* data = reinterpret_cast<const unsigned char*>(mixedText().data());
    const int length = static_cast<int>(mixedText().size());
    for (auto _ : state) {
        ZBarcode_Clear(symbol);
        symbol->symbology = BARCODE_PDF417;
        symbol->input_mode = DATA_MODE;
        if (ZBarcode_Encode(symbol, data, length) >= ZINT_ERROR) {
            state.SkipWithError(symbol->errtxt);
            break;
        }
        benchmark::DoNotOptimize(symbol->encoded_data);
    }
    state.counters["columns"] = (symbol->width - 69) / 17;
    state.counters["rows"] = symbol->rows;
    ZBarcode_Delete(symbol);
}
BENCHMARK(BM_Zint_Encode);

// The parts of generation on their own.
void BM_Mirel_EncodeCode(benchmark::State& state) {
    Pdf417Symbol symbol;
    symbol.SetCode(mixedText());
    for (auto _ : state) {
        symbol.EncodeCode();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Mirel_EncodeCode);

void BM_Mirel_GenerateSymbolWithoutRows(benchmark::State& state) {
    Pdf417Symbol symbol;
    symbol.SetCode(mixedText());
    for (auto _ : state) {
        symbol.GenerateSymbol();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Mirel_GenerateSymbolWithoutRows);

// What a label costs the template object: a fresh generator (which encodes and
// renders the empty text) and its label text.
void BM_Mirel_NewGeneratorAndCode(benchmark::State& state) {
    for (auto _ : state) {
        TStPDF417Barcode generator;
        generator.SetCode(mixedText());
        benchmark::DoNotOptimize(generator.Bitmap().constBits());
    }
}
BENCHMARK(BM_Mirel_NewGeneratorAndCode);

void renderDefault(benchmark::State& state, const std::string& code) {
    TStPDF417Barcode generator;
    generator.SetCode(code);
    for (auto _ : state) {
        generator.RenderImage(273, 81);
        benchmark::DoNotOptimize(generator.Bitmap().constBits());
    }
}

void BM_Mirel_RenderImage_273x81_ABCDEFGH(benchmark::State& state) { renderDefault(state, "ABCDEFGH"); }
BENCHMARK(BM_Mirel_RenderImage_273x81_ABCDEFGH);

void BM_Mirel_RenderImage_273x81_Mixed300(benchmark::State& state) { renderDefault(state, mixedText()); }
BENCHMARK(BM_Mirel_RenderImage_273x81_Mixed300);

// Keeps each benchmark's time per iteration (the median when repeated) to print
// the comparison.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const std::string& name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[name] = run.GetAdjustedRealTime();
            else if (run.run_type == Run::RT_Iteration)
                nanoseconds[name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double time(const std::string& name) const {
        if (const auto m = medians.find(name); m != medians.end())
            return m->second;
        const auto t = nanoseconds.find(name);
        return t == nanoseconds.end() ? 0.0 : t->second;
    }

private:
    std::map<std::string, double> medians;
    std::map<std::string, double> nanoseconds;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double mirel = reporter.time("BM_Mirel_GenerateSymbol");
    const double zint = reporter.time("BM_Zint_Encode");
    if (mirel > 0 && zint > 0)
        std::printf("PDF417 generation of %zu mixed bytes: zint %.2f us, mirel %.2f us, %.1fx faster (target 3x)\n",
                    mixedText().size(), zint / 1000, mirel / 1000, zint / mirel);
    benchmark::Shutdown();
    return 0;
}
