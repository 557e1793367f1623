// The main window driven through its controls, found by name, with every
// question answered by scripted dialogs and the label jobs run by the stub that
// stands in for the report engine.

#include "app/ConnectionDialog.h"
#include "app/Controls.h"
#include "app/LabelJobRunner.h"
#include "app/TForm1.h"
#include "app/TForm4.h"
#include "codes/CodeStore.h"
#include "core/HomeFolder.h"
#include "core/ui/Dialogs.h"
#include "support/TestSupport.h"
#include "support/WidgetLookup.h"
#include "texttools/ui/TForm3.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStackedWidget>
#include <QTableView>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace mirel;
using namespace mirel::app;
using mirel::test::ansi;
using mirel::test::readFile;
using mirel::test::writeFile;
using mirel::ui::MessageIcon;
using mirel::ui::ScriptedDialogs;

using mirel::test::child;
using mirel::test::click;
using mirel::test::setText;

namespace {

QString currentPage(TForm1& form) { return child<QStackedWidget>(form, "Notebook1")->currentWidget()->objectName(); }


void clickLink(TForm1& form, const char* name) {
    QTest::mouseClick(child<LinkLabel>(form, name), Qt::LeftButton);
}

QString text(TForm1& form, const char* name) { return child<QLineEdit>(form, name)->text(); }

std::vector<codes::CodeRecord> allRecords(const codes::CodeStore& store) { return store.records(0, 1'000'000); }

AnsiString textValue(const std::map<AnsiString, LabelValue>& label, const char* utf8Name) {
    const auto it = label.find(ansi(utf8Name));
    if (it == label.end() || !std::holds_alternative<AnsiString>(it->second))
        return "<none>";
    return std::get<AnsiString>(it->second);
}

std::optional<std::int64_t> noValue(const std::map<AnsiString, LabelValue>& label) {
    const auto it = label.find("no");
    if (it == label.end() || !std::holds_alternative<std::int64_t>(it->second))
        return std::nullopt;
    return std::get<std::int64_t>(it->second);
}

// Receives the documents and pages the window asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

} // namespace

class TForm1Test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_home;
    StubLabelJobRunner* m_stub = nullptr;

    QString home(const QString& relative) const { return QDir(m_home->path()).filePath(relative); }

    // A main window over the test's home folder, shown as at start.
    std::unique_ptr<TForm1> startForm() {
        auto stub = std::make_unique<StubLabelJobRunner>();
        m_stub = stub.get();
        auto form = std::make_unique<TForm1>(std::move(stub));
        form->show();
        return form;
    }

    void generate(TForm1& form, const QString& quantity) {
        setText(form, "cxCalcEdit1", quantity);
        click(form, "Button1");
    }

