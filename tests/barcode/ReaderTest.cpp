// A real reader: symbols drawn through the barcode picture at 3 pixels per module,
// decoded by zxing-cpp. The decoded data must be the data we meant to encode, with
// the check characters each symbology defines (which the reader verifies).

#include "barcode/BarcodePicture.h"

#include "BarcodeTestSupport.h"

#include <gtest/gtest.h>

#include <ZXing/ReadBarcode.h>

#include <QImage>
#include <algorithm>
#include <string>
#include <vector>

namespace mirel::barcode {
namespace {

using ZXing::BarcodeFormat;

struct Decoded {
    bool valid = false;
    std::string bytes;
    std::string symbologyIdentifier;
};

Decoded decode(const QImage& image, BarcodeFormat format, bool code39Check = false, bool code39Extended = false,
               bool codabarStartStop = false) {
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum,
                                static_cast<int>(gray.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setFormats(format);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    hints.setValidateCode39CheckSum(code39Check);
    hints.setTryCode39ExtendedMode(code39Extended);
    hints.setReturnCodabarStartEnd(codabarStartStop);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    Decoded d;
    d.valid = result.isValid();
    d.bytes.assign(result.bytes().begin(), result.bytes().end());
    d.symbologyIdentifier = result.symbologyIdentifier();
    return d;
}

struct ReadCase {
    TfrBarcodeType type;
    std::string text;
    bool checksum;
    std::string decoded;   // the data a reader must find
};

std::string printable(const std::string& s) {
    std::string out;
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32 || u > 126)
            out += "\\x" + std::to_string(u);
        else
            out += c;
    }
    return out;
}

void expectReads(const ReadCase& c, BarcodeFormat format, double angle = 0, bool code39Extended = false) {
    TfrBarcode symbol;
    test::setUp(symbol, c.type, c.text, c.checksum);
    const QImage image = test::renderSymbol(symbol, angle);
    const Decoded d = decode(image, format, c.type == bcCode39 || c.type == bcCode39Extended ? c.checksum : false,
                             code39Extended);
    EXPECT_TRUE(d.valid) << typeInfo(c.type).name << " \"" << printable(c.text) << "\" at " << angle;
    EXPECT_EQ(d.bytes, c.decoded) << typeInfo(c.type).name << " \"" << printable(c.text) << "\" at " << angle;
}

// All characters from `first` to `last`.
std::string characters(int first, int last) {
    std::string s;
    for (int c = first; c <= last; ++c)
        s += static_cast<char>(c);
    return s;
}

TEST(Reader, Ean8) {
    const ReadCase cases[] = {
        {bcCodeEAN8, "1234567", true, "12345670"},
        {bcCodeEAN8, "9638507", true, "96385074"},
        {bcCodeEAN8, "55123457", false, "55123457"},
    };
    for (const ReadCase& c : cases)
        expectReads(c, BarcodeFormat::EAN8);
}

TEST(Reader, Ean13EveryParityRow) {
    expectReads({bcCodeEAN13, "690123456789", true, "6901234567892"}, BarcodeFormat::EAN13);
    expectReads({bcCodeEAN13, "400638133393", true, "4006381333931"}, BarcodeFormat::EAN13);
    // The first digit selects the parity of the left half; the reader checks the
    // check digit, so the shown text is the data.
    for (char first = '0'; first <= '9'; ++first) {
        TfrBarcode symbol;
        test::setUp(symbol, bcCodeEAN13, std::string(1, first) + "23456789012", true);
        const Decoded d = decode(test::renderSymbol(symbol), BarcodeFormat::EAN13);
        EXPECT_TRUE(d.valid) << first;
        EXPECT_EQ(d.bytes, symbol.Text()) << first;
        EXPECT_EQ(d.bytes.substr(0, 12), std::string(1, first) + "23456789012");
    }
}

TEST(Reader, UpcA) {
    const ReadCase cases[] = {
        {bcCodeUPC_A, "036000291452", true, "036000291452"},
        {bcCodeUPC_A, "03600029145", true, "003600029143"},
        {bcCodeUPC_A, "012345678905", false, "012345678905"},
    };
    for (const ReadCase& c : cases)
        expectReads(c, BarcodeFormat::UPCA);
}

TEST(Reader, UpcECheckDigitOverTheExpandedNumber) {
    // The reader gives number system, the six digits and the check digit it
    // verified over the UPC-A number.
    const ReadCase cases[] = {
        {bcCodeUPC_E0, "123456", true, "00123457"},
        {bcCodeUPC_E0, "4252610", true, "04252614"},
        {bcCodeUPC_E0, "4252610", false, "04252614"},   // shown digit 0, parity carries 4
        {bcCodeUPC_E1, "4252610", true, "14252611"},
        {bcCodeUPC_E0, "1234530", true, "01234531"},
        {bcCodeUPC_E0, "1234540", true, "01234543"},
        {bcCodeUPC_E1, "1234570", true, "11234579"},
    };
    for (const ReadCase& c : cases)
        expectReads(c, BarcodeFormat::UPCE);
    // Every parity row of both number systems.
    for (const TfrBarcodeType type : {bcCodeUPC_E0, bcCodeUPC_E1}) {
        std::vector<bool> rows(10);
        for (int n = 100000; n < 100400; n += 7) {
            TfrBarcode symbol;
            test::setUp(symbol, type, std::to_string(n) + "0", true);
            symbol.MakePattern();
            const int k = symbol.Text()[6] - '0';
            if (rows[static_cast<std::size_t>(k)])
                continue;
            rows[static_cast<std::size_t>(k)] = true;
            const Decoded d = decode(test::renderSymbol(symbol), BarcodeFormat::UPCE);
            EXPECT_EQ(d.bytes, (type == bcCodeUPC_E1 ? "1" : "0") + symbol.Text()) << n;
        }
        EXPECT_EQ(std::count(rows.begin(), rows.end(), true), 10);
    }
}

TEST(Reader, Code128SetsAandBandC) {
    const ReadCase cases[] = {
        {bcCode128B, "Hi", false, "Hi"},
        {bcCode128B, "mirel label 2024-06", false, "mirel label 2024-06"},
        {bcCode128B, characters(32, 79), false, characters(32, 79)},
        {bcCode128B, characters(80, 126), false, characters(80, 126)},
        {bcCode128A, "ABC-123", false, "ABC-123"},
        {bcCode128A, characters(32, 95), false, characters(32, 95)},
        {bcCode128C, "12345", false, "012345"},
        {bcCode128C, "", false, ""},
    };
    for (const ReadCase& c : cases) {
        if (c.text.empty())
            continue;   // a reader does not report an empty symbol
        expectReads(c, BarcodeFormat::Code128);
    }
    // Every pair of set C.
    std::string pairs;
    for (int v = 0; v < 100; ++v)
        pairs += std::to_string(v / 10) + std::to_string(v % 10);
    expectReads({bcCode128C, pairs, false, pairs}, BarcodeFormat::Code128);
}

TEST(Reader, Code128CheckValuesOfTheSpecialCharacters) {
    // Values 95..102 only ever appear as check characters; find two-character
    // set B texts whose check value (start 104 + v1 + 2 v2, modulo 103) is each.
    for (int wanted = 95; wanted <= 102; ++wanted) {
        std::string text;
        for (int v1 = 0; v1 < 95 && text.empty(); ++v1)
            for (int v2 = 0; v2 < 95 && text.empty(); ++v2)
                if ((104 + v1 + 2 * v2) % 103 == wanted)
                    text = {static_cast<char>(32 + v1), static_cast<char>(32 + v2)};
        ASSERT_FALSE(text.empty());
        expectReads({bcCode128B, text, false, text}, BarcodeFormat::Code128);
    }
}

TEST(Reader, Ean128IsGs1_128) {
    const ReadCase cases[] = {
        {bcCodeEAN128C, "1234", true, "012348"},
        {bcCodeEAN128C, "0195012345678903", false, "0195012345678903"},
        {bcCodeEAN128B, "10ABC123", false, "10ABC123"},
        {bcCodeEAN128B, "1234", true, "12348"},
        {bcCodeEAN128A, "10ABC", false, "10ABC"},
    };
    for (const ReadCase& c : cases) {
        TfrBarcode symbol;
        test::setUp(symbol, c.type, c.text, c.checksum);
        const Decoded d = decode(test::renderSymbol(symbol), BarcodeFormat::Code128);
        EXPECT_TRUE(d.valid) << c.text;
        EXPECT_EQ(d.bytes, c.decoded) << c.text;
        // FNC1 in the first position marks GS1-128.
        EXPECT_EQ(d.symbologyIdentifier, "]C1") << c.text;
    }
}

TEST(Reader, Code39AndFullAscii) {
    const std::string all = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
    const ReadCase plain[] = {
        {bcCode39, "ABC", false, "ABC"},
        {bcCode39, "12345678", true, "12345678"},   // check '-' verified by the reader
        {bcCode39, all, false, all},
        {bcCode39, all, true, all},
        {bcCode39, "CODE 39.$/+%", true, "CODE 39.$/+%"},
    };
    for (const ReadCase& c : plain)
        expectReads(c, BarcodeFormat::Code39);
    const ReadCase extended[] = {
        {bcCode39Extended, "abc", false, "abc"},
        {bcCode39Extended, "Hello, World!", true, "Hello, World!"},
        {bcCode39Extended, characters(32, 127), false, characters(32, 127)},
        {bcCode39Extended, characters(1, 31), false, characters(1, 31)},
    };
    for (const ReadCase& c : extended)
        expectReads(c, BarcodeFormat::Code39, 0, true);
}

TEST(Reader, Code93AndFullAscii) {
    const std::string all = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
    const ReadCase cases[] = {
        {bcCode93, "TEST93", false, "TEST93"},
        {bcCode93, all, false, all},
        // More than 20 characters: both check weights start again.
        {bcCode93, "ABCDEFGHIJKLMNOPQRSTUVWXY", false, "ABCDEFGHIJKLMNOPQRSTUVWXY"},
        {bcCode93Extended, "a", false, "a"},
        {bcCode93Extended, "ab", false, "ab"},
        {bcCode93Extended, "Hello, World!", false, "Hello, World!"},
        {bcCode93Extended, characters(32, 127), false, characters(32, 127)},
        {bcCode93Extended, characters(1, 31), false, characters(1, 31)},
        // The shift characters' own glyphs, as data, in the full-ASCII form.
        {bcCode93Extended, "[]{}", false, "[]{}"},
    };
    for (const ReadCase& c : cases)
        expectReads(c, BarcodeFormat::Code93);
}

TEST(Reader, Interleaved2of5) {
    const ReadCase cases[] = {
        {bcCode_2_5_interleaved, "123456", false, "123456"},
        {bcCode_2_5_interleaved, "12345", false, "012345"},   // no digit lost
        {bcCode_2_5_interleaved, "1234567890", false, "1234567890"},
        {bcCode_2_5_interleaved, "00123456789012", false, "00123456789012"},
        {bcCode_2_5_interleaved, "9876543", false, "09876543"},
    };
    for (const ReadCase& c : cases)
        expectReads(c, BarcodeFormat::ITF);
}

TEST(Reader, Codabar) {
    const ReadCase cases[] = {
        {bcCodeCodabar, "12", false, "12"},
        {bcCodeCodabar, "-$:/.+0123456789", false, "-$:/.+0123456789"},
        {bcCodeCodabar, "31117013206375", false, "31117013206375"},
    };
    for (const ReadCase& c : cases) {
        expectReads(c, BarcodeFormat::Codabar);
        // Start A and stop B.
        TfrBarcode symbol;
        test::setUp(symbol, c.type, c.text, c.checksum);
        const Decoded d = decode(test::renderSymbol(symbol), BarcodeFormat::Codabar, false, false, true);
        EXPECT_EQ(d.bytes, "A" + c.decoded + "B");
    }
}

TEST(Reader, EverySymbologyAtTheFourRightAngles) {
    for (const double angle : {0.0, 90.0, 180.0, 270.0}) {
        expectReads({bcCodeEAN13, "690123456789", true, "6901234567892"}, BarcodeFormat::EAN13, angle);
        expectReads({bcCode128B, "Label 42", false, "Label 42"}, BarcodeFormat::Code128, angle);
        expectReads({bcCode39, "12345678", true, "12345678"}, BarcodeFormat::Code39, angle);
        expectReads({bcCodeUPC_E0, "4252610", true, "04252614"}, BarcodeFormat::UPCE, angle);
    }
}

} // namespace
} // namespace mirel::barcode
