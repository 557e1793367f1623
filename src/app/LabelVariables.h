#pragma once
// The label variables the main window answers while the report engine builds
// labels: the eight names below, read from the window's fields at the moment
// the engine asks.

#include "core/Encoding.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <variant>

namespace mirel::app {

// A label variable's value: "no" is a whole number, "数量" a real number, the
// others code page text.
using LabelValue = std::variant<std::int64_t, double, AnsiString>;

// The engine asks for a name; the answerer fills the slot for a label variable
// and leaves it empty for any other name, which the engine then resolves itself.
using VariableAnswerer = std::function<void(const AnsiString& name, std::optional<LabelValue>& value)>;

// The names as this source spells them (UTF-8); the engine asks in code page
// bytes, as template expressions carry them (labelVariableName()).
inline constexpr std::string_view kLabelVariableNames[] = {
    "no", "条形码编号", "编头", "编尾", "数量", "数据扩充1", "数据扩充2", "二维码",
};

// The fields as they stand when the engine asks.
struct LabelFields {
    QString serial;        // cxTextEdit5, "条形码编号"
    QString prefix;        // cxTextEdit2, "编头"
    QString suffix;        // cxTextEdit3, "编尾"
    std::optional<double> quantity;   // cxCalcEdit1, "数量"; empty when it holds no number
    QString data1;         // cxTextEdit1, "数据扩充1"
    QString data2;         // cxTextEdit4, "数据扩充2"
    QString code2d;        // cxMemo1, "二维码": lines joined by CR LF
};

// Where "no" counts: the external adapter's record counter while the external
// table is open, otherwise the code-store adapter's.
struct RecordCounters {
    bool externalOpen = false;
    std::int64_t external = 0;
    std::int64_t codeStore = 0;
};

// Name `index` of kLabelVariableNames in code page bytes.
const AnsiString& labelVariableName(int index);

// Names are compared exactly, byte for byte ("NO" is not "no").
void answerLabelVariable(const AnsiString& name, std::optional<LabelValue>& value, const LabelFields& fields,
                         const RecordCounters& counters);

} // namespace mirel::app
