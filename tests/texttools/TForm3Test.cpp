// The serial text tool window, driven through its buttons with scripted dialogs.

#include "texttools/ui/ArrangementGrid.h"
#include "texttools/ui/LineListView.h"
#include "texttools/ui/TForm3.h"

#include "core/HomeFolder.h"
#include "core/ui/Dialogs.h"
#include "support/TestSupport.h"
#include "support/WidgetLookup.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace mirel::texttools;
using mirel::test::hexBytes;
using mirel::test::readFile;
using mirel::test::writeFile;
using mirel::ui::MessageIcon;
using mirel::ui::ScriptedDialogs;

using mirel::test::child;

namespace {

std::string numberedLines(int first, int last) {
    std::string text;
    char line[16];
    for (int i = first; i <= last; ++i) {
        std::snprintf(line, sizeof line, "L%04d\r\n", i);
        text += line;
    }
    return text;
}

} // namespace

class TForm3Test : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_home;
    ArrangementGridModel* grid(TForm3& form) { return child<ArrangementGrid>(form, "StringGrid1")->gridModel(); }
    QString panel(TForm3& form, int i) {
        return child<QStatusBar>(form, "StatusBar1")->findChild<QLabel*>(QStringLiteral("Panel%1").arg(i))->text();
    }
    void click(TForm3& form, const char* name) { child<QPushButton>(form, name)->click(); }
    void setLines(TForm3& form, int start, int end) {
        child<QSpinBox>(form, "cxCalcEdit1")->setValue(start);
        child<QSpinBox>(form, "cxCalcEdit2")->setValue(end);
    }
    // Opens `path` through "打开文件".
    void openSource(TForm3& form, ScriptedDialogs& script, const QString& path) {
        script.answerFile(path);
        click(form, "Button1");
    }

