// The 2-of-5 codes: interleaved, industrial and matrix.

#include "barcode/Encoders.h"

#include <array>
#include <cassert>
#include <string>

namespace mirel::barcode {
namespace {

// Five wide/narrow flags per digit, '1' wide; two of five are wide. The 2-of-5
// standard table. Example: 1 = "10001".
constexpr std::array<std::string_view, 10> kTwoOfFiveTable = {
    "00110", "10001", "01001", "11000", "00101", "10100", "01100", "00011", "10010", "01010"};

std::string_view flags(char c) {
    assert(c >= '0' && c <= '9');
    return kTwoOfFiveTable[static_cast<std::size_t>(c - '0')];
}

} // namespace

std::string encode2of5Interleaved(std::string& text) {
    // Digits go in pairs, the first of a pair in the bars and the second in the
    // spaces; an odd count gets a leading "0" so that no digit is lost.
    if (text.size() % 2 != 0)
        text.insert(text.begin(), '0');
    std::string p;
    p.reserve(5 * text.size() + 7);
    p += "5050";
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        const std::string_view bars = flags(text[i]);
        const std::string_view spaces = flags(text[i + 1]);
        for (std::size_t j = 0; j < 5; ++j) {
            p += bars[j] == '1' ? '6' : '5';
            p += spaces[j] == '1' ? '1' : '0';
        }
    }
    p += "605";
    return p;
}

std::string encode2of5Industrial(std::string_view text) {
    // Only the bars carry data; every bar is followed by a narrow space.
    std::string p;
    p.reserve(10 * text.size() + 12);
    p += "606050";
    for (char c : text)
        for (char f : flags(c))
            p += f == '1' ? "60" : "50";
    p += "605060";
    return p;
}

std::string encode2of5Matrix(std::string_view text) {
    // Bars and spaces both carry data, then a narrow space between digits.
    std::string p;
    p.reserve(6 * text.size() + 11);
    p += "705050";
    for (char c : text) {
        const std::string_view f = flags(c);
        for (std::size_t j = 0; j < 5; ++j) {
            const bool wide = f[j] == '1';
            p += j % 2 == 0 ? (wide ? '6' : '5') : (wide ? '1' : '0');
        }
        p += '0';
    }
    p += "70505";
    return p;
}

} // namespace mirel::barcode
