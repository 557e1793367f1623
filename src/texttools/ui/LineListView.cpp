#include "texttools/ui/LineListView.h"

#include "core/Encoding.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>

namespace mirel::texttools {
namespace {

constexpr int kMargin = 3;

} // namespace

LineListView::LineListView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    updateScrollBars();
}

void LineListView::setLines(std::shared_ptr<const LineStore> store, std::int64_t first, std::int64_t count) {
    m_store = std::move(store);
    m_first = std::max<std::int64_t>(first, 0);
    m_count = m_store ? std::max<std::int64_t>(count, 0) : 0;
    m_anchor = m_cursor = -1;
    m_widest = 0;
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
}

void LineListView::setLines(std::shared_ptr<const LineStore> store) {
    const std::int64_t count = store ? store->size() : 0;
    setLines(std::move(store), 0, count);
}

void LineListView::clear() { setLines(nullptr, 0, 0); }

std::string_view LineListView::lineBytes(std::int64_t i) const {
    if (!m_store || i < 0 || i >= m_count)
        return {};
    return m_store->line(m_first + i);
}

QString LineListView::lineText(std::int64_t i) const { return core::toUnicode(lineBytes(i)); }

std::int64_t LineListView::firstVisibleLine() const { return verticalScrollBar()->value(); }

std::pair<std::int64_t, std::int64_t> LineListView::selection() const {
    if (m_anchor < 0)
        return {-1, -1};
    return {std::min(m_anchor, m_cursor), std::max(m_anchor, m_cursor)};
}

void LineListView::selectAll() {
    if (m_count == 0)
        return;
    m_anchor = 0;
    m_cursor = m_count - 1;
    viewport()->update();
}

void LineListView::copySelection() const {
    const auto [from, to] = selection();
    if (from < 0)
        return;
    QString text;
    for (std::int64_t i = from; i <= to; ++i) {
        text += lineText(i);
        if (i < to)
            text += QLatin1Char('\n');
    }
    QApplication::clipboard()->setText(text);
}

int LineListView::lineHeight() const { return std::max(fontMetrics().height(), 1); }

int LineListView::visibleLines() const { return std::max(viewport()->height() / lineHeight(), 1); }

std::int64_t LineListView::lineAt(int y) const {
    const std::int64_t line = firstVisibleLine() + std::max(y, 0) / lineHeight();
    return std::clamp<std::int64_t>(line, 0, std::max<std::int64_t>(m_count - 1, 0));
}

void LineListView::updateScrollBars() {
    const int page = visibleLines();
    // The scroll bar counts lines; a view of more than INT_MAX lines stops there.
    const std::int64_t top = std::max<std::int64_t>(m_count - page, 0);
    verticalScrollBar()->setRange(0, static_cast<int>(std::min<std::int64_t>(top, INT_MAX)));
    verticalScrollBar()->setPageStep(page);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setRange(0, std::max(m_widest + 2 * kMargin - viewport()->width(), 0));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth() * 4);
}

void LineListView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QFontMetrics metrics = fontMetrics();
    const int height = lineHeight();
    const int x = kMargin - horizontalScrollBar()->value();
    const auto [selFrom, selTo] = selection();
    const std::int64_t first = firstVisibleLine();
    const int rows = viewport()->height() / height + 1;
    int widest = m_widest;
    for (int row = 0; row < rows && first + row < m_count; ++row) {
        const std::int64_t line = first + row;
        const QString text = lineText(line);
        const int y = row * height;
        const bool selected = line >= selFrom && line <= selTo && selFrom >= 0;
        if (selected) {
            painter.fillRect(QRect(0, y, viewport()->width(), height), palette().highlight());
            painter.setPen(palette().highlightedText().color());
        } else {
            painter.setPen(palette().text().color());
        }
        painter.drawText(x, y + metrics.ascent(), text);
        widest = std::max(widest, metrics.horizontalAdvance(text));
    }
    if (widest > m_widest) {
        // The widest line is only known for lines seen so far; widen the scroll
        // range once this paint is done.
        m_widest = widest;
        QMetaObject::invokeMethod(this, [this] { updateScrollBars(); }, Qt::QueuedConnection);
    }
}

void LineListView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void LineListView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_count == 0)
        return;
    const std::int64_t line = lineAt(event->position().toPoint().y());
    if (!(event->modifiers() & Qt::ShiftModifier) || m_anchor < 0)
        m_anchor = line;
    m_cursor = line;
    viewport()->update();
}

void LineListView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || m_anchor < 0)
        return;
    m_cursor = lineAt(event->position().toPoint().y());
    viewport()->update();
}

void LineListView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    QScrollBar* bar = verticalScrollBar();
    switch (event->key()) {
    case Qt::Key_Up: bar->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case Qt::Key_Down: bar->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    case Qt::Key_PageUp: bar->triggerAction(QAbstractSlider::SliderPageStepSub); break;
    case Qt::Key_PageDown: bar->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
    case Qt::Key_Home: bar->triggerAction(QAbstractSlider::SliderToMinimum); break;
    case Qt::Key_End: bar->triggerAction(QAbstractSlider::SliderToMaximum); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
}

} // namespace mirel::texttools
