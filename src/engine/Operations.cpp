#include "engine/Operations.h"

#include "core/Numbers.h"

#include <cmath>
#include <limits>

namespace mirel::engine {

namespace {

using Kind = Value::Kind;

[[noreturn]] void mismatch(const Value& a, const char* op, const Value& b) {
    throw ValueError(std::string("type mismatch: ") + Value::kindName(a.kind()) + " " + op + " "
                     + Value::kindName(b.kind()));
}

Value wholeOrReal(bool overflow, std::int64_t whole, double real) {
    return overflow ? Value::real(real) : Value::integer(whole);
}

bool isDate(const Value& v) { return v.kind() == Kind::DateTime; }

// Operands of + - * / other than texts, dates and booleans: numbers and null.
bool isPlainNumber(const Value& v) { return v.isNumber() || v.isNull(); }

} // namespace

Number toNumber(const Value& v, const char* op) {
    switch (v.kind()) {
    case Kind::Null:
        return {true, 0, 0.0};
    case Kind::Integer:
        return {true, v.integerValue(), 0.0};
    case Kind::Real:
        return {false, 0, v.realValue()};
    case Kind::DateTime:
        return {false, 0, v.dateTimeValue()};
    case Kind::String:
        if (const auto i = core::tryParseInteger(v.stringValue()))
            return {true, *i, 0.0};
        return {false, 0, v.toReal()};   // throws "'abc' is not a number"
    case Kind::Boolean:
        break;
    }
    throw ValueError(std::string("type mismatch: ") + op + " of a boolean");
}

Value add(const Value& a, const Value& b) {
    if (a.isString() || b.isString())
        return Value::string(a.toString() + b.toString());
    if (a.isNull() && b.isNull())
        return Value();
    if (a.kind() == Kind::Boolean || b.kind() == Kind::Boolean || (isDate(a) && isDate(b)))
        mismatch(a, "+", b);
    if (isDate(a) || isDate(b))
        return Value::dateTime(a.toReal() + b.toReal());
    const Number x = toNumber(a, "+"), y = toNumber(b, "+");
    if (x.whole && y.whole) {
        std::int64_t sum;
        const bool overflow = __builtin_add_overflow(x.i, y.i, &sum);
        return wholeOrReal(overflow, sum, x.real() + y.real());
    }
    return Value::real(x.real() + y.real());
}

Value subtract(const Value& a, const Value& b) {
    if (a.kind() == Kind::Boolean || b.kind() == Kind::Boolean)
        mismatch(a, "-", b);
    if (isDate(a) && isDate(b))
        return Value::real(a.dateTimeValue() - b.dateTimeValue());
    if (isDate(a) && isPlainNumber(b))
        return Value::dateTime(a.dateTimeValue() - b.toReal());
    const Number x = toNumber(a, "-"), y = toNumber(b, "-");
    if (x.whole && y.whole) {
        std::int64_t difference;
        const bool overflow = __builtin_sub_overflow(x.i, y.i, &difference);
        return wholeOrReal(overflow, difference, x.real() - y.real());
    }
    return Value::real(x.real() - y.real());
}

Value multiply(const Value& a, const Value& b) {
    if (a.kind() == Kind::Boolean || b.kind() == Kind::Boolean)
        mismatch(a, "*", b);
    const Number x = toNumber(a, "*"), y = toNumber(b, "*");
    if (x.whole && y.whole) {
        std::int64_t product;
        const bool overflow = __builtin_mul_overflow(x.i, y.i, &product);
        return wholeOrReal(overflow, product, x.real() * y.real());
    }
    return Value::real(x.real() * y.real());
}

Value divide(const Value& a, const Value& b) {
    if (a.kind() == Kind::Boolean || b.kind() == Kind::Boolean)
        mismatch(a, "/", b);
    const Number x = toNumber(a, "/"), y = toNumber(b, "/");
    if (y.real() == 0.0)
        throw ValueError("division by zero");
    return Value::real(x.real() / y.real());
}

namespace {

std::int64_t wholeOperand(const Value& v, const char* op) {
    const Number n = toNumber(v, op);
    if (n.whole)
        return n.i;
    const double r = n.r;
    if (std::isfinite(r) && r == std::trunc(r) && r >= -9223372036854775808.0 && r < 9223372036854775808.0)
        return static_cast<std::int64_t>(r);
    throw ValueError("'" + core::formatGeneral(r) + "' is not a whole number");
}

} // namespace

Value integerDivide(const Value& a, const Value& b) {
    if (a.kind() == Kind::Boolean || b.kind() == Kind::Boolean)
        mismatch(a, "div", b);
    const std::int64_t x = wholeOperand(a, "div"), y = wholeOperand(b, "div");
    if (y == 0)
        throw ValueError("division by zero");
    if (x == std::numeric_limits<std::int64_t>::min() && y == -1)
        return Value::real(-static_cast<double>(x));
    return Value::integer(x / y);
}

Value modulo(const Value& a, const Value& b) {
    if (a.kind() == Kind::Boolean || b.kind() == Kind::Boolean)
        mismatch(a, "mod", b);
    const std::int64_t x = wholeOperand(a, "mod"), y = wholeOperand(b, "mod");
    if (y == 0)
        throw ValueError("division by zero");
    if (y == -1)
        return Value::integer(0);
    return Value::integer(x % y);
}

Value negate(const Value& a) {
    if (isDate(a))
        return Value::dateTime(-a.dateTimeValue());
    const Number x = toNumber(a, "-");
    if (x.whole) {
        if (x.i == std::numeric_limits<std::int64_t>::min())
            return Value::real(-static_cast<double>(x.i));
        return Value::integer(-x.i);
    }
    return Value::real(-x.r);
}

Value unaryPlus(const Value& a) {
    if (isDate(a))
        return a;
    const Number x = toNumber(a, "+");
    return x.whole ? Value::integer(x.i) : Value::real(x.r);
}

namespace {

template <typename T>
int order(T x, T y) {
    if (x < y)
        return -1;
    if (y < x)
        return 1;
    if (x == y)
        return 0;
    return kUnordered;
}

int compareNumbers(const Number& x, const Number& y) {
    if (x.whole && y.whole)
        return order(x.i, y.i);
    return order(x.real(), y.real());
}

// The zero of the other side's kind, which a null stands for in a comparison.
Value zeroLike(const Value& other) {
    switch (other.kind()) {
    case Kind::String: return Value::string({});
    case Kind::Boolean: return Value::boolean(false);
    case Kind::DateTime: return Value::dateTime(0.0);
    case Kind::Real: return Value::real(0.0);
    default: return Value::integer(0);
    }
}

} // namespace

int compareValues(const Value& a, const Value& b) {
    if (a.isNull() && b.isNull())
        return 0;
    if (a.isNull())
        return compareValues(zeroLike(b), b);
    if (b.isNull())
        return compareValues(a, zeroLike(a));
    if (a.kind() == Kind::Boolean || b.kind() == Kind::Boolean)
        return order(static_cast<int>(a.toBoolean()), static_cast<int>(b.toBoolean()));
    if (a.isString() && b.isString()) {
        const int c = a.stringValue().compare(b.stringValue());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (a.isString() || b.isString()) {
        // A text against a number: by value when the text reads as a number.
        const Value& text = a.isString() ? a : b;
        if (core::tryParseDecimal(text.stringValue())) {
            return compareNumbers(toNumber(a, "comparison"), toNumber(b, "comparison"));
        }
        const int c = a.toString().compare(b.toString());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    return compareNumbers(toNumber(a, "comparison"), toNumber(b, "comparison"));
}

} // namespace mirel::engine
