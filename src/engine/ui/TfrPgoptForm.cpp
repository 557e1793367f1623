#include "engine/ui/TfrPgoptForm.h"

#include "core/ui/Dialogs.h"
#include "engine/ui/DesignerDialogParts.h"
#include "template/TfrPages.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>
#include <tuple>

namespace mirel::engine::ui {
namespace {

// Paper up to 10 m a side; the template holds tenths of a millimetre in an int.
constexpr double kMaxPaperMm = 10000.0;

QDoubleSpinBox* mmEdit(QWidget* parent, const char* name, double low, double high) {
    auto* edit = new QDoubleSpinBox(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setRange(low, high);
    edit->setDecimals(1);
    edit->setSuffix(QStringLiteral(" mm"));
    edit->setSingleStep(1.0);
    return edit;
}

int tenths(double mm) { return static_cast<int>(std::lround(mm * 10.0)); }

} // namespace

TfrPgoptForm::TfrPgoptForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frPgoptForm"));
    setWindowTitle(QStringLiteral("页面设置"));
    setFont(designerDialogFont());

    auto* paperGroup = new QGroupBox(QStringLiteral("纸张"), this);
    PaperBox = new QComboBox(paperGroup);
    PaperBox->setObjectName(QStringLiteral("PaperBox"));
    for (const tmpl::PaperSize& paper : tmpl::kPaperSizes)
        PaperBox->addItem(paper.code == tmpl::kCustomPaper ? QStringLiteral("自定义尺寸")
                                                           : QString::fromLatin1(paper.name),
                          paper.code);
    PaperBox->setMaxVisibleItems(16);
    WidthEdit = mmEdit(paperGroup, "WidthEdit", 1.0, kMaxPaperMm);
    HeightEdit = mmEdit(paperGroup, "HeightEdit", 1.0, kMaxPaperMm);
    PortraitButton = new QRadioButton(QStringLiteral("纵向(&P)"), paperGroup);
    PortraitButton->setObjectName(QStringLiteral("PortraitButton"));
    LandscapeButton = new QRadioButton(QStringLiteral("横向(&L)"), paperGroup);
    LandscapeButton->setObjectName(QStringLiteral("LandscapeButton"));
    PortraitButton->setChecked(true);
    auto* paperForm = new QFormLayout(paperGroup);
    paperForm->addRow(QStringLiteral("尺寸:"), PaperBox);
    paperForm->addRow(QStringLiteral("宽度:"), WidthEdit);
    paperForm->addRow(QStringLiteral("高度:"), HeightEdit);
    auto* orientation = new QHBoxLayout;
    orientation->addWidget(PortraitButton);
    orientation->addWidget(LandscapeButton);
    orientation->addStretch();
    paperForm->addRow(QStringLiteral("方向:"), orientation);

    auto* marginGroup = new QGroupBox(QStringLiteral("页边距"), this);
    LeftMarginEdit = mmEdit(marginGroup, "LeftMarginEdit", 0.0, kMaxPaperMm);
    TopMarginEdit = mmEdit(marginGroup, "TopMarginEdit", 0.0, kMaxPaperMm);
    RightMarginEdit = mmEdit(marginGroup, "RightMarginEdit", 0.0, kMaxPaperMm);
    BottomMarginEdit = mmEdit(marginGroup, "BottomMarginEdit", 0.0, kMaxPaperMm);
    auto* margins = new QGridLayout(marginGroup);
    margins->addWidget(new QLabel(QStringLiteral("左:"), marginGroup), 0, 0);
    margins->addWidget(LeftMarginEdit, 0, 1);
    margins->addWidget(new QLabel(QStringLiteral("上:"), marginGroup), 0, 2);
    margins->addWidget(TopMarginEdit, 0, 3);
    margins->addWidget(new QLabel(QStringLiteral("右:"), marginGroup), 1, 0);
    margins->addWidget(RightMarginEdit, 1, 1);
    margins->addWidget(new QLabel(QStringLiteral("下:"), marginGroup), 1, 2);
    margins->addWidget(BottomMarginEdit, 1, 3);

    auto* columnGroup = new QGroupBox(QStringLiteral("分栏"), this);
    ColumnsEdit = new QSpinBox(columnGroup);
    ColumnsEdit->setObjectName(QStringLiteral("ColumnsEdit"));
    ColumnsEdit->setRange(1, 100);
    ColumnGapEdit = mmEdit(columnGroup, "ColumnGapEdit", 0.0, kMaxPaperMm);
    auto* columns = new QFormLayout(columnGroup);
    columns->addRow(QStringLiteral("栏数:"), ColumnsEdit);
    columns->addRow(QStringLiteral("栏间距:"), ColumnGapEdit);

