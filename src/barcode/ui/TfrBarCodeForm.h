#pragma once
// TfrBarCodeForm: the modal editor of a barcode object in the designer (caption
// "条码编辑器"): the code text or expression, the symbology, the check digit and
// human-readable options, the zoom and the rotation. OK test-encodes a literal
// text and refuses to close on an encoding error ("条码错误").

#include "core/Encoding.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace mirel::tmpl {
class DesignerContext;
}

namespace mirel::barcode {

class TfrBarCodeView;

class TfrBarCodeForm : public QDialog {
    Q_OBJECT
public:
    // `context` gives the expression builder to M1's button; without one the
    // button is disabled.
    explicit TfrBarCodeForm(tmpl::DesignerContext* context = nullptr, QWidget* parent = nullptr);

    // Loads the dialog from a barcode object and stores it back.
    void Load(const TfrBarCodeView& view);
    void Store(TfrBarCodeView& view) const;

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
    QLabel* Label2;
    QComboBox* cbType;
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
    // The zoom field's number, or an error box and nothing.
    std::optional<double> zoomOrComplain();

    tmpl::DesignerContext* m_context;
};

// The barcode object's OpenEditor: loads the dialog from the object, runs it
// modally through the dialog interface and, on OK, sets an undo point and stores
// the dialog into the object. True when the object was changed.
bool editBarcodeView(TfrBarCodeView& view, tmpl::DesignerContext& context);

} // namespace mirel::barcode
