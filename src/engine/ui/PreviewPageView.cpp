#include "engine/ui/PreviewPageView.h"

#include "template/PagePainter.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace mirel::engine {

namespace {

// Page images kept for repainting while scrolling: a few screens of labels.
constexpr size_t kCachedPages = 12;
constexpr qint64 kCacheBytes = 160ll << 20;
// A page larger than this (a big sheet at a high zoom) is painted straight
// into the view, clipped to what is in sight, instead of into an image.
constexpr qint64 kLargestImageBytes = 48ll << 20;

const QColor kBackground(0x80, 0x84, 0x88);
const QColor kFrame(0x3c, 0x3c, 0x3c);
const QColor kMatchFill(255, 214, 0, 90);
const QColor kMatchFrame(232, 118, 0);

// Where an object frame in page units lies on a page painted at `dpi` with
// its paper corner at `origin`.
QRectF deviceRect(const QRect& frame, QPoint origin, double dpi) {
    tmpl::PageDevice device;
    device.dpiX = device.dpiY = dpi;
    const tmpl::PaintContext context = tmpl::preparedPaintContext(device);
    return {origin.x() + frame.x() * context.scaleX, origin.y() + frame.y() * context.scaleY,
            frame.width() * context.scaleX, frame.height() * context.scaleY};
}

// An object that could not be painted: its place crossed out in red.
void paintFailure(QPainter& painter, const QRectF& place) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(211, 47, 47, 40));
    QPen pen(QColor(211, 47, 47), 1.5, Qt::DashLine);
    painter.setPen(pen);
    painter.drawRect(place);
    pen.setStyle(Qt::SolidLine);
    painter.setPen(pen);
    painter.drawLine(place.topLeft(), place.bottomRight());
    painter.drawLine(place.topRight(), place.bottomLeft());
    painter.restore();
}

void paintShadow(QPainter& painter, const QRect& paper) {
    // A soft shadow to the lower right: three layers, darker near the paper.
    static constexpr int kAlpha[] = {60, 36, 18};
    for (int i = 0; i < 3; ++i)
        painter.fillRect(paper.translated(2 + i, 2 + i), QColor(0, 0, 0, kAlpha[i]));
}

} // namespace

PreviewPageView::PreviewPageView(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("PreviewPages"));
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    // A vertical bar that stays keeps the page width steady for the fitting
    // zooms (a bar coming and going would change it).
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::OpenHandCursor);
}

const std::vector<double>& PreviewPageView::ZoomSteps() {
    static const std::vector<double> steps = {0.1, 0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0, 6.0, 8.0};
    return steps;
}

double PreviewPageView::ScreenDpi() const { return logicalDpiX() > 0 ? logicalDpiX() : 96.0; }

QSize PreviewPageView::PaperPixels(int index, double zoom) const {
    const QSizeF size = tmpl::pagePixelSize(m_pages->Pages[static_cast<size_t>(index)], ScreenDpi() * zoom,
                                            ScreenDpi() * zoom);
    return {std::max(1, static_cast<int>(std::lround(size.width()))),
            std::max(1, static_cast<int>(std::lround(size.height())))};
}

void PreviewPageView::SetPages(const tmpl::TfrPreparedPages* pages) {
    m_pages = pages;
    m_cache.clear();
    m_failures.clear();
    m_paintedPages = 0;
    m_match = TextMatch();
    const int count = pages ? static_cast<int>(pages->Pages.size()) : 0;
    m_sizes.assign(static_cast<size_t>(count), QSize());
    m_tops.assign(static_cast<size_t>(count), 0);
    m_current = count > 0 ? 0 : -1;
    if (m_mode != ZoomMode::Free && count > 0)
        m_zoom = FitZoom(m_mode);
    Relayout();
    ScrollTo(0, 0);
    emit CurrentPageChanged(m_current);
    emit ZoomChanged(m_zoom);
    viewport()->update();
}

void PreviewPageView::Relayout() {
    m_maxWidth = 0;
    int y = kGap;
    for (int i = 0; i < PageCount(); ++i) {
        const QSize size = PaperPixels(i, m_zoom);
        m_sizes[static_cast<size_t>(i)] = size;
        m_tops[static_cast<size_t>(i)] = y;
        y += size.height() + kGap;
        m_maxWidth = std::max(m_maxWidth, size.width());
    }
    m_contentHeight = PageCount() > 0 ? y : 0;
    UpdateScrollBars();
}

int PreviewPageView::ContentWidth() const { return m_maxWidth + 2 * kGap; }

void PreviewPageView::UpdateScrollBars() {
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, ContentWidth() - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setRange(0, std::max(0, m_contentHeight - view.height()));
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setSingleStep(20);
}

