// The label jobs of the main window through the report engine: templates made
// in the test, codes generated through the window's buttons, an external SQLite
// table attached through page "wbsj", the preparation's progress window and the
// modal preview answered through the scripted dialogs. What a preview showed is
// read back from the .frp file its save button writes.

#include "app/EngineLabelJobRunner.h"
#include "app/StartUp.h"
#include "app/TForm1.h"
#include "codes/CodeStore.h"
#include "core/Encoding.h"
#include "core/HomeFolder.h"
#include "core/ui/Dialogs.h"
#include "engine/ReportBuilder.h"
#include "engine/ui/TfrDesignerForm.h"
#include "engine/ui/TfrPreviewForm.h"
#include "support/TestSupport.h"
#include "support/WidgetLookup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProgressDialog>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

using namespace mirel;
using namespace mirel::app;
using engine::test::addPage;
using engine::test::textsOf;
using mirel::test::readFile;
using mirel::ui::ScriptedDialogs;

using mirel::test::child;
using mirel::test::click;
using mirel::test::setText;

namespace {


// What one preview showed.
struct Shown {
    QString caption;
    int pageCount = -1;
    QStringList buttons;             // the toolbar buttons shown
    tmpl::TfrPreparedPages pages;    // read back from the saved .frp
};

QStringList strings(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& text : texts)
        list << QString::fromStdString(text);
    return list;
}

} // namespace

class PrintJobTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_home;
    EngineLabelJobRunner* m_runner = nullptr;

    QString home(const QString& relative) const { return QDir(m_home->path()).filePath(relative); }

    std::unique_ptr<TForm1> startForm() {
        auto runner = std::make_unique<EngineLabelJobRunner>();
        m_runner = runner.get();
        auto form = std::make_unique<TForm1>(std::move(runner));
        form->show();
        return form;
    }

    void generate(TForm1& form, int count) {
        setText(form, "Edit1", QStringLiteral("abcd"));
        setText(form, "cxCalcEdit1", QString::number(count));
        click(form, "Button1");
        QCOMPARE(form.codeStore()->count(), std::int64_t{count});
    }

    // A label of 100 × 10 mm: the record counter, the prefix and serial fields,
    // a field of the band's dataset and a barcode joining prefix and field, on
    // a page of 100 × 15 mm that holds one label.
    QString makeTemplate(const char* file, std::string_view dataSource, std::string_view field,
                         const AnsiString& password = {}) {
        tmpl::TfrReport report;
        report.Password = password;
        report.PasswordProtected = password.empty() ? 0 : 1;
        auto page = addPage(report).paper(360, 54);
        page.band(tmpl::btMasterData, 0, 36).FormatStr = AnsiString(dataSource);
        page.memo("No", 0, 0, 60, 18, {"[no]"});
        page.memo("Head", 60, 0, 120, 18, {"[编头]-[条形码编号]"});
        const std::string reference = std::string(dataSource.empty() ? "frDBDataSet1" : dataSource) + ".\""
                                      + std::string(field) + "\"";
        page.memo("Field", 180, 0, 180, 18, {"[" + reference + "]"});
        page.barcode("Bar1", 0, 18, 360, 18, "[编头][" + reference + "]");
        const QString path = home(QStringLiteral("模板/") + QString::fromLatin1(file));
        report.SaveToFile(path);
        return path;
    }

    // Answers the next preview: looks at it, saves what it shows through its
    // save button, and closes it through its close button.
    void answerPreview(ScriptedDialogs& script, Shown& shown, const QString& screenshot = {}) {
        const QString frp = home(QStringLiteral("shown.frp"));
        QFile::remove(frp);
        script.answerDialog([this, &script, &shown, frp, screenshot](QDialog& dialog) {
            auto& preview = dynamic_cast<engine::TfrPreviewForm&>(dialog);
            preview.resize(800, 500);
            preview.show();
            QCoreApplication::processEvents();
            shown.caption = preview.windowTitle();
            shown.pageCount = preview.Pages()->PageCount();
            for (QToolButton* button : preview.findChildren<QToolButton*>())
                if (button->isVisible() && !button->objectName().isEmpty())
                    shown.buttons << button->objectName();
            if (!screenshot.isEmpty())
                preview.grab().save(screenshot);
            script.answerFile(frp);
            click(preview, "SaveButton");
            const std::string bytes = readFile(frp);
            tmpl::TfrReport report;
            shown.pages.LoadFromBytes(bytes, report);
            click(preview, "CloseButton");
            return preview.result();
        });
    }

    QStringList previewsShown(const ScriptedDialogs& script) const {
        return script.dialogsShown().filter(QStringLiteral("frPreviewForm"));
    }

