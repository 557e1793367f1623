#pragma once
// What the barcode and the PDF417 editor share: the code field with its
// expression button, the options group (check digit, human-readable text, the
// zoom with its up and down buttons), the rotation group and OK / Cancel, laid
// out in the pixels of a 12-pixel 宋体 as both dialogs are drawn. OK tests a
// literal code with the symbology (an expression is evaluated per label and not
// tested) and the zoom before the dialog closes, so nothing is stored from an
// entry that cannot be drawn.

#include "core/Encoding.h"
#include "core/ui/Dialogs.h"
#include "template/TfrView.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;


namespace mirel::barcode {

class SymbolEditorForm : public QDialog {
    Q_OBJECT
public:
    // The zoom field as a number; nothing when it holds no number, or one not
    // above 0 or beyond kMaxZoom.
    std::optional<double> ZoomValue() const;
    static constexpr double kMaxZoom = 1000.0;

    void FormActivate();          // the focus goes to M1
    void ExprBtnClick();          // the expression builder; a non-empty answer replaces M1
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
    // The options group at `optionsTop`, the rotation group and the buttons
    // below it; the client area is 269 x `height`. Without a designer context
    // M1's button is disabled.
    SymbolEditorForm(tmpl::DesignerContext* context, QWidget* parent, int optionsTop, int height);

    // Whether the symbology takes a literal text; false after telling why.
    virtual bool Encodes(const AnsiString& text) = 0;

    // The fields both objects have.
    void LoadCommon(const tmpl::Lines& memo, bool checkSum, bool showText, double zoom, double rotation);
    void StoreCommon(tmpl::Lines& memo, bool& checkSum, bool& showText, double& zoom, double& rotation) const;

    void showEvent(QShowEvent* event) override;

private:
    std::optional<double> zoomOrComplain();

    tmpl::DesignerContext* m_context;
};

// An object's OpenEditor through its editor form: loads the form from the
// object, runs it modally through the dialog interface and, on OK, sets the
// designer's undo point and stores the form into the object. True when the
// object was changed; on Cancel nothing changes.
template <class Form, class View>
bool runSymbolEditor(View& view, tmpl::DesignerContext& context) {
    Form form(&context, context.Window());
    form.Load(view);
    if (ui::dialogs().exec(form) != QDialog::Accepted)
        return false;
    context.AddUndoPoint();
    form.Store(view);
    return true;
}

} // namespace mirel::barcode
