#include "engine/ui/TfrExprForm.h"

#include "core/ui/Dialogs.h"
#include "engine/Expression.h"
#include "engine/ui/DesignerDialogParts.h"
#include "template/TfrDataDictionary.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace mirel::engine::ui {
namespace {

// Whether the cursor stands inside a bracketed term of a memo line: more "["
// than "]" before it.
bool insideBracket(const QString& text, int cursor) {
    int depth = 0;
    for (int i = 0; i < cursor && i < text.size(); ++i) {
        if (text[i] == QLatin1Char('['))
            ++depth;
        else if (text[i] == QLatin1Char(']') && depth > 0)
            --depth;
    }
    return depth > 0;
}

} // namespace

QStringList standardSystemVariables() {
    QStringList names;
    for (const char* name : tmpl::kSystemVariableNames)
        if (*name)
            names << QString::fromLatin1(name);
    return names;
}

QStringList standardFunctionHints() {
    return {
        QStringLiteral("IF(condition, then, else)"),   QStringLiteral("STR(x)"),
        QStringLiteral("INT(x)"),                      QStringLiteral("FRAC(x)"),
        QStringLiteral("ABS(x)"),                      QStringLiteral("ROUND(x, decimals)"),
        QStringLiteral("MIN(a, b, ...)"),              QStringLiteral("MAX(a, b, ...)"),
        QStringLiteral("STRTOINT(s)"),                 QStringLiteral("STRTOFLOAT(s)"),
        QStringLiteral("FORMATFLOAT(pattern, x)"),     QStringLiteral("FORMATDATETIME(pattern, date)"),
        QStringLiteral("DATETOSTR(date)"),             QStringLiteral("TIMETOSTR(time)"),
        QStringLiteral("STRTODATE(s)"),                QStringLiteral("DATE()"),
        QStringLiteral("TIME()"),                      QStringLiteral("NOW()"),
        QStringLiteral("ENCODEDATE(year, month, day)"), QStringLiteral("YEAROF(date)"),
        QStringLiteral("MONTHOF(date)"),               QStringLiteral("DAYOF(date)"),
        QStringLiteral("INCMONTH(date, months)"),      QStringLiteral("LENGTH(s)"),
        QStringLiteral("COPY(s, from, count)"),        QStringLiteral("SUBSTR(s, from, count)"),
        QStringLiteral("POS(part, s)"),                QStringLiteral("UPPERCASE(s)"),
        QStringLiteral("LOWERCASE(s)"),                QStringLiteral("TRIM(s)"),
        QStringLiteral("TRIMLEFT(s)"),                 QStringLiteral("TRIMRIGHT(s)"),
    };
}

QString fieldReferenceText(const QString& dataset, const QString& field) {
    return QStringLiteral("[%1.\"%2\"]").arg(dataset, field);
}

