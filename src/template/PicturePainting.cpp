// Painting of picture objects.

#include "template/BuiltinViews.h"
#include "template/PictureImage.h"
#include "template/ViewPainting.h"

#include <algorithm>

namespace mirel::tmpl {

void TfrPictureView::Paint(QPainter& painter, const PaintContext& context) {
    if (Width < 0 || Height < 0)
        return;
    PaintBackground(painter, context);
    const QRectF frame = deviceRect(*this, context);
    if (GraphicKind == gkMetafile && !Graphic.empty()) {
        paintPlaceholder(painter, context, *this, frame, QStringLiteral("metafile picture shown as a placeholder"));
    } else if (const QImage image = pictureImage(GraphicKind, Graphic); !image.isNull()) {
        // Page units of the drawn picture: the frame when stretched (fitted
        // into it with KeepAspect), one unit per pixel when not.
        double w = image.width();
        double h = image.height();
        if (Stretched()) {
            if (KeepAspect()) {
                const double fit = std::min(Width / w, Height / h);
                w *= fit;
                h *= fit;
            } else {
                w = Width;
                h = Height;
            }
        }
        double x = 0;
        double y = 0;
        if (Center()) {
            x = (Width - w) / 2;
            y = (Height - h) / 2;
        }
        const QRectF target(frame.left() + x * context.scaleX, frame.top() + y * context.scaleY, w * context.scaleX,
                            h * context.scaleY);
        PainterStateKeeper keeper(painter);
        if (!frame.contains(target))
            painter.setClipRect(frame, Qt::IntersectClip);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, image);
    } else if (GraphicKind != gkNone && !Graphic.empty()) {
        paintPlaceholder(painter, context, *this, frame, QStringLiteral("picture data cannot be read"));
    }
    PaintFrame(painter, context);
}

} // namespace mirel::tmpl
