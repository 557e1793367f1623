#include "core/Encoding.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using mirel::core::fromUnicode;
using mirel::core::textFileToAnsi;
using mirel::core::toUnicode;
using mirel::test::hexBytes;

TEST(Encoding, EveryGbkDoubleByteCharacterRoundTrips) {
    // GBK: lead 0x81..0xFE, trail 0x40..0xFE without 0x7F. GB2312 is the part with
    // lead and trail in 0xA1..0xFE. Each must survive code page -> Unicode -> code page.
    int checked = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            const QString text = toUnicode(bytes);
            // One character; a few GBK codes (FE51 ...) stand for characters beyond
            // the basic plane, a surrogate pair in UTF-16.
            ASSERT_EQ(text.toUcs4().size(), 1) << std::hex << lead << " " << trail;
            ASSERT_NE(text[0], QChar(0xFFFD)) << std::hex << lead << " " << trail;
            ASSERT_EQ(fromUnicode(text), bytes) << std::hex << lead << " " << trail;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 126 * 190);
}

TEST(Encoding, KnownCharacters) {
    struct Case { const char* utf8; const char* hex; };
    const Case cases[] = {
        {"中", "D6D0"},                 // GB2312
        {"含量：120g", "BAACC1BFA3BA313230 67"},
        {"\xE2\x82\xAC", "A2E3"},       // the euro sign, GB18030 two-byte form
        {"\xF0\x9D\x84\x9E", "9432BE34"},  // U+1D11E, four-byte form: nothing is lost
        {"abc", "616263"},
    };
    for (const Case& c : cases) {
        const std::string bytes = hexBytes(c.hex);
        EXPECT_EQ(fromUnicode(QString::fromUtf8(c.utf8)), bytes) << c.utf8;
        EXPECT_EQ(toUnicode(bytes), QString::fromUtf8(c.utf8)) << c.hex;
    }
}

TEST(Encoding, InvalidBytesBecomeReplacementCharacters) {
    EXPECT_EQ(toUnicode(hexBytes("41 FF 42")), QString::fromUtf8("A\xEF\xBF\xBD" "B"));
    EXPECT_EQ(toUnicode(hexBytes("D6")), QString(QChar(0xFFFD)));   // cut off after the lead byte
}

TEST(Encoding, TextFilesAreReadAsUtf8OrCodePage) {
    const std::string zhong = hexBytes("D6D0");
    EXPECT_EQ(textFileToAnsi("\xEF\xBB\xBF\xE4\xB8\xAD\r\n"), zhong + "\r\n");   // BOM + UTF-8
    EXPECT_EQ(textFileToAnsi("\xE4\xB8\xAD"), zhong);                            // plain UTF-8
    EXPECT_EQ(textFileToAnsi(zhong + "1"), zhong + "1");                       // GB2312 bytes stay
    EXPECT_EQ(textFileToAnsi("ABC 123"), "ABC 123");
}

TEST(Encoding, Utf8Validation) {
    EXPECT_TRUE(mirel::core::isValidUtf8(""));
    EXPECT_TRUE(mirel::core::isValidUtf8("\xE4\xB8\xAD"));
    EXPECT_FALSE(mirel::core::isValidUtf8("\xE4\xB8"));          // truncated
    EXPECT_FALSE(mirel::core::isValidUtf8("\xC0\x80"));          // overlong
    EXPECT_FALSE(mirel::core::isValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(mirel::core::isValidUtf8(hexBytes("D6D0")));   // GB2312 中
}
