// Painting of the general-purpose add-ins: shape, rounded rectangle, check box,
// rich text, OLE object, chart and cross-tab.

#include "template/AddinViews.h"
#include "template/RichTextPlain.h"
#include "template/ViewPainting.h"

#include "core/Text.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace mirel::tmpl {
namespace {

QPen solidPen(std::uint32_t color, double width, const PaintContext& context) {
    QPen pen(toQColor(color));
    pen.setWidthF(std::max(0.0, width * context.scaleX));
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

QColor mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// Gradient styles of a rounded rectangle: 0 left to right, 1 top to bottom,
// 2 from the edge to the centre in ellipses, 3 in rectangles, 4 from top and
// bottom to the middle, 5 from left and right to the middle. The start colour
// lies at the left, the top or the edge.
void fillGradient(QPainter& painter, const QRectF& box, const QPainterPath& shape, int style, const QColor& begin,
                  const QColor& end) {
    const QPointF c = box.center();
    switch (style) {
    case 0:
    case 1:
    case 4:
    case 5: {
        const bool across = style == 0 || style == 5;
        QLinearGradient g(across ? QPointF(box.left(), c.y()) : QPointF(c.x(), box.top()),
                          across ? QPointF(box.right(), c.y()) : QPointF(c.x(), box.bottom()));
        g.setColorAt(0, begin);
        if (style >= 4) {
            g.setColorAt(0.5, end);
            g.setColorAt(1, begin);
        } else {
            g.setColorAt(1, end);
        }
        painter.fillPath(shape, g);
        break;
    }
    case 2: {
        // Ellipses: a radial gradient stretched to the box, the start colour
        // at its corners.
        QRadialGradient g(QPointF(0.5, 0.5), 0.5 * std::sqrt(2.0));
        g.setCoordinateMode(QGradient::ObjectMode);
        g.setColorAt(0, end);
        g.setColorAt(1, begin);
        painter.fillPath(shape, g);
        break;
    }
    default: {
        // Rectangles shrinking to the centre, in steps fine enough to look
        // smooth at print resolution.
        constexpr int kSteps = 64;
        painter.save();
        painter.setClipPath(shape, Qt::IntersectClip);
        painter.setPen(Qt::NoPen);
        for (int i = 0; i < kSteps; ++i) {
            const double t = static_cast<double>(i) / kSteps;
            const double dx = box.width() / 2 * t;
            const double dy = box.height() / 2 * t;
            painter.setBrush(mix(begin, end, t));
            painter.drawRect(box.adjusted(dx, dy, -dx, -dy));
        }
        painter.restore();
        break;
    }
    }
}

} // namespace

void TfrShapeView::Paint(QPainter& painter, const PaintContext& context) {
    if (Width < 0 || Height < 0)
        return;
    const QRectF r = deviceRect(*this, context);
    PainterStateKeeper keeper(painter);
    painter.setPen(solidPen(FrameColor, FrameWidth, context));
    painter.setBrush(FillColor == kNoColor ? QBrush(Qt::NoBrush) : QBrush(toQColor(FillColor)));
    switch (Shape) {
    case skRoundRectangle: {
        const double radius = std::min(r.width(), r.height()) / 4;
        painter.drawRoundedRect(r, radius, radius);
        break;
    }
    case skEllipse: painter.drawEllipse(r); break;
    case skTriangle: {
        const QPointF points[] = {QPointF(r.center().x(), r.top()), r.bottomRight(), r.bottomLeft()};
        painter.drawPolygon(points, 3);
        break;
    }
    case skDiagonal1: painter.drawLine(r.bottomLeft(), r.topRight()); break;
    case skDiagonal2: painter.drawLine(r.topLeft(), r.bottomRight()); break;
    default: painter.drawRect(r); break;
    }
}

void TfrRoundRectView::Paint(QPainter& painter, const PaintContext& context) {
    if (Width < 0 || Height < 0)
        return;
    FullFrame = (FrameTyp & 0x0F) == 0x0F ? 1 : 0;
    const QRectF frame = deviceRect(*this, context);
    const int shadow = Gradient() ? 0 : std::clamp(ShadowWidth, 0, std::min(Width, Height));
    const QRectF box(frame.left(), frame.top(), (Width - shadow) * context.scaleX, (Height - shadow) * context.scaleY);
    // Corners: RoundSize is the diameter of the rounding (in gradient mode it
    // holds the gradient style, and the corners keep the default size).
    const double diameter = RoundRect ? (Gradient() ? 10 : std::max(0, RoundSize)) : 0;
    const double rx = std::min(diameter / 2 * context.scaleX, box.width() / 2);
    const double ry = std::min(diameter / 2 * context.scaleY, box.height() / 2);
    QPainterPath shape;
    shape.addRoundedRect(box, rx, ry);
    {
        PainterStateKeeper keeper(painter);
        if (Gradient()) {
            fillGradient(painter, box, shape, RoundSize, toQColor(ShadowColor),
                         FillColor == kNoColor ? QColor(Qt::white) : toQColor(FillColor));
        } else {
            if (shadow > 0) {
                QPainterPath shadowShape;
                shadowShape.addRoundedRect(box.translated(shadow * context.scaleX, shadow * context.scaleY), rx, ry);
                painter.fillPath(shadowShape, toQColor(ShadowColor));
            }
            // Without a fill of its own the box is white, or the shadow would
            // show through it.
            if (FillColor != kNoColor || shadow > 0)
                painter.fillPath(shape, FillColor == kNoColor ? QColor(Qt::white) : toQColor(FillColor));
        }
        const std::uint32_t outline = FullFrame ? FrameColor : FillColor;
        if (outline != kNoColor) {
            painter.setPen(solidPen(outline, FrameWidth, context));
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(shape);
        }
    }
    paintMemoText(painter, context, *this, layoutMemo(*this, Memo, QSizeF(Width - shadow, Height - shadow)), box);
}

bool TfrCheckBoxView::Checked(const PaintContext& context) const {
    // The designer shows the mark; on a prepared page the first line holds the
    // evaluated state, and an empty one is a zero.
    if (context.designMode)
        return true;
    if (Memo.empty())
        return false;
    const std::string_view state = core::trimLeftBlanks(Memo.front());
    return !state.empty() && state.front() != '0';
}

void TfrCheckBoxView::Paint(QPainter& painter, const PaintContext& context) {
    if (Width < 0 || Height < 0)
        return;
    PaintBackground(painter, context);
    if (Checked(context)) {
        const QRectF r = deviceRect(*this, context);
        const double side = std::min(r.width(), r.height());
        const double inset = side * 0.2 + FrameWidth * context.scaleX;
        const QRectF m = r.adjusted(inset, inset, -inset, -inset);
        if (!m.isEmpty()) {
            PainterStateKeeper keeper(painter);
            QPen pen(toQColor(CheckColor));
            pen.setWidthF(std::max(side / 10, 0.5 * context.scaleX));
            pen.setCapStyle(Qt::RoundCap);
            pen.setJoinStyle(Qt::RoundJoin);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            if (CheckStyle == csCheck) {
                const QPointF tick[] = {QPointF(m.left(), m.top() + m.height() * 0.55),
                                        QPointF(m.left() + m.width() * 0.4, m.bottom()), m.topRight()};
                painter.drawPolyline(tick, 3);
            } else {
                painter.drawLine(m.topLeft(), m.bottomRight());
                painter.drawLine(m.bottomLeft(), m.topRight());
            }
        }
    }
    PaintFrame(painter, context);
}

void TfrRichView::Paint(QPainter& painter, const PaintContext& context) {
    if (Width < 0 || Height < 0)
        return;
    PaintBackground(painter, context);
    if (!RichText.empty()) {
        const RichPlainText plain = richPlainText(RichText);
        // The text laid out as a text object of the same frame and gaps would
        // lay it out, wrapped at words.
        TfrMemoView memo;
        memo.Width = Width;
        memo.Height = Height;
        memo.GapX = GapX;
        memo.GapY = GapY;
        memo.Flags = 1 | kWordWrap;
        if (plain.firstFontSize > 0)
            memo.FontSize = plain.firstFontSize;
        const QStringList paragraphs = plain.text.split(QLatin1Char('\n'));
        Lines text;
        text.reserve(static_cast<size_t>(paragraphs.size()));
        for (const QString& p : paragraphs)
            text.push_back(core::fromUnicode(p));
        paintMemoText(painter, context, memo, layoutMemo(memo, text), deviceRect(*this, context));
    }
    PaintFrame(painter, context);
}

void TfrOLEView::Paint(QPainter& painter, const PaintContext& context) {
    if (Width < 0 || Height < 0)
        return;
    PaintBackground(painter, context);
    if (HasObject)
        paintPlaceholder(painter, context, *this, deviceRect(*this, context),
                         QStringLiteral("embedded OLE object shown as a placeholder"));
    PaintFrame(painter, context);
}

void TfrChartView::Paint(QPainter& painter, const PaintContext& context) {
    if (Width < 0 || Height < 0)
        return;
    PaintBackground(painter, context);
    paintPlaceholder(painter, context, *this, deviceRect(*this, context), QStringLiteral("chart shown as a placeholder"));
    PaintFrame(painter, context);
}

void TfrCrossView::Paint(QPainter& painter, const PaintContext& context) {
    if (Width < 0 || Height < 0)
        return;
    PaintBackground(painter, context);
    // In the designer the cross-tab is a placeholder for the table it makes;
    // on a prepared page its cells are text objects of their own.
    if (context.designMode)
        paintPlaceholder(painter, context, *this, deviceRect(*this, context), QString());
    PaintFrame(painter, context);
}

} // namespace mirel::tmpl
