#include "engine/ui/TfrMemoForm.h"

#include "core/ui/Dialogs.h"
#include "engine/DisplayFormat.h"
#include "engine/ui/DesignerDialogParts.h"
#include "template/BuiltinViews.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace mirel::engine::ui {
namespace {

constexpr int kCustomSubFormat = 4;   // the object's format text

// The sub-formats of each display format category, in their stored order.
QStringList subFormats(int category) {
    switch (static_cast<FormatCategory>(category)) {
    case FormatCategory::Text: return {QStringLiteral("文本")};
    case FormatCategory::Number:
        return {QStringLiteral("##0.##"), QStringLiteral("0.00 (固定小数)"), QStringLiteral("#,##0.##"),
                QStringLiteral("#,##0.00 (千位分隔)"), QStringLiteral("自定义")};
    case FormatCategory::Date:
        return {QStringLiteral("yy.mm.dd"), QStringLiteral("yyyy.mm.dd"), QStringLiteral("yyyy年mm月dd日"),
                QStringLiteral("长日期 (yyyy年m月d日)"), QStringLiteral("自定义")};
    case FormatCategory::Time:
        return {QStringLiteral("hh:nn:ss"), QStringLiteral("h:nn:ss"), QStringLiteral("hh:nn"),
                QStringLiteral("h:nn"), QStringLiteral("自定义")};
    case FormatCategory::Boolean:
        return {QStringLiteral("0;1"), QStringLiteral("否;是"), QStringLiteral("_;x"), QStringLiteral("假;真"),
                QStringLiteral("自定义")};
    }
    return {};
}

QComboBox* combo(QWidget* parent, const char* name, const QStringList& items) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    return box;
}

} // namespace

