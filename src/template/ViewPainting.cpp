// Painting of the common parts (background, frame) and of the text, line and
// band objects.

#include "template/ViewPainting.h"

#include "template/BuiltinViews.h"

#include <QLineF>
#include <algorithm>

namespace mirel::tmpl {
namespace {

constexpr std::uint16_t kDoubleFrame = 5;

struct Side {
    std::uint16_t bit;
    QLineF line;
};

} // namespace

QPen framePen(const TfrView& view, const PaintContext& context) {
    static constexpr Qt::PenStyle kStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                               Qt::DashDotDotLine, Qt::SolidLine};
    QPen pen(toQColor(view.FrameColor));
    pen.setWidthF(std::max(0.0, view.FrameWidth * context.scaleX));
    pen.setStyle(view.FrameStyle < std::size(kStyles) ? kStyles[view.FrameStyle] : Qt::SolidLine);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

void TfrView::Paint(QPainter& painter, const PaintContext& context) {
    PaintBackground(painter, context);
    PaintFrame(painter, context);
}

void TfrView::PaintBackground(QPainter& painter, const PaintContext& context) {
    if (FillColor == kNoColor || Width < 0 || Height < 0)
        return;
    painter.fillRect(deviceRect(*this, context), toQColor(FillColor));
}

void TfrView::PaintFrame(QPainter& painter, const PaintContext& context) {
    if ((FrameTyp & 0x0F) == 0 || Width < 0 || Height < 0)
        return;
    const QRectF r = deviceRect(*this, context);
    const Side sides[] = {
        {1, QLineF(r.right(), r.top(), r.right(), r.bottom())},
        {2, QLineF(r.left(), r.bottom(), r.right(), r.bottom())},
        {4, QLineF(r.left(), r.top(), r.left(), r.bottom())},
        {8, QLineF(r.left(), r.top(), r.right(), r.top())},
    };
    PainterStateKeeper keeper(painter);
    QPen pen = framePen(*this, context);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    for (const Side& side : sides)
        if (FrameTyp & side.bit)
            painter.drawLine(side.line);
    if (FrameStyle == kDoubleFrame) {
        // A double frame: the same sides again on a rectangle one line width
        // inside the first.
        const double step = 2 * std::max(pen.widthF(), 1.0);
        const QRectF in = r.adjusted(step, step, -step, -step);
        if (FrameTyp & 1)
            painter.drawLine(QLineF(in.right(), in.top(), in.right(), in.bottom()));
        if (FrameTyp & 2)
            painter.drawLine(QLineF(in.left(), in.bottom(), in.right(), in.bottom()));
        if (FrameTyp & 4)
            painter.drawLine(QLineF(in.left(), in.top(), in.left(), in.bottom()));
        if (FrameTyp & 8)
            painter.drawLine(QLineF(in.left(), in.top(), in.right(), in.top()));
    }
}

void paintPlaceholder(QPainter& painter, const PaintContext& context, const TfrView& view, const QRectF& frame,
                      const QString& problem) {
    if (context.objectFailed && !problem.isEmpty())
        context.objectFailed(view, problem.toStdString());
    if (frame.isEmpty())
        return;
    PainterStateKeeper keeper(painter);
    QPen pen(QColor(128, 128, 128));
    pen.setWidthF(std::max(1.0, 0.5 * context.scaleX));
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame);
    painter.drawLine(frame.topLeft(), frame.bottomRight());
    painter.drawLine(frame.bottomLeft(), frame.topRight());
}

void paintMemoText(QPainter& painter, const PaintContext& context, const TfrMemoView& memo, const MemoLayout& layout,
                   const QRectF& frame) {
    if (layout.lines.empty())
        return;
    PainterStateKeeper keeper(painter);
    if (layout.overflows)
        painter.setClipRect(frame, Qt::IntersectClip);
    // Reference pixels of the layout to device pixels; rotated text runs up
    // from the frame's bottom edge.
    const double k = kTextReference;
    if (layout.rotated) {
        painter.translate(frame.left(), frame.bottom());
        painter.scale(context.scaleX / k, context.scaleY / k);
        painter.rotate(-90);
    } else {
        painter.translate(frame.topLeft());
        painter.scale(context.scaleX / k, context.scaleY / k);
    }
    if (memo.Flags & kUnderlines) {
        // Ruled lines under the text lines, across the whole object.
        QPen pen(toQColor(memo.FrameColor));
        pen.setWidthF(std::max(0.0, memo.FrameWidth) * k);
        painter.setPen(pen);
        const double along = (layout.rotated ? frame.height() / context.scaleY : frame.width() / context.scaleX) * k;
        for (const MemoLine& line : layout.lines) {
            const double y = (line.baseline + layout.font->descent) * k;
            painter.drawLine(QLineF(0, y, along, y));
        }
    }
    painter.setPen(toQColor(memo.FontColor));
    painter.setFont(layout.drawFont);
    for (const MemoLine& line : layout.lines) {
        if (line.text.isEmpty())
            continue;
        const QPointF at(line.x * k, line.baseline * k);
        if (line.spread <= 0) {
            painter.drawText(at, line.text);
            continue;
        }
        QFont spread = layout.drawFont;
        if (line.spreadCharacters)
            spread.setLetterSpacing(QFont::AbsoluteSpacing, (double(memo.CharSpacing) + line.spread) * k);
        else
            spread.setWordSpacing(line.spread * k);
        painter.setFont(spread);
        painter.drawText(at, line.text);
        painter.setFont(layout.drawFont);
    }
}

void TfrMemoView::Paint(QPainter& painter, const PaintContext& context) {
    if (Width < 0 || Height < 0)
        return;
    PaintBackground(painter, context);
    paintMemoText(painter, context, *this, layoutMemo(*this, Memo), deviceRect(*this, context));
    PaintFrame(painter, context);
}

void TfrLineView::Paint(QPainter& painter, const PaintContext& context) {
    if (Width < 0 || Height < 0)
        return;
    FrameTyp = Height < Width ? 8 : 4;
    PaintFrame(painter, context);
}

void TfrBandView::Paint(QPainter& painter, const PaintContext& context) {
    (void)painter;
    (void)context;
}

} // namespace mirel::tmpl
