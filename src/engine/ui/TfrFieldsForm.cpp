#include "engine/ui/TfrFieldsForm.h"

#include "core/ui/Dialogs.h"
#include "engine/FieldReference.h"
#include "engine/ui/DesignerDialogParts.h"
#include "engine/ui/TfrExprForm.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace mirel::engine::ui {

TfrFieldsForm::TfrFieldsForm(const std::vector<DataFieldSource>& datasets, QWidget* parent)
    : QDialog(parent), m_datasets(datasets) {
    setObjectName(QStringLiteral("frFieldsForm"));
    setWindowTitle(QStringLiteral("选择数据字段"));
    setFont(designerDialogFont());

    auto* datasetLabel = new QLabel(QStringLiteral("数据集(&D):"), this);
    DatasetBox = new QComboBox(this);
    DatasetBox->setObjectName(QStringLiteral("DatasetBox"));
    for (const DataFieldSource& d : m_datasets)
        DatasetBox->addItem(d.dataset);
    datasetLabel->setBuddy(DatasetBox);
    auto* fieldLabel = new QLabel(QStringLiteral("字段(&F):"), this);
    FieldList = new QListWidget(this);
    FieldList->setObjectName(QStringLiteral("FieldList"));
    fieldLabel->setBuddy(FieldList);

    const OkCancel buttons = addOkCancel(*this);
    OkButton = buttons.ok;
    CancelButton = buttons.cancel;
    connect(OkButton, &QPushButton::clicked, this, [this] {
        if (FieldList->currentItem())
            accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(datasetLabel);
    layout->addWidget(DatasetBox);
    layout->addWidget(fieldLabel);
    layout->addWidget(FieldList, 1);
    layout->addLayout(buttons.row);
    resize(280, 320);

    connect(DatasetBox, &QComboBox::currentIndexChanged, this, &TfrFieldsForm::showDataset);
    connect(FieldList, &QListWidget::itemDoubleClicked, this, [this] { OkButton->click(); });
    connect(FieldList, &QListWidget::currentRowChanged, this,
            [this] { OkButton->setEnabled(FieldList->currentItem() != nullptr); });
    showDataset(DatasetBox->currentIndex());
}

void TfrFieldsForm::showDataset(int index) {
    FieldList->clear();
    if (index >= 0 && index < static_cast<int>(m_datasets.size()))
        FieldList->addItems(m_datasets[static_cast<size_t>(index)].fields);
    OkButton->setEnabled(false);
}

void TfrFieldsForm::Select(const AnsiString& reference) {
    const auto parsed = parseFieldReference(reference);
    if (!parsed)
        return;
    const int d = DatasetBox->findText(uni(parsed->dataset));
    if (d < 0)
        return;
    DatasetBox->setCurrentIndex(d);
    const auto found = FieldList->findItems(uni(parsed->field), Qt::MatchExactly);
    if (!found.isEmpty())
        FieldList->setCurrentItem(found.front());
}

QString TfrFieldsForm::Reference() const {
    if (!FieldList->currentItem() || DatasetBox->currentIndex() < 0)
        return {};
    return fieldReferenceText(DatasetBox->currentText(), FieldList->currentItem()->text());
}

bool chooseDataField(QWidget* parent, const std::vector<DataFieldSource>& datasets, AnsiString& field) {
    TfrFieldsForm form(datasets, parent);
    form.Select(field);
    if (mirel::ui::dialogs().exec(form) != QDialog::Accepted || form.Reference().isEmpty())
        return false;
    field = ansi(form.Reference());
    return true;
}

} // namespace mirel::engine::ui
