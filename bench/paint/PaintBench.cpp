// Painting prepared label pages: A4 sheets of 3 x 9 labels of 50 x 30 mm, each
// with a static text, "No. " and the serial, and a Code 128 of the serial with
// its text (the labels of the glabels template in ../shared/peers/), written
// to PDF and to 300 dpi PNG pages, and painted alone. Pages and labels per
// second are the counters.

#include "barcode/TfrBarCodeView.h"
#include "core/Encoding.h"
#include "engine/PageOutput.h"
#include "pdf417/Tfr2BarCodePDFView.h"
#include "template/BuiltinViews.h"
#include "template/PagePainter.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>

namespace {

using namespace mirel;

constexpr int kColumns = 3;
constexpr int kRows = 9;
constexpr int kLabelsPerPage = kColumns * kRows;

int units(double mm) { return static_cast<int>(mm * 18.0 / 5.0 + 0.5); }

std::unique_ptr<tmpl::TfrMemoView> text(int left, int top, int width, int height, const std::string& line,
                                        int points, std::uint16_t style) {
    auto m = std::make_unique<tmpl::TfrMemoView>();
    m->Left = left;
    m->Top = top;
    m->Width = width;
    m->Height = height;
    m->FontSize = points;
    m->FontStyle = style;
    m->Memo = {line};
    return m;
}

// One A4 page of labels for the serials first .. first + 26, with or without
// a PDF417 of the label's 2D-code text in place of the static text.
tmpl::TfrPreparedPage labelPage(int first, bool pdf417) {
    tmpl::TfrPreparedPage page;
    page.Size = 9;
    page.PaperWidth = 2100;
    page.PaperHeight = 2970;
    tmpl::ViewList views;
    views.reserve(kLabelsPerPage * 3);
    for (int i = 0; i < kLabelsPerPage; ++i) {
        const int x = units(30 + 50 * (i % kColumns));
        const int y = units(13.5 + 30 * (i / kColumns));
        char serial[16];
        std::snprintf(serial, sizeof serial, "A%09d", first + i);
        if (pdf417) {
            auto code = std::make_unique<pdf417::Tfr2BarCodePDFView>();
            code->Left = x + units(2);
            code->Top = y + units(1.5);
            code->Width = units(46);
            code->Height = units(10);
            code->Memo = {core::fromUtf8(std::string("ACME 防伪 ") + serial)};
            views.push_back(std::move(code));
        } else {
            views.push_back(text(x + units(2), y + units(1.5), units(46), units(4), "ACME anti-counterfeit label", 7,
                                 tmpl::kFontBold));
        }
        views.push_back(text(x + units(2), y + units(6), units(46), units(5), std::string("No. ") + serial, 8, 0));
        auto bar = std::make_unique<barcode::TfrBarCodeView>();
        bar->Left = x + units(2);
        bar->Top = y + units(12);
        bar->Width = units(46);
        bar->Height = units(16);
        bar->BarType = barcode::bcCode128B;
        bar->Memo = {serial};
        views.push_back(std::move(bar));
    }
    page.Stream = tmpl::writePreparedStream(views);
    return page;
}

std::vector<tmpl::TfrPreparedPage> labelPages(int count, bool pdf417 = false) {
    std::vector<tmpl::TfrPreparedPage> pages;
    pages.reserve(static_cast<size_t>(count));
    for (int p = 0; p < count; ++p)
        pages.push_back(labelPage(p * kLabelsPerPage, pdf417));
    return pages;
}

void rates(benchmark::State& state, int pages) {
    state.counters["pages/s"] = benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["labels/s"] =
        benchmark::Counter(static_cast<double>(pages) * kLabelsPerPage, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_PagesToPdf(benchmark::State& state) {
    const auto pages = labelPages(static_cast<int>(state.range(0)), state.range(1) != 0);
    QTemporaryDir dir;
    for (auto _ : state) {
        auto sink = engine::pdfOutput(dir.filePath(QStringLiteral("labels.pdf")));
        const engine::OutputReport report = engine::writePages(pages, *sink);
        if (!report.ok())
            state.SkipWithError(report.error.toStdString().c_str());
    }
    rates(state, static_cast<int>(pages.size()));
}
BENCHMARK(BM_PagesToPdf)->ArgsProduct({{10, 40}, {0, 1}})->ArgNames({"pages", "pdf417"})->Unit(benchmark::kMillisecond);

void BM_PagesToPng300(benchmark::State& state) {
    const auto pages = labelPages(static_cast<int>(state.range(0)), state.range(1) != 0);
    QTemporaryDir dir;
    for (auto _ : state) {
        auto sink = engine::pngOutput(dir.path(), 300);
        const engine::OutputReport report = engine::writePages(pages, *sink);
        if (!report.ok())
            state.SkipWithError(report.error.toStdString().c_str());
    }
    rates(state, static_cast<int>(pages.size()));
}
BENCHMARK(BM_PagesToPng300)->ArgsProduct({{4}, {0, 1}})->ArgNames({"pages", "pdf417"})->Unit(benchmark::kMillisecond);

// Painting alone, onto one 300 dpi page image reused for every page.
void BM_PaintPage300(benchmark::State& state) {
    const auto pages = labelPages(4, state.range(0) != 0);
    const tmpl::PageDevice device{300, 300, {}};
    QImage image(tmpl::pagePixelSize(pages.front(), 300, 300).toSize(), QImage::Format_RGB32);
    size_t next = 0;
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        tmpl::paintPreparedPage(painter, pages[next++ % pages.size()], device);
    }
    rates(state, 1);
}
BENCHMARK(BM_PaintPage300)->Arg(0)->Arg(1)->ArgName("pdf417")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    barcode::registerBarcodeObjects();
    pdf417::registerPdf417Objects();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
