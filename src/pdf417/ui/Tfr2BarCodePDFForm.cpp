#include "pdf417/ui/Tfr2BarCodePDFForm.h"

#include "pdf417/TStPDF417Barcode.h"
#include "pdf417/Tfr2BarCodePDFView.h"
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

#include <cmath>

namespace mirel::pdf417 {
namespace {

// The dialog's own layout is in pixels of a 12-pixel 宋体; where SimSun is not
// installed the CJK face of the system stands in.
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

QLabel* label(QWidget* parent, const char* name, int x, int y, int w, const QString& text) {
    auto* l = make<QLabel>(parent, name, x, y, w, 14, text);
    return l;
}

// A text field's number as the zoom field holds it: the general decimal form
// with '.' as the decimal separator.
std::optional<double> fieldNumber(const QLineEdit& edit) {
    const auto value = core::tryParseDecimal(core::fromUnicode(edit.text()));
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}

} // namespace

Tfr2BarCodePDFForm::Tfr2BarCodePDFForm(tmpl::DesignerContext* context, QWidget* parent)
    : QDialog(parent), m_context(context) {
    setObjectName(QStringLiteral("fr2BarCodePDFForm"));
    setWindowTitle(QStringLiteral("条码编辑器"));
    setFont(dialogFont());
    setFixedSize(269, 207);

    Label1 = label(this, "Label1", 8, 8, 120, QStringLiteral("代码(&C)"));
    M1 = make<QLineEdit>(this, "M1", 8, 24, 232, 21, QStringLiteral("0"));
    M1Button = make<QToolButton>(this, "M1Button", 240, 24, 21, 21);
    M1Button->setText(QStringLiteral("…"));
    M1Button->setToolTip(QStringLiteral("插入表达式"));
    M1Button->setEnabled(m_context != nullptr);
    Label1->setBuddy(M1);

    GroupBox1 = make<QGroupBox>(this, "GroupBox1", 8, 52, 253, 61, QStringLiteral("选项"));
    ckCheckSum = make<QCheckBox>(GroupBox1, "ckCheckSum", 8, 16, 129, 17, QStringLiteral("校验和"));
    ckViewText = make<QCheckBox>(GroupBox1, "ckViewText", 8, 36, 121, 17, QStringLiteral("目读数字(&H)"));
    Label3 = make<QLabel>(GroupBox1, "Label3", 136, 18, 45, 16, QStringLiteral("&放大:"));
    Label3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    eZoom = make<QLineEdit>(GroupBox1, "eZoom", 192, 16, 49, 20, QStringLiteral("1"));
    eZoom->setTextMargins(0, 0, 17, 0);   // the up and down buttons cover the right end
    Label3->setBuddy(eZoom);
    frSpeedButton1 = make<QToolButton>(GroupBox1, "frSpeedButton1", 222, 18, 17, 8);
    frSpeedButton1->setArrowType(Qt::UpArrow);
    frSpeedButton2 = make<QToolButton>(GroupBox1, "frSpeedButton2", 222, 26, 17, 8);
    frSpeedButton2->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {frSpeedButton1, frSpeedButton2}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRaise(false);
        b->setIconSize(QSize(7, 5));
    }

    GroupBox2 = make<QGroupBox>(this, "GroupBox2", 8, 120, 253, 41, QStringLiteral("旋转"));
    RB1 = make<QRadioButton>(GroupBox2, "RB1", 8, 16, 60, 17, QStringLiteral("0"));
    RB2 = make<QRadioButton>(GroupBox2, "RB2", 72, 16, 60, 17, QStringLiteral("90"));
    RB3 = make<QRadioButton>(GroupBox2, "RB3", 136, 16, 60, 17, QStringLiteral("180"));
    RB4 = make<QRadioButton>(GroupBox2, "RB4", 200, 16, 50, 17, QStringLiteral("270"));
    RB1->setChecked(true);

    bOk = make<QPushButton>(this, "bOk", 108, 171, 75, 25, QStringLiteral("确认"));
    bOk->setDefault(true);
    bCancel = make<QPushButton>(this, "bCancel", 188, 171, 75, 25, QStringLiteral("取消"));

    setTabOrder(M1, bOk);
    setTabOrder(bOk, bCancel);
    setTabOrder(bCancel, ckCheckSum);
    setTabOrder(ckCheckSum, ckViewText);
    setTabOrder(ckViewText, eZoom);
    setTabOrder(eZoom, RB1);

