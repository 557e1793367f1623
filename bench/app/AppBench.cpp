// The main window over a million codes: showing it (store opened, grid drawn),
// scrolling the code grid, and a million-code generation from the page's button
// with the progress bar repainted while it runs. A print job of 10,000 labels
// from the window's button beside the same job through the engine alone: the
// ratio is what the window adds (its label variables read from the fields at
// every question, the progress window, the preview window made).

#include "app/EngineLabelJobRunner.h"
#include "app/StartUp.h"
#include "app/TForm1.h"
#include "barcode/TfrBarCodeView.h"
#include "codes/CodeStore.h"
#include "core/Encoding.h"
#include "core/HomeFolder.h"
#include "core/Runtime.h"
#include "core/ui/Dialogs.h"
#include "engine/LabelJob.h"
#include "template/BuiltinViews.h"
#include "template/PreparedReport.h"
#include "template/PrinterLayer.h"
#include "template/TemplateHost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

using namespace mirel;

namespace {

constexpr std::int64_t kCodes = 1000000;

// A home folder whose dbno.csh holds a million codes, for the whole run.
const QTemporaryDir& millionHome() {
    static QTemporaryDir dir;
    static const bool made = [] {
        codes::CodeStore store(dir.filePath(QStringLiteral("dbno.csh")));
        codes::CodeList list;
        store.generate("abcd", kCodes, list);
        return true;
    }();
    (void)made;
    return dir;
}

// Counts the paint events of one widget.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void BM_ShowMainWindowOverMillionCodes(benchmark::State& state) {
    core::setHomeFolderOverride(millionHome().path());
    ui::ScriptedDialogs dialogs;
    for (auto _ : state) {
        app::TForm1 form;
        form.show();
        form.showPage(QStringLiteral("ys"));
        benchmark::DoNotOptimize(form.grab());
        if (form.codeStore()->count() != kCodes)
            state.SkipWithError("the store did not open");
    }
}
BENCHMARK(BM_ShowMainWindowOverMillionCodes)->Unit(benchmark::kMillisecond);

void BM_ScrollCodeGrid(benchmark::State& state) {
    core::setHomeFolderOverride(millionHome().path());
    ui::ScriptedDialogs dialogs;
    app::TForm1 form;
    form.show();
    form.showPage(QStringLiteral("ys"));
    auto* grid = form.findChild<QTableView*>(QStringLiteral("DBGrid1"));
    QScrollBar* bar = grid->verticalScrollBar();
    std::mt19937 random(1);
    std::uniform_int_distribution<int> position(0, bar->maximum());
    for (auto _ : state) {
        bar->setValue(position(random));
        benchmark::DoNotOptimize(grid->grab());
    }
}
BENCHMARK(BM_ScrollCodeGrid)->Unit(benchmark::kMillisecond);

void BM_GenerateMillionFromTheWindow(benchmark::State& state) {
    QTemporaryDir home;
    core::setHomeFolderOverride(home.path());
    ui::ScriptedDialogs dialogs;
    app::TForm1 form;
    form.show();
    form.showPage(QStringLiteral("ys"));
    form.findChild<QLineEdit*>(QStringLiteral("cxCalcEdit1"))->setText(QString::number(kCodes));
    PaintCounter counter;
    form.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"))->installEventFilter(&counter);
    for (auto _ : state)
        form.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    if (form.codeStore()->count() != kCodes)
        state.SkipWithError("generation failed");
    state.counters["progress_repaints"] = counter.paints;
}
BENCHMARK(BM_GenerateMillionFromTheWindow)->Iterations(1)->Unit(benchmark::kMillisecond);

constexpr std::int64_t kLabels = 10000;

