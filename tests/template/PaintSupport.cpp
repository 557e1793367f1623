#include "PaintSupport.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace mirel::tmpl::test {

QImage paintUnits(ViewList& views, int width, int height, std::vector<PaintFailure>* failures, bool designMode) {
    QImage image(static_cast<int>(width * kScale), static_cast<int>(height * kScale), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    PaintContext context;
    context.scaleX = kScale;
    context.scaleY = kScale;
    context.designMode = designMode;
    paintObjects(painter, views, context, failures);
    return image;
}

QImage paintOne(std::unique_ptr<TfrView> view, int width, int height, std::vector<PaintFailure>* failures,
                bool designMode) {
    ViewList views;
    views.push_back(std::move(view));
    return paintUnits(views, width, height, failures, designMode);
}

QRectF inkBox(const QImage& image, const QRectF& area) {
    QRect pixels = area.isEmpty() ? image.rect()
                                  : QRect(QPoint(static_cast<int>(std::floor(area.left() * kScale)),
                                                 static_cast<int>(std::floor(area.top() * kScale))),
                                          QPoint(static_cast<int>(std::ceil(area.right() * kScale)) - 1,
                                                 static_cast<int>(std::ceil(area.bottom() * kScale)) - 1));
    pixels &= image.rect();
    int left = pixels.right() + 1, right = -1, top = pixels.bottom() + 1, bottom = -1;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            if (qGray(line[x]) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0)
        return {};
    return QRectF(QPointF(left / kScale, top / kScale), QPointF((right + 1) / kScale, (bottom + 1) / kScale));
}

bool darkAt(const QImage& image, double x, double y) { return qGray(colorAt(image, x, y)) < 128; }

QRgb colorAt(const QImage& image, double x, double y) {
    return image.pixel(static_cast<int>(x * kScale), static_cast<int>(y * kScale));
}

MeasuredFont::MeasuredFont(const char* family, int points)
    : font(QString::fromUtf8(family)), metrics(font) {
    font.setPixelSize(points * 127);
    font.setHintingPreference(QFont::PreferNoHinting);
    metrics = QFontMetricsF(font);
}

QRectF MeasuredFont::ink(const QString& text) const {
    const QRectF r = metrics.tightBoundingRect(text);
    return QRectF(r.left() / 100.0, r.top() / 100.0, r.width() / 100.0, r.height() / 100.0);
}

} // namespace mirel::tmpl::test