int PreviewPageView::PageLeft(int index) const {
    // Pages are centred in the content, and the content in a wider view.
    const int width = std::max(ContentWidth(), viewport()->width());
    return (width - m_sizes[static_cast<size_t>(index)].width()) / 2;
}

QRect PreviewPageView::PageRect(int index) const {
    if (index < 0 || index >= PageCount())
        return {};
    return {QPoint(PageLeft(index), m_tops[static_cast<size_t>(index)]), m_sizes[static_cast<size_t>(index)]};
}

int PreviewPageView::PageAtY(int y) const {
    // The first page whose bottom lies below y; the gap above a page belongs to it.
    int low = 0, high = PageCount() - 1;
    while (low < high) {
        const int mid = (low + high) / 2;
        if (m_tops[static_cast<size_t>(mid)] + m_sizes[static_cast<size_t>(mid)].height() > y)
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

void PreviewPageView::ScrollTo(int x, int y) {
    m_scrolling = true;
    horizontalScrollBar()->setValue(x);
    verticalScrollBar()->setValue(y);
    m_scrolling = false;
}

void PreviewPageView::SetCurrent(int index) {
    if (index == m_current)
        return;
    m_current = index;
    emit CurrentPageChanged(index);
}

void PreviewPageView::GoToPage(int index) {
    if (PageCount() == 0)
        return;
    index = std::clamp(index, 0, PageCount() - 1);
    SetCurrent(index);
    if (m_mode != ZoomMode::Free) {
        // Pages of another paper size fit the view on their own.
        const double fit = FitZoom(m_mode);
        if (std::abs(fit - m_zoom) > 1e-9) {
            m_zoom = fit;
            Relayout();
            emit ZoomChanged(m_zoom);
        }
    }
    ScrollTo(horizontalScrollBar()->value(), m_tops[static_cast<size_t>(index)] - kGap);
    viewport()->update();
}

double PreviewPageView::FitZoom(ZoomMode mode) const {
    if (PageCount() == 0 || mode == ZoomMode::Free)
        return m_zoom;
    const int index = std::clamp(m_current, 0, PageCount() - 1);
    const QSizeF atOne = tmpl::pagePixelSize(m_pages->Pages[static_cast<size_t>(index)], ScreenDpi(), ScreenDpi());
    // Half a pixel less than the room, so the rounded page size never exceeds it.
    const double across = (viewport()->width() - 2.0 * kGap - 0.5) / atOne.width();
    const double down = (viewport()->height() - 2.0 * kGap - 0.5) / atOne.height();
    const double zoom = mode == ZoomMode::PageWidth ? across : std::min(across, down);
    return std::clamp(zoom, kMinZoom, kMaxZoom);
}

QPoint PreviewPageView::ZoomAnchor() const {
    // The middle of what is in sight of the current page, so that page stays
    // in sight; the middle of the view when it is not.
    const QRect page = PageRect(m_current).translated(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    const QRect seen = page & viewport()->rect();
    return seen.isEmpty() ? viewport()->rect().center() : seen.center();
}

void PreviewPageView::SetZoom(double zoom) {
    m_mode = ZoomMode::Free;
    ApplyZoom(std::clamp(zoom, kMinZoom, kMaxZoom), ZoomAnchor());
}

void PreviewPageView::SetZoomMode(ZoomMode mode) {
    m_mode = mode;
    if (mode == ZoomMode::Free) {
        emit ZoomChanged(m_zoom);
        return;
    }
    ApplyZoom(FitZoom(mode), ZoomAnchor());
    // A fitted page is shown whole from its top.
    if (PageCount() > 0)
        ScrollTo(horizontalScrollBar()->value(), m_tops[static_cast<size_t>(m_current)] - kGap);
}

void PreviewPageView::ZoomIn() {
    for (double step : ZoomSteps())
        if (step > m_zoom + 1e-6)
            return SetZoom(step);
    SetZoom(kMaxZoom);
}

void PreviewPageView::ZoomOut() {
    const auto& steps = ZoomSteps();
    for (auto it = steps.rbegin(); it != steps.rend(); ++it)
        if (*it < m_zoom - 1e-6)
            return SetZoom(*it);
    SetZoom(kMinZoom);
}

void PreviewPageView::ApplyZoom(double zoom, QPoint anchor) {
    if (PageCount() == 0) {
        m_zoom = zoom;
        emit ZoomChanged(m_zoom);
        return;
    }
    // The point under the anchor, as a fraction of the page it lies on.
    const QPoint content(anchor.x() + horizontalScrollBar()->value(), anchor.y() + verticalScrollBar()->value());
    const int page = PageAtY(content.y());
    const QRect before = PageRect(page);
    const double fx = (content.x() - before.left()) / double(before.width());
    const double fy = (content.y() - before.top()) / double(before.height());

    const bool changed = std::abs(zoom - m_zoom) > 1e-9;
    m_zoom = zoom;
    Relayout();
    const QRect after = PageRect(page);
    ScrollTo(static_cast<int>(std::lround(after.left() + fx * after.width())) - anchor.x(),
             static_cast<int>(std::lround(after.top() + fy * after.height())) - anchor.y());
    if (changed)
        m_cache.clear();
    emit ZoomChanged(m_zoom);
    viewport()->update();
}

void PreviewPageView::ShowMatch(const TextMatch& match) {
    if (!match.valid() || match.page >= PageCount())
        return;
    m_match = match;
    SetCurrent(match.page);
    const QRect paper = PageRect(match.page);
    const QRect object = deviceRect(match.frame, paper.topLeft(), ScreenDpi() * m_zoom).toAlignedRect();
    const QRect found = object.adjusted(-kGap, -kGap, kGap, kGap);
    const QRect visible(QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()), viewport()->size());
    if (!visible.contains(found)) {
        // Bring the object to the middle of the view (its page's top when the
        // whole page fits).
        int y = found.center().y() - viewport()->height() / 2;
        if (paper.height() + 2 * kGap <= viewport()->height())
            y = paper.top() - kGap;
        int x = horizontalScrollBar()->value();
        if (found.left() < visible.left() || found.right() > visible.right())
            x = found.center().x() - viewport()->width() / 2;
        ScrollTo(x, y);
    }
    viewport()->update();
}

void PreviewPageView::ClearMatch() {
    m_match = TextMatch();
    viewport()->update();
}

const QImage* PreviewPageView::PageImage(int index, QSize size) {
    for (auto it = m_cache.begin(); it != m_cache.end(); ++it) {
        if (it->page == index && it->size == size && it->zoom == m_zoom) {
            m_cache.splice(m_cache.begin(), m_cache, it);
            return &m_cache.front().image;
        }
    }
    const double ratio = devicePixelRatioF();
    const QSize pixels(static_cast<int>(std::ceil(size.width() * ratio)),
                       static_cast<int>(std::ceil(size.height() * ratio)));
    if (qint64(pixels.width()) * pixels.height() * 4 > kLargestImageBytes)
        return nullptr;
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PaintPage(painter, index, QPoint(0, 0), ScreenDpi() * m_zoom * ratio);
    }
    image.setDevicePixelRatio(ratio);

    m_cache.push_front({index, size, m_zoom, std::move(image)});
    qint64 bytes = 0;
    size_t kept = 0;
    for (auto it = m_cache.begin(); it != m_cache.end();) {
        bytes += it->image.sizeInBytes();
        // The newest image always stays, however large.
        if (kept > 0 && (kept >= kCachedPages || bytes > kCacheBytes)) {
            it = m_cache.erase(it);
        } else {
            ++kept;
            ++it;
        }
    }
    return &m_cache.front().image;
}

void PreviewPageView::PaintPage(QPainter& painter, int index, QPoint origin, double dpi) {
    std::vector<tmpl::PaintFailure> failures;
    tmpl::PageDevice device;
    device.dpiX = device.dpiY = dpi;
    device.origin = origin;
    tmpl::paintPreparedPage(painter, m_pages->Pages[static_cast<size_t>(index)], device, &failures);
    ++m_paintedPages;
    // What a page could not show is the same at every zoom: kept once found.
    const bool found = !failures.empty() && !m_failures.count(index);
    if (!failures.empty())
        m_failures[index] = std::move(failures);
    if (found)
        emit FailuresFound(index);
}

void PreviewPageView::PaintPageDirect(QPainter& painter, int index, const QRect& target) {
    painter.save();
    painter.setClipRect(target & viewport()->rect());
    painter.fillRect(target, Qt::white);
    PaintPage(painter, index, target.topLeft(), ScreenDpi() * m_zoom);
    painter.restore();
}

const std::vector<tmpl::PaintFailure>* PreviewPageView::Failures(int index) const {
    const auto it = m_failures.find(index);
    return it == m_failures.end() ? nullptr : &it->second;
}

void PreviewPageView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), kBackground);
    if (PageCount() == 0)
        return;
    const int dx = horizontalScrollBar()->value();
    const int dy = verticalScrollBar()->value();
    const int bottom = dy + viewport()->height();
    for (int i = PageAtY(dy); i < PageCount() && m_tops[static_cast<size_t>(i)] < bottom; ++i) {
        const QRect paper = PageRect(i).translated(-dx, -dy);
        paintShadow(painter, paper);
        if (const QImage* image = PageImage(i, paper.size()))
            painter.drawImage(paper.topLeft(), *image);
        else
            PaintPageDirect(painter, i, paper);
        painter.setPen(kFrame);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(paper.adjusted(-1, -1, 0, 0));

        const double dpi = ScreenDpi() * m_zoom;
        if (const auto* failures = Failures(i))
            for (const tmpl::PaintFailure& failure : *failures)
                paintFailure(painter, deviceRect(failure.frame, paper.topLeft(), dpi));
        if (m_match.valid() && m_match.page == i) {
            const QRectF found = deviceRect(m_match.frame, paper.topLeft(), dpi).adjusted(-2, -2, 2, 2);
            painter.save();
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setBrush(kMatchFill);
            painter.setPen(QPen(kMatchFrame, 2));
            painter.drawRoundedRect(found, 2, 2);
            painter.restore();
        }
    }
}

