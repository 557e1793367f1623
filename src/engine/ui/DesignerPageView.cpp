#include "engine/ui/DesignerPageView.h"

#include "core/Encoding.h"
#include "template/BuiltinViews.h"
#include "template/PrinterLayer.h"

#include <QContextMenuEvent>
#include <QGridLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <cmath>

namespace mirel::engine::ui {

namespace {

std::int32_t unitsOfTenths(std::int64_t tenths) {
    return static_cast<std::int32_t>(std::llround(static_cast<double>(tenths) * 18.0 / 50.0));
}

bool isBand(const tmpl::TfrView& view) { return view.TypeCode() == tmpl::gtBand; }

constexpr int kHandle = 5;        // handle size, pixels
constexpr int kDragStart = 3;     // pixels before a press becomes a drag

QColor bandColor(int type) {
    switch (type) {
    case tmpl::btMasterData:
    case tmpl::btDetailData:
    case tmpl::btSubDetailData:
    case tmpl::btCrossData:
        return QColor(232, 242, 255);
    case tmpl::btPageHeader:
    case tmpl::btPageFooter:
    case tmpl::btReportTitle:
    case tmpl::btReportSummary:
        return QColor(255, 246, 230);
    default:
        return QColor(238, 248, 238);
    }
}

} // namespace

DesignerPageView::DesignerPageView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PageView"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    UpdateSize();
}

void DesignerPageView::SetPage(tmpl::TfrPage* page) {
    m_page = page;
    m_selection.clear();
    m_failures.clear();
    m_drag = Drag::None;
    UpdateSize();
    update();
    emit SelectionChanged();
}

void DesignerPageView::PageChanged() {
    const size_t before = m_selection.size();
    if (!m_page) {
        m_selection.clear();
    } else {
        std::erase_if(m_selection, [this](const tmpl::TfrView* v) {
            return std::none_of(m_page->Objects.begin(), m_page->Objects.end(),
                                [v](const auto& o) { return o.get() == v; });
        });
    }
    m_drag = Drag::None;
    UpdateSize();
    update();
    if (m_selection.size() != before)
        emit SelectionChanged();
}

void DesignerPageView::SetZoom(double zoom) {
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (zoom == m_zoom)
        return;
    m_zoom = zoom;
    UpdateSize();
    update();
}

void DesignerPageView::SetGridShown(bool on) {
    m_grid = on;
    update();
}

void DesignerPageView::SetGridStep(int units) {
    m_gridStep = std::max(1, units);
    update();
}

void DesignerPageView::SetInsertMode(bool on) {
    m_insert = on;
    setCursor(on ? Qt::CrossCursor : Qt::ArrowCursor);
}

void DesignerPageView::SetSelection(std::vector<tmpl::TfrView*> views) {
    m_selection = std::move(views);
    update();
    emit SelectionChanged();
}

void DesignerPageView::SelectAll() {
    std::vector<tmpl::TfrView*> all;
    if (m_page)
        for (const auto& v : m_page->Objects)
            if (!isBand(*v))
                all.push_back(v.get());
    SetSelection(std::move(all));
}

bool DesignerPageView::IsSelected(const tmpl::TfrView* view) const {
    return std::find(m_selection.begin(), m_selection.end(), view) != m_selection.end();
}

QRect DesignerPageView::PaperUnits() const {
    if (!m_page)
        return QRect(0, 0, unitsOfTenths(2100), unitsOfTenths(2970));
    return QRect(0, 0, unitsOfTenths(m_page->PaperWidth), unitsOfTenths(m_page->PaperHeight));
}

