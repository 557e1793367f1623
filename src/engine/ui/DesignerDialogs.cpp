// The object editors' installer; each designer dialog lives in its own file,
// named after its form.
#include "engine/ui/DesignerDialogs.h"

#include "barcode/TfrBarCodeView.h"
#include "barcode/ui/TfrBarCodeForm.h"
#include "pdf417/Tfr2BarCodePDFView.h"
#include "pdf417/ui/Tfr2BarCodePDFForm.h"

namespace mirel::engine::ui {

void installObjectEditors() {
    barcode::TfrBarCodeView::SetEditor(&barcode::editBarcodeView);
    pdf417::Tfr2BarCodePDFView::SetEditor(&pdf417::editPdf417View);
}

} // namespace mirel::engine::ui
