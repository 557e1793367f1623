#include "engine/ui/TfrVarForm.h"

#include "core/ui/Dialogs.h"
#include "engine/ui/DesignerDialogParts.h"
#include "template/TfrDataDictionary.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace mirel::engine::ui {
namespace {

constexpr int kIsCategory = Qt::UserRole;

bool isCategory(const QTreeWidgetItem* item) { return item && item->data(0, kIsCategory).toBool(); }

QTreeWidgetItem* categoryItem(const QString& name) {
    auto* item = new QTreeWidgetItem({name});
    item->setData(0, kIsCategory, true);
    QFont bold = item->font(0);
    bold.setBold(true);
    item->setFont(0, bold);
    return item;
}

QTreeWidgetItem* variableItem(const QString& name, const QString& value) {
    return new QTreeWidgetItem({name, value});
}

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

} // namespace

TfrVarForm::TfrVarForm(const ExpressionSources& sources, QWidget* parent) : QDialog(parent), m_sources(sources) {
    setObjectName(QStringLiteral("frVarForm"));
    setWindowTitle(QStringLiteral("数据字典"));
    setFont(designerDialogFont());

    VarTree = new QTreeWidget(this);
    VarTree->setObjectName(QStringLiteral("VarTree"));
    VarTree->setHeaderLabels({QStringLiteral("变量"), QStringLiteral("值")});
    VarTree->setRootIsDecorated(true);
    VarTree->header()->setStretchLastSection(true);
    VarTree->setColumnWidth(0, 150);

    NameEdit = new QLineEdit(this);
    NameEdit->setObjectName(QStringLiteral("NameEdit"));
    ValueEdit = new QLineEdit(this);
    ValueEdit->setObjectName(QStringLiteral("ValueEdit"));
    ExprButton = button(this, "ExprButton", QStringLiteral("…"));
    ExprButton->setToolTip(QStringLiteral("插入表达式"));
    ExprButton->setFixedWidth(32);
    auto* valueRow = new QHBoxLayout;
    valueRow->addWidget(ValueEdit, 1);
    valueRow->addWidget(ExprButton);
    auto* editForm = new QFormLayout;
    auto* nameLabel = new QLabel(QStringLiteral("名称(&N):"), this);
    nameLabel->setBuddy(NameEdit);
    auto* valueLabel = new QLabel(QStringLiteral("值(&V):"), this);
    valueLabel->setBuddy(ValueEdit);
    editForm->addRow(nameLabel, NameEdit);
    editForm->addRow(valueLabel, valueRow);

    AddCategoryButton = button(this, "AddCategoryButton", QStringLiteral("新建分类(&C)"));
    AddVariableButton = button(this, "AddVariableButton", QStringLiteral("新建变量(&A)"));
    DeleteButton = button(this, "DeleteButton", QStringLiteral("删除(&D)"));
    auto* side = new QVBoxLayout;
    side->addWidget(AddCategoryButton);
    side->addWidget(AddVariableButton);
    side->addWidget(DeleteButton);
    side->addStretch();
    auto* upper = new QHBoxLayout;
    upper->addWidget(VarTree, 1);
    upper->addLayout(side);

    const OkCancel buttons = addOkCancel(*this);
    OkButton = buttons.ok;
    CancelButton = buttons.cancel;
    connect(OkButton, &QPushButton::clicked, this, [this] {
        const QString problem = Problem();
        if (problem.isEmpty()) {
            accept();
            return;
        }
        mirel::ui::dialogs().message(this, problem, QStringLiteral("错误"), mirel::ui::MessageIcon::Error);
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(upper, 1);
    layout->addLayout(editForm);
    layout->addLayout(buttons.row);
    resize(460, 380);

    connect(VarTree, &QTreeWidget::currentItemChanged, this, &TfrVarForm::currentChanged);
    connect(NameEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (QTreeWidgetItem* item = VarTree->currentItem())
            item->setText(0, text);
    });
    connect(ValueEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (QTreeWidgetItem* item = VarTree->currentItem(); item && !isCategory(item))
            item->setText(1, text);
    });
    connect(AddCategoryButton, &QPushButton::clicked, this, &TfrVarForm::AddCategoryClick);
    connect(AddVariableButton, &QPushButton::clicked, this, &TfrVarForm::AddVariableClick);
    connect(DeleteButton, &QPushButton::clicked, this, &TfrVarForm::DeleteClick);
    connect(ExprButton, &QPushButton::clicked, this, &TfrVarForm::ExprButtonClick);
    currentChanged();
}

void TfrVarForm::currentChanged() {
    QTreeWidgetItem* item = VarTree->currentItem();
    const QSignalBlocker a(NameEdit), b(ValueEdit);
    NameEdit->setEnabled(item != nullptr);
    NameEdit->setText(item ? item->text(0) : QString());
    const bool variable = item && !isCategory(item);
    ValueEdit->setEnabled(variable);
    ExprButton->setEnabled(variable);
    ValueEdit->setText(variable ? item->text(1) : QString());
    DeleteButton->setEnabled(item != nullptr);
}

