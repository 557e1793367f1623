#pragma once
// A read-only view of many lines: paints only the lines in sight, so a file of
// ten million serials opens and scrolls at once.

#include "texttools/LineStore.h"

#include <QAbstractScrollArea>
#include <cstdint>
#include <memory>

namespace mirel::texttools {

class LineListView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit LineListView(QWidget* parent = nullptr);

    // Shows `count` lines of `store` from its line `first` (0-based); lines past
    // the end of the store show empty, as a piece past the end of its source.
    void setLines(std::shared_ptr<const LineStore> store, std::int64_t first, std::int64_t count);
    void setLines(std::shared_ptr<const LineStore> store);
    void clear();

    std::int64_t lineCount() const { return m_count; }
    std::string_view lineBytes(std::int64_t i) const;   // code page bytes
    QString lineText(std::int64_t i) const;
    std::int64_t firstVisibleLine() const;
    // Selected lines, first and last (0-based), or -1, -1.
    std::pair<std::int64_t, std::int64_t> selection() const;
    void selectAll();
    void copySelection() const;   // the selected lines to the clipboard, one per line

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int lineHeight() const;
    int visibleLines() const;
    std::int64_t lineAt(int y) const;
    void updateScrollBars();

    std::shared_ptr<const LineStore> m_store;
    std::int64_t m_first = 0;
    std::int64_t m_count = 0;
    std::int64_t m_anchor = -1;
    std::int64_t m_cursor = -1;
    int m_widest = 0;
};

} // namespace mirel::texttools
