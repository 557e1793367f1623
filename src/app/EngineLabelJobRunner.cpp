#include "app/EngineLabelJobRunner.h"

#include "app/ExternalSource.h"
#include "codes/CodeStore.h"
#include "core/ui/Dialogs.h"
#include "engine/ui/DialogTemplateHost.h"
#include "engine/ui/ReportDesigner.h"
#include "engine/ui/TfrPreviewForm.h"
#include "template/PreparedReport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <stdexcept>

namespace mirel::app {

engine::Value toEngineValue(const LabelValue& value) {
    if (const auto* whole = std::get_if<std::int64_t>(&value))
        return engine::Value::integer(*whole);
    if (const auto* real = std::get_if<double>(&value))
        return engine::Value::real(*real);
    return engine::Value::string(std::get<AnsiString>(value));
}

namespace {

// The progress of a preparation: a busy bar with the labels and pages made so
// far, shown once the run takes more than a moment. It keeps every window's
// input out (the store and the table being read must not change meanwhile) and
// its button cancels the run.
class PrepareProgressWindow {
public:
    PrepareProgressWindow(QWidget* parent, int delayMs)
        : m_dialog(QStringLiteral("正在生成标签…"), QStringLiteral("取消"), 0, 0, parent), m_delay(delayMs) {
        m_dialog.setObjectName(QStringLiteral("PrepareProgress"));
        m_dialog.setWindowTitle(QStringLiteral("打印"));
        m_dialog.setWindowModality(Qt::ApplicationModal);
        m_dialog.setAutoReset(false);
        m_dialog.setAutoClose(false);
        m_dialog.setMinimumWidth(320);
        m_dialog.reset();   // stops the dialog's own timer: step() shows it
        m_clock.start();
    }

    // Called after each label; false once the operator cancelled.
    bool step(std::int64_t labels, int pages) {
        const qint64 now = m_clock.elapsed();
        // Looking at the window costs more than a label: about 25 times a second.
        if (now - m_lastLook < 40 && m_lastLook >= 0)
            return !m_dialog.wasCanceled();
        m_lastLook = now;
        if (!m_dialog.isVisible()) {
            if (now < m_delay)
                return true;
            m_dialog.show();
        }
        m_dialog.setLabelText(QStringLiteral("正在生成标签：%1 个标签，%2 页").arg(labels).arg(pages));
        // Only while the window is up (and blocks input) may events run.
        QCoreApplication::processEvents();
        return !m_dialog.wasCanceled();
    }

private:
    QProgressDialog m_dialog;
    QElapsedTimer m_clock;
    int m_delay;
    qint64 m_lastLook = -1;
};

} // namespace

// The window's data sources and variables, attached to the engine for one job
// and detached after it (the counters keep their values).
class EngineLabelJobRunner::Attached {
public:
    Attached(EngineLabelJobRunner& runner, const LabelJobSources& sources, const VariableAnswerer& variables)
        : m_runner(runner) {
        if (m_runner.m_running)
            throw std::logic_error("a label job is running already");
        m_runner.m_running = true;
        engine::LabelJob& job = m_runner.m_job;
        job.CodeStoreAdapter.SetStore(sources.codeStore && sources.codeStore->isOpen() ? sources.codeStore : nullptr);
        job.ExternalAdapter.Close();
        job.OnGetValue = [variables](const AnsiString& name, std::optional<engine::Value>& value) {
            std::optional<LabelValue> answer;
            variables(name, answer);
            if (answer)
                value = toEngineValue(*answer);
        };
        try {
            if (sources.external && sources.external->isOpen()) {
                const ExternalTable table = sources.external->table();
                job.ExternalAdapter.OpenOn(table.connectionName, table.table);
            }
        } catch (...) {
            detach();
            throw;
        }
    }
    ~Attached() { detach(); }
    Attached(const Attached&) = delete;
    Attached& operator=(const Attached&) = delete;

private:
    void detach() {
        engine::LabelJob& job = m_runner.m_job;
        job.ExternalAdapter.Close();
        job.CodeStoreAdapter.SetStore(nullptr);
        job.OnGetValue = {};
        m_runner.m_running = false;
    }

    EngineLabelJobRunner& m_runner;
};

EngineLabelJobRunner::EngineLabelJobRunner() = default;

bool EngineLabelJobRunner::print(QWidget* parent, const QString& templatePath, std::int64_t quantity,
                                 const LabelJobSources& sources, const VariableAnswerer& variables) {
    m_lastLabels = 0;
    m_lastPages = 0;
    Attached attached(*this, sources, variables);
    engine::DialogTemplateHost host(parent);
    m_job.LoadTemplate(templatePath, host);
    // The window gives the quantity rounded already; the job rounds it again
    // (a whole number stays as it is).
    m_job.Fields.quantity = static_cast<double>(quantity);

    tmpl::TfrPreparedPages pages;
    engine::PrepareResult result;
    {
        PrepareProgressWindow progress(parent, m_progressDelay);
        // A PrepareError goes to the window, which shows its message.
        result = m_job.PrintLoaded(pages, [&progress](std::int64_t labels, int pageCount) {
            return progress.step(labels, pageCount);
        });
    }
    if (result.cancelled)
        return false;
    if (!result.built) {
        ui::dialogs().message(parent, QStringLiteral("模板没有生成任何页面。"), QStringLiteral("提示"));
        return false;
    }
    m_lastLabels = result.labels;
    m_lastPages = result.pages;
    engine::PreviewOptions options;
    options.title = m_job.Title;
    options.buttons = engine::kLabelJobButtons;
    engine::showPreview(m_job.Report, pages, options, parent);
    return true;
}

void EngineLabelJobRunner::design(QWidget* parent, const QString& templatePath, const LabelJobSources& sources,
                                  const VariableAnswerer& variables) {
    Attached attached(*this, sources, variables);
    engine::DialogTemplateHost host(parent);
    m_job.LoadTemplate(templatePath, host);
    // The designer saves to the file the template came from: a path that named
    // no file leaves the template loaded before, with its own file name.
    engine::ui::designReport(parent, m_job, m_job.Report.FileName);
}

} // namespace mirel::app