QRect DesignerPageView::MarginUnits() const {
    const QRect paper = PaperUnits();
    if (!m_page)
        return paper;
    const tmpl::PrintableArea printable = tmpl::printers().Printable(m_page->Paper());
    const bool margins = m_page->UseMargins;
    const auto margin = [&](std::int32_t stored, std::int64_t offsetTenths) {
        return margins && stored != 0 ? stored : std::max<std::int32_t>(0, unitsOfTenths(offsetTenths));
    };
    const int left = margin(m_page->LeftMargin, printable.offsetLeft);
    const int top = margin(m_page->TopMargin, printable.offsetTop);
    const int right = margin(m_page->RightMargin,
                             std::int64_t(m_page->PaperWidth) - printable.offsetLeft - printable.width);
    const int bottom = margin(m_page->BottomMargin,
                              std::int64_t(m_page->PaperHeight) - printable.offsetTop - printable.height);
    return QRect(QPoint(left, top), QPoint(paper.width() - right - 1, paper.height() - bottom - 1));
}

int DesignerPageView::ColumnWidthUnits() const {
    const QRect area = MarginUnits();
    if (!m_page)
        return area.width();
    const int columns = std::max(1, m_page->Columns);
    return std::max(1, (area.width() - (columns - 1) * m_page->ColumnGap) / columns);
}

QRect DesignerPageView::ObjectUnits(const tmpl::TfrView& view) const {
    if (isBand(view))
        return QRect(MarginUnits().left(), view.Top, ColumnWidthUnits(), std::max(0, view.Height));
    return QRect(view.Left, view.Top, view.Width, view.Height).normalized();
}

QPointF DesignerPageView::ToUnits(QPointF widget) const {
    return (widget - QPointF(kBorder, kBorder)) / m_zoom;
}

QPointF DesignerPageView::ToWidget(QPointF units) const { return units * m_zoom + QPointF(kBorder, kBorder); }

QRectF DesignerPageView::WidgetRect(const tmpl::TfrView& view) const {
    const QRect u = ObjectUnits(view);
    return QRectF(ToWidget(u.topLeft()), QSizeF(u.width() * m_zoom, u.height() * m_zoom));
}

tmpl::TfrView* DesignerPageView::ObjectAt(QPoint widget) const {
    if (!m_page)
        return nullptr;
    // Objects first, topmost (last drawn) first; then the bands.
    for (int pass = 0; pass < 2; ++pass)
        for (auto it = m_page->Objects.rbegin(); it != m_page->Objects.rend(); ++it) {
            tmpl::TfrView& view = **it;
            if (isBand(view) != (pass == 1))
                continue;
            // Lines and other thin objects are hit a few pixels around.
            if (WidgetRect(view).adjusted(-3, -3, 3, 3).contains(widget))
                return &view;
        }
    return nullptr;
}

int DesignerPageView::HandleAt(QPoint widget) const {
    if (m_selection.size() != 1)
        return -1;
    const tmpl::TfrView& view = *m_selection.front();
    if (view.Restrictions & restriction::kDontSize)
        return -1;
    const QRectF r = WidgetRect(view);
    const QPointF points[8] = {r.topLeft(),    QPointF(r.center().x(), r.top()),    r.topRight(),
                               QPointF(r.right(), r.center().y()), r.bottomRight(),
                               QPointF(r.center().x(), r.bottom()), r.bottomLeft(),
                               QPointF(r.left(), r.center().y())};
    for (int i = 0; i < 8; ++i) {
        if (isBand(view) && i != 5)
            continue;   // a band only grows and shrinks at its bottom
        if (std::abs(widget.x() - points[i].x()) <= kHandle && std::abs(widget.y() - points[i].y()) <= kHandle)
            return i;
    }
    return -1;
}

void DesignerPageView::UpdateSize() {
    // The paper, and objects that stand out of it, can all be scrolled to.
    QRect extent = PaperUnits();
    if (m_page)
        for (const auto& v : m_page->Objects) {
            const QRect r = ObjectUnits(*v);
            if (r.right() < 100000 && r.bottom() < 100000 && r.left() >= 0 && r.top() >= 0)
                extent = extent.united(r);
        }
    const QSize size(static_cast<int>(std::ceil(extent.right() * m_zoom)) + 2 * kBorder,
                     static_cast<int>(std::ceil(extent.bottom() * m_zoom)) + 2 * kBorder);
    if (size != minimumSize()) {
        setMinimumSize(size);
        resize(size);
    }
    emit GeometryChanged();
}

