#include "app/LabelJobRunner.h"

#include "codes/CodeStore.h"

namespace mirel::app {

bool StubLabelJobRunner::print(QWidget*, const QString& templatePath, std::int64_t quantity,
                               const LabelJobSources& sources, const VariableAnswerer& variables) {
    PrintCall call;
    call.templatePath = templatePath;
    call.quantity = quantity;
    std::vector<AnsiString> names = m_askedNames;
    if (names.empty())
        for (int i = 0; i < static_cast<int>(std::size(kLabelVariableNames)); ++i)
            names.push_back(labelVariableName(i));
    if (sources.codeStore && sources.codeStore->isOpen()) {
        for (codes::CodeReader reader = sources.codeStore->reader(quantity); !reader.atEnd(); reader.next()) {
            m_codeStoreCounter = reader.counter();
            std::map<AnsiString, LabelValue>& label = call.labels.emplace_back();
            for (const AnsiString& name : names) {
                std::optional<LabelValue> value;
                variables(name, value);
                if (value)
                    label.emplace(name, std::move(*value));
            }
        }
    }
    const bool built = !call.labels.empty();
    m_printCalls.push_back(std::move(call));
    return built;
}

void StubLabelJobRunner::design(QWidget*, const QString& templatePath, const LabelJobSources&,
                                const VariableAnswerer&) {
    m_designCalls.push_back(templatePath);
}

} // namespace mirel::app
