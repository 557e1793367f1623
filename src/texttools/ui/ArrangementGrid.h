#pragma once
// The arrangement grid of the tool window: one row per page, one column per
// label position, a fixed first row and column of headers.
//
// The model speaks in grid cells as the window's commands do: cell (col, row),
// with column 0 and row 0 the fixed headers. Cells are worked out when shown,
// from the serial list the last import filled them from, so pages by the million
// cost nothing until they are scrolled into sight.

#include "texttools/LineStore.h"

#include <QAbstractTableModel>
#include <QTableView>
#include <memory>

namespace mirel::texttools {

class ArrangementGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ArrangementGridModel(QObject* parent = nullptr);

    // Grid size counting the fixed row and column (4 x 6 before the first lay out).
    int gridColumns() const { return m_columns; }
    int gridRows() const { return m_rows; }
    QString cell(int col, int row) const;

    // Lay out: L + 1 columns, P + 1 rows, headers "ID", "标签1".., "1"..; cells
    // an earlier fill put inside the new size keep their serials.
    void layOut(int pages, int labels);
    // Fill: the same size, every cell from `serials` by columns.
    void fill(std::shared_ptr<const LineStore> serials, int pages, int labels);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    int m_columns = 4;
    int m_rows = 6;
    bool m_headed = false;
    std::shared_ptr<const LineStore> m_serials;
    int m_stride = 0;         // pages of the fill: the serial step from one label position to the next
    int m_filledColumns = 0;  // label positions 1.. and pages 1.. still holding filled serials
    int m_filledRows = 0;
};

// The grid view: rows 20 pixels high, resizable columns, range selection, no
// editing, and the "ID" of cell (0, 0) in the corner.
class ArrangementGrid : public QTableView {
    Q_OBJECT
public:
    explicit ArrangementGrid(QWidget* parent = nullptr);
    ArrangementGridModel* gridModel() const { return m_model; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ArrangementGridModel* m_model;
};

} // namespace mirel::texttools