    connect(M1Button, &QToolButton::clicked, this, &Tfr2BarCodePDFForm::ExprBtnClick);
    connect(frSpeedButton1, &QToolButton::clicked, this, &Tfr2BarCodePDFForm::frSpeedButton1Click);
    connect(frSpeedButton2, &QToolButton::clicked, this, &Tfr2BarCodePDFForm::frSpeedButton2Click);
    connect(bOk, &QPushButton::clicked, this, &Tfr2BarCodePDFForm::bOkClick);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfr2BarCodePDFForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void Tfr2BarCodePDFForm::FormActivate() { M1->setFocus(); }

void Tfr2BarCodePDFForm::ExprBtnClick() {
    if (!m_context)
        return;
    AnsiString expression;
    if (m_context->ChooseExpression(expression) && !expression.empty())
        M1->setText(core::toUnicode(expression));
}

std::optional<double> Tfr2BarCodePDFForm::ZoomValue() const {
    const auto value = fieldNumber(*eZoom);
    if (!value || *value <= 0 || *value > kMaxZoom)
        return std::nullopt;
    return value;
}

std::optional<double> Tfr2BarCodePDFForm::zoomOrComplain() {
    const auto value = fieldNumber(*eZoom);
    if (!value)
        ui::dialogs().message(this, QStringLiteral("'%1' is not a valid floating point value").arg(eZoom->text()),
                              QStringLiteral("错误"), ui::MessageIcon::Error);
    return value;
}

void Tfr2BarCodePDFForm::frSpeedButton1Click() {
    if (const auto value = zoomOrComplain())
        eZoom->setText(QString::fromStdString(core::formatGeneral(std::min(*value + 1, kMaxZoom))));
}

void Tfr2BarCodePDFForm::frSpeedButton2Click() {
    if (const auto value = zoomOrComplain()) {
        double v = *value - 1;
        if (!(v > 0))
            v = 1;
        eZoom->setText(QString::fromStdString(core::formatGeneral(v)));
    }
}

void Tfr2BarCodePDFForm::bOkClick() {
    // A literal text is given to a generator of its own, only to find out
    // whether it makes a symbol; an expression is evaluated per label and not
    // tested here.
    const AnsiString text = core::fromUnicode(M1->text());
    if (text.empty() || text.front() != '[') {
        try {
            TStPDF417Barcode generator;
            generator.SetCode(text);
        } catch (const std::exception&) {
            ui::dialogs().message(nullptr, QStringLiteral("条码错误"), QStringLiteral("错误"), ui::MessageIcon::Error);
            return;
        }
    }
    // The zoom is checked before anything is stored, so a zoom that is no
    // number (or none a symbol can be drawn at) leaves the object as it was.
    if (!ZoomValue()) {
        if (zoomOrComplain())
            ui::dialogs().message(this,
                                  QStringLiteral("放大必须大于 0, 且不超过 %1").arg(kMaxZoom),
                                  QStringLiteral("错误"), ui::MessageIcon::Error);
        eZoom->setFocus();
        return;
    }
    accept();
}

void Tfr2BarCodePDFForm::Load(const Tfr2BarCodePDFView& view) {
    if (!view.Memo.empty())
        M1->setText(core::toUnicode(view.Memo.front()));
    ckCheckSum->setChecked(view.CalcCheckSum);
    ckViewText->setChecked(view.ShowText);
    eZoom->setText(QString::fromStdString(core::formatGeneral(view.Zoom)));
    if (view.Rotation == 0)
        RB1->setChecked(true);
    else if (view.Rotation == 90)
        RB2->setChecked(true);
    else if (view.Rotation == 180)
        RB3->setChecked(true);
    else
        RB4->setChecked(true);
}

void Tfr2BarCodePDFForm::Store(Tfr2BarCodePDFView& view) const {
    view.Memo = {core::fromUnicode(M1->text())};
    if (const auto zoom = ZoomValue())
        view.Zoom = *zoom;
    view.CalcCheckSum = ckCheckSum->isChecked();
    view.ShowText = ckViewText->isChecked();
    view.Rotation = RB1->isChecked() ? 0 : RB2->isChecked() ? 90 : RB3->isChecked() ? 180 : 270;
}

bool editPdf417View(Tfr2BarCodePDFView& view, tmpl::DesignerContext& context) {
    Tfr2BarCodePDFForm form(&context, context.Window());
    form.Load(view);
    if (ui::dialogs().exec(form) != QDialog::Accepted)
        return false;
    context.AddUndoPoint();
    form.Store(view);
    return true;
}

} // namespace mirel::pdf417
