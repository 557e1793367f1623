#include "engine/ui/PreviewIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace mirel::engine {

namespace {

const QColor kInk(0x37, 0x47, 0x4f);
const QColor kBlue(0x1e, 0x7b, 0xd6);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kPaperLine(0x9e, 0xa7, 0xad);

QPen inkPen(const QColor& color, double width) {
    QPen pen(color, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

void triangle(QPainter& p, QPointF a, QPointF b, QPointF c) {
    p.setPen(inkPen(kInk, 1.2));
    p.setBrush(kInk);
    const QPointF points[] = {a, b, c};
    p.drawPolygon(points, 3);
}

void paper(QPainter& p, const QRectF& r) {
    p.setPen(inkPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawRect(r);
}

void textLines(QPainter& p, const QRectF& r, int count) {
    p.setPen(inkPen(kPaperLine, 1.2));
    for (int i = 0; i < count; ++i) {
        const double y = r.top() + 3 + i * 3;
        p.drawLine(QPointF(r.left() + 2.5, y), QPointF(r.right() - 2.5, y));
    }
}

void magnifier(QPainter& p, QPointF centre, double radius) {
    p.setPen(inkPen(kInk, 3.0));
    const QPointF handle = centre + QPointF(radius * 0.72, radius * 0.72);
    p.drawLine(handle, handle + QPointF(5.5, 5.5));
    p.setPen(inkPen(kInk, 1.8));
    p.setBrush(QColor(0xe3, 0xf2, 0xfd, 220));
    p.drawEllipse(centre, radius, radius);
}

void draw(QPainter& p, PreviewIcon which) {
    switch (which) {
    case PreviewIcon::FirstPage:
        p.fillRect(QRectF(5, 6, 2.4, 12), kInk);
        triangle(p, {18, 6}, {9, 12}, {18, 18});
        break;
    case PreviewIcon::PreviousPage: triangle(p, {16, 6}, {7, 12}, {16, 18}); break;
    case PreviewIcon::NextPage: triangle(p, {8, 6}, {17, 12}, {8, 18}); break;
    case PreviewIcon::LastPage:
        triangle(p, {6, 6}, {15, 12}, {6, 18});
        p.fillRect(QRectF(16.6, 6, 2.4, 12), kInk);
        break;
    case PreviewIcon::ZoomIn:
    case PreviewIcon::ZoomOut: {
        magnifier(p, {10, 10}, 6.5);
        p.setPen(inkPen(kBlue, 2.0));
        p.drawLine(QPointF(7, 10), QPointF(13, 10));
        if (which == PreviewIcon::ZoomIn)
            p.drawLine(QPointF(10, 7), QPointF(10, 13));
        break;
    }
    case PreviewIcon::WholePage: {
        paper(p, QRectF(7.5, 5.5, 9, 13));
        textLines(p, QRectF(7.5, 5.5, 9, 13), 3);
        // Corner marks: the page fitted into the view.
        p.setPen(inkPen(kBlue, 1.8));
        p.setBrush(Qt::NoBrush);
        const double l = 3, t = 2, r = 21, b = 22, k = 4;
        p.drawPolyline(QPolygonF({{l, t + k}, {l, t}, {l + k, t}}));
        p.drawPolyline(QPolygonF({{r - k, t}, {r, t}, {r, t + k}}));
        p.drawPolyline(QPolygonF({{l, b - k}, {l, b}, {l + k, b}}));
        p.drawPolyline(QPolygonF({{r - k, b}, {r, b}, {r, b - k}}));
        break;
    }
    case PreviewIcon::PageWidth: {
        paper(p, QRectF(5.5, 3.5, 13, 17));
        textLines(p, QRectF(5.5, 3.5, 13, 17), 1);
        p.setPen(inkPen(kBlue, 1.8));
        p.drawLine(QPointF(2.5, 13), QPointF(21.5, 13));
        p.drawPolyline(QPolygonF({{5.5, 10}, {2.5, 13}, {5.5, 16}}));
        p.drawPolyline(QPolygonF({{18.5, 10}, {21.5, 13}, {18.5, 16}}));
        break;
    }
    case PreviewIcon::ActualSize: {
        p.setPen(inkPen(kInk, 1.4));
        p.setBrush(kPaper);
        p.drawRoundedRect(QRectF(2.5, 5.5, 19, 13), 2, 2);
        QFont font;
        font.setPixelSize(9);
        font.setBold(true);
        p.setFont(font);
        p.setPen(kBlue);
        p.drawText(QRectF(2.5, 5.5, 19, 13), Qt::AlignCenter, QStringLiteral("1:1"));
        break;
    }
    case PreviewIcon::Open: {
        p.setPen(inkPen(QColor(0x8a, 0x5a, 0x00), 1.2));
        p.setBrush(QColor(0xf6, 0xc3, 0x4a));
        QPainterPath back;
        back.moveTo(2.5, 19.5);
        back.lineTo(2.5, 5.5);
        back.lineTo(8.5, 5.5);
        back.lineTo(10.5, 7.5);
        back.lineTo(19.5, 7.5);
        back.lineTo(19.5, 10);
        back.lineTo(2.5, 19.5);
        p.drawPath(back);
        p.setBrush(QColor(0xfb, 0xd9, 0x7c));
        const QPointF front[] = {{2.5, 19.5}, {6, 10.5}, {22, 10.5}, {18.5, 19.5}};
        p.drawPolygon(front, 4);
        break;
    }
    case PreviewIcon::Save: {
        p.setPen(inkPen(QColor(0x15, 0x4f, 0x8c), 1.2));
        p.setBrush(kBlue);
        QPainterPath disk;
        disk.moveTo(3.5, 3.5);
        disk.lineTo(17.5, 3.5);
        disk.lineTo(20.5, 6.5);
        disk.lineTo(20.5, 20.5);
        disk.lineTo(3.5, 20.5);
        disk.closeSubpath();
        p.drawPath(disk);
        p.setPen(Qt::NoPen);
        p.setBrush(kPaper);
        p.drawRect(QRectF(6.5, 3.5, 10, 6));
        p.setBrush(QColor(0x15, 0x4f, 0x8c));
        p.drawRect(QRectF(13, 4.5, 2.2, 4));
        p.setBrush(QColor(0xe8, 0xee, 0xf3));
        p.drawRect(QRectF(6, 13, 12, 7.5));
        break;
    }
    case PreviewIcon::Print: {
        paper(p, QRectF(7, 2.5, 10, 6));
        p.setPen(inkPen(kInk, 1.2));
        p.setBrush(QColor(0x78, 0x90, 0x9c));
        p.drawRoundedRect(QRectF(2.5, 8.5, 19, 8.5), 1.5, 1.5);
        p.setBrush(QColor(0x7c, 0xd9, 0x4c));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(18.5, 11), 1, 1);
        paper(p, QRectF(7, 14, 10, 7.5));
        textLines(p, QRectF(7, 14, 10, 7.5), 2);
        break;
    }
    case PreviewIcon::Pdf: {
        p.setPen(inkPen(kInk, 1.2));
        p.setBrush(kPaper);
        QPainterPath page;
        page.moveTo(5.5, 2.5);
        page.lineTo(14.5, 2.5);
        page.lineTo(19.5, 7.5);
        page.lineTo(19.5, 21.5);
        page.lineTo(5.5, 21.5);
        page.closeSubpath();
        p.drawPath(page);
        p.drawPolyline(QPolygonF({{14.5, 2.5}, {14.5, 7.5}, {19.5, 7.5}}));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xd3, 0x2f, 0x2f));
        p.drawRoundedRect(QRectF(2, 11.5, 17, 7.5), 1.2, 1.2);
        QFont font;
        font.setPixelSize(7);
        font.setBold(true);
        p.setFont(font);
        p.setPen(kPaper);
        p.drawText(QRectF(2, 11.5, 17, 7.5), Qt::AlignCenter, QStringLiteral("PDF"));
        break;
    }
    case PreviewIcon::Find: {
        paper(p, QRectF(3.5, 2.5, 12, 16));
        textLines(p, QRectF(3.5, 2.5, 12, 16), 4);
        magnifier(p, {13.5, 13.5}, 4.8);
        break;
    }
    case PreviewIcon::Help: {
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
        QFont font;
        font.setPixelSize(14);
        font.setBold(true);
        p.setFont(font);
        p.setPen(kPaper);
        p.drawText(QRectF(2.5, 2.5, 19, 19), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case PreviewIcon::Close: {
        // A door with the way out.
        p.setPen(inkPen(kInk, 1.4));
        p.setBrush(QColor(0xec, 0xef, 0xf1));
        p.drawRect(QRectF(3.5, 2.5, 11, 19));
        p.setBrush(QColor(0xa1, 0x88, 0x7f));
        const QPointF door[] = {{3.5, 2.5}, {10.5, 4.5}, {10.5, 23}, {3.5, 21.5}};
        p.drawPolygon(door, 4);
        p.setPen(inkPen(QColor(0xd3, 0x2f, 0x2f), 2.0));
        p.drawLine(QPointF(13, 12), QPointF(21, 12));
        p.drawPolyline(QPolygonF({{18, 9}, {21, 12}, {18, 15}}));
        break;
    }
    }
}

QPixmap render(PreviewIcon which, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 24.0, size / 24.0);
    draw(p, which);
    return pixmap;
}

} // namespace

QIcon previewIcon(PreviewIcon which) {
    QIcon icon;
    for (int size : {16, 24, 32, 48})
        icon.addPixmap(render(which, size));
    return icon;
}

} // namespace mirel::engine
