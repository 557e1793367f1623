// Placeholder answers until the designer's dialogs exist: every dialog reports
// that nothing was changed.
#include "engine/ui/DesignerDialogs.h"

#include "barcode/TfrBarCodeView.h"
#include "barcode/ui/TfrBarCodeForm.h"
#include "pdf417/Tfr2BarCodePDFView.h"
#include "pdf417/ui/Tfr2BarCodePDFForm.h"

namespace mirel::engine::ui {

bool chooseExpression(QWidget*, const ExpressionSources&, AnsiString&) { return false; }
bool chooseDataField(QWidget*, const std::vector<DataFieldSource>&, AnsiString&) { return false; }
bool editMemo(QWidget*, tmpl::TfrMemoView&, const ExpressionSources&) { return false; }
bool choosePicture(QWidget*, tmpl::TfrPictureView&) { return false; }
bool editPageSetup(QWidget*, tmpl::TfrPage&) { return false; }
bool editReportOptions(QWidget*, tmpl::TfrReport&) { return false; }
bool editDictionary(QWidget*, tmpl::TfrDataDictionary&, const ExpressionSources&) { return false; }
void installObjectEditors() {
    barcode::TfrBarCodeView::SetEditor(&barcode::editBarcodeView);
    pdf417::Tfr2BarCodePDFView::SetEditor(&pdf417::editPdf417View);
}

} // namespace mirel::engine::ui