int DesignerPageView::Snap(double units) const {
    if (!m_snap)
        return static_cast<int>(std::lround(units));
    return static_cast<int>(std::lround(units / m_gridStep)) * m_gridStep;
}

void DesignerPageView::EnsureChangeRecorded() {
    if (!m_changeRecorded) {
        emit AboutToChange();
        m_changeRecorded = true;
    }
}

void DesignerPageView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(128, 128, 128));
    const QRect paperUnits = PaperUnits();
    const QRectF paper(ToWidget(QPointF(0, 0)), QSizeF(paperUnits.width() * m_zoom, paperUnits.height() * m_zoom));
    painter.fillRect(paper.translated(3, 3), QColor(64, 64, 64));
    painter.fillRect(paper, Qt::white);
    if (!m_page)
        return;

    // Grid dots inside the paper, when they are not too dense to see.
    if (m_grid && m_gridStep * m_zoom >= 4) {
        painter.setPen(QColor(190, 190, 190));
        std::vector<QPointF> dots;
        for (int y = 0; y <= paperUnits.height(); y += m_gridStep)
            for (int x = 0; x <= paperUnits.width(); x += m_gridStep)
                dots.push_back(ToWidget(QPointF(x, y)));
        painter.drawPoints(dots.data(), static_cast<int>(dots.size()));
    }

    // Margins and page columns.
    const QRect area = MarginUnits();
    QPen marginPen(QColor(110, 140, 200), 1, Qt::DashLine);
    painter.setPen(marginPen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(ToWidget(area.topLeft()), QSizeF(area.width() * m_zoom, area.height() * m_zoom)));
    const int columns = std::max(1, m_page->Columns);
    const int columnWidth = ColumnWidthUnits();
    for (int c = 1; c < columns; ++c) {
        const double end = area.left() + c * columnWidth + (c - 1) * m_page->ColumnGap;
        for (const double x : {end, end + m_page->ColumnGap}) {
            painter.drawLine(ToWidget(QPointF(x, area.top())), ToWidget(QPointF(x, area.bottom())));
        }
    }

    PaintBands(painter);

    // The objects, through the painting path every output uses.
    tmpl::PaintContext context;
    context.scaleX = m_zoom;
    context.scaleY = m_zoom;
    context.offsetX = kBorder;
    context.offsetY = kBorder;
    context.designMode = true;
    m_failures.clear();
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    tmpl::paintObjects(painter, m_page->Objects, context, &m_failures);
    painter.restore();
    // What could not be drawn is crossed out in red.
    painter.setPen(QPen(QColor(220, 0, 0), 1));
    for (const tmpl::PaintFailure& f : m_failures) {
        const QRectF r(ToWidget(f.frame.topLeft()), QSizeF(f.frame.width() * m_zoom, f.frame.height() * m_zoom));
        painter.drawRect(r);
        painter.drawLine(r.topLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomLeft());
    }

    PaintSelection(painter);
    if (m_drag == Drag::Rubber || m_drag == Drag::Insert) {
        painter.setPen(QPen(QColor(0, 0, 160), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(m_rubber);
    }
}

void DesignerPageView::PaintBands(QPainter& painter) {
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    for (const auto& v : m_page->Objects) {
        if (!isBand(*v))
            continue;
        const auto& band = static_cast<const tmpl::TfrBandView&>(*v);
        const QRectF r = WidgetRect(band);
        painter.fillRect(r, bandColor(band.BandType()));
        painter.setPen(QPen(QColor(150, 150, 170), 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r);
        const int type = band.BandType();
        QString caption = type >= 0 && type < static_cast<int>(tmpl::kBandTypeNames.size())
                              ? QString::fromUtf8(tmpl::kBandTypeNames[static_cast<size_t>(type)])
                              : QString::number(type);
        caption += QStringLiteral(": ") + core::toUnicode(band.Name);
        if (!band.FormatStr.empty())
            caption += QStringLiteral(" (") + core::toUnicode(band.FormatStr) + QLatin1Char(')');
        painter.setPen(QColor(90, 90, 120));
        painter.drawText(r.adjusted(3, 1, -3, -1), Qt::AlignRight | Qt::AlignTop, caption);
    }
}

void DesignerPageView::PaintSelection(QPainter& painter) {
    const bool single = m_selection.size() == 1;
    for (const tmpl::TfrView* view : m_selection) {
        const QRectF r = WidgetRect(*view);
        painter.setPen(QPen(QColor(0, 0, 200), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r);
        const QPointF points[8] = {r.topLeft(),    QPointF(r.center().x(), r.top()),    r.topRight(),
                                   QPointF(r.right(), r.center().y()), r.bottomRight(),
                                   QPointF(r.center().x(), r.bottom()), r.bottomLeft(),
                                   QPointF(r.left(), r.center().y())};
        const bool sizable = single && !(view->Restrictions & restriction::kDontSize);
        painter.setPen(Qt::NoPen);
        painter.setBrush(sizable ? QColor(0, 0, 0) : QColor(140, 140, 140));
        for (int i = 0; i < 8; ++i) {
            if (isBand(*view) && i != 5)
                continue;
            painter.drawRect(QRectF(points[i] - QPointF(kHandle / 2.0, kHandle / 2.0), QSizeF(kHandle, kHandle)));
        }
    }
}

void DesignerPageView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton || !m_page)
        return;
    const QPoint pos = event->position().toPoint();
    m_pressPos = pos;
    m_changeRecorded = false;
    m_start.clear();
    if (m_insert) {
        m_drag = Drag::Insert;
        m_rubber = QRect(pos, pos);
        return;
    }
    m_handle = HandleAt(pos);
    if (m_handle >= 0) {
        m_drag = Drag::Resize;
        tmpl::TfrView* v = m_selection.front();
        m_start.push_back({v, QRect(v->Left, v->Top, v->Width, v->Height), isBand(*v)});
        return;
    }
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    tmpl::TfrView* hit = ObjectAt(pos);
    if (!hit) {
        if (!shift && !m_selection.empty()) {
            m_selection.clear();
            emit SelectionChanged();
        }
        m_drag = Drag::Rubber;
        m_rubber = QRect(pos, pos);
        update();
        return;
    }
    if (shift) {
        if (IsSelected(hit)) {
            std::erase(m_selection, hit);
            emit SelectionChanged();
            update();
            m_drag = Drag::None;
            return;
        }
        m_selection.push_back(hit);
        emit SelectionChanged();
    } else if (!IsSelected(hit)) {
        m_selection = {hit};
        emit SelectionChanged();
    }
    m_drag = Drag::Move;
    m_pressHit = shift ? nullptr : hit;
    for (tmpl::TfrView* v : m_selection)
        m_start.push_back({v, QRect(v->Left, v->Top, v->Width, v->Height), isBand(*v)});
    // A moved band carries the objects that stand on it.
    for (tmpl::TfrView* v : m_selection) {
        if (!isBand(*v))
            continue;
        for (const auto& o : m_page->Objects) {
            if (isBand(*o) || IsSelected(o.get()))
                continue;
            if (o->Top >= v->Top && o->Top < v->Top + v->Height &&
                std::none_of(m_start.begin(), m_start.end(), [&](const Start& s) { return s.view == o.get(); }))
                m_start.push_back({o.get(), QRect(o->Left, o->Top, o->Width, o->Height), true});
        }
    }
    update();
}

void DesignerPageView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    emit PointerMoved(ToUnits(pos));
    if (m_drag == Drag::None) {
        const int handle = HandleAt(pos);
        setCursor(m_insert ? Qt::CrossCursor
                  : handle == 0 || handle == 4 ? Qt::SizeFDiagCursor
                  : handle == 2 || handle == 6 ? Qt::SizeBDiagCursor
                  : handle == 1 || handle == 5 ? Qt::SizeVerCursor
                  : handle == 3 || handle == 7 ? Qt::SizeHorCursor
                                               : Qt::ArrowCursor);
        return;
    }
    if (m_drag == Drag::Rubber || m_drag == Drag::Insert) {
        m_rubber = QRect(m_pressPos, pos).normalized();
        update();
        return;
    }
    if (!m_changeRecorded && (pos - m_pressPos).manhattanLength() < kDragStart)
        return;
    const QPointF delta = QPointF(pos - m_pressPos) / m_zoom;
    if (m_drag == Drag::Move) {
        if (m_start.empty())
            return;
        // The first object lands on the grid; the others keep their distance to it.
        const Start& lead = m_start.front();
        const int dx = Snap(lead.rect.left() + delta.x()) - lead.rect.left();
        const int dy = Snap(lead.rect.top() + delta.y()) - lead.rect.top();
        bool any = false;
        for (const Start& s : m_start)
            any = any || !(s.view->Restrictions & restriction::kDontMove);
        if (!any)
            return;
        EnsureChangeRecorded();
        for (const Start& s : m_start) {
            if (s.view->Restrictions & restriction::kDontMove)
                continue;
            if (!s.verticalOnly)
                s.view->Left = s.rect.left() + dx;
            s.view->Top = s.rect.top() + dy;
        }
    } else if (m_drag == Drag::Resize) {
        const Start& s = m_start.front();
        int left = s.rect.left(), top = s.rect.top();
        int right = s.rect.left() + s.rect.width(), bottom = s.rect.top() + s.rect.height();
        if (m_handle == 0 || m_handle == 6 || m_handle == 7)
            left = std::min(Snap(left + delta.x()), right);
        if (m_handle == 2 || m_handle == 3 || m_handle == 4)
            right = std::max(Snap(right + delta.x()), left);
        if (m_handle == 0 || m_handle == 1 || m_handle == 2)
            top = std::min(Snap(top + delta.y()), bottom);
        if (m_handle == 4 || m_handle == 5 || m_handle == 6)
            bottom = std::max(Snap(bottom + delta.y()), top);
        EnsureChangeRecorded();
        s.view->Left = left;
        s.view->Top = top;
        s.view->Width = right - left;
        s.view->Height = bottom - top;
    }
    update();
}

