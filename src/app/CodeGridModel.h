#pragma once
// The rows of the code grid on page "ys": a read-only table model over the code
// store that reads only the windows of records the grid shows, so a store of a
// million codes opens and scrolls at once.

#include "codes/CodeStore.h"

#include <QAbstractTableModel>
#include <cstdint>
#include <list>
#include <vector>

namespace mirel::app {

class CodeGridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CodeGridModel(QObject* parent = nullptr);

    // The store shown (not owned; nullptr shows nothing).
    void setStore(const codes::CodeStore* store);

    // Stops the grid from following the store while a command changes it (the
    // grid shows no rows meanwhile and reads nothing), and lets it follow again,
    // showing the store as it is then.
    void suspend();
    void resume();
    bool following() const { return !m_suspended; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Records read from the store so far (for the benchmark of scrolling).
    std::int64_t recordsRead() const { return m_recordsRead; }

private:
    struct Window {
        std::int64_t first = 0;
        std::vector<codes::CodeRecord> records;
    };
    const codes::CodeRecord* record(std::int64_t row) const;

    const codes::CodeStore* m_store = nullptr;
    bool m_suspended = false;
    int m_rows = 0;
    // The last few windows read, most recent first.
    mutable std::list<Window> m_windows;
    mutable std::int64_t m_recordsRead = 0;
};

} // namespace mirel::app
