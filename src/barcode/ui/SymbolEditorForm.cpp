#include "barcode/ui/SymbolEditorForm.h"

#include "core/Numbers.h"
#include "core/ui/Dialogs.h"
#include "template/TfrView.h"

#include <QCheckBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace mirel::barcode {
namespace {

// The layout is in pixels of a 12-pixel 宋体; where SimSun is not installed
// the CJK face of the system stands in.
QFont dialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("WenQuanYi Micro Hei")});
    font.setPixelSize(12);
    return font;
}

template <class W, class... Args>
W* make(QWidget* parent, const char* name, int x, int y, int w, int h, Args&&... args) {
    auto* widget = new W(std::forward<Args>(args)..., parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

// The zoom field's number: the general decimal form, '.' as decimal separator.
std::optional<double> fieldNumber(const QLineEdit& edit) {
    const auto value = core::tryParseDecimal(core::fromUnicode(edit.text()));
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}

QString general(double value) { return QString::fromStdString(core::formatGeneral(value)); }

} // namespace

SymbolEditorForm::SymbolEditorForm(tmpl::DesignerContext* context, QWidget* parent, int optionsTop, int height)
    : QDialog(parent), m_context(context) {
    setWindowTitle(QStringLiteral("条码编辑器"));
    setFont(dialogFont());
    setFixedSize(269, height);

    Label1 = make<QLabel>(this, "Label1", 8, 8, 120, 14, QStringLiteral("代码(&C)"));
    M1 = make<QLineEdit>(this, "M1", 8, 24, 232, 21, QStringLiteral("0"));
    M1Button = make<QToolButton>(this, "M1Button", 240, 24, 21, 21);
    M1Button->setText(QStringLiteral("…"));
    M1Button->setToolTip(QStringLiteral("插入表达式"));
    M1Button->setEnabled(m_context != nullptr);
    Label1->setBuddy(M1);

    GroupBox1 = make<QGroupBox>(this, "GroupBox1", 8, optionsTop, 253, 61, QStringLiteral("选项"));
    ckCheckSum = make<QCheckBox>(GroupBox1, "ckCheckSum", 8, 16, 129, 17, QStringLiteral("校验和"));
    ckViewText = make<QCheckBox>(GroupBox1, "ckViewText", 8, 36, 121, 17, QStringLiteral("目读数字(&H)"));
    Label3 = make<QLabel>(GroupBox1, "Label3", 136, 18, 45, 16, QStringLiteral("&放大:"));
    Label3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    eZoom = make<QLineEdit>(GroupBox1, "eZoom", 192, 16, 49, 20, QStringLiteral("1"));
    eZoom->setTextMargins(0, 0, 17, 0);   // the up and down buttons cover its right end
    Label3->setBuddy(eZoom);
    frSpeedButton1 = make<QToolButton>(GroupBox1, "frSpeedButton1", 222, 18, 17, 8);
    frSpeedButton1->setArrowType(Qt::UpArrow);
    frSpeedButton2 = make<QToolButton>(GroupBox1, "frSpeedButton2", 222, 26, 17, 8);
    frSpeedButton2->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {frSpeedButton1, frSpeedButton2}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setIconSize(QSize(7, 5));
    }

    GroupBox2 = make<QGroupBox>(this, "GroupBox2", 8, optionsTop + 68, 253, 41, QStringLiteral("旋转"));
    RB1 = make<QRadioButton>(GroupBox2, "RB1", 8, 16, 60, 17, QStringLiteral("0"));
    RB2 = make<QRadioButton>(GroupBox2, "RB2", 72, 16, 60, 17, QStringLiteral("90"));
    RB3 = make<QRadioButton>(GroupBox2, "RB3", 136, 16, 60, 17, QStringLiteral("180"));
    RB4 = make<QRadioButton>(GroupBox2, "RB4", 200, 16, 50, 17, QStringLiteral("270"));
    RB1->setChecked(true);

    bOk = make<QPushButton>(this, "bOk", 108, optionsTop + 119, 75, 25, QStringLiteral("确认"));
    bOk->setDefault(true);
    bCancel = make<QPushButton>(this, "bCancel", 188, optionsTop + 119, 75, 25, QStringLiteral("取消"));

    connect(M1Button, &QToolButton::clicked, this, &SymbolEditorForm::ExprBtnClick);
    connect(frSpeedButton1, &QToolButton::clicked, this, &SymbolEditorForm::frSpeedButton1Click);
    connect(frSpeedButton2, &QToolButton::clicked, this, &SymbolEditorForm::frSpeedButton2Click);
    connect(bOk, &QPushButton::clicked, this, &SymbolEditorForm::bOkClick);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void SymbolEditorForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void SymbolEditorForm::FormActivate() { M1->setFocus(); }

void SymbolEditorForm::ExprBtnClick() {
    if (!m_context)
        return;
    AnsiString expression;
    if (m_context->ChooseExpression(expression) && !expression.empty())
        M1->setText(core::toUnicode(expression));
}

std::optional<double> SymbolEditorForm::ZoomValue() const {
    const auto value = fieldNumber(*eZoom);
    if (!value || *value <= 0 || *value > kMaxZoom)
        return std::nullopt;
    return value;
}

std::optional<double> SymbolEditorForm::zoomOrComplain() {
    const auto value = fieldNumber(*eZoom);
    if (!value)
        ui::dialogs().message(this, QStringLiteral("'%1' is not a valid floating point value").arg(eZoom->text()),
                              QStringLiteral("错误"), ui::MessageIcon::Error);
    return value;
}

void SymbolEditorForm::frSpeedButton1Click() {
    if (const auto value = zoomOrComplain())
        eZoom->setText(general(std::min(*value + 1, kMaxZoom)));
}

void SymbolEditorForm::frSpeedButton2Click() {
    if (const auto value = zoomOrComplain()) {
        const double v = *value - 1;
        eZoom->setText(general(v > 0 ? v : 1));
    }
}

void SymbolEditorForm::bOkClick() {
    const AnsiString text = core::fromUnicode(M1->text());
    if ((text.empty() || text.front() != '[') && !Encodes(text))
        return;
    // The zoom is checked before anything is stored, so a zoom that is no
    // number (or none a symbol can be drawn at) leaves the object as it was.
    if (!ZoomValue()) {
        if (zoomOrComplain())
            ui::dialogs().message(this, QStringLiteral("放大必须大于 0, 且不超过 %1").arg(kMaxZoom),
                                  QStringLiteral("错误"), ui::MessageIcon::Error);
        eZoom->setFocus();
        return;
    }
    accept();
}

void SymbolEditorForm::LoadCommon(const tmpl::Lines& memo, bool checkSum, bool showText, double zoom,
                                  double rotation) {
    if (!memo.empty())
        M1->setText(core::toUnicode(memo.front()));
    ckCheckSum->setChecked(checkSum);
    ckViewText->setChecked(showText);
    eZoom->setText(general(zoom));
    // Any angle but 0, 90 and 180 (only from a damaged template) shows as 270.
    (rotation == 0 ? RB1 : rotation == 90 ? RB2 : rotation == 180 ? RB3 : RB4)->setChecked(true);
}

void SymbolEditorForm::StoreCommon(tmpl::Lines& memo, bool& checkSum, bool& showText, double& zoom,
                                   double& rotation) const {
    memo = {core::fromUnicode(M1->text())};
    if (const auto value = ZoomValue())
        zoom = *value;
    checkSum = ckCheckSum->isChecked();
    showText = ckViewText->isChecked();
    rotation = RB1->isChecked() ? 0 : RB2->isChecked() ? 90 : RB3->isChecked() ? 180 : 270;
}

} // namespace mirel::barcode