void DesignerPageView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const Drag drag = m_drag;
    m_drag = Drag::None;
    if (drag == Drag::Rubber) {
        const QRect r = m_rubber;
        update();
        if (r.width() < kDragStart && r.height() < kDragStart)
            return;
        for (const auto& v : m_page->Objects)
            if (!isBand(*v) && WidgetRect(*v).intersects(r) && !IsSelected(v.get()))
                m_selection.push_back(v.get());
        emit SelectionChanged();
    } else if (drag == Drag::Insert) {
        const QRect r = m_rubber;
        update();
        const QPointF a = ToUnits(r.topLeft());
        if (r.width() < kDragStart && r.height() < kDragStart) {
            emit InsertRequested(QRect(QPoint(Snap(a.x()), Snap(a.y())), QSize(0, 0)));
        } else {
            const QPointF b = ToUnits(r.bottomRight());
            const int left = Snap(a.x()), top = Snap(a.y());
            emit InsertRequested(QRect(left, top, std::max(1, Snap(b.x()) - left), std::max(1, Snap(b.y()) - top)));
        }
    } else if ((drag == Drag::Move || drag == Drag::Resize) && m_changeRecorded) {
        UpdateSize();
        update();
        emit Changed();
    } else if (drag == Drag::Move && m_pressHit && m_selection.size() > 1) {
        // A click that moved nothing picks one object out of the selection.
        m_selection = {m_pressHit};
        update();
        emit SelectionChanged();
    }
    m_pressHit = nullptr;
    m_changeRecorded = false;
    m_start.clear();
}

