// Placeholder answers until the designer's dialogs exist: every dialog reports
// that nothing was changed.
#include "engine/ui/DesignerDialogs.h"

namespace mirel::engine::ui {

bool chooseExpression(QWidget*, const ExpressionSources&, AnsiString&) { return false; }
bool chooseDataField(QWidget*, const std::vector<DataFieldSource>&, AnsiString&) { return false; }
bool editMemo(QWidget*, tmpl::TfrMemoView&, const ExpressionSources&) { return false; }
bool choosePicture(QWidget*, tmpl::TfrPictureView&) { return false; }
bool editPageSetup(QWidget*, tmpl::TfrPage&) { return false; }
bool editReportOptions(QWidget*, tmpl::TfrReport&) { return false; }
bool editDictionary(QWidget*, tmpl::TfrDataDictionary&, const ExpressionSources&) { return false; }
void installObjectEditors() {}

} // namespace mirel::engine::ui