bool PreviewPageView::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QAbstractScrollArea::viewportEvent(event);
    // Over an object that could not be painted: what went wrong.
    const auto* help = static_cast<QHelpEvent*>(event);
    const QPoint content = help->pos() + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    if (PageCount() > 0) {
        const int page = PageAtY(content.y());
        if (const auto* failures = Failures(page)) {
            const QPoint origin = PageRect(page).topLeft();
            for (const tmpl::PaintFailure& failure : *failures) {
                if (deviceRect(failure.frame, origin, ScreenDpi() * m_zoom).contains(content)) {
                    QToolTip::showText(help->globalPos(), FailureText(failure), viewport());
                    return true;
                }
            }
        }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}

QString PreviewPageView::FailureText(const tmpl::PaintFailure& failure) {
    QString name = failure.name.isEmpty() ? failure.className : failure.name;
    if (name.isEmpty())   // an object the page stream could not give
        name = QStringLiteral("第 %1 个对象").arg(failure.object + 1);
    return QStringLiteral("%1 无法显示：%2").arg(name, failure.message);
}

void PreviewPageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (PageCount() == 0)
        return;
    if (m_mode != ZoomMode::Free) {
        const double fit = FitZoom(m_mode);
        if (std::abs(fit - m_zoom) > 1e-9) {
            ApplyZoom(fit, QPoint(0, 0));
            if (m_mode == ZoomMode::WholePage)
                ScrollTo(horizontalScrollBar()->value(), m_tops[static_cast<size_t>(m_current)] - kGap);
            return;
        }
    }
    UpdateScrollBars();
}