private slots:
    void initTestCase() { mirel::core::setHomeFolderOverride(m_home.path()); }
    void cleanupTestCase() { mirel::core::setHomeFolderOverride(QString()); }

    void startsAsDesigned() {
        TForm3 form;
        QCOMPARE(form.windowTitle(), QStringLiteral("序号文本处理工具"));
        QCOMPARE(form.size(), QSize(592, 450));
        auto* tabs = child<QTabWidget>(form, "PageControl1");
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->tabText(0), QStringLiteral("文件分割"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("序号编排"));
        QCOMPARE(child<QLabel>(form, "Label1")->text(), QStringLiteral("行数:"));
        QCOMPARE(child<QLabel>(form, "Label2")->text(), QStringLiteral("行数:"));
        QCOMPARE(child<QSpinBox>(form, "cxCalcEdit1")->value(), 1);
        QCOMPARE(child<QSpinBox>(form, "cxCalcEdit2")->value(), 1);
        QCOMPARE(child<QLineEdit>(form, "Edit1")->text(), QStringLiteral("10"));
        QCOMPARE(child<QLineEdit>(form, "Edit2")->text(), QStringLiteral("4"));
        const QStringList captions = {"打开文件", "分割文件", "保存分割", "自动分割", "确 定", "导入20位编码序列", "保 存"};
        for (int i = 0; i < captions.size(); ++i)
            QCOMPARE(child<QPushButton>(form, QStringLiteral("Button%1").arg(i + 1).toLatin1())->text(), captions[i]);
        QCOMPARE(grid(form)->gridColumns(), 4);
        QCOMPARE(grid(form)->gridRows(), 6);
        auto* status = child<QStatusBar>(form, "StatusBar1");
        const int widths[] = {150, 150, 50};
        for (int i = 0; i < 3; ++i)
            QCOMPARE(status->findChild<QLabel*>(QStringLiteral("Panel%1").arg(i))->width(), widths[i]);
        QVERIFY(child<LineListView>(form, "Memo3")->minimumWidth() >= 190);
    }

    void countFieldsTakeDigitsOnly_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("letter") << int(Qt::Key_A) << QString() << "10";
        QTest::newRow("digit") << int(Qt::Key_5) << QString() << "105";
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << QString() << "1";
        QTest::newRow("minus") << int(Qt::Key_Minus) << QString() << "10";
        QTest::newRow("point") << int(Qt::Key_Period) << QString() << "10";
        QTest::newRow("space") << int(Qt::Key_Space) << QString() << "10";
        QTest::newRow("Chinese") << 0 << QStringLiteral("中") << "10";
        QTest::newRow("digits typed") << 0 << QStringLiteral("07") << "1007";
    }
    void countFieldsTakeDigitsOnly() {
        QFETCH(int, key);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        TForm3 form;
        for (const char* name : {"Edit1", "Edit2"}) {
            auto* field = child<QLineEdit>(form, name);
            field->setText(QStringLiteral("10"));
            field->end(false);
            if (key)
                QTest::keyClick(field, Qt::Key(key));
            for (const QChar ch : typed) {
                // Characters as a keyboard or input method delivers them, whatever the key.
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
                QApplication::sendEvent(field, &press);
            }
            QCOMPARE(field->text(), expected);
        }
    }

    void layOutWritesHeadersAndTotal() {
        ScriptedDialogs script;
        TForm3 form;
        child<QLineEdit>(form, "Edit1")->setText(QStringLiteral("2"));
        child<QLineEdit>(form, "Edit2")->setText(QStringLiteral("5"));
        click(form, "Button5");
        QCOMPARE(panel(form, 0), QStringLiteral("总记录数是：10"));
        ArrangementGridModel* model = grid(form);
        QCOMPARE(model->gridColumns(), 6);
        QCOMPARE(model->gridRows(), 3);
        QCOMPARE(model->cell(0, 0), QStringLiteral("ID"));
        for (int c = 1; c <= 5; ++c)
            QCOMPARE(model->cell(c, 0), QStringLiteral("标签%1").arg(c));
        QCOMPARE(model->cell(0, 1), QStringLiteral("1"));
        QCOMPARE(model->cell(0, 2), QStringLiteral("2"));
        QCOMPARE(model->headerData(4, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("标签5"));
        QCOMPARE(model->headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("2"));
        QVERIFY(script.messages().empty());

        // A pasted value that is no whole number ends the command with its error.
        child<QLineEdit>(form, "Edit1")->setText(QStringLiteral("1a"));
        click(form, "Button5");
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].text, QStringLiteral("'1a' is not a valid integer value"));
        QCOMPARE(script.messages()[0].icon, MessageIcon::Error);
        QCOMPARE(panel(form, 0), QStringLiteral("总记录数是：10"));
        // An empty field: lay out does nothing at all.
        child<QLineEdit>(form, "Edit1")->clear();
        click(form, "Button5");
        QCOMPARE(script.messages().size(), size_t(1));
    }

    void importFillsByColumnsAndSavesByRows() {
        QTemporaryDir dir;
        std::string serials;
        for (int i = 1; i <= 40; ++i)
            serials += (i == 11 ? "  s11\t" : "s" + std::to_string(i)) + "\n";
        const QString source = dir.filePath(QStringLiteral("serials.txt"));
        writeFile(source, serials);
        ScriptedDialogs script;
        TForm3 form;
        script.answerFile(source);
        click(form, "Button6");
        QCOMPARE(script.fileQuestions().size(), size_t(1));
        QCOMPARE(script.fileQuestions()[0].options.filter, QStringLiteral("TXT|*.TXT"));
        QCOMPARE(panel(form, 0), QStringLiteral("总记录数是：40"));
        QCOMPARE(panel(form, 1), QStringLiteral("标签数量：40"));
        QCOMPARE(child<LineListView>(form, "Memo3")->lineCount(), 40);
        ArrangementGridModel* model = grid(form);
        QCOMPARE(model->gridColumns(), 5);
        QCOMPARE(model->gridRows(), 11);
        // Page r, position c: serial (c - 1) * 10 + r, without the blanks around s11.
        QCOMPARE(model->cell(1, 1), QStringLiteral("s1"));
        QCOMPARE(model->cell(2, 1), QStringLiteral("s11"));
        QCOMPARE(model->cell(4, 1), QStringLiteral("s31"));
        QCOMPARE(model->cell(1, 10), QStringLiteral("s10"));
        QCOMPARE(model->cell(4, 10), QStringLiteral("s40"));
        QCOMPARE(model->data(model->index(1, 2), Qt::DisplayRole).toString(), QStringLiteral("s22"));

        script.answerFile(dir.filePath(QStringLiteral("arranged")));
        click(form, "Button7");
        const auto& save = script.fileQuestions().back();
        QVERIFY(save.save);
        QCOMPARE(save.options.filter, QStringLiteral("文本文件保存(*.txt)|*.txt"));
        QCOMPARE(save.options.initialFolder, m_home.path());
        std::string expected;
        for (int page = 1; page <= 10; ++page)
            for (int label = 1; label <= 4; ++label)
                expected += "s" + std::to_string((label - 1) * 10 + page) + "\r\n";
        QCOMPARE(readFile(dir.filePath(QStringLiteral("arranged.txt"))), expected);

        // A smaller lay out keeps the serials inside it and the arranged list as it was.
        child<QLineEdit>(form, "Edit1")->setText(QStringLiteral("3"));
        click(form, "Button5");
        QCOMPARE(model->gridRows(), 4);
        QCOMPARE(model->cell(4, 3), QStringLiteral("s33"));
        script.answerFile(dir.filePath(QStringLiteral("again")));
        click(form, "Button7");
        QCOMPARE(readFile(dir.filePath(QStringLiteral("again.txt"))), expected);
        QVERIFY(script.messages().empty());
    }

    void importOfAShortListLeavesCellsEmpty() {
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("serials.txt"));
        writeFile(source, "s1\r\ns2\r\ns3\r\n");
        ScriptedDialogs script;
        TForm3 form;
        child<QLineEdit>(form, "Edit1")->setText(QStringLiteral("2"));
        child<QLineEdit>(form, "Edit2")->setText(QStringLiteral("2"));
        script.answerFile(source);
        click(form, "Button6");
        QCOMPARE(grid(form)->cell(2, 1), QStringLiteral("s3"));
        QCOMPARE(grid(form)->cell(2, 2), QString());
        script.answerFile(dir.filePath(QStringLiteral("out")));
        click(form, "Button7");
        QCOMPARE(readFile(dir.filePath(QStringLiteral("out.txt"))), std::string("s1\r\ns3\r\ns2\r\n\r\n"));
    }

    void importWithAnEmptyFieldLoadsThenFails() {
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("serials.txt"));
        writeFile(source, "s1\r\ns2\r\n");
        ScriptedDialogs script;
        TForm3 form;
        child<QLineEdit>(form, "Edit2")->clear();
        script.answerFile(source);
        click(form, "Button6");
        QCOMPARE(child<LineListView>(form, "Memo3")->lineCount(), 2);
        QCOMPARE(panel(form, 1), QStringLiteral("标签数量：2"));
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].text, QStringLiteral("'' is not a valid integer value"));
        QCOMPARE(grid(form)->cell(1, 1), QString());
    }

    void splitCopiesTheFileThenReportsTheEnd() {
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("list.txt"));
        writeFile(source, numberedLines(1, 1000));
        ScriptedDialogs script;
        TForm3 form;
        click(form, "Button2");   // nothing opened: nothing happens
        click(form, "Button4");
        QVERIFY(script.messages().empty());
        openSource(form, script, source);
        QCOMPARE(child<QLabel>(form, "Label1")->text(), QStringLiteral("当前文件行记录: 1000 条"));
        QCOMPARE(child<QSpinBox>(form, "cxCalcEdit1")->value(), 1);
        QCOMPARE(child<QSpinBox>(form, "cxCalcEdit2")->value(), 1000);
        QCOMPARE(child<QProgressBar>(form, "ProgressBar1")->maximum(), 1000);
        QCOMPARE(child<LineListView>(form, "Memo1")->lineCount(), 1000);

        click(form, "Button2");
        auto* piece = child<LineListView>(form, "Memo2");
        QCOMPARE(piece->lineCount(), 1000);
        QCOMPARE(piece->lineText(999), QStringLiteral("L1000"));
        QCOMPARE(child<QLabel>(form, "Label2")->text(), QStringLiteral("当前分割记录: 1000 条"));
        QCOMPARE(child<QSpinBox>(form, "cxCalcEdit1")->value(), 1001);
        QCOMPARE(child<QSpinBox>(form, "cxCalcEdit2")->value(), 2000);
        QCOMPARE(form.windowTitle(), QStringLiteral("L1000"));
        QCOMPARE(child<QProgressBar>(form, "ProgressBar1")->value(), 999);
        QVERIFY(script.messages().empty());

        click(form, "Button2");
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].text, QStringLiteral("文件分割完成!"));
        QCOMPARE(script.messages()[0].caption, QStringLiteral("信息提示"));
        QCOMPARE(script.messages()[0].icon, MessageIcon::None);
        QCOMPARE(child<QProgressBar>(form, "ProgressBar1")->value(), 0);
    }

    void savePieceAlwaysAppendsTxt() {
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("list.txt"));
        writeFile(source, numberedLines(1, 10));
        ScriptedDialogs script;
        TForm3 form;
        openSource(form, script, source);
        setLines(form, 9, 12);   // two lines past the end
        click(form, "Button2");
        script.answerFile(dir.filePath(QStringLiteral("piece.txt")));
        click(form, "Button3");
        QCOMPARE(script.fileQuestions().back().options.initialFolder, m_home.path());
        QCOMPARE(readFile(dir.filePath(QStringLiteral("piece.txt.txt"))), numberedLines(9, 10) + "\r\n\r\n");
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("piece.txt"))));
    }

    void automaticSplit_data() {
        QTest::addColumn<int>("end");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("title");
        QTest::newRow("pieces of 250") << 250 << QStringList{"1000list.txt", "250list.txt", "500list.txt", "750list.txt"}
                                       << "L1000";
        // The fourth piece runs to line 1200: its last line, past the end, is empty.
        QTest::newRow("pieces of 300") << 300 << QStringList{"1200list.txt", "300list.txt", "600list.txt", "900list.txt"}
                                       << "";
    }
    void automaticSplit() {
        QFETCH(int, end);
        QFETCH(QStringList, names);
        QFETCH(QString, title);
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("list.txt"));
        writeFile(source, numberedLines(1, 1000));
        ScriptedDialogs script;
        TForm3 form;
        openSource(form, script, source);
        setLines(form, 1, end);
        click(form, "Button4");
        QStringList expected = names;
        expected << "list.txt";
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), expected);
        QCOMPARE(readFile(dir.filePath(names[1])), numberedLines(1, end));
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].text, QStringLiteral("文件分割完成!"));
        QCOMPARE(form.windowTitle(), title);
        QCOMPARE(child<QLabel>(form, "Label2")->text(), QStringLiteral("当前分割记录: %1 条").arg(end));
        QCOMPARE(child<QSpinBox>(form, "cxCalcEdit1")->value(), 4 * end + 1);
    }

    void automaticSplitNamesPiecesAfterTheLastFileOpened() {
        QTemporaryDir first;
        QTemporaryDir second;
        const QString source = first.filePath(QStringLiteral("list.txt"));
        writeFile(source, numberedLines(1, 10));
        const QString serials = second.filePath(QStringLiteral("serials.txt"));
        writeFile(serials, "s1\r\n");
        ScriptedDialogs script;
        TForm3 form;
        openSource(form, script, source);
        script.answerFile(serials);
        click(form, "Button6");
        QCOMPARE(script.fileQuestions().back().options.initialFolder, first.path() + QLatin1Char('/'));
        setLines(form, 1, 5);
        click(form, "Button4");
        QCOMPARE(QDir(second.path()).entryList(QDir::Files, QDir::Name),
                 (QStringList{"10serials.txt", "5serials.txt", "serials.txt"}));
        QCOMPARE(readFile(second.filePath(QStringLiteral("10serials.txt"))), numberedLines(6, 10));
        QCOMPARE(QDir(first.path()).entryList(QDir::Files), QStringList{"list.txt"});
    }

    void automaticSplitNeverWritesOverTheSource() {
        // Pieces named after serials.txt (opened last) would make the first piece
        // 5serials.txt: the very file being split.
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("5serials.txt"));
        writeFile(source, numberedLines(1, 10));
        writeFile(dir.filePath(QStringLiteral("serials.txt")), "s1\r\n");
        ScriptedDialogs script;
        TForm3 form;
        openSource(form, script, source);
        script.answerFile(dir.filePath(QStringLiteral("serials.txt")));
        click(form, "Button6");
        setLines(form, 1, 5);
        click(form, "Button4");
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].text, QStringLiteral("分割文件将覆盖源文件!"));
        QCOMPARE(readFile(source), numberedLines(1, 10));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    }

    void automaticSplitRefusesAnEndBeforeTheStart() {
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("list.txt"));
        writeFile(source, numberedLines(1, 10));
        ScriptedDialogs script;
        TForm3 form;
        openSource(form, script, source);
        setLines(form, 5, 3);
        click(form, "Button4");
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].text, QStringLiteral("结束行不能小于开始行!"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"list.txt"});
        // The plain split of such a piece copies nothing.
        click(form, "Button2");
        QCOMPARE(child<LineListView>(form, "Memo2")->lineCount(), 0);
        QCOMPARE(child<QLabel>(form, "Label2")->text(), QStringLiteral("当前分割记录: 0 条"));
    }

    void chineseFilesShowAndSplitAsCodePageText_data() {
        QTest::addColumn<QByteArray>("bytes");
        // 中文 in GB2312 D6D0 CEC4, in UTF-8 E4B8AD E69687.
        QTest::newRow("GB2312") << QByteArray::fromStdString(hexBytes("D6D0CEC4 0D0A 41"));
        QTest::newRow("UTF-8") << QByteArray::fromStdString(hexBytes("E4B8ADE69687 0A 41"));
        QTest::newRow("UTF-8 with BOM") << QByteArray::fromStdString(hexBytes("EFBBBF E4B8ADE69687 0D 41"));
    }
    void chineseFilesShowAndSplitAsCodePageText() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("中文.txt"));
        writeFile(source, bytes.toStdString());
        ScriptedDialogs script;
        TForm3 form;
        openSource(form, script, source);
        QCOMPARE(child<LineListView>(form, "Memo1")->lineText(0), QStringLiteral("中文"));
        setLines(form, 1, 2);
        click(form, "Button4");
        QCOMPARE(readFile(dir.filePath(QStringLiteral("2中文.txt"))), hexBytes("D6D0CEC4 0D0A 41 0D0A"));
    }

    void looksRight() {
        // Rendered offscreen so a reviewer can look at the layout.
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("list.txt"));
        writeFile(source, numberedLines(1, 1000000));
        ScriptedDialogs script;
        TForm3 form;
        openSource(form, script, source);
        setLines(form, 1, 250);
        click(form, "Button2");
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QString shots = qEnvironmentVariable("MIREL_SCREENSHOTS");
        if (!shots.isEmpty()) {
            form.grab().save(shots + QStringLiteral("/tform3-split.png"));
            child<QTabWidget>(form, "PageControl1")->setCurrentIndex(1);
            script.answerFile(source);
            click(form, "Button6");
            form.grab().save(shots + QStringLiteral("/tform3-arrange.png"));
        }
        QCOMPARE(child<LineListView>(form, "Memo1")->lineCount(), 1000000);
    }
};

QTEST_MAIN(TForm3Test)
#include "TForm3Test.moc"
