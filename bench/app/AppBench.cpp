// The main window over a million codes: showing it (store opened, grid drawn),
// scrolling the code grid, and a million-code generation from the page's button
// with the progress bar repainted while it runs.

#include "app/TForm1.h"
#include "codes/CodeStore.h"
#include "core/HomeFolder.h"
#include "core/Runtime.h"
#include "core/ui/Dialogs.h"

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
