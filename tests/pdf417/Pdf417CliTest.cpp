// mirel-cli pdf417: the codeword JSON, the image file and the error exits.

#include "Pdf417TestSupport.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace mirel::pdf417 {
namespace {

using mirel::test::runProgram;

QStringList pdf417(std::initializer_list<const char*> args) {
    QStringList list{QStringLiteral("pdf417")};
    for (const char* a : args)
        list << QString::fromUtf8(a);
    return list;
}

TEST(Pdf417Cli, CodewordsAsJson) {
    const struct {
        QStringList args;
        const char* json;
    } cases[] = {
        {pdf417({"--text", "", "--codewords"}),
         R"({"level":2,"columns":2,"rows":5,"length":2,"codewords":[2,900,792,768,189,329,324,285,547,210]})"},
        {pdf417({"--text", "AB", "--ecc", "0", "--columns", "1", "--rows", "4", "--codewords"}),
         R"({"level":0,"columns":1,"rows":4,"length":2,"codewords":[2,1,683,675]})"},
    };
    for (const auto& c : cases) {
        const auto r = runProgram(c.args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, std::string(c.json) + "\n");
    }
    // GB2312 bytes given as hexadecimal or as Unicode text: one byte segment.
    for (const auto& args : {pdf417({"--hex", "--text", "D6D0 CEC4", "--codewords"}),
                             pdf417({"--text", "中文", "--codewords"})}) {
        const auto r = runProgram(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out.rfind(R"({"level":2,"columns":3,"rows":5,"length":7,"codewords":[7,901,214,208,206,196,900,)", 0), 0u)
            << r.out;
    }
}

TEST(Pdf417Cli, ImageHoldsTheWholeSymbol) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct {
        QStringList args;
        QSize size;
    } cases[] = {
        // 3 data columns, 120 modules of 2 pixels and the quiet zone; 5 rows of 8.
        {{QStringLiteral("--text"), QStringLiteral("ABCDEFGH")}, {256, 56}},
        {{QStringLiteral("--text"), QStringLiteral("ABCDEFGH"), QStringLiteral("--bar-width"), QStringLiteral("3"),
          QStringLiteral("--row-height"), QStringLiteral("5")}, {376, 41}},
        {{QStringLiteral("--text"), QStringLiteral("ABCDEFGH"), QStringLiteral("--truncated")}, {188, 56}},
        // 40 letters need 5 columns (308 pixels), wider than the template object's image.
        {{QStringLiteral("--text"), QString(40, QLatin1Char('A'))}, {324, 72}},
    };
    for (const auto& c : cases) {
        const QString file = QDir(dir.path()).filePath(QStringLiteral("symbol.png"));
        const auto r = runProgram(QStringList{QStringLiteral("pdf417"), QStringLiteral("-o"), file} + c.args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const QImage image(file);
        EXPECT_EQ(image.size(), c.size) << c.args.join(' ').toStdString();
        EXPECT_EQ(test::readPdf417(image), c.args[1].toStdString());
    }
}

TEST(Pdf417Cli, Failures) {
    const struct {
        QStringList args;
        int exitCode;
        const char* message;
    } cases[] = {
        {pdf417({"--text", "AB\\C999"}), 1, "Invalid Codeword"},
        {pdf417({"--text", "\\G811800"}), 1, "GLI value out of range"},
        {pdf417({"--text", "ABCDEFGH", "--columns", "1", "--rows", "3"}), 1, "Code too large for barcode"},
        {pdf417({"--text", "AB", "--columns", "31"}), 1, "Invalid Number of columns"},
        {pdf417({"--text", "AB", "--rows", "91"}), 1, "Invalid number of rows"},
        {pdf417({"--text", "AB", "--bar-width", "0"}), 1, "Bar Width cannot be less than one"},
        {pdf417({"--text", "AB", "--row-height", "0"}), 1, "Either BarHeight or BarHeightToWidth is required"},
        {pdf417({"--text", "AB", "--ecc", "9"}), 2, "--ecc"},
        {pdf417({"--text", "AB", "--ecc", "high"}), 2, "--ecc"},
        {pdf417({"--hex", "--text", "D6D"}), 2, "hexadecimal"},
        {pdf417({"--codewords"}), 2, "--text is required"},
    };
    for (const auto& c : cases) {
        const auto r = runProgram(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
}

} // namespace
} // namespace mirel::pdf417
