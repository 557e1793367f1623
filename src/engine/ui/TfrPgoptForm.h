#pragma once
// TfrPgoptForm: the designer's page setup. Paper from the paper table or a
// custom size in millimetres, orientation, the four margins and the page
// columns with their gap (millimetres on screen, page units in the template).
// The paper goes through the printer layer on OK, so the page holds what the
// current printer provides.

#include "engine/ui/DesignerDialogs.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QRadioButton;
class QSpinBox;
class QPushButton;

namespace mirel::engine::ui {

class TfrPgoptForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrPgoptForm(QWidget* parent = nullptr);

    void Load(const tmpl::TfrPage& page);
    void Store(tmpl::TfrPage& page) const;

    QComboBox* PaperBox;           // the paper table in its order; the last entry is the custom size
    QDoubleSpinBox* WidthEdit;     // mm, as the page lies
    QDoubleSpinBox* HeightEdit;
    QRadioButton* PortraitButton;
    QRadioButton* LandscapeButton;
    QDoubleSpinBox* LeftMarginEdit;   // mm
    QDoubleSpinBox* TopMarginEdit;
    QDoubleSpinBox* RightMarginEdit;
    QDoubleSpinBox* BottomMarginEdit;
    QSpinBox* ColumnsEdit;
    QDoubleSpinBox* ColumnGapEdit;    // mm
    QPushButton* OkButton;
    QPushButton* CancelButton;

private:
    void paperChanged();
    void orientationChanged();
    bool marginsFit();
};

} // namespace mirel::engine::ui
