// The password dialog and the windows' template host.

#include "core/ui/Dialogs.h"
#include "engine/ui/DialogTemplateHost.h"
#include "engine/ui/TfrPasswForm.h"
#include "template/TfrReport.h"

#include "support/TestSupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace mirel;

TEST(TfrPasswForm, AsksForThePassword) {
    engine::TfrPasswForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Password"));
    EXPECT_EQ(form.Edit1->echoMode(), QLineEdit::Password);
    form.Edit1->setText(QStringLiteral("密码"));
    EXPECT_EQ(form.Password(), test::ansi("密码"));
}

TEST(TfrPasswForm, HostAnswersThroughTheDialogs) {
    ui::ScriptedDialogs dialogs;
    engine::DialogTemplateHost host;
    dialogs.answerDialog([](QDialog& dialog) {
        auto& form = dynamic_cast<engine::TfrPasswForm&>(dialog);
        form.Edit1->setText(QStringLiteral("abc"));
        form.Button1->click();
        return dialog.result();
    });
    EXPECT_EQ(host.AskPassword(), std::optional<AnsiString>("abc"));
    dialogs.answerDialog([](QDialog& dialog) {
        dynamic_cast<engine::TfrPasswForm&>(dialog).Button2->click();
        return dialog.result();
    });
    EXPECT_EQ(host.AskPassword(), std::nullopt);
    EXPECT_EQ(dialogs.dialogsShown(), (QStringList{QStringLiteral("frPasswForm"), QStringLiteral("frPasswForm")}));

    host.ShowError(tmpl::kUnsupportedFormat, tmpl::kErrorCaption);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, QStringLiteral("不支持的FRF格式"));
    EXPECT_EQ(dialogs.messages()[0].caption, QStringLiteral("错误"));
    EXPECT_EQ(dialogs.messages()[0].icon, ui::MessageIcon::Error);
}

TEST(TfrPasswForm, ProtectedTemplateOpenedFromAFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("locked.frf"));
    tmpl::TfrReport report;
    report.Pages.Add();
    report.Pages.Add();
    report.Password = "abc";
    report.PasswordProtected = 1;
    report.SaveToFile(path);

    ui::ScriptedDialogs dialogs;
    engine::DialogTemplateHost host;
    dialogs.answerDialog([](QDialog& dialog) {
        dynamic_cast<engine::TfrPasswForm&>(dialog).Edit1->setText(QStringLiteral("wrong"));
        return static_cast<int>(QDialog::Accepted);
    });
    tmpl::TfrReport opened;
    EXPECT_TRUE(opened.LoadFromFile(path, host));
    EXPECT_EQ(opened.Pages.Count(), 1u);
    EXPECT_EQ(opened.FileName, QStringLiteral("Untitled"));
    EXPECT_TRUE(dialogs.messages().empty());
}