void DesignerPageView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_insert)
        return;
    if (tmpl::TfrView* hit = ObjectAt(event->position().toPoint())) {
        if (!IsSelected(hit) || m_selection.size() != 1) {
            m_selection = {hit};
            emit SelectionChanged();
            update();
        }
        emit ObjectActivated(hit);
    }
}

bool DesignerPageView::MoveSelection(int dx, int dy) {
    std::vector<tmpl::TfrView*> movable;
    for (tmpl::TfrView* v : m_selection)
        if (!(v->Restrictions & restriction::kDontMove))
            movable.push_back(v);
    if (movable.empty() || (dx == 0 && dy == 0))
        return false;
    emit AboutToChange();
    for (tmpl::TfrView* v : movable) {
        if (!isBand(*v))
            v->Left += dx;
        v->Top += dy;
    }
    update();
    emit Changed();
    return true;
}

bool DesignerPageView::ResizeSelection(int dw, int dh) {
    std::vector<tmpl::TfrView*> sizable;
    for (tmpl::TfrView* v : m_selection)
        if (!(v->Restrictions & restriction::kDontSize))
            sizable.push_back(v);
    if (sizable.empty() || (dw == 0 && dh == 0))
        return false;
    emit AboutToChange();
    for (tmpl::TfrView* v : sizable) {
        if (!isBand(*v))
            v->Width = std::max(0, v->Width + dw);
        v->Height = std::max(0, v->Height + dh);
    }
    update();
    emit Changed();
    return true;
}

