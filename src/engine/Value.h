#pragma once
// The values that label expressions compute with: what a label variable, a dataset
// field or a system variable answers, and what an expression gives back.

#include "core/Encoding.h"

#include <cstdint>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <variant>

namespace mirel::engine {

// A value that cannot be read as the kind asked for. The message says which value
// and what was wanted: "'abc' is not a number", "'2.5' is not a whole number".
// Messages are UTF-8; the value's text inside them is converted from code page bytes.
class ValueError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A small variant: null, whole number, real number, code page text, boolean, or a
// date/time held the way templates store dates (days since 1899-12-30, the
// fraction being the time of day; 45322.5 is 2024-01-31 12:00).
class Value {
public:
    enum class Kind : std::uint8_t { Null, Integer, Real, String, Boolean, DateTime };

    Value() = default;   // null
    static Value integer(std::int64_t v) { return Value(Storage(std::in_place_index<1>, v)); }
    static Value real(double v) { return Value(Storage(std::in_place_index<2>, v)); }
    static Value string(AnsiString v) { return Value(Storage(std::in_place_index<3>, std::move(v))); }
    static Value boolean(bool v) { return Value(Storage(std::in_place_index<4>, v)); }
    static Value dateTime(double days) { return Value(Storage(std::in_place_index<5>, DateTimeDays{days})); }

    Kind kind() const { return static_cast<Kind>(m_v.index()); }
    bool isNull() const { return kind() == Kind::Null; }
    bool isString() const { return kind() == Kind::String; }
    // Integer or real (a date is not a number here, though it converts to one).
    bool isNumber() const { return kind() == Kind::Integer || kind() == Kind::Real; }

    // The stored payload; only valid for the matching kind (asserted).
    std::int64_t integerValue() const;
    double realValue() const;
    const AnsiString& stringValue() const;
    bool booleanValue() const;
    double dateTimeValue() const;

    // Conversions; each throws ValueError when the value has no such reading.
    //  toString: null "", integers in decimal, reals in the 15-digit general form
    //   (core::formatGeneral: 2.5 "2.5", 1e20 "1E20"), booleans "True"/"False",
    //   dates "yyyy-mm-dd", "hh:nn:ss" for a time alone (no whole days), and
    //   "yyyy-mm-dd hh:nn:ss" for both. Never throws.
    //  toReal: numbers, dates (their day count), null 0, texts that read as a
    //   decimal number (blanks around allowed: " 12.5 "); not booleans.
    //  toInteger: integers, reals and dates without fraction, null 0, texts that
    //   read as a whole number ("12", "12.0"); not booleans.
    //  toBoolean: booleans, numbers (non-zero is true), null false, texts "True" /
    //   "False" in any letter case or texts that read as a number.
    //  toDateTime: dates, numbers (as days), null 0, texts "yyyy-mm-dd",
    //   "yyyy.mm.dd", "yyyy/mm/dd", each optionally followed by " hh:nn[:ss[.zzz]]",
    //   or a time "hh:nn[:ss[.zzz]]" alone; not booleans.
    AnsiString toString() const;
    double toReal() const;
    std::int64_t toInteger() const;
    bool toBoolean() const;
    double toDateTime() const;

    // The name of a kind as messages give it: "null", "integer", "real", "string",
    // "boolean", "date".
    static const char* kindName(Kind kind);

    // Same kind and same payload (1 and 1.0 differ); for tests and caches.
    friend bool operator==(const Value& a, const Value& b) { return a.m_v == b.m_v; }

private:
    struct DateTimeDays {
        double days;
        friend bool operator==(const DateTimeDays&, const DateTimeDays&) = default;
    };
    using Storage = std::variant<std::monostate, std::int64_t, double, AnsiString, bool, DateTimeDays>;
    explicit Value(Storage v) : m_v(std::move(v)) {}
    Storage m_v;
};

// For test failure messages: kind and payload, e.g. integer(12), string("ab").
std::ostream& operator<<(std::ostream& out, const Value& v);

} // namespace mirel::engine
