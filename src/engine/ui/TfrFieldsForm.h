#pragma once
// TfrFieldsForm: the designer's data-field chooser. The operator picks one of
// the datasets (the adapters frDBDataSet1 and frDBDataSet2) and one of its
// fields; the result is the bracketed reference [frDBDataSet1."NO"], which a
// memo line or a barcode text evaluates per record.

#include "engine/ui/DesignerDialogs.h"

#include <QDialog>

class QComboBox;
class QListWidget;
class QPushButton;

namespace mirel::engine::ui {

class TfrFieldsForm : public QDialog {
    Q_OBJECT
public:
    TfrFieldsForm(const std::vector<DataFieldSource>& datasets, QWidget* parent = nullptr);

    // Selects the dataset and field a reference names, when they are offered.
    void Select(const AnsiString& reference);
    // The chosen reference, empty when no field is chosen.
    QString Reference() const;

    QComboBox* DatasetBox;
    QListWidget* FieldList;
    QPushButton* OkButton;
    QPushButton* CancelButton;

private:
    void showDataset(int index);

    std::vector<DataFieldSource> m_datasets;
};

} // namespace mirel::engine::ui
