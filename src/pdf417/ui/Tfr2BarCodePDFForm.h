#pragma once
// Tfr2BarCodePDFForm: the modal editor of a PDF417 object in the designer
// (caption "条码编辑器"): the text or expression, the checksum and
// human-readable options, the zoom and the rotation. Like the linear barcode's
// editor, OK test-encodes a literal text and refuses to close when the
// generator cannot make a symbol of it ("条码错误").

#include "barcode/ui/SymbolEditorForm.h"

namespace mirel::pdf417 {

class Tfr2BarCodePDFView;

class Tfr2BarCodePDFForm : public barcode::SymbolEditorForm {
    Q_OBJECT
public:
    // `context` gives the expression builder to M1's button; without one the
    // button is disabled.
    explicit Tfr2BarCodePDFForm(tmpl::DesignerContext* context = nullptr, QWidget* parent = nullptr);

    void Load(const Tfr2BarCodePDFView& view);
    void Store(Tfr2BarCodePDFView& view) const;

protected:
    // Gives the text to a generator of its own, only to find out whether it
    // makes a symbol.
    bool Encodes(const AnsiString& text) override;
};

// The PDF417 object's OpenEditor: loads the dialog from the object, runs it
// modally through the dialog interface and, on OK, sets an undo point and stores
// the dialog into the object. True when the object was changed.
bool editPdf417View(Tfr2BarCodePDFView& view, tmpl::DesignerContext& context);

} // namespace mirel::pdf417
