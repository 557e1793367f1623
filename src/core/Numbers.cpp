#include "core/Numbers.h"

#include "core/Text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace mirel::core {

std::int64_t roundHalfEven(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 9.2e18)
        throw ConversionError("'" + formatGeneral(value) + "' is out of range for a whole number");
    const double floorValue = std::floor(value);
    const double diff = value - floorValue;
    double result;
    if (diff > 0.5)
        result = floorValue + 1.0;
    else if (diff < 0.5)
        result = floorValue;
    else
        result = std::fmod(floorValue, 2.0) == 0.0 ? floorValue : floorValue + 1.0;
    return static_cast<std::int64_t>(result);
}

std::string formatGeneral(double value, int precision) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0.0)
        return "0";
    if (precision < 1)
        precision = 1;
    if (precision > 17)
        precision = 17;

    // Significant digits and exponent from printf's correctly rounded form.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", precision - 1, value);
    std::string s(buf);
    const bool negative = s[0] == '-';
    if (negative)
        s.erase(0, 1);
    const size_t ePos = s.find('e');
    std::string digits;
    for (size_t i = 0; i < ePos; ++i)
        if (s[i] != '.')
            digits += s[i];
    const int exponent = std::stoi(s.substr(ePos + 1));
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    // Position of the decimal point relative to the first digit.
    const int point = exponent + 1;
    std::string out = negative ? "-" : "";
    if (point > precision || point < -3) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out.append(digits, 1, std::string::npos);
        }
        out += 'E';
        out += std::to_string(exponent);
        return out;
    }
    if (point <= 0) {
        out += "0.";
        out.append(static_cast<size_t>(-point), '0');
        out += digits;
        return out;
    }
    if (static_cast<size_t>(point) >= digits.size()) {
        out += digits;
        out.append(static_cast<size_t>(point) - digits.size(), '0');
        return out;
    }
    out.append(digits, 0, static_cast<size_t>(point));
    out += '.';
    out.append(digits, static_cast<size_t>(point), std::string::npos);
    return out;
}

std::optional<std::int64_t> tryParseInteger(std::string_view text) {
    std::string_view s = trimBlanks(text);
    if (s.empty())
        return std::nullopt;
    bool negative = false;
    if (s[0] == '+' || s[0] == '-') {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    if (s.empty())
        return std::nullopt;
    std::uint64_t magnitude = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (magnitude > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
            return std::nullopt;
        magnitude = magnitude * 10 + digit;
    }
    constexpr std::uint64_t kMaxPositive = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (!negative && magnitude > kMaxPositive)
        return std::nullopt;
    if (negative && magnitude > kMaxPositive + 1)
        return std::nullopt;
    if (negative)
        return magnitude == kMaxPositive + 1 ? std::numeric_limits<std::int64_t>::min()
                                             : -static_cast<std::int64_t>(magnitude);
    return static_cast<std::int64_t>(magnitude);
}

std::optional<double> tryParseDecimal(std::string_view text) {
    std::string_view s = trimBlanks(text);
    if (s.empty())
        return std::nullopt;
    // The accepted shape: [sign] digits [. digits] [(e|E) [sign] digits], with at
    // least one digit in the mantissa. from_chars takes no '+', so skip it here.
    size_t i = 0;
    if (s[i] == '+' || s[i] == '-')
        ++i;
    size_t mantissaDigits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') { ++i; ++mantissaDigits; }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') { ++i; ++mantissaDigits; }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        size_t expDigits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') { ++i; ++expDigits; }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != s.size())
        return std::nullopt;
    std::string_view number = s[0] == '+' ? s.substr(1) : s;
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec != std::errc() || result.ptr != number.data() + number.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::int64_t parseInteger(std::string_view text) {
    if (auto v = tryParseInteger(text))
        return *v;
    throw ConversionError("'" + std::string(text) + "' is not a valid integer value");
}

double parseDecimal(std::string_view text) {
    if (auto v = tryParseDecimal(text))
        return *v;
    throw ConversionError("'" + std::string(text) + "' is not a valid floating point value");
}

} // namespace mirel::core
