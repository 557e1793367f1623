// High-level encoding: text, byte and numeric compaction, the greedy run tests,
// sub-mode switching and the backslash escapes. Expected codewords are worked out
// by hand from the text compaction table of ISO/IEC 15438 (values in comments are
// the text values, paired as 30 * first + second, an odd one completed with 29);
// base-900 groups were computed with arbitrary-precision arithmetic.

#include "pdf417/E2DBarcodeError.h"
#include "pdf417/Pdf417Symbol.h"

#include "core/Numbers.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mirel::pdf417 {
namespace {

std::vector<int> dataCodewords(const std::string& code) {
    Pdf417Symbol symbol;
    symbol.SetCode(code);
    symbol.EncodeCode();
    const auto buffer = symbol.CodewordBuffer();
    return {buffer.begin() + 1, buffer.begin() + symbol.CodewordCount()};
}

std::string bytesFrom(int first, int count) {
    std::string s;
    for (int i = 0; i < count; ++i)
        s += static_cast<char>(first + i);
    return s;
}

struct CodewordCase {
    const char* note;
    std::string code;
    std::vector<int> codewords;
};

TEST(Pdf417Encoding, DataCodewords) {
    const std::string hundredDigits = std::string(50, '0') + "12345678901234567890123456789012345678901234567890";
    const CodewordCase cases[] = {
        {"empty text: no data", "", {}},
        {"one letter: the run tests never see the last character", "A", {901, 65}},
        {"two capitals: text without latch", "AB", {1}},
        {"two small letters: ll 27, a 0, b 1 and padding", "ab", {810, 59}},
        {"14 digits: only 13 seen, Mixed text (ml 28, digits, padding)", "12345678901234",
         {841, 63, 125, 187, 249, 1, 63, 149}},
        {"15 digits: numeric, 1 and the digits in base 900", "123456789012345", {902, 1, 812, 292, 890, 124, 745}},
        {"leading zeros kept by the leading 1", "000213298174000", {902, 1, 624, 434, 632, 282, 200}},
        {"100 digits: groups of 44, 44 and 12", hundredDigits,
         {902, 437, 111, 716, 132, 444, 118, 179, 92, 496, 847, 486, 144, 523, 411, 100,
          437, 111, 759, 773, 605, 384, 586, 33, 85, 157, 860, 840, 805, 328, 478, 2, 808, 3, 153, 190}},
        {"12 bytes: 924 and two groups of five", bytesFrom(0x80, 12),
         {924, 215, 318, 502, 193, 33, 225, 403, 472, 113, 519}},
        {"13 bytes: 901, two groups and one byte", bytesFrom(0x80, 13),
         {901, 215, 318, 502, 193, 33, 225, 403, 472, 113, 519, 140}},
        {"text after a leading byte segment latches with 900", "\x80" "ABCDEFG", {901, 128, 900, 1, 63, 125, 209}},
        {"text after a numeric segment latches with 900", "123456789012345AB",
         {902, 1, 812, 292, 890, 124, 745, 900, 1}},
        {"text stops in front of a byte of 128 or more", "ABCDEF\xD6\xD0", {1, 63, 125, 901, 214, 208}},
        {"two text characters before bytes are not a text run", "AB\xD6\xD0", {901, 65, 66, 214, 208}},
        {"GB2312 Chinese: one byte segment", mirel::test::ansi("中文"), {901, 214, 208, 206, 196}},
        // Sub-mode switching, one case per way between sub-modes. The shift test
        // looks at the character after the next one.
        {"Lower to Alpha by shift: 27 0 | 27 1 | 2 3", "aBcd", {810, 811, 63}},
        {"shift decided by the character after the next: 27 0 | 27 1 | 27 2 | 3 29", "aBCd", {810, 811, 812, 119}},
        {"Lower to Alpha by latch 28 28, back by 27: 27 0 | 28 28 | 1 2 | 3 27 | 4 29", "aBCDe",
         {810, 868, 32, 117, 149}},
        {"Alpha to Punctuation by shift at the end: 0 29 | 0 1", "A;B", {29, 1}},
        {"two shifts: 0 29 | 0 29 | 0 1", "A;;B", {29, 29, 1}},
        {"Alpha to Punctuation by latch 28 25, back by 29: 0 28 | 25 0 | 0 0 | 29 1", "A;;;B",
         {28, 750, 0, 871}},
        {"Alpha to Mixed 28, Mixed to Lower 27: 0 28 | 1 27 | 1 29", "A1b", {28, 57, 59}},
        {"Mixed to Punctuation by shift: 28 1 | 29 0 | 2 29", "1;2", {841, 870, 89}},
        {"Mixed to Punctuation by latch 25, Punctuation to Lower 29 27", "1;;a", {841, 750, 29, 810}},
        {"Lower to Punctuation by latch 28 25, Punctuation to Mixed 29 28", "a;;1", {810, 865, 0, 898, 59}},
        {"Mixed to Alpha 28, Alpha to Lower 27: 28 1 | 28 0 | 27 1", "1Ab", {841, 840, 811}},
        {"Lower to Mixed 28: 27 0 | 28 1", "a1", {810, 841}},
        {"Lower to Punctuation by shift 29: 27 0 | 29 0 | 1 29", "a;b", {810, 870, 59}},
        // Escapes inside text.
        {"two backslashes: ps 29 and backslash 5", "\\\\", {875}},
        {"backslash as the last character", "AB\\", {1, 875}},
        {"backslash before another letter, which is read on its own: 0 29 | 5 27 | 16 29", "A\\q",
         {29, 177, 509}},
        {"decimal and hexadecimal character escapes: A and B", "\\065\\x42", {1}},
        {"a short decimal escape at the end: HT by latch to Mixed", "A\\9", {28, 389}},
        {"literal codeword after an even number of values", "AB\\C900CD", {1, 900, 63}},
        {"literal codeword after an odd number of values: padding first", "ABC\\C900D", {1, 89, 900, 119}},
        {"literal codeword above 928 is stored as given", "\\C999", {999}},
        {"literal codeword that is not a number is 0", "\\Cab1", {0}},
        {"GLI 0..899", "\\G000003", {927, 3}},
        {"GLI 900..810899", "\\G001000", {926, 0, 100}},
        {"GLI 810900..811799", "\\G810900", {925, 0}},
        {"GLI with a short number at the end", "\\G12", {927, 12}},
        // Escaped characters text compaction has no value for go in as a byte shift.
        {"escaped byte 200: byte shift 913", "\\200", {913, 200}},
        {"escaped byte after an odd value: padding, 913, the byte", "A\\xFF", {29, 913, 255}},
        {"escaped control code", "\\x01", {913, 1}},
        {"padding in Punctuation latches to Alpha: 0 28 | 25 0 | 0 29, 913 200, then 29 0 | 29 0 | 1 29",
         "A;;\\200;;B", {28, 750, 29, 913, 200, 870, 870, 59}},
    };
    for (const CodewordCase& c : cases)
        EXPECT_EQ(dataCodewords(c.code), c.codewords) << c.note;
}

struct RunCase {
    const char* code;
    int pos;
    bool numeric;
    bool text;
    int byteRun;
};

TEST(Pdf417Encoding, RunTestsNeverExamineTheLastCharacter) {
    const RunCase cases[] = {
        {"12345678901234", 0, false, true, 0},     // 13 digits before the last
        {"123456789012345", 0, true, true, 0},
        {"123456789012345", 1, false, true, 0},
        {"ABCDE", 0, false, true, 0},              // reaches the last but one
        {"ABCDE", 3, false, true, 0},
        {"ABCDE", 4, false, false, 1},             // only the last: a byte run
        {"ABCDE\x80\x80", 0, false, false, 7},     // five, then a byte
        {"ABCDEFG\x80", 0, false, true, 0},        // six counted
        {"\x80\x80" "ABCDEFGH", 0, false, false, 2},
        {"\x80\x80" "A", 0, false, false, 3},
    };
    for (const RunCase& c : cases) {
        Pdf417Symbol symbol;
        symbol.SetCode(c.code);
        EXPECT_EQ(symbol.NumericRunAt(c.pos), c.numeric) << c.code << " @" << c.pos;
        EXPECT_EQ(symbol.TextRunAt(c.pos), c.text) << c.code << " @" << c.pos;
        EXPECT_EQ(symbol.ByteRunLength(c.pos), c.byteRun) << c.code << " @" << c.pos;
    }
}

TEST(Pdf417Encoding, ConvertToBase900WorksOnTheDigitString) {
    const struct {
        const char* digits;
        std::vector<int> base900;
    } cases[] = {
        {"0", {}},
        {"000", {}},
        {"899", {899}},
        {"900", {1, 0}},
        {"123456789", {152, 374, 189}},   // nine digits: one long division
        {"100000000000000000000000000000000000000000000", {437, 111, 716, 132, 444, 118, 179, 92, 496, 847, 486, 144, 523, 411, 100}},
        {"999999999999999999999999999999999999999999999",
         {4, 771, 217, 861, 424, 841, 281, 891, 25, 469, 375, 361, 545, 734, 511, 99}},
    };
    for (const auto& c : cases) {
        std::array<std::uint16_t, kMaxBase900Digits> out{};
        const int n = convertToBase900(c.digits, out);
        EXPECT_EQ(std::vector<int>(out.begin(), out.begin() + n), c.base900) << c.digits;
    }
}

TEST(Pdf417Encoding, GliOutOfRangeAndNotANumber) {
    for (const char* code : {"\\G811800", "\\G999999", "\\G-00001"}) {
        Pdf417Symbol symbol;
        symbol.SetCode(code);
        try {
            symbol.EncodeCode();
            ADD_FAILURE() << code;
        } catch (const E2DBarcodeError& e) {
            EXPECT_STREQ(e.what(), "GLI value out of range") << code;
        }
    }
    Pdf417Symbol symbol;
    symbol.SetCode("AB\\G12345x");
    try {
        symbol.EncodeCode();
        ADD_FAILURE();
    } catch (const core::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'12345x' is not a valid integer value");
    }
}

TEST(Pdf417Encoding, EscapeBeyondAByteIsRefused) {
    Pdf417Symbol symbol;
    symbol.SetCode("AB\\256");
    try {
        symbol.EncodeCode();
        ADD_FAILURE();
    } catch (const E2DBarcodeError& e) {
        EXPECT_STREQ(e.what(), "Character escape out of range");
    }
}

TEST(Pdf417Encoding, DataBeyondTheBufferIsRefused) {
    // 901, 539 groups of five and four single bytes: 2700 data codewords fill the
    // buffer exactly; one byte more, or one text value more, does not fit.
    Pdf417Symbol full;
    full.SetCode(std::string(3238, '\x80'));
    full.EncodeCode();
    EXPECT_EQ(full.CodewordCount(), kCodewordBufferSize);
    EXPECT_THROW(full.GenerateSymbol(), E2DBarcodeError);

    for (const std::string& code : {std::string(3239, '\x80'), std::string(5401, 'A'), std::string(100000, '7')}) {
        Pdf417Symbol symbol;
        symbol.SetCode(code);
        try {
            symbol.EncodeCode();
            ADD_FAILURE() << code.size();
        } catch (const E2DBarcodeError& e) {
            EXPECT_STREQ(e.what(), "Code too large for barcode");
        }
    }
    Pdf417Symbol text;
    text.SetCode(std::string(5400, 'A'));
    text.EncodeCode();
    EXPECT_EQ(text.CodewordCount(), kCodewordBufferSize);
}

} // namespace
} // namespace mirel::pdf417
