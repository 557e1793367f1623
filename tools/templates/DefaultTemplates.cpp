#include "templates/DefaultTemplates.h"

#include "barcode/TfrBarCodeView.h"
#include "core/Encoding.h"
#include "pdf417/Tfr2BarCodePDFView.h"
#include "template/BuiltinViews.h"
#include "template/TfrReport.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <array>
#include <memory>

namespace mirel::tools {
namespace {

using tmpl::TfrPage;

// When the defaults were first made: their creation date stays, only the
// last-saved date follows each make.
double createdAt() { return tmpl::toStoredDate(QDateTime(QDate(2026, 12, 11), QTime(9, 0))); }

// A label's place on the page and its size, page units (18 per 5 mm).
struct LabelBox {
    int left, top, width, height;
};

tmpl::TfrMemoView& addMemo(TfrPage& page, const char* name, int left, int top, int width, int height,
                           const char* textUtf8, int fontSize, bool bold) {
    auto memo = std::make_unique<tmpl::TfrMemoView>();
    memo->Name = name;
    memo->Left = left;
    memo->Top = top;
    memo->Width = width;
    memo->Height = height;
    memo->Memo = {core::fromUtf8(textUtf8)};
    memo->FontName = core::fromUtf8("宋体");
    memo->FontSize = fontSize;
    memo->FontStyle = bold ? tmpl::kFontBold : 0;
    memo->Charset = 134;   // GB2312
    memo->Flags = 0;       // one line, never stretched: a long text is cut at the frame, not wrapped onto the barcode
    memo->Alignment = 8;   // left, centred vertically
    auto& ref = *memo;
    page.Objects.push_back(std::move(memo));
    return ref;
}

void addBand(TfrPage& page, const LabelBox& label, int columns) {
    auto band = std::make_unique<tmpl::TfrBandView>();
    band->Name = "MasterData1";
    band->SetBandType(tmpl::btMasterData);
    band->Left = label.left;
    band->Top = label.top;
    band->Width = label.width;
    band->Height = label.height;
    band->FormatStr = "frDBDataSet1";
    band->Columns = columns;
    band->ColumnWidth = label.width;
    band->ColumnGap = 0;
    band->NewColumnAfter = 1;   // across, then down
    page.Objects.push_back(std::move(band));
}

// The objects of one label, top to bottom: the serial with prefix and suffix,
// the two data fields side by side, the Code 128 of the code, the PDF417 of the
// 2D-code text. Nothing overlaps, and everything but the PDF417 image's own
// quiet zone keeps 8 units (2.2 mm) inside the die cut.
void addLabelObjects(TfrPage& page, const LabelBox& l) {
    const int x = l.left + 8;
    const int inner = l.width - 16;
    addMemo(page, "Serial", x, l.top + 3, inner, 13, "[编头][条形码编号][编尾]", 9, true);
    const int half = inner / 2;
    addMemo(page, "Data1", x, l.top + 16, half - 2, 12, "[数据扩充1]", 8, false);
    addMemo(page, "Data2", x + half + 2, l.top + 16, half - 2, 12, "[数据扩充2]", 8, false);

    // One page unit (0.28 mm, 2 dots at 203 dpi) a module: the 10-character
    // codes of the seed "abcd" are 145 units (40 mm) wide; the row has room for
    // 16 characters on the 70 mm label and 15 on the 60 mm one. The width
    // follows the code.
    auto bar = std::make_unique<barcode::TfrBarCodeView>();
    bar->Name = "Code128";
    bar->Left = x;
    bar->Top = l.top + 29;
    bar->Width = 145;
    bar->Height = 32;
    bar->BarType = barcode::bcCode128B;
    bar->CalcCheckSum = false;   // Code 128 carries its own check character
    bar->ShowText = true;
    bar->Zoom = 1.0;
    bar->Memo = {"[frDBDataSet1.\"key1\"]"};
    page.Objects.push_back(std::move(bar));

    // The PDF417 symbol is drawn at 2 units (0.56 mm) a module after a quiet
    // zone of 8 inside its image: the object spans the label's whole width so
    // as much of a wide symbol as the label can carry shows (every data column
    // of five on the 70 mm label, of four on the 60 mm one, whose right row
    // indicator is then cut), and reaches down to the label's end (seven rows
    // need 69 units).
    auto pdf = std::make_unique<pdf417::Tfr2BarCodePDFView>();
    pdf->Name = "Pdf417";
    pdf->Left = l.left;
    pdf->Top = l.top + 62;
    pdf->Width = l.width;
    pdf->Height = l.height - 62;
    pdf->Memo = {core::fromUtf8("[二维码]")};
    page.Objects.push_back(std::move(pdf));
}

tmpl::TfrReport baseReport(const char* name) {
    tmpl::TfrReport report;
    report.ResetInformation(createdAt());
    report.PrintToDefault = true;   // whatever printer is current
    report.ReportName = core::fromUtf8(name);
    report.Author = "mirel";
    return report;
}

std::string save(tmpl::TfrReport& report, double savedAt) {
    report.CreateDate = createdAt();
    return report.SaveToBytes(savedAt);
}

} // namespace

std::string sheetTemplate(double savedAt) {
    tmpl::TfrReport report = baseReport("防伪标签 A4 3×8");
    TfrPage& page = report.Pages.Add();
    page.Size = 9;   // A4
    page.PaperWidth = 2100;
    page.PaperHeight = 2970;
    page.Orientation = 0;
    // 3 x 252 units fill the 210 mm width; 8 rows of 133 units (36.9 mm) from
    // 0.6 mm down. The margins are stored so no printer offset moves the rows:
    // the eighth row ends at 1066, within the bottom margin's 1068.
    page.UseMargins = true;
    page.LeftMargin = 1;
    page.TopMargin = 2;
    page.RightMargin = 1;
    page.BottomMargin = 1;
    const LabelBox label{0, 2, 252, 133};
    addBand(page, label, 3);
    addLabelObjects(page, label);
    return save(report, savedAt);
}

std::string rollTemplate(double savedAt) {
    tmpl::TfrReport report = baseReport("防伪标签 卷标 60×40");
    TfrPage& page = report.Pages.Add();
    page.Size = tmpl::kCustomPaper;
    page.PaperWidth = 600;
    page.PaperHeight = 400;
    page.Orientation = 0;
    page.UseMargins = true;
    page.LeftMargin = 1;
    page.TopMargin = 1;
    page.RightMargin = 1;
    page.BottomMargin = 1;
    // 216 x 144 units of paper; the label band 142 high between the margins,
    // so one label fills a page.
    const LabelBox label{0, 1, 216, 142};
    addBand(page, label, 1);
    addLabelObjects(page, label);
    return save(report, savedAt);
}

std::span<const DefaultTemplate> defaultTemplates() {
    static const std::array<DefaultTemplate, 2> templates = {{
        {"infoNO.frf", sheetTemplate},
        {"卷标60x40.frf", rollTemplate},
    }};
    return templates;
}

} // namespace mirel::tools
