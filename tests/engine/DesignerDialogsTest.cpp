// The designer's dialogs, each filled and confirmed through scripted dialogs:
// what it shows of its object, what OK stores, what Cancel leaves alone, and
// the entries each refuses.

#include "engine/ui/DesignerDialogs.h"
#include "engine/ui/TfrDocOptForm.h"
#include "engine/ui/TfrExprForm.h"
#include "engine/ui/TfrFieldsForm.h"
#include "engine/ui/TfrMemoForm.h"
#include "engine/ui/TfrPgoptForm.h"
#include "engine/ui/TfrPictureForm.h"
#include "engine/ui/TfrVarForm.h"

#include "engine/DialogCheck.h"
#include "engine/DisplayFormat.h"
#include "engine/Functions.h"
#include "core/ui/Dialogs.h"
#include "support/TestSupport.h"
#include "template/BuiltinViews.h"
#include "template/PictureImage.h"
#include "template/TfrReport.h"

#include <QBuffer>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontDialog>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace mirel::engine::ui;
using mirel::AnsiString;
using mirel::test::ansi;
using mirel::ui::ScriptedDialogs;
namespace tmpl = mirel::tmpl;
namespace engine = mirel::engine;

namespace {

template <class Form>
Form& as(QDialog& dialog) {
    auto* form = qobject_cast<Form*>(&dialog);
    if (!form)
        qFatal("unexpected dialog %s", qPrintable(dialog.objectName()));
    return *form;
}

int press(QPushButton* button) {
    button->click();
    return qobject_cast<QDialog*>(button->window())->result();
}

QString json(const tmpl::TfrView& view) {
    QJsonObject o;
    view.DescribeJson(o);
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

tmpl::TfrDataDictionary sampleDictionary() {
    tmpl::TfrDataDictionary d;
    d.Variables = {{"Plain", "1 + 1"},
                   {ansi(" 批次"), ""},
                   {ansi("批号"), ansi("[编头] + 'B7'")},
                   {"Line", "LINE#"},
                   {" Empty", ""}};
    return d;
}

ExpressionSources sampleSources(const tmpl::TfrDataDictionary* dictionary) {
    ExpressionSources s;
    s.labelVariables = {QStringLiteral("no"), QStringLiteral("条形码编号"), QStringLiteral("编头")};
    s.dictionary = dictionary;
    s.systemVariables = standardSystemVariables();
    s.datasets = {{QStringLiteral("frDBDataSet1"), {QStringLiteral("ID"), QStringLiteral("NO")}},
                  {QStringLiteral("frDBDataSet2"), {QStringLiteral("名称"), QStringLiteral("规格")}}};
    s.functions = standardFunctionHints();
    return s;
}

void selectItem(TfrExprForm& f, const QString& category, const QString& item) {
    f.ShowCategory(int(f.Categories().indexOf(category)));
    const auto found = f.ItemList->findItems(item, Qt::MatchExactly);
    if (found.isEmpty())
        qFatal("no item %s in %s", qPrintable(item), qPrintable(category));
    f.ItemList->setCurrentItem(found.front());
}

void checkLayout(QDialog& dialog, const QString& name) {
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QStringList cut = mirel::test::cutControls(dialog);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
    mirel::test::saveScreenshot(dialog, name);
}

} // namespace

class DesignerDialogsTest : public QObject {
    Q_OBJECT

    tmpl::TfrDataDictionary m_dictionary = sampleDictionary();
    ExpressionSources m_sources = sampleSources(&m_dictionary);

private slots:
    // ---- expression builder

    void expressionBuilderLists() {
        TfrExprForm f(m_sources);
        QCOMPARE(f.Categories(), (QStringList{"标签变量", "字典变量", "系统变量", "frDBDataSet1", "frDBDataSet2", "函数"}));
        f.ShowCategory(1);
        // Dictionary categories are no variables.
        QStringList items;
        for (int i = 0; i < f.ItemList->count(); ++i)
            items << f.ItemList->item(i)->text();
        QCOMPARE(items, (QStringList{"Plain", "批号", "Line"}));
        f.ShowCategory(2);
        QVERIFY(f.ItemList->findItems(QStringLiteral("PAGE#"), Qt::MatchExactly).size() == 1);
        QVERIFY(f.ItemList->findItems(QString(), Qt::MatchExactly).isEmpty());
        selectItem(f, QStringLiteral("函数"), QStringLiteral("COPY(s, from, count)"));
        QCOMPARE(f.HintLabel->text(), QStringLiteral("COPY(s, from, count)"));
        selectItem(f, QStringLiteral("标签变量"), QStringLiteral("编头"));
        QCOMPARE(f.HintLabel->text(), QString());
        checkLayout(f, QStringLiteral("TfrExprForm"));
    }

