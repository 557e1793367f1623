// Output of prepared pages: PNG pages and PDF files read back by real readers
// (zxing-cpp for the symbols, poppler's pdftoppm, pdfimages, pdffonts and
// pdftotext for the PDF), a prepared report written to .frp and painted again,
// failed objects in the report, cancelling, printers writing a PDF, and
// mirel-cli render.

#include "ReportBuilder.h"
#include "engine/PageOutput.h"
#include "engine/Printers.h"
#include "template/PagePainter.h"

#include <gtest/gtest.h>

#include <ZXing/ReadBarcode.h>

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace mirel::engine {
namespace {

using mirel::test::ansi;

constexpr int kResolutions[] = {203, 300, 600};

// The label texts: an anti-counterfeit code in Code 128 and a 2D-code text
// with Chinese (code page bytes) in PDF417.
const std::string kCode = "Kx7Qm2Rw9T";
const std::string& code2d() {
    static const std::string text = ansi("产品批号 20240611\r\n合格 mirel");
    return text;
}

std::optional<std::string> read(const QImage& image, ZXing::BarcodeFormat format) {
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum,
                                static_cast<int>(gray.bytesPerLine()));
    const auto hints = ZXing::DecodeHints().setFormats(format).setTryHarder(true);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    if (!result.isValid())
        return std::nullopt;
    return std::string(result.bytes().begin(), result.bytes().end());
}

// One label page, 100 x 60 mm: a text, a Code 128 of the code with its text,
// and a PDF417 of the 2D-code text. `code` may be given another text for the
// barcode, `type` another symbology.
std::string labelStream(const std::string& code = kCode, std::uint8_t type = barcode::bcCode128B,
                        const std::string& text = ansi("标签打印 Label")) {
    test::registerBarcodeObjects();
    tmpl::ViewList views;
    auto memo = std::make_unique<tmpl::TfrMemoView>();
    memo->Name = "Memo1";
    memo->Left = 10;
    memo->Top = 10;
    memo->Width = 200;
    memo->Height = 20;
    memo->FontName = ansi("宋体");
    memo->FontSize = 12;
    memo->Memo = {text};
    views.push_back(std::move(memo));
    auto bar = std::make_unique<barcode::TfrBarCodeView>();
    bar->Name = "Bar1";
    bar->Left = 20;
    bar->Top = 40;
    bar->Width = 100;
    bar->Height = 60;
    bar->BarType = type;
    bar->CalcCheckSum = false;
    bar->Memo = {code};
    views.push_back(std::move(bar));
    auto pdf = std::make_unique<pdf417::Tfr2BarCodePDFView>();
    pdf->Name = "2BarCPDF1";
    pdf->Left = 10;
    pdf->Top = 115;
    pdf->Width = 273;
    pdf->Height = 81;
    pdf->Memo = {code2d()};
    views.push_back(std::move(pdf));
    return tmpl::writePreparedStream(views);
}

tmpl::TfrPreparedPages labelPages(int count) {
    tmpl::TfrPreparedPages pages;
    for (int i = 0; i < count; ++i) {
        tmpl::TfrPreparedPage& page = pages.Add(tmpl::PaperSettings{tmpl::kCustomPaper, 1000, 600, 0, -1});
        page.Stream = labelStream();
    }
    return pages;
}

QString run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Page count and page sizes in points as pdfinfo gives them.
int pdfPages(const QString& pdf) {
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QSizeF pdfPageSize(const QString& pdf, int page) {
    const QString info = run(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                                          QString::number(page), pdf});
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Page\\s+%1 size:\\s+([\\d.]+) x ([\\d.]+) pts").arg(page)).match(info);
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

QImage rasterise(const QString& pdf, int page, int dpi, const QString& folder) {
    const QString base = QDir(folder).filePath(QStringLiteral("raster-%1-%2").arg(page).arg(dpi));
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
                                     QString::number(page), QStringLiteral("-l"), QString::number(page),
                                     QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, base});
    return QImage(base + QStringLiteral(".png"));
}

