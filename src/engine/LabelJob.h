#pragma once
// Label jobs: what the main window does with the report engine, kept apart from
// the window so mirel-cli runs the same jobs.
//
// The main window holds one LabelJob for the whole run: the engine's template
// (kept from one job to the next), the two dataset adapters, and the label data
// the eight label variables answer from.

#include "engine/CodeStoreDataset.h"
#include "engine/ReportPreparer.h"
#include "engine/SqlTableDataset.h"
#include "template/TfrReport.h"

#include <QString>
#include <optional>
#include <string_view>

namespace mirel::tmpl {
class TfrPreparedPages;
}

namespace mirel::engine {

// The caption of the preview a print job shows.
inline const QString kPrintTitle = QStringLiteral("条码标签打印预览");

// The label data of the main window, code page text. The label variables read it
// at the moment the engine asks, so a job uses the fields as they stand.
struct LabelData {
    QString templatePath;   // cxButtonEdit1
    AnsiString prefix;      // "编头", cxTextEdit2
    AnsiString serial;      // "条形码编号", cxTextEdit5
    AnsiString suffix;      // "编尾", cxTextEdit3
    AnsiString data1;       // "数据扩充1", cxTextEdit1 (settings key kz01)
    AnsiString data2;       // "数据扩充2", cxTextEdit4 (settings key kz02)
    AnsiString code2d;      // "二维码", cxMemo1: its lines joined by CR LF
    double quantity = 100;  // "数量", cxCalcEdit1
};

// The fields as the main window starts: prefix "BJ", serial "0000000000", suffix
// "**", "含量：120g", "价格：3.5元", a 2D-code text of one empty line (CR LF),
// quantity 100, no template.
LabelData initialLabelData();

// What showing the main window reads from system.ini (section "kz", code page
// text): kz01, kz02, cxButtonEdit1, cxTextEdit2, cxTextEdit5, cxTextEdit3 replace
// their fields, each with its own default when the key is missing (data field 1
// "含量：120g", data field 2 "价格：3.50元", the others empty). The 2D-code text
// and the quantity keep their values. Keys and section names ignore letter case,
// blanks around keys and values are dropped, as INI files are read.
void applySystemIni(LabelData& fields, std::string_view iniBytes);

// The label variable names and which are answered from text fields.
inline constexpr std::string_view kLabelVariableNames[] = {
    "no", "条形码编号", "编头", "编尾", "数量", "数据扩充1", "数据扩充2", "二维码",
};

// Sets one label variable from a text as an operator would type it into its
// field (for mirel-cli --var): false for "no" (the record counter) and for names
// that are no label variable. "数量" must read as a number (ConversionError);
// line breaks of "二维码" become CR LF.
bool setLabelVariable(LabelData& fields, const AnsiString& name, const AnsiString& text);

// The label variable answerer: fills `value` for the eight names (compared
// exactly, byte for byte) and leaves it empty for any other. "no" is the record
// counter of the external adapter while its table is open, else the code-store
// adapter's.
void answerLabelVariable(const AnsiString& name, std::optional<Value>& value, const LabelData& fields,
                         const TfrDataset& codeStore, const SqlTableDataset& external);

class LabelJob {
public:
    LabelJob();

    // Print job, after the window has checked that a template path is given:
    // LoadTemplate, then PrintLoaded. Throws PrepareError (and ConversionError for
    // a quantity no whole number can hold).
    PrepareResult Print(const QString& templatePath, tmpl::TemplateHost& host, tmpl::TfrPreparedPages& pages,
                        const PrepareProgress& progress = {});

    // Loads a template into the engine. A path that names no file keeps the
    // current template and gives false; `load` receives what the read found
    // (messageShown: the reader refused the file or part of it, or the password
    // failed).
    bool LoadTemplate(const QString& templatePath, tmpl::TemplateHost& host, tmpl::LoadResult* load = nullptr);

    // The rest of a print job: limits the code store to the quantity rounded to a
    // whole number (halves to the even neighbour), sets the title, prepares.
    PrepareResult PrintLoaded(tmpl::TfrPreparedPages& pages, const PrepareProgress& progress = {});

    // Prepares the current template as it stands.
    PrepareResult Prepare(tmpl::TfrPreparedPages& pages, const PrepareProgress& progress = {});

    void AnswerVariable(const AnsiString& name, std::optional<Value>& value) const {
        answerLabelVariable(name, value, Fields, CodeStoreAdapter, ExternalAdapter);
    }

    tmpl::TfrReport Report;
    LabelData Fields = initialLabelData();
    QString Title;
    CodeStoreDataset CodeStoreAdapter;   // frDBDataSet1, also the report dataset
    SqlTableDataset ExternalAdapter;     // frDBDataSet2
};

} // namespace mirel::engine
