#include "app/CodeGridModel.h"

#include "core/Encoding.h"

#include <algorithm>
#include <climits>
#include <exception>

namespace mirel::app {
namespace {

// A window is a few screens of rows; a handful of them cover scrolling back and
// forth around one place without rereading.
constexpr std::int64_t kWindowRows = 256;
constexpr size_t kWindowsKept = 8;

} // namespace

CodeGridModel::CodeGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void CodeGridModel::setStore(const codes::CodeStore* store) {
    beginResetModel();
    m_store = store;
    m_windows.clear();
    m_rows = 0;
    if (m_store && !m_suspended && m_store->isOpen())
        m_rows = static_cast<int>(std::min<std::int64_t>(m_store->count(), INT_MAX));
    endResetModel();
}

void CodeGridModel::suspend() {
    if (m_suspended)
        return;
    beginResetModel();
    m_suspended = true;
    m_windows.clear();
    m_rows = 0;
    endResetModel();
}

void CodeGridModel::resume() {
    m_suspended = false;
    setStore(m_store);
}

int CodeGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows; }

int CodeGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(std::size(codes::kCodeFieldNames));
}

const codes::CodeRecord* CodeGridModel::record(std::int64_t row) const {
    for (auto it = m_windows.begin(); it != m_windows.end(); ++it) {
        if (row >= it->first && row < it->first + static_cast<std::int64_t>(it->records.size())) {
            m_windows.splice(m_windows.begin(), m_windows, it);
            return &m_windows.front().records[static_cast<size_t>(row - m_windows.front().first)];
        }
    }
    if (!m_store || m_suspended || !m_store->isOpen())
        return nullptr;
    Window window;
    window.first = row - row % kWindowRows;
    try {
        window.records = m_store->records(window.first, kWindowRows);
    } catch (const std::exception&) {
        // The store went away under the grid (closed for a backup, a failed
        // reopen): the cells stay empty until the grid follows the store again.
        return nullptr;
    }
    m_recordsRead += static_cast<std::int64_t>(window.records.size());
    if (row - window.first >= static_cast<std::int64_t>(window.records.size()))
        return nullptr;
    m_windows.push_front(std::move(window));
    if (m_windows.size() > kWindowsKept)
        m_windows.pop_back();
    return &m_windows.front().records[static_cast<size_t>(row - m_windows.front().first)];
}

QVariant CodeGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    const codes::CodeRecord* r = record(index.row());
    if (!r)
        return {};
    if (index.column() == 0)
        return QString::number(r->id);
    return core::toUnicode(codes::codeFieldText(*r, index.column()));
}

QVariant CodeGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return QString();
    if (section < 0 || section >= columnCount())
        return {};
    return QString::fromLatin1(codes::kCodeFieldNames[section].data(),
                               static_cast<qsizetype>(codes::kCodeFieldNames[section].size()));
}

Qt::ItemFlags CodeGridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace mirel::app
