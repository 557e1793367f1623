// Label preparation over the code store: a sheet of 3 x 8 labels of 70 x 37 mm
// on A4, each with the serial between prefix and suffix, the two data fields, a
// Code 128 of the code and a PDF417 of the 2D-code text, as the default template
// has them. Prepares 10,000 and 100,000 labels, prints the time per label and
// the ratio of the two (linear: at most 11), and the peak memory of the 100,000
// run (under 300 MB).

#include "barcode/TfrBarCodeView.h"
#include "codes/CodeStore.h"
#include "engine/LabelJob.h"
#include "pdf417/Tfr2BarCodePDFView.h"
#include "template/BuiltinViews.h"
#include "template/PreparedReport.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

namespace {

using namespace mirel;

constexpr std::int64_t kCodes = 100000;

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

codes::CodeStore& store() {
    static std::unique_ptr<codes::CodeStore> s = [] {
        auto created = std::make_unique<codes::CodeStore>(folder().filePath(QStringLiteral("dbno.csh")));
        codes::CodeList list;
        created->generate("abcd", kCodes, list);
        return created;
    }();
    return *s;
}

template <class View>
View& add(tmpl::TfrPage& page, const char* name, int left, int top, int width, int height, const char* text) {
    auto view = std::make_unique<View>();
    view->Name = name;
    view->Left = left;
    view->Top = top;
    view->Width = width;
    view->Height = height;
    view->Memo = {core::fromUtf8(text)};
    View& ref = *view;
    page.Objects.push_back(std::move(view));
    return ref;
}

// The sheet: A4, margins 18 units (5 mm); a data band of 3 columns 252 units
// (70 mm) wide and 133 (37 mm) high over the report dataset.
QString sheetTemplate() {
    tmpl::TfrReport report;
    tmpl::TfrPage& page = report.Pages.Add();
    page.LeftMargin = page.TopMargin = page.RightMargin = page.BottomMargin = 18;
    auto band = std::make_unique<tmpl::TfrBandView>();
    band->Name = "MasterData1";
    band->SetBandType(tmpl::btMasterData);
    band->Top = 18;
    band->Height = 133;
    band->Width = 756;
    band->Columns = 3;
    band->ColumnWidth = 252;
    band->ColumnGap = 0;
    page.Objects.push_back(std::move(band));
    add<tmpl::TfrMemoView>(page, "Serial", 24, 22, 150, 16, "[编头][条形码编号][编尾]");
    add<tmpl::TfrMemoView>(page, "Data1", 24, 40, 150, 16, "[数据扩充1]");
    add<tmpl::TfrMemoView>(page, "Data2", 24, 58, 150, 16, "[数据扩充2]");
    add<barcode::TfrBarCodeView>(page, "Bar1", 24, 80, 150, 60, "[frDBDataSet1.\"key1\"]").BarType =
        barcode::bcCode128B;
    add<pdf417::Tfr2BarCodePDFView>(page, "2BarCPDF1", 180, 22, 90, 100, "[二维码]");
    const QString path = folder().filePath(QStringLiteral("sheet.frf"));
    report.SaveToFile(path);
    return path;
}

struct Run {
    double seconds = 0;
    std::int64_t labels = 0;
    int pages = 0;
    size_t streamBytes = 0;
};

Run prepareLabels(std::int64_t count) {
    static const QString path = sheetTemplate();
    engine::LabelJob job;
    job.CodeStoreAdapter.SetStore(&store());
    job.Fields.quantity = static_cast<double>(count);
    job.Fields.code2d = core::fromUtf8("产品批次 2024-01\r\n生产日期 2024-01-31");
    tmpl::RecordingHost host;
    tmpl::TfrPreparedPages pages;
    const auto start = std::chrono::steady_clock::now();
    const engine::PrepareResult result = job.Print(path, host, pages);
    Run run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.labels = result.labels;
    run.pages = result.pages;
    for (const auto& page : pages.Pages)
        run.streamBytes += page.Stream.size();
    return run;
}

void BM_PrepareLabels(benchmark::State& state) {
    store();
    for (auto _ : state) {
        const Run run = prepareLabels(state.range(0));
        if (run.labels != state.range(0))
            state.SkipWithError("fewer labels than asked for");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PrepareLabels)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The process's resident and peak resident memory in MB (Linux).
double statusMegabytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::stod(line.substr(std::string(key).size())) / 1024.0;
    return -1;
}

void resetPeakMemory() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}

double medianSeconds(std::int64_t count, int runs) {
    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i)
        seconds.push_back(prepareLabels(count).seconds);
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    barcode::registerBarcodeObjects();
    pdf417::registerPdf417Objects();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();

    // Linearity from the median of five runs of each size.
    const double small = medianSeconds(10000, 5);
    const double large = medianSeconds(100000, 5);
    resetPeakMemory();
    const double before = statusMegabytes("VmRSS:");
    const Run run = prepareLabels(100000);
    const double peak = statusMegabytes("VmHWM:");
    std::printf("prepare 10,000 labels: %.3f s (%.0f labels/s)\n", small, 10000 / small);
    std::printf("prepare 100,000 labels: %.3f s (%.0f labels/s), %d pages, %.1f MB of page streams\n", large,
                100000 / large, run.pages, run.streamBytes / 1048576.0);
    std::printf("ratio 100,000 / 10,000: %.2f (linear: at most 11) %s\n", large / small,
                large / small <= 11 ? "ok" : "TOO SLOW");
    std::printf("memory: %.0f MB resident before, peak %.0f MB while preparing 100,000 (under 300 MB) %s\n", before,
                peak, peak < 300 ? "ok" : "TOO MUCH");
    benchmark::Shutdown();
    return large / small <= 11 && peak < 300 ? 0 : 1;
}