    // Every function the language knows is offered, by its name.
    void functionHintsNameTheLanguagesFunctions() {
        for (const QString& hint : standardFunctionHints()) {
            const QString name = hint.left(hint.indexOf(QLatin1Char('(')));
            QVERIFY2(engine::findFunction(name.toStdString()), qPrintable(hint));
        }
        QCOMPARE(standardFunctionHints().size(), 32);
    }

    void insertsAtTheCursor_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<int>("selectionLength");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("cursorAfter");
        QTest::newRow("label variable") << "" << 0 << 0 << "标签变量" << "条形码编号" << "[条形码编号]" << 7;
        QTest::newRow("in the middle") << "No.  end" << 4 << 0 << "标签变量" << "编头" << "No. [编头] end" << 8;
        QTest::newRow("replaces a selection") << "A xxx B" << 2 << 3 << "系统变量" << "PAGE#" << "A [PAGE#] B" << 9;
        QTest::newRow("dictionary variable") << "" << 0 << 0 << "字典变量" << "批号" << "[批号]" << 4;
        QTest::newRow("field") << "" << 0 << 0 << "frDBDataSet2" << "名称" << "[frDBDataSet2.\"名称\"]" << 19;
        QTest::newRow("function outside brackets") << "X " << 2 << 0 << "函数" << "COPY(s, from, count)"
                                                   << "X [COPY()]" << 8;
        QTest::newRow("function inside brackets") << "[]" << 1 << 0 << "函数" << "UPPERCASE(s)"
                                                  << "[UPPERCASE()]" << 11;
        QTest::newRow("after a closed bracket") << "[a] " << 4 << 0 << "函数" << "DATE()" << "[a] [DATE()]" << 10;
    }
    void insertsAtTheCursor() {
        QFETCH(QString, text);
        QFETCH(int, cursor);
        QFETCH(int, selectionLength);
        QFETCH(QString, category);
        QFETCH(QString, item);
        QFETCH(QString, result);
        QFETCH(int, cursorAfter);
        TfrExprForm f(m_sources);
        f.ExprEdit->setText(text);
        if (selectionLength)
            f.ExprEdit->setSelection(cursor, selectionLength);
        else
            f.ExprEdit->setCursorPosition(cursor);
        selectItem(f, category, item);
        f.InsertButton->click();
        QCOMPARE(f.ExprEdit->text(), result);
        QCOMPARE(f.ExprEdit->cursorPosition(), cursorAfter);
    }

    void chooseExpressionConfirmsOrLeavesTheText() {
        ScriptedDialogs dialogs;
        AnsiString text = ansi("[编头]-");
        QString shown;
        dialogs.answerDialog([&](QDialog& d) {
            TfrExprForm& f = as<TfrExprForm>(d);
            shown = f.ExprEdit->text();
            f.ExprEdit->end(false);
            selectItem(f, QStringLiteral("标签变量"), QStringLiteral("no"));
            emit f.ItemList->itemDoubleClicked(f.ItemList->currentItem());
            return press(f.OkButton);
        });
        QVERIFY(chooseExpression(nullptr, m_sources, text));
        QCOMPARE(text, ansi("[编头]-[no]"));
        QCOMPARE(shown, QStringLiteral("[编头]-"));
        dialogs.answerDialog([&](QDialog& d) {
            as<TfrExprForm>(d).ExprEdit->setText(QStringLiteral("changed"));
            return press(as<TfrExprForm>(d).CancelButton);
        });
        QVERIFY(!chooseExpression(nullptr, m_sources, text));
        QCOMPARE(text, ansi("[编头]-[no]"));
        QCOMPARE(dialogs.dialogsShown(), (QStringList{"frExprForm", "frExprForm"}));
    }

