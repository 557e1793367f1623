#include "core/ui/Dialogs.h"

#include <QDialog>
#include <gtest/gtest.h>

using namespace mirel::ui;

TEST(Dialogs, StoredFiltersBecomeQtNameFilters) {
    EXPECT_EQ(qtNameFilter(QStringLiteral("条形码文件(*.frf)|*.frf")), QStringLiteral("条形码文件(*.frf)"));
    EXPECT_EQ(qtNameFilter(QStringLiteral("TXT|*.TXT")), QStringLiteral("TXT (*.TXT)"));
    EXPECT_EQ(qtNameFilter(QStringLiteral("防伪码数据库|*.mdb|All|*.*")), QStringLiteral("防伪码数据库 (*.mdb);;All (*.*)"));
}

TEST(Dialogs, ScriptedAnswersInOrderAndRecordsQuestions) {
    ScriptedDialogs script;
    EXPECT_EQ(&dialogs(), &script);
    script.answerMessage(MessageResult::No);
    script.answerFile(QStringLiteral("/tmp/codes"));
    script.answerFile(std::nullopt);
    EXPECT_EQ(dialogs().message(nullptr, QStringLiteral("a"), QStringLiteral("提示"), MessageIcon::Question,
                                MessageButtons::YesNo), MessageResult::No);
    EXPECT_EQ(dialogs().message(nullptr, QStringLiteral("b"), QStringLiteral("提示")), MessageResult::Ok);
    FileDialogOptions save{QStringLiteral("保存"), QStringLiteral("x|*.txt"), QStringLiteral("txt"), {}, {}};
    EXPECT_EQ(dialogs().saveFile(nullptr, save), QStringLiteral("/tmp/codes.txt"));   // default extension added
    EXPECT_EQ(dialogs().openFile(nullptr, save), std::nullopt);
    ASSERT_EQ(script.messages().size(), 2u);
    EXPECT_EQ(script.messages()[1].caption, QStringLiteral("提示"));
    ASSERT_EQ(script.fileQuestions().size(), 2u);
    EXPECT_TRUE(script.fileQuestions()[0].save);

    QDialog dialog;
    dialog.setObjectName(QStringLiteral("TfrPasswForm"));
    script.answerDialog([](QDialog&) { return int(QDialog::Accepted); });
    EXPECT_EQ(dialogs().exec(dialog), QDialog::Accepted);
    EXPECT_EQ(dialogs().exec(dialog), QDialog::Rejected);   // unscripted: rejected
    EXPECT_EQ(script.dialogsShown(), (QStringList{QStringLiteral("TfrPasswForm"), QStringLiteral("TfrPasswForm")}));
}

TEST(Dialogs, TheQtDialogsComeBackWhenTheScriptEnds) {
    { ScriptedDialogs script; }
    EXPECT_NE(dynamic_cast<QtDialogs*>(&dialogs()), nullptr);
}