    const OkCancel buttons = addOkCancel(*this);
    OkButton = buttons.ok;
    CancelButton = buttons.cancel;
    connect(OkButton, &QPushButton::clicked, this, [this] {
        if (marginsFit())
            accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(paperGroup);
    layout->addWidget(marginGroup);
    layout->addWidget(columnGroup);
    layout->addLayout(buttons.row);

    connect(PaperBox, &QComboBox::currentIndexChanged, this, &TfrPgoptForm::paperChanged);
    connect(LandscapeButton, &QRadioButton::toggled, this, &TfrPgoptForm::orientationChanged);
}

void TfrPgoptForm::paperChanged() {
    const int code = PaperBox->currentData().toInt();
    const bool custom = code == tmpl::kCustomPaper;
    WidthEdit->setEnabled(custom);
    HeightEdit->setEnabled(custom);
    if (custom)
        return;
    if (const tmpl::PaperSize* paper = tmpl::findPaperSize(code)) {
        const bool landscape = LandscapeButton->isChecked();
        WidthEdit->setValue((landscape ? paper->height : paper->width) / 10.0);
        HeightEdit->setValue((landscape ? paper->width : paper->height) / 10.0);
    }
}

void TfrPgoptForm::orientationChanged() {
    // The sizes are shown as the page lies: turning it exchanges them.
    const double width = WidthEdit->value();
    WidthEdit->setValue(HeightEdit->value());
    HeightEdit->setValue(width);
}

bool TfrPgoptForm::marginsFit() {
    // Margins that leave no room on the page give a page no band fits on.
    if (LeftMarginEdit->value() + RightMarginEdit->value() >= WidthEdit->value()
        || TopMarginEdit->value() + BottomMarginEdit->value() >= HeightEdit->value()) {
        mirel::ui::dialogs().message(this, QStringLiteral("页边距超出了纸张尺寸"), QStringLiteral("错误"),
                                     mirel::ui::MessageIcon::Error);
        return false;
    }
    return true;
}

void TfrPgoptForm::Load(const tmpl::TfrPage& page) {
    {
        const QSignalBlocker a(PaperBox), b(LandscapeButton);
        const int index = PaperBox->findData(tmpl::findPaperSize(page.Size) ? page.Size : tmpl::kCustomPaper);
        PaperBox->setCurrentIndex(index);
        (page.Orientation == 1 ? LandscapeButton : PortraitButton)->setChecked(true);
    }
    WidthEdit->setValue(page.PaperWidth / 10.0);
    HeightEdit->setValue(page.PaperHeight / 10.0);
    const bool custom = PaperBox->currentData().toInt() == tmpl::kCustomPaper;
    WidthEdit->setEnabled(custom);
    HeightEdit->setEnabled(custom);
    LeftMarginEdit->setValue(unitsToMm(page.LeftMargin));
    TopMarginEdit->setValue(unitsToMm(page.TopMargin));
    RightMarginEdit->setValue(unitsToMm(page.RightMargin));
    BottomMarginEdit->setValue(unitsToMm(page.BottomMargin));
    ColumnsEdit->setValue(page.Columns);
    ColumnGapEdit->setValue(unitsToMm(page.ColumnGap));
}

void TfrPgoptForm::Store(tmpl::TfrPage& page) const {
    page.Size = PaperBox->currentData().toInt();
    page.Orientation = LandscapeButton->isChecked() ? 1 : 0;
    page.PaperWidth = tenths(WidthEdit->value());
    page.PaperHeight = tenths(HeightEdit->value());
    page.ApplyPaper();
    // Lengths are shown to a tenth of a millimetre; one left as shown keeps its
    // exact page units.
    const auto setUnits = [](std::int32_t& stored, double mm) {
        if (std::lround(unitsToMm(stored) * 10) != std::lround(mm * 10))
            stored = mmToUnits(mm);
    };
    setUnits(page.LeftMargin, LeftMarginEdit->value());
    setUnits(page.TopMargin, TopMarginEdit->value());
    setUnits(page.RightMargin, RightMarginEdit->value());
    setUnits(page.BottomMargin, BottomMarginEdit->value());
    page.Columns = ColumnsEdit->value();
    setUnits(page.ColumnGap, ColumnGapEdit->value());
}

bool editPageSetup(QWidget* parent, tmpl::TfrPage& page) {
    TfrPgoptForm form(parent);
    form.Load(page);
    if (mirel::ui::dialogs().exec(form) != QDialog::Accepted)
        return false;
    const auto fields = [](const tmpl::TfrPage& p) {
        return std::make_tuple(p.Size, p.PaperWidth, p.PaperHeight, p.Orientation, p.PaperBin, p.LeftMargin,
                               p.TopMargin, p.RightMargin, p.BottomMargin, p.Columns, p.ColumnGap);
    };
    const auto before = fields(page);
    form.Store(page);
    return fields(page) != before;
}

} // namespace mirel::engine::ui