TfrMemoForm::TfrMemoForm(const ExpressionSources& sources, QWidget* parent) : QDialog(parent), m_sources(sources) {
    setObjectName(QStringLiteral("frMemoForm"));
    setWindowTitle(QStringLiteral("文本编辑器"));
    setFont(designerDialogFont());

    auto* textLabel = new QLabel(QStringLiteral("文本(&T):"), this);
    MemoEdit = new QPlainTextEdit(this);
    MemoEdit->setObjectName(QStringLiteral("MemoEdit"));
    MemoEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    textLabel->setBuddy(MemoEdit);
    ExprButton = new QPushButton(QStringLiteral("插入表达式(&E)..."), this);
    ExprButton->setObjectName(QStringLiteral("ExprButton"));

    auto* fontGroup = new QGroupBox(QStringLiteral("字体"), this);
    FontLabel = new QLabel(fontGroup);
    FontLabel->setObjectName(QStringLiteral("FontLabel"));
    FontButton = new QPushButton(QStringLiteral("字体(&F)..."), fontGroup);
    FontButton->setObjectName(QStringLiteral("FontButton"));
    ColorButton = new QPushButton(QStringLiteral("颜色(&C)..."), fontGroup);
    ColorButton->setObjectName(QStringLiteral("ColorButton"));
    auto* fontRow = new QHBoxLayout(fontGroup);
    fontRow->addWidget(FontLabel, 1);
    fontRow->addWidget(FontButton);
    fontRow->addWidget(ColorButton);

    auto* alignGroup = new QGroupBox(QStringLiteral("对齐"), this);
    HAlignBox = combo(alignGroup, "HAlignBox",
                      {QStringLiteral("左对齐"), QStringLiteral("右对齐"), QStringLiteral("居中"),
                       QStringLiteral("两端对齐")});
    VAlignBox = combo(alignGroup, "VAlignBox", {QStringLiteral("顶端"), QStringLiteral("居中"), QStringLiteral("底端")});
    RotatedBox = new QCheckBox(QStringLiteral("旋转 90°"), alignGroup);
    RotatedBox->setObjectName(QStringLiteral("RotatedBox"));
    WordWrapBox = new QCheckBox(QStringLiteral("自动换行"), alignGroup);
    WordWrapBox->setObjectName(QStringLiteral("WordWrapBox"));
    auto* alignForm = new QFormLayout(alignGroup);
    alignForm->addRow(QStringLiteral("水平:"), HAlignBox);
    alignForm->addRow(QStringLiteral("垂直:"), VAlignBox);
    alignForm->addRow(RotatedBox);
    alignForm->addRow(WordWrapBox);

    auto* formatGroup = new QGroupBox(QStringLiteral("显示格式"), this);
    FormatCategoryBox = combo(formatGroup, "FormatCategoryBox",
                              {QStringLiteral("文本"), QStringLiteral("数字"), QStringLiteral("日期"),
                               QStringLiteral("时间"), QStringLiteral("逻辑")});
    FormatBox = combo(formatGroup, "FormatBox", {});
    DecimalsBox = new QSpinBox(formatGroup);
    DecimalsBox->setObjectName(QStringLiteral("DecimalsBox"));
    DecimalsBox->setRange(0, 18);
    SeparatorEdit = new QLineEdit(formatGroup);
    SeparatorEdit->setObjectName(QStringLiteral("SeparatorEdit"));
    SeparatorEdit->setMaxLength(1);
    SeparatorEdit->setMaximumWidth(40);
    FormatTextEdit = new QLineEdit(formatGroup);
    FormatTextEdit->setObjectName(QStringLiteral("FormatTextEdit"));
    auto* formatForm = new QFormLayout(formatGroup);
    formatForm->addRow(QStringLiteral("类别:"), FormatCategoryBox);
    formatForm->addRow(QStringLiteral("格式:"), FormatBox);
    formatForm->addRow(QStringLiteral("小数位数:"), DecimalsBox);
    formatForm->addRow(QStringLiteral("小数点:"), SeparatorEdit);
    formatForm->addRow(QStringLiteral("自定义:"), FormatTextEdit);

    const OkCancel buttons = addOkCancel(*this);
    OkButton = buttons.ok;
    CancelButton = buttons.cancel;
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* textRow = new QHBoxLayout;
    textRow->addWidget(textLabel);
    textRow->addStretch();
    textRow->addWidget(ExprButton);
    auto* lower = new QHBoxLayout;
    lower->addWidget(alignGroup);
    lower->addWidget(formatGroup, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(textRow);
    layout->addWidget(MemoEdit, 1);
    layout->addWidget(fontGroup);
    layout->addLayout(lower);
    layout->addLayout(buttons.row);
    resize(520, 480);

    connect(ExprButton, &QPushButton::clicked, this, &TfrMemoForm::ExprButtonClick);
    connect(FontButton, &QPushButton::clicked, this, &TfrMemoForm::FontButtonClick);
    connect(ColorButton, &QPushButton::clicked, this, &TfrMemoForm::ColorButtonClick);
    connect(FormatCategoryBox, &QComboBox::currentIndexChanged, this, [this](int category) {
        fillFormats(category);
        FormatBox->setCurrentIndex(0);
        updateFormatControls();
    });
    connect(FormatBox, &QComboBox::currentIndexChanged, this, &TfrMemoForm::updateFormatControls);
    MemoEdit->setFocus();
}

void TfrMemoForm::fillFormats(int category) {
    const QSignalBlocker block(FormatBox);
    FormatBox->clear();
    FormatBox->addItems(subFormats(category));
}

void TfrMemoForm::updateFormatControls() {
    const int category = FormatCategoryBox->currentIndex();
    const bool number = category == int(FormatCategory::Number);
    DecimalsBox->setEnabled(number && FormatBox->currentIndex() != kCustomSubFormat);
    SeparatorEdit->setEnabled(number);
    FormatTextEdit->setEnabled(category > 0 && FormatBox->currentIndex() == kCustomSubFormat);
}

void TfrMemoForm::updateFontLabel() {
    QStringList parts{m_font.family(), QStringLiteral("%1 磅").arg(m_font.pointSize())};
    if (m_font.bold())
        parts << QStringLiteral("粗体");
    if (m_font.italic())
        parts << QStringLiteral("斜体");
    FontLabel->setText(parts.join(QStringLiteral(", ")));
    QPalette palette = FontLabel->palette();
    palette.setColor(QPalette::WindowText, storedToQColor(m_fontColor));
    FontLabel->setPalette(palette);
}

void TfrMemoForm::Load(const tmpl::TfrMemoView& memo) {
    QStringList lines;
    for (const AnsiString& line : memo.Memo)
        lines << uni(line);
    MemoEdit->setPlainText(lines.join(QLatin1Char('\n')));

    m_font = QFont(uni(memo.FontName));
    m_font.setPointSize(memo.FontSize > 0 ? memo.FontSize : 10);
    m_font.setItalic(memo.FontStyle & tmpl::kFontItalic);
    m_font.setBold(memo.FontStyle & tmpl::kFontBold);
    m_font.setUnderline(memo.FontStyle & tmpl::kFontUnderline);
    m_font.setStrikeOut(memo.FontStyle & tmpl::kFontStrikeOut);
    m_fontColor = memo.FontColor;
    updateFontLabel();

    HAlignBox->setCurrentIndex(memo.Alignment & 3);
    const int vertical = (memo.Alignment >> 3) & 3;
    VAlignBox->setCurrentIndex(vertical < 3 ? vertical : -1);
    RotatedBox->setChecked(memo.Alignment & 4);
    WordWrapBox->setChecked(memo.Flags & tmpl::kWordWrap);

    // A category or sub-format the lists do not hold (a damaged template)
    // selects nothing and is kept unless one is chosen.
    m_loadedFormat = memo.Format;
    const int category = formatCategory(memo.Format);
    {
        const QSignalBlocker block(FormatCategoryBox);
        FormatCategoryBox->setCurrentIndex(category <= int(FormatCategory::Boolean) ? category : -1);
    }
    fillFormats(FormatCategoryBox->currentIndex());
    const int sub = formatSubFormat(memo.Format);
    FormatBox->setCurrentIndex(sub < FormatBox->count() ? sub : -1);
    DecimalsBox->setValue(formatDecimals(memo.Format));
    const char separator = formatSeparator(memo.Format);
    SeparatorEdit->setText(separator ? QString(QLatin1Char(separator)) : QStringLiteral("."));
    FormatTextEdit->setText(uni(memo.FormatStr));
    updateFormatControls();
}

void TfrMemoForm::Store(tmpl::TfrMemoView& memo) const {
    memo.Memo.clear();
    const QString text = MemoEdit->toPlainText();
    if (!text.isEmpty())
        for (const QString& line : text.split(QLatin1Char('\n')))
            memo.Memo.push_back(ansi(line));

    memo.FontName = ansi(m_font.family());
    memo.FontSize = m_font.pointSize() > 0 ? m_font.pointSize() : memo.FontSize;
    memo.FontStyle = static_cast<std::uint16_t>((m_font.italic() ? tmpl::kFontItalic : 0)
                                                | (m_font.bold() ? tmpl::kFontBold : 0)
                                                | (m_font.underline() ? tmpl::kFontUnderline : 0)
                                                | (m_font.strikeOut() ? tmpl::kFontStrikeOut : 0));
    memo.FontColor = m_fontColor;

    std::int32_t alignment = memo.Alignment & ~0x1F;   // bits the editor does not show stay
    alignment |= HAlignBox->currentIndex() & 3;
    if (RotatedBox->isChecked())
        alignment |= 4;
    alignment |= (VAlignBox->currentIndex() < 0 ? (memo.Alignment >> 3) & 3 : VAlignBox->currentIndex()) << 3;
    memo.Alignment = alignment;
    memo.Flags = static_cast<std::uint16_t>(WordWrapBox->isChecked() ? (memo.Flags | tmpl::kWordWrap)
                                                                     : (memo.Flags & ~tmpl::kWordWrap));

    const int category = FormatCategoryBox->currentIndex();
    if (category >= 0) {
        const int sub = FormatBox->currentIndex() >= 0 ? FormatBox->currentIndex() : formatSubFormat(m_loadedFormat);
        const QString separator = SeparatorEdit->text();
        const char sep = separator.size() == 1 && separator[0].unicode() < 0x80 && separator[0] != QLatin1Char(' ')
                             ? static_cast<char>(separator[0].unicode())
                             : '.';
        memo.Format = makeDisplayFormat(static_cast<FormatCategory>(category), category == 0 ? 0 : sub,
                                        DecimalsBox->value(), sep);
    }
    memo.FormatStr = ansi(FormatTextEdit->text());
}

void TfrMemoForm::ExprButtonClick() {
    AnsiString expression;
    if (chooseExpression(this, m_sources, expression) && !expression.empty()) {
        MemoEdit->insertPlainText(uni(expression));
        MemoEdit->setFocus();
    }
}

void TfrMemoForm::FontButtonClick() {
    QFontDialog dialog(m_font, this);
    dialog.setObjectName(QStringLiteral("FontDialog"));
    if (mirel::ui::dialogs().exec(dialog) != QDialog::Accepted)
        return;
    m_font = dialog.currentFont();
    updateFontLabel();
}

void TfrMemoForm::ColorButtonClick() {
    QColorDialog dialog(storedToQColor(m_fontColor), this);
    dialog.setObjectName(QStringLiteral("ColorDialog"));
    if (mirel::ui::dialogs().exec(dialog) != QDialog::Accepted)
        return;
    m_fontColor = qColorToStored(dialog.currentColor());
    updateFontLabel();
}

bool editMemo(QWidget* parent, tmpl::TfrMemoView& memo, const ExpressionSources& sources) {
    TfrMemoForm form(sources, parent);
    form.Load(memo);
    if (mirel::ui::dialogs().exec(form) != QDialog::Accepted)
        return false;
    QJsonObject before;
    memo.DescribeJson(before);
    form.Store(memo);
    QJsonObject after;
    memo.DescribeJson(after);
    return before != after;
}

} // namespace mirel::engine::ui
