#include "engine/Value.h"

#include "engine/CodePageText.h"
#include "engine/DateTime.h"

#include "core/Numbers.h"
#include "core/Text.h"

#include <cassert>
#include <cmath>
#include <ostream>

namespace mirel::engine {

namespace {

// A value's text as messages quote it, in UTF-8, shortened to 60 characters.
std::string quoteForMessage(std::string_view ansi) {
    constexpr std::size_t kLimit = 60;
    if (charCount(ansi) <= kLimit)
        return "'" + core::toUtf8(ansi) + "'";
    return "'" + core::toUtf8(ansi.substr(0, charOffset(ansi, kLimit))) + "...'";
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// Whole doubles that fit an int64: below 2^63 in magnitude.
std::optional<std::int64_t> wholeNumber(double v) {
    if (!std::isfinite(v) || v != std::trunc(v) || v >= 9223372036854775808.0 || v < -9223372036854775808.0)
        return std::nullopt;
    return static_cast<std::int64_t>(v);
}

} // namespace

std::int64_t Value::integerValue() const {
    assert(kind() == Kind::Integer);
    return std::get<1>(m_v);
}

double Value::realValue() const {
    assert(kind() == Kind::Real);
    return std::get<2>(m_v);
}

const AnsiString& Value::stringValue() const {
    assert(kind() == Kind::String);
    return std::get<3>(m_v);
}

bool Value::booleanValue() const {
    assert(kind() == Kind::Boolean);
    return std::get<4>(m_v);
}

double Value::dateTimeValue() const {
    assert(kind() == Kind::DateTime);
    return std::get<5>(m_v).days;
}

const char* Value::kindName(Kind kind) {
    switch (kind) {
    case Kind::Null: return "null";
    case Kind::Integer: return "integer";
    case Kind::Real: return "real";
    case Kind::String: return "string";
    case Kind::Boolean: return "boolean";
    case Kind::DateTime: return "date";
    }
    return "?";
}

AnsiString Value::toString() const {
    switch (kind()) {
    case Kind::Null:
        return {};
    case Kind::Integer:
        return std::to_string(integerValue());
    case Kind::Real:
        return core::formatGeneral(realValue());
    case Kind::String:
        return stringValue();
    case Kind::Boolean:
        return booleanValue() ? "True" : "False";
    case Kind::DateTime: {
        const double days = dateTimeValue();
        const auto parts = decodeDateTime(days);
        if (!parts)
            return core::formatGeneral(days);
        const bool noTime = parts->hour == 0 && parts->minute == 0 && parts->second == 0 && parts->millisecond == 0;
        // A value under one day whose time is not midnight is a time of day alone.
        if (std::trunc(days) == 0.0 && !noTime)
            return formatDateTime("hh:nn:ss", days);
        return formatDateTime(noTime ? "yyyy-mm-dd" : "yyyy-mm-dd hh:nn:ss", days);
    }
    }
    return {};
}

double Value::toReal() const {
    switch (kind()) {
    case Kind::Null:
        return 0.0;
    case Kind::Integer:
        return static_cast<double>(integerValue());
    case Kind::Real:
        return realValue();
    case Kind::DateTime:
        return dateTimeValue();
    case Kind::String:
        if (const auto v = core::tryParseDecimal(stringValue()))
            return *v;
        throw ValueError(quoteForMessage(stringValue()) + " is not a number");
    case Kind::Boolean:
        break;
    }
    throw ValueError(std::string("a boolean (") + toString() + ") is not a number");
}

std::int64_t Value::toInteger() const {
    switch (kind()) {
    case Kind::Null:
        return 0;
    case Kind::Integer:
        return integerValue();
    case Kind::Real:
    case Kind::DateTime: {
        const double v = kind() == Kind::Real ? realValue() : dateTimeValue();
        if (const auto whole = wholeNumber(v))
            return *whole;
        throw ValueError("'" + core::formatGeneral(v) + "' is not a whole number");
    }
    case Kind::String: {
        if (const auto v = core::tryParseInteger(stringValue()))
            return *v;
        if (const auto d = core::tryParseDecimal(stringValue()))
            if (const auto whole = wholeNumber(*d))
                return *whole;
        throw ValueError(quoteForMessage(stringValue()) + " is not a whole number");
    }
    case Kind::Boolean:
        break;
    }
    throw ValueError(std::string("a boolean (") + toString() + ") is not a number");
}

bool Value::toBoolean() const {
    switch (kind()) {
    case Kind::Null:
        return false;
    case Kind::Integer:
        return integerValue() != 0;
    case Kind::Real:
        return realValue() != 0.0;
    case Kind::DateTime:
        return dateTimeValue() != 0.0;
    case Kind::Boolean:
        return booleanValue();
    case Kind::String: {
        const std::string_view s = core::trimBlanks(stringValue());
        if (equalsIgnoringCase(s, "true"))
            return true;
        if (equalsIgnoringCase(s, "false"))
            return false;
        if (const auto v = core::tryParseDecimal(s))
            return *v != 0.0;
        throw ValueError(quoteForMessage(stringValue()) + " is not a boolean");
    }
    }
    return false;
}

double Value::toDateTime() const {
    switch (kind()) {
    case Kind::Null:
        return 0.0;
    case Kind::Integer:
        return static_cast<double>(integerValue());
    case Kind::Real:
        return realValue();
    case Kind::DateTime:
        return dateTimeValue();
    case Kind::String:
        if (const auto v = parseDateTime(stringValue()))
            return *v;
        throw ValueError(quoteForMessage(stringValue()) + " is not a date");
    case Kind::Boolean:
        break;
    }
    throw ValueError(std::string("a boolean (") + toString() + ") is not a date");
}

std::ostream& operator<<(std::ostream& out, const Value& v) {
    out << Value::kindName(v.kind());
    switch (v.kind()) {
    case Value::Kind::Null:
        return out;
    case Value::Kind::String:
        return out << "(\"" << core::toUtf8(v.stringValue()) << "\")";
    case Value::Kind::Real:
        return out << '(' << core::formatGeneral(v.realValue(), 17) << ')';
    case Value::Kind::DateTime:
        return out << '(' << core::formatGeneral(v.dateTimeValue(), 17) << ' ' << v.toString() << ')';
    default:
        return out << '(' << v.toString() << ')';
    }
}

} // namespace mirel::engine