// A home folder with 10,000 codes and a label of four objects over them: the
// counter, prefix and serial, the code, and a barcode of prefix and code.
const QTemporaryDir& labelHome() {
    static QTemporaryDir dir;
    static const bool made = [] {
        app::startEngine();
        codes::CodeStore store(dir.filePath(QStringLiteral("dbno.csh")));
        codes::CodeList list;
        store.generate("abcd", kLabels, list);
        tmpl::TfrReport report;
        tmpl::TfrPage& page = report.Pages.Add();
        page.Size = tmpl::kCustomPaper;
        page.PaperWidth = 1000;
        page.PaperHeight = 150;
        page.UseMargins = true;
        auto band = std::make_unique<tmpl::TfrBandView>();
        band->SetBandType(tmpl::btMasterData);
        band->Name = "Band1";
        band->Width = 360;
        band->Height = 36;
        band->FormatStr = "frDBDataSet1";
        page.Objects.push_back(std::move(band));
        const auto place = [&page](std::unique_ptr<tmpl::TfrView> view, const char* name, int left, int top,
                                   int width, const std::string& line) {
            view->Name = name;
            view->Left = left;
            view->Top = top;
            view->Width = width;
            view->Height = 18;
            view->Memo = {core::fromUtf8(line)};
            page.Objects.push_back(std::move(view));
        };
        place(std::make_unique<tmpl::TfrMemoView>(), "No", 0, 0, 60, "[no]");
        place(std::make_unique<tmpl::TfrMemoView>(), "Head", 60, 0, 120, "[编头]-[条形码编号]");
        place(std::make_unique<tmpl::TfrMemoView>(), "Code", 180, 0, 180, "[frDBDataSet1.\"NO\"]");
        place(std::make_unique<barcode::TfrBarCodeView>(), "Bar1", 0, 18, 360, "[编头][frDBDataSet1.\"NO\"]");
        report.SaveToFile(dir.filePath(QStringLiteral("label.frf")));
        return true;
    }();
    (void)made;
    return dir;
}

void BM_PrintFromTheWindow(benchmark::State& state) {
    const QTemporaryDir& home = labelHome();
    core::setHomeFolderOverride(home.path());
    ui::ScriptedDialogs dialogs;   // the preview is made, and closed at once
    auto runner = std::make_unique<app::EngineLabelJobRunner>();
    app::EngineLabelJobRunner& engine = *runner;
    app::TForm1 form(std::move(runner));
    form.show();
    form.findChild<QLineEdit*>(QStringLiteral("cxButtonEdit1"))->setText(home.filePath(QStringLiteral("label.frf")));
    form.findChild<QLineEdit*>(QStringLiteral("cxCalcEdit1"))->setText(QString::number(kLabels));
    for (auto _ : state)
        form.findChild<QAbstractButton*>(QStringLiteral("SpeedButton5"))->click();
    if (engine.lastLabels() != kLabels || !dialogs.messages().empty())
        state.SkipWithError("the print job did not build every label");
    state.SetItemsProcessed(state.iterations() * kLabels);
}
BENCHMARK(BM_PrintFromTheWindow)->Unit(benchmark::kMillisecond);

void BM_PrintThroughTheEngineAlone(benchmark::State& state) {
    const QTemporaryDir& home = labelHome();
    codes::CodeStore store(home.filePath(QStringLiteral("dbno.csh")));
    engine::LabelJob job;
    job.CodeStoreAdapter.SetStore(&store);
    job.Fields.quantity = kLabels;
    tmpl::RecordingHost host;
    std::int64_t labels = 0;
    for (auto _ : state) {
        tmpl::TfrPreparedPages pages;
        labels = job.Print(home.filePath(QStringLiteral("label.frf")), host, pages).labels;
    }
    if (labels != kLabels)
        state.SkipWithError("the print job did not build every label");
    state.SetItemsProcessed(state.iterations() * kLabels);
}
BENCHMARK(BM_PrintThroughTheEngineAlone)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    core::ensureRuntimeFolder();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    core::setHomeFolderOverride(QString());
    return 0;
}
