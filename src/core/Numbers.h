#pragma once
// Numbers as the system reads and shows them.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace mirel::core {

// A text that does not hold the number asked for. The message quotes the text:
// "'12a' is not a valid integer value".
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Rounds to the nearest whole number; a value exactly halfway goes to the even
// neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
std::int64_t roundHalfEven(double value);

// The general decimal form: at most `precision` significant digits, no trailing
// zeros, fixed notation unless the number needs more integer digits than the
// precision or is below 0.0001, then "1.5E20" / "1E-5". 1 -> "1", 2.5 -> "2.5".
std::string formatGeneral(double value, int precision = 15);

// Strict parsing: optional blanks around, an optional sign, then decimal digits
// only (and, for decimals, one '.' and an optional exponent). Anything else, an
// empty text, or a value out of range throws ConversionError.
std::int64_t parseInteger(std::string_view text);
double parseDecimal(std::string_view text);

std::optional<std::int64_t> tryParseInteger(std::string_view text);
std::optional<double> tryParseDecimal(std::string_view text);

} // namespace mirel::core