class PageOutput : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    QTemporaryDir m_dir;
};

TEST_F(PageOutput, PngPagesReadAtPrinterResolutions) {
    const tmpl::TfrPreparedPages pages = labelPages(1);
    for (const int dpi : kResolutions) {
        const QString folder = path("png") + QString::number(dpi);
        auto sink = pngOutput(folder, dpi);
        const OutputReport report = writePages(pages.Pages, *sink);
        ASSERT_TRUE(report.ok()) << report.error.toStdString();
        EXPECT_TRUE(report.failures.empty());
        const QImage image(QDir(folder).filePath(pngPageName(0)));
        // 100 x 60 mm at the resolution.
        EXPECT_EQ(image.size(), QSize(static_cast<int>(std::lround(100 / 25.4 * dpi)),
                                      static_cast<int>(std::lround(60 / 25.4 * dpi))));
        EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, dpi, 0.5);
        // Black on white is written in grey, and packed: a tenth of the raw
        // pixels is plenty.
        EXPECT_EQ(image.format(), QImage::Format_Grayscale8) << dpi;
        EXPECT_LT(QFileInfo(QDir(folder).filePath(pngPageName(0))).size(), image.width() * image.height() / 10) << dpi;
        EXPECT_EQ(read(image, ZXing::BarcodeFormat::Code128), kCode) << dpi;
        EXPECT_EQ(read(image, ZXing::BarcodeFormat::PDF417), code2d()) << dpi;
    }
}

TEST_F(PageOutput, ColouredPagesKeepTheirColours) {
    tmpl::TfrPreparedPages pages;
    tmpl::TfrPreparedPage& page = pages.Add(tmpl::PaperSettings{tmpl::kCustomPaper, 500, 300, 0, -1});
    tmpl::ViewList views;
    auto shape = std::make_unique<tmpl::TfrShapeView>();
    shape->Left = 10;
    shape->Top = 10;
    shape->Width = 50;
    shape->Height = 30;
    shape->FillColor = 0x0000FF;   // red
    views.push_back(std::move(shape));
    page.Stream = tmpl::writePreparedStream(views);
    auto sink = pngOutput(path("colour"), 150);
    ASSERT_TRUE(writePages(pages.Pages, *sink).ok());
    const QImage image(QDir(path("colour")).filePath(pngPageName(0)));
    EXPECT_NE(image.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(image.pixel(static_cast<int>(35 / 91.44 * 150), static_cast<int>(25 / 91.44 * 150)), qRgb(255, 0, 0));
}

TEST_F(PageOutput, PdfKeepsTextAndBarsAsVectorsWithTheFontsEmbedded) {
    // A page with text and a linear symbol only: no image at all in the PDF.
    tmpl::TfrPreparedPages pages;
    tmpl::TfrPreparedPage& page = pages.Add(tmpl::PaperSettings{tmpl::kCustomPaper, 1000, 600, 0, -1});
    {
        const std::string stream = labelStream();
        tmpl::ViewList views = tmpl::readPreparedStream(stream);
        views.pop_back();   // the PDF417 object
        page.Stream = tmpl::writePreparedStream(views);
    }
    pages.Pages.push_back(labelPages(1).Pages.front());
    const QString pdf = path("labels.pdf");
    auto sink = pdfOutput(pdf, QStringLiteral("labels"));
    const OutputReport report = writePages(pages.Pages, *sink);
    ASSERT_TRUE(report.ok()) << report.error.toStdString();
    EXPECT_EQ(report.pages, 2);

    const QStringList images = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), QStringLiteral("-f"),
                                                                  QStringLiteral("1"), QStringLiteral("-l"),
                                                                  QStringLiteral("1"), pdf})
                                   .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(images.size(), 2) << "the heading only:\n" << images.join(QLatin1Char('\n')).toStdString();

    const QString fonts = run(QStringLiteral("pdffonts"), {pdf});
    EXPECT_TRUE(fonts.contains(QStringLiteral("NotoSerifCJKsc"))) << fonts.toStdString();
    for (const QString& line : fonts.split(QLatin1Char('\n')).mid(2)) {
        if (!line.trimmed().isEmpty()) {
            EXPECT_TRUE(line.contains(QStringLiteral(" yes "))) << "embedded: " << line.toStdString();
        }
    }
    const QString text = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("标签打印 Label"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromLatin1(kCode.c_str()))) << "the human-readable text";

    // 100 x 60 mm; a PDF page is a whole number of points.
    const QSizeF size = pdfPageSize(pdf, 1);
    EXPECT_NEAR(size.width(), 100 / 25.4 * 72, 0.5);
    EXPECT_NEAR(size.height(), 60 / 25.4 * 72, 0.5);

    for (const int dpi : kResolutions) {
        EXPECT_EQ(read(rasterise(pdf, 1, dpi, m_dir.path()), ZXing::BarcodeFormat::Code128), kCode) << dpi;
        const QImage second = rasterise(pdf, 2, dpi, m_dir.path());
        EXPECT_EQ(read(second, ZXing::BarcodeFormat::Code128), kCode) << dpi;
        EXPECT_EQ(read(second, ZXing::BarcodeFormat::PDF417), code2d()) << dpi;
    }
}

