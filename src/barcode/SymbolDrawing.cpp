// The generator's own drawing: the element pattern painted on a QPainter.

#include "barcode/SymbolDrawing.h"

#include "barcode/TfrBarcode.h"

#include "core/Numbers.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <cmath>
#include <numbers>

namespace mirel::barcode {
namespace {

int roundToInt(double v) { return static_cast<int>(core::roundHalfEven(v)); }

// Gives the painter its font, pen and brush back when drawing ends, whether the
// build succeeded or threw.
class PainterToolsKeeper {
public:
    explicit PainterToolsKeeper(QPainter& painter)
        : m_painter(painter), m_font(painter.font()), m_pen(painter.pen()), m_brush(painter.brush()) {}
    ~PainterToolsKeeper() {
        m_painter.setFont(m_font);
        m_painter.setPen(m_pen);
        m_painter.setBrush(m_brush);
    }
    PainterToolsKeeper(const PainterToolsKeeper&) = delete;
    PainterToolsKeeper& operator=(const PainterToolsKeeper&) = delete;

private:
    QPainter& m_painter;
    QFont m_font;
    QPen m_pen;
    QBrush m_brush;
};

} // namespace

double angleRadians(double degrees) { return degrees / 180.0 * std::numbers::pi; }

QPoint RotatePoint(QPoint p, double a) {
    const double c = std::cos(a);
    const double s = std::sin(a);
    return {roundToInt(p.x() * c + p.y() * s), roundToInt(-p.x() * s + p.y() * c)};
}

QPoint RotationOffset(QSize size, double a) {
    const double s = std::sin(a);
    const double c = std::cos(a);
    const double w = size.width();
    const double h = size.height();
    if (s >= 0 && c >= 0)
        return {0, roundToInt(w * s)};
    if (s >= 0)
        return {-roundToInt(w * c), roundToInt(w * s - h * c)};
    if (c >= 0)
        return {-roundToInt(h * s), 0};
    return {-roundToInt(w * c) - roundToInt(h * s), -roundToInt(h * c)};
}

void TfrBarcode::DrawSymbol(QPainter& painter) {
    PainterToolsKeeper keeper(painter);
    const std::string pattern = MakePattern();
    // Building again would give the same pattern, so its width is measured here.
    paintElements(pattern, PatternWidth(pattern), painter);
}

void TfrBarcode::PaintPattern(const std::string& pattern, QPainter& painter) {
    paintElements(pattern, Width(), painter);
}

void TfrBarcode::paintElements(std::string_view pattern, int symbolWidth, QPainter& painter) {
    const double a = angleRadians(m_angle);
    const QPoint origin = QPoint(m_left, m_top) + RotationOffset(QSize(symbolWidth, m_height), a);
    const QColor spaceColor = toQColor(m_color);
    const QColor barColor = toQColor(m_colorBar);
    // Each element is a quadrilateral filled and outlined in its colour, covering
    // the columns x .. x + w - 1 and the rows 0 .. h; spaces are painted too, so
    // the symbol covers its whole area.
    QPen pen(spaceColor, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    bool penIsBar = false;
    painter.setPen(pen);
    painter.setBrush(spaceColor);
    int x = 0;
    for (char code : pattern) {
        const auto [w, kind] = ElementInfo(code);
        const bool bar = kind != ElementKind::Space;
        if (bar != penIsBar) {
            penIsBar = bar;
            pen.setColor(bar ? barColor : spaceColor);
            painter.setPen(pen);
            painter.setBrush(bar ? barColor : spaceColor);
        }
        const int h = kind == ElementKind::ShortBar ? m_height * 2 / 5 : m_height;
        const QPoint corners[4] = {
            origin + RotatePoint(QPoint(x, 0), a),
            origin + RotatePoint(QPoint(x, h), a),
            origin + RotatePoint(QPoint(x + w - 1, h), a),
            origin + RotatePoint(QPoint(x + w - 1, 0), a),
        };
        painter.drawPolygon(corners, 4);
        x += w;
    }
}

} // namespace mirel::barcode