    void expressionBuilderRefusesATermThatDoesNotParse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("taken");
        QTest::newRow("unclosed call") << "No. [COPY([编头], 1]" << false;
        QTest::newRow("empty term") << "[]" << false;
        QTest::newRow("unknown function") << "[NOSUCH(1)]" << false;
        QTest::newRow("plain text") << "LINE# + 1" << true;
        QTest::newRow("nested terms") << "[IF([数量] > 1, '多', '单')]" << true;
        QTest::newRow("unknown name") << "[whoever]" << true;   // names are known only when printing
    }
    void expressionBuilderRefusesATermThatDoesNotParse() {
        QFETCH(QString, text);
        QFETCH(bool, taken);
        ScriptedDialogs dialogs;
        AnsiString edited = "old";
        dialogs.answerDialog([&](QDialog& d) {
            as<TfrExprForm>(d).ExprEdit->setText(text);
            return press(as<TfrExprForm>(d).OkButton);
        });
        QCOMPARE(chooseExpression(nullptr, m_sources, edited), taken);
        QCOMPARE(edited, taken ? ansi(text.toStdString()) : std::string("old"));
        QCOMPARE(dialogs.messages().size(), size_t(taken ? 0 : 1));
        if (!taken)
            QCOMPARE(dialogs.messages()[0].caption, QStringLiteral("表达式错误"));
    }

    // ---- data-field chooser

    void dataFieldChooser() {
        ScriptedDialogs dialogs;
        AnsiString field = "[frDBDataSet1.\"NO\"]";
        QString preselected;
        dialogs.answerDialog([&](QDialog& d) {
            TfrFieldsForm& f = as<TfrFieldsForm>(d);
            preselected = f.Reference();
            f.DatasetBox->setCurrentIndex(1);
            // No field chosen yet: OK does nothing.
            if (press(f.OkButton) == QDialog::Accepted)
                return int(QDialog::Accepted);
            f.FieldList->setCurrentRow(1);
            return press(f.OkButton);
        });
        QVERIFY(chooseDataField(nullptr, m_sources.datasets, field));
        QCOMPARE(preselected, QStringLiteral("[frDBDataSet1.\"NO\"]"));
        QCOMPARE(field, ansi("[frDBDataSet2.\"规格\"]"));

        dialogs.answerDialog([&](QDialog& d) {
            as<TfrFieldsForm>(d).FieldList->setCurrentRow(0);
            return press(as<TfrFieldsForm>(d).CancelButton);
        });
        QVERIFY(!chooseDataField(nullptr, m_sources.datasets, field));
        QCOMPARE(field, ansi("[frDBDataSet2.\"规格\"]"));

        TfrFieldsForm f(m_sources.datasets);
        f.Select(ansi("[frDBDataSet2.\"名称\"]"));
        QCOMPARE(f.Reference(), QStringLiteral("[frDBDataSet2.\"名称\"]"));
        checkLayout(f, QStringLiteral("TfrFieldsForm"));
    }

    // ---- text object editor

    void memoEditorLoads() {
        tmpl::TfrMemoView memo;
        memo.Memo = {ansi("批号 [编头]"), "Line 2"};
        memo.FontName = ansi("宋体");
        memo.FontSize = 14;
        memo.FontStyle = tmpl::kFontBold;
        memo.Alignment = 2 | 4 | 16;   // centred, rotated, bottom
        memo.Format = engine::makeDisplayFormat(engine::FormatCategory::Date, 2, 0);
        TfrMemoForm f(m_sources);
        f.Load(memo);
        QCOMPARE(f.MemoEdit->toPlainText(), QStringLiteral("批号 [编头]\nLine 2"));
        QCOMPARE(f.FontLabel->text(), QStringLiteral("宋体, 14 磅, 粗体"));
        QCOMPARE(f.HAlignBox->currentIndex(), 2);
        QCOMPARE(f.VAlignBox->currentIndex(), 2);
        QVERIFY(f.RotatedBox->isChecked());
        QVERIFY(f.WordWrapBox->isChecked());
        QCOMPARE(f.FormatCategoryBox->currentText(), QStringLiteral("日期"));
        QCOMPARE(f.FormatBox->currentText(), QStringLiteral("yyyy年mm月dd日"));
        QVERIFY(!f.DecimalsBox->isEnabled());
        checkLayout(f, QStringLiteral("TfrMemoForm"));
    }

    void memoEditorStoresEveryPart() {
        ScriptedDialogs dialogs;
        tmpl::TfrMemoView memo;
        memo.Memo = {"Line"};
        dialogs.answerDialog([&](QDialog& d) {
            TfrMemoForm& f = as<TfrMemoForm>(d);
            // The expression builder's text goes in at the cursor.
            f.MemoEdit->setPlainText(QStringLiteral("No. \nsecond"));
            QTextCursor cursor = f.MemoEdit->textCursor();
            cursor.setPosition(4);
            f.MemoEdit->setTextCursor(cursor);
            f.ExprButton->click();
            f.FontButton->click();
            f.ColorButton->click();
            f.HAlignBox->setCurrentIndex(1);
            f.VAlignBox->setCurrentIndex(1);
            f.WordWrapBox->setChecked(false);
            f.FormatCategoryBox->setCurrentIndex(int(engine::FormatCategory::Number));
            f.FormatBox->setCurrentIndex(3);
            f.DecimalsBox->setValue(3);
            f.SeparatorEdit->setText(QStringLiteral(","));
            return press(f.OkButton);
        });
        dialogs.answerDialog([&](QDialog& d) {
            TfrExprForm& f = as<TfrExprForm>(d);
            selectItem(f, QStringLiteral("标签变量"), QStringLiteral("条形码编号"));
            f.InsertButton->click();
            return press(f.OkButton);
        });
        dialogs.answerDialog([&](QDialog& d) {
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPointSize(18);
            font.setItalic(true);
            font.setUnderline(true);
            qobject_cast<QFontDialog*>(&d)->setCurrentFont(font);
            return int(QDialog::Accepted);
        });
        dialogs.answerDialog([&](QDialog& d) {
            qobject_cast<QColorDialog*>(&d)->setCurrentColor(QColor(0x11, 0x22, 0x33));
            return int(QDialog::Accepted);
        });
        QVERIFY(editMemo(nullptr, memo, m_sources));
        QCOMPARE(dialogs.dialogsShown(), (QStringList{"frMemoForm", "frExprForm", "FontDialog", "ColorDialog"}));
        QCOMPARE(memo.Memo, (tmpl::Lines{ansi("No. [条形码编号]"), "second"}));
        QCOMPARE(memo.FontName, std::string("DejaVu Sans"));
        QCOMPARE(memo.FontSize, 18);
        QCOMPARE(memo.FontStyle, std::uint16_t(tmpl::kFontItalic | tmpl::kFontUnderline));
        QCOMPARE(memo.FontColor, 0x332211u);
        QCOMPARE(memo.Alignment, 1 | 8);
        QCOMPARE(memo.Flags, std::uint16_t(1));
        QCOMPARE(memo.Format, engine::makeDisplayFormat(engine::FormatCategory::Number, 3, 3, ','));
        // The format shows a number as the object will print it.
        QCOMPARE(engine::formatValue(engine::Value::real(1234.5), memo.Format, memo.FormatStr),
                 std::string("1.234,500"));
    }

    void memoEditorWithoutChangesOrCancelled() {
        ScriptedDialogs dialogs;
        tmpl::TfrMemoView memo;
        memo.Memo = {"A", "", "C"};
        memo.FontColor = 0xFF000008;   // a system colour
        memo.Format = 0x09000000 | '.';   // a category the editor does not know
        memo.FormatStr = "#0.0";
        const QString before = json(memo);
        dialogs.answerDialog([&](QDialog& d) { return press(as<TfrMemoForm>(d).OkButton); });
        QVERIFY(!editMemo(nullptr, memo, m_sources));
        QCOMPARE(json(memo), before);
        dialogs.answerDialog([&](QDialog& d) {
            TfrMemoForm& f = as<TfrMemoForm>(d);
            f.MemoEdit->setPlainText(QStringLiteral("other"));
            f.FormatCategoryBox->setCurrentIndex(1);
            f.RotatedBox->setChecked(true);
            return press(f.CancelButton);
        });
        QVERIFY(!editMemo(nullptr, memo, m_sources));
        QCOMPARE(json(memo), before);
    }

    // ---- page setup

    void pageSetupLoadsThePaperTable() {
        tmpl::TfrPage page;   // A4 portrait
        page.LeftMargin = 36;
        page.ColumnGap = 10;   // 2.78 mm, shown as 2.8
        TfrPgoptForm f;
        f.Load(page);
        QCOMPARE(f.PaperBox->count(), int(tmpl::kPaperSizes.size()));
        QCOMPARE(f.PaperBox->currentData().toInt(), 9);
        QCOMPARE(f.WidthEdit->value(), 210.0);
        QCOMPARE(f.HeightEdit->value(), 297.0);
        QVERIFY(!f.WidthEdit->isEnabled());
        QCOMPARE(f.LeftMarginEdit->value(), 10.0);
        QCOMPARE(f.ColumnGapEdit->value(), 2.8);
        // Turning the page exchanges the sizes; another paper shows its own.
        f.LandscapeButton->setChecked(true);
        QCOMPARE(f.WidthEdit->value(), 297.0);
        f.PaperBox->setCurrentIndex(f.PaperBox->findData(11));   // A5
        QCOMPARE(f.WidthEdit->value(), 210.0);
        QCOMPARE(f.HeightEdit->value(), 148.0);
        f.PaperBox->setCurrentIndex(f.PaperBox->findData(tmpl::kCustomPaper));
        QVERIFY(f.WidthEdit->isEnabled());
        checkLayout(f, QStringLiteral("TfrPgoptForm"));
    }

    void pageSetupStores_data() {
        QTest::addColumn<int>("paper");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<QString>("stored");
        QTest::newRow("A4 landscape") << 9 << true << 0.0 << 0.0 << "9 2970x2100 o1";
        QTest::newRow("A5 portrait") << 11 << false << 0.0 << 0.0 << "11 1480x2100 o0";
        QTest::newRow("custom label") << tmpl::kCustomPaper << false << 60.0 << 40.5 << "256 600x405 o0";
    }
    void pageSetupStores() {
        QFETCH(int, paper);
        QFETCH(bool, landscape);
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(QString, stored);
        ScriptedDialogs dialogs;
        tmpl::TfrPage page;
        page.LeftMargin = 10;   // 2.78 mm: left as shown, it keeps its units
        dialogs.answerDialog([&](QDialog& d) {
            TfrPgoptForm& f = as<TfrPgoptForm>(d);
            f.PaperBox->setCurrentIndex(f.PaperBox->findData(paper));
            (landscape ? f.LandscapeButton : f.PortraitButton)->setChecked(true);
            if (width > 0) {
                f.WidthEdit->setValue(width);
                f.HeightEdit->setValue(height);
            }
            f.TopMarginEdit->setValue(5);
            f.RightMarginEdit->setValue(2.5);
            f.ColumnsEdit->setValue(3);
            f.ColumnGapEdit->setValue(2);
            return press(f.OkButton);
        });
        QVERIFY(editPageSetup(nullptr, page));
        QCOMPARE(QStringLiteral("%1 %2x%3 o%4").arg(page.Size).arg(page.PaperWidth).arg(page.PaperHeight).arg(page.Orientation),
                 stored);
        QCOMPARE(page.LeftMargin, 10);
        QCOMPARE(page.TopMargin, 18);      // 5 mm
        QCOMPARE(page.RightMargin, 9);     // 2.5 mm
        QCOMPARE(page.Columns, 3);
        QCOMPARE(page.ColumnGap, 7);       // 2 mm, 7.2 units
    }

    void pageSetupRefusesMarginsBeyondThePaper() {
        ScriptedDialogs dialogs;
        tmpl::TfrPage page;
        page.Size = tmpl::kCustomPaper;
        page.PaperWidth = 600;
        page.PaperHeight = 400;
        page.ApplyPaper();
        dialogs.answerDialog([&](QDialog& d) {
            TfrPgoptForm& f = as<TfrPgoptForm>(d);
            f.LeftMarginEdit->setValue(30);
            f.RightMarginEdit->setValue(30);
            return press(f.OkButton);
        });
        QVERIFY(!editPageSetup(nullptr, page));
        QCOMPARE(page.LeftMargin, 0);
        QCOMPARE(dialogs.messages().size(), size_t(1));
        QCOMPARE(dialogs.messages()[0].text, QStringLiteral("页边距超出了纸张尺寸"));

        dialogs.answerDialog([&](QDialog& d) {
            TfrPgoptForm& f = as<TfrPgoptForm>(d);
            f.LandscapeButton->setChecked(true);
            f.ColumnsEdit->setValue(4);
            return press(f.CancelButton);
        });
        QVERIFY(!editPageSetup(nullptr, page));
        QCOMPARE(page.Orientation, std::uint8_t(0));
        QCOMPARE(page.Columns, 1);
        dialogs.answerDialog([&](QDialog& d) { return press(as<TfrPgoptForm>(d).OkButton); });
        QVERIFY(!editPageSetup(nullptr, page));   // nothing changed
    }

    // ---- report options

    void reportOptionsStoreAndSurviveSaving() {
        ScriptedDialogs dialogs;
        tmpl::TfrReport report;
        report.Pages.Add();
        report.Comment = "old\r\nlines";
        dialogs.answerDialog([&](QDialog& d) {
            TfrDocOptForm& f = as<TfrDocOptForm>(d);
            if (f.CommentEdit->toPlainText() != QStringLiteral("old\nlines"))
                return int(QDialog::Rejected);
            f.PrintToDefaultBox->setChecked(true);
            f.DoublePassBox->setChecked(true);
            f.ReportNameEdit->setText(QStringLiteral("瓶标"));
            f.CommentEdit->setPlainText(QStringLiteral("第一行\n第二行"));
            f.AuthorEdit->setText(QStringLiteral("王工"));
            f.VMajorEdit->setText(QStringLiteral("1"));
            f.VMinorEdit->setText(QStringLiteral("2"));
            f.VReleaseEdit->setText(QStringLiteral("3"));
            f.VBuildEdit->setText(QStringLiteral("44"));
            f.PasswordBox->setChecked(true);
            f.PasswordEdit->setText(QStringLiteral("密码1"));
            return press(f.OkButton);
        });
        QVERIFY(editReportOptions(nullptr, report));
        tmpl::TfrReport read;
        tmpl::RecordingHost host;
        read.LoadFromBytes(report.SaveToBytes(), host);
        QVERIFY(host.Messages().empty());
        QVERIFY(read.PrintToDefault);
        QVERIFY(read.DoublePass);
        QCOMPARE(read.ReportName, ansi("瓶标"));
        QCOMPARE(read.Comment, ansi("第一行\r\n第二行"));
        QCOMPARE(read.Author, ansi("王工"));
        QCOMPARE(read.VMajor + read.VMinor + read.VRelease + read.VBuild, std::string("12344"));
        QCOMPARE(read.PasswordProtected, std::uint8_t(1));
        QCOMPARE(read.Password, ansi("密码1"));
    }

    void reportOptionsRefuseAProtectionWithoutPassword() {
        ScriptedDialogs dialogs;
        tmpl::TfrReport report;
        report.Author = "A";
        dialogs.answerDialog([&](QDialog& d) {
            TfrDocOptForm& f = as<TfrDocOptForm>(d);
            f.AuthorEdit->setText(QStringLiteral("B"));
            f.PasswordBox->setChecked(true);
            return press(f.OkButton);
        });
        QVERIFY(!editReportOptions(nullptr, report));
        QCOMPARE(report.Author, std::string("A"));
        QCOMPARE(report.PasswordProtected, std::uint8_t(0));
        QCOMPARE(dialogs.messages().size(), size_t(1));

        dialogs.answerDialog([&](QDialog& d) {
            as<TfrDocOptForm>(d).AuthorEdit->setText(QStringLiteral("C"));
            return press(as<TfrDocOptForm>(d).CancelButton);
        });
        QVERIFY(!editReportOptions(nullptr, report));
        QCOMPARE(report.Author, std::string("A"));
        TfrDocOptForm f;
        f.Load(report);
        checkLayout(f, QStringLiteral("TfrDocOptForm"));
    }

    // ---- data dictionary

    void dictionaryShowsCategoriesAsTree() {
        TfrVarForm f(m_sources);
        f.Load(m_dictionary);
        QCOMPARE(f.VarTree->topLevelItemCount(), 3);
        QCOMPARE(f.VarTree->topLevelItem(0)->text(0), QStringLiteral("Plain"));
        QCOMPARE(f.VarTree->topLevelItem(1)->text(0), QStringLiteral("批次"));
        QCOMPARE(f.VarTree->topLevelItem(1)->childCount(), 2);
        QCOMPARE(f.VarTree->topLevelItem(1)->child(0)->text(1), QStringLiteral("[编头] + 'B7'"));
        QCOMPARE(f.VarTree->topLevelItem(2)->childCount(), 0);
        // Unchanged, the list comes back as it was.
        QCOMPARE(f.Variables(), m_dictionary.Variables);
        checkLayout(f, QStringLiteral("TfrVarForm"));
    }

    void dictionaryEdits() {
        ScriptedDialogs dialogs;
        tmpl::TfrDataDictionary dictionary = sampleDictionary();
        dialogs.answerDialog([&](QDialog& d) {
            TfrVarForm& f = as<TfrVarForm>(d);
            // Rename "Line" and give it a value through the expression builder.
            f.VarTree->setCurrentItem(f.VarTree->topLevelItem(1)->child(1));
            f.NameEdit->setText(QStringLiteral("  Zeile "));
            f.ExprButton->click();
            // A new variable in the empty category, a new category with one.
            f.VarTree->setCurrentItem(f.VarTree->topLevelItem(2));
            f.AddVariableClick();
            f.ValueEdit->setText(QStringLiteral("'x'"));
            f.AddCategoryClick();
            f.NameEdit->setText(QStringLiteral("新"));
            f.AddVariableClick();
            // "Plain" goes.
            f.VarTree->setCurrentItem(f.VarTree->topLevelItem(0));
            f.DeleteClick();
            return press(f.OkButton);
        });
        dialogs.answerDialog([&](QDialog& d) {
            TfrExprForm& f = as<TfrExprForm>(d);
            f.ExprEdit->setText(QStringLiteral("LINE# + 1"));
            return press(f.OkButton);
        });
        QVERIFY(editDictionary(nullptr, dictionary, m_sources));
        const tmpl::DictionaryList expected = {{ansi(" 批次"), ""},      {ansi("批号"), ansi("[编头] + 'B7'")},
                                               {"Zeile", "LINE# + 1"},   {" Empty", ""},
                                               {ansi("变量1"), "'x'"},   {ansi(" 新"), ""},
                                               {ansi("变量2"), ""}};
        QCOMPARE(dictionary.Variables, expected);
    }

    void dictionaryRefusesNamesItCannotStore_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << "" << "变量名称不能为空";
        QTest::newRow("blanks") << "   " << "变量名称不能为空";
        QTest::newRow("twice") << "批号" << "变量名称重复: 批号";
        QTest::newRow("twice with blanks") << " 批号 " << "变量名称重复: 批号";
    }
    void dictionaryRefusesNamesItCannotStore() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        ScriptedDialogs dialogs;
        tmpl::TfrDataDictionary dictionary = sampleDictionary();
        dialogs.answerDialog([&](QDialog& d) {
            TfrVarForm& f = as<TfrVarForm>(d);
            f.VarTree->setCurrentItem(f.VarTree->topLevelItem(0));
            f.NameEdit->setText(name);
            return press(f.OkButton);
        });
        QVERIFY(!editDictionary(nullptr, dictionary, m_sources));
        QCOMPARE(dictionary.Variables, sampleDictionary().Variables);
        QCOMPARE(dialogs.messages().size(), size_t(1));
        QCOMPARE(dialogs.messages()[0].text, message);
    }

    void dictionaryCancelled() {
        ScriptedDialogs dialogs;
        tmpl::TfrDataDictionary dictionary = sampleDictionary();
        dialogs.answerDialog([&](QDialog& d) {
            TfrVarForm& f = as<TfrVarForm>(d);
            f.AddCategoryClick();
            f.VarTree->setCurrentItem(f.VarTree->topLevelItem(0));
            f.DeleteClick();
            return press(f.CancelButton);
        });
        QVERIFY(!editDictionary(nullptr, dictionary, m_sources));
        QCOMPARE(dictionary.Variables, sampleDictionary().Variables);
    }

    // ---- picture chooser

    void pictureFilesAreKeptAsTheyAre_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("kind");
        QTest::newRow("JPEG") << "JPG" << int(tmpl::gkJpeg);
        QTest::newRow("BMP") << "BMP" << int(tmpl::gkBitmap);
        QTest::newRow("ICO") << "ICO" << int(tmpl::gkIcon);
    }
    void pictureFilesAreKeptAsTheyAre() {
        QFETCH(QString, format);
        QFETCH(int, kind);
        QTemporaryDir folder;
        QImage image(24, 16, QImage::Format_RGB32);
        image.fill(QColor(200, 30, 40));
        const QString path = folder.filePath(QStringLiteral("logo.") + format.toLower());
        QVERIFY(image.save(path, format.toLatin1().constData()));
        const std::string bytes = mirel::test::readFile(path);

        ScriptedDialogs dialogs;
        tmpl::TfrPictureView picture;   // stretched, keeping its aspect
        dialogs.answerFile(path);
        QString info;
        dialogs.answerDialog([&](QDialog& d) {
            TfrPictureForm& f = as<TfrPictureForm>(d);
            f.LoadButton->click();
            info = f.InfoLabel->text();
            f.CenterBox->setChecked(true);
            f.StretchBox->setChecked(false);
            return press(f.OkButton);
        });
        QVERIFY(choosePicture(nullptr, picture));
        QCOMPARE(int(picture.GraphicKind), kind);
        QVERIFY(picture.Graphic == bytes);
        QCOMPARE(picture.Flags, std::uint16_t(2 | 4));
        QCOMPARE(info, QStringLiteral("%1, 24 x 16").arg(format == "JPG" ? QStringLiteral("JPEG") : format));
        QCOMPARE(tmpl::pictureImage(picture.GraphicKind, picture.Graphic).size(), QSize(24, 16));
        QVERIFY(dialogs.messages().empty());
        QCOMPARE(dialogs.fileQuestions().size(), size_t(1));
        QVERIFY(dialogs.fileQuestions()[0].options.filter.contains(QStringLiteral("*.ico")));
    }

    void pictureChooserRefusesWhatItCannotShow_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("text") << QByteArray("hello");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("damaged JPEG") << QByteArray("\xFF\xD8\xFF\xE0 not really", 15);
        QTest::newRow("damaged BMP") << QByteArray("BM\x10\x00", 4);
    }
    void pictureChooserRefusesWhatItCannotShow() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("fake.jpg"));
        mirel::test::writeFile(path, bytes.toStdString());
        ScriptedDialogs dialogs;
        tmpl::TfrPictureView picture;
        picture.GraphicKind = tmpl::gkBitmap;
        picture.Graphic = "BM-kept";
        dialogs.answerFile(path);
        dialogs.answerDialog([&](QDialog& d) {
            as<TfrPictureForm>(d).LoadButton->click();
            return press(as<TfrPictureForm>(d).OkButton);
        });
        QVERIFY(!choosePicture(nullptr, picture));
        QCOMPARE(picture.Graphic, std::string("BM-kept"));
        QCOMPARE(dialogs.messages().size(), size_t(1));
        QCOMPARE(dialogs.messages()[0].text, QStringLiteral("fake.jpg 不是有效的 JPEG、BMP 或 ICO 图片"));
    }

    void pictureClearedOrCancelled() {
        ScriptedDialogs dialogs;
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QByteArray bmp;
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "BMP");
        tmpl::TfrPictureView picture;
        picture.GraphicKind = tmpl::gkBitmap;
        picture.Graphic = bmp.toStdString();
        dialogs.answerDialog([&](QDialog& d) {
            TfrPictureForm& f = as<TfrPictureForm>(d);
            f.ClearButton->click();
            f.KeepAspectBox->setChecked(false);
            return press(f.CancelButton);
        });
        QVERIFY(!choosePicture(nullptr, picture));
        QCOMPARE(picture.Graphic, bmp.toStdString());
        QCOMPARE(picture.Flags, std::uint16_t(5));
        dialogs.answerDialog([&](QDialog& d) {
            TfrPictureForm& f = as<TfrPictureForm>(d);
            f.ClearButton->click();
            return press(f.OkButton);
        });
        QVERIFY(choosePicture(nullptr, picture));
        QCOMPARE(int(picture.GraphicKind), int(tmpl::gkNone));
        QVERIFY(picture.Graphic.empty());

        TfrPictureForm f;
        picture.GraphicKind = tmpl::gkBitmap;
        picture.Graphic = bmp.toStdString();
        f.Load(picture);
        QVERIFY(!f.PreviewLabel->pixmap().isNull());
        checkLayout(f, QStringLiteral("TfrPictureForm"));
    }
};

QTEST_MAIN(DesignerDialogsTest)
#include "DesignerDialogsTest.moc"
