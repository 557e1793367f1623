#pragma once
// The label jobs through the report engine: one engine::LabelJob for the whole
// run, so the template loaded by one job stays for the next. The code-store
// adapter frDBDataSet1 reads the window's code store; the external adapter
// frDBDataSet2 reads the table page "wbsj" opened, on that page's own
// connection. Both are attached only while a job runs: the window may reopen
// its store or close its table between jobs.
//
// A print job loads the template through the dialog host (the reader's
// messages and the password question are dialogs), prepares the labels with a
// progress window whose button cancels, and shows them in the modal preview
// "条码标签打印预览".

#include "app/LabelJobRunner.h"
#include "engine/LabelJob.h"

namespace mirel::app {

class EngineLabelJobRunner final : public LabelJobRunner {
public:
    // How long a preparation runs before its progress window shows.
    static constexpr int kProgressDelayMs = 400;

    EngineLabelJobRunner();

    bool print(QWidget* parent, const QString& templatePath, std::int64_t quantity, const LabelJobSources& sources,
               const VariableAnswerer& variables) override;
    void design(QWidget* parent, const QString& templatePath, const LabelJobSources& sources,
                const VariableAnswerer& variables) override;
    std::int64_t codeStoreCounter() const override { return m_job.CodeStoreAdapter.RecNo(); }
    std::int64_t externalCounter() const override { return m_job.ExternalAdapter.RecNo(); }

    // The engine's state: the template loaded last, the title, the adapters.
    const engine::LabelJob& job() const { return m_job; }
    // The labels and pages the last print job prepared (0 when it built none).
    std::int64_t lastLabels() const { return m_lastLabels; }
    int lastPages() const { return m_lastPages; }

    // Tests show the progress window at once (0) to press its button.
    void setProgressDelay(int milliseconds) { m_progressDelay = milliseconds; }

private:
    class Attached;

    engine::LabelJob m_job;
    int m_progressDelay = kProgressDelayMs;
    std::int64_t m_lastLabels = 0;
    int m_lastPages = 0;
    bool m_running = false;
};

// The engine's value for a label variable's answer.
engine::Value toEngineValue(const LabelValue& value);

} // namespace mirel::app
