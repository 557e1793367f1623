// Arranging serials by print page, from a file (streamed) and from a list in
// memory (the window); both must give the same list.

#include "texttools/Arrange.h"
#include "texttools/TextFile.h"

#include "core/Files.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace mirel::texttools;
using mirel::test::hexBytes;
using mirel::test::readFile;
using mirel::test::writeFile;

namespace {

std::string serials(int first, int last, const char* lineEnd = "\r\n") {
    std::string text;
    for (int i = first; i <= last; ++i)
        text += "s" + std::to_string(i) + lineEnd;
    return text;
}

std::string crlf(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\r\n";
    return text;
}

struct ArrangeCase {
    const char* note;
    std::string source;
    std::int64_t pages;
    std::int64_t labels;
    std::string arranged;
};

// Label position c of page r gets serial (c - 1) * P + r; pages follow each other.
std::vector<ArrangeCase> arrangeCases() {
    return {
        {"10 pages of 4: page 1 is s1 s11 s21 s31, page 10 is s10 s20 s30 s40", serials(1, 40), 10, 4,
         crlf({"s1", "s11", "s21", "s31", "s2", "s12", "s22", "s32", "s3", "s13", "s23", "s33", "s4", "s14", "s24",
               "s34", "s5", "s15", "s25", "s35", "s6", "s16", "s26", "s36", "s7", "s17", "s27", "s37", "s8", "s18",
               "s28", "s38", "s9", "s19", "s29", "s39", "s10", "s20", "s30", "s40"})},
        {"3 pages of 1 label: the first three serials in list order", serials(1, 5), 3, 1, crlf({"s1", "s2", "s3"})},
        {"fewer serials than labels: the missing ones stay empty", serials(1, 4, "\n"), 3, 2,
         crlf({"s1", "s4", "s2", "", "s3", ""})},
        {"blanks and control characters around serials are dropped", " s1 \r\n\ts2\x01\r\n  s3", 1, 3,
         crlf({"s1", "s2", "s3"})},
        {"an empty list leaves every label empty", "", 2, 2, crlf({"", "", "", ""})},
        {"CR line breaks", "s1\rs2\rs3\rs4\r", 2, 2, crlf({"s1", "s3", "s2", "s4"})},
        {"UTF-8 serials come out in the code page (中 D6D0, 文 CEC4)", hexBytes("E4B8AD 0A E69687 0A"), 1, 2,
         hexBytes("D6D0 0D0A CEC4 0D0A")},
    };
}

} // namespace

TEST(Arrange, CellsFollowTheirPages) {
    EXPECT_EQ(serialNumberFor(10, 1, 1), 1);
    EXPECT_EQ(serialNumberFor(10, 4, 1), 31);
    EXPECT_EQ(serialNumberFor(10, 4, 10), 40);
    EXPECT_EQ(serialNumberFor(3, 1, 3), 3);
}

TEST(Arrange, FromAFileAndFromMemory) {
    for (const ArrangeCase& c : arrangeCases()) {
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("serials.txt"));
        writeFile(source, c.source);
        const QString streamed = dir.filePath(QStringLiteral("streamed.txt"));
        arrangeFile(source, c.pages, c.labels, streamed);
        EXPECT_EQ(readFile(streamed), c.arranged) << c.note;

        const QString inMemory = dir.filePath(QStringLiteral("memory.txt"));
        writeArrangement(LineStore::fromFile(source), c.pages, c.labels, inMemory);
        EXPECT_EQ(readFile(inMemory), c.arranged) << c.note;
    }
}

TEST(Arrange, LargeBlocksAcrossManyBuffers) {
    // 400,000 serials on 100,000 pages of 4: each label position's reader refills
    // its buffer several times and must stay in its own block.
    constexpr int kPages = 100000;
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("serials.txt"));
    writeFile(source, serials(1, 4 * kPages));
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    EXPECT_EQ(arrangeFile(source, kPages, 4, out), 4 * kPages);
    std::string expected;
    for (int page = 1; page <= kPages; ++page)
        for (int label = 1; label <= 4; ++label)
            expected += "s" + std::to_string((label - 1) * kPages + page) + "\r\n";
    EXPECT_EQ(readFile(out), expected);
}

TEST(Arrange, BadRequestsWriteNothing) {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("serials.txt"));
    writeFile(source, serials(1, 4));
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    EXPECT_THROW(arrangeFile(source, 0, 4, out), TextToolError);
    EXPECT_THROW(arrangeFile(source, 4, 0, out), TextToolError);
    EXPECT_THROW(arrangeFile(source, -1, 4, out), TextToolError);
    EXPECT_THROW(arrangeFile(source, INT64_MAX / 2, 3, out), TextToolError);
    EXPECT_THROW(arrangeFile(dir.filePath(QStringLiteral("missing.txt")), 2, 2, out), mirel::core::FileError);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"serials.txt"});
}
