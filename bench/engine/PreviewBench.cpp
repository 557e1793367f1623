// Opening the preview of many prepared labels: the window built over 10,000
// pages, page 1 painted on screen, should take under one second and the
// process stay under 300 MB, and cost about what 10 labels cost (pages are
// painted only when they come into sight). Also: opening a .frp file of
// 10,000 labels into the preview, paging through it, and a search that has to
// read every page.
//
// Targets, checked at the end of the run (exit code 1 when missed):
// BM_OpenPreview/10000 and BM_OpenPreviewFile/10000 under 1 s each, peak
// resident memory under 300 MB.

#include "engine/ui/PreparedFileCheck.h"
#include "engine/ui/PreviewPageView.h"
#include "engine/ui/TfrPreviewForm.h"
#include "template/BuiltinViews.h"
#include "template/PreparedReport.h"
#include "template/TfrReport.h"

#include <QApplication>
#include <QLineEdit>
#include <QToolButton>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>

namespace {

using namespace mirel;
using namespace mirel::engine;

// A label of 60 x 40 mm as a print job prepares it: serial, batch and
// contents lines and a frame.
tmpl::TfrPreparedPages labels(int count) {
    tmpl::TfrPreparedPages pages;
    pages.Pages.reserve(static_cast<size_t>(count));
    const char* texts[] = {"批号 B7-2026", "含量：120g  价格：3.5元"};
    for (int i = 0; i < count; ++i) {
        tmpl::ViewList views;
        char serial[32];
        std::snprintf(serial, sizeof serial, "BJ%010d**", i + 1);
        for (int k = 0; k < 3; ++k) {
            auto memo = std::make_unique<tmpl::TfrMemoView>();
            memo->Name = "Memo" + std::to_string(k + 1);
            memo->Left = 18;
            memo->Top = 18 + 36 * k;
            memo->Width = 180;
            memo->Height = 30;
            memo->FrameTyp = k == 0 ? 15 : 0;
            memo->Memo = {k == 0 ? AnsiString(serial) : core::fromUtf8(texts[k - 1])};
            views.push_back(std::move(memo));
        }
        pages.Add({tmpl::kCustomPaper, 600, 400, 0, tmpl::kDefaultBin}).Stream = tmpl::writePreparedStream(views);
    }
    return pages;
}

long residentKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(key.size()));
    return -1;
}

// Builds the window at a working size and has it paint what is in sight.
void showFirstPage(TfrPreviewForm& form) {
    form.resize(1000, 750);
    form.show();
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(form.Pages()->viewport()->grab());
}

void BM_OpenPreview(benchmark::State& state) {
    tmpl::TfrReport report;
    tmpl::TfrPreparedPages pages = labels(static_cast<int>(state.range(0)));
    int painted = 0;
    long resident = 0;
    for (auto _ : state) {
        TfrPreviewForm form(report, pages, {QString::fromUtf8(kLabelPreviewTitle)});
        showFirstPage(form);
        painted = form.Pages()->PaintedPages();
        resident = residentKilobytes("VmRSS");
    }
    state.counters["painted"] = painted;
    state.counters["rss_MB"] = resident / 1024.0;   // the process with the window open
    state.counters["pages"] = static_cast<double>(pages.Pages.size());
}
BENCHMARK(BM_OpenPreview)->Arg(10)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

// From the bytes of a .frp file: the check, the read, the window, page 1.
void BM_OpenPreviewFile(benchmark::State& state) {
    tmpl::TfrReport report;
    const std::string file = labels(static_cast<int>(state.range(0))).SaveToBytes(report);
    for (auto _ : state) {
        if (checkPreparedFile(file) != PreparedFileProblem::None) {
            state.SkipWithError("the file was refused");
            return;
        }
        tmpl::TfrPreparedPages pages;
        pages.LoadFromBytes(file, report);
        TfrPreviewForm form(report, pages, {QString::fromUtf8(kLabelPreviewTitle)});
        showFirstPage(form);
    }
    state.counters["MB"] = file.size() / 1e6;
}
BENCHMARK(BM_OpenPreviewFile)->Arg(10)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

// PgDn through the labels, each painted as it comes: pages per second.
void BM_NextPage(benchmark::State& state) {
    tmpl::TfrReport report;
    tmpl::TfrPreparedPages pages = labels(10000);
    TfrPreviewForm form(report, pages, {QString::fromUtf8(kLabelPreviewTitle)});
    showFirstPage(form);
    PreviewPageView* view = form.Pages();
    for (auto _ : state) {
        if (view->CurrentPage() + 1 == view->PageCount())
            view->FirstPage();
        view->NextPage();
        view->viewport()->repaint();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NextPage)->Unit(benchmark::kMillisecond)->UseRealTime();

// A text found only on the last of 10,000 labels, searched from page 1 in a
// fresh window: every page stream is read once.
void BM_FindOnLastPage(benchmark::State& state) {
    tmpl::TfrReport report;
    tmpl::TfrPreparedPages pages = labels(10000);
    for (auto _ : state) {
        TfrPreviewForm form(report, pages, {QString::fromUtf8(kLabelPreviewTitle)});
        form.ShowFindBar();
        form.findChild<QLineEdit*>(QStringLiteral("FindEdit"))->setText(QStringLiteral("BJ0000010000"));
        form.FindNext();
        if (form.Pages()->CurrentPage() != 9999) {
            state.SkipWithError("the search did not reach the last label");
            return;
        }
    }
}
BENCHMARK(BM_FindOnLastPage)->Unit(benchmark::kMillisecond)->UseRealTime();

class RecordingReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> milliseconds;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            milliseconds[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    bool ok = true;
    for (const char* name : {"BM_OpenPreview/10000/real_time", "BM_OpenPreviewFile/10000/real_time"}) {
        const auto it = reporter.milliseconds.find(name);
        if (it == reporter.milliseconds.end())
            continue;
        std::printf("%s: %.1f ms (target under 1000)\n", name, it->second);
        ok = ok && it->second < 1000.0;
    }
    const long peak = residentKilobytes("VmHWM");
    std::printf("peak resident memory: %.1f MB (target under 300)\n", peak / 1024.0);
    ok = ok && peak >= 0 && peak < 300 * 1024;
    return ok ? 0 : 1;
}