void PreviewPageView::scrollContentsBy(int, int) {
    viewport()->update();
    if (m_scrolling || PageCount() == 0)
        return;
    // The operator scrolled: the current page is the one at the top of the view.
    SetCurrent(PageAtY(verticalScrollBar()->value() + kGap / 2));
}

void PreviewPageView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        const double notches = event->angleDelta().y() / 120.0;
        if (notches != 0) {
            m_mode = ZoomMode::Free;
            ApplyZoom(std::clamp(m_zoom * std::pow(1.15, notches), kMinZoom, kMaxZoom),
                      event->position().toPoint());
        }
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void PreviewPageView::keyPressEvent(QKeyEvent* event) {
    const bool control = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_PageDown: NextPage(); break;
    case Qt::Key_PageUp: PreviousPage(); break;
    case Qt::Key_Home: FirstPage(); break;
    case Qt::Key_End: LastPage(); break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        if (!control)
            return QAbstractScrollArea::keyPressEvent(event);
        ZoomIn();
        break;
    case Qt::Key_Minus:
        if (!control)
            return QAbstractScrollArea::keyPressEvent(event);
        ZoomOut();
        break;
    case Qt::Key_0:
        if (!control)
            return QAbstractScrollArea::keyPressEvent(event);
        SetZoom(1.0);
        break;
    default: return QAbstractScrollArea::keyPressEvent(event);
    }
    event->accept();
}

void PreviewPageView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    // Dragging the paper moves it, as a hand would.
    m_dragging = true;
    m_dragStart = event->position().toPoint();
    m_dragScroll = QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    viewport()->setCursor(Qt::ClosedHandCursor);
}

void PreviewPageView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging)
        return QAbstractScrollArea::mouseMoveEvent(event);
    const QPoint moved = event->position().toPoint() - m_dragStart;
    horizontalScrollBar()->setValue(m_dragScroll.x() - moved.x());
    verticalScrollBar()->setValue(m_dragScroll.y() - moved.y());
}

void PreviewPageView::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_dragging)
        return QAbstractScrollArea::mouseReleaseEvent(event);
    m_dragging = false;
    viewport()->setCursor(Qt::OpenHandCursor);
}

} // namespace mirel::engine
