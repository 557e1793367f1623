// Exact element patterns, widths and shown texts. Every expectation is worked out
// by hand from the symbology tables (EAN/UPC sets A, B, C; Code 128 widths; the
// Code 39, Code 93, Codabar, 2-of-5, MSI and PostNet tables) and the check digit
// rules of each standard.

#include "barcode/Encoders.h"
#include "barcode/TfrBarcode.h"
#include "core/Numbers.h"

#include <gtest/gtest.h>

#include <functional>

namespace mirel::barcode {
namespace {

struct PatternCase {
    TfrBarcodeType type;
    const char* text;
    bool checksum;
    const char* shown;
    int width;
    const char* pattern;   // nullptr: the width and shown text are the point
};

// Codes of the pieces, named as the tables write them.
#define EAN_GUARD "505"
#define EAN_CENTRE "05050"

constexpr PatternCase kRetailCases[] = {
    // EAN-13 6 901234 567892: parity row 6 ABBBAA for 9 0 1 2 3 4, then set C.
    {bcCodeEAN13, "690123456789", true, "6901234567892", 95,
     EAN_GUARD "2506" "0517" "0616" "1606" "0805" "0526" EAN_CENTRE "5170" "5053" "5251" "5152" "7051" "6061" EAN_GUARD},
    {bcCodeEAN13, "", false, "0000000000000", 95,
     EAN_GUARD "2605" "2605" "2605" "2605" "2605" "2605" EAN_CENTRE "7150" "7150" "7150" "7150" "7150" "7150" EAN_GUARD},
    // The barcode object's sample text: padded to twelve digits, check digit 4.
    {bcCodeEAN13, "12345678", true, "0000123456784", 95, nullptr},
    // Cut to 13 digits.
    {bcCodeEAN13, "12345678901234", false, "1234567890123", 95, nullptr},
    // EAN-8 encodes 1234567 and its check digit 0, but shows the text as given.
    {bcCodeEAN8, "1234567", true, "1234567", 67,
     EAN_GUARD "1615" "1516" "0805" "0526" EAN_CENTRE "5170" "5053" "5251" "7150" EAN_GUARD},
    {bcCodeEAN8, "123456789", false, "123456789", 67,
     EAN_GUARD "1615" "1516" "0805" "0526" EAN_CENTRE "5170" "5053" "5251" "5152" EAN_GUARD},
    {bcCodeUPC_A, "036000291452", true, "036000291452", 95,
     EAN_GUARD "2605" "0805" "0508" "2605" "2605" "2605" EAN_CENTRE "6061" "7051" "6160" "5071" "5170" "6061" EAN_GUARD},
    {bcCodeUPC_A, "03600029145", true, "003600029143", 95, nullptr},
    // UPC-E 012345: UPC-A 0 00123 00005, check digit 7, parity EoEoEo.
    {bcCodeUPC_E0, "123456", true, "0123457", 51,
     EAN_GUARD "0517" "1615" "1606" "0805" "1705" "0625" "050505"},
    // UPC-E 425261 stands for UPC-A 0 42100 00526, check digit 4 (over the six
    // digits alone it would be 0): parity EoEEoo.
    {bcCodeUPC_E0, "4252610", true, "4252614", 51,
     EAN_GUARD "1705" "1516" "0715" "1606" "0508" "1615" "050505"},
    // Without Checksum the seventh digit is shown as given; the parity still
    // carries the real check digit.
    {bcCodeUPC_E0, "4252610", false, "4252610", 51,
     EAN_GUARD "1705" "1516" "0715" "1606" "0508" "1615" "050505"},
    // Number system 1: UPC-A 1 42100 00526, check digit 1, parity EEoEoo with
    // the sets swapped.
    {bcCodeUPC_E1, "4252610", true, "4252611", 51,
     EAN_GUARD "0526" "1516" "0715" "1516" "3505" "0616" "050505"},
    // Add-ons: 12 mod 4 = 0 takes both digits from set A; check digit
    // 2 x 3 + 1 x 9 = 15 -> 5, shown only.
    {bcCodeUPC_Supp2, "12", true, "125", 20, "506" "1615" "05" "1516"},
    {bcCodeUPC_Supp2, "7", false, "07", 20, "506" "0517" "05" "1525"},   // 7 mod 4 = 3: EE
    // 3 x (5 + 4 + 5) + 9 x (2 + 9) = 141 -> 1: parity EoEoo.
    {bcCodeUPC_Supp5, "52495", true, "524951", 47,
     "506" "0715" "05" "1516" "05" "1705" "05" "2506" "05" "0625"},
};

constexpr PatternCase kCode128Cases[] = {
    // Start B 104 + 'H' 40 x 1 + 'i' 73 x 2 = 290 -> check 84.
    {bcCode128B, "Hi", false, "Hi", 57, "605153" "625052" "536051" "518051" "6270506"},
    // Start B 104 + ',' 12 = 116 -> check 13.
    {bcCode128B, ",", false, ",", 46, "605153" "506171" "516071" "6270506"},
    // Start A 103 + 'A' 33 + '_' 63 x 2 = 262 -> check 56.
    {bcCode128A, "A_", false, "A_", 57, "605351" "505262" "505163" "725060" "6270506"},
    // Odd length: a leading 0; 105 + 1 + 23 x 2 + 45 x 3 = 287 -> check 81.
    {bcCode128C, "12345", false, "012345", 68, "605171" "616061" "706070" "507062" "515081" "6270506"},
    // FNC1, data 1234 with its check digit 8, padded: 105 + 102 + 1 x 2 + 23 x 3
    // + 48 x 4 = 470 -> check 58.
    {bcCodeEAN128C, "1234", true, "012348", 79, "605171" "805070" "616061" "706070" "707060" "706250" "6270506"},
    {bcCodeEAN128B, "AB", false, "AB", 68, nullptr},
    {bcCode128B, "", false, "", 35, nullptr},
};

constexpr PatternCase kIndustrialCases[] = {
    {bcCode39, "ABC", false, "ABC", 64, nullptr},
    // Check character: 'A' has value 10, 10 mod 43 = 10 -> 'A'.
    {bcCode39, "A", true, "A", 51, "515060605" "0" "605051506" "0" "605051506" "0" "515060605"},
    {bcCode39, "", false, "", 25, "5150606050515060605"},
    // 1 + 2 + ... + 8 = 36 -> '-'.
    {bcCode39, "12345678", true, "12345678", 142, nullptr},
    // Full ASCII: "abc" is +A+B+C.
    {bcCode39Extended, "abc", false, "abc", 103,
     "515060605" "0" "515051515" "0" "605051506" "0" "515051515" "0" "506051506" "0" "515051515" "0" "606051505" "0"
     "515060605"},
    {bcCode39Extended, "-", false, "-", 51, "515060605" "0" "515150515" "0" "606050515" "0" "515060605"},
    {bcCode93, "TEST93", false, "TEST93", 91, nullptr},
    // "a" is (+)A: values 46, 10; C = 10 + 46 x 2 = 102 -> 8; K = 10 x 2 + 46 x 3
    // + 102 = 260 -> 25.
    {bcCode93Extended, "a", false, "a", 55, "505080" "516150" "605052" "525150" "525060" "5050805"},
    {bcCode_2_5_interleaved, "1234", false, "1234", 36, "5050" "6051505061" "6060515051" "605"},
    // An odd count gets a leading 0.
    {bcCode_2_5_interleaved, "123", false, "0123", 36, "5050" "5150606051" "5161505060" "605"},
    {bcCode_2_5_industrial, "12", false, "12", 40, "606050" "6050505060" "5060505060" "605060"},
    // Ratio raised to 2.25: wide 2, the start and stop bars 3 modules.
    {bcCode_2_5_matrix, "1", false, "1", 23, "70505060506070505"},
    {bcCodeCodabar, "12", false, "12", 41, "5061515" "0" "5050615" "0" "5051506" "0" "5151506"},
    {bcCodeCodabar, "-$:/.+0", false, "-$:/.+0", 95, nullptr},
    // MSI check digit, doubling from the rightmost digit: 1234 -> 4.
    {bcCodeMSI, "1234", false, "1234", 67, "60" "51515160" "51516051" "51516060" "51605151" "51605151" "515"},
    // 80523: 3, 5 and 8 doubled -> 6 + 1 + 7 (digit sums), plus 2 + 0: 16 -> 4.
    {bcCodeMSI, "80523", false, "80523", 79,
     "60" "60515151" "51515151" "51605160" "51516051" "51516060" "51605151" "515"},
    {bcCodePostNet, "1", false, "1", 19, "51A1A1A151515"},
    {bcCodePostNet, "90", true, "90", 34, "51" "51A151A1A1" "5151A1A1A1" "5"},
};

void checkCases(const PatternCase* begin, const PatternCase* end) {
    for (const PatternCase* c = begin; c != end; ++c) {
        TfrBarcode symbol;
        symbol.SetTyp(c->type);
        symbol.SetText(c->text);
        symbol.SetChecksum(c->checksum);
        const std::string pattern = symbol.MakePattern();
        const std::string what = std::string(typeInfo(c->type).name) + " \"" + c->text + "\"";
        EXPECT_EQ(symbol.Text(), c->shown) << what;
        EXPECT_EQ(symbol.Width(), c->width) << what;
        if (c->pattern) {
            EXPECT_EQ(pattern, c->pattern) << what;
        }
    }
}

TEST(Patterns, EanAndUpc) { checkCases(std::begin(kRetailCases), std::end(kRetailCases)); }
TEST(Patterns, Code128AndEan128) { checkCases(std::begin(kCode128Cases), std::end(kCode128Cases)); }
TEST(Patterns, Code39Code93TwoOfFiveCodabarMsiPostNet) {
    checkCases(std::begin(kIndustrialCases), std::end(kIndustrialCases));
}

TEST(Patterns, CheckCharactersAtTheEndOfTheSymbol) {
    // Code 39 "12345678": check character '-' (36) before the stop.
    TfrBarcode code39;
    code39.SetTyp(bcCode39);
    code39.SetText("12345678");
    code39.SetChecksum(true);
    const std::string p39 = code39.MakePattern();
    EXPECT_EQ(p39.substr(p39.size() - 19), "515050606" "0" "515060605");
    // Code 93 "TEST93": C '+' (41) and K '6' (6), then stop and termination bar.
    TfrBarcode code93;
    code93.SetTyp(bcCode93);
    code93.SetText("TEST93");
    const std::string p93 = code93.MakePattern();
    EXPECT_EQ(p93.substr(p93.size() - 19), "507060" "515250" "5050805");
}

struct ErrorCase {
    TfrBarcodeType type;
    const char* text;
    bool checksum;
    TfrCheckSumMethod method;
    const char* message;
    const char* textAfter;
};

constexpr ErrorCase kErrorCases[] = {
    // A check digit method of csmNone leaves the data a digit short.
    {bcCodeEAN13, "123", true, csmNone, "Invalid Text len (EAN13)", "123"},
    {bcCodeEAN8, "123", true, csmNone, "Invalid Text len (EAN8)", "123"},
    {bcCodeUPC_A, "123", true, csmNone, "Invalid Text len (UPC_A)", "00000000012"},
    // EAN-128 A/B: the modulo-10 digit over letters.
    {bcCodeEAN128A, "AB", true, csmModulo10, "'A' is not a valid integer value", "AB"},
    {bcCodeEAN128B, "12x", true, csmModulo10, "'x' is not a valid integer value", "12x"},
    {bcCode93, "abc", false, csmModulo10, "TfrBarcode:Code93 bad Data <abc>", "abc"},
    // The shift characters are no data characters.
    {bcCode93, "A[B", false, csmModulo10, "TfrBarcode:Code93 bad Data <A[B>", "A[B"},
    {bcCode93, "]", false, csmModulo10, "TfrBarcode:Code93 bad Data <]>", "]"},
    {bcCode93, "{", false, csmModulo10, "TfrBarcode:Code93 bad Data <{>", "{"},
    {bcCode93, "}", false, csmModulo10, "TfrBarcode:Code93 bad Data <}>", "}"},
    {bcCode93Extended, "a\xD6\xD0", false, csmModulo10, "TfrBarcode:Code93 bad Data <a\xD6\xD0>", "a\xD6\xD0"},
    // Characters a symbology cannot hold are refused, naming the character.
    {bcCode39, "abc", false, csmModulo10, "TfrBarcode:Code39 cannot encode 'a' (code 97)", "abc"},
    {bcCode39, "A*B", true, csmModulo10, "TfrBarcode:Code39 cannot encode '*' (code 42)", "A*B"},
    {bcCode39, "A,B", false, csmModulo10, "TfrBarcode:Code39 cannot encode ',' (code 44)", "A,B"},
    {bcCode39Extended, "A\xD6", false, csmModulo10, "TfrBarcode:Code39 Extended cannot encode the character code 214",
     "A\xD6"},
    {bcCode128A, "ab", false, csmModulo10, "TfrBarcode:Code128A cannot encode 'a' (code 97)", "ab"},
    {bcCode128A, "A\tB", false, csmModulo10, "TfrBarcode:Code128A cannot encode the character code 9", "A\tB"},
    {bcCode128B, "A\x7F", false, csmModulo10, "TfrBarcode:Code128B cannot encode the character code 127", "A\x7F"},
    {bcCode128B, "\xB0", false, csmModulo10, "TfrBarcode:Code128B cannot encode the character code 176", "\xB0"},
    {bcCodeEAN128A, "a", false, csmModulo10, "TfrBarcode:EAN128A cannot encode 'a' (code 97)", "a"},
    {bcCodeCodabar, "abc", false, csmModulo10, "TfrBarcode:Codebar cannot encode 'a' (code 97)", "abc"},
    {bcCodeCodabar, "12E", false, csmModulo10, "TfrBarcode:Codebar cannot encode 'E' (code 69)", "12E"},
    {bcCodeCodabar, "1 2", false, csmModulo10, "TfrBarcode:Codebar cannot encode the blank (code 32)", "1 2"},
    // A to D are start and stop characters only.
    {bcCodeCodabar, "1A2", false, csmModulo10, "TfrBarcode:Codebar cannot encode 'A' (code 65)", "1A2"},
    {bcCodeCodabar, "D", false, csmModulo10, "TfrBarcode:Codebar cannot encode 'D' (code 68)", "D"},
};

TEST(Patterns, TextsTheSymbologyCannotCarryAreRefused) {
    for (const ErrorCase& c : kErrorCases) {
        TfrBarcode symbol;
        symbol.SetTyp(c.type);
        symbol.SetText(c.text);
        symbol.SetChecksum(c.checksum);
        symbol.SetCheckSumMethod(c.method);
        std::string message = "(no error)";
        try {
            symbol.MakePattern();
        } catch (const std::exception& e) {
            message = e.what();
        }
        EXPECT_EQ(message, c.message) << typeInfo(c.type).name << " \"" << c.text << "\"";
        EXPECT_EQ(symbol.Text(), c.textAfter) << typeInfo(c.type).name;
    }
}

TEST(Patterns, TheCheckDigitOverLettersIsAConversionError) {
    TfrBarcode symbol;
    symbol.SetTyp(bcCodeEAN128B);
    symbol.SetText("A1");
    symbol.SetChecksum(true);
    EXPECT_THROW(symbol.MakePattern(), core::ConversionError);
}

TEST(Patterns, Code128EncoderRefusesOtherTypes) {
    std::string text = "1";
    try {
        encodeCode128(text, bcCode39, false, csmModulo10);
        FAIL();
    } catch (const BarcodeError& e) {
        EXPECT_STREQ(e.what(), "TfrBarcode: wrong BarcodeType in Code_128");
    }
}

TEST(CheckDigits, FitTextModulo10AndAddOnDigits) {
    EXPECT_EQ(FitText("123", 5), "00123");
    EXPECT_EQ(FitText("1234567", 5), "12345");
    EXPECT_EQ(FitText("", 2), "00");
    EXPECT_EQ(FitText("12", 2), "12");

    struct Case {
        const char* digits;
        int modulo10;
    };
    // Weights 3, 1, 3, ... from the right.
    const Case cases[] = {{"690123456789", 2}, {"1234567", 0}, {"00360002914", 3}, {"1234", 8},
                          {"04210000526", 4}, {"", 0}, {"5", 5}};
    for (const Case& c : cases)
        EXPECT_EQ(Modulo10Digit(c.digits), c.modulo10) << c.digits;
    EXPECT_EQ(AppendCheckDigit("1234", csmModulo10), "12348");
    EXPECT_EQ(AppendCheckDigit("1234", csmNone), "1234");

    // Weights 3, 9, 3, ... from the right, no complement.
    EXPECT_EQ(AddOnCheckDigit("12"), 5);
    EXPECT_EQ(AddOnCheckDigit("52495"), 1);
    EXPECT_EQ(AddOnCheckDigit("00000"), 0);

    // UPC-E: over the expanded UPC-A number for each position of the zeros.
    struct UpcE {
        const char* six;
        TfrBarcodeType type;
        int digit;
    };
    const UpcE upcE[] = {
        {"425261", bcCodeUPC_E0, 4},   // 0 42100 00526
        {"425261", bcCodeUPC_E1, 1},   // 1 42100 00526
        {"123453", bcCodeUPC_E0, 1},   // 0 12300 00045
        {"123454", bcCodeUPC_E0, 3},   // 0 12340 00005
        {"123457", bcCodeUPC_E0, 2},   // 0 12345 00007
    };
    for (const UpcE& c : upcE)
        EXPECT_EQ(upcECheckDigit(c.six, c.type), c.digit) << c.six;

    // MSI: Luhn from the right, exact on long texts.
    EXPECT_EQ(msiCheckDigit("1234"), 4);
    EXPECT_EQ(msiCheckDigit("80523"), 4);
    EXPECT_EQ(msiCheckDigit("999999999999999999999999999999"), 0);
    EXPECT_EQ(msiCheckDigit("1234567890123456789012345678901234567890"), 2);
}

TEST(CheckDigits, WidthsToElements) {
    // Bar 2, space 1, bar 1, space 4, bar 1, space 2.
    EXPECT_EQ(WidthsToElements("211412"), "605351");
    EXPECT_EQ(WidthsToElements("2331112"), "6270506");
    EXPECT_EQ(WidthsToElements(""), "");
    EXPECT_THROW(WidthsToElements("2151"), BarcodeError);
}

} // namespace
} // namespace mirel::barcode
