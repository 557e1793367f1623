#pragma once
// The label jobs as the main window starts them: a print job and a design job
// through the report engine. The window checks what the operator can mend
// (an empty template path, a quantity that is no number) and hands the rest to
// a runner; the runner owns the engine, its template and its two dataset
// adapters, frDBDataSet1 over the code store and frDBDataSet2 over the
// external table.

#include "app/LabelVariables.h"

#include <QString>
#include <cstdint>
#include <map>
#include <vector>

class QWidget;

namespace mirel::codes {
class CodeStore;
}

namespace mirel::app {

class ExternalSource;

// The data sources of a job, as they stand when it starts (not owned; a null
// or closed code store prints no code-store records).
struct LabelJobSources {
    const codes::CodeStore* codeStore = nullptr;
    const ExternalSource* external = nullptr;
};

class LabelJobRunner {
public:
    virtual ~LabelJobRunner() = default;

    // Print job: loads the template at `templatePath` (a path that names no file
    // keeps the engine's current template), limits frDBDataSet1 to `quantity`
    // records, sets the title "条码标签打印预览", prepares the labels asking
    // `variables` for every name first, and shows them in the modal preview when
    // labels were built. Returns whether labels were built. Throws
    // std::exception with the message to show when the engine fails.
    virtual bool print(QWidget* parent, const QString& templatePath, std::int64_t quantity,
                       const LabelJobSources& sources, const VariableAnswerer& variables) = 0;

    // Design job: loads the template and opens the modal designer on it.
    virtual void design(QWidget* parent, const QString& templatePath, const LabelJobSources& sources,
                        const VariableAnswerer& variables) = 0;

    // The record counters of frDBDataSet1 and frDBDataSet2 that "no" reads:
    // 0 at the first record of a run, one more per record, kept after a run.
    virtual std::int64_t codeStoreCounter() const = 0;
    virtual std::int64_t externalCounter() const = 0;
};

// Stands in for the report engine: a print job runs over the code store as a
// master data band on frDBDataSet1 would (at most `quantity` records), asking
// for the label variables of each record, and keeps what it was told; the
// design job only records its template. Nothing is shown.
class StubLabelJobRunner final : public LabelJobRunner {
public:
    struct PrintCall {
        QString templatePath;
        std::int64_t quantity = 0;
        // Per label, the answer for each name asked (names in code page bytes;
        // a name left unanswered is missing).
        std::vector<std::map<AnsiString, LabelValue>> labels;
    };

    bool print(QWidget* parent, const QString& templatePath, std::int64_t quantity, const LabelJobSources& sources,
               const VariableAnswerer& variables) override;
    void design(QWidget* parent, const QString& templatePath, const LabelJobSources& sources,
                const VariableAnswerer& variables) override;
    std::int64_t codeStoreCounter() const override { return m_codeStoreCounter; }
    std::int64_t externalCounter() const override { return m_externalCounter; }

    // The names asked for each label; the eight label variables by default.
    void setAskedNames(std::vector<AnsiString> names) { m_askedNames = std::move(names); }

    const std::vector<PrintCall>& printCalls() const { return m_printCalls; }
    const std::vector<QString>& designCalls() const { return m_designCalls; }

private:
    std::vector<AnsiString> m_askedNames;
    std::vector<PrintCall> m_printCalls;
    std::vector<QString> m_designCalls;
    std::int64_t m_codeStoreCounter = 0;
    std::int64_t m_externalCounter = 0;
};

} // namespace mirel::app