private slots:
    void init() {
        m_home = std::make_unique<QTemporaryDir>();
        QVERIFY(m_home->isValid());
        core::setHomeFolderOverride(m_home->path());
    }
    void cleanup() {
        core::setHomeFolderOverride(QString());
        m_home.reset();
    }

    void startsWithItsInitialTextsAndLayout() {
        ScriptedDialogs script;
        TForm1 form;
        // Before show: the texts the window is made with.
        QCOMPARE(text(form, "cxTextEdit2"), QStringLiteral("BJ"));
        QCOMPARE(text(form, "cxTextEdit5"), QStringLiteral("0000000000"));
        QCOMPARE(text(form, "cxTextEdit3"), QStringLiteral("**"));
        QCOMPARE(text(form, "cxTextEdit1"), QStringLiteral("含量：120g"));
        QCOMPARE(text(form, "cxTextEdit4"), QStringLiteral("价格：3.5元"));
        QCOMPARE(text(form, "cxButtonEdit1"), QString());
        QCOMPARE(text(form, "cxCalcEdit1"), QStringLiteral("100"));
        QCOMPARE(text(form, "Edit1"), QStringLiteral("abcd"));
        QCOMPARE(child<QPlainTextEdit>(form, "cxMemo1")->toPlainText(), QStringLiteral("\n"));
        QCOMPARE(form.size(), QSize(540, 400));
        QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(form.windowTitle(), QStringLiteral("mirel标签设计"));
        QCOMPARE(form.caption(), QStringLiteral("mirel条形码编辑打印软件 8.0713"));
        QCOMPARE(child<QWidget>(form, "Image2")->toolTip(), QStringLiteral("退出"));

        // The navigation column, top to bottom.
        const QStringList captions = {"流 程", "钥 匙", "系 统", "设 计", "打 印", "外部库"};
        int lastY = -1;
        for (int i = 0; i < captions.size(); ++i) {
            auto* b = child<QAbstractButton>(form, QStringLiteral("SpeedButton%1").arg(i + 1).toLatin1());
            QCOMPARE(b->text(), captions[i]);
            QVERIFY(b->y() > lastY);
            lastY = b->y();
        }
        auto* book = child<QStackedWidget>(form, "Notebook1");
        QCOMPARE(book->size(), QSize(387, 262));
        QStringList pages;
        for (int i = 0; i < book->count(); ++i)
            pages << book->widget(i)->objectName();
        QCOMPARE(pages, (QStringList{"lc", "yl", "ys", "wbsj", "gy"}));
        QCOMPARE(child<QLabel>(form, "Label19")->toolTip(), QStringLiteral("打开帮助文档"));
        QCOMPARE(child<QLabel>(form, "Label20")->toolTip(), QStringLiteral("关于我们"));
        QCOMPARE(child<QWidget>(form, "Button5")->toolTip(), QStringLiteral("可以把文件分割成多个小文件"));
        QVERIFY(script.messages().empty());
    }

    void firstStartWithoutSettings() {
        ScriptedDialogs script;
        {
            std::unique_ptr<TForm1> form = startForm();
            QCOMPARE(currentPage(*form), QStringLiteral("lc"));
            QCOMPARE(text(*form, "cxTextEdit1"), QStringLiteral("含量：120g"));
            QCOMPARE(text(*form, "cxTextEdit4"), QStringLiteral("价格：3.50元"));
            for (const char* name : {"cxButtonEdit1", "cxTextEdit2", "cxTextEdit5", "cxTextEdit3"})
                QCOMPARE(text(*form, name), QString());
            // The home folder is laid out: an empty code store, 模板/ and db/.
            QVERIFY(QFileInfo(home(QStringLiteral("模板"))).isDir());
            QVERIFY(QFileInfo(home(QStringLiteral("db"))).isDir());
            QVERIFY(form->codeStore() && form->codeStore()->isOpen());
            QCOMPARE(form->codeStore()->count(), std::int64_t{0});
            QVERIFY(QFileInfo(home(QStringLiteral("dbno.csh"))).isFile());
            QVERIFY(!QFileInfo::exists(home(QStringLiteral("system.ini"))));
            QVERIFY(form->close());
        }
        QCOMPARE(readFile(home(QStringLiteral("system.ini"))),
                 ansi("[kz]\r\nkz01=含量：120g\r\nkz02=价格：3.50元\r\ncxButtonEdit1=\r\ncxTextEdit2=\r\n"
                      "cxTextEdit5=\r\ncxTextEdit3=\r\n"));
        QVERIFY(script.messages().empty());
    }

    void settingsComeBackAndTheRestOfTheFileStays() {
        ScriptedDialogs script;
        const QString ini = home(QStringLiteral("system.ini"));
        writeFile(ini, ansi("[window]\r\nleft=10\r\n\r\n[kz]\r\nkz01=旧的内容\r\nextra=保留\r\ncxTextEdit3=\" ** \"\r\n"
                            "\r\n[tail]\r\nz=1\r\n"));
        {
            std::unique_ptr<TForm1> form = startForm();
            QCOMPARE(text(*form, "cxTextEdit1"), QStringLiteral("旧的内容"));
            QCOMPARE(text(*form, "cxTextEdit4"), QStringLiteral("价格：3.50元"));
            QCOMPARE(text(*form, "cxTextEdit3"), QStringLiteral(" ** "));
            setText(*form, "cxTextEdit1", QStringLiteral("新含量"));
            setText(*form, "cxTextEdit4", QStringLiteral("价格：￥5"));
            setText(*form, "cxButtonEdit1", QStringLiteral("/标签/模板 1.frf"));
            setText(*form, "cxTextEdit2", QStringLiteral("编A"));
            setText(*form, "cxTextEdit5", QStringLiteral("00012"));
            // Neither the 2D-code text nor the quantity is kept.
            child<QPlainTextEdit>(*form, "cxMemo1")->setPlainText(QStringLiteral("不保存"));
            setText(*form, "cxCalcEdit1", QStringLiteral("7"));
            form->close();
        }
        // Keys replaced in place, the missing ones added to the section in the
        // order they are written, everything else byte for byte.
        QCOMPARE(readFile(ini),
                 ansi("[window]\r\nleft=10\r\n\r\n[kz]\r\nkz01=新含量\r\nextra=保留\r\ncxTextEdit3=\" ** \"\r\n"
                      "kz02=价格：￥5\r\ncxButtonEdit1=/标签/模板 1.frf\r\ncxTextEdit2=编A\r\ncxTextEdit5=00012\r\n"
                      "\r\n[tail]\r\nz=1\r\n"));
        std::unique_ptr<TForm1> again = startForm();
        QCOMPARE(text(*again, "cxTextEdit1"), QStringLiteral("新含量"));
        QCOMPARE(text(*again, "cxTextEdit4"), QStringLiteral("价格：￥5"));
        QCOMPARE(text(*again, "cxButtonEdit1"), QStringLiteral("/标签/模板 1.frf"));
        QCOMPARE(text(*again, "cxTextEdit2"), QStringLiteral("编A"));
        QCOMPARE(text(*again, "cxTextEdit5"), QStringLiteral("00012"));
        QCOMPARE(text(*again, "cxTextEdit3"), QStringLiteral(" ** "));
        QCOMPARE(child<QPlainTextEdit>(*again, "cxMemo1")->toPlainText(), QStringLiteral("\n"));
        QCOMPARE(text(*again, "cxCalcEdit1"), QStringLiteral("100"));
        QVERIFY(script.messages().empty());
    }

    void settingsThatCannotBeReadAreNotWrittenOver() {
        // A system.ini that exists but cannot be read (here: a folder of that
        // name) gives the defaults at show, and at close it is reported rather
        // than replaced by a file holding only our six keys.
        QVERIFY(QDir(m_home->path()).mkdir(QStringLiteral("system.ini")));
        writeFile(home(QStringLiteral("system.ini/keep.txt")), "x");
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        QCOMPARE(text(*form, "cxTextEdit4"), QStringLiteral("价格：3.50元"));
        QVERIFY(script.messages().empty());
        form->close();
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].caption, QStringLiteral("错误"));
        QVERIFY(!form->isVisible());
        QCOMPARE(readFile(home(QStringLiteral("system.ini/keep.txt"))), std::string("x"));
    }

    void navigationShowsPages_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("page");
        QTest::newRow("流 程") << "SpeedButton1" << "lc";
        QTest::newRow("钥 匙") << "SpeedButton2" << "ys";
        QTest::newRow("系 统") << "SpeedButton3" << "yl";
        QTest::newRow("设 计") << "SpeedButton4" << "yl";
        QTest::newRow("打 印") << "SpeedButton5" << "yl";
        QTest::newRow("外部库") << "SpeedButton6" << "wbsj";
    }
    void navigationShowsPages() {
        QFETCH(QString, button);
        QFETCH(QString, page);
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        child<QStackedWidget>(*form, "Notebook1")->setCurrentIndex(4);
        click(*form, button.toLatin1());
        QCOMPARE(currentPage(*form), page);
    }

    void codePanelTogglesTheWidth() {
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        auto* panel = child<QWidget>(*form, "Panel1");
        QCOMPARE(form->widthFlag(), 0);
        QVERIFY(!panel->isVisible());
        clickLink(*form, "Label9");
        QCOMPARE(form->width(), 685);
        QCOMPARE(form->height(), 400);
        QCOMPARE(form->widthFlag(), 1);
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->x(), 540);
        QCOMPARE(child<QPlainTextEdit>(*form, "cxMemo1")->width(), 129);
        // The close picture stays at the top right.
        QVERIFY(child<QWidget>(*form, "Image2")->geometry().right() > 640);
        clickLink(*form, "Label9");
        QCOMPARE(form->width(), 540);
        QCOMPARE(form->widthFlag(), 0);
        QVERIFY(!panel->isVisible());
    }

    void aboutPageShowsTheCaptionAfterTheLink() {
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        QCOMPARE(child<QLabel>(*form, "Label18")->text(), QStringLiteral("版本："));
        clickLink(*form, "Label20");
        QCOMPARE(currentPage(*form), QStringLiteral("gy"));
        QCOMPARE(child<QLabel>(*form, "Label18")->text(), QStringLiteral("mirel条形码编辑打印软件 8.0713"));
    }

    void helpAndTemplateLinksOpenThroughTheDesktop() {
        ScriptedDialogs script;
        UrlCatcher catcher;
        for (const char* scheme : {"file", "https"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "open");
        std::unique_ptr<TForm1> form = startForm();
        // No Help.chm: nothing happens.
        clickLink(*form, "Label19");
        QVERIFY(catcher.urls.isEmpty());
        writeFile(home(QStringLiteral("Help.chm")), "ITSF");
        clickLink(*form, "Label19");
        clickLink(*form, "Label21");
        for (const char* scheme : {"file", "https"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        QCOMPARE(catcher.urls.size(), 2);
        QCOMPARE(catcher.urls[0], QUrl::fromLocalFile(home(QStringLiteral("Help.chm"))));
        QCOMPARE(catcher.urls[1], QUrl(QString::fromLatin1(kTemplateDownloadUrl)));
        QVERIFY(script.messages().empty());
    }

    void closePictureClosesAndWritesSettings() {
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        click(*form, "Image2");
        QVERIFY(!form->isVisible());
        QVERIFY(QFileInfo::exists(home(QStringLiteral("system.ini"))));
    }

    void printWithoutTemplateAsksForOne() {
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        click(*form, "SpeedButton2");
        click(*form, "SpeedButton5");
        QCOMPARE(currentPage(*form), QStringLiteral("yl"));
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].text, QStringLiteral("请选择你要打印的标签文件!"));
        QCOMPARE(script.messages()[0].caption, QStringLiteral("提示"));
        QCOMPARE(script.messages()[0].icon, MessageIcon::None);
        QVERIFY(m_stub->printCalls().empty());
    }

    void templateChoiceFillsThePath() {
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        QAction* ellipsis = form->findChild<QAction*>(QStringLiteral("cxButtonEdit1Button"));
        QVERIFY(ellipsis);
        script.answerFile(std::nullopt);
        ellipsis->trigger();
        QCOMPARE(text(*form, "cxButtonEdit1"), QString());
        const QString chosen = home(QStringLiteral("模板/货架 标签.frf"));
        script.answerFile(chosen);
        ellipsis->trigger();
        QCOMPARE(text(*form, "cxButtonEdit1"), chosen);
        QCOMPARE(script.fileQuestions().size(), size_t(2));
        const ScriptedDialogs::FileQuestion& question = script.fileQuestions()[0];
        QVERIFY(!question.save);
        QCOMPARE(question.options.title, QStringLiteral("mirel标签文件"));
        QCOMPARE(question.options.filter, QStringLiteral("条形码文件(*.frf)|*.frf"));
        QCOMPARE(question.options.initialFolder, home(QStringLiteral("模板")));
    }

    void printAnswersLabelVariablesFromTheFields() {
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        generate(*form, QStringLiteral("3"));
        QCOMPARE(form->codeStore()->count(), std::int64_t{3});
        setText(*form, "cxButtonEdit1", QStringLiteral("/no/such/label.frf"));
        setText(*form, "cxTextEdit2", QStringLiteral("编"));
        setText(*form, "cxTextEdit5", QStringLiteral("0000000007"));
        setText(*form, "cxTextEdit3", QStringLiteral("尾"));
        setText(*form, "cxCalcEdit1", QStringLiteral("2.5"));
        click(*form, "SpeedButton5");
        QCOMPARE(m_stub->printCalls().size(), size_t(1));
        const StubLabelJobRunner::PrintCall& first = m_stub->printCalls()[0];
        QCOMPARE(first.templatePath, QStringLiteral("/no/such/label.frf"));
        // 2.5 rounds to the even 2: two labels of the three codes.
        QCOMPARE(first.quantity, std::int64_t{2});
        QCOMPARE(first.labels.size(), size_t(2));
        QCOMPARE(noValue(first.labels[0]), std::optional<std::int64_t>(0));
        QCOMPARE(noValue(first.labels[1]), std::optional<std::int64_t>(1));
        const auto& label = first.labels[0];
        QCOMPARE(textValue(label, "编头"), ansi("编"));
        QCOMPARE(textValue(label, "条形码编号"), AnsiString("0000000007"));
        QCOMPARE(textValue(label, "编尾"), ansi("尾"));
        QCOMPARE(textValue(label, "数据扩充1"), ansi("含量：120g"));
        QCOMPARE(textValue(label, "数据扩充2"), ansi("价格：3.50元"));
        QCOMPARE(textValue(label, "二维码"), AnsiString("\r\n"));
        QCOMPARE(std::get<double>(label.at(ansi("数量"))), 2.5);

        // The fields as they stand at the next job: 3.5 rounds to 4 (three codes
        // give three labels), the 2D text of two lines joins them with CR LF.
        setText(*form, "cxTextEdit2", QStringLiteral("XY"));
        setText(*form, "cxCalcEdit1", QStringLiteral("3.5"));
        child<QPlainTextEdit>(*form, "cxMemo1")->setPlainText(QStringLiteral("A\nB"));
        m_stub->setAskedNames({ansi("编头"), ansi("二维码"), "NO", "no"});
        click(*form, "SpeedButton5");
        const StubLabelJobRunner::PrintCall& second = m_stub->printCalls().back();
        QCOMPARE(second.quantity, std::int64_t{4});
        QCOMPARE(second.labels.size(), size_t(3));
        QCOMPARE(textValue(second.labels[2], "编头"), AnsiString("XY"));
        QCOMPARE(textValue(second.labels[2], "二维码"), AnsiString("A\r\nB"));
        QCOMPARE(noValue(second.labels[2]), std::optional<std::int64_t>(2));
        QVERIFY(!second.labels[2].count("NO"));
        QVERIFY(script.messages().empty());

        // A quantity that is no number is reported; no job runs.
        setText(*form, "cxCalcEdit1", QStringLiteral("abc"));
        click(*form, "SpeedButton5");
        QCOMPARE(m_stub->printCalls().size(), size_t(2));
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].caption, QStringLiteral("错误"));
        QVERIFY(script.messages()[0].text.contains(QStringLiteral("'abc'")));
    }

    void designOpensTheDefaultTemplateWithoutAPath() {
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        click(*form, "SpeedButton4");
        QCOMPARE(currentPage(*form), QStringLiteral("yl"));
        setText(*form, "cxButtonEdit1", QStringLiteral("/labels/a.frf"));
        click(*form, "SpeedButton4");
        QCOMPARE(m_stub->designCalls(), (std::vector<QString>{home(QStringLiteral("模板/infoNO.frf")), "/labels/a.frf"}));
        QVERIFY(script.messages().empty());
    }

    void generationAndDeleteAll() {
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        auto* grid = child<QTableView>(*form, "DBGrid1");
        QCOMPARE(grid->model()->columnCount(), 4);
        const QStringList headers = {"ID", "NO", "key0", "key1"};
        for (int c = 0; c < 4; ++c)
            QCOMPARE(grid->model()->headerData(c, Qt::Horizontal).toString(), headers[c]);
        QCOMPARE(grid->columnWidth(0), 45);
        QCOMPARE(grid->columnWidth(1), 49);
        QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);

        generate(*form, QStringLiteral("100"));
        std::vector<codes::CodeRecord> records = allRecords(*form->codeStore());
        QCOMPARE(records.size(), size_t(100));
        const codes::CodeList& list = form->codeList();
        QCOMPARE(list.size(), std::int64_t{100});
        for (size_t i = 0; i < records.size(); ++i) {
            QCOMPARE(records[i].no, std::to_string(i + 1));
            QVERIFY(records[i].key0.empty());
            QCOMPARE(records[i].key1.size(), size_t(10));
            QCOMPARE(std::string(list.line(std::int64_t(i))), records[i].no + " " + records[i].key1);
        }
        QCOMPARE(grid->model()->rowCount(), 100);
        QCOMPARE(grid->model()->index(99, 1).data().toString(), QStringLiteral("100"));
        QCOMPARE(grid->model()->index(0, 3).data().toString(), QString::fromStdString(records[0].key1));
        QCOMPARE(child<QProgressBar>(*form, "ProgressBar1")->value(), 0);

        // A second generation leaves only its own series.
        generate(*form, QStringLiteral("5"));
        records = allRecords(*form->codeStore());
        QCOMPARE(records.size(), size_t(5));
        QCOMPARE(records.back().no, std::string("5"));
        QCOMPARE(std::string(form->codeList().line(4)), "5 " + records.back().key1);
        QCOMPARE(grid->model()->rowCount(), 5);
        QVERIFY(script.messages().empty());

        // A quantity that is no whole number is refused before anything is deleted.
        for (const char* bad : {"12a", "2.5", "-1", ""}) {
            generate(*form, QString::fromLatin1(bad));
            QCOMPARE(form->codeStore()->count(), std::int64_t{5});
            QCOMPARE(form->codeList().size(), std::int64_t{5});
        }
        QCOMPARE(script.messages().size(), size_t(4));
        QCOMPARE(script.messages()[0].caption, QStringLiteral("错误"));
        QCOMPARE(script.messages()[0].icon, MessageIcon::Error);
        QVERIFY(script.messages()[0].text.contains(QStringLiteral("'12a'")));
        QCOMPARE(grid->model()->rowCount(), 5);

        click(*form, "Button2");
        QCOMPARE(form->codeStore()->count(), std::int64_t{0});
        QVERIFY(form->codeList().empty());
        QCOMPARE(grid->model()->rowCount(), 0);
        // Quantity 0 empties the store and the list too.
        generate(*form, QStringLiteral("4"));
        generate(*form, QStringLiteral("0"));
        QCOMPARE(form->codeStore()->count(), std::int64_t{0});
        QVERIFY(form->codeList().empty());
        QCOMPARE(script.messages().size(), size_t(4));
    }

    void aStoreThatCannotBeOpenedIsReportedAndKept() {
        ScriptedDialogs script;
        const QString store = home(QStringLiteral("dbno.csh"));
        writeFile(store, "not a code store, but somebody's file");
        std::unique_ptr<TForm1> form = startForm();
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].caption, QStringLiteral("错误"));
        QVERIFY(script.messages()[0].text.contains(QStringLiteral("dbno.csh")));
        QVERIFY(!form->codeStore());
        QCOMPARE(child<QTableView>(*form, "DBGrid1")->model()->rowCount(), 0);
        // The commands say so again; the window keeps running and the file is kept.
        generate(*form, QStringLiteral("3"));
        click(*form, "Button2");
        QCOMPARE(script.messages().size(), size_t(3));
        QCOMPARE(readFile(store), std::string("not a code store, but somebody's file"));
        // The backup has nothing to copy.
        script.answerFile(home(QStringLiteral("db/x.mdb")));
        click(*form->form4(), "Button1");
        QCOMPARE(script.messages().back().text, QStringLiteral("备份失败！"));
        QVERIFY(!QFileInfo::exists(home(QStringLiteral("db/x.mdb"))));
    }

    void closeDuringGenerationWaitsForIt() {
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        // The request comes in while the command lets the event loop repaint.
        QTimer::singleShot(0, form.get(), &QWidget::close);
        generate(*form, QStringLiteral("5000"));
        QCOMPARE(form->codeStore()->count(), std::int64_t{5000});
        QTRY_VERIFY(!form->isVisible());
        QVERIFY(QFileInfo::exists(home(QStringLiteral("system.ini"))));
        QVERIFY(script.messages().empty());
    }

    void exportAndImport() {
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        // Right after start the code list is empty, and so is the export.
        const QString empty = home(QStringLiteral("empty.txt"));
        script.answerFile(empty);
        click(*form, "Button3");
        QVERIFY(QFileInfo::exists(empty));
        QCOMPARE(readFile(empty), std::string());
        const ScriptedDialogs::FileQuestion& exportQuestion = script.fileQuestions()[0];
        QVERIFY(exportQuestion.save);
        QCOMPARE(exportQuestion.options.title, QStringLiteral("保存条码软件防伪序列号"));
        QCOMPARE(exportQuestion.options.filter, QStringLiteral("标签防伪序列号保存(*.txt)|*.txt"));
        QCOMPARE(exportQuestion.options.defaultSuffix, QStringLiteral("txt"));
        QCOMPARE(exportQuestion.options.initialFolder, m_home->path());

        generate(*form, QStringLiteral("3"));
        const std::vector<codes::CodeRecord> generated = allRecords(*form->codeStore());
        const QString exported = home(QStringLiteral("codes.txt"));
        script.answerFile(exported);
        click(*form, "Button3");
        const std::string expected = "1 " + generated[0].key1 + "\r\n2 " + generated[1].key1 + "\r\n3 " +
                                     generated[2].key1 + "\r\n";
        QCOMPARE(readFile(exported), expected);

        // Import of the exported file: the same codes, the list equal to the lines.
        click(*form, "Button2");
        script.answerFile(exported);
        click(*form, "Button4");
        const ScriptedDialogs::FileQuestion& importQuestion = script.fileQuestions().back();
        QVERIFY(!importQuestion.save);
        QCOMPARE(importQuestion.options.title, QStringLiteral("需要导入的序号文本文件"));
        QCOMPARE(importQuestion.options.filter, QStringLiteral("序号文本文件(*.txt)|*.txt"));
        std::vector<codes::CodeRecord> records = allRecords(*form->codeStore());
        QCOMPARE(records.size(), size_t(3));
        for (size_t i = 0; i < 3; ++i) {
            QCOMPARE(records[i].no, std::to_string(i + 1));
            QVERIFY(records[i].key0.empty());
            QCOMPARE(records[i].key1, generated[i].key1);
        }
        QCOMPARE(form->codeList().text(), expected);

        // Lines split at the first TAB, else the first space.
        const QString mixed = home(QStringLiteral("mixed.txt"));
        writeFile(mixed, "7\tA12\tXYZ\n7 A12 XYZ Q\r\n1 2\t3\rABC\n\n");
        script.answerFile(mixed);
        click(*form, "Button4");
        records = allRecords(*form->codeStore());
        QCOMPARE(records.size(), size_t(5));
        const std::array<std::array<const char*, 3>, 5> fields = {{
            {"7", "A12", "XYZ"}, {"7", "A12", "XYZ Q"}, {"1 2", "", "3"}, {"", "", "ABC"}, {"", "", ""},
        }};
        for (size_t i = 0; i < fields.size(); ++i) {
            QCOMPARE(records[i].no, std::string(fields[i][0]));
            QCOMPARE(records[i].key0, std::string(fields[i][1]));
            QCOMPARE(records[i].key1, std::string(fields[i][2]));
        }
        QCOMPARE(child<QTableView>(*form, "DBGrid1")->model()->rowCount(), 5);

        // Cancelling, or naming a file that does not exist, changes nothing.
        script.answerFile(std::nullopt);
        click(*form, "Button4");
        script.answerFile(home(QStringLiteral("missing.txt")));
        click(*form, "Button4");
        QCOMPARE(form->codeStore()->count(), std::int64_t{5});
        QCOMPARE(form->codeList().size(), std::int64_t{5});
        QVERIFY(script.messages().empty());

        // A file that cannot be written is reported and the list is kept.
        script.answerFile(home(QStringLiteral("no/such/folder/codes.txt")));
        click(*form, "Button3");
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].caption, QStringLiteral("错误"));
    }

    void backupWindowCopiesTheStore() {
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        generate(*form, QStringLiteral("3"));
        click(*form, "Button6");
        TForm4* backup = form->form4();
        QVERIFY(backup->isVisible());
        QCOMPARE(backup->windowTitle(), QStringLiteral("应用防伪序列"));
        QCOMPARE(backup->size(), QSize(493, 340));

        const QString target = home(QStringLiteral("db/今天.mdb"));
        script.answerFile(target);
        click(*backup, "Button1");
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].text, QStringLiteral("备份成功！"));
        QCOMPARE(script.messages()[0].caption, QStringLiteral("提示"));
        QCOMPARE(script.messages()[0].icon, MessageIcon::Exclamation);
        QCOMPARE(readFile(target), readFile(home(QStringLiteral("dbno.csh"))));
        const ScriptedDialogs::FileQuestion& question = script.fileQuestions()[0];
        QVERIFY(question.save);
        QCOMPARE(question.options.title, QStringLiteral("备份防伪码数据库"));
        QCOMPARE(question.options.filter, QStringLiteral("防伪码数据库|*.mdb"));
        QCOMPARE(question.options.defaultSuffix, QStringLiteral("mdb"));
        QCOMPARE(question.options.initialFolder, home(QStringLiteral("db")));
        QVERIFY(form->codeStore()->isOpen());
        QCOMPARE(child<QTableView>(*form, "DBGrid1")->model()->rowCount(), 3);

        // An existing file is never overwritten.
        const QString existing = home(QStringLiteral("db/old.mdb"));
        writeFile(existing, "keep me");
        script.answerFile(existing);
        click(*backup, "Button1");
        QCOMPARE(script.messages().size(), size_t(2));
        QCOMPARE(script.messages()[1].text, QStringLiteral("备份失败！"));
        QCOMPARE(readFile(existing), std::string("keep me"));

        // Cancelled: no message, the grid shows the store again.
        script.answerFile(std::nullopt);
        click(*backup, "Button1");
        QCOMPARE(script.messages().size(), size_t(2));
        QVERIFY(form->codeStore()->isOpen());
        QCOMPARE(child<QTableView>(*form, "DBGrid1")->model()->rowCount(), 3);
        QCOMPARE(child<QTableView>(*form, "DBGrid1")->model()->index(2, 1).data().toString(), QStringLiteral("3"));
    }

    void textToolWindowOpensBesideTheMainWindow() {
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        click(*form, "Button5");
        QVERIFY(form->form3()->isVisible());
        QVERIFY(!form->form3()->isModal());
        QVERIFY(form->isVisible());
    }

    void externalTableAttachesAndCountsNo() {
        ScriptedDialogs script;
        const QString file = home(QStringLiteral("shop.db"));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("shop"));
            db.setDatabaseName(file);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE labels (name TEXT, price REAL)")));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO labels VALUES ('苹果', 3.5), ('梨', 2), ('桃', 4), ('枣', 9)")));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("shop"));

        std::unique_ptr<TForm1> form = startForm();
        generate(*form, QStringLiteral("3"));
        click(*form, "SpeedButton6");
        auto* combo = child<QComboBox>(*form, "ComboBox1");
        auto* grid = child<QTableView>(*form, "DBGrid2");

        // The connection dialog: choose SQLite and the file, try it, confirm.
        script.answerDialog([&](QDialog& dialog) {
            auto* driver = dialog.findChild<QComboBox*>(QStringLiteral("DriverBox"));
            driver->setCurrentIndex(driver->findData(QStringLiteral("QSQLITE")));
            dialog.findChild<QLineEdit*>(QStringLiteral("DatabaseEdit"))->setText(file);
            dialog.findChild<QPushButton*>(QStringLiteral("TestButton"))->click();
            return int(QDialog::Accepted);
        });
        click(*form, "Button7");
        QCOMPARE(script.dialogsShown(), QStringList{"ConnectionDialog"});
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].text, QStringLiteral("连接成功!"));
        QCOMPARE(combo->count(), 0);

        // No table name: asked for one.
        click(*form, "Button8");
        QCOMPARE(script.messages().size(), size_t(2));
        QCOMPARE(script.messages()[1].text, QStringLiteral("请选择数据库表!"));
        QCOMPARE(script.messages()[1].caption, QStringLiteral("提示"));
        QCOMPARE(script.messages()[1].icon, MessageIcon::None);
        QVERIFY(!form->externalSource().isOpen());

        // A name typed into the box opens that table.
        combo->setEditText(QStringLiteral("labels"));
        click(*form, "Button8");
        QVERIFY(form->externalSource().isOpen());
        QCOMPARE(grid->model()->rowCount(), 4);
        QCOMPARE(grid->model()->index(1, 0).data().toString(), QStringLiteral("梨"));
        QCOMPARE(form->externalSource().table().table, QStringLiteral("labels"));

        // While it is open "no" answers the external adapter's counter, which a
        // run over the code store does not move.
        setText(*form, "cxButtonEdit1", QStringLiteral("/labels/x.frf"));
        setText(*form, "cxCalcEdit1", QStringLiteral("3"));
        m_stub->setAskedNames({"no"});
        click(*form, "SpeedButton5");
        const StubLabelJobRunner::PrintCall& call = m_stub->printCalls().back();
        QCOMPARE(call.labels.size(), size_t(3));
        for (const auto& label : call.labels)
            QCOMPARE(noValue(label), std::optional<std::int64_t>(0));
        QCOMPARE(m_stub->codeStoreCounter(), std::int64_t{2});

        // Choosing the database again closes the table, even when cancelled, and
        // offers the last table name.
        script.answerDialog([](QDialog&) { return int(QDialog::Rejected); });
        combo->setEditText(QStringLiteral("typed"));
        click(*form, "Button7");
        QVERIFY(!form->externalSource().isOpen());
        QCOMPARE(grid->model()->rowCount(), 0);
        QCOMPARE(combo->count(), 1);
        QCOMPARE(combo->itemText(0), QStringLiteral("labels"));
        QCOMPARE(combo->currentText(), QStringLiteral("typed"));
        // The settings were kept: the old table opens again without the dialog.
        combo->setEditText(QStringLiteral("labels"));
        click(*form, "Button8");
        QVERIFY(form->externalSource().isOpen());

        // Closed again, "no" counts the code store.
        click(*form, "Button7");
        click(*form, "SpeedButton5");
        const auto& labels = m_stub->printCalls().back().labels;
        QCOMPARE(noValue(labels.back()), std::optional<std::int64_t>(2));

        // A table that is not there: the database's message, the source closed.
        const size_t before = script.messages().size();
        combo->setEditText(QStringLiteral("labels\"; DROP TABLE labels; --"));
        click(*form, "Button8");
        QCOMPARE(script.messages().size(), before + 1);
        QCOMPARE(script.messages().back().caption, QStringLiteral("错误"));
        QVERIFY(!form->externalSource().isOpen());
        combo->setEditText(QStringLiteral("labels"));
        click(*form, "Button8");
        QCOMPARE(grid->model()->rowCount(), 4);
    }

    void secondCopyIsRefusedAndLeavesTheFirstAlone() {
        const QString program = QStringLiteral(MIREL_BIN_DIR "/mirel");
        QVERIFY(QFileInfo(program).isExecutable());
        QTemporaryDir runtime;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("MIREL_HOME"), m_home->path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        const QString ini = home(QStringLiteral("system.ini"));
        const std::string settings = ansi("[kz]\r\nkz01=第一\r\n[其他]\r\nx=1\r\n");
        writeFile(ini, settings);
        const QString store = home(QStringLiteral("dbno.csh"));

        // Started and showing: it has opened (and so made) the code store.
        const auto start = [&](QProcess& process) {
            QFile::remove(store);
            process.setProcessEnvironment(env);
            process.start(program, {});
            QVERIFY(process.waitForStarted(10000));
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(store) || process.state() != QProcess::Running, 20000);
            QCOMPARE(process.state(), QProcess::Running);
        };
        const auto refused = [&] {
            QProcess second;
            second.setProcessEnvironment(env);
            second.start(program, {});
            QVERIFY(second.waitForFinished(20000));
            QCOMPARE(second.exitCode(), 1);
            QVERIFY(QString::fromUtf8(second.readAllStandardError()).contains(QStringLiteral("软件已经运行!")));
        };

        QProcess first;
        start(first);
        refused();
        QCOMPARE(first.state(), QProcess::Running);
        QCOMPARE(readFile(ini), settings);
        // Asked to end, the first copy closes its window and writes its settings.
        first.terminate();
        QVERIFY(first.waitForFinished(20000));
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        const std::string written = readFile(ini);
        QVERIFY(written.find(ansi("kz01=第一\r\nkz02=价格：3.50元\r\n")) != std::string::npos);
        QVERIFY(written.find(ansi("[其他]\r\nx=1\r\n")) != std::string::npos);

        // A copy that crashed leaves no lock behind.
        QProcess crashed;
        start(crashed);
        crashed.kill();
        QVERIFY(crashed.waitForFinished(20000));
        QProcess next;
        start(next);
        refused();
        next.terminate();
        QVERIFY(next.waitForFinished(20000));
    }

    // Pictures of every page for a person to look at: set MIREL_SCREENSHOTS to a
    // folder to get them.
    void screenshots() {
        const QString folder = qEnvironmentVariable("MIREL_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("MIREL_SCREENSHOTS not set");
        QDir().mkpath(folder);
        ScriptedDialogs script;
        std::unique_ptr<TForm1> form = startForm();
        generate(*form, QStringLiteral("40"));
        const auto shot = [&](QWidget& widget, const QString& name) {
            QVERIFY(widget.grab().save(QDir(folder).filePath(name + QStringLiteral(".png"))));
        };
        for (const char* page : {"lc", "yl", "ys", "wbsj", "gy"}) {
            form->showPage(QString::fromLatin1(page));
            shot(*form, QStringLiteral("main-%1").arg(QLatin1String(page)));
        }
        form->showPage(QStringLiteral("yl"));
        clickLink(*form, "Label9");
        shot(*form, QStringLiteral("main-wide"));
        clickLink(*form, "Label20");
        shot(*form, QStringLiteral("main-about"));
        click(*form, "Button6");
        shot(*form->form4(), QStringLiteral("backup"));
        click(*form, "Button5");
        shot(*form->form3(), QStringLiteral("texttools"));
        ConnectionDialog dialog(form->externalSource().settings());
        dialog.show();
        shot(dialog, QStringLiteral("connection"));
    }
};

QTEST_MAIN(TForm1Test)
#include "TForm1Test.moc"
