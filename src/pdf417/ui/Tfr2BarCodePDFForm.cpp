#include "pdf417/ui/Tfr2BarCodePDFForm.h"

#include "core/ui/Dialogs.h"
#include "pdf417/TStPDF417Barcode.h"
#include "pdf417/Tfr2BarCodePDFView.h"
#include "template/TfrView.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace mirel::pdf417 {

Tfr2BarCodePDFForm::Tfr2BarCodePDFForm(tmpl::DesignerContext* context, QWidget* parent)
    : SymbolEditorForm(context, parent, 52, 207) {
    setObjectName(QStringLiteral("fr2BarCodePDFForm"));
    setTabOrder(M1, bOk);
    setTabOrder(bOk, bCancel);
    setTabOrder(bCancel, ckCheckSum);
    setTabOrder(ckCheckSum, ckViewText);
    setTabOrder(ckViewText, eZoom);
    setTabOrder(eZoom, RB1);
}

bool Tfr2BarCodePDFForm::Encodes(const AnsiString& text) {
    try {
        TStPDF417Barcode generator;
        generator.SetCode(text);
    } catch (const std::exception&) {
        ui::dialogs().message(nullptr, QStringLiteral("条码错误"), QStringLiteral("错误"), ui::MessageIcon::Error);
        return false;
    }
    return true;
}

void Tfr2BarCodePDFForm::Load(const Tfr2BarCodePDFView& view) {
    LoadCommon(view.Memo, view.CalcCheckSum, view.ShowText, view.Zoom, view.Rotation);
}

void Tfr2BarCodePDFForm::Store(Tfr2BarCodePDFView& view) const {
    StoreCommon(view.Memo, view.CalcCheckSum, view.ShowText, view.Zoom, view.Rotation);
}

bool editPdf417View(Tfr2BarCodePDFView& view, tmpl::DesignerContext& context) {
    return barcode::runSymbolEditor<Tfr2BarCodePDFForm>(view, context);
}

} // namespace mirel::pdf417