TEST_F(PageOutput, APreparedReportFileReadBackPaintsTheSamePixels) {
    // Every kind of object, painted from the objects themselves and from the
    // .frp file they were written to.
    test::registerBarcodeObjects();
    tmpl::ViewList views = tmpl::readPreparedStream(labelStream());
    auto picture = std::make_unique<tmpl::TfrPictureView>();
    QImage logo(6, 4, QImage::Format_RGB32);
    logo.fill(Qt::darkGreen);
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    logo.save(&buffer, "BMP");
    picture->Left = 250;
    picture->Top = 10;
    picture->Width = 60;
    picture->Height = 40;
    picture->GraphicKind = 1;
    picture->Graphic = bmp.toStdString();
    views.push_back(std::move(picture));
    auto shape = std::make_unique<tmpl::TfrShapeView>();
    shape->Left = 300;
    shape->Top = 60;
    shape->Width = 40;
    shape->Height = 30;
    shape->Shape = tmpl::TfrShapeView::skEllipse;
    shape->FillColor = 0x00C0FF;
    views.push_back(std::move(shape));
    auto round = std::make_unique<tmpl::TfrRoundRectView>();
    round->Left = 220;
    round->Top = 110;
    round->Width = 120;
    round->Height = 40;
    round->Memo = {ansi("圆角 Rounded")};
    round->Alignment = 2 | 8;
    views.push_back(std::move(round));
    auto line = std::make_unique<tmpl::TfrLineView>();
    line->Left = 220;
    line->Top = 170;
    line->Width = 120;
    line->FrameWidth = 1.5;
    line->FrameStyle = 1;
    views.push_back(std::move(line));
    auto check = std::make_unique<tmpl::TfrCheckBoxView>();
    check->Left = 220;
    check->Top = 180;
    check->Width = 20;
    check->Height = 20;
    check->Memo = {"1"};
    views.push_back(std::move(check));

    tmpl::TfrPreparedPages pages;
    tmpl::TfrPreparedPage& page = pages.Add(tmpl::PaperSettings{tmpl::kCustomPaper, 1000, 600, 0, -1});
    page.Stream = tmpl::writePreparedStream(views);
    tmpl::TfrReport report;
    mirel::test::writeFile(path("labels.frp"), pages.SaveToBytes(report));

    tmpl::TfrPreparedPages loaded;
    tmpl::TfrReport loadedReport;
    loaded.LoadFromBytes(mirel::test::readFile(path("labels.frp")), loadedReport);
    ASSERT_EQ(loaded.Pages.size(), 1u);

    const tmpl::PageDevice device{300, 300, {}};
    const QSize size = tmpl::pagePixelSize(page, 300, 300).toSize();
    QImage direct(size, QImage::Format_RGB32);
    direct.fill(Qt::white);
    {
        QPainter painter(&direct);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        std::vector<tmpl::PaintFailure> failures;
        tmpl::paintObjects(painter, views, tmpl::preparedPaintContext(device), &failures);
        EXPECT_TRUE(failures.empty());
    }
    QImage again(size, QImage::Format_RGB32);
    again.fill(Qt::white);
    {
        QPainter painter(&again);
        tmpl::paintPreparedPage(painter, loaded.Pages.front(), device);
    }
    EXPECT_TRUE(direct == again);
    EXPECT_EQ(read(again, ZXing::BarcodeFormat::Code128), kCode);
}

