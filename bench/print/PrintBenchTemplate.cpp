// mirel-print-bench-template OUT.frf: writes the label template of
// the print benchmark, our equivalent of the glabels template in
// ../shared/peers/: A4, labels of 50 x 30 mm, 3 across and 9 down from 30 mm
// left and 13.5 mm down, each with the static text "ACME anti-counterfeit
// label" (7 pt bold), "No. " and the code (8 pt), and a Code 128 of the code
// with its text, over the code store (frDBDataSet1).

#include "barcode/TfrBarCodeView.h"
#include "core/Files.h"
#include "template/BuiltinViews.h"
#include "template/TfrReport.h"

#include <QCoreApplication>
#include <cstdio>
#include <memory>

namespace {

using namespace mirel;

int units(double mm) { return static_cast<int>(mm * 18.0 / 5.0 + 0.5); }

void addText(tmpl::TfrPage& page, const char* name, double x, double y, double w, double h, const char* text,
             int points, bool bold) {
    auto m = std::make_unique<tmpl::TfrMemoView>();
    m->Name = name;
    m->Left = units(x);
    m->Top = units(y);
    m->Width = units(w);
    m->Height = units(h);
    m->Memo = {text};
    m->FontName = "Arial";
    m->FontSize = points;
    m->FontStyle = bold ? tmpl::kFontBold : 0;
    m->Flags = 0;
    page.Objects.push_back(std::move(m));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: mirel-print-bench-template OUT.frf\n");
        return 2;
    }
    tmpl::TfrReport report;
    report.PrintToDefault = true;
    tmpl::TfrPage& page = report.Pages.Add();
    page.Size = 9;
    page.PaperWidth = 2100;
    page.PaperHeight = 2970;
    page.UseMargins = true;
    page.LeftMargin = units(30);
    page.TopMargin = units(13.5);
    page.RightMargin = units(30);
    // Nine rows end 283.6 mm down (49 + 9 x 108 units); 13.5 mm rounded up to
    // 49 units below would leave room for eight.
    page.BottomMargin = units(10);

    // The labels: one master data band of three columns, across then down.
    const double x0 = 30, y0 = 13.5;
    auto band = std::make_unique<tmpl::TfrBandView>();
    band->Name = "MasterData1";
    band->SetBandType(tmpl::btMasterData);
    band->Left = units(x0);
    band->Top = units(y0);
    band->Width = units(50);
    band->Height = units(30);
    band->FormatStr = "frDBDataSet1";
    band->Columns = 3;
    band->ColumnWidth = units(50);
    band->ColumnGap = 0;
    band->NewColumnAfter = 1;
    page.Objects.push_back(std::move(band));

    addText(page, "Heading", x0 + 2, y0 + 1.5, 46, 4, "ACME anti-counterfeit label", 7, true);
    addText(page, "Serial", x0 + 2, y0 + 6, 46, 5, "No. [frDBDataSet1.\"key1\"]", 8, false);
    auto bar = std::make_unique<barcode::TfrBarCodeView>();
    bar->Name = "Code128";
    bar->Left = units(x0 + 2);
    bar->Top = units(y0 + 12);
    bar->Width = units(46);
    bar->Height = units(16);
    bar->BarType = barcode::bcCode128B;
    bar->CalcCheckSum = false;
    bar->ShowText = true;
    bar->Memo = {"[frDBDataSet1.\"key1\"]"};
    page.Objects.push_back(std::move(bar));

    try {
        report.SaveToFile(QString::fromLocal8Bit(argv[1]));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mirel-print-bench-template: %s\n", e.what());
        return 1;
    }
    return 0;
}
