#include "app/Controls.h"

#include "core/Numbers.h"

#include <QMouseEvent>
#include <QPainter>

namespace mirel::app {

NavButton::NavButton(Glyph glyph, const QString& caption, QWidget* parent) : QAbstractButton(parent), m_glyph(glyph) {
    setText(caption);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(layout::kNavWidth, layout::kNavHeight);
}

void NavButton::setCurrent(bool current) {
    m_current = current;
    update();
}

void NavButton::enterEvent(QEnterEvent* event) {
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void NavButton::leaveEvent(QEvent* event) {
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void NavButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QColor fill = Qt::white;
    QColor ink = palette::kInk;
    QColor glyph = palette::kBrand;
    if (m_current || isDown()) {
        fill = palette::kBrand;
        ink = Qt::white;
        glyph = Qt::white;
    } else if (m_hover) {
        fill = palette::kBrandLight;
    }
    p.setPen(QPen(m_current ? palette::kBrandDark : palette::kLine, 1));
    p.setBrush(fill);
    p.drawRoundedRect(r, 5, 5);
    if (m_current)
        p.fillRect(QRectF(r.left() + 1, r.top() + 6, 3, r.height() - 12), palette::kAccent);
    drawGlyph(p, m_glyph, QRectF(14, (height() - 18) / 2.0, 18, 18), glyph);
    QFont f = font();
    f.setBold(m_current);
    p.setFont(f);
    p.setPen(ink);
    p.drawText(QRectF(42, 0, width() - 46, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
}

PictureButton::PictureButton(Glyph glyph, QWidget* parent) : QAbstractButton(parent), m_glyph(glyph) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(24, 24);
}

void PictureButton::enterEvent(QEnterEvent* event) {
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void PictureButton::leaveEvent(QEvent* event) {
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(m_hover || isDown() ? palette::kAccent : QColor(255, 255, 255, 48));
    p.drawEllipse(QRectF(rect()).adjusted(1, 1, -1, -1));
    drawGlyph(p, m_glyph, QRectF(rect()).adjusted(3, 3, -3, -3), Qt::white);
}

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        if (rect().contains(event->position().toPoint()))
            emit clicked();
        event->accept();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void LinkLabel::enterEvent(QEnterEvent* event) {
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event) {
    QFont f = font();
    f.setUnderline(false);
    setFont(f);
    QLabel::leaveEvent(event);
}

CalcEdit::CalcEdit(QWidget* parent) : QLineEdit(parent) { setAlignment(Qt::AlignRight | Qt::AlignVCenter); }

std::optional<double> CalcEdit::value() const { return core::tryParseDecimal(text().toStdString()); }

void CalcEdit::setValue(double value) { setText(QString::fromStdString(core::formatGeneral(value))); }

} // namespace mirel::app
