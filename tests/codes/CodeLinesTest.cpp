#include "codes/CodeLines.h"

#include "codes/CodeList.h"
#include "codes/CodeStore.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using mirel::codes::appendExportLine;
using mirel::codes::splitImportLine;
using mirel::test::ansi;

// Import lines and their fields, worked out by hand from the rule: NO up to the
// first TAB (else the first space); the rest trimmed of codes 0..32 and split the
// same way into key0 and key1; key1 trimmed again, key0 not.
struct ImportCase { const char* line; const char* no; const char* key0; const char* key1; };
constexpr ImportCase kImportCases[] = {
    {"7\tA12\tXYZ", "7", "A12", "XYZ"},
    {"7 A12 XYZ Q", "7", "A12", "XYZ Q"},         // single spaces: key1 keeps the last two words
    {"1 2\t3", "1 2", "", "3"},                   // a TAB anywhere wins over an earlier space
    {"ABCDEF", "", "", "ABCDEF"},                 // neither TAB nor space: all key1
    {"", "", "", ""},                             // an empty line is an empty record
    {"\tA\tB", "", "A", "B"},                     // break at position 1: NO empty
    {" abc", "", "", "abc"},
    {"7\t", "7", "", ""},
    {"7  A12", "7", "", "A12"},                   // the rest is trimmed before its split
    {"7\t\tX", "7", "", "X"},                     // a leading TAB of the rest is trimmed too
    {"7\t  A12  \tX  ", "7", "A12  ", "X"},       // key0 keeps its blanks, key1 is trimmed
    {"7\tA12 XYZ\tQ", "7", "A12 XYZ", "Q"},       // the rest holds a TAB: the space stays in key0
    {"9 \x01K0\x02 K1 \x1f", "9", "K0\x02", "K1"},  // control characters count as blanks at the ends
    {"中 文\t码 号", "中 文", "码", "号"},
};

TEST(CodeLines, ImportLineFields) {
    for (const ImportCase& c : kImportCases) {
        const std::string line = ansi(c.line);
        const auto fields = splitImportLine(line);
        EXPECT_EQ(fields.no, ansi(c.no)) << c.line;
        EXPECT_EQ(fields.key0, ansi(c.key0)) << c.line;
        EXPECT_EQ(fields.key1, ansi(c.key1)) << c.line;
    }
}

TEST(CodeLines, ExportLineForms) {
    std::string out;
    appendExportLine(out, "1", "", "001F729IBF");
    appendExportLine(out, "7", "A12", "XYZ");
    appendExportLine(out, "", "", "");
    EXPECT_EQ(out, "1 001F729IBF\r\n7\tA12\tXYZ\r\n \r\n");
}

TEST(CodeLines, CodeListKeepsLinesWithCrLf) {
    mirel::codes::CodeList list;
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.text(), "");
    list.append("1 AB");
    list.append("");
    list.append(ansi("3 中"));
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list.line(0), "1 AB");
    EXPECT_EQ(list.line(1), "");
    EXPECT_EQ(list.line(2), ansi("3 中"));
    EXPECT_EQ(list.text(), "1 AB\r\n\r\n" + ansi("3 中") + "\r\n");
    list.clear();
    EXPECT_EQ(list.size(), 0);
    EXPECT_EQ(list.text(), "");
}

TEST(CodeLines, Quantity) {
    using mirel::codes::parseQuantity;
    EXPECT_EQ(parseQuantity("0"), 0);
    EXPECT_EQ(parseQuantity("100"), 100);
    EXPECT_EQ(parseQuantity(" 1000000 "), 1000000);
    for (const char* bad : {"", "-1", "1x", "1.5", "1e3", "abc", "99999999999999999999"})
        EXPECT_THROW(parseQuantity(bad), mirel::codes::CodeStoreError) << bad;
}

TEST(CodeLines, FieldNames) {
    using mirel::codes::codeFieldIndex;
    EXPECT_EQ(codeFieldIndex("ID"), 0);
    EXPECT_EQ(codeFieldIndex("no"), 1);
    EXPECT_EQ(codeFieldIndex("KEY0"), 2);
    EXPECT_EQ(codeFieldIndex("key1"), 3);
    EXPECT_EQ(codeFieldIndex("key2"), -1);
    const mirel::codes::CodeRecord r{42, "7", "A", "B"};
    EXPECT_EQ(mirel::codes::codeFieldText(r, 0), "42");
    EXPECT_EQ(mirel::codes::codeFieldText(r, 3), "B");
    EXPECT_EQ(mirel::codes::codeFieldText(r, 4), "");
}
