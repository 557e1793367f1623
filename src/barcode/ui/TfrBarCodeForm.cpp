#include "barcode/ui/TfrBarCodeForm.h"

#include "barcode/TfrBarCodeView.h"
#include "barcode/TfrBarcode.h"
#include "core/ui/Dialogs.h"
#include "template/TfrView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

namespace mirel::barcode {

TfrBarCodeForm::TfrBarCodeForm(tmpl::DesignerContext* context, QWidget* parent)
    : SymbolEditorForm(context, parent, 100, 249) {
    setObjectName(QStringLiteral("frBarCodeForm"));
    Label2 = new QLabel(QStringLiteral("条码类型(&T)"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(8, 52, 120, 14);
    cbType = new QComboBox(this);
    cbType->setObjectName(QStringLiteral("cbType"));
    cbType->setGeometry(8, 68, 253, 22);
    for (const BarcodeTypeInfo& type : kBarcodeTypes)
        cbType->addItem(QString::fromLatin1(type.name.data(), static_cast<qsizetype>(type.name.size())));
    cbType->setCurrentIndex(0);
    cbType->setMaxVisibleItems(12);
    Label2->setBuddy(cbType);

    setTabOrder(M1, cbType);
    setTabOrder(cbType, ckCheckSum);
    setTabOrder(ckCheckSum, ckViewText);
    setTabOrder(ckViewText, eZoom);
    setTabOrder(eZoom, RB1);
    setTabOrder(RB1, bOk);
    setTabOrder(bOk, bCancel);
}

bool TfrBarCodeForm::Encodes(const AnsiString& text) {
    TfrBarcode generator;
    generator.SetText(text);
    generator.SetChecksum(ckCheckSum->isChecked());
    // No type chosen (a damaged type number kept): the build refuses it.
    generator.SetTyp(static_cast<TfrBarcodeType>(cbType->currentIndex() < 0 ? 0xFF : cbType->currentIndex()));
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::white);
    try {
        QPainter painter(&image);
        generator.DrawSymbol(painter);
    } catch (const std::exception&) {
        ui::dialogs().message(nullptr, QStringLiteral("条码错误"), QStringLiteral("错误"), ui::MessageIcon::Error);
        return false;
    }
    return true;
}

void TfrBarCodeForm::Load(const TfrBarCodeView& view) {
    LoadCommon(view.Memo, view.CalcCheckSum, view.ShowText, view.Zoom, view.Rotation);
    // A type number beyond the list (a damaged template) selects nothing; it is
    // kept unless a type is chosen.
    cbType->setCurrentIndex(isKnownType(static_cast<TfrBarcodeType>(view.BarType)) ? view.BarType : -1);
}

void TfrBarCodeForm::Store(TfrBarCodeView& view) const {
    StoreCommon(view.Memo, view.CalcCheckSum, view.ShowText, view.Zoom, view.Rotation);
    if (cbType->currentIndex() >= 0)
        view.BarType = static_cast<std::uint8_t>(cbType->currentIndex());
}

bool editBarcodeView(TfrBarCodeView& view, tmpl::DesignerContext& context) {
    return runSymbolEditor<TfrBarCodeForm>(view, context);
}

} // namespace mirel::barcode