TEST_F(PageOutput, FailedObjectsAreReportedAndTheRestPrints) {
    // An EAN-13 whose text is no number prints nothing (no sample number), and
    // the report names the page, the object and where it stands.
    tmpl::TfrPreparedPages pages = labelPages(2);
    pages.Pages[1].Stream = labelStream("abc", barcode::bcCodeEAN13);
    auto sink = pngOutput(path("png"), 203);
    const OutputReport report = writePages(pages.Pages, *sink);
    EXPECT_TRUE(report.ok());
    EXPECT_EQ(report.pages, 2);
    ASSERT_EQ(report.failures.size(), 1u);
    const tmpl::PaintFailure& f = report.failures.front();
    EXPECT_EQ(f.page, 1);
    EXPECT_EQ(f.object, 1);
    EXPECT_EQ(f.name, QStringLiteral("Bar1"));
    EXPECT_EQ(f.className, QStringLiteral("TfrBarCodeView"));
    EXPECT_EQ(f.frame.topLeft(), QPoint(20, 40));
    EXPECT_TRUE(describeFailure(f).startsWith(QStringLiteral("page 2, object Bar1 (TfrBarCodeView) at 20,40: ")))
        << describeFailure(f).toStdString();
    const QImage second(QDir(path("png")).filePath(pngPageName(1)));
    EXPECT_EQ(read(second, ZXing::BarcodeFormat::EAN13), std::nullopt);
    EXPECT_EQ(read(second, ZXing::BarcodeFormat::PDF417), code2d());
}

TEST_F(PageOutput, CancellingLeavesNothingBehind) {
    const tmpl::TfrPreparedPages pages = labelPages(3);
    const QString pdf = path("kept.pdf");
    mirel::test::writeFile(pdf, "an earlier file");
    std::vector<int> seen;
    const auto stopAfterOne = [&](int done, int total) {
        seen.push_back(done);
        EXPECT_EQ(total, 3);
        return done < 1;
    };
    auto toPdf = pdfOutput(pdf);
    const OutputReport cancelled = writePages(pages.Pages, *toPdf, stopAfterOne);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_FALSE(cancelled.ok());
    EXPECT_EQ(seen, std::vector<int>({1}));
    EXPECT_EQ(mirel::test::readFile(pdf), "an earlier file");

    auto toPng = pngOutput(path("png"), 100);
    EXPECT_TRUE(writePages(pages.Pages, *toPng, [](int done, int) { return done < 2; }).cancelled);
    EXPECT_TRUE(QDir(path("png")).entryList(QDir::Files).isEmpty());

    // Finished, the PDF replaces the earlier file.
    auto complete = pdfOutput(pdf);
    seen.clear();
    EXPECT_TRUE(writePages(pages.Pages, *complete, [&](int done, int) { seen.push_back(done); return true; }).ok());
    EXPECT_EQ(seen, std::vector<int>({1, 2, 3}));
    EXPECT_TRUE(mirel::test::readFile(pdf).starts_with("%PDF"));
}

