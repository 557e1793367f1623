#pragma once
// The drawn controls of the main window: navigation buttons, the close
// picture, links, and the quantity field.

#include "app/Pictures.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <optional>

namespace mirel::app {

// A navigation button of the left column: a glyph and a caption on a light
// card; the button of the page in view is drawn filled.
class NavButton final : public QAbstractButton {
    Q_OBJECT
public:
    NavButton(Glyph glyph, const QString& caption, QWidget* parent);
    void setCurrent(bool current);
    bool isCurrent() const { return m_current; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    Glyph m_glyph;
    bool m_current = false;
    bool m_hover = false;
};

// A glyph that acts as a button (the close picture).
class PictureButton final : public QAbstractButton {
    Q_OBJECT
public:
    PictureButton(Glyph glyph, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    Glyph m_glyph;
    bool m_hover = false;
};

// A text that acts as a link: hand cursor, underlined under the mouse, clicked()
// on a left click.
class LinkLabel final : public QLabel {
    Q_OBJECT
public:
    LinkLabel(const QString& text, QWidget* parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool m_pressed = false;
};

// The quantity field: a numeric edit whose displayed text is what the code
// commands read and whose value the print job rounds. The text is free, as in a
// calculator edit; value() is empty while it holds no number.
class CalcEdit final : public QLineEdit {
    Q_OBJECT
public:
    explicit CalcEdit(QWidget* parent);
    std::optional<double> value() const;
    void setValue(double value);
};

} // namespace mirel::app
