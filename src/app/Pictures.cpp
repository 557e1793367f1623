#include "app/Pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace mirel::app {
namespace {

QPen strokePen(const QColor& color, double width) {
    QPen pen(color, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// A small barcode: the mark of the program in the banner.
void drawBarcodeMark(QPainter& p, const QRectF& r, const QColor& color) {
    static constexpr int kBars[] = {2, 1, 1, 2, 3, 1, 1, 1, 2, 2, 1, 3, 1, 1, 2};
    double total = 0;
    for (int w : kBars)
        total += w;
    const double unit = r.width() / total;
    double x = r.left();
    bool bar = true;
    for (int w : kBars) {
        if (bar)
            p.fillRect(QRectF(x, r.top(), w * unit, r.height()), color);
        x += w * unit;
        bar = !bar;
    }
}

} // namespace

void drawGlyph(QPainter& p, Glyph glyph, const QRectF& rect, const QColor& color) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double s = std::min(rect.width(), rect.height());
    const QPointF o(rect.center().x() - s / 2, rect.center().y() - s / 2);
    const auto at = [&](double x, double y) { return QPointF(o.x() + x * s, o.y() + y * s); };
    const auto box = [&](double x, double y, double w, double h) { return QRectF(at(x, y), QSizeF(w * s, h * s)); };
    p.setPen(strokePen(color, std::max(1.2, s / 11)));
    p.setBrush(Qt::NoBrush);
    switch (glyph) {
    case Glyph::Flow:
        p.drawRoundedRect(box(0.08, 0.08, 0.34, 0.26), 2, 2);
        p.drawRoundedRect(box(0.58, 0.38, 0.34, 0.26), 2, 2);
        p.drawRoundedRect(box(0.08, 0.68, 0.34, 0.24), 2, 2);
        p.drawLine(at(0.25, 0.34), at(0.25, 0.51));
        p.drawLine(at(0.25, 0.51), at(0.58, 0.51));
        p.drawLine(at(0.75, 0.64), at(0.75, 0.80));
        p.drawLine(at(0.75, 0.80), at(0.42, 0.80));
        break;
    case Glyph::Key:
        p.drawEllipse(box(0.06, 0.30, 0.40, 0.40));
        p.drawLine(at(0.46, 0.50), at(0.94, 0.50));
        p.drawLine(at(0.80, 0.50), at(0.80, 0.68));
        p.drawLine(at(0.66, 0.50), at(0.66, 0.64));
        p.setBrush(color);
        p.drawEllipse(box(0.19, 0.44, 0.12, 0.12));
        break;
    case Glyph::System: {
        p.drawEllipse(box(0.30, 0.30, 0.40, 0.40));
        for (int i = 0; i < 8; ++i) {
            const double a = i * M_PI / 4;
            p.drawLine(at(0.5 + 0.28 * std::cos(a), 0.5 + 0.28 * std::sin(a)),
                       at(0.5 + 0.44 * std::cos(a), 0.5 + 0.44 * std::sin(a)));
        }
        break;
    }
    case Glyph::Design: {
        QPainterPath pencil;
        pencil.moveTo(at(0.16, 0.84));
        pencil.lineTo(at(0.22, 0.62));
        pencil.lineTo(at(0.70, 0.14));
        pencil.lineTo(at(0.86, 0.30));
        pencil.lineTo(at(0.38, 0.78));
        pencil.closeSubpath();
        p.drawPath(pencil);
        p.drawLine(at(0.60, 0.24), at(0.76, 0.40));
        p.drawLine(at(0.50, 0.92), at(0.90, 0.92));
        break;
    }
    case Glyph::Print:
        p.drawRect(box(0.28, 0.08, 0.44, 0.26));
        p.drawRoundedRect(box(0.08, 0.34, 0.84, 0.36), 3, 3);
        p.drawRect(box(0.28, 0.58, 0.44, 0.34));
        p.drawLine(at(0.36, 0.70), at(0.64, 0.70));
        p.drawLine(at(0.36, 0.80), at(0.58, 0.80));
        break;
    case Glyph::Database:
        p.drawEllipse(box(0.16, 0.08, 0.68, 0.22));
        p.drawLine(at(0.16, 0.19), at(0.16, 0.81));
        p.drawLine(at(0.84, 0.19), at(0.84, 0.81));
        p.drawArc(box(0.16, 0.38, 0.68, 0.22), 180 * 16, 180 * 16);
        p.drawArc(box(0.16, 0.70, 0.68, 0.22), 180 * 16, 180 * 16);
        break;
    case Glyph::Help:
    case Glyph::About: {
        p.drawEllipse(box(0.08, 0.08, 0.84, 0.84));
        QFont f = p.font();
        f.setPixelSize(std::max(6, int(s * 0.62)));
        f.setBold(true);
        p.setFont(f);
        p.drawText(box(0.08, 0.10, 0.84, 0.84), Qt::AlignCenter,
                   glyph == Glyph::Help ? QStringLiteral("?") : QStringLiteral("i"));
        break;
    }
    case Glyph::Download:
        p.drawLine(at(0.5, 0.08), at(0.5, 0.62));
        p.drawLine(at(0.28, 0.42), at(0.5, 0.64));
        p.drawLine(at(0.72, 0.42), at(0.5, 0.64));
        p.drawLine(at(0.10, 0.66), at(0.10, 0.90));
        p.drawLine(at(0.10, 0.90), at(0.90, 0.90));
        p.drawLine(at(0.90, 0.90), at(0.90, 0.66));
        break;
    case Glyph::Close:
        p.drawLine(at(0.28, 0.28), at(0.72, 0.72));
        p.drawLine(at(0.72, 0.28), at(0.28, 0.72));
        break;
    case Glyph::Shield: {
        QPainterPath shield;
        shield.moveTo(at(0.5, 0.06));
        shield.lineTo(at(0.88, 0.20));
        shield.cubicTo(at(0.88, 0.60), at(0.70, 0.82), at(0.5, 0.94));
        shield.cubicTo(at(0.30, 0.82), at(0.12, 0.60), at(0.12, 0.20));
        shield.closeSubpath();
        p.drawPath(shield);
        p.drawLine(at(0.32, 0.50), at(0.46, 0.64));
        p.drawLine(at(0.46, 0.64), at(0.70, 0.38));
        break;
    }
    case Glyph::Folder: {
        QPainterPath folder;
        folder.moveTo(at(0.08, 0.22));
        folder.lineTo(at(0.38, 0.22));
        folder.lineTo(at(0.48, 0.32));
        folder.lineTo(at(0.92, 0.32));
        folder.lineTo(at(0.92, 0.82));
        folder.lineTo(at(0.08, 0.82));
        folder.closeSubpath();
        p.drawPath(folder);
        p.drawLine(at(0.08, 0.42), at(0.92, 0.42));
        break;
    }
    case Glyph::Code2d:
        p.drawRect(box(0.08, 0.08, 0.30, 0.30));
        p.drawRect(box(0.62, 0.08, 0.30, 0.30));
        p.drawRect(box(0.08, 0.62, 0.30, 0.30));
        p.setBrush(color);
        p.drawRect(box(0.62, 0.62, 0.12, 0.12));
        p.drawRect(box(0.80, 0.80, 0.12, 0.12));
        p.drawRect(box(0.47, 0.47, 0.08, 0.08));
        break;
    }
    p.restore();
}

QIcon glyphIcon(Glyph glyph, const QColor& color, int size) {
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pixmap(size * scale, size * scale);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        drawGlyph(p, glyph, QRectF(1, 1, size * scale - 2, size * scale - 2), color);
        p.end();
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    return icon;
}

void paintBanner(QPainter& p, const QRectF& r, Glyph glyph, const QString& title, const QString& subtitle) {
    p.save();
    QLinearGradient gradient(r.topLeft(), r.topRight());
    gradient.setColorAt(0, palette::kBrandDark);
    gradient.setColorAt(1, palette::kBrand);
    p.fillRect(r, gradient);
    // A few faint bars across the right of the banner, like a label's barcode.
    QColor faint(255, 255, 255, 22);
    drawBarcodeMark(p, QRectF(r.right() - r.height() * 3.2, r.top(), r.height() * 2.6, r.height()), faint);
    const double mark = r.height() * 0.56;
    const QRectF markRect(r.left() + 16, r.center().y() - mark / 2, mark, mark);
    drawGlyph(p, glyph, markRect, Qt::white);
    QFont f = p.font();
    f.setPixelSize(int(r.height() * 0.32));
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    const double textLeft = markRect.right() + 12;
    p.drawText(QRectF(textLeft, r.top() + r.height() * 0.12, r.width(), r.height() * 0.46),
               Qt::AlignLeft | Qt::AlignBottom, title);
    f.setPixelSize(int(r.height() * 0.19));
    f.setBold(false);
    p.setFont(f);
    p.setPen(QColor(255, 255, 255, 200));
    p.drawText(QRectF(textLeft, r.top() + r.height() * 0.60, r.width(), r.height() * 0.30),
               Qt::AlignLeft | Qt::AlignTop, subtitle);
    p.restore();
}

void paintMainBackground(QPainter& p, int width, int height) {
    using namespace layout;
    p.save();
    p.fillRect(0, 0, width, height, palette::kPanel);
    const QRectF banner(0, 0, kNarrowWidth, kBannerHeight);
    const QFont f = p.font();
    {
        // The banner carries its own barcode mark instead of a glyph.
        p.save();
        QLinearGradient gradient(banner.topLeft(), banner.topRight());
        gradient.setColorAt(0, palette::kBrandDark);
        gradient.setColorAt(1, palette::kBrand);
        p.fillRect(banner, gradient);
        drawBarcodeMark(p, QRectF(banner.right() - 210, 0, 150, kBannerHeight), QColor(255, 255, 255, 20));
        drawBarcodeMark(p, QRectF(18, 16, 34, 32), Qt::white);
        QFont title = f;
        title.setPixelSize(21);
        title.setBold(true);
        p.setFont(title);
        p.setPen(Qt::white);
        p.drawText(QRectF(64, 8, 360, 30), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("mirel 标签设计"));
        QFont sub = f;
        sub.setPixelSize(12);
        p.setFont(sub);
        p.setPen(QColor(255, 255, 255, 210));
        p.drawText(QRectF(64, 38, 400, 18), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("条形码标签设计 · 打印 · 防伪序列"));
        p.restore();
    }
    // The navigation column and the page frame.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe8, 0xee, 0xf5));
    p.drawRect(QRectF(0, kBannerHeight, kNavLeft + kNavWidth + 8, kFooterTop - kBannerHeight));
    p.setPen(QPen(palette::kLine, 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(kNotebook).adjusted(-4.5, -4.5, 4.5, 4.5), 4, 4);
    // The footer band.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe8, 0xee, 0xf5));
    p.drawRect(QRectF(0, kFooterTop, kNarrowWidth, height - kFooterTop));
    p.setPen(QPen(palette::kLine, 1));
    p.drawLine(QPointF(0, kFooterTop + 0.5), QPointF(kNarrowWidth, kFooterTop + 0.5));
    // The 2D-code panel right of x = 540.
    if (width > kNarrowWidth) {
        const QRectF panel(kNarrowWidth, 0, width - kNarrowWidth, height);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(panel);
        QLinearGradient strip(panel.topLeft(), panel.topRight());
        strip.setColorAt(0, palette::kBrand);
        strip.setColorAt(1, palette::kBrandDark);
        p.fillRect(QRectF(panel.left(), 0, panel.width(), kBannerHeight), strip);
        drawGlyph(p, Glyph::Code2d, QRectF(panel.left() + 14, 16, 32, 32), Qt::white);
        p.setPen(QPen(palette::kLine, 1));
        p.drawLine(QPointF(kNarrowWidth + 0.5, kBannerHeight), QPointF(kNarrowWidth + 0.5, height));
    }
    // A hairline around the whole window: it has no system border.
    p.setPen(QPen(palette::kBrandDark, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, width - 1, height - 1));
    p.restore();
}

} // namespace mirel::app
