#include "engine/ui/TfrPasswForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace mirel::engine {

TfrPasswForm::TfrPasswForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frPasswForm"));
    setWindowTitle(QStringLiteral("Password"));
    auto* label = new QLabel(QStringLiteral("请输入密码:"), this);
    label->setObjectName(QStringLiteral("Label1"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setEchoMode(QLineEdit::Password);
    Button1 = new QPushButton(QStringLiteral("确定"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("取消"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(Edit1);
    layout->addLayout(buttons);
    setFixedWidth(260);
}

AnsiString TfrPasswForm::Password() const { return core::fromUnicode(Edit1->text()); }

} // namespace mirel::engine
