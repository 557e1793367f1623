#include "engine/ui/DesignerIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace mirel::engine::ui {

namespace {

constexpr int kSize = 22;
const QColor kInk(40, 40, 40);
const QColor kBlue(40, 90, 180);
const QColor kPaper(250, 250, 250);

void sheet(QPainter& p, QRectF r) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(r);
}

void arrow(QPainter& p, bool back) {
    QPainterPath path;
    p.setPen(QPen(kBlue, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    if (back) {
        path.moveTo(17, 16);
        path.cubicTo(17, 7, 9, 6, 5, 10);
        p.drawPath(path);
        p.drawLine(QPointF(5, 10), QPointF(5, 5));
        p.drawLine(QPointF(5, 10), QPointF(10, 10));
    } else {
        path.moveTo(5, 16);
        path.cubicTo(5, 7, 13, 6, 17, 10);
        p.drawPath(path);
        p.drawLine(QPointF(17, 10), QPointF(17, 5));
        p.drawLine(QPointF(17, 10), QPointF(12, 10));
    }
}

void bars(QPainter& p, const QRectF (&rects)[2], QLineF guide) {
    p.setPen(QPen(QColor(200, 0, 0), 1));
    p.drawLine(guide);
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(120, 160, 220));
    for (const QRectF& r : rects)
        p.drawRect(r);
}

void draw(QPainter& p, DesignerIcon which) {
    switch (which) {
    case DesignerIcon::New:
        sheet(p, QRectF(5.5, 2.5, 11, 17));
        break;
    case DesignerIcon::Preview:
        sheet(p, QRectF(3.5, 2.5, 11, 15));
        p.setPen(QPen(kBlue, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(13, 13), 4, 4);
        p.drawLine(QPointF(16, 16), QPointF(20, 20));
        break;
    case DesignerIcon::Undo: arrow(p, true); break;
    case DesignerIcon::Redo: arrow(p, false); break;
    case DesignerIcon::Cut:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(7, 3), QPointF(14, 14));
        p.drawLine(QPointF(15, 3), QPointF(8, 14));
        p.drawEllipse(QPointF(6.5, 16.5), 3, 3);
        p.drawEllipse(QPointF(15.5, 16.5), 3, 3);
        break;
    case DesignerIcon::Copy:
        sheet(p, QRectF(3.5, 3.5, 10, 12));
        sheet(p, QRectF(8.5, 7.5, 10, 12));
        break;
    case DesignerIcon::Paste:
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(200, 160, 90));
        p.drawRect(QRectF(3.5, 4.5, 12, 15));
        sheet(p, QRectF(9.5, 8.5, 9, 11));
        break;
    case DesignerIcon::Delete:
        p.setPen(QPen(QColor(200, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 5), QPointF(17, 17));
        p.drawLine(QPointF(17, 5), QPointF(5, 17));
        break;
    case DesignerIcon::Front:
    case DesignerIcon::Back: {
        const bool front = which == DesignerIcon::Front;
        p.setPen(QPen(kInk, 1));
        p.setBrush(front ? QColor(200, 200, 200) : QColor(120, 160, 220));
        p.drawRect(QRectF(8.5, 8.5, 10, 10));
        p.setBrush(front ? QColor(120, 160, 220) : QColor(200, 200, 200));
        p.drawRect(QRectF(3.5, 3.5, 10, 10));
        if (!front) {
            p.setBrush(QColor(120, 160, 220));
            p.drawRect(QRectF(8.5, 8.5, 10, 10));
        }
        break;
    }
    case DesignerIcon::AlignLeft: bars(p, {QRectF(4.5, 4.5, 12, 5), QRectF(4.5, 12.5, 7, 5)}, QLineF(3.5, 2, 3.5, 20)); break;
    case DesignerIcon::AlignRight: bars(p, {QRectF(5.5, 4.5, 12, 5), QRectF(10.5, 12.5, 7, 5)}, QLineF(18.5, 2, 18.5, 20)); break;
    case DesignerIcon::AlignTop: bars(p, {QRectF(4.5, 4.5, 5, 12), QRectF(12.5, 4.5, 5, 7)}, QLineF(2, 3.5, 20, 3.5)); break;
    case DesignerIcon::AlignBottom: bars(p, {QRectF(4.5, 5.5, 5, 12), QRectF(12.5, 10.5, 5, 7)}, QLineF(2, 18.5, 20, 18.5)); break;
    case DesignerIcon::AlignHCentre: bars(p, {QRectF(4.5, 4.5, 13, 5), QRectF(7.5, 12.5, 7, 5)}, QLineF(11, 2, 11, 20)); break;
    case DesignerIcon::AlignVCentre: bars(p, {QRectF(4.5, 4.5, 5, 13), QRectF(12.5, 7.5, 5, 7)}, QLineF(2, 11, 20, 11)); break;
    case DesignerIcon::PageSetup:
        sheet(p, QRectF(4.5, 2.5, 13, 17));
        p.setPen(QPen(kBlue, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(6.5, 4.5, 9, 13));
        break;
    case DesignerIcon::Dictionary:
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(170, 60, 60));
        p.drawRect(QRectF(4.5, 3.5, 13, 16));
        p.setPen(QPen(Qt::white, 1));
        p.drawLine(QPointF(7, 8), QPointF(15, 8));
        p.drawLine(QPointF(7, 11), QPointF(15, 11));
        break;
    case DesignerIcon::Grid:
        p.setPen(QPen(kInk, 1));
        for (int i = 4; i <= 18; i += 4)
            for (int j = 4; j <= 18; j += 4)
                p.drawPoint(i, j);
        break;
    case DesignerIcon::Snap:
        p.setPen(QPen(QColor(150, 150, 150), 1));
        for (int i = 4; i <= 18; i += 7)
            for (int j = 4; j <= 18; j += 7)
                p.drawPoint(i, j);
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(120, 160, 220));
        p.drawRect(QRectF(4.5, 4.5, 7, 7));
        break;
    case DesignerIcon::Select: {
        QPainterPath path;
        path.moveTo(6, 3);
        path.lineTo(6, 18);
        path.lineTo(10, 14);
        path.lineTo(13, 20);
        path.lineTo(15, 19);
        path.lineTo(12, 13);
        path.lineTo(17, 13);
        path.closeSubpath();
        p.setPen(QPen(kInk, 1));
        p.setBrush(Qt::white);
        p.drawPath(path);
        break;
    }
    case DesignerIcon::Memo: {
        QFont font(QStringLiteral("Serif"));
        font.setPixelSize(17);
        font.setBold(true);
        p.setFont(font);
        p.setPen(kInk);
        p.drawText(QRectF(0, 0, kSize, kSize), Qt::AlignCenter, QStringLiteral("A"));
        break;
    }
    case DesignerIcon::Picture: {
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(200, 230, 255));
        p.drawRect(QRectF(2.5, 4.5, 17, 13));
        QPainterPath hill;
        hill.moveTo(3, 17);
        hill.lineTo(9, 9);
        hill.lineTo(13, 14);
        hill.lineTo(15, 12);
        hill.lineTo(19, 17);
        hill.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 150, 60));
        p.drawPath(hill);
        p.setBrush(QColor(240, 200, 40));
        p.drawEllipse(QPointF(15, 8), 2, 2);
        break;
    }
    case DesignerIcon::Band:
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(255, 230, 190));
        p.drawRect(QRectF(2.5, 3.5, 17, 4));
        p.setBrush(QColor(200, 225, 255));
        p.drawRect(QRectF(2.5, 9.5, 17, 4));
        p.setBrush(QColor(210, 240, 210));
        p.drawRect(QRectF(2.5, 15.5, 17, 4));
        break;
    case DesignerIcon::Line:
        p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 18), QPointF(18, 4));
        break;
    case DesignerIcon::SubReport:
        sheet(p, QRectF(2.5, 2.5, 11, 14));
        sheet(p, QRectF(8.5, 6.5, 11, 14));
        p.setPen(QPen(kBlue, 1.5));
        p.drawLine(QPointF(11, 13), QPointF(17, 13));
        p.drawLine(QPointF(14, 10), QPointF(17, 13));
        p.drawLine(QPointF(14, 16), QPointF(17, 13));
        break;
    }
}

} // namespace

QIcon designerIcon(DesignerIcon which) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter, which);
    painter.end();
    return QIcon(pixmap);
}

QIcon addinIcon(const QString& className) {
    QString name = className;
    if (name.startsWith(QLatin1String("Tfr")))
        name = name.mid(3);
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(225, 225, 240));
    p.drawRoundedRect(QRectF(2.5, 2.5, 17, 17), 3, 3);
    QFont font;
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(0, 0, kSize, kSize), Qt::AlignCenter, name.left(1));
    p.end();
    return QIcon(pixmap);
}

} // namespace mirel::engine::ui
