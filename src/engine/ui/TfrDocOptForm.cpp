#include "engine/ui/TfrDocOptForm.h"

#include "core/ui/Dialogs.h"
#include "engine/ui/DesignerDialogParts.h"
#include "template/TfrReport.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <tuple>

namespace mirel::engine::ui {
namespace {

QLineEdit* line(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QCheckBox* check(QWidget* parent, const char* name, const QString& text) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

// A comment's lines as the template keeps them: CR LF between lines.
QString commentToEdit(const AnsiString& comment) {
    return uni(comment).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
AnsiString commentFromEdit(const QString& text) {
    return ansi(QString(text).replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}

} // namespace

TfrDocOptForm::TfrDocOptForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frDocOptForm"));
    setWindowTitle(QStringLiteral("报表选项"));
    setFont(designerDialogFont());

    auto* printGroup = new QGroupBox(QStringLiteral("打印"), this);
    PrintToDefaultBox = check(printGroup, "PrintToDefaultBox", QStringLiteral("使用默认打印机(&D)"));
    DoublePassBox = check(printGroup, "DoublePassBox", QStringLiteral("两遍报表(&T)"));
    auto* printRows = new QVBoxLayout(printGroup);
    printRows->addWidget(PrintToDefaultBox);
    printRows->addWidget(DoublePassBox);

    auto* infoGroup = new QGroupBox(QStringLiteral("报表信息"), this);
    ReportNameEdit = line(infoGroup, "ReportNameEdit");
    CommentEdit = new QPlainTextEdit(infoGroup);
    CommentEdit->setObjectName(QStringLiteral("CommentEdit"));
    CommentEdit->setFixedHeight(60);
    AuthorEdit = line(infoGroup, "AuthorEdit");
    VMajorEdit = line(infoGroup, "VMajorEdit");
    VMinorEdit = line(infoGroup, "VMinorEdit");
    VReleaseEdit = line(infoGroup, "VReleaseEdit");
    VBuildEdit = line(infoGroup, "VBuildEdit");
    auto* version = new QHBoxLayout;
    for (QLineEdit* part : {VMajorEdit, VMinorEdit, VReleaseEdit, VBuildEdit}) {
        part->setMaximumWidth(56);
        version->addWidget(part);
    }
    version->addStretch();
    auto* infoForm = new QFormLayout(infoGroup);
    infoForm->addRow(QStringLiteral("名称:"), ReportNameEdit);
    infoForm->addRow(QStringLiteral("备注:"), CommentEdit);
    infoForm->addRow(QStringLiteral("作者:"), AuthorEdit);
    infoForm->addRow(QStringLiteral("版本:"), version);

    auto* passwordGroup = new QGroupBox(QStringLiteral("密码"), this);
    PasswordBox = check(passwordGroup, "PasswordBox", QStringLiteral("打开时要求密码(&P)"));
    PasswordEdit = line(passwordGroup, "PasswordEdit");
    PasswordEdit->setEchoMode(QLineEdit::Password);
    auto* passwordForm = new QFormLayout(passwordGroup);
    passwordForm->addRow(PasswordBox);
    passwordForm->addRow(QStringLiteral("密码:"), PasswordEdit);

    const OkCancel buttons = addOkCancel(*this);
    OkButton = buttons.ok;
    CancelButton = buttons.cancel;
    connect(OkButton, &QPushButton::clicked, this, [this] {
        if (passwordUsable())
            accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(printGroup);
    layout->addWidget(infoGroup);
    layout->addWidget(passwordGroup);
    layout->addLayout(buttons.row);
    resize(380, layout->sizeHint().height());
}

bool TfrDocOptForm::passwordUsable() {
    // A protected template with an empty password would ask for a password
    // nobody set; one longer than the file's field would be cut on saving and
    // never match again.
    const AnsiString password = ansi(PasswordEdit->text());
    QString problem;
    if (PasswordBox->isChecked() && password.empty())
        problem = QStringLiteral("请输入密码");
    else if (password.size() > 0xFFFF / 2)
        problem = QStringLiteral("密码太长");
    if (problem.isEmpty())
        return true;
    mirel::ui::dialogs().message(this, problem, QStringLiteral("错误"), mirel::ui::MessageIcon::Error);
    PasswordEdit->setFocus();
    return false;
}

void TfrDocOptForm::Load(const tmpl::TfrReport& report) {
    PrintToDefaultBox->setChecked(report.PrintToDefault);
    DoublePassBox->setChecked(report.DoublePass);
    ReportNameEdit->setText(uni(report.ReportName));
    CommentEdit->setPlainText(commentToEdit(report.Comment));
    AuthorEdit->setText(uni(report.Author));
    VMajorEdit->setText(uni(report.VMajor));
    VMinorEdit->setText(uni(report.VMinor));
    VReleaseEdit->setText(uni(report.VRelease));
    VBuildEdit->setText(uni(report.VBuild));
    PasswordBox->setChecked(report.PasswordProtected != 0);
    PasswordEdit->setText(uni(report.Password));
}

void TfrDocOptForm::Store(tmpl::TfrReport& report) const {
    report.PrintToDefault = PrintToDefaultBox->isChecked();
    report.DoublePass = DoublePassBox->isChecked();
    report.ReportName = ansi(ReportNameEdit->text());
    report.Comment = commentFromEdit(CommentEdit->toPlainText());
    report.Author = ansi(AuthorEdit->text());
    report.VMajor = ansi(VMajorEdit->text());
    report.VMinor = ansi(VMinorEdit->text());
    report.VRelease = ansi(VReleaseEdit->text());
    report.VBuild = ansi(VBuildEdit->text());
    // The flag keeps a value other than 1 that a template stored, while it stays set.
    if (!PasswordBox->isChecked())
        report.PasswordProtected = 0;
    else if (report.PasswordProtected == 0)
        report.PasswordProtected = 1;
    report.Password = ansi(PasswordEdit->text());
}

bool editReportOptions(QWidget* parent, tmpl::TfrReport& report) {
    TfrDocOptForm form(parent);
    form.Load(report);
    if (mirel::ui::dialogs().exec(form) != QDialog::Accepted)
        return false;
    const auto fields = [](const tmpl::TfrReport& r) {
        return std::make_tuple(r.PrintToDefault, r.DoublePass, r.ReportName, r.Comment, r.Author, r.VMajor, r.VMinor,
                               r.VRelease, r.VBuild, r.PasswordProtected, r.Password);
    };
    const auto before = fields(report);
    form.Store(report);
    return fields(report) != before;
}

} // namespace mirel::engine::ui
