#pragma once
// The page view of the preview: prepared pages one below the other on a grey
// background, each on white paper with a thin frame and a shadow, scrolled
// continuously. Only the pages in sight are painted; the last few painted
// pages are kept as images, so a report of 10,000 labels opens and scrolls
// like one of ten. An object that cannot be painted (a barcode whose text its
// symbology refuses) is crossed out in red, and says why under the mouse.

#include "engine/ui/PreparedTextSearch.h"
#include "template/PagePainter.h"
#include "template/PreparedReport.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <list>
#include <unordered_map>
#include <vector>

namespace mirel::engine {

class PreviewPageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Whole page and page width follow the window's size; a free zoom stays.
    enum class ZoomMode { Free, WholePage, PageWidth };

    static constexpr double kMinZoom = 0.1;
    static constexpr double kMaxZoom = 8.0;
    static constexpr int kGap = 16;   // pixels around and between pages

    explicit PreviewPageView(QWidget* parent = nullptr);

    // Shows these pages (not owned; nullptr for none) from the first page. Call
    // again after the pages changed.
    void SetPages(const tmpl::TfrPreparedPages* pages);
    int PageCount() const { return static_cast<int>(m_sizes.size()); }

    // The page the operator is on, from 0 (-1 without pages): the one
    // navigation went to, or after scrolling the one at the top of the view.
    int CurrentPage() const { return m_current; }
    void GoToPage(int index);
    void FirstPage() { GoToPage(0); }
    void LastPage() { GoToPage(PageCount() - 1); }
    void NextPage() { GoToPage(m_current + 1); }
    void PreviousPage() { GoToPage(m_current - 1); }

    // 1.0 is the paper's real size on the screen.
    double Zoom() const { return m_zoom; }
    ZoomMode Mode() const { return m_mode; }
    void SetZoom(double zoom);             // a free zoom, clamped to kMinZoom..kMaxZoom
    void SetZoomMode(ZoomMode mode);
    void ZoomIn();                         // the next step of the zoom field's list
    void ZoomOut();
    // The zoom steps of the toolbar's list, as fractions.
    static const std::vector<double>& ZoomSteps();

    // Highlights a found object and brings it into sight on its page.
    void ShowMatch(const TextMatch& match);
    void ClearMatch();
    const TextMatch& Match() const { return m_match; }

    // Where a page lies in the scrolled content, pixels (for tests and for
    // keeping a place while zooming).
    QRect PageRect(int index) const;
    // Pages whose paper was painted since the pages were set (cache misses).
    int PaintedPages() const { return m_paintedPages; }

    // The objects of a page that could not be painted, once the page has been
    // painted (nullptr when all came out).
    const std::vector<tmpl::PaintFailure>* Failures(int index) const;
    static QString FailureText(const tmpl::PaintFailure& failure);

signals:
    void CurrentPageChanged(int index);
    void ZoomChanged(double zoom);
    // A page painted for the first time had objects that could not be painted.
    void FailuresFound(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;

private:
    struct CachedPage {
        int page;
        QSize size;
        double zoom;
        QImage image;
    };

    double ScreenDpi() const;
    QSize PaperPixels(int index, double zoom) const;
    double FitZoom(ZoomMode mode) const;
    // Lays the pages out at the zoom, keeping the content point under the
    // viewport point `anchor` in place.
    void ApplyZoom(double zoom, QPoint anchor);
    QPoint ZoomAnchor() const;
    void Relayout();
    void UpdateScrollBars();
    int ContentWidth() const;
    int PageLeft(int index) const;
    int PageAtY(int y) const;
    void ScrollTo(int x, int y);
    void SetCurrent(int index);
    const QImage* PageImage(int index, QSize size);
    void PaintPage(QPainter& painter, int index, QPoint origin, double dpi);
    void PaintPageDirect(QPainter& painter, int index, const QRect& target);

    const tmpl::TfrPreparedPages* m_pages = nullptr;
    std::vector<QSize> m_sizes;   // paper sizes at the current zoom
    std::vector<int> m_tops;      // top of each page in the content
    int m_contentHeight = 0;
    int m_maxWidth = 0;
    double m_zoom = 1.0;
    ZoomMode m_mode = ZoomMode::WholePage;
    int m_current = -1;
    bool m_scrolling = false;     // the view scrolls itself: keep the current page
    TextMatch m_match;
    std::list<CachedPage> m_cache;   // most recently used first
    int m_paintedPages = 0;
    std::unordered_map<int, std::vector<tmpl::PaintFailure>> m_failures;
    QPoint m_dragStart;
    QPoint m_dragScroll;
    bool m_dragging = false;
};

} // namespace mirel::engine
