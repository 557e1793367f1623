#pragma once
// TfrBarCodeForm: the modal editor of a barcode object in the designer (caption
// "条码编辑器"): the code text or expression, the symbology, the check digit and
// human-readable options, the zoom and the rotation. OK test-encodes a literal
// text and refuses to close on an encoding error ("条码错误").

#include "barcode/ui/SymbolEditorForm.h"

class QComboBox;

namespace mirel::barcode {

class TfrBarCodeView;

class TfrBarCodeForm : public SymbolEditorForm {
    Q_OBJECT
public:
    // `context` gives the expression builder to M1's button; without one the
    // button is disabled.
    explicit TfrBarCodeForm(tmpl::DesignerContext* context = nullptr, QWidget* parent = nullptr);

    // Loads the dialog from a barcode object and stores it back.
    void Load(const TfrBarCodeView& view);
    void Store(TfrBarCodeView& view) const;

    QLabel* Label2;
    QComboBox* cbType;            // the 23 symbologies; the index is the stored type number

protected:
    // Draws the symbol once on a 16 x 16 image with the chosen type and check
    // digit, only to find out whether it encodes.
    bool Encodes(const AnsiString& text) override;
};

// The barcode object's OpenEditor: loads the dialog from the object, runs it
// modally through the dialog interface and, on OK, sets an undo point and stores
// the dialog into the object. True when the object was changed.
bool editBarcodeView(TfrBarCodeView& view, tmpl::DesignerContext& context);

} // namespace mirel::barcode
