#include "engine/ui/PagePainting.h"

#include <QPainter>
#include <exception>

namespace mirel::engine {

QSizeF pagePixelSize(const tmpl::TfrPreparedPage& page, double dpiX, double dpiY) {
    return {page.PaperWidth / 254.0 * dpiX, page.PaperHeight / 254.0 * dpiY};
}

QRectF deviceRect(const QRectF& pageUnits, QPointF origin, double dpiX, double dpiY) {
    const double sx = pixelsPerPageUnit(dpiX);
    const double sy = pixelsPerPageUnit(dpiY);
    return {origin.x() + pageUnits.x() * sx, origin.y() + pageUnits.y() * sy, pageUnits.width() * sx,
            pageUnits.height() * sy};
}

void paintPage(QPainter& painter, const tmpl::TfrPreparedPage& page, QPointF origin, double dpiX, double dpiY) {
    tmpl::ViewList objects = tmpl::readPreparedStream(page.Stream);
    tmpl::PaintContext context;
    context.scaleX = pixelsPerPageUnit(dpiX);
    context.scaleY = pixelsPerPageUnit(dpiY);
    context.offsetX = origin.x();
    context.offsetY = origin.y();
    context.designMode = false;
    for (const auto& object : objects) {
        painter.save();
        try {
            object->Paint(painter, context);
        } catch (const std::exception&) {
            // A label object that cannot draw itself (a barcode whose text its
            // symbology refuses) leaves its place empty; the rest of the page
            // still shows.
        }
        painter.restore();
    }
}

} // namespace mirel::engine
