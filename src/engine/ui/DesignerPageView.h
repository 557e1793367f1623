#pragma once
// The designer's page: the paper of one template page at a zoom, with its
// margins, page columns, an optional grid and the bands under their names,
// the objects painted through the one painting path (expressions shown as
// typed, samples where the prepared pages would show values), and the
// selection with its handles. The mouse selects (click, Shift+click, rubber
// band), moves and resizes; the arrow keys move by one page unit and with
// Shift resize. Objects keep their designer restrictions: what may not move,
// size or be deleted is left as it is.
//
// At zoom 1 one page unit (5/18 mm) is one pixel.

#include "template/PagePainter.h"
#include "template/TfrPages.h"

#include <QPointer>
#include <QWidget>
#include <vector>

class QScrollArea;

namespace mirel::engine::ui {

// The designer restriction bits of an object.
namespace restriction {
inline constexpr std::uint16_t kDontEditMemo = 1, kDontEditScript = 2, kDontEditContents = 4, kDontModify = 8,
                               kDontSize = 16, kDontMove = 32, kDontDelete = 64;
}

class DesignerPageView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBorder = 24;          // pixels of grey around the paper
    static constexpr double kMinZoom = 0.25;
    static constexpr double kMaxZoom = 8.0;

    explicit DesignerPageView(QWidget* parent = nullptr);

    // The page shown (not owned; nullptr for none). The selection is cleared.
    void SetPage(tmpl::TfrPage* page);
    tmpl::TfrPage* Page() const { return m_page; }
    // Call after the page's objects were replaced or changed elsewhere: objects
    // no longer on the page leave the selection.
    void PageChanged();

    double Zoom() const { return m_zoom; }
    void SetZoom(double zoom);
    bool GridShown() const { return m_grid; }
    void SetGridShown(bool on);
    bool SnapToGrid() const { return m_snap; }
    void SetSnapToGrid(bool on) { m_snap = on; }
    // The grid step in page units (9: 2.5 mm).
    int GridStep() const { return m_gridStep; }
    void SetGridStep(int units);

    // While on, the next click or drag on the paper asks for a new object there
    // (InsertRequested) instead of selecting.
    void SetInsertMode(bool on);
    bool InsertMode() const { return m_insert; }

    const std::vector<tmpl::TfrView*>& Selection() const { return m_selection; }
    void SetSelection(std::vector<tmpl::TfrView*> views);
    void SelectAll();
    bool IsSelected(const tmpl::TfrView* view) const;

    // Geometry in page units: the paper, the area inside the margins, the width
    // of one page column, and where an object lies (a band across its column).
    QRect PaperUnits() const;
    QRect MarginUnits() const;
    int ColumnWidthUnits() const;
    QRect ObjectUnits(const tmpl::TfrView& view) const;
    // Widget pixels <-> page units.
    QPointF ToUnits(QPointF widget) const;
    QPointF ToWidget(QPointF units) const;
    // The topmost object at a widget point (objects over bands), or nullptr.
    tmpl::TfrView* ObjectAt(QPoint widget) const;

    // What the arrow keys do: move the selection by (dx, dy) page units, or
    // resize it. Objects that may not move (or size) stay. False when nothing
    // changed.
    bool MoveSelection(int dx, int dy);
    bool ResizeSelection(int dw, int dh);

    // Objects the last paint could not draw (an encoder refused a text), with
    // the reason.
    const std::vector<tmpl::PaintFailure>& Failures() const { return m_failures; }

signals:
    void AboutToChange();              // before the mouse or a key changes objects (undo point)
    void Changed();
    void SelectionChanged();
    void InsertRequested(QRect units); // an empty size: a click, the object takes its own size
    void ObjectActivated(mirel::tmpl::TfrView* view);   // double click
    void PointerMoved(QPointF units);
    void ContextMenuRequested(QPoint globalPos);
    void GeometryChanged();            // zoom or paper changed: the rulers follow

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;

private:
    enum class Drag { None, Move, Resize, Rubber, Insert };
    // Handles of a frame: 0 top-left, 1 top, 2 top-right, 3 right, 4 bottom-right,
    // 5 bottom, 6 bottom-left, 7 left; -1 none.
    int HandleAt(QPoint widget) const;
    QRectF WidgetRect(const tmpl::TfrView& view) const;
    void UpdateSize();
    int Snap(double units) const;
    void PaintBands(QPainter& painter);
    void PaintSelection(QPainter& painter);
    void EnsureChangeRecorded();

    tmpl::TfrPage* m_page = nullptr;
    double m_zoom = 1.0;
    bool m_grid = true;
    bool m_snap = true;
    int m_gridStep = 9;
    bool m_insert = false;
    std::vector<tmpl::TfrView*> m_selection;
    std::vector<tmpl::PaintFailure> m_failures;

    Drag m_drag = Drag::None;
    QPoint m_pressPos;
    bool m_changeRecorded = false;
    int m_handle = -1;
    // The geometry of the dragged objects when the drag began.
    struct Start {
        tmpl::TfrView* view;
        QRect rect;
        bool verticalOnly;   // a band, and the objects a moved band carries
    };
    std::vector<Start> m_start;
    QRect m_rubber;   // widget pixels
    tmpl::TfrView* m_pressHit = nullptr;   // the object a plain click pressed on
};

// The page view in a scroll area, with rulers in millimetres along the top
// and the left that follow the paper as it scrolls.
class DesignerRuler;

class DesignerWorkspace : public QWidget {
    Q_OBJECT
public:
    explicit DesignerWorkspace(QWidget* parent = nullptr);
    DesignerPageView* View() const { return m_view; }
    QScrollArea* Scroller() const { return m_scroll; }

private:
    void UpdateRulers();

    DesignerPageView* m_view;
    QScrollArea* m_scroll;
    DesignerRuler* m_top;
    DesignerRuler* m_left;
};

class DesignerRuler : public QWidget {
    Q_OBJECT
public:
    static constexpr int kThickness = 22;
    DesignerRuler(Qt::Orientation orientation, QWidget* parent = nullptr);
    // Where the paper's edge lies in the ruler's pixels, and the zoom.
    void SetScale(double origin, double zoom, double lengthUnits);
    void SetPointer(double units);   // the mouse position, marked on the ruler

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Orientation m_orientation;
    double m_origin = 0;
    double m_zoom = 1;
    double m_length = 0;
    double m_pointer = -1;
};

} // namespace mirel::engine::ui
