// MSI (Plessey variant) with its modulo-10 check digit.

#include "barcode/Encoders.h"

#include <array>
#include <cassert>
#include <string>

namespace mirel::barcode {
namespace {

// Four bits per digit, most significant first: a 1 bit is a wide bar and a narrow
// space ("60"), a 0 bit a narrow bar and a wide space ("51"). Example: 9 = 1001.
constexpr std::array<std::string_view, 10> kMsiTable = {
    "51515151", "51515160", "51516051", "51516060", "51605151",
    "51605160", "51606051", "51606060", "60515151", "60515160"};

} // namespace

int msiCheckDigit(std::string_view digits) {
    // Luhn's modulo 10 as MSI readers verify it: counting from the rightmost digit,
    // the digits at odd places are doubled and the digits of each product added,
    // the others added as they are. (Doubling the number these digits form carries
    // once per digit of 5 or more, so its digit sum is the same total.)
    int sum = 0;
    bool doubled = true;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it, doubled = !doubled) {
        assert(*it >= '0' && *it <= '9');
        const int d = *it - '0';
        sum += doubled ? (d < 5 ? 2 * d : 2 * d - 9) : d;
    }
    const int r = sum % 10;
    return r == 0 ? 0 : 10 - r;
}

std::string encodeMsi(std::string_view text) {
    std::string p;
    p.reserve(8 * text.size() + 13);
    p += "60";
    for (char c : text)
        p += kMsiTable[static_cast<std::size_t>(c - '0')];
    // The check digit is encoded, not shown.
    p += kMsiTable[static_cast<std::size_t>(msiCheckDigit(text))];
    p += "515";
    return p;
}

} // namespace mirel::barcode
