#pragma once
// The designer's object inspector: one row per entry the selected object
// lists (ListProperties), its value beside it. Numbers, texts and colours are
// typed in place; booleans are ticked; colours, fonts, memo lines, "Barcode"
// and "DataField" open their dialog on a double click (or Enter). Several
// selected objects show the entries of the first one, and a typed value goes
// to every selected object that lists the entry.

#include "template/TfrView.h"

#include <QTableWidget>
#include <vector>

namespace mirel::engine::ui {

class DesignerInspector : public QTableWidget {
    Q_OBJECT
public:
    explicit DesignerInspector(QWidget* parent = nullptr);

    // The objects shown (not owned); empty for none.
    void ShowObjects(std::vector<tmpl::TfrView*> views);
    const std::vector<tmpl::TfrView*>& Objects() const { return m_views; }
    // Reads the values again (after a change elsewhere).
    void Refresh();

    // The row of an entry, -1 when the object does not list it.
    int RowOf(std::string_view name) const;
    const tmpl::PropertyEntry* EntryAt(int row) const;
    // What a double click on a row does: its dialog, or editing in place.
    void ActivateRow(int row);

signals:
    // A value typed in place or ticked (booleans give "1" or "0").
    void ValueEdited(const char* name, const QString& text);
    // An entry whose value comes from a dialog: a colour, the font, the memo
    // lines, the object's editor ("Barcode") or the data-field chooser.
    void DialogRequested(const char* name, int kind);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Fill();
    void ItemChanged(QTableWidgetItem* item);

    std::vector<tmpl::TfrView*> m_views;
    std::vector<tmpl::PropertyEntry> m_entries;
    bool m_filling = false;
};

} // namespace mirel::engine::ui
