#pragma once
// The designer's dialogs: each edits one part of a template and returns whether
// the operator confirmed a change. Each runs through mirel::ui::dialogs().exec,
// so tests fill and confirm them. The designer window calls them; the object
// editors of the barcode and PDF417 objects reach the expression builder and
// the data-field chooser through tmpl::DesignerContext.

#include "core/Encoding.h"

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

class QWidget;

namespace mirel::tmpl {
class TfrDataDictionary;
class TfrMemoView;
class TfrPage;
class TfrPictureView;
class TfrReport;
} // namespace mirel::tmpl

namespace mirel::engine::ui {

// What the expression builder and the data-field chooser offer.
struct DataFieldSource {
    QString dataset;          // adapter name: "frDBDataSet1", "frDBDataSet2"
    QStringList fields;       // its field names
};
struct ExpressionSources {
    QStringList labelVariables;             // the host's (the eight label variables)
    const tmpl::TfrDataDictionary* dictionary = nullptr;
    QStringList systemVariables;            // PAGE#, DATE, ...
    std::vector<DataFieldSource> datasets;
    QStringList functions;                  // with their argument hints, e.g. "COPY(s, from, count)"
};

// The expression builder: edits `text` (an expression, or a memo line with
// bracketed expressions) by picking names and functions. True when confirmed.
bool chooseExpression(QWidget* parent, const ExpressionSources& sources, AnsiString& text);

// The data-field chooser: picks a field reference `[Dataset."Field"]` into
// `field` (given either bracketed or bare, to preselect). True when confirmed.
bool chooseDataField(QWidget* parent, const std::vector<DataFieldSource>& datasets, AnsiString& field);

// The text object's editor: memo lines (with the expression builder at hand),
// font, alignment, display format. True when something changed.
bool editMemo(QWidget* parent, tmpl::TfrMemoView& memo, const ExpressionSources& sources);

// The picture chooser: loads a JPEG, BMP or ICO file into the picture object
// (bytes kept as stored), or clears it; centre / keep aspect / stretch.
bool choosePicture(QWidget* parent, tmpl::TfrPictureView& picture);

// Page setup: paper size from the paper table or custom, orientation, margins,
// page columns and their gap.
bool editPageSetup(QWidget* parent, tmpl::TfrPage& page);

// Report options: print to the default printer, two passes, the report
// information fields, the password.
bool editReportOptions(QWidget* parent, tmpl::TfrReport& report);

// The data dictionary editor: variables (name and value expression) and their
// categories.
bool editDictionary(QWidget* parent, tmpl::TfrDataDictionary& dictionary, const ExpressionSources& sources);

// Installs the barcode editor (TfrBarCodeForm) and the PDF417 editor
// (Tfr2BarCodePDFForm) as the objects' OpenEditor; the designer calls it
// before it opens. Calling it again changes nothing.
void installObjectEditors();

} // namespace mirel::engine::ui