TEST_F(PageOutput, OutputErrorsAreReported) {
    const tmpl::TfrPreparedPages pages = labelPages(1);
    mirel::test::writeFile(path("file"), "x");
    auto png = pngOutput(path("file"), 300);   // a file where the folder should be
    const OutputReport toFile = writePages(pages.Pages, *png);
    EXPECT_FALSE(toFile.ok());
    EXPECT_FALSE(toFile.error.isEmpty());
    auto pdf = pdfOutput(path("missing/folder/out.pdf"));
    const OutputReport noFolder = writePages(pages.Pages, *pdf);
    EXPECT_FALSE(noFolder.ok());
    EXPECT_TRUE(noFolder.error.contains(QStringLiteral("out.pdf"))) << noFolder.error.toStdString();
    auto tooLarge = pngOutput(path("big"), 20000);
    EXPECT_FALSE(writePages(pages.Pages, *tooLarge).ok());
}

TEST_F(PageOutput, APrinterTakesEachPagesPaper) {
    // A printer writing PDF stands for an installed one: the pages keep their
    // own paper, A4 portrait and a 60 x 40 mm label, and the symbol reads.
    tmpl::TfrPreparedPages pages;
    tmpl::TfrPreparedPage& a4 = pages.Add(tmpl::PaperSettings{9, 2100, 2970, 0, -1});
    a4.Stream = labelStream();
    tmpl::TfrPreparedPage& label = pages.Add(tmpl::PaperSettings{tmpl::kCustomPaper, 600, 400, 0, -1});
    label.Stream = labelStream();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(300);
    printer.setOutputFileName(path("printed.pdf"));
    auto sink = printerOutput(printer);
    const OutputReport report = writePages(pages.Pages, *sink);
    ASSERT_TRUE(report.ok()) << report.error.toStdString();
    const QSizeF a4Size = pdfPageSize(path("printed.pdf"), 1);
    EXPECT_NEAR(a4Size.width(), 595.3, 0.5);
    EXPECT_NEAR(a4Size.height(), 841.9, 0.5);
    const QSizeF labelSize = pdfPageSize(path("printed.pdf"), 2);
    EXPECT_NEAR(labelSize.width(), 60 / 25.4 * 72, 0.5);
    EXPECT_NEAR(labelSize.height(), 40 / 25.4 * 72, 0.5);
    EXPECT_EQ(read(rasterise(path("printed.pdf"), 1, 300, m_dir.path()), ZXing::BarcodeFormat::Code128), kCode);
}

TEST(Printers, WithoutPrintersTheVirtualPrinterIsCurrent) {
    QtPrinterLayer layer({}, QString(), [](const QString&) { return std::unique_ptr<QPrinter>(); });
    EXPECT_TRUE(layer.CurrentIsVirtual());
    EXPECT_EQ(layer.CurrentPrinter(), QStringLiteral("虚拟打印机"));
    EXPECT_EQ(layer.PrinterNames(), QStringList({QStringLiteral("虚拟打印机")}));
    EXPECT_FALSE(layer.SelectPrinter(QStringLiteral("Zebra")));
    // The table answers: A4 landscape exchanges width and height.
    const tmpl::PaperSettings a4 = layer.ApplyPaper({9, 0, 0, 1, -1});
    EXPECT_EQ(a4.size, 9);
    EXPECT_EQ(a4.width, 2970);
    EXPECT_EQ(a4.height, 2100);
}

// A layer over one installed printer that writes PDF, so its driver side can
// be checked without a printer on the machine.
QtPrinterLayer pdfPrinters(QStringList installed) {
    return QtPrinterLayer(std::move(installed), QStringLiteral("Label"), [](const QString&) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setResolution(203);
        printer->setFullPage(true);
        return printer;
    });
}

