#pragma once
// TfrMemoForm: the designer's editor of a text object: its lines (with the
// expression builder at hand, inserting at the cursor), font and font colour,
// horizontal and vertical alignment, rotation, word wrap, and the display
// format its bracketed values are shown in.

#include "engine/ui/DesignerDialogs.h"

#include <QDialog>
#include <QFont>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace mirel::engine::ui {

class TfrMemoForm : public QDialog {
    Q_OBJECT
public:
    TfrMemoForm(const ExpressionSources& sources, QWidget* parent = nullptr);

    void Load(const tmpl::TfrMemoView& memo);
    void Store(tmpl::TfrMemoView& memo) const;

    void ExprButtonClick();    // the expression builder; its text goes in at the cursor
    void FontButtonClick();    // the font dialog
    void ColorButtonClick();   // the colour dialog for the font colour

    QPlainTextEdit* MemoEdit;
    QPushButton* ExprButton;
    QLabel* FontLabel;
    QPushButton* FontButton;
    QPushButton* ColorButton;
    QComboBox* HAlignBox;
    QComboBox* VAlignBox;
    QCheckBox* RotatedBox;
    QCheckBox* WordWrapBox;
    QComboBox* FormatCategoryBox;
    QComboBox* FormatBox;
    QSpinBox* DecimalsBox;
    QLineEdit* SeparatorEdit;
    QLineEdit* FormatTextEdit;
    QPushButton* OkButton;
    QPushButton* CancelButton;

private:
    void fillFormats(int category);
    void updateFontLabel();
    void updateFormatControls();

    const ExpressionSources& m_sources;
    QFont m_font;
    std::uint32_t m_fontColor = 0;
    std::int32_t m_loadedFormat = 0;
};

} // namespace mirel::engine::ui
