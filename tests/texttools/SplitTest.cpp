// Cutting serial files into pieces: piece names, lengths, the last piece filled
// up with empty lines, line breaks and encodings, and bad requests.

#include "texttools/Split.h"
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

// "L0001" .. "L1000" style lines, each followed by `lineEnd`.
std::string numberedLines(int first, int last, const char* lineEnd) {
    std::string text;
    char line[16];
    for (int i = first; i <= last; ++i) {
        std::snprintf(line, sizeof line, "L%04d", i);
        text += line;
        text += lineEnd;
    }
    return text;
}

std::string emptyLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "\r\n";
    return text;
}

QStringList filesIn(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::Files, QDir::Name);
}

} // namespace

TEST(Split, PieceNamesPutTheLastLineBeforeTheSourceName) {
    struct Case {
        const char* source;
        std::int64_t last;
        const char* name;
    };
    const Case cases[] = {
        {"/data/list.txt", 500, "/data/500list.txt"},
        {"list.txt", 250, "250list.txt"},
        {"/data/serials", 1200, "/data/1200serials"},
        {"/a.b/序号.txt", 7, "/a.b/7序号.txt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pieceFileName(QString::fromUtf8(c.source), c.last), QString::fromUtf8(c.name));
}

TEST(Split, AutomaticSplitOfAThousandLines) {
    // 1000 lines: pieces of 250 end exactly at the last line; pieces of 300 leave
    // a fourth piece of lines 901..1000 followed by 200 empty lines, named 1200.
    struct Case {
        int end;
        QStringList names;
        std::vector<std::string> contents;
    };
    const Case cases[] = {
        {250,
         {"250list.txt", "500list.txt", "750list.txt", "1000list.txt"},
         {numberedLines(1, 250, "\r\n"), numberedLines(251, 500, "\r\n"), numberedLines(501, 750, "\r\n"),
          numberedLines(751, 1000, "\r\n")}},
        {300,
         {"300list.txt", "600list.txt", "900list.txt", "1200list.txt"},
         {numberedLines(1, 300, "\r\n"), numberedLines(301, 600, "\r\n"), numberedLines(601, 900, "\r\n"),
          numberedLines(901, 1000, "\r\n") + emptyLines(200)}},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("list.txt"));
        writeFile(source, numberedLines(1, 1000, "\r\n"));
        QStringList written;
        splitAutomatically(source, 1, c.end, [&](const QString& name) { written << name; });
        QStringList expected;
        for (const QString& name : c.names)
            expected << dir.filePath(name);
        EXPECT_EQ(written, expected);
        for (int i = 0; i < c.names.size(); ++i)
            EXPECT_EQ(readFile(dir.filePath(c.names[i])), c.contents[static_cast<std::size_t>(i)]) << c.names[i].toStdString();
        EXPECT_EQ(filesIn(dir).size(), c.names.size() + 1);   // no temporary files left
    }
}

TEST(Split, AutomaticSplitFromAStartInsideTheFileReplacesOldPieces) {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("list.txt"));
    writeFile(source, numberedLines(1, 10, "\n"));
    writeFile(dir.filePath(QStringLiteral("7list.txt")), "old piece, longer than the new one\r\n");
    splitAutomatically(source, 5, 7);   // 5..7, 8..10
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("7list.txt"))), numberedLines(5, 7, "\r\n"));
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("10list.txt"))), numberedLines(8, 10, "\r\n"));
    EXPECT_EQ(filesIn(dir), (QStringList{"10list.txt", "7list.txt", "list.txt"}));
}

TEST(Split, PieceLinesEndInCrLfWhateverTheSourceUsed) {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("mixed.txt"));
    writeFile(source, "a\r\nb\nc\rd");
    const QString out = dir.filePath(QStringLiteral("piece"));
    writePiece(source, 2, 6, out);   // b c d, then two lines past the end
    EXPECT_EQ(readFile(out), "b\r\nc\r\nd\r\n\r\n\r\n");
    writePiece(source, 1, 1, out);
    EXPECT_EQ(readFile(out), "a\r\n");
}

