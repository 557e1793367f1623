// The default label templates: the committed files are what the generator
// makes, and printed over a real code store with mirel-cli, to PDF (read back
// through pdftoppm) and to PNG pages at label printer resolutions, every Code
// 128 reads as the store's codes in order and every PDF417 as the 2D-code text;
// a prepared report of them painted again gives the same pixels.

#include "ReportBuilder.h"
#include "codes/CodeStore.h"
#include "templates/DefaultTemplates.h"

#include <gtest/gtest.h>

#include <ZXing/ReadBarcode.h>

#include <QDir>
#include <QImageReader>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <ostream>
#include <optional>

namespace mirel::engine {
namespace {

using mirel::test::ansi;
using mirel::test::runProgram;

QString templatePath(const char* fileName) {
    return QStringLiteral(MIREL_SOURCE_DIR "/data/模板/") + QString::fromUtf8(fileName);
}

class NoMessages final : public tmpl::TemplateHost {
public:
    void ShowError(const QString& text, const QString& caption) override {
        ADD_FAILURE() << caption.toStdString() << ": " << text.toStdString();
    }
    std::optional<AnsiString> AskPassword() override { return std::nullopt; }
};

TEST(DefaultTemplates, TheCommittedFilesAreWhatTheGeneratorMakes) {
    for (const tools::DefaultTemplate& t : tools::defaultTemplates()) {
        const std::string committed = mirel::test::readFile(templatePath(t.fileName));
        ASSERT_FALSE(committed.empty()) << t.fileName << ": run `make templates` and commit data/模板";
        // The files differ only in the date they were last saved.
        test::registerBarcodeObjects();
        tmpl::TfrReport read;
        NoMessages host;
        read.LoadFromBytes(committed, host);
        const std::string made = t.make(read.LastChange);
        const auto differ = std::mismatch(committed.begin(), committed.end(), made.begin(), made.end());
        EXPECT_TRUE(committed == made) << t.fileName << ": the generator makes another template from byte "
                                       << differ.first - committed.begin()
                                       << "; run `make templates` and commit data/模板";
    }
}

// A label's place on its page, page units.
struct Cell {
    int page;   // 1-based, as pdftoppm counts
    int left, top, width, height;
};

struct Layout {
    const char* fileName;
    friend void PrintTo(const Layout& layout, std::ostream* os) { *os << layout.fileName; }
    int labels;                       // printed in the test
    int perPage;
    int columns;
    int width, height, top;           // of a label, page units
    const char* code2d;               // the 2D-code text, UTF-8
};

// The sheet: 27 labels are a full page and three of the next. The 2D-code
// texts have Chinese and a line break. The PDF417 symbol is drawn at 2 units a
// module, so the labels show every data column of at most five (70 mm, 27
// codewords) and four (60 mm, 20 codewords); the right row indicator and the
// stop pattern of such a symbol are cut at the label's edge, and the reader
// goes by the left row indicator.
constexpr Layout kLayouts[] = {
    {"infoNO.frf", 27, 24, 3, 252, 133, 2, "产品：苹果\r\n批号：2026"},
    {"卷标60x40.frf", 4, 1, 1, 216, 142, 1, "产品：苹果\r\n批号：26"},
};

Cell cellOf(const Layout& layout, int label) {
    const int onPage = label % layout.perPage;
    return {label / layout.perPage + 1, onPage % layout.columns * layout.width,
            layout.top + onPage / layout.columns * layout.height, layout.width, layout.height};
}

// The part of a page image that lies `from` to `to` page units below a
// label's top, across the label.
QImage band(const QImage& page, const Cell& cell, int from, int to, int dpi) {
    const double px = dpi * 5.0 / 18 / 25.4;
    const QRect r(static_cast<int>(std::floor(cell.left * px)), static_cast<int>(std::floor((cell.top + from) * px)),
                  static_cast<int>(std::ceil(cell.width * px)), static_cast<int>(std::ceil((to - from) * px)));
    return page.copy(r.intersected(page.rect()));
}

std::optional<std::string> read(const QImage& image, ZXing::BarcodeFormat format) {
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum,
                                static_cast<int>(gray.bytesPerLine()));
    const ZXing::Result result = ZXing::ReadBarcode(view, ZXing::DecodeHints().setFormats(format).setTryHarder(true));
    if (!result.isValid())
        return std::nullopt;
    return std::string(result.bytes().begin(), result.bytes().end());
}

class DefaultTemplatePrint : public ::testing::TestWithParam<Layout> {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        // An A4 page at 600 dpi is 140 MB of pixels while it is read.
        QImageReader::setAllocationLimit(512);
        m_db = m_dir.filePath(QStringLiteral("dbno.csh"));
        codes::CodeStore store(m_db);
        codes::CodeList list;
        ASSERT_TRUE(store.generate("abcd", GetParam().labels, list));
        for (const codes::CodeRecord& r : store.records(0, GetParam().labels))
            m_codes.push_back(r.key1);
    }

