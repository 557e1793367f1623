// PDF417 modules on device pixels: the generator's picture painted as the
// template object paints it, one image pixel per page unit, onto images at
// label printer resolutions from a fractional position. Every module edge must
// fall on a whole pixel (the image's origin rounded to the nearest pixel plus
// the edge's own distance rounded), and zxing-cpp must read the symbol.

#include "pdf417/TStPDF417Barcode.h"

#include "Pdf417TestSupport.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>

namespace mirel::pdf417 {
namespace {

constexpr double kUnitsPerInch = 91.44;   // page units: 18 per 5 mm
constexpr QPointF kCorner(13.4, 7.7);     // device pixels

QImage paintAt(const TStPDF417Barcode& generator, double a, bool turned = false) {
    const QSizeF size = QSizeF(generator.Width(), generator.Height()) * a + QSizeF(30, 20);
    QImage image((turned ? size.transposed() : size).toSize(), QImage::Format_RGB32);
    image.fill(Qt::blue);   // shows where the picture does not reach
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (turned) {
        painter.translate(image.width(), 0);
        painter.rotate(90);
    }
    generator.DrawBitmap(painter, QRectF(kCorner, QSizeF(generator.Width(), generator.Height()) * a),
                         QRectF(0, 0, generator.Width(), generator.Height()));
    return image;
}

TEST(Pdf417DevicePixels, ModuleEdgesOnWholePixelsAndReadable) {
    TStPDF417Barcode generator;
    generator.SetCode("ABCDEFGH");
    const BarcodeRect r = generator.BarcodeRectangle();
    const QImage& bitmap = generator.Bitmap();
    for (const int dpi : {203, 300, 600}) {
        const double a = dpi / kUnitsPerInch;
        const QImage image = paintAt(generator, a);
        const auto x = [&](int imageX) { return std::lround(kCorner.x()) + std::lround(a * imageX); };
        const auto y = [&](int imageY) { return std::lround(kCorner.y()) + std::lround(a * imageY); };
        // Every device pixel of the picture has the colour of the image pixel
        // whose snapped square holds it.
        for (int iy = r.top; iy < r.bottom; ++iy) {
            for (int ix = 0; ix < bitmap.width(); ++ix) {
                const QRgb expected = bitmap.pixel(ix, iy);
                for (long dy = y(iy); dy < y(iy + 1); ++dy)
                    for (long dx = x(ix); dx < x(ix + 1); ++dx)
                        ASSERT_EQ(image.pixel(static_cast<int>(dx), static_cast<int>(dy)), expected)
                            << dpi << " dpi, image pixel " << ix << "," << iy;
            }
        }
        EXPECT_EQ(test::readPdf417(image), std::optional<std::string>("ABCDEFGH")) << dpi << " dpi";
        EXPECT_EQ(test::readPdf417(paintAt(generator, a, true)), std::optional<std::string>("ABCDEFGH"))
            << dpi << " dpi turned";
    }
}

TEST(Pdf417DevicePixels, APartOfThePictureIsCutAtItsTarget) {
    // The template object shows only what its frame holds of the 273 x 81 image.
    TStPDF417Barcode generator;
    generator.SetCode("ABCDEFGH");
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter painter(&image);
    generator.DrawBitmap(painter, QRectF(10, 10, 100, 50), QRectF(0, 0, 100, 50));
    painter.end();
    for (int yy = 0; yy < image.height(); ++yy)
        for (int xx = 0; xx < image.width(); ++xx) {
            const bool inside = xx >= 10 && xx < 110 && yy >= 10 && yy < 60;
            if (inside)
                ASSERT_EQ(image.pixel(xx, yy), generator.Bitmap().pixel(xx - 10, yy - 10)) << xx << "," << yy;
            else
                ASSERT_EQ(image.pixel(xx, yy), qRgb(0, 0, 255)) << xx << "," << yy;
        }
}

TEST(Pdf417DevicePixels, APdfKeepsTheModulesAsRectangles) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("symbol.pdf"));
    TStPDF417Barcode generator;
    generator.SetCode("PDF417 as vectors");
    {
        QPdfWriter writer(pdf);
        writer.setResolution(1200);
        QPainter painter(&writer);
        const double a = 1200 / kUnitsPerInch;
        generator.DrawBitmap(painter, QRectF(100, 100, generator.Width() * a, generator.Height() * a),
                             QRectF(0, 0, generator.Width(), generator.Height()));
    }
    QProcess images;
    images.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    ASSERT_TRUE(images.waitForFinished(20000));
    const QStringList lines = QString::fromUtf8(images.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 2) << "only the heading: no image in the PDF";
    QProcess raster;
    raster.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"),
                                              QStringLiteral("-singlefile"), pdf, dir.filePath(QStringLiteral("page"))});
    ASSERT_TRUE(raster.waitForFinished(20000));
    const QImage page(dir.filePath(QStringLiteral("page.png")));
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(test::readPdf417(page), std::optional<std::string>("PDF417 as vectors"));
}

} // namespace
} // namespace mirel::pdf417
