#include "app/LabelVariables.h"

#include <array>

namespace mirel::app {

const AnsiString& labelVariableName(int index) {
    static const std::array<AnsiString, std::size(kLabelVariableNames)> names = [] {
        std::array<AnsiString, std::size(kLabelVariableNames)> converted;
        for (size_t i = 0; i < converted.size(); ++i)
            converted[i] = core::fromUtf8(kLabelVariableNames[i]);
        return converted;
    }();
    return names.at(static_cast<size_t>(index));
}

void answerLabelVariable(const AnsiString& name, std::optional<LabelValue>& value, const LabelFields& fields,
                         const RecordCounters& counters) {
    const auto text = [&](const QString& field) { value = LabelValue(core::fromUnicode(field)); };
    if (name == labelVariableName(0))
        value = LabelValue(counters.externalOpen ? counters.external : counters.codeStore);
    else if (name == labelVariableName(1))
        text(fields.serial);
    else if (name == labelVariableName(2))
        text(fields.prefix);
    else if (name == labelVariableName(3))
        text(fields.suffix);
    else if (name == labelVariableName(4)) {
        if (fields.quantity)
            value = LabelValue(*fields.quantity);
    } else if (name == labelVariableName(5))
        text(fields.data1);
    else if (name == labelVariableName(6))
        text(fields.data2);
    else if (name == labelVariableName(7))
        text(fields.code2d);
}

} // namespace mirel::app
