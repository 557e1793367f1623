#pragma once
// The operators of the expression language on values (their rules are in
// Expression.h). Each throws ValueError for operands it cannot use, with a message
// such as "'abc' is not a number" or "type mismatch: boolean + integer".

#include "engine/Value.h"

namespace mirel::engine {

Value add(const Value& a, const Value& b);
Value subtract(const Value& a, const Value& b);
Value multiply(const Value& a, const Value& b);
Value divide(const Value& a, const Value& b);
Value integerDivide(const Value& a, const Value& b);
Value modulo(const Value& a, const Value& b);
Value negate(const Value& a);
Value unaryPlus(const Value& a);

// Orders two values as the comparison operators do: -1, 0 or 1, or kUnordered
// when they have no order (a NaN). Throws ValueError when they cannot be compared.
constexpr int kUnordered = 2;
int compareValues(const Value& a, const Value& b);

// A number operand: whole or real.
struct Number {
    bool whole;
    std::int64_t i;
    double r;
    double real() const { return whole ? static_cast<double>(i) : r; }
};
// Null is 0; texts must read as numbers; booleans are refused (`op` names the
// operation in the message).
Number toNumber(const Value& v, const char* op);

} // namespace mirel::engine
