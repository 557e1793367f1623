// Symbols rendered by the generator, read back by a real reader (zxing-cpp): the
// decoded bytes must be the text that went in.

#include "Pdf417TestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace mirel::pdf417 {
namespace {

using test::readPdf417;
using test::renderWhole;

std::string bytesFrom(int first, int count) {
    std::string s;
    for (int i = 0; i < count; ++i)
        s += static_cast<char>(first + i);
    return s;
}

// About 600 bytes of label data as operators type it: Chinese, serial numbers,
// dates, lower and upper case, punctuation and line breaks.
std::string labelData() {
    const std::string line = mirel::test::ansi("产品批号 Batch-2024/07: serial 000213298174000213; 合格 ok=Y (qty 48)\r\n");
    std::string s;
    while (s.size() < 600)
        s += line;
    return s;
}

struct ReaderCase {
    const char* name;
    std::string text;
    TStPDF417ECCLevels level = ecAuto;
    int columns = 0;
    int rows = 0;
    bool truncated = false;
};

std::vector<ReaderCase> readerCases() {
    const std::string mixed = mirel::test::ansi("Lot 7A-12/b: 数量 120 pcs; expires 2025-01-31 <ok>");
    return {
        {"capital letters, the template object's default", "ABCDEFGH"},
        {"two letters", "AB"},
        {"one letter, a byte segment", "A"},
        {"lower, upper, digits and punctuation", "Batch 2024-07-13; Line a3 / qty=48, ok? (yes) [x] {y} ~_|@ \"q\" 'p' `"},
        {"every punctuation shift and latch", "a;b;;c1;2;;3A;;;B\\d"},
        {"line breaks and tabs", "line 1\r\nline 2\tend\n"},
        {"fifteen digits with leading zeros", "000213298174000"},
        {"fourteen digits stay text", "12345678901234"},
        {"a hundred digits", std::string(50, '0') + "12345678901234567890123456789012345678901234567890"},
        {"digits between text", "SN 12345678901234567890 / LOT 98765432109876543210x"},
        {"GB2312 Chinese", mirel::test::ansi("中华人民共和国产品合格证")},
        {"twelve bytes, a multiple of six", bytesFrom(0x80, 12)},
        {"thirteen bytes", bytesFrom(0x80, 13)},
        {"control bytes and DEL", std::string("\x00\x01\x1b\x7f\xff", 5)},
        {"mixed text and Chinese", mixed},
        {"several hundred bytes", labelData()},
        {"truncated", mixed, ecAuto, 0, 0, true},
        {"fixed columns", mixed, ecAuto, 5, 0},
        {"one fixed column", "ABCDEFGH", ecAuto, 1, 0},
        {"fixed rows", mixed, ecAuto, 0, 24},
        {"fixed columns and rows", mixed, ecLevel1, 6, 10},
        {"truncated, fixed columns, low level", labelData().substr(0, 200), ecLevel0, 8, 0, true},
    };
}

TEST(Pdf417Reader, DecodesWhatWasEncoded) {
    for (const ReaderCase& c : readerCases()) {
        SCOPED_TRACE(c.name);
        TStPDF417Barcode generator;
        generator.SetECCLevel(c.level);
        generator.SetNumColumns(c.columns);
        generator.SetNumRows(c.rows);
        generator.SetTruncated(c.truncated);
        generator.SetCode(c.text);
        const auto decoded = readPdf417(renderWhole(generator));
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(*decoded, c.text);
    }
}

TEST(Pdf417Reader, DecodesEveryLevel) {
    const std::string text = mirel::test::ansi("Lot 7A-12/b: 数量 120 pcs; 000213298174000213");
    for (int level = 0; level <= 8; ++level) {
        SCOPED_TRACE(level);
        TStPDF417Barcode generator;
        generator.SetECCLevel(static_cast<TStPDF417ECCLevels>(ecLevel0 + level));
        generator.SetCode(text);
        ASSERT_EQ(generator.EffectiveECCLevel(), level);
        const auto decoded = readPdf417(renderWhole(generator));
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(*decoded, text);
    }
}

// Texts drawn at random (fixed seed) from the pieces label data is made of:
// letters of both cases, digit runs around the numeric threshold, punctuation,
// line breaks, Chinese and other bytes; no backslash, which starts an escape.
TEST(Pdf417Reader, RandomTextsRoundTrip) {
    std::mt19937 random(417);
    const std::string punctuation = " !\"#$%&'()*+,-./:;<=>?@[]^_`{|}~\r\n\t";
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 150; ++round) {
        std::string text;
        const int pieces = 1 + pick(12);
        for (int p = 0; p < pieces; ++p) {
            const int count = 1 + pick(16);
            switch (pick(6)) {
            case 0: for (int i = 0; i < count; ++i) text += static_cast<char>('A' + pick(26)); break;
            case 1: for (int i = 0; i < count; ++i) text += static_cast<char>('a' + pick(26)); break;
            case 2: for (int i = 0; i < count + pick(20); ++i) text += static_cast<char>('0' + pick(10)); break;
            case 3: for (int i = 0; i < count; ++i) text += punctuation[static_cast<std::size_t>(pick(static_cast<int>(punctuation.size())))]; break;
            case 4: for (int i = 0; i < count; ++i) text += mirel::test::ansi("标签"); break;
            default: for (int i = 0; i < count; ++i) text += static_cast<char>(pick(256)); break;
            }
        }
        text.erase(std::remove(text.begin(), text.end(), '\\'), text.end());
        if (text.empty())
            continue;
        TStPDF417Barcode generator;
        generator.SetTruncated(round % 5 == 0);
        generator.SetCode(text);
        EXPECT_EQ(readPdf417(renderWhole(generator)), text) << "round " << round;
    }
}

// Escapes are the generator's own syntax; a reader sees what they stand for.
// Characters text compaction has no value for reach it through a byte shift.
TEST(Pdf417Reader, EscapesReadAsWhatTheyStandFor) {
    const struct {
        const char* code;
        std::string decoded;
    } cases[] = {
        {"\\065\\x42", "AB"},
        {"A\\\\B", "A\\B"},
        {"Tab\\009end", "Tab\tend"},
        {"AB\\200CD", "AB\xC8" "CD"},
        {"x\\x01y\\xFF", std::string("x\x01y\xFF")},
        {"\\000", std::string(1, '\0')},
        // Latched to Punctuation with a value open: the padding 29 latches to
        // Alpha, and what follows is encoded from there.
        {"A;;\\200;;B", "A;;\xC8;;B"},
    };
    for (const auto& c : cases) {
        TStPDF417Barcode generator;
        generator.SetCode(c.code);
        EXPECT_EQ(readPdf417(renderWhole(generator)), c.decoded) << c.code;
    }
}

} // namespace
} // namespace mirel::pdf417
