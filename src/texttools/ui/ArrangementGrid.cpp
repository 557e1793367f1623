#include "texttools/ui/ArrangementGrid.h"

#include "core/Encoding.h"
#include "texttools/Arrange.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QStyleOptionHeader>
#include <algorithm>

namespace mirel::texttools {

ArrangementGridModel::ArrangementGridModel(QObject* parent) : QAbstractTableModel(parent) {}

QString ArrangementGridModel::cell(int col, int row) const {
    if (col < 0 || row < 0 || col >= m_columns || row >= m_rows)
        return {};
    if (col == 0 || row == 0) {
        if (!m_headed)
            return {};
        if (col == 0 && row == 0)
            return QStringLiteral("ID");
        if (row == 0)
            return QStringLiteral("标签") + QString::number(col);
        return QString::number(row);
    }
    if (!m_serials || col > m_filledColumns || row > m_filledRows)
        return {};
    return core::toUnicode(arrangedSerial(*m_serials, m_stride, col, row));
}

void ArrangementGridModel::layOut(int pages, int labels) {
    beginResetModel();
    m_columns = labels + 1;
    m_rows = pages + 1;
    m_headed = true;
    m_filledColumns = std::min(m_filledColumns, labels);
    m_filledRows = std::min(m_filledRows, pages);
    endResetModel();
}

void ArrangementGridModel::fill(std::shared_ptr<const LineStore> serials, int pages, int labels) {
    beginResetModel();
    m_columns = labels + 1;
    m_rows = pages + 1;
    m_serials = std::move(serials);
    m_stride = pages;
    m_filledColumns = labels;
    m_filledRows = pages;
    endResetModel();
}

int ArrangementGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows - 1; }

int ArrangementGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columns - 1;
}

QVariant ArrangementGridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return cell(index.column() + 1, index.row() + 1);
}

QVariant ArrangementGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return orientation == Qt::Horizontal ? cell(section + 1, 0) : cell(0, section + 1);
}

Qt::ItemFlags ArrangementGridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

ArrangementGrid::ArrangementGrid(QWidget* parent) : QTableView(parent), m_model(new ArrangementGridModel(this)) {
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setShowGrid(true);
    setWordWrap(false);
    verticalHeader()->setMinimumSectionSize(20);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultSectionSize(120);
    // The corner button stands where cell (0, 0) is; it shows that cell's text.
    if (auto* corner = findChild<QAbstractButton*>())
        corner->installEventFilter(this);
}

bool ArrangementGrid::eventFilter(QObject* watched, QEvent* event) {
    auto* corner = qobject_cast<QAbstractButton*>(watched);
    if (corner && event->type() == QEvent::Paint) {
        QPainter painter(corner);
        QStyleOptionHeader option;
        option.initFrom(corner);
        option.state |= QStyle::State_Raised;
        option.rect = corner->rect();
        option.position = QStyleOptionHeader::OnlyOneSection;
        option.text = m_model->cell(0, 0);
        option.textAlignment = Qt::AlignCenter;
        corner->style()->drawControl(QStyle::CE_Header, &option, &painter, corner);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

} // namespace mirel::texttools
