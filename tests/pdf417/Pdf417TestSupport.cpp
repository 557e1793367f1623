#include "Pdf417TestSupport.h"

// Result::text() as UTF-8 (unused here; keeps the header from warning).
#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

namespace mirel::pdf417::test {

std::optional<std::string> readPdf417(const QImage& image) {
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum,
                                static_cast<int>(gray.bytesPerLine()));
    const auto hints = ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::PDF417).setTryHarder(true);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    if (!result.isValid())
        return std::nullopt;
    const auto& bytes = result.bytes();
    return std::string(bytes.begin(), bytes.end());
}

QImage renderWhole(TStPDF417Barcode& generator) {
    const int quiet = generator.QuietZone();
    generator.SetWidth(generator.SymbolPixelWidth() + 2 * quiet);
    generator.SetHeight(generator.SymbolPixelHeight(0) + 2 * quiet);
    generator.RenderImage(generator.Width(), generator.Height());
    return generator.Bitmap();
}

std::vector<int> matrixCodewords(const Pdf417Symbol& symbol) {
    const SymbolLayout layout = symbol.Layout();
    std::vector<int> codewords;
    for (int row = 0; row < layout.rows; ++row)
        for (int column = 0; column < layout.columns; ++column)
            codewords.push_back(symbol.MatrixCodeword(row, column));
    return codewords;
}

bool vanishesAtGeneratorRoots(std::span<const int> codewords, int k) {
    long long root = 1;
    for (int i = 1; i <= k; ++i) {
        root = root * 3 % 929;
        long long value = 0;
        for (const int c : codewords)
            value = (value * root + c) % 929;
        if (value != 0)
            return false;
    }
    return true;
}

bool isDark(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 128;
}

} // namespace mirel::pdf417::test