TEST(Printers, PaperIsAppliedToTheDriverAndReadBack) {
    QtPrinterLayer layer = pdfPrinters({QStringLiteral("Office"), QStringLiteral("Label")});
    EXPECT_FALSE(layer.CurrentIsVirtual());
    EXPECT_EQ(layer.CurrentPrinter(), QStringLiteral("Label"));
    EXPECT_EQ(layer.PrinterNames(),
              QStringList({QStringLiteral("Office"), QStringLiteral("Label"), QStringLiteral("虚拟打印机")}));
    struct Case {
        tmpl::PaperSettings requested;
        tmpl::PaperSettings effective;   // measured from the device at 203 dpi, within a tenth
    };
    const Case cases[] = {
        {{9, 0, 0, 0, -1}, {9, 2100, 2970, 0, -1}},
        {{9, 0, 0, 1, -1}, {9, 2970, 2100, 1, -1}},
        {{1, 0, 0, 0, -1}, {1, 2159, 2794, 0, -1}},
        {{tmpl::kCustomPaper, 600, 400, 0, -1}, {tmpl::kCustomPaper, 600, 400, 0, -1}},
        {{tmpl::kCustomPaper, 600, 400, 1, -1}, {tmpl::kCustomPaper, 600, 400, 1, -1}},
        // Qt's size of this code differs from the table's: the table's is asked for.
        {{24, 0, 0, 0, -1}, {tmpl::kCustomPaper, 4318, 5588, 0, -1}},
    };
    for (const Case& c : cases) {
        const tmpl::PaperSettings got = layer.ApplyPaper(c.requested);
        EXPECT_EQ(got.size, c.effective.size) << c.requested.size;
        EXPECT_EQ(got.orientation, c.effective.orientation) << c.requested.size;
        EXPECT_NEAR(got.width, c.effective.width, 1) << c.requested.size;
        EXPECT_NEAR(got.height, c.effective.height, 1) << c.requested.size;
        EXPECT_EQ(got.bin, -1);
        const tmpl::PrintableArea area = layer.Printable(got);
        EXPECT_EQ(area.width, got.width) << "a PDF prints to the edges";
    }
    EXPECT_TRUE(layer.SelectPrinter(QStringLiteral("虚拟打印机")));
    EXPECT_TRUE(layer.CurrentIsVirtual());
}

TEST(Printers, PaperSizesAndSources) {
    struct Size {
        int code;
        QPageSize::PageSizeId id;
    };
    const Size sizes[] = {{1, QPageSize::Letter}, {5, QPageSize::Legal}, {8, QPageSize::A3},
                          {9, QPageSize::A4},     {11, QPageSize::A5},   {13, QPageSize::JisB5}};
    for (const Size& s : sizes) {
        EXPECT_EQ(pageSizeFor({s.code, 0, 0, 0, -1}).id(), s.id) << s.code;
        EXPECT_EQ(paperCodeFor(QPageSize(s.id)), s.code);
    }
    // Codes Qt has no size for, or another size: the table's, by its dimensions.
    EXPECT_EQ(pageSizeFor({14, 0, 0, 0, -1}).sizePoints(), QSize(612, 936));   // 8 1/2 x 13 in
    EXPECT_EQ(pageSizeFor({12, 0, 0, 0, -1}).size(QPageSize::Millimeter), QSizeF(250, 354));
    // Custom sizes are as the page lies: a landscape label is defined upright.
    EXPECT_EQ(pageSizeFor({256, 600, 400, 0, -1}).size(QPageSize::Millimeter), QSizeF(60, 40));
    EXPECT_EQ(pageSizeFor({256, 600, 400, 1, -1}).size(QPageSize::Millimeter), QSizeF(40, 60));
    EXPECT_EQ(paperCodeFor(QPageSize(QSizeF(61, 37), QPageSize::Millimeter)), 256);

    struct Source {
        int bin;
        QPrinter::PaperSource source;
    };
    const Source sources[] = {{1, QPrinter::Upper},     {2, QPrinter::Lower},     {4, QPrinter::Manual},
                              {7, QPrinter::Auto},      {8, QPrinter::Tractor},   {14, QPrinter::Cassette},
                              {15, QPrinter::FormSource}};
    for (const Source& s : sources) {
        EXPECT_EQ(paperSourceFor(s.bin), s.source) << s.bin;
        EXPECT_EQ(binFor(s.source), s.bin) << s.bin;
    }
    EXPECT_EQ(paperSourceFor(-1), std::nullopt);
    EXPECT_EQ(paperSourceFor(12), std::nullopt);
}

