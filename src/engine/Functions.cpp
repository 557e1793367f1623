#include "engine/Functions.h"

#include "engine/CodePageText.h"
#include "engine/DateTime.h"
#include "engine/DecimalDigits.h"
#include "engine/DisplayFormat.h"
#include "engine/Operations.h"

#include "core/Numbers.h"
#include "core/Text.h"

#include <array>
#include <cmath>
#include <limits>

namespace mirel::engine {

namespace {

using Args = std::span<Value>;
using Kind = Value::Kind;

bool sameIgnoringCase(std::string_view a, std::string_view upper) {
    if (a.size() != upper.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != upper[i])
            return false;
    }
    return true;
}

// A real that is a whole number in range becomes an integer value.
Value wholeValue(double v) {
    if (std::isfinite(v) && std::fabs(v) < 9.2e18)
        return Value::integer(static_cast<std::int64_t>(v));
    return Value::real(v);
}

// Days and time of day back into the stored form, whose fraction counts forward
// from midnight also for days before 1899-12-30.
double combine(double day, double time) { return day < 0 ? day - time : day + time; }

DateParts partsOf(const Value& v) {
    const double days = v.toDateTime();
    if (const auto parts = decodeDateTime(days))
        return *parts;
    throw ValueError("'" + core::formatGeneral(days) + "' is not a date between the years 1 and 9999");
}

std::int64_t wholeArgument(const Value& v) { return v.toInteger(); }

int smallWhole(const Value& v, int low, int high) {
    const std::int64_t n = v.toInteger();
    return static_cast<int>(std::clamp<std::int64_t>(n, low, high));
}

Value fnStr(Args a) { return Value::string(a[0].toString()); }

Value fnInt(Args a) {
    const Number n = toNumber(a[0], "INT");
    return n.whole ? Value::integer(n.i) : wholeValue(std::trunc(n.r));
}

Value fnFrac(Args a) {
    const Number n = toNumber(a[0], "FRAC");
    return Value::real(n.whole ? 0.0 : n.r - std::trunc(n.r));
}

Value fnAbs(Args a) {
    const Number n = toNumber(a[0], "ABS");
    if (n.whole)
        return n.i < 0 ? negate(Value::integer(n.i)) : Value::integer(n.i);
    return Value::real(std::fabs(n.r));
}

Value fnRound(Args a) {
    const Number n = toNumber(a[0], "ROUND");
    const int decimals = a.size() > 1 ? smallWhole(a[1], -30, 30) : 0;
    if (n.whole && decimals >= 0)
        return Value::integer(n.i);
    const double x = n.real();
    if (!std::isfinite(x))
        return Value::real(x);
    Decimal d = n.whole ? decimalOf(static_cast<std::uint64_t>(n.i < 0 ? 0 - static_cast<std::uint64_t>(n.i)
                                                                            : static_cast<std::uint64_t>(n.i)))
                        : decimalOf(std::fabs(x));
    d.roundToDecimals(decimals, true);
    const double rounded = std::copysign(d.toDouble(), x) + 0.0;   // + 0.0: no "-0"
    if (a.size() == 1 || n.whole)
        return wholeValue(rounded);
    return Value::real(rounded);
}

Value extreme(Args a, bool largest) {
    std::size_t best = 0;
    for (std::size_t k = 1; k < a.size(); ++k) {
        const int c = compareValues(a[k], a[best]);
        if (c != kUnordered && (largest ? c > 0 : c < 0))
            best = k;
    }
    return a[best];
}

Value fnMin(Args a) { return extreme(a, false); }
Value fnMax(Args a) { return extreme(a, true); }

Value fnStrToInt(Args a) { return Value::integer(a[0].toInteger()); }
Value fnStrToFloat(Args a) { return Value::real(a[0].toReal()); }

Value fnFormatFloat(Args a) {
    const AnsiString pattern = a[0].toString();
    const Number n = toNumber(a[1], "FORMATFLOAT");
    return Value::string(n.whole ? formatInteger(pattern, n.i) : formatFloat(pattern, n.r));
}

Value fnFormatDateTime(Args a) { return Value::string(formatDateTime(a[0].toString(), a[1].toDateTime())); }
Value fnDateToStr(Args a) { return Value::string(formatDateTime("yyyy-mm-dd", a[0].toDateTime())); }
Value fnTimeToStr(Args a) { return Value::string(formatDateTime("hh:nn:ss", a[0].toDateTime())); }
Value fnStrToDate(Args a) { return Value::dateTime(a[0].toDateTime()); }

Value fnDate(Args) { return Value::dateTime(std::floor(currentDateTime())); }
Value fnTime(Args) {
    const double now = currentDateTime();
    return Value::dateTime(now - std::floor(now));
}
Value fnNow(Args) { return Value::dateTime(currentDateTime()); }

Value fnEncodeDate(Args a) {
    const std::int64_t y = wholeArgument(a[0]), m = wholeArgument(a[1]), d = wholeArgument(a[2]);
    const auto inInt = [](std::int64_t v) { return v >= 0 && v <= 100000; };
    if (inInt(y) && inInt(m) && inInt(d))
        if (const auto days = encodeDate(static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)))
            return Value::dateTime(*days);
    throw ValueError("there is no date " + std::to_string(y) + "-" + std::to_string(m) + "-" + std::to_string(d));
}

Value fnYearOf(Args a) { return Value::integer(partsOf(a[0]).year); }
Value fnMonthOf(Args a) { return Value::integer(partsOf(a[0]).month); }
Value fnDayOf(Args a) { return Value::integer(partsOf(a[0]).day); }

