// Code 128 in code sets A, B and C, and EAN-128 (GS1-128: FNC1 after the start).

#include "barcode/Encoders.h"

#include <array>
#include <cassert>
#include <string>

namespace mirel::barcode {
namespace {

// Code 128 symbol characters by value 0..106 as element widths in modules, bar
// first: 102 FNC1, 103/104/105 start A/B/C, 106 the stop with its termination
// bar. ISO/IEC 15417. Example: 33 (set A/B 'A') = "111323".
constexpr std::array<std::string_view, 107> kCode128Widths = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312",
    "132212", "221213", "221312", "231212", "112232", "122132", "122231", "113222",
    "123122", "123221", "223211", "221132", "221231", "213212", "223112", "312131",
    "311222", "321122", "321221", "312212", "322112", "322211", "212123", "212321",
    "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121",
    "313121", "211331", "231131", "213113", "213311", "213131", "311123", "311321",
    "331121", "312113", "312311", "332111", "314111", "221411", "431111", "111224",
    "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112",
    "421211", "212141", "214121", "412121", "111143", "111341", "131141", "114113",
    "114311", "411113", "411311", "113141", "114131", "311141", "411131", "211412",
    "211214", "211232", "2331112",
};

constexpr int kFnc1 = 102;
constexpr int kStartA = 103;
constexpr int kStartB = 104;
constexpr int kStartC = 105;
constexpr int kStop = 106;

// The same characters as element codes, worked out once at compile time. Every
// character but the stop has an even number of elements, so a symbol's codes are
// the concatenation of its characters' codes.
struct Elements {
    std::array<char, 8> codes{};
    std::size_t size = 0;
    constexpr std::string_view view() const { return {codes.data(), size}; }
};

constexpr auto kCode128Elements = [] {
    std::array<Elements, kCode128Widths.size()> out{};
    for (std::size_t v = 0; v < kCode128Widths.size(); ++v) {
        const std::string_view w = kCode128Widths[v];
        out[v].size = w.size();
        for (std::size_t i = 0; i < w.size(); ++i)
            out[v].codes[i] = static_cast<char>((i % 2 == 0 ? '5' : '0') + (w[i] - '1'));
    }
    return out;
}();
static_assert(kCode128Elements[kStartA].view() == "605351");

// Set A holds space to underscore (codes 32..95) as values 0..63, set B space to
// tilde (32..126) as values 0..94; the control characters and DEL have no value
// here. A character outside the set is refused.
int valueInSet(TfrBarcodeType type, char c) {
    const auto code = static_cast<unsigned char>(c);
    const bool setA = type == bcCode128A || type == bcCodeEAN128A;
    const unsigned last = setA ? 95 : 126;
    if (code < 32 || code > last)
        refuseCharacter(type, c);
    return code - 32;
}

} // namespace

std::string encodeCode128(std::string& text, TfrBarcodeType type, bool checksum, TfrCheckSumMethod method) {
    int start;
    switch (type) {
    case bcCode128A: case bcCodeEAN128A: start = kStartA; break;
    case bcCode128B: case bcCodeEAN128B: start = kStartB; break;
    case bcCode128C: case bcCodeEAN128C: start = kStartC; break;
    default:
        throw BarcodeError(std::string(kGeneratorClassName) + ": wrong BarcodeType in Code_128");
    }
    const bool ean = type == bcCodeEAN128A || type == bcCodeEAN128B || type == bcCodeEAN128C;

    std::string p;
    p.reserve(6 * (text.size() + 5) + 7);
    // The check value is the start value plus each following character's value
    // times its position, modulo 103; it is kept reduced as it grows.
    int sum = start;
    int weight = 1;
    const auto put = [&](int value) {
        p += kCode128Elements[value].view();
        sum = static_cast<int>((sum + static_cast<long long>(value) * weight) % 103);
        weight = weight == 102 ? 0 : weight + 1;   // weights matter modulo 103 only
    };
    p += kCode128Elements[start].view();
    if (ean) {
        put(kFnc1);
        // The modulo-10 digit of the data is appended and encoded with it.
        if (checksum)
            text = AppendCheckDigit(text, method);
    }
    if (start == kStartC) {
        if (text.size() % 2 != 0)
            text.insert(text.begin(), '0');
        for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
            assert(text[i] >= '0' && text[i] <= '9' && text[i + 1] >= '0' && text[i + 1] <= '9');
            put((text[i] - '0') * 10 + (text[i + 1] - '0'));
        }
    } else {
        for (char c : text)
            put(valueInSet(type, c));
    }
    p += kCode128Elements[sum].view();
    p += kCode128Elements[kStop].view();
    return p;
}

} // namespace mirel::barcode
