// Code 93 and its full-ASCII form.

#include "barcode/Encoders.h"

#include <array>
#include <string>

namespace mirel::barcode {
namespace {

struct Code93Char {
    char c;
    std::string_view widths;   // six element widths in modules, bar first
};

// Code 93 characters by value 0..46; the four shift characters ($) (%) (/) (+)
// are written '[' ']' '{' '}'. AIM USS Code 93. Example: 'A' (10) = "211113".
constexpr std::array<Code93Char, 47> kCode93Table = {{
    {'0', "131112"}, {'1', "111213"}, {'2', "111312"}, {'3', "111411"},
    {'4', "121113"}, {'5', "121212"}, {'6', "121311"}, {'7', "111114"},
    {'8', "131211"}, {'9', "141111"}, {'A', "211113"}, {'B', "211212"},
    {'C', "211311"}, {'D', "221112"}, {'E', "221211"}, {'F', "231111"},
    {'G', "112113"}, {'H', "112212"}, {'I', "112311"}, {'J', "122112"},
    {'K', "132111"}, {'L', "111123"}, {'M', "111222"}, {'N', "111321"},
    {'O', "121122"}, {'P', "131121"}, {'Q', "212112"}, {'R', "212211"},
    {'S', "211122"}, {'T', "211221"}, {'U', "221121"}, {'V', "222111"},
    {'W', "112122"}, {'X', "112221"}, {'Y', "122121"}, {'Z', "123111"},
    {'-', "121131"}, {'.', "311112"}, {' ', "311211"}, {'$', "321111"},
    {'/', "112131"}, {'+', "113121"}, {'%', "211131"}, {'[', "121221"},
    {']', "312111"}, {'{', "311121"}, {'}', "122211"},
}};

constexpr int kDataValues = 43;   // 0..42 are data characters, 43..46 the shifts
// Start "111141"; stop "111141" with the one-module termination bar, as element codes.
constexpr std::string_view kStart = "505080";
constexpr std::string_view kStopAndTermination = "5050805";

constexpr char toElement(std::size_t position, char width) {
    return static_cast<char>((position % 2 == 0 ? '5' : '0') + (width - '1'));
}

// Each character has six elements, so a symbol's element codes are the
// concatenation of its characters' codes.
constexpr auto kCode93Elements = [] {
    std::array<std::array<char, 6>, kCode93Table.size()> out{};
    for (std::size_t v = 0; v < kCode93Table.size(); ++v)
        for (std::size_t i = 0; i < 6; ++i)
            out[v][i] = toElement(i, kCode93Table[v].widths[i]);
    return out;
}();

// The value of each data character, -1 for the rest. The shift characters are
// not data: a text holding '[' would otherwise scan as a shifted letter.
constexpr auto kCode93Values = [] {
    std::array<signed char, 256> values{};
    values.fill(-1);
    for (int v = 0; v < kDataValues; ++v)
        values[static_cast<unsigned char>(kCode93Table[static_cast<std::size_t>(v)].c)] = static_cast<signed char>(v);
    return values;
}();

// Code 93 full ASCII: the same pairs as the Code 39 full-ASCII table, with the
// shift characters in place of '$', '%', '/' and '+'. AIM USS Code 93.
// Example: 'a' (97) = "}A", the (+) shift and 'A'.
constexpr std::array<std::string_view, 128> kCode93ExtTable = {
    "]U", "[A", "[B", "[C", "[D", "[E", "[F", "[G", "[H", "[I", "[J", "[K", "[L", "[M", "[N", "[O",
    "[P", "[Q", "[R", "[S", "[T", "[U", "[V", "[W", "[X", "[Y", "[Z", "]A", "]B", "]C", "]D", "]E",
    " ",  "{A", "{B", "{C", "{D", "{E", "{F", "{G", "{H", "{I", "{J", "{K", "{L", "{M", "{N", "{O",
    "0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "{Z", "]F", "]G", "]H", "]I", "]J",
    "]V", "A",  "B",  "C",  "D",  "E",  "F",  "G",  "H",  "I",  "J",  "K",  "L",  "M",  "N",  "O",
    "P",  "Q",  "R",  "S",  "T",  "U",  "V",  "W",  "X",  "Y",  "Z",  "]K", "]L", "]M", "]N", "]O",
    "]W", "}A", "}B", "}C", "}D", "}E", "}F", "}G", "}H", "}I", "}J", "}K", "}L", "}M", "}N", "}O",
    "}P", "}Q", "}R", "}S", "}T", "}U", "}V", "}W", "}X", "}Y", "}Z", "]P", "]Q", "]R", "]S", "]T",
};

constexpr int shiftValue(char c) {
    switch (c) {
    case '[': return 43;
    case ']': return 44;
    case '{': return 45;
    case '}': return 46;
    default: return kCode93Values[static_cast<unsigned char>(c)];
    }
}

[[noreturn]] void badData(std::string_view text) {
    throw BarcodeError(std::string(kGeneratorClassName) + ":Code93 bad Data <" + std::string(text) + ">");
}

// The symbol of a string of character values: start, the characters, the check
// characters C and K, the stop and the termination bar.
std::string encodeValues(const std::string& values) {
    std::string p;
    p.reserve(6 * (values.size() + 4) + 1);
    p += kStart;
    for (char v : values)
        p.append(kCode93Elements[static_cast<std::size_t>(v)].data(), 6);
    // From the last character to the first: C weights 1..20, K weights 2..15,
    // then each starts again from 1; C itself weighs 1 in K.
    int cSum = 0;
    int kSum = 0;
    int wC = 1;
    int wK = 2;
    for (auto it = values.rbegin(); it != values.rend(); ++it) {
        cSum = (cSum + *it * wC) % 47;
        kSum = (kSum + *it * wK) % 47;
        wC = wC == 20 ? 1 : wC + 1;
        wK = wK == 15 ? 1 : wK + 1;
    }
    kSum = (kSum + cSum) % 47;
    p.append(kCode93Elements[static_cast<std::size_t>(cSum)].data(), 6);
    p.append(kCode93Elements[static_cast<std::size_t>(kSum)].data(), 6);
    p += kStopAndTermination;
    return p;
}

} // namespace

std::string encodeCode93(std::string_view text) {
    std::string values(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int v = kCode93Values[static_cast<unsigned char>(text[i])];
        if (v < 0)
            badData(text);
        values[i] = static_cast<char>(v);
    }
    return encodeValues(values);
}

std::string encodeCode93Extended(std::string_view text) {
    std::string values;
    values.reserve(2 * text.size());
    for (char c : text) {
        const auto code = static_cast<unsigned char>(c);
        // Codes 128..255 (code page characters) have no full-ASCII form.
        if (code > 127)
            badData(text);
        for (char e : kCode93ExtTable[code])
            values += static_cast<char>(shiftValue(e));
    }
    return encodeValues(values);
}

} // namespace mirel::barcode
