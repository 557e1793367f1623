// Codabar with start character A and stop character B.

#include "barcode/Encoders.h"

#include <array>
#include <string>

namespace mirel::barcode {
namespace {

struct CodabarChar {
    char c;
    std::string_view elements;   // seven elements, narrow bar '5', wide '6', narrow space '0', wide '1'
};

// Codabar characters in search order; A to D are the start and stop characters.
// The Codabar standard narrow/wide patterns. Example: '0' = "5050516".
constexpr std::array<CodabarChar, 20> kCodabarTable = {{
    {'1', "5050615"}, {'2', "5051506"}, {'3', "6150505"}, {'4', "5060515"},
    {'5', "6050515"}, {'6', "5150506"}, {'7', "5150605"}, {'8', "5160505"},
    {'9', "6051505"}, {'0', "5050516"}, {'-', "5051605"}, {'$', "5061505"},
    {':', "6050606"}, {'/', "6060506"}, {'.', "6060605"}, {'+', "5060606"},
    {'A', "5061515"}, {'B', "5151506"}, {'C', "5051516"}, {'D', "5051615"},
}};

constexpr std::size_t kStartA = 16;
constexpr std::size_t kStopB = 17;
static_assert(kCodabarTable[kStartA].c == 'A' && kCodabarTable[kStopB].c == 'B');

// Row of each data character, -1 for the rest. A to D are start and stop
// characters only: inside the data a reader ends the symbol there, so they are
// refused like any character outside the set.
constexpr auto kCodabarRows = [] {
    std::array<signed char, 256> rows{};
    rows.fill(-1);
    for (std::size_t i = 0; i < kStartA; ++i)
        rows[static_cast<unsigned char>(kCodabarTable[i].c)] = static_cast<signed char>(i);
    return rows;
}();

} // namespace

std::string encodeCodabar(std::string_view text) {
    std::string p;
    p.reserve(8 * (text.size() + 2));
    p += kCodabarTable[kStartA].elements;
    p += '0';
    for (char c : text) {
        const int row = kCodabarRows[static_cast<unsigned char>(c)];
        if (row < 0)
            refuseCharacter(bcCodeCodabar, c);
        p += kCodabarTable[static_cast<std::size_t>(row)].elements;
        p += '0';
    }
    p += kCodabarTable[kStopB].elements;
    return p;
}

} // namespace mirel::barcode