void TfrVarForm::Load(const tmpl::TfrDataDictionary& dictionary) {
    VarTree->clear();
    QTreeWidgetItem* category = nullptr;
    for (const tmpl::DictionaryEntry& entry : dictionary.Variables) {
        if (!entry.name.empty() && entry.name.front() == ' ') {
            category = categoryItem(uni(entry.name.substr(1)));
            VarTree->addTopLevelItem(category);
            continue;
        }
        QTreeWidgetItem* item = variableItem(uni(entry.name), uni(entry.value));
        if (category)
            category->addChild(item);
        else
            VarTree->addTopLevelItem(item);
    }
    VarTree->expandAll();
    if (VarTree->topLevelItemCount() > 0)
        VarTree->setCurrentItem(VarTree->topLevelItem(0));
}

tmpl::DictionaryList TfrVarForm::Variables() const {
    // Variables of no category first, since everything after a category
    // belongs to it.
    tmpl::DictionaryList list;
    for (int i = 0; i < VarTree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = VarTree->topLevelItem(i);
        if (!isCategory(item))
            list.push_back({ansi(item->text(0).trimmed()), ansi(item->text(1))});
    }
    for (int i = 0; i < VarTree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* category = VarTree->topLevelItem(i);
        if (!isCategory(category))
            continue;
        list.push_back({" " + ansi(category->text(0).trimmed()), {}});
        for (int j = 0; j < category->childCount(); ++j) {
            const QTreeWidgetItem* item = category->child(j);
            list.push_back({ansi(item->text(0).trimmed()), ansi(item->text(1))});
        }
    }
    return list;
}

QString TfrVarForm::Problem() const {
    // Names are stored without outer blanks: a variable whose name began with
    // one would come back as a category.
    QSet<QString> variables, categories;
    for (const tmpl::DictionaryEntry& entry : Variables()) {
        const bool category = !entry.name.empty() && entry.name.front() == ' ';
        const QString name = uni(category ? entry.name.substr(1) : entry.name);
        if (name.isEmpty())
            return category ? QStringLiteral("分类名称不能为空") : QStringLiteral("变量名称不能为空");
        QSet<QString>& used = category ? categories : variables;
        if (used.contains(name))
            return (category ? QStringLiteral("分类名称重复: %1") : QStringLiteral("变量名称重复: %1")).arg(name);
        used.insert(name);
    }
    return {};
}

QString TfrVarForm::unusedName(const QString& base) const {
    QSet<QString> used;
    for (QTreeWidgetItemIterator it(VarTree); *it; ++it)
        used.insert((*it)->text(0));
    for (int n = 1;; ++n)
        if (!used.contains(base + QString::number(n)))
            return base + QString::number(n);
}

void TfrVarForm::AddCategoryClick() {
    QTreeWidgetItem* item = categoryItem(unusedName(QStringLiteral("分类")));
    VarTree->addTopLevelItem(item);
    VarTree->setCurrentItem(item);
    NameEdit->setFocus();
    NameEdit->selectAll();
}

void TfrVarForm::AddVariableClick() {
    QTreeWidgetItem* current = VarTree->currentItem();
    QTreeWidgetItem* category = isCategory(current) ? current : current ? current->parent() : nullptr;
    QTreeWidgetItem* item = variableItem(unusedName(QStringLiteral("变量")), QString());
    if (category) {
        category->addChild(item);
        category->setExpanded(true);
    } else {
        VarTree->addTopLevelItem(item);
    }
    VarTree->setCurrentItem(item);
    NameEdit->setFocus();
    NameEdit->selectAll();
}

void TfrVarForm::DeleteClick() {
    QTreeWidgetItem* item = VarTree->currentItem();
    if (!item)
        return;
    delete item;
    currentChanged();
}

void TfrVarForm::ExprButtonClick() {
    AnsiString value = ansi(ValueEdit->text());
    if (chooseExpression(this, m_sources, value))
        ValueEdit->setText(uni(value));
}

bool editDictionary(QWidget* parent, tmpl::TfrDataDictionary& dictionary, const ExpressionSources& sources) {
    TfrVarForm form(sources, parent);
    form.Load(dictionary);
    if (mirel::ui::dialogs().exec(form) != QDialog::Accepted)
        return false;
    // A scripted answer may confirm without pressing OK: a list that cannot be
    // stored is not stored.
    if (!form.Problem().isEmpty())
        return false;
    tmpl::DictionaryList variables = form.Variables();
    if (variables == dictionary.Variables)
        return false;
    dictionary.Variables = std::move(variables);
    return true;
}

} // namespace mirel::engine::ui
