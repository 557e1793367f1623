#pragma once
// What the painting of the built-in objects shares: where an object lies on the
// device, the pen of its frame, a painter state kept across a paint, and the
// text of a text object drawn from its layout.

#include "template/MemoLayout.h"
#include "template/TfrView.h"

#include <QPainter>
#include <QPen>
#include <QRectF>

namespace mirel::tmpl {

class TfrMemoView;

// The object's frame on the device: (Left, Top, Width, Height) page units
// scaled and moved by the paint context.
inline QRectF deviceRect(const TfrView& view, const PaintContext& context) {
    return QRectF(context.offsetX + view.Left * context.scaleX, context.offsetY + view.Top * context.scaleY,
                  view.Width * context.scaleX, view.Height * context.scaleY);
}

// Saves the painter's state and gives it back when the paint ends, also when
// it ends with an exception.
class PainterStateKeeper {
public:
    explicit PainterStateKeeper(QPainter& painter) : m_painter(painter) { m_painter.save(); }
    ~PainterStateKeeper() { m_painter.restore(); }
    PainterStateKeeper(const PainterStateKeeper&) = delete;
    PainterStateKeeper& operator=(const PainterStateKeeper&) = delete;

private:
    QPainter& m_painter;
};

// A pen for the frame fields: FrameWidth page units wide on the device (a
// width of 0 draws the thinnest line the device has), FrameColor, FrameStyle
// (a double frame is drawn as two lines by the caller, so it is solid here).
QPen framePen(const TfrView& view, const PaintContext& context);

// Draws the laid-out text of a text object whose frame is `frame` on the
// device (the object's own, or a part of it such as a rounded rectangle's box
// beside its shadow): font and colour of the object, the lines where the layout
// put them, the ruled lines of Underlines, clipped at the frame when the text
// overflows it.
// A content this program cannot draw (a metafile, an embedded OLE object):
// a grey outline with its diagonals over `frame`, and the problem told to the
// context's report.
void paintPlaceholder(QPainter& painter, const PaintContext& context, const TfrView& view, const QRectF& frame,
                      const QString& problem);

void paintMemoText(QPainter& painter, const PaintContext& context, const TfrMemoView& memo, const MemoLayout& layout,
                   const QRectF& frame);

} // namespace mirel::tmpl
