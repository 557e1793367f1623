// mirel-cli split and arrange, end to end.

#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using mirel::test::readFile;
using mirel::test::runProgram;
using mirel::test::writeFile;

namespace {

std::string lines(int first, int last) {
    std::string text;
    for (int i = first; i <= last; ++i)
        text += "BJ" + std::to_string(i) + "\r\n";
    return text;
}

// The lines mirel-cli itself wrote to stderr (the platform may add its own).
int ownErrorLines(const std::string& err) {
    int n = 0;
    for (std::size_t at = err.find("mirel-cli: "); at != std::string::npos; at = err.find("mirel-cli: ", at + 1))
        ++n;
    return n;
}

} // namespace

TEST(TextToolCli, SplitOnePieceToTheExactName) {
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("list.txt")), lines(1, 10));
    const QString out = dir.filePath(QStringLiteral("piece.dat"));
    const auto r = runProgram({"split", dir.filePath("list.txt"), "--start", "4", "--end", "6", "-o", out});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readFile(out), lines(4, 6));
    EXPECT_TRUE(r.out.empty());
}

TEST(TextToolCli, SplitAutoWritesBesideTheFileAndPrintsTheNames) {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("list.txt"));
    writeFile(source, lines(1, 10));
    const auto r = runProgram({"split", source, "--start", "1", "--end", "4", "--auto"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::string folder = dir.path().toStdString() + "/";
    EXPECT_EQ(r.out, folder + "4list.txt\n" + folder + "8list.txt\n" + folder + "12list.txt\n");
    EXPECT_EQ(readFile(dir.filePath("8list.txt")), lines(5, 8));
    EXPECT_EQ(readFile(dir.filePath("12list.txt")), lines(9, 10) + "\r\n\r\n");
}

TEST(TextToolCli, ArrangeWritesTheListInPrintOrder) {
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("serials.txt")), lines(1, 6));
    const QString out = dir.filePath(QStringLiteral("arranged"));
    const auto r = runProgram({"arrange", dir.filePath("serials.txt"), "--pages", "3", "--labels", "2", "-o", out});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readFile(out), "BJ1\r\nBJ4\r\nBJ2\r\nBJ5\r\nBJ3\r\nBJ6\r\n");
}

TEST(TextToolCli, BadInputIsOneLineAndWritesNothing) {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("list.txt"));
    writeFile(source, lines(1, 10));
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    const QString missing = dir.filePath(QStringLiteral("missing.txt"));
    const QStringList cases[] = {
        {"split", missing, "--start", "1", "--end", "5", "-o", out},
        {"split", missing, "--start", "1", "--end", "5", "--auto"},
        {"split", source, "--start", "11", "--end", "20", "-o", out},
        {"split", source, "--start", "11", "--end", "20", "--auto"},
        {"split", source, "--start", "0", "--end", "5", "-o", out},
        {"split", source, "--start", "5", "--end", "4", "--auto"},
        {"split", source, "--start", "x", "--end", "5", "-o", out},
        {"split", source, "--start", "1", "--end", "5"},
        {"arrange", missing, "--pages", "2", "--labels", "2", "-o", out},
        {"arrange", source, "--pages", "0", "--labels", "2", "-o", out},
        {"arrange", source, "--pages", "2", "--labels", "-1", "-o", out},
        {"arrange", source, "--pages", "2.5", "--labels", "2", "-o", out},
        {"arrange", source, "--pages", "2", "--labels", "x", "-o", out},
        {"arrange", source, "--pages", "2", "--labels", "2"},
    };
    for (const QStringList& args : cases) {
        const auto r = runProgram(args);
        const std::string call = args.join(' ').toStdString();
        EXPECT_NE(r.exitCode, 0) << call;
        EXPECT_EQ(ownErrorLines(r.err), 1) << call << ": " << r.err;
        EXPECT_TRUE(r.out.empty()) << call;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"list.txt"}) << call;
    }
}
