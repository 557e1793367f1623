// Any bytes as a label expression, a text with bracketed expressions, a barcode
// line, and a number or date pattern: parsing and evaluation may only fail with
// ExpressionError, and never crash, hang or recurse without bound.

#include "engine/DateTime.h"
#include "engine/DisplayFormat.h"
#include "engine/Expression.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

using namespace mirel;
using namespace mirel::engine;

// Answers names by their first letter, so that every kind of value reaches the
// operators; names beginning with 'e' are expressions themselves (as dictionary
// variables are), evaluated from the rest of the name.
class FuzzResolver : public NameResolver {
public:
    std::optional<Value> resolveName(const AnsiString& name) override {
        if (name.empty())
            return std::nullopt;
        switch (name[0]) {
        case 'a': return Value::integer(static_cast<std::int64_t>(name.size()) - 4);
        case 'b': return Value::string(name.substr(1));
        case 'c': return Value::real(static_cast<double>(name.size()) / 3.0);
        case 'd': return Value::dateTime(45322.5 * static_cast<double>(name.size() % 5));
        case 'f': return Value::boolean(name.size() % 2 == 0);
        case 'n': return Value();
        case 'e': return evaluateExpression(std::string_view(name).substr(1), *this);
        default: return std::nullopt;
        }
    }
    std::optional<Value> resolveField(const AnsiString& dataset, const AnsiString& field) override {
        if (dataset.size() > field.size())
            return std::nullopt;
        return Value::string(dataset + field);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    FuzzResolver names;

    try {
        Expression::parse(text).evaluate(names);
    } catch (const ExpressionError&) {
    }

    std::int32_t displayFormat = 0;
    std::memcpy(&displayFormat, data, std::min<std::size_t>(size, sizeof displayFormat));
    const AnsiString formatText(text.substr(0, std::min<std::size_t>(size, 16)));
    try {
        expandBrackets(text, names, [&](const Value& v) { return formatValue(v, displayFormat, formatText, size % 2); });
    } catch (const ExpressionError&) {
    }
    try {
        evaluateLine(text, names);
    } catch (const ExpressionError&) {
    }

    formatFloat(text, 1234.5678);
    formatFloat(text, -0.004);
    formatFloat(text, 1e300);
    formatInteger(text, INT64_MIN);
    formatDateTime(text, 45322.5);
    formatDateTime(text, -693593.0);
    parseDateTime(text);
    return 0;
}
