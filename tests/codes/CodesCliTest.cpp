// mirel-cli codes ...: the code store commands as scripts call them.

#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using mirel::test::ansi;
using mirel::test::readFile;
using mirel::test::runProgram;
using mirel::test::writeFile;

namespace {

// The lines our program wrote on stderr (the platform may add its own notes).
std::vector<std::string> ourErrors(const std::string& err) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < err.size()) {
        size_t end = err.find('\n', start);
        if (end == std::string::npos)
            end = err.size();
        const std::string line = err.substr(start, end - start);
        if (line.rfind("mirel-cli:", 0) == 0)
            lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

class CodesCli : public ::testing::Test {
protected:
    QString file(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    mirel::test::ProcessResult codes(QStringList args) const {
        args.prepend(QStringLiteral("codes"));
        args << QStringLiteral("--db") << file("dbno.csh");
        return runProgram(args);
    }
    QTemporaryDir m_dir;
};

TEST_F(CodesCli, GenerateCountListAndCodeList) {
    const auto generated = codes({"generate", "--seed", "abcd", "--count", "3", "--list", file("list.txt")});
    ASSERT_EQ(generated.exitCode, 0) << generated.err;
    EXPECT_EQ(codes({"count"}).out, "3\n");

    const auto listed = codes({"list"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    // "ID TAB NO TAB key0 TAB key1": IDs 1..3, key0 empty, 10-character codes.
    std::vector<std::string> codesSeen;
    size_t pos = 0;
    for (int k = 1; k <= 3; ++k) {
        const std::string prefix = std::to_string(k) + "\t" + std::to_string(k) + "\t\t";
        ASSERT_EQ(listed.out.compare(pos, prefix.size(), prefix), 0) << listed.out;
        pos += prefix.size();
        codesSeen.push_back(listed.out.substr(pos, 10));
        pos += 10;
        ASSERT_EQ(listed.out[pos], '\n');
        ++pos;
    }
    EXPECT_EQ(pos, listed.out.size());
    EXPECT_EQ(readFile(file("list.txt")),
              "1 " + codesSeen[0] + "\r\n2 " + codesSeen[1] + "\r\n3 " + codesSeen[2] + "\r\n");
    EXPECT_EQ(codes({"list", "--limit", "1"}).out, "1\t1\t\t" + codesSeen[0] + "\n");

    const auto deleted = codes({"delete"});
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err;
    EXPECT_EQ(codes({"count"}).out, "0\n");
}

TEST_F(CodesCli, ImportAndExport) {
    writeFile(file("in.txt"), ansi("7\tA12\tXYZ\r\n7 A12 XYZ Q\r\n中文\r\n"));
    const auto imported = codes({"import", file("in.txt")});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(codes({"list"}).out, "1\t7\tA12\tXYZ\n2\t7\tA12\tXYZ Q\n3\t\t\t中文\n");
    const auto exported = codes({"export", "-o", file("out.txt")});
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    EXPECT_EQ(readFile(file("out.txt")), ansi("7\tA12\tXYZ\r\n7\tA12\tXYZ Q\r\n 中文\r\n"));
}

TEST_F(CodesCli, BackupReportsInChinese) {
    ASSERT_EQ(codes({"generate", "--seed", "abcd", "--count", "2"}).exitCode, 0);
    const auto ok = codes({"backup", file("copy.mdb")});
    EXPECT_EQ(ok.exitCode, 0) << ok.err;
    EXPECT_EQ(ok.out, "备份成功！\n");
    EXPECT_EQ(readFile(file("copy.mdb")), readFile(file("dbno.csh")));

    writeFile(file("taken.mdb"), "keep me");
    const auto refused = codes({"backup", file("taken.mdb")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.out, "备份失败！\n");
    EXPECT_EQ(ourErrors(refused.err).size(), 1u) << refused.err;
    EXPECT_EQ(readFile(file("taken.mdb")), "keep me");
}

// Bad input: one line on stderr, a non-zero exit, and the store's bytes unchanged.
TEST_F(CodesCli, BadInputChangesNothing) {
    ASSERT_EQ(codes({"generate", "--seed", "abcd", "--count", "5"}).exitCode, 0);
    const std::string before = readFile(file("dbno.csh"));
    struct Bad { QStringList args; int exitCode; };
    const Bad cases[] = {
        {{"generate", "--seed", "abcd", "--count", "1x"}, 2},
        {{"generate", "--seed", "abcd", "--count", "-1"}, 2},
        {{"generate", "--seed", "abcd", "--count", ""}, 2},
        {{"generate", "--count", "5"}, 2},
        {{"generate", "--seed", "abcd", "--count", "5", "--list", file("no/such/folder/list.txt")}, 1},
        {{"import", file("missing.txt")}, 1},
        {{"import"}, 2},
        {{"list", "--limit", "x"}, 2},
        {{"export"}, 2},
        {{"export", "-o", file("no/such/folder/out.txt")}, 1},
        {{"frobnicate"}, 2},
    };
    for (const Bad& bad : cases) {
        const auto r = codes(bad.args);
        EXPECT_EQ(r.exitCode, bad.exitCode) << bad.args.join(' ').toStdString();
        EXPECT_EQ(ourErrors(r.err).size(), 1u) << bad.args.join(' ').toStdString() << ": " << r.err;
        EXPECT_EQ(readFile(file("dbno.csh")), before) << bad.args.join(' ').toStdString();
    }
    EXPECT_EQ(codes({"count"}).out, "5\n");
}

TEST_F(CodesCli, ForeignDatabaseFileIsRefused) {
    writeFile(file("dbno.csh"), "not a database\r\n");
    for (const char* sub : {"count", "delete", "list"}) {
        const auto r = codes({sub});
        EXPECT_EQ(r.exitCode, 1) << sub;
        const auto errors = ourErrors(r.err);
        ASSERT_EQ(errors.size(), 1u) << r.err;
        EXPECT_NE(errors[0].find(file("dbno.csh").toStdString()), std::string::npos) << errors[0];
    }
    EXPECT_EQ(readFile(file("dbno.csh")), "not a database\r\n");
    // An import from a missing file creates no store either.
    QFile::remove(file("dbno.csh"));
    EXPECT_EQ(codes({"import", file("missing.txt")}).exitCode, 1);
    EXPECT_FALSE(QFile::exists(file("dbno.csh")));
}

TEST_F(CodesCli, StoreDefaultsToTheHomeFolder) {
    qputenv("MIREL_HOME", m_dir.path().toUtf8());
    const auto r = runProgram({"codes", "generate", "--seed", "abcd", "--count", "4"});
    const auto counted = runProgram({"codes", "count"});
    qunsetenv("MIREL_HOME");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(counted.out, "4\n");
    EXPECT_TRUE(QFile::exists(file("dbno.csh")));
}

} // namespace