void DesignerPageView::keyPressEvent(QKeyEvent* event) {
    int dx = 0, dy = 0;
    switch (event->key()) {
    case Qt::Key_Left: dx = -1; break;
    case Qt::Key_Right: dx = 1; break;
    case Qt::Key_Up: dy = -1; break;
    case Qt::Key_Down: dy = 1; break;
    case Qt::Key_Escape:
        if (m_insert) {
            SetInsertMode(false);
        } else if (!m_selection.empty()) {
            m_selection.clear();
            update();
            emit SelectionChanged();
        }
        return;
    default: QWidget::keyPressEvent(event); return;
    }
    // Ctrl: a whole grid step at a time.
    if (event->modifiers() & Qt::ControlModifier) {
        dx *= m_gridStep;
        dy *= m_gridStep;
    }
    if (event->modifiers() & Qt::ShiftModifier)
        ResizeSelection(dx, dy);
    else
        MoveSelection(dx, dy);
}

void DesignerPageView::contextMenuEvent(QContextMenuEvent* event) {
    if (tmpl::TfrView* hit = ObjectAt(event->pos()); hit && !IsSelected(hit)) {
        m_selection = {hit};
        update();
        emit SelectionChanged();
    }
    emit ContextMenuRequested(event->globalPos());
}

bool DesignerPageView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QPointF u = ToUnits(help->pos());
        for (const tmpl::PaintFailure& f : m_failures)
            if (QRectF(f.frame).contains(u)) {
                QToolTip::showText(help->globalPos(), f.name + QStringLiteral(": ") + f.message, this);
                return true;
            }
        if (tmpl::TfrView* hit = ObjectAt(help->pos())) {
            QToolTip::showText(help->globalPos(), core::toUnicode(hit->Name), this);
            return true;
        }
        QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

DesignerWorkspace::DesignerWorkspace(QWidget* parent) : QWidget(parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    auto* corner = new QWidget(this);
    corner->setFixedSize(DesignerRuler::kThickness, DesignerRuler::kThickness);
    m_top = new DesignerRuler(Qt::Horizontal, this);
    m_top->setObjectName(QStringLiteral("HorizontalRuler"));
    m_left = new DesignerRuler(Qt::Vertical, this);
    m_left->setObjectName(QStringLiteral("VerticalRuler"));
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("PageScroller"));
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_view = new DesignerPageView;
    m_scroll->setWidget(m_view);
    m_scroll->setWidgetResizable(false);
    grid->addWidget(corner, 0, 0);
    grid->addWidget(m_top, 0, 1);
    grid->addWidget(m_left, 1, 0);
    grid->addWidget(m_scroll, 1, 1);
    connect(m_scroll->horizontalScrollBar(), &QScrollBar::valueChanged, this, &DesignerWorkspace::UpdateRulers);
    connect(m_scroll->verticalScrollBar(), &QScrollBar::valueChanged, this, &DesignerWorkspace::UpdateRulers);
    connect(m_scroll->horizontalScrollBar(), &QScrollBar::rangeChanged, this, &DesignerWorkspace::UpdateRulers);
    connect(m_scroll->verticalScrollBar(), &QScrollBar::rangeChanged, this, &DesignerWorkspace::UpdateRulers);
    connect(m_view, &DesignerPageView::GeometryChanged, this, &DesignerWorkspace::UpdateRulers);
    connect(m_view, &DesignerPageView::PointerMoved, this, [this](QPointF u) {
        m_top->SetPointer(u.x());
        m_left->SetPointer(u.y());
    });
    UpdateRulers();
}