private slots:
    void initTestCase() { startEngine(); }

    void init() {
        m_home = std::make_unique<QTemporaryDir>();
        QVERIFY(m_home->isValid());
        core::setHomeFolderOverride(m_home->path());
        QDir(m_home->path()).mkpath(QStringLiteral("模板"));
    }
    void cleanup() {
        core::setHomeFolderOverride(QString());
        m_home.reset();
    }

    // The band over the code store (named or through the report dataset): one
    // label per code, as many as the quantity asks and the store holds.
    void printShowsOneLabelPerCode_data() {
        QTest::addColumn<QString>("dataSource");
        QTest::addColumn<int>("codes");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<int>("labels");
        QTest::newRow("100 of 100") << "frDBDataSet1" << 100 << "100" << 100;
        QTest::newRow("30 of 100") << "frDBDataSet1" << 100 << "30" << 30;
        QTest::newRow("100 of 500") << "" << 500 << "100" << 100;
        QTest::newRow("all 20 for 100") << "" << 20 << "100" << 20;
        QTest::newRow("2.5 rounds to 2") << "frDBDataSet1" << 20 << "2.5" << 2;
        QTest::newRow("3.5 rounds to 4") << "" << 20 << "3.5" << 4;
    }
    void printShowsOneLabelPerCode() {
        QFETCH(QString, dataSource);
        QFETCH(int, codes);
        QFETCH(QString, quantity);
        QFETCH(int, labels);
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        generate(*form, codes);
        const QString path = makeTemplate("codes.frf", dataSource.toStdString(), "NO");
        setText(*form, "cxButtonEdit1", path);
        setText(*form, "cxCalcEdit1", quantity);
        // Typed after the last settings save: the job reads the field as it stands.
        setText(*form, "cxTextEdit2", QStringLiteral("新头"));
        setText(*form, "cxTextEdit5", QStringLiteral("0000000042"));
        Shown shown;
        answerPreview(script, shown);
        click(*form, "SpeedButton5");

        QCOMPARE(previewsShown(script).size(), 1);
        QVERIFY(script.messages().empty());
        QCOMPARE(shown.caption, QStringLiteral("条码标签打印预览"));
        for (const char* button : {"ZoomInButton", "OpenButton", "SaveButton", "PrintButton", "FindButton",
                                   "HelpButton", "CloseButton"})
            QVERIFY2(shown.buttons.contains(QLatin1String(button)), button);
        QCOMPARE(shown.pageCount, labels);
        QCOMPARE(m_runner->lastLabels(), std::int64_t{labels});
        QCOMPARE(int(shown.pages.Pages.size()), labels);

        const QStringList numbers = strings(textsOf(shown.pages, "No"));
        QCOMPARE(numbers.size(), labels);
        QCOMPARE(numbers.front(), QStringLiteral("0"));
        QCOMPARE(numbers.back(), QString::number(labels - 1));
        const QStringList heads = strings(textsOf(shown.pages, "Head"));
        QVERIFY(heads.size() == labels);
        QCOMPARE(heads.front(), QStringLiteral("新头-0000000042"));
        // The codes in the store's order, the barcode joining prefix and code.
        const auto records = form->codeStore()->records(0, labels);
        const QStringList fields = strings(textsOf(shown.pages, "Field"));
        const QStringList barcodes = strings(textsOf(shown.pages, "Bar1"));
        QCOMPARE(fields.size(), labels);
        for (int i : {0, labels - 1}) {
            const QString code = QString::fromStdString(core::toUtf8(records[size_t(i)].no));
            QCOMPARE(fields[i], code);
            QCOMPARE(barcodes[i], QStringLiteral("新头") + code);
        }
        // After the run the counter keeps where it ended.
        QCOMPARE(form->runner().codeStoreCounter(), std::int64_t{labels});
    }

    // The engine keeps the last template: a path that names no file prints it
    // again; before any template was loaded there is nothing to print.
    void missingTemplateKeepsTheOneLoadedBefore() {
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        generate(*form, 5);
        setText(*form, "cxButtonEdit1", home(QStringLiteral("模板/none.frf")));
        click(*form, "SpeedButton5");
        QVERIFY(previewsShown(script).isEmpty());
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].caption, QStringLiteral("提示"));

        const QString path = makeTemplate("codes.frf", "frDBDataSet1", "NO");
        Shown first;
        answerPreview(script, first);
        setText(*form, "cxButtonEdit1", path);
        click(*form, "SpeedButton5");
        QCOMPARE(first.pageCount, 5);

        Shown again;
        answerPreview(script, again);
        setText(*form, "cxButtonEdit1", home(QStringLiteral("模板/none.frf")));
        setText(*form, "cxCalcEdit1", QStringLiteral("3"));
        click(*form, "SpeedButton5");
        QCOMPARE(previewsShown(script).size(), 2);
        QCOMPARE(again.pageCount, 3);
        QCOMPARE(m_runner->job().Report.FileName, path);
        QCOMPARE(script.messages().size(), size_t(1));
    }

    void printWithoutTemplateAsksForOneAndRunsNothing() {
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        generate(*form, 3);
        setText(*form, "cxButtonEdit1", QString());
        click(*form, "SpeedButton5");
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].text, QStringLiteral("请选择你要打印的标签文件!"));
        QCOMPARE(script.messages()[0].caption, QStringLiteral("提示"));
        QVERIFY(script.dialogsShown().isEmpty());
        QCOMPARE(m_runner->job().Report.FileName, QString());
        QCOMPARE(m_runner->job().Title, QString());
    }

    // What the engine refuses ends in a message box; no preview opens and the
    // window goes on working.
    void engineErrorsAreShownAndNoPreviewOpens() {
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        generate(*form, 3);
        setText(*form, "cxButtonEdit1", makeTemplate("bad.frf", "frDBDataSet9", "NO"));
        click(*form, "SpeedButton5");
        QVERIFY(previewsShown(script).isEmpty());
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].caption, QStringLiteral("错误"));
        QVERIFY2(script.messages()[0].text.contains(QStringLiteral("frDBDataSet9")),
                 qPrintable(script.messages()[0].text));

        // A file that is no template: the reader says so as a dialog.
        const QString junk = home(QStringLiteral("模板/junk.frf"));
        mirel::test::writeFile(junk, "this is not a label template");
        setText(*form, "cxButtonEdit1", junk);
        click(*form, "SpeedButton5");
        QVERIFY(script.messages().size() >= 2);
        QVERIFY(previewsShown(script).isEmpty());

        Shown shown;
        answerPreview(script, shown);
        setText(*form, "cxButtonEdit1", makeTemplate("good.frf", "", "NO"));
        click(*form, "SpeedButton5");
        QCOMPARE(shown.pageCount, 3);
    }

    // A protected template asks for its password through the password dialog.
    void protectedTemplateAsksForItsPassword() {
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        generate(*form, 2);
        setText(*form, "cxButtonEdit1", makeTemplate("secret.frf", "", "NO", core::fromUtf8("口令")));
        script.answerDialog([](QDialog& dialog) {
            child<QLineEdit>(dialog, "Edit1")->setText(QStringLiteral("口令"));
            return int(QDialog::Accepted);
        });
        Shown shown;
        answerPreview(script, shown);
        click(*form, "SpeedButton5");
        QCOMPARE(script.dialogsShown(), (QStringList{"frPasswForm", "frPreviewForm"}));
        QCOMPARE(shown.pageCount, 2);
    }

    // The cancel button of the progress window stops the preparation; nothing
    // is shown and no message follows.
    void cancelDuringPreparationShowsNothing() {
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        generate(*form, 300);
        setText(*form, "cxButtonEdit1", makeTemplate("codes.frf", "frDBDataSet1", "NO"));
        setText(*form, "cxCalcEdit1", QStringLiteral("300"));
        m_runner->setProgressDelay(0);
        bool pressed = false;
        QTimer::singleShot(0, this, [&pressed] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* progress = qobject_cast<QProgressDialog*>(widget);
                if (progress && progress->objectName() == QLatin1String("PrepareProgress") && progress->isVisible()) {
                    QVERIFY(progress->isModal());
                    for (QPushButton* button : progress->findChildren<QPushButton*>())
                        button->click();
                    pressed = true;
                }
            }
        });
        click(*form, "SpeedButton5");
        QVERIFY(pressed);
        QVERIFY(script.dialogsShown().isEmpty());
        QVERIFY(script.messages().empty());
        QCOMPARE(m_runner->lastLabels(), std::int64_t{0});
        for (QWidget* widget : QApplication::topLevelWidgets())
            QVERIFY(!(widget->objectName() == QLatin1String("PrepareProgress") && widget->isVisible()));

        // The next job runs to its end.
        Shown shown;
        answerPreview(script, shown);
        setText(*form, "cxCalcEdit1", QStringLiteral("10"));
        click(*form, "SpeedButton5");
        QCOMPARE(shown.pageCount, 10);
    }

    // A table of a real SQLite file attached on page "wbsj": a band over
    // frDBDataSet2 prints its rows; while it is open "no" answers its counter
    // even over the code store, and once closed the code store's again.
    void externalTablePrintsAndCountsNo() {
        const QString file = home(QStringLiteral("shop.db"));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("make-shop"));
            db.setDatabaseName(file);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE \"货品 表\" (name TEXT, price REAL)")));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO \"货品 表\" VALUES "
                                          "('苹果', 3.5), ('梨', 2), ('桃', 4), ('枣', 9)")));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("make-shop"));

        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        generate(*form, 6);
        click(*form, "SpeedButton6");
        script.answerDialog([&](QDialog& dialog) {
            auto* driver = dialog.findChild<QComboBox*>(QStringLiteral("DriverBox"));
            driver->setCurrentIndex(driver->findData(QStringLiteral("QSQLITE")));
            dialog.findChild<QLineEdit*>(QStringLiteral("DatabaseEdit"))->setText(file);
            return int(QDialog::Accepted);
        });
        click(*form, "Button7");
        child<QComboBox>(*form, "ComboBox1")->setEditText(QStringLiteral("货品 表"));
        click(*form, "Button8");
        QVERIFY(form->externalSource().isOpen());

        Shown rows;
        answerPreview(script, rows);
        setText(*form, "cxButtonEdit1", makeTemplate("shop.frf", "frDBDataSet2", "name"));
        setText(*form, "cxTextEdit2", QStringLiteral("BJ"));
        click(*form, "SpeedButton5");
        QVERIFY2(script.messages().empty(), script.messages().empty() ? "" : qPrintable(script.messages()[0].text));
        QCOMPARE(rows.pageCount, 4);
        QCOMPARE(strings(textsOf(rows.pages, "Field")), (QStringList{"苹果", "梨", "桃", "枣"}));
        QCOMPARE(strings(textsOf(rows.pages, "No")), (QStringList{"0", "1", "2", "3"}));
        QCOMPARE(strings(textsOf(rows.pages, "Bar1")).front(), QStringLiteral("BJ苹果"));
        // The page's grid still shows the table.
        QCOMPARE(form->externalSource().model()->rowCount(), 4);

        // Over the code store while the table is open: the codes print, "no"
        // is the external counter, which this run does not move.
        Shown codes;
        answerPreview(script, codes);
        setText(*form, "cxButtonEdit1", makeTemplate("codes.frf", "frDBDataSet1", "NO"));
        setText(*form, "cxCalcEdit1", QStringLiteral("5"));
        click(*form, "SpeedButton5");
        QCOMPARE(codes.pageCount, 5);
        const QString external = QString::number(form->runner().externalCounter());
        QCOMPARE(strings(textsOf(codes.pages, "No")), QStringList(5, external));

        // Closed by "选择数据库" (cancelled): "no" counts the code store again.
        script.answerDialog([](QDialog&) { return int(QDialog::Rejected); });
        click(*form, "Button7");
        QVERIFY(!form->externalSource().isOpen());
        Shown closed;
        answerPreview(script, closed);
        click(*form, "SpeedButton5");
        QCOMPARE(strings(textsOf(closed.pages, "No")), (QStringList{"0", "1", "2", "3", "4"}));
        // A band over the closed table has no record: the page holds no label.
        Shown none;
        answerPreview(script, none);
        setText(*form, "cxButtonEdit1", home(QStringLiteral("模板/shop.frf")));
        click(*form, "SpeedButton5");
        QCOMPARE(previewsShown(script).size(), 4);
        QVERIFY(textsOf(none.pages, "Field").empty());
        QVERIFY(script.messages().empty());
    }

    // A request to end the program while the preview is open (the engine is
    // reading the store and the external table) waits for the job to end.
    void closeDuringAJobWaitsForIt() {
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        generate(*form, 4);
        setText(*form, "cxButtonEdit1", makeTemplate("codes.frf", "frDBDataSet1", "NO"));
        setText(*form, "cxTextEdit3", QStringLiteral("尾巴"));
        bool stillShown = false;
        script.answerDialog([&](QDialog&) {
            form->close();
            stillShown = form->isVisible() && form->codeStore() && form->codeStore()->isOpen();
            return int(QDialog::Rejected);
        });
        click(*form, "SpeedButton5");
        QVERIFY(stillShown);
        QTRY_VERIFY(!form->isVisible());
        const std::string settings = readFile(home(QStringLiteral("system.ini")));
        QVERIFY(settings.find(core::fromUtf8("cxTextEdit3=尾巴")) != std::string::npos);
    }

    // The design job loads the template into the same engine and hands it to
    // the designer; a path that names no file keeps the template loaded before.
    void designLoadsIntoTheSameEngine() {
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        const QString path = makeTemplate("codes.frf", "frDBDataSet1", "NO");
        setText(*form, "cxButtonEdit1", path);
        click(*form, "SpeedButton4");
        QCOMPARE(m_runner->job().Report.FileName, path);
        QCOMPARE(m_runner->job().Report.Pages.Count(), size_t(1));
        setText(*form, "cxButtonEdit1", QString());   // 模板/infoNO.frf, not there
        click(*form, "SpeedButton4");
        QCOMPARE(m_runner->job().Report.FileName, path);
        QVERIFY(script.messages().empty());
    }

    // The design job from the main window opens the default template in the
    // designer: the file it came from, its sheet with the text objects, the
    // Code 128 and the PDF417 of every label.
    void designJobOpensTheDefaultTemplate() {
        ScriptedDialogs script;
        QVERIFY(QDir(m_home->path()).mkpath(QStringLiteral("模板")));
        const QString path = home(QStringLiteral("模板/infoNO.frf"));
        QVERIFY(QFile::copy(QStringLiteral(MIREL_SOURCE_DIR "/data/模板/infoNO.frf"), path));
        std::unique_ptr<TForm1> form = startForm();
        setText(*form, "cxButtonEdit1", QString());   // the default template
        QString fileName;
        QStringList classes;
        const QString screenshots = qEnvironmentVariable("MIREL_SCREENSHOTS");
        script.answerDialog([&](QDialog& dialog) {
            auto& designer = dynamic_cast<engine::ui::TfrDesignerForm&>(dialog);
            fileName = designer.FileName();
            for (const auto& view : designer.CurrentPage()->Objects)
                classes << QString::fromLatin1(view->ClassName());
            if (!screenshots.isEmpty()) {
                designer.resize(1000, 700);
                designer.show();
                QCoreApplication::processEvents();
                QDir().mkpath(screenshots);
                designer.grab().save(QDir(screenshots).filePath(QStringLiteral("designer-infoNO.png")));
            }
            return int(QDialog::Rejected);
        });
        click(*form, "SpeedButton4");
        QCOMPARE(fileName, path);
        QVERIFY2(classes.contains(QStringLiteral("TfrBarCodeView")), qPrintable(classes.join(u' ')));
        QVERIFY2(classes.contains(QStringLiteral("Tfr2BarCodePDFView")), qPrintable(classes.join(u' ')));
        QVERIFY(classes.contains(QStringLiteral("TfrMemoView")));
        QVERIFY(script.messages().empty());
    }

    // make run without a display: the main job headless in the home folder,
    // with nothing on stderr and the PDF where the last line says.
    void headlessRunPrintsTheDefaultTemplate() {
        makeTemplate("infoNO.frf", "", "NO");
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("MIREL_HOME"), m_home->path());
        run.setProcessEnvironment(env);
        run.start(QStringLiteral("bash"),
                  {QStringLiteral(MIREL_SOURCE_DIR "/scripts/run.sh"), QStringLiteral(MIREL_BIN_DIR)});
        QVERIFY(run.waitForFinished(120000));
        const QString out = QString::fromUtf8(run.readAllStandardOutput());
        const QString err = QString::fromUtf8(run.readAllStandardError());
        QCOMPARE(run.exitCode(), 0);
        QVERIFY2(err.isEmpty(), qPrintable(err));
        const QString pdf = home(QStringLiteral("labels.pdf"));
        QVERIFY2(out.trimmed().endsWith(QStringLiteral("run: labels printed to ") + pdf), qPrintable(out));
        QCOMPARE(codes::CodeStore(home(QStringLiteral("dbno.csh"))).count(), std::int64_t{100});
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {pdf});
        if (!info.waitForFinished(30000) || info.exitStatus() != QProcess::NormalExit)
            QSKIP("pdfinfo (poppler-utils) is not installed");
        const QString pdfInfo = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(pdfInfo.contains(QRegularExpression(QStringLiteral("Pages:\\s+100\\n"))), qPrintable(pdfInfo));
    }

    // Pictures of the main window and of a print job's preview for a person to
    // look at, with the template they show: set MIREL_SCREENSHOTS to a folder
    // to get them.
    void screenshots() {
        const QString folder = qEnvironmentVariable("MIREL_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("MIREL_SCREENSHOTS not set");
        QDir().mkpath(folder);
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        generate(*form, 12);
        const QString path = makeTemplate("codes.frf", "frDBDataSet1", "NO");
        setText(*form, "cxButtonEdit1", path);
        // The template beside its pictures, to try it by hand.
        QFile::remove(QDir(folder).filePath(QStringLiteral("codes.frf")));
        QVERIFY(QFile::copy(path, QDir(folder).filePath(QStringLiteral("codes.frf"))));
        form->showPage(QStringLiteral("yl"));
        QVERIFY(form->grab().save(QDir(folder).filePath(QStringLiteral("print-main.png"))));
        Shown shown;
        answerPreview(script, shown, QDir(folder).filePath(QStringLiteral("print-preview.png")));
        // The progress window as the first labels are made.
        m_runner->setProgressDelay(0);
        QTimer::singleShot(0, this, [folder] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (widget->objectName() == QLatin1String("PrepareProgress") && widget->isVisible())
                    widget->grab().save(QDir(folder).filePath(QStringLiteral("print-progress.png")));
        });
        click(*form, "SpeedButton5");
        QCOMPARE(shown.pageCount, 12);
    }
};

QTEST_MAIN(PrintJobTest)
#include "PrintJobTest.moc"