TfrExprForm::TfrExprForm(const ExpressionSources& sources, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frExprForm"));
    setWindowTitle(QStringLiteral("表达式"));
    setFont(designerDialogFont());

    m_categories.push_back({QStringLiteral("标签变量"), Kind::Name, {}, sources.labelVariables});
    QStringList dictionary;
    if (sources.dictionary)
        for (const tmpl::DictionaryEntry& entry : sources.dictionary->Variables)
            if (!entry.name.empty() && entry.name.front() != ' ')   // categories are no variables
                dictionary << uni(entry.name);
    m_categories.push_back({QStringLiteral("字典变量"), Kind::Name, {}, dictionary});
    m_categories.push_back({QStringLiteral("系统变量"), Kind::Name, {}, sources.systemVariables});
    for (const DataFieldSource& dataset : sources.datasets)
        m_categories.push_back({dataset.dataset, Kind::Field, dataset.dataset, dataset.fields});
    m_categories.push_back({QStringLiteral("函数"), Kind::Function, {}, sources.functions});

    auto* exprLabel = new QLabel(QStringLiteral("表达式(&E):"), this);
    ExprEdit = new QLineEdit(this);
    ExprEdit->setObjectName(QStringLiteral("ExprEdit"));
    exprLabel->setBuddy(ExprEdit);
    CategoryList = new QListWidget(this);
    CategoryList->setObjectName(QStringLiteral("CategoryList"));
    for (const Category& c : m_categories)
        CategoryList->addItem(c.title);
    ItemList = new QListWidget(this);
    ItemList->setObjectName(QStringLiteral("ItemList"));
    HintLabel = new QLabel(this);
    HintLabel->setObjectName(QStringLiteral("HintLabel"));
    HintLabel->setMinimumHeight(HintLabel->fontMetrics().height() + 4);
    InsertButton = new QPushButton(QStringLiteral("插入(&I)"), this);
    InsertButton->setObjectName(QStringLiteral("InsertButton"));

    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("分类"), this), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("项目"), this), 0, 1);
    lists->addWidget(CategoryList, 1, 0);
    lists->addWidget(ItemList, 1, 1);
    lists->setColumnStretch(0, 2);
    lists->setColumnStretch(1, 3);
    auto* insertRow = new QHBoxLayout;
    insertRow->addWidget(HintLabel, 1);
    insertRow->addWidget(InsertButton);

    const OkCancel buttons = addOkCancel(*this);
    OkButton = buttons.ok;
    CancelButton = buttons.cancel;
    connect(OkButton, &QPushButton::clicked, this, [this] {
        if (const QString problem = Problem(); !problem.isEmpty())
            mirel::ui::dialogs().message(this, problem, QStringLiteral("表达式错误"), mirel::ui::MessageIcon::Error);
        else
            accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(exprLabel);
    layout->addWidget(ExprEdit);
    layout->addLayout(lists, 1);
    layout->addLayout(insertRow);
    layout->addLayout(buttons.row);
    resize(460, 340);

    connect(CategoryList, &QListWidget::currentRowChanged, this, &TfrExprForm::ShowCategory);
    connect(ItemList, &QListWidget::currentRowChanged, this, &TfrExprForm::itemChanged);
    connect(ItemList, &QListWidget::itemDoubleClicked, this, [this] { InsertItem(); });
    connect(InsertButton, &QPushButton::clicked, this, &TfrExprForm::InsertItem);
    CategoryList->setCurrentRow(0);
    ExprEdit->setFocus();
}

QStringList TfrExprForm::Categories() const {
    QStringList titles;
    for (const Category& c : m_categories)
        titles << c.title;
    return titles;
}

QString TfrExprForm::Problem() const {
    // A bracketed term that does not parse would print as "0" on every label;
    // the operator hears of it here instead.
    try {
        BracketText::parse(ansi(ExprEdit->text()));
    } catch (const ExpressionError& e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

void TfrExprForm::ShowCategory(int index) {
    ItemList->clear();
    HintLabel->clear();
    if (index < 0 || index >= static_cast<int>(m_categories.size()))
        return;
    if (CategoryList->currentRow() != index) {
        CategoryList->setCurrentRow(index);   // comes back here through the signal
        return;
    }
    ItemList->addItems(m_categories[static_cast<size_t>(index)].items);
    InsertButton->setEnabled(ItemList->count() > 0);
}

void TfrExprForm::itemChanged() {
    const int c = CategoryList->currentRow();
    const QListWidgetItem* item = ItemList->currentItem();
    if (c < 0 || !item) {
        HintLabel->clear();
        return;
    }
    HintLabel->setText(m_categories[static_cast<size_t>(c)].kind == Kind::Function ? item->text() : QString());
}

void TfrExprForm::InsertItem() {
    const int c = CategoryList->currentRow();
    const QListWidgetItem* item = ItemList->currentItem();
    if (c < 0 || !item)
        return;
    const Category& category = m_categories[static_cast<size_t>(c)];
    switch (category.kind) {
    case Kind::Name:
        InsertText(QStringLiteral("[%1]").arg(item->text()));
        break;
    case Kind::Field:
        InsertText(fieldReferenceText(category.dataset, item->text()));
        break;
    case Kind::Function: {
        // "COPY(s, from, count)" -> "COPY(" and ")", the cursor between.
        const QString hint = item->text();
        const QString name = hint.left(hint.indexOf(QLatin1Char('('))).trimmed();
        const bool inside = insideBracket(ExprEdit->text(), ExprEdit->hasSelectedText() ? ExprEdit->selectionStart()
                                                                                         : ExprEdit->cursorPosition());
        InsertText(inside ? name + QStringLiteral("()") : QStringLiteral("[%1()]").arg(name), inside ? 1 : 2);
        break;
    }
    }
}

void TfrExprForm::InsertText(const QString& text, int cursorBack) {
    ExprEdit->insert(text);
    ExprEdit->setCursorPosition(ExprEdit->cursorPosition() - cursorBack);
    ExprEdit->setFocus();
}

bool chooseExpression(QWidget* parent, const ExpressionSources& sources, AnsiString& text) {
    TfrExprForm form(sources, parent);
    form.ExprEdit->setText(uni(text));
    if (mirel::ui::dialogs().exec(form) != QDialog::Accepted)
        return false;
    text = ansi(form.ExprEdit->text());
    return true;
}

} // namespace mirel::engine::ui
