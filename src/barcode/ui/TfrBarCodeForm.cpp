#include "barcode/ui/TfrBarCodeForm.h"

#include "barcode/TfrBarCodeView.h"
#include "barcode/TfrBarcode.h"
#include "core/Numbers.h"
#include "core/ui/Dialogs.h"
#include "template/TfrView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <cmath>

namespace mirel::barcode {
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

TfrBarCodeForm::TfrBarCodeForm(tmpl::DesignerContext* context, QWidget* parent)
    : QDialog(parent), m_context(context) {
    setObjectName(QStringLiteral("frBarCodeForm"));
    setWindowTitle(QStringLiteral("条码编辑器"));
    setFont(dialogFont());
    setFixedSize(269, 249);

    Label1 = label(this, "Label1", 8, 8, 120, QStringLiteral("代码(&C)"));
    M1 = make<QLineEdit>(this, "M1", 8, 24, 232, 21, QStringLiteral("0"));
    M1Button = make<QToolButton>(this, "M1Button", 240, 24, 21, 21);
    M1Button->setText(QStringLiteral("…"));
    M1Button->setToolTip(QStringLiteral("插入表达式"));
    M1Button->setEnabled(m_context != nullptr);
    Label1->setBuddy(M1);

    Label2 = label(this, "Label2", 8, 52, 120, QStringLiteral("条码类型(&T)"));
    cbType = make<QComboBox>(this, "cbType", 8, 68, 253, 22);
    for (const BarcodeTypeInfo& type : kBarcodeTypes)
        cbType->addItem(QString::fromLatin1(type.name.data(), static_cast<qsizetype>(type.name.size())));
    cbType->setCurrentIndex(0);
    cbType->setMaxVisibleItems(12);
    Label2->setBuddy(cbType);

    GroupBox1 = make<QGroupBox>(this, "GroupBox1", 8, 100, 253, 61, QStringLiteral("选项"));
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

    GroupBox2 = make<QGroupBox>(this, "GroupBox2", 8, 168, 253, 41, QStringLiteral("旋转"));
    RB1 = make<QRadioButton>(GroupBox2, "RB1", 8, 16, 60, 17, QStringLiteral("0"));
    RB2 = make<QRadioButton>(GroupBox2, "RB2", 72, 16, 60, 17, QStringLiteral("90"));
    RB3 = make<QRadioButton>(GroupBox2, "RB3", 136, 16, 60, 17, QStringLiteral("180"));
    RB4 = make<QRadioButton>(GroupBox2, "RB4", 200, 16, 50, 17, QStringLiteral("270"));
    RB1->setChecked(true);

    bOk = make<QPushButton>(this, "bOk", 108, 219, 75, 25, QStringLiteral("确认"));
    bOk->setDefault(true);
    bCancel = make<QPushButton>(this, "bCancel", 188, 219, 75, 25, QStringLiteral("取消"));

    setTabOrder(M1, cbType);
    setTabOrder(cbType, ckCheckSum);
    setTabOrder(ckCheckSum, ckViewText);
    setTabOrder(ckViewText, eZoom);
    setTabOrder(eZoom, RB1);
    setTabOrder(RB1, bOk);
    setTabOrder(bOk, bCancel);

    connect(M1Button, &QToolButton::clicked, this, &TfrBarCodeForm::ExprBtnClick);
    connect(frSpeedButton1, &QToolButton::clicked, this, &TfrBarCodeForm::frSpeedButton1Click);
    connect(frSpeedButton2, &QToolButton::clicked, this, &TfrBarCodeForm::frSpeedButton2Click);
    connect(bOk, &QPushButton::clicked, this, &TfrBarCodeForm::bOkClick);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrBarCodeForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TfrBarCodeForm::FormActivate() { M1->setFocus(); }

void TfrBarCodeForm::ExprBtnClick() {
    if (!m_context)
        return;
    AnsiString expression;
    if (m_context->ChooseExpression(expression) && !expression.empty())
        M1->setText(core::toUnicode(expression));
}

std::optional<double> TfrBarCodeForm::ZoomValue() const {
    const auto value = fieldNumber(*eZoom);
    if (!value || *value <= 0 || *value > kMaxZoom)
        return std::nullopt;
    return value;
}

std::optional<double> TfrBarCodeForm::zoomOrComplain() {
    const auto value = fieldNumber(*eZoom);
    if (!value)
        ui::dialogs().message(this, QStringLiteral("'%1' is not a valid floating point value").arg(eZoom->text()),
                              QStringLiteral("错误"), ui::MessageIcon::Error);
    return value;
}

void TfrBarCodeForm::frSpeedButton1Click() {
    if (const auto value = zoomOrComplain())
        eZoom->setText(QString::fromStdString(core::formatGeneral(std::min(*value + 1, kMaxZoom))));
}

void TfrBarCodeForm::frSpeedButton2Click() {
    if (const auto value = zoomOrComplain()) {
        double v = *value - 1;
        if (!(v > 0))
            v = 1;
        eZoom->setText(QString::fromStdString(core::formatGeneral(v)));
    }
}

void TfrBarCodeForm::bOkClick() {
    // A literal text is drawn once on a small image, only to find out whether
    // the symbology takes it; an expression is evaluated per label and not
    // tested here.
    const AnsiString text = core::fromUnicode(M1->text());
    if (text.empty() || text.front() != '[') {
        TfrBarcode generator;
        generator.SetText(text);
        generator.SetChecksum(ckCheckSum->isChecked());
        generator.SetTyp(static_cast<TfrBarcodeType>(cbType->currentIndex() < 0 ? 0xFF : cbType->currentIndex()));
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        try {
            generator.DrawSymbol(painter);
        } catch (const std::exception&) {
            painter.end();
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

void TfrBarCodeForm::Load(const TfrBarCodeView& view) {
    if (!view.Memo.empty())
        M1->setText(core::toUnicode(view.Memo.front()));
    // A type number beyond the list (a damaged template) selects nothing; it is
    // kept unless a type is chosen.
    cbType->setCurrentIndex(isKnownType(static_cast<TfrBarcodeType>(view.BarType)) ? view.BarType : -1);
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

void TfrBarCodeForm::Store(TfrBarCodeView& view) const {
    view.Memo = {core::fromUnicode(M1->text())};
    if (const auto zoom = ZoomValue())
        view.Zoom = *zoom;
    view.CalcCheckSum = ckCheckSum->isChecked();
    view.ShowText = ckViewText->isChecked();
    if (cbType->currentIndex() >= 0)
        view.BarType = static_cast<std::uint8_t>(cbType->currentIndex());
    view.Rotation = RB1->isChecked() ? 0 : RB2->isChecked() ? 90 : RB3->isChecked() ? 180 : 270;
}

bool editBarcodeView(TfrBarCodeView& view, tmpl::DesignerContext& context) {
    TfrBarCodeForm form(&context, context.Window());
    form.Load(view);
    if (ui::dialogs().exec(form) != QDialog::Accepted)
        return false;
    context.AddUndoPoint();
    form.Store(view);
    return true;
}

} // namespace mirel::barcode
