#include "BarcodeTestSupport.h"

#include "barcode/BarcodePicture.h"

#include <QPainter>
#include <stdexcept>

namespace mirel::barcode::test {

void setUp(TfrBarcode& symbol, TfrBarcodeType type, const std::string& text, bool checksum) {
    symbol.SetTyp(type);
    symbol.SetText(text);
    symbol.SetChecksum(checksum);
    symbol.SetModul(1);
    symbol.SetRatio(2.0);
    symbol.SetColor(kWhite);
    symbol.SetColorBar(kBlack);
}

QImage renderSymbol(TfrBarcode& symbol, double angle, bool showText, int pixelsPerModule, int across, int quietZone) {
    const bool vertical = angle == 90 || angle == 270;
    const QSize frame = vertical ? QSize(across, 0) : QSize(0, across);
    const BarcodeLayout layout = makeBarcodePicture(symbol, frame, angle, showText, 1.0);
    if (!layout.picture)
        throw std::runtime_error("the symbol produced no picture");
    const int margin = quietZone * pixelsPerModule;
    QImage image(layout.frameSize.width() * pixelsPerModule + 2 * margin,
                 layout.frameSize.height() * pixelsPerModule + 2 * margin, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    layout.picture->play(painter, QRectF(margin, margin, layout.frameSize.width() * pixelsPerModule,
                                         layout.frameSize.height() * pixelsPerModule));
    return image;
}

std::string moduleString(const TfrBarcode& symbol, const std::string& pattern) {
    std::string modules;
    for (char code : pattern) {
        const auto [w, kind] = symbol.ElementInfo(code);
        modules.append(static_cast<std::size_t>(w), kind == ElementKind::Space ? '0' : '1');
    }
    return modules;
}

} // namespace mirel::barcode::test