TEST_F(PageOutput, RenderCommandPaintsAPreparedReportFile) {
    tmpl::TfrPreparedPages pages = labelPages(2);
    tmpl::TfrReport report;
    mirel::test::writeFile(path("job.frp"), pages.SaveToBytes(report));

    const auto pdf = mirel::test::runProgram({QStringLiteral("render"), path("job.frp"), QStringLiteral("-o"), path("job.pdf")});
    EXPECT_EQ(pdf.exitCode, 0) << pdf.err;
    EXPECT_EQ(pdf.out, "{\"pages\":2}\n");
    EXPECT_EQ(pdfPages(path("job.pdf")), 2);

    const auto png = mirel::test::runProgram({QStringLiteral("render"), path("job.frp"), QStringLiteral("--png"),
                                              path("pages"), QStringLiteral("--dpi"), QStringLiteral("203")});
    EXPECT_EQ(png.exitCode, 0) << png.err;
    EXPECT_EQ(QDir(path("pages")).entryList(QDir::Files), QStringList({pngPageName(0), pngPageName(1)}));
    EXPECT_EQ(read(QImage(QDir(path("pages")).filePath(pngPageName(1))), ZXing::BarcodeFormat::Code128), kCode);

    // A label that fails: the output is written, the failure on stderr, exit 1.
    pages.Pages[0].Stream = labelStream("12a", barcode::bcCodeEAN8);
    mirel::test::writeFile(path("bad.frp"), pages.SaveToBytes(report));
    const auto bad = mirel::test::runProgram({QStringLiteral("render"), path("bad.frp"), QStringLiteral("-o"), path("bad.pdf")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.out, "{\"pages\":2}\n");
    EXPECT_NE(bad.err.find("page 1, object Bar1 (TfrBarCodeView) at 20,40"), std::string::npos) << bad.err;

    // Compressed page data cannot be read: nothing is written rather than
    // blank pages.
    std::string compressed = pages.SaveToBytes(report);
    compressed[1] = 1;
    mirel::test::writeFile(path("compressed.frp"), compressed);
    const auto refused =
        mirel::test::runProgram({QStringLiteral("render"), path("compressed.frp"), QStringLiteral("-o"), path("c.pdf")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("compressed"), std::string::npos) << refused.err;
    EXPECT_FALSE(QFileInfo::exists(path("c.pdf")));

    struct Usage {
        QStringList args;
        int exitCode;
    };
    const Usage usages[] = {
        {{QStringLiteral("render"), path("job.frp")}, 2},
        {{QStringLiteral("render"), path("job.frp"), QStringLiteral("-o"), path("x.pdf"), QStringLiteral("--png"), path("x")}, 2},
        {{QStringLiteral("render"), path("job.frp"), QStringLiteral("-o"), path("x.pdf"), QStringLiteral("--dpi"), QStringLiteral("300")}, 2},
        {{QStringLiteral("render"), path("job.frp"), QStringLiteral("--png"), path("x"), QStringLiteral("--dpi"), QStringLiteral("0")}, 2},
        {{QStringLiteral("render"), path("job.frp"), QStringLiteral("--png"), path("x"), QStringLiteral("--dpi"), QStringLiteral("3e2")}, 2},
        {{QStringLiteral("render"), path("none.frp"), QStringLiteral("-o"), path("x.pdf")}, 1},
    };
    for (const Usage& u : usages)
        EXPECT_EQ(mirel::test::runProgram(u.args).exitCode, u.exitCode) << u.args.join(QLatin1Char(' ')).toStdString();
}

} // namespace
} // namespace mirel::engine