Value fnIncMonth(Args a) {
    const DateParts p = partsOf(a[0]);
    const std::int64_t months = a.size() > 1 ? a[1].toInteger() : 1;
    const std::int64_t limit = 12 * 10000;
    if (months < -limit || months > limit)
        throw ValueError("INCMONTH: " + std::to_string(months) + " months leave the years 1 to 9999");
    const std::int64_t index = static_cast<std::int64_t>(p.year) * 12 + (p.month - 1) + months;
    const int year = static_cast<int>(index / 12), month = static_cast<int>(index % 12) + 1;
    std::optional<double> day;
    for (int d = p.day; d >= 28 && !day; --d)   // 31 January + 1 month: the last day of February
        day = encodeDate(year, month, d);
    if (!day)
        day = encodeDate(year, month, std::min(p.day, 28));
    if (!day)
        throw ValueError("INCMONTH: " + std::to_string(months) + " months leave the years 1 to 9999");
    const double time = *encodeTime(p.hour, p.minute, p.second, p.millisecond);
    return Value::dateTime(combine(*day, time));
}

Value fnLength(Args a) { return Value::integer(static_cast<std::int64_t>(charCount(a[0].toString()))); }

Value fnCopy(Args a) {
    const AnsiString s = a[0].toString();
    const std::int64_t index = a[1].toInteger();
    const std::int64_t count = a[2].toInteger();
    if (count <= 0)
        return Value::string({});
    // Positions from 1; a position before the first character counts from the first.
    const std::size_t first = index < 1 ? 0 : static_cast<std::size_t>(std::min<std::int64_t>(index - 1, 1 << 30));
    const std::size_t begin = charOffset(s, first);
    const std::size_t end = charOffset(std::string_view(s).substr(begin),
                                       static_cast<std::size_t>(std::min<std::int64_t>(count, 1 << 30)));
    return Value::string(s.substr(begin, end));
}

Value fnPos(Args a) {
    const AnsiString sub = a[0].toString();
    const AnsiString s = a[1].toString();
    if (sub.empty())
        return Value::integer(0);
    std::int64_t position = 1;
    for (std::size_t i = 0; i < s.size(); i += charLength(s, i), ++position)
        if (s.compare(i, sub.size(), sub) == 0)
            return Value::integer(position);
    return Value::integer(0);
}

Value fnUpper(Args a) { return Value::string(asciiCase(a[0].toString(), true)); }
Value fnLower(Args a) { return Value::string(asciiCase(a[0].toString(), false)); }
Value fnTrim(Args a) { return Value::string(AnsiString(core::trimBlanks(a[0].toString()))); }
Value fnTrimLeft(Args a) { return Value::string(AnsiString(core::trimLeftBlanks(a[0].toString()))); }
Value fnTrimRight(Args a) { return Value::string(AnsiString(core::trimRightBlanks(a[0].toString()))); }

constexpr int kAny = -1;

constexpr std::array kFunctions = {
    Function{"IF", 3, 3, nullptr},
    Function{"STR", 1, 1, fnStr},
    Function{"INT", 1, 1, fnInt},
    Function{"FRAC", 1, 1, fnFrac},
    Function{"ABS", 1, 1, fnAbs},
    Function{"ROUND", 1, 2, fnRound},
    Function{"MIN", 1, kAny, fnMin},
    Function{"MAX", 1, kAny, fnMax},
    Function{"STRTOINT", 1, 1, fnStrToInt},
    Function{"STRTOFLOAT", 1, 1, fnStrToFloat},
    Function{"FORMATFLOAT", 2, 2, fnFormatFloat},
    Function{"FORMATDATETIME", 2, 2, fnFormatDateTime},
    Function{"DATETOSTR", 1, 1, fnDateToStr},
    Function{"TIMETOSTR", 1, 1, fnTimeToStr},
    Function{"STRTODATE", 1, 1, fnStrToDate},
    Function{"DATE", 0, 0, fnDate},
    Function{"TIME", 0, 0, fnTime},
    Function{"NOW", 0, 0, fnNow},
    Function{"ENCODEDATE", 3, 3, fnEncodeDate},
    Function{"YEAROF", 1, 1, fnYearOf},
    Function{"MONTHOF", 1, 1, fnMonthOf},
    Function{"DAYOF", 1, 1, fnDayOf},
    Function{"INCMONTH", 1, 2, fnIncMonth},
    Function{"LENGTH", 1, 1, fnLength},
    Function{"COPY", 3, 3, fnCopy},
    Function{"SUBSTR", 3, 3, fnCopy},
    Function{"POS", 2, 2, fnPos},
    Function{"UPPERCASE", 1, 1, fnUpper},
    Function{"LOWERCASE", 1, 1, fnLower},
    Function{"TRIM", 1, 1, fnTrim},
    Function{"TRIMLEFT", 1, 1, fnTrimLeft},
    Function{"TRIMRIGHT", 1, 1, fnTrimRight},
};

} // namespace

const Function* findFunction(std::string_view name) {
    for (const Function& f : kFunctions)
        if (sameIgnoringCase(name, f.name))
            return &f;
    return nullptr;
}

std::optional<Value> builtinName(std::string_view name) {
    if (sameIgnoringCase(name, "TRUE"))
        return Value::boolean(true);
    if (sameIgnoringCase(name, "FALSE"))
        return Value::boolean(false);
    if (sameIgnoringCase(name, "DATE"))
        return fnDate({});
    if (sameIgnoringCase(name, "TIME"))
        return fnTime({});
    if (sameIgnoringCase(name, "NOW"))
        return fnNow({});
    return std::nullopt;
}

} // namespace mirel::engine
