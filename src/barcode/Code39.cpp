// Code 39 and its full-ASCII form.

#include "barcode/Encoders.h"

#include <array>
#include <string>

namespace mirel::barcode {
namespace {

struct Code39Char {
    char c;
    std::string_view elements;   // nine elements, narrow bar '5', wide '6', narrow space '0', wide '1'
    int value;                   // modulo-43 check value ('*' carries 0)
};

// Code 39 character set in search order, three wide elements of nine, with the
// modulo-43 check values. ISO/IEC 16388. Example: '0' = "505160605".
constexpr std::array<Code39Char, 44> kCode39Table = {{
    {'0', "505160605", 0},  {'1', "605150506", 1},  {'2', "506150506", 2},  {'3', "606150505", 3},
    {'4', "505160506", 4},  {'5', "605160505", 5},  {'6', "506160505", 6},  {'7', "505150606", 7},
    {'8', "605150605", 8},  {'9', "506150605", 9},  {'A', "605051506", 10}, {'B', "506051506", 11},
    {'C', "606051505", 12}, {'D', "505061506", 13}, {'E', "605061505", 14}, {'F', "506061505", 15},
    {'G', "505051606", 16}, {'H', "605051605", 17}, {'I', "506051605", 18}, {'J', "505061605", 19},
    {'K', "605050516", 20}, {'L', "506050516", 21}, {'M', "606050515", 22}, {'N', "505060516", 23},
    {'O', "605060515", 24}, {'P', "506060515", 25}, {'Q', "505050616", 26}, {'R', "605050615", 27},
    {'S', "506050615", 28}, {'T', "505060615", 29}, {'U', "615050506", 30}, {'V', "516050506", 31},
    {'W', "616050505", 32}, {'X', "515060506", 33}, {'Y', "615060505", 34}, {'Z', "516060505", 35},
    {'-', "515050606", 36}, {'.', "615050605", 37}, {' ', "516050605", 38}, {'*', "515060605", 0},
    {'$', "515151505", 39}, {'/', "515150515", 40}, {'+', "515051515", 41}, {'%', "505151515", 42},
}};

constexpr std::size_t kStartStop = 39;   // the row of '*'
static_assert(kCode39Table[kStartStop].c == '*');

// Row of each byte, -1 where Code 39 has no data character. '*' is the start and
// stop character: inside the text a reader would take it for the end of the
// symbol, so it has no row here either.
constexpr auto kCode39Rows = [] {
    std::array<signed char, 256> rows{};
    rows.fill(-1);
    for (std::size_t i = 0; i < kCode39Table.size(); ++i)
        if (i != kStartStop)
            rows[static_cast<unsigned char>(kCode39Table[i].c)] = static_cast<signed char>(i);
    return rows;
}();

// The row of each check value 0..42 (value 0 is '0', never '*').
constexpr auto kCode39RowOfValue = [] {
    std::array<std::size_t, 43> rows{};
    for (std::size_t i = kCode39Table.size(); i-- > 0;)
        if (i != kStartStop)
            rows[static_cast<std::size_t>(kCode39Table[i].value)] = i;
    return rows;
}();

// Code 39 full ASCII: the one or two Code 39 characters standing for each code
// 0..127. ISO/IEC 16388, full ASCII table. Example: 'a' (97) = "+A".
constexpr std::array<std::string_view, 128> kCode39ExtTable = {
    "%U", "$A", "$B", "$C", "$D", "$E", "$F", "$G", "$H", "$I", "$J", "$K", "$L", "$M", "$N", "$O",
    "$P", "$Q", "$R", "$S", "$T", "$U", "$V", "$W", "$X", "$Y", "$Z", "%A", "%B", "%C", "%D", "%E",
    " ",  "/A", "/B", "/C", "/D", "/E", "/F", "/G", "/H", "/I", "/J", "/K", "/L", "/M", "/N", "/O",
    "0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "/Z", "%F", "%G", "%H", "%I", "%J",
    "%V", "A",  "B",  "C",  "D",  "E",  "F",  "G",  "H",  "I",  "J",  "K",  "L",  "M",  "N",  "O",
    "P",  "Q",  "R",  "S",  "T",  "U",  "V",  "W",  "X",  "Y",  "Z",  "%K", "%L", "%M", "%N", "%O",
    "%W", "+A", "+B", "+C", "+D", "+E", "+F", "+G", "+H", "+I", "+J", "+K", "+L", "+M", "+N", "+O",
    "+P", "+Q", "+R", "+S", "+T", "+U", "+V", "+W", "+X", "+Y", "+Z", "%P", "%Q", "%R", "%S", "%T",
};
static_assert(kCode39ExtTable['-'] == "/M" && kCode39ExtTable[127] == "%T");

} // namespace

std::string encodeCode39(std::string_view text, bool checksum, TfrBarcodeType type) {
    const std::string_view startStop = kCode39Table[kStartStop].elements;
    std::string p;
    p.reserve(10 * (text.size() + 3));
    p += startStop;
    p += '0';
    int sum = 0;
    for (char c : text) {
        const int row = kCode39Rows[static_cast<unsigned char>(c)];
        if (row < 0)
            refuseCharacter(type, c);
        p += kCode39Table[static_cast<std::size_t>(row)].elements;
        p += '0';
        sum = (sum + kCode39Table[static_cast<std::size_t>(row)].value) % 43;
    }
    if (checksum) {
        p += kCode39Table[kCode39RowOfValue[static_cast<std::size_t>(sum)]].elements;
        p += '0';
    }
    p += startStop;
    return p;
}

std::string encodeCode39Extended(std::string_view text, bool checksum) {
    std::string expansion;
    expansion.reserve(2 * text.size());
    for (char c : text) {
        const auto code = static_cast<unsigned char>(c);
        // Codes 128..255 (code page characters) have no full-ASCII form.
        if (code > 127)
            refuseCharacter(bcCode39Extended, c);
        expansion += kCode39ExtTable[code];
    }
    return encodeCode39(expansion, checksum, bcCode39Extended);
}

} // namespace mirel::barcode
