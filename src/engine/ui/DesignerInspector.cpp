#include "engine/ui/DesignerInspector.h"

#include "engine/ui/DesignerProperties.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPixmap>

namespace mirel::engine::ui {

namespace {

namespace property = tmpl::property;

bool opensDialog(const tmpl::PropertyEntry& e) {
    return e.kind == property::kColor || e.kind == property::kLines || e.kind == property::kEditor ||
           e.kind == property::kDataField;
}

QIcon swatch(const QString& text) {
    const auto color = parseColor(text);
    QPixmap pixmap(12, 12);
    if (!color || *color == tmpl::kNoColor) {
        pixmap.fill(Qt::transparent);
    } else {
        pixmap.fill(tmpl::toQColor(*color));
    }
    return QIcon(pixmap);
}

} // namespace

DesignerInspector::DesignerInspector(QWidget* parent) : QTableWidget(0, 2, parent) {
    setObjectName(QStringLiteral("Inspector"));
    setHorizontalHeaderLabels({QStringLiteral("属性"), QStringLiteral("值")});
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setAlternatingRowColors(true);
    setColumnWidth(0, 110);
    connect(this, &QTableWidget::itemChanged, this, &DesignerInspector::ItemChanged);
    connect(this, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { ActivateRow(row); });
}

void DesignerInspector::ShowObjects(std::vector<tmpl::TfrView*> views) {
    m_views = std::move(views);
    m_entries.clear();
    if (!m_views.empty())
        m_entries = inspectorEntries(*m_views.front());
    Fill();
}

void DesignerInspector::Refresh() {
    if (!m_views.empty())
        m_entries = inspectorEntries(*m_views.front());
    Fill();
}

int DesignerInspector::RowOf(std::string_view name) const {
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (name == m_entries[i].name)
            return static_cast<int>(i);
    return -1;
}

const tmpl::PropertyEntry* DesignerInspector::EntryAt(int row) const {
    return row >= 0 && row < static_cast<int>(m_entries.size()) ? &m_entries[static_cast<size_t>(row)] : nullptr;
}

void DesignerInspector::Fill() {
    m_filling = true;
    const int current = currentRow();
    setRowCount(static_cast<int>(m_entries.size()));
    const bool locked = !m_views.empty() && (m_views.front()->Restrictions & 8);   // "don't modify"
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const tmpl::PropertyEntry& e = m_entries[i];
        const int row = static_cast<int>(i);
        auto* name = new QTableWidgetItem(QString::fromLatin1(e.name));
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        setItem(row, 0, name);
        const QString text = propertyText(*m_views.front(), e.name);
        auto* value = new QTableWidgetItem;
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        const bool editable = !locked || std::string_view(e.name) == "Restrictions";
        if (e.kind == property::kBoolean) {
            value->setCheckState(text == QStringLiteral("是") ? Qt::Checked : Qt::Unchecked);
            value->setText(text);
            if (editable)
                flags |= Qt::ItemIsUserCheckable;
        } else if (e.kind == property::kLines) {
            // Memo lines in one row: the lines joined by a pilcrow.
            QString shown = text;
            shown.replace(QLatin1Char('\n'), QStringLiteral(" ¶ "));
            value->setText(shown);
            value->setToolTip(text);
        } else {
            value->setText(text);
            if (e.kind == property::kColor)
                value->setIcon(swatch(text));
            if (editable && !isReadOnlyEntry(e))
                flags |= Qt::ItemIsEditable;
        }
        if (!editable)
            value->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
        value->setFlags(flags);
        setItem(row, 1, value);
    }
    if (current >= 0 && current < rowCount())
        setCurrentCell(current, 1);
    m_filling = false;
}

void DesignerInspector::ItemChanged(QTableWidgetItem* item) {
    if (m_filling || item->column() != 1)
        return;
    const tmpl::PropertyEntry* e = EntryAt(item->row());
    if (!e)
        return;
    if (e->kind == property::kBoolean) {
        const bool on = item->checkState() == Qt::Checked;
        if ((propertyText(*m_views.front(), e->name) == QStringLiteral("是")) == on)
            return;
        emit ValueEdited(e->name, on ? QStringLiteral("1") : QStringLiteral("0"));
    } else {
        if (item->text() == propertyText(*m_views.front(), e->name))
            return;
        emit ValueEdited(e->name, item->text());
    }
}

void DesignerInspector::ActivateRow(int row) {
    const tmpl::PropertyEntry* e = EntryAt(row);
    if (!e || m_views.empty())
        return;
    const bool locked = (m_views.front()->Restrictions & 8) && std::string_view(e->name) != "Restrictions";
    if (locked)
        return;
    if (opensDialog(*e)) {
        emit DialogRequested(e->name, e->kind);
        return;
    }
    if (QTableWidgetItem* value = item(row, 1); value && (value->flags() & Qt::ItemIsEditable))
        editItem(value);
}

void DesignerInspector::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && state() != EditingState) {
        const tmpl::PropertyEntry* e = EntryAt(currentRow());
        if (e && opensDialog(*e)) {
            ActivateRow(currentRow());
            return;
        }
    }
    QTableWidget::keyPressEvent(event);
}

} // namespace mirel::engine::ui