    // mirel-cli print of the template over the store with the 2D-code text.
    void print(const QStringList& outputs) {
        const Layout& layout = GetParam();
        const auto r = runProgram(QStringList{QStringLiteral("print"), templatePath(layout.fileName),
                                              QStringLiteral("--db"), m_db, QStringLiteral("--var"),
                                              QStringLiteral("二维码=") + QString::fromUtf8(layout.code2d)}
                                  + outputs);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const int pages = (layout.labels + layout.perPage - 1) / layout.perPage;
        EXPECT_EQ(r.out, "{\"pages\":" + std::to_string(pages) + ",\"labels\":" + std::to_string(layout.labels) + "}\n");
        EXPECT_TRUE(r.err.empty()) << r.err;
    }

    // Every label of the pages: its Code 128 is its code, its PDF417 the text.
    void expectLabelsRead(const std::function<QImage(int page)>& pageImage, int dpi, const char* output) {
        const Layout& layout = GetParam();
        int loaded = 0;
        QImage page;
        for (int i = 0; i < layout.labels; ++i) {
            const Cell cell = cellOf(layout, i);
            if (cell.page != loaded) {
                page = pageImage(cell.page);
                ASSERT_FALSE(page.isNull()) << output << " page " << cell.page << " at " << dpi;
                loaded = cell.page;
            }
            EXPECT_EQ(read(band(page, cell, 26, 62, dpi), ZXing::BarcodeFormat::Code128), m_codes[size_t(i)])
                << layout.fileName << " " << output << " at " << dpi << " dpi, label " << i + 1;
            EXPECT_EQ(read(band(page, cell, 62, cell.height, dpi), ZXing::BarcodeFormat::PDF417), ansi(layout.code2d))
                << layout.fileName << " " << output << " at " << dpi << " dpi, label " << i + 1;
        }
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    QString m_db;
    std::vector<AnsiString> m_codes;
};

TEST_P(DefaultTemplatePrint, PdfPagesReadAtPrinterResolutions) {
    const QString pdf = path(QStringLiteral("labels.pdf"));
    print({QStringLiteral("-o"), pdf});
    for (const int dpi : {203, 300, 600}) {
        expectLabelsRead(
            [&](int page) {
                const QString base = path(QStringLiteral("raster-%1-%2").arg(dpi).arg(page));
                QProcess::execute(QStringLiteral("pdftoppm"),
                                  {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), QString::number(page),
                                   QStringLiteral("-l"), QString::number(page), QStringLiteral("-gray"),
                                   QStringLiteral("-singlefile"), pdf, base});
                // A PGM file: encoding a PNG page at 600 dpi would take most of the time.
                return QImage(base + QStringLiteral(".pgm"));
            },
            dpi, "PDF");
    }
}

TEST_P(DefaultTemplatePrint, PngPagesReadAtPrinterResolutions) {
    for (const int dpi : {203, 300, 600}) {
        const QString folder = path(QStringLiteral("png%1").arg(dpi));
        print({QStringLiteral("--png"), folder, QStringLiteral("--dpi"), QString::number(dpi)});
        expectLabelsRead(
            [&](int page) { return QImage(QDir(folder).filePath(QStringLiteral("page-%1.png").arg(page, 4, 10, QLatin1Char('0')))); },
            dpi, "PNG");
    }
}

TEST_P(DefaultTemplatePrint, APreparedReportPaintsTheSamePixelsAgain) {
    const QString frp = path(QStringLiteral("labels.frp"));
    print({QStringLiteral("--frp"), frp, QStringLiteral("--png"), path(QStringLiteral("printed")),
           QStringLiteral("--dpi"), QStringLiteral("203")});
    const auto r = runProgram({QStringLiteral("render"), frp, QStringLiteral("--png"), path(QStringLiteral("rendered")),
                               QStringLiteral("--dpi"), QStringLiteral("203")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QStringList pages = QDir(path(QStringLiteral("printed"))).entryList(QDir::Files);
    ASSERT_FALSE(pages.isEmpty());
    EXPECT_EQ(QDir(path(QStringLiteral("rendered"))).entryList(QDir::Files), pages);
    for (const QString& page : pages) {
        const QImage printed(QDir(path(QStringLiteral("printed"))).filePath(page));
        const QImage rendered(QDir(path(QStringLiteral("rendered"))).filePath(page));
        EXPECT_FALSE(printed.isNull());
        EXPECT_TRUE(printed == rendered) << page.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(, DefaultTemplatePrint, ::testing::ValuesIn(kLayouts),
                         [](const ::testing::TestParamInfo<Layout>& info) {
                             return info.index == 0 ? std::string("Sheet") : std::string("Roll");
                         });

} // namespace
} // namespace mirel::engine