void DesignerWorkspace::UpdateRulers() {
    // Where the paper's corner lies in the scroll area's viewport.
    const QPoint corner = m_view->mapTo(m_scroll->viewport(), QPoint(DesignerPageView::kBorder, DesignerPageView::kBorder));
    const QRect paper = m_view->PaperUnits();
    // The rulers sit beside the viewport, so their pixels line up with it.
    m_top->SetScale(corner.x() + m_scroll->viewport()->x(), m_view->Zoom(), paper.width());
    m_left->SetScale(corner.y() + m_scroll->viewport()->y(), m_view->Zoom(), paper.height());
}

DesignerRuler::DesignerRuler(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), m_orientation(orientation) {
    if (orientation == Qt::Horizontal)
        setFixedHeight(kThickness);
    else
        setFixedWidth(kThickness);
}

void DesignerRuler::SetScale(double origin, double zoom, double lengthUnits) {
    m_origin = origin;
    m_zoom = zoom;
    m_length = lengthUnits;
    update();
}

void DesignerRuler::SetPointer(double units) {
    m_pointer = units;
    update();
}

void DesignerRuler::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const bool horizontal = m_orientation == Qt::Horizontal;
    const double pixelsPerMm = m_zoom * 18.0 / 5.0;
    const double lengthMm = m_length * 5.0 / 18.0;
    // The paper's extent is white on the ruler.
    const double end = m_origin + lengthMm * pixelsPerMm;
    if (horizontal)
        painter.fillRect(QRectF(m_origin, 0, end - m_origin, height()), Qt::white);
    else
        painter.fillRect(QRectF(0, m_origin, width(), end - m_origin), Qt::white);
    QFont font = painter.font();
    font.setPixelSize(9);
    painter.setFont(font);
    painter.setPen(QColor(60, 60, 60));
    // Label every 10 mm, or every 50 mm when they would crowd.
    const int labelStep = pixelsPerMm * 10 < 28 ? 50 : 10;
    const int tick = pixelsPerMm < 2 ? 5 : 1;
    for (int mm = 0; mm <= lengthMm; mm += tick) {
        const double p = m_origin + mm * pixelsPerMm;
        const int len = mm % 10 == 0 ? kThickness / 2 : mm % 5 == 0 ? kThickness / 3 : kThickness / 5;
        if (horizontal)
            painter.drawLine(QPointF(p, kThickness - len), QPointF(p, kThickness));
        else
            painter.drawLine(QPointF(kThickness - len, p), QPointF(kThickness, p));
        if (mm % labelStep == 0) {
            const QString label = QString::number(mm);
            if (horizontal)
                painter.drawText(QPointF(p + 2, 9), label);
            else
                painter.drawText(QRectF(0, p + 1, kThickness - 2, 10), Qt::AlignLeft | Qt::AlignTop, label);
        }
    }
    if (m_pointer >= 0) {
        const double p = m_origin + m_pointer * m_zoom;
        painter.setPen(QColor(200, 0, 0));
        if (horizontal)
            painter.drawLine(QPointF(p, 0), QPointF(p, kThickness));
        else
            painter.drawLine(QPointF(0, p), QPointF(kThickness, p));
    }
}

} // namespace mirel::engine::ui
