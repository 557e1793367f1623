// mirel-cli barcode pattern and barcode render.

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <ZXing/ReadBarcode.h>

#include <QImage>
#include <QTemporaryDir>

namespace {

using mirel::test::runProgram;

QStringList args(std::initializer_list<const char*> list) {
    QStringList out;
    for (const char* a : list)
        out << QString::fromUtf8(a);
    return out;
}

TEST(BarcodeCli, PatternPrintsOneLineOfJson) {
    struct Case {
        std::initializer_list<const char*> args;
        const char* json;
    };
    const Case cases[] = {
        {{"--type", "EAN13", "--text", "690123456789", "--checksum"},
         R"({"type":14,"text":"6901234567892","pattern":"50525060517061616060805052605050517050535251515270516061505","width":95,"modul":1,"ratio":2})"},
        {{"--type", "6", "--text", "Hi"},
         R"({"type":6,"text":"Hi","pattern":"6051536250525360515180516270506","width":57,"modul":1,"ratio":2})"},
        {{"--type", "UPC Supp2", "--text", "12", "--checksum"},
         R"({"type":18,"text":"125","pattern":"5061615051516","width":20,"modul":1,"ratio":2})"},
        {{"--type", "Codebar", "--text", "12", "--modul", "2"},
         R"({"type":12,"text":"12","pattern":"5061515050506150505150605151506","width":82,"modul":2,"ratio":2})"},
        // The ratio after the symbology's correction.
        {{"--type", "2_5_matrix", "--text", "1"},
         R"({"type":2,"text":"1","pattern":"70505060506070505","width":23,"modul":1,"ratio":2.25})"},
        {{"--type", "Code39", "--text", "", "--ratio", "1.5"},
         R"({"type":3,"text":"","pattern":"5150606050515060605","width":25,"modul":1,"ratio":2})"},
        {{"--type", "Code128B", "--text", "a\"b\\c", "--ratio", "2.5"},
         R"({"type":6,"text":"a\"b\\c","pattern":"6051535150636161605153607080505350616150716270506","width":90,"modul":1,"ratio":2.5})"},
    };
    for (const Case& c : cases) {
        const auto r = runProgram(args({"barcode", "pattern"}) + args(c.args));
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, std::string(c.json) + "\n");
    }
}

TEST(BarcodeCli, EncoderErrorsAndBadCommandLines) {
    struct Case {
        std::initializer_list<const char*> args;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {{"--type", "Code93", "--text", "abc"}, 1, "TfrBarcode:Code93 bad Data <abc>"},
        {{"--type", "EAN13", "--text", "12a"}, 1, "Barcode must be numeric"},
        {{"--type", "Code39", "--text", "abc"}, 1, "TfrBarcode:Code39 cannot encode 'a' (code 97)"},
        {{"--type", "23", "--text", "1"}, 2, "--type"},
        {{"--type", "Codabar", "--text", "1"}, 2, "--type"},
        {{"--type", "EAN13"}, 2, "--text"},
        {{"--type", "EAN13", "--text", "1", "--modul", "50"}, 2, "--modul"},
        {{"--type", "EAN13", "--text", "1", "--ratio", "x"}, 2, "--ratio"},
    };
    for (const Case& c : cases) {
        const auto r = runProgram(args({"barcode", "pattern"}) + args(c.args));
        EXPECT_EQ(r.exitCode, c.exitCode) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_EQ(runProgram(args({"barcode", "frobnicate"})).exitCode, 2);
    EXPECT_EQ(runProgram(args({"barcode"})).exitCode, 2);
}

std::string readPng(const QString& path, ZXing::BarcodeFormat format) {
    const QImage image = QImage(path).convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(image.constBits(), image.width(), image.height(), ZXing::ImageFormat::Lum,
                                static_cast<int>(image.bytesPerLine()));
    const ZXing::Result result = ZXing::ReadBarcode(view, ZXing::DecodeHints().setFormats(format));
    return result.isValid() ? std::string(result.bytes().begin(), result.bytes().end()) : std::string("(not read)");
}

TEST(BarcodeCli, RenderDrawsWhatTheObjectPaints) {
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("ean.png"));
    auto r = runProgram(args({"barcode", "render", "--type", "EAN13", "--text", "690123456789", "--checksum",
                              "--margin", "12", "-o"}) << png);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    QImage image(png);
    // (95 + 2 x 12) x (60 + 2 x 12) page units, 3 pixels each.
    EXPECT_EQ(image.size(), QSize(357, 252));
    EXPECT_EQ(readPng(png, ZXing::BarcodeFormat::EAN13), "6901234567892");

    // Without a margin the frame is the image: at 90 degrees 60 wide, 95 x 2 high.
    const QString rotated = dir.filePath(QStringLiteral("rotated.png"));
    r = runProgram(args({"barcode", "render", "--type", "Code128B", "--text", "Hi", "--rotation", "90", "--zoom", "2",
                         "--scale", "1", "--no-text", "-o"}) << rotated);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    image = QImage(rotated);
    EXPECT_EQ(image.size(), QSize(60, 114));
    // The start character's first bar (2 modules, 4 units) at the bottom.
    EXPECT_EQ(image.pixel(59, 113), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(0, 110), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(59, 109), qRgb(255, 255, 255));

    const QString svg = dir.filePath(QStringLiteral("code.svg"));
    r = runProgram(args({"barcode", "render", "--type", "Code39", "--text", "ABC", "-o"}) << svg);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string svgText = mirel::test::readFile(svg);
    EXPECT_NE(svgText.find("<svg"), std::string::npos);
    EXPECT_NE(svgText.find("<rect"), std::string::npos);

    const QString pdf = dir.filePath(QStringLiteral("code.pdf"));
    r = runProgram(args({"barcode", "render", "--type", "Code39", "--text", "ABC", "--height", "40", "-o"}) << pdf);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(mirel::test::readFile(pdf).substr(0, 5), "%PDF-");
}

TEST(BarcodeCli, RenderRefusesWhatItCannotDraw) {
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("x.png"));
    auto r = runProgram(args({"barcode", "render", "--type", "Code93", "--text", "abc", "-o"}) << png);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("TfrBarcode:Code93 bad Data <abc>"), std::string::npos);
    EXPECT_FALSE(QFile::exists(png));
    r = runProgram(args({"barcode", "render", "--type", "EAN13", "--text", "1", "-o"}) << dir.filePath("x.gif"));
    EXPECT_EQ(r.exitCode, 2);
    r = runProgram(args({"barcode", "render", "--type", "EAN13", "--text", "1", "--rotation", "45", "-o"}) << png);
    EXPECT_EQ(r.exitCode, 2);
    r = runProgram(args({"barcode", "render", "--type", "EAN13", "--text", "1"}));
    EXPECT_EQ(r.exitCode, 2);
}

} // namespace
