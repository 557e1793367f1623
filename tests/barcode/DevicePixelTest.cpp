// Bars on device pixels: the barcode picture played onto images at label
// printer resolutions, from frames at fractional positions, with antialiasing
// on. Every bar edge must fall on a whole pixel, at the symbol's origin rounded
// to the nearest pixel plus its own distance from the origin rounded, and a
// real reader (zxing-cpp) must read the symbol.

#include "barcode/BarcodePicture.h"

#include "BarcodeTestSupport.h"

#include <gtest/gtest.h>

#include <ZXing/ReadBarcode.h>

#include <QPainter>
#include <cmath>

namespace mirel::barcode {
namespace {

constexpr double kUnitsPerInch = 91.44;   // page units: 18 per 5 mm
constexpr int kResolutions[] = {203, 300, 600};

std::string read(const QImage& image, ZXing::BarcodeFormat format) {
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum,
                                static_cast<int>(gray.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setFormats(format);
    hints.setTryRotate(true);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    return result.isValid() ? std::string(result.bytes().begin(), result.bytes().end()) : std::string();
}

struct Played {
    QImage image;
    QRectF frame;           // device pixels
    std::string modules;    // '1' bar, '0' space, left to right
};

// The symbol at zoom 1 (a page unit a module) and 40 units high without its
// text, played at `dpi` into a frame whose corner lies at a fractional pixel.
Played play(TfrBarcodeType type, const std::string& text, int dpi, bool turnDevice = false) {
    TfrBarcode symbol;
    test::setUp(symbol, type, text, false);
    const BarcodeLayout layout = makeBarcodePicture(symbol, QSize(0, 40), 0, false, 1.0);
    const std::string modules = test::moduleString(symbol, symbol.MakePattern());
    const double a = dpi / kUnitsPerInch;
    Played p;
    p.modules = modules;
    p.frame = QRectF(20.37 + 10 * a, 11.61, layout.frameSize.width() * a, 40 * a);
    const QSize size(static_cast<int>(p.frame.right() + 10 * a + 21), static_cast<int>(p.frame.bottom() + 12));
    p.image = QImage(turnDevice ? size.transposed() : size, QImage::Format_RGB32);
    p.image.fill(Qt::white);
    QPainter painter(&p.image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (turnDevice) {
        // A landscape page on a portrait device: turned a quarter.
        painter.translate(size.height(), 0);
        painter.rotate(90);
    }
    layout.picture->play(painter, p.frame);
    return p;
}

TEST(DevicePixels, BarEdgesFallOnWholePixelsAtPrinterResolutions) {
    for (const int dpi : kResolutions) {
        const Played p = play(bcCode128B, "MIREL-2024-0001", dpi);
        const double a = dpi / kUnitsPerInch;
        const long origin = std::lround(p.frame.left());
        const auto edge = [&](size_t module) { return origin + std::lround(a * static_cast<double>(module)); };
        const int top = static_cast<int>(std::ceil(p.frame.top()));
        const int bottom = static_cast<int>(std::floor(p.frame.bottom())) - 1;
        for (const int y : {top + 1, (top + bottom) / 2, bottom - 1}) {
            size_t module = 0;
            for (long x = edge(0); x < edge(p.modules.size()); ++x) {
                while (x >= edge(module + 1))
                    ++module;
                const QRgb expected = p.modules[module] == '1' ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
                ASSERT_EQ(p.image.pixel(static_cast<int>(x), y), expected)
                    << dpi << " dpi, column " << x << " row " << y << ", module " << module;
            }
        }
        // The symbol keeps its width within half a pixel.
        EXPECT_LE(std::abs(edge(p.modules.size()) - edge(0) - a * p.modules.size()), 0.5) << dpi;
        EXPECT_EQ(read(p.image, ZXing::BarcodeFormat::Code128), "MIREL-2024-0001") << dpi << " dpi";
    }
}

TEST(DevicePixels, RetailAndTurnedDevicesReadAtEveryResolution) {
    for (const int dpi : kResolutions) {
        const Played ean = play(bcCodeEAN13, "6901234567892", dpi);
        EXPECT_EQ(read(ean.image, ZXing::BarcodeFormat::EAN13), "6901234567892") << dpi;
        const Played turned = play(bcCode39, "LOT 42", dpi, true);
        // Turned by the device transform, the edges still lie on whole pixels:
        // no pixel between black and white.
        for (int y = 0; y < turned.image.height(); ++y)
            for (int x = 0; x < turned.image.width(); ++x) {
                const QRgb px = turned.image.pixel(x, y);
                ASSERT_TRUE(px == qRgb(0, 0, 0) || px == qRgb(255, 255, 255)) << dpi << " at " << x << "," << y;
            }
        EXPECT_EQ(read(turned.image, ZXing::BarcodeFormat::Code39), "LOT 42") << dpi;
    }
}

TEST(DevicePixels, PreviewsZoomedFarOutAreDrawnAsTheyAre) {
    // Below one pixel per module nothing is moved: modules would vanish.
    TfrBarcode symbol;
    test::setUp(symbol, bcCode128B, "ABC", false);
    const BarcodeLayout layout = makeBarcodePicture(symbol, QSize(0, 40), 0, false, 1.0);
    QImage image(200, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    layout.picture->play(painter, QRectF(10, 10, layout.frameSize.width() * 0.5, 40));
    painter.end();
    int grey = 0;
    for (int x = 0; x < image.width(); ++x) {
        const int g = qGray(image.pixel(x, 30));
        grey += g > 0 && g < 255;
    }
    EXPECT_GT(grey, 0);
}

} // namespace
} // namespace mirel::barcode
