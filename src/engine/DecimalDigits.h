#pragma once
// Numbers as decimal digits, for rounding the way people read numbers: on the
// digits they see, not on the binary value.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace mirel::engine {

// A magnitude as decimal digits: value = 0.d1 d2 d3 ... * 10^point, so "12345"
// with point 4 is 1234.5 and "12" with point -2 is 0.0012. No leading or trailing
// zeros; zero has no digits.
struct Decimal {
    std::string digits;
    int point = 0;

    bool isZero() const { return digits.empty(); }

    void normalise() {
        const std::size_t last = digits.find_last_not_of('0');
        digits.erase(last == std::string::npos ? 0 : last + 1);
        std::size_t first = 0;
        while (first < digits.size() && digits[first] == '0')
            ++first;
        digits.erase(0, first);
        point -= static_cast<int>(first);
        if (digits.empty())
            point = 0;
    }

    // Keeps `decimals` digits after the point (a negative count rounds to tens,
    // hundreds, ...). A dropped part of exactly one half rounds away from zero, or
    // with `halfEven` to the even last digit; more than a half always rounds up.
    void roundToDecimals(int decimals, bool halfEven = false) {
        const long long keep = static_cast<long long>(point) + decimals;
        if (keep >= static_cast<long long>(digits.size()))
            return;
        if (keep < 0) {
            digits.clear();
            point = 0;
            return;
        }
        const std::size_t k = static_cast<std::size_t>(keep);
        bool up = digits[k] >= '5';
        if (halfEven && digits[k] == '5' && k + 1 == digits.size()) {
            const int last = k == 0 ? 0 : digits[k - 1] - '0';
            up = last % 2 == 1;
        }
        digits.erase(k);
        if (up) {
            std::size_t i = digits.size();
            while (i > 0 && digits[i - 1] == '9') {
                digits[i - 1] = '0';
                --i;
            }
            if (i == 0) {
                digits.insert(digits.begin(), '1');
                ++point;
            } else {
                ++digits[i - 1];
            }
        }
        normalise();
    }

    // Digit at position k counted from the point (0 is the first digit after it,
    // -1 the units digit); zeros outside the stored digits.
    char digitAfterPoint(long long k) const {
        const long long index = static_cast<long long>(point) + k;
        if (index < 0 || index >= static_cast<long long>(digits.size()))
            return '0';
        return digits[static_cast<std::size_t>(index)];
    }

    std::string integerDigits() const {
        if (point <= 0)
            return {};
        std::string s = digits.substr(0, std::min<std::size_t>(digits.size(), static_cast<std::size_t>(point)));
        if (static_cast<std::size_t>(point) > digits.size())
            s.append(static_cast<std::size_t>(point) - digits.size(), '0');
        return s;
    }

    double toDouble() const {
        if (isZero())
            return 0.0;
        const std::string text = "0." + digits + "e" + std::to_string(point);
        return std::strtod(text.c_str(), nullptr);
    }
};

// The magnitude of a real in its 15-significant-digit decimal form, the form in
// which a number is rounded for showing (so 2.675, stored as 2.67499999..., is
// 2.67500000000000 and rounds to 2.68).
inline Decimal decimalOf(double magnitude) {
    Decimal d;
    if (magnitude == 0.0)
        return d;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", magnitude);
    const std::string s(buf);
    const std::size_t e = s.find('e');
    for (std::size_t i = 0; i < e; ++i)
        if (s[i] != '.')
            d.digits += s[i];
    d.point = std::atoi(s.c_str() + e + 1) + 1;
    d.normalise();
    return d;
}

inline Decimal decimalOf(std::uint64_t magnitude) {
    Decimal d;
    d.digits = std::to_string(magnitude);
    d.point = static_cast<int>(d.digits.size());
    d.normalise();
    return d;
}

} // namespace mirel::engine
