// Linear barcode speed: pattern builds against zint's ZBarcode_Encode of the same
// data, the barcode picture's recording and its playback into a PDF, and the
// symbols per second of every symbology.
//
// Targets, checked at the end of the run (exit code 1 when one is missed):
// the patterns of a 14-character Code 128 B and of an EAN-13 build at least
// three times faster than zint encodes them, and recording the picture of a
// Code 128 B takes under 10 us.

#include "barcode/BarcodePicture.h"
#include "barcode/TfrBarcode.h"

#include <benchmark/benchmark.h>
#include <zint.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cstdio>
#include <map>
#include <string>

namespace {

using namespace mirel::barcode;

constexpr const char* kCode128Text = "MIREL-2024-a7Q";   // 14 characters
constexpr const char* kEan13Text = "690123456789";

void setUpSymbol(TfrBarcode& symbol, TfrBarcodeType type, const char* text, bool checksum) {
    symbol.SetTyp(type);
    symbol.SetText(text);
    symbol.SetChecksum(checksum);
    symbol.SetModul(1);
    symbol.SetRatio(2.0);
}

void BM_PatternCode128B(benchmark::State& state) {
    TfrBarcode symbol;
    setUpSymbol(symbol, bcCode128B, kCode128Text, false);
    for (auto _ : state)
        benchmark::DoNotOptimize(symbol.MakePattern());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PatternCode128B);

void BM_PatternEan13(benchmark::State& state) {
    TfrBarcode symbol;
    setUpSymbol(symbol, bcCodeEAN13, kEan13Text, true);
    for (auto _ : state)
        benchmark::DoNotOptimize(symbol.MakePattern());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PatternEan13);

void zintEncode(benchmark::State& state, int symbology, const char* text) {
    zint_symbol* symbol = ZBarcode_Create();
    symbol->symbology = symbology;
    const auto* data = reinterpret_cast<const unsigned char*>(text);
    const int length = static_cast<int>(std::char_traits<char>::length(text));
    for (auto _ : state) {
        ZBarcode_Clear(symbol);
        benchmark::DoNotOptimize(ZBarcode_Encode(symbol, data, length));
    }
    ZBarcode_Delete(symbol);
    state.SetItemsProcessed(state.iterations());
}

void BM_ZintCode128B(benchmark::State& state) { zintEncode(state, BARCODE_CODE128B, kCode128Text); }
BENCHMARK(BM_ZintCode128B);

void BM_ZintEan13(benchmark::State& state) { zintEncode(state, BARCODE_EANX, kEan13Text); }
BENCHMARK(BM_ZintEan13);

// The barcode picture of a Code 128 B as the template object records it: the
// layout of a 60-unit frame with the text shown.
void BM_RecordPictureCode128B(benchmark::State& state) {
    TfrBarcode symbol;
    setUpSymbol(symbol, bcCode128B, kCode128Text, false);
    for (auto _ : state)
        benchmark::DoNotOptimize(makeBarcodePicture(symbol, QSize(100, 60), 0, true, 1.0));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RecordPictureCode128B);

// Playback of that picture onto a PDF page, one symbol per iteration (a page of
// labels gets many).
void BM_PlayPictureIntoPdf(benchmark::State& state) {
    TfrBarcode symbol;
    setUpSymbol(symbol, bcCode128B, kCode128Text, false);
    const BarcodeLayout layout = makeBarcodePicture(symbol, QSize(100, 60), 0, true, 1.0);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setResolution(600);
    QPainter painter(&pdf);
    int i = 0;
    for (auto _ : state) {
        const double x = (i % 3) * 1500.0;
        const double y = ((i / 3) % 9) * 700.0;
        layout.picture->play(painter, QRectF(x, y, 1300, 500));
        ++i;
    }
    painter.end();
    state.counters["PDF bytes/symbol"] = static_cast<double>(bytes.size()) / static_cast<double>(i);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlayPictureIntoPdf);

// A typical text for each of the 23 symbologies.
struct TypeCase {
    TfrBarcodeType type;
    const char* text;
    bool checksum;
};
constexpr TypeCase kTypeCases[] = {
    {bcCode_2_5_interleaved, "12345678901234", false}, {bcCode_2_5_industrial, "12345678", false},
    {bcCode_2_5_matrix, "12345678", false},            {bcCode39, "MIREL-42", true},
    {bcCode39Extended, "Mirel-42", true},              {bcCode128A, "MIREL-2024-A7Q", false},
    {bcCode128B, kCode128Text, false},                 {bcCode128C, "12345678901234", false},
    {bcCode93, "MIREL-2024-A7Q", false},               {bcCode93Extended, "Mirel-2024-a7q", false},
    {bcCodeMSI, "12345678", false},                    {bcCodePostNet, "123456789", false},
    {bcCodeCodabar, "31117013206375", false},          {bcCodeEAN8, "1234567", true},
    {bcCodeEAN13, kEan13Text, true},                   {bcCodeUPC_A, "03600029145", true},
    {bcCodeUPC_E0, "425261", true},                    {bcCodeUPC_E1, "425261", true},
    {bcCodeUPC_Supp2, "12", true},                     {bcCodeUPC_Supp5, "52495", true},
    {bcCodeEAN128A, "10ABC123", false},                {bcCodeEAN128B, "10abc123", false},
    {bcCodeEAN128C, "0195012345678903", false},
};

void BM_PatternByType(benchmark::State& state) {
    const TypeCase& c = kTypeCases[state.range(0)];
    TfrBarcode symbol;
    setUpSymbol(symbol, c.type, c.text, c.checksum);
    for (auto _ : state)
        benchmark::DoNotOptimize(symbol.MakePattern());
    state.SetLabel(std::string(typeInfo(c.type).name));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PatternByType)->DenseRange(0, kBarcodeTypeCount - 1);

// Keeps each benchmark's CPU time per iteration (nanoseconds) for the checks: on
// a machine shared with other work, CPU time compares ours and zint's fairly.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration)
                nanoseconds[run.benchmark_name()] =
                    run.cpu_accumulated_time / static_cast<double>(run.iterations) * 1e9;
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> nanoseconds;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto& t = reporter.nanoseconds;
    bool ok = true;
    const auto ratio = [&](const char* ours, const char* zint, const char* what) {
        if (!t.count(ours) || !t.count(zint))
            return;
        const double r = t.at(zint) / t.at(ours);
        std::printf("%s: %.1f ns, zint %.1f ns: %.1f times faster (target 3)\n", what, t.at(ours), t.at(zint), r);
        ok = ok && r >= 3.0;
    };
    ratio("BM_PatternCode128B", "BM_ZintCode128B", "Code 128 B pattern, 14 characters");
    ratio("BM_PatternEan13", "BM_ZintEan13", "EAN-13 pattern");
    if (t.count("BM_RecordPictureCode128B")) {
        const double us = t.at("BM_RecordPictureCode128B") / 1000.0;
        std::printf("Code 128 B barcode picture: %.2f us (target under 10)\n", us);
        ok = ok && us < 10.0;
    }
    return ok ? 0 : 1;
}