TEST(Split, PiecesAreCodePageText) {
    // 中文 GB2312 D6D0 CEC4 / UTF-8 E4B8AD E69687; 序号 D0F2 BAC5 / E5BA8F E58FB7.
    const std::string gb = hexBytes("D6D0CEC4 0D0A D0F2BAC5 0D0A");
    const std::string sources[] = {
        gb,
        hexBytes("E4B8ADE69687 0A E5BA8FE58FB7 0A"),
        hexBytes("EFBBBF E4B8ADE69687 0D0A E5BA8FE58FB7"),
    };
    for (const std::string& bytes : sources) {
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("序号.txt"));
        writeFile(source, bytes);
        writePiece(source, 1, 2, dir.filePath(QStringLiteral("out.txt")));
        EXPECT_EQ(readFile(dir.filePath(QStringLiteral("out.txt"))), gb);
        splitAutomatically(source, 2, 2);   // one piece: line 2
        EXPECT_EQ(readFile(dir.filePath(QStringLiteral("2序号.txt"))), hexBytes("D0F2BAC5 0D0A"));
        EXPECT_EQ(filesIn(dir).size(), 3);
    }
}

TEST(Split, BadRequestsWriteNothing) {
    struct Case {
        std::int64_t start;
        std::int64_t end;
        const char* message;
    };
    const Case cases[] = {
        {1001, 1300, "start line 1001 is past the last line"},
        {0, 10, "start line 0 is not 1 or more"},
        {10, 9, "end line 9 is before start line 10"},
    };
    for (const Case& c : cases) {
        for (bool automatic : {false, true}) {
            QTemporaryDir dir;
            const QString source = dir.filePath(QStringLiteral("list.txt"));
            writeFile(source, numberedLines(1, 1000, "\r\n"));
            try {
                if (automatic)
                    splitAutomatically(source, c.start, c.end);
                else
                    writePiece(source, c.start, c.end, dir.filePath(QStringLiteral("out.txt")));
                ADD_FAILURE() << "no error for " << c.start << ".." << c.end;
            } catch (const TextToolError& e) {
                EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
            }
            EXPECT_EQ(filesIn(dir), QStringList{"list.txt"});
        }
    }
    QTemporaryDir dir;
    EXPECT_THROW(splitAutomatically(dir.filePath(QStringLiteral("missing.txt")), 1, 10), mirel::core::FileError);
    EXPECT_THROW(writePiece(dir.filePath(QStringLiteral("missing.txt")), 1, 10, dir.filePath(QStringLiteral("o"))),
                 mirel::core::FileError);
    const QString empty = dir.filePath(QStringLiteral("empty.txt"));
    writeFile(empty, "");
    EXPECT_THROW(splitAutomatically(empty, 1, 10), TextToolError);   // no line 1 to start from
    EXPECT_EQ(filesIn(dir), QStringList{"empty.txt"});
}

TEST(Split, AFailedWriteLeavesTheTargetAlone) {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("list.txt"));
    writeFile(source, "a\r\nb\r\n");
    EXPECT_THROW(writePiece(source, 1, 2, dir.filePath(QStringLiteral("no/such/folder/out.txt"))), mirel::core::FileError);
    EXPECT_EQ(filesIn(dir), QStringList{"list.txt"});
    // Writing a piece over its own source reads the old lines to the end.
    writePiece(source, 2, 3, source);
    EXPECT_EQ(readFile(source), "b\r\n\r\n");
}

TEST(Split, PiecesThatWouldLandOnAnotherFile) {
    // Pieces 1..5 and 6..10 of a 10-line source named after /d/serials.txt are
    // /d/5serials.txt and /d/10serials.txt; from 3..4: 4, 6, 8, 10.
    struct Case {
        const char* naming;
        std::int64_t start;
        std::int64_t end;
        const char* file;
        bool replaces;
    };
    const Case cases[] = {
        {"/d/serials.txt", 1, 5, "/d/5serials.txt", true},
        {"/d/serials.txt", 1, 5, "/d/10serials.txt", true},
        {"/d/serials.txt", 1, 5, "/d/15serials.txt", false},   // would start at line 11
        {"/d/serials.txt", 1, 5, "/d/7serials.txt", false},
        {"/d/serials.txt", 1, 5, "/e/5serials.txt", false},
        {"/d/serials.txt", 1, 5, "/d/05serials.txt", false},
        {"/d/serials.txt", 1, 5, "/d/serials.txt", false},
        {"/d/serials.txt", 3, 4, "/d/8serials.txt", true},
        {"/d/serials.txt", 3, 4, "/d/2serials.txt", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pieceWouldReplace(QString::fromLatin1(c.naming), c.start, c.end, 10, QString::fromLatin1(c.file)),
                  c.replaces)
            << c.file << " from " << c.start << ".." << c.end;
}
