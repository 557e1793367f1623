#pragma once
// Tfr2BarCodePDFForm: the modal editor of a PDF417 object in the designer
// (caption "条码编辑器"): the text or expression, the checksum and
// human-readable options, the zoom and the rotation. Like the linear barcode's
// editor, OK test-encodes a literal text and refuses to close when the
// generator cannot make a symbol of it ("条码错误").

#include "core/Encoding.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace mirel::tmpl {
class DesignerContext;
}

namespace mirel::pdf417 {

class Tfr2BarCodePDFView;

class Tfr2BarCodePDFForm : public QDialog {
    Q_OBJECT
public:
    // `context` gives the expression builder to M1's button; without one the
    // button is disabled.
    explicit Tfr2BarCodePDFForm(tmpl::DesignerContext* context = nullptr, QWidget* parent = nullptr);

    void Load(const Tfr2BarCodePDFView& view);
    void Store(Tfr2BarCodePDFView& view) const;

    // The zoom field as a number; nothing when it holds no number, or one not
    // above 0 or beyond kMaxZoom.
    std::optional<double> ZoomValue() const;
    static constexpr double kMaxZoom = 1000.0;

    void FormActivate();
    void ExprBtnClick();
    void frSpeedButton1Click();   // zoom + 1
    void frSpeedButton2Click();   // zoom - 1; a result not above 0 gives 1
    void bOkClick();

    QLabel* Label1;
    QLineEdit* M1;
    QToolButton* M1Button;        // the expression button at the right of M1
    QGroupBox* GroupBox1;
    QCheckBox* ckCheckSum;
    QCheckBox* ckViewText;
    QLabel* Label3;
    QLineEdit* eZoom;
    QToolButton* frSpeedButton1;
    QToolButton* frSpeedButton2;
    QGroupBox* GroupBox2;
    QRadioButton* RB1;
    QRadioButton* RB2;
    QRadioButton* RB3;
    QRadioButton* RB4;
    QPushButton* bOk;
    QPushButton* bCancel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::optional<double> zoomOrComplain();

    tmpl::DesignerContext* m_context;
};

// The PDF417 object's OpenEditor: loads the dialog from the object, runs it
// modally through the dialog interface and, on OK, sets an undo point and stores
// the dialog into the object. True when the object was changed.
bool editPdf417View(Tfr2BarCodePDFView& view, tmpl::DesignerContext& context);

} // namespace mirel::pdf417
