// The PDF417 editor, driven through its controls with scripted dialogs: what
// it loads from a PDF417 object, what OK stores, the test of the text on OK,
// the zoom buttons, and that Cancel leaves the object alone.

#include "pdf417/ui/Tfr2BarCodePDFForm.h"

#include "core/ui/Dialogs.h"
#include "engine/DialogCheck.h"
#include "engine/ui/DesignerDialogs.h"
#include "pdf417/Tfr2BarCodePDFView.h"
#include "support/TestSupport.h"
#include "template/TfrReport.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

using namespace mirel::pdf417;
using mirel::test::ansi;
using mirel::test::RecordingDesigner;
using mirel::ui::ScriptedDialogs;
namespace tmpl = mirel::tmpl;

namespace {

QString describe(const Tfr2BarCodePDFView& v) {
    QStringList memo;
    for (const auto& line : v.Memo)
        memo << mirel::core::toUnicode(line);
    return QStringLiteral("memo=%1[%2] check=%3 text=%4 zoom=%5 rot=%6 field=%7")
        .arg(v.Memo.size())
        .arg(memo.join(QLatin1Char('|')))
        .arg(v.CalcCheckSum)
        .arg(v.ShowText)
        .arg(v.Zoom)
        .arg(v.Rotation)
        .arg(v.BarTypeField);
}

Tfr2BarCodePDFForm& form(QDialog& dialog) {
    auto* f = qobject_cast<Tfr2BarCodePDFForm*>(&dialog);
    if (!f)
        qFatal("not the PDF417 editor: %s", qPrintable(dialog.objectName()));
    return *f;
}

int pressOk(QDialog& dialog) {
    form(dialog).bOk->click();
    return dialog.result();
}

} // namespace

class Pdf417FormTest : public QObject {
    Q_OBJECT

private slots:
    void captionsAndLayout() {
        Tfr2BarCodePDFForm f;
        QCOMPARE(f.windowTitle(), QStringLiteral("条码编辑器"));
        QCOMPARE(f.size(), QSize(269, 207));
        QCOMPARE(f.Label1->text(), QStringLiteral("代码(&C)"));
        QCOMPARE(f.Label1->buddy(), f.M1);
        QCOMPARE(f.Label3->text(), QStringLiteral("&放大:"));
        QCOMPARE(f.Label3->buddy(), f.eZoom);
        QCOMPARE(f.GroupBox1->title(), QStringLiteral("选项"));
        QCOMPARE(f.GroupBox2->title(), QStringLiteral("旋转"));
        QCOMPARE(f.ckCheckSum->text(), QStringLiteral("校验和"));
        QCOMPARE(f.ckViewText->text(), QStringLiteral("目读数字(&H)"));
        QCOMPARE(f.M1Button->toolTip(), QStringLiteral("插入表达式"));
        QCOMPARE(f.bOk->text(), QStringLiteral("确认"));
        QCOMPARE(f.bCancel->text(), QStringLiteral("取消"));
        QVERIFY(f.bOk->isDefault());
        QCOMPARE(f.M1->text(), QStringLiteral("0"));
        QCOMPARE(f.eZoom->text(), QStringLiteral("1"));
        QVERIFY(f.RB1->isChecked());
        // Tab order: the text, OK, Cancel, then the two groups.
        QCOMPARE(f.M1->nextInFocusChain(), static_cast<QWidget*>(f.bOk));
        QCOMPARE(f.bOk->nextInFocusChain(), static_cast<QWidget*>(f.bCancel));

        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QCOMPARE(QApplication::focusWidget(), f.M1);
        const QStringList cut = mirel::test::cutControls(f);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
        mirel::test::saveScreenshot(f, QStringLiteral("Tfr2BarCodePDFForm"));
    }

    void loads_data() {
        QTest::addColumn<QStringList>("memo");
        QTest::addColumn<bool>("check");
        QTest::addColumn<bool>("text");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<double>("rotation");
        QTest::addColumn<QString>("shown");
        QTest::newRow("new object") << QStringList{"ABCDEFGH"} << true << true << 1.0 << 0.0
                                    << "ABCDEFGH 1 1 1 RB1";
        QTest::newRow("no lines") << QStringList{} << false << true << 1.5 << 90.0 << "0 0 1 1.5 RB2";
        QTest::newRow("several lines") << QStringList{"[二维码]", "B"} << true << false << 2.0 << 180.0
                                       << "[二维码] 1 0 2 RB3";
        QTest::newRow("odd angle") << QStringList{"X"} << true << true << 0.25 << 45.0 << "X 1 1 0.25 RB4";
    }
    void loads() {
        QFETCH(QStringList, memo);
        QFETCH(bool, check);
        QFETCH(bool, text);
        QFETCH(double, zoom);
        QFETCH(double, rotation);
        QFETCH(QString, shown);
        ScriptedDialogs dialogs;
        Tfr2BarCodePDFView view;
        view.Memo.clear();
        for (const QString& line : memo)
            view.Memo.push_back(ansi(line.toStdString()));
        view.CalcCheckSum = check;
        view.ShowText = text;
        view.Zoom = zoom;
        view.Rotation = rotation;
        const QString before = describe(view);
        RecordingDesigner designer;
        QString seen;
        dialogs.answerDialog([&](QDialog& d) {
            Tfr2BarCodePDFForm& f = form(d);
            QString rb;
            for (auto* b : {f.RB1, f.RB2, f.RB3, f.RB4})
                if (b->isChecked())
                    rb += b->objectName();
            seen = QStringLiteral("%1 %2 %3 %4 %5")
                       .arg(f.M1->text())
                       .arg(f.ckCheckSum->isChecked())
                       .arg(f.ckViewText->isChecked())
                       .arg(f.eZoom->text(), rb);
            return int(QDialog::Rejected);
        });
        QVERIFY(!editPdf417View(view, designer));
        QCOMPARE(seen, shown);
        QCOMPARE(describe(view), before);
    }

    // OK leaves exactly one text line, the field's text, whatever the object had.
    void okStores_data() {
        QTest::addColumn<QStringList>("memo");
        QTest::addColumn<double>("rotation");
        QTest::addColumn<QString>("stored");
        QTest::newRow("no lines: the field's 0") << QStringList{} << 0.0
                                                 << "memo=1[0] check=1 text=1 zoom=1 rot=0 field=0";
        QTest::newRow("several lines") << QStringList{"A", "B", "C"} << 90.0
                                       << "memo=1[A] check=1 text=1 zoom=1 rot=90 field=0";
        QTest::newRow("odd angle saved as 270") << QStringList{"A"} << 45.0
                                                << "memo=1[A] check=1 text=1 zoom=1 rot=270 field=0";
    }
    void okStores() {
        QFETCH(QStringList, memo);
        QFETCH(double, rotation);
        QFETCH(QString, stored);
        ScriptedDialogs dialogs;
        Tfr2BarCodePDFView view;
        view.Memo.clear();
        for (const QString& line : memo)
            view.Memo.push_back(line.toStdString());
        view.Rotation = rotation;
        RecordingDesigner designer;
        designer.snapshot = [&] { return describe(view); };
        const QString before = describe(view);
        dialogs.answerDialog([&](QDialog& d) { return pressOk(d); });
        QVERIFY(editPdf417View(view, designer));
        QCOMPARE(designer.undoPoints, QStringList{before});
        QCOMPARE(describe(view), stored);
    }

    void okStoresEveryField() {
        ScriptedDialogs dialogs;
        Tfr2BarCodePDFView view;
        view.BarTypeField = 0x12345678;   // carries nothing and stays as read
        RecordingDesigner designer;
        dialogs.answerDialog([&](QDialog& d) {
            Tfr2BarCodePDFForm& f = form(d);
            f.M1->setText(QStringLiteral("[二维码]"));
            f.ckCheckSum->setChecked(false);
            f.ckViewText->setChecked(false);
            f.eZoom->setText(QStringLiteral("2.5"));
            f.RB4->setChecked(true);
            return pressOk(d);
        });
        QVERIFY(editPdf417View(view, designer));
        QCOMPARE(describe(view), QStringLiteral("memo=1[[二维码]] check=0 text=0 zoom=2.5 rot=270 field=305419896"));
        QVERIFY(dialogs.messages().empty());
    }

    // OK gives a literal text to a generator and refuses what makes no symbol;
    // an expression is taken as it is.
    void okTestsTheText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("letters") << "ABCDEFGH" << true;
        QTest::newRow("empty") << "" << true;
        QTest::newRow("Chinese") << "批号 B7 二维码" << true;
        QTest::newRow("too large") << QString(2000, QLatin1Char('Z')).append(QString(1200, QLatin1Char('9')))
                                   << false;
        QTest::newRow("too large expression") << QStringLiteral("[") + QString(4000, QLatin1Char('Z')) << true;
    }
    void okTestsTheText() {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        ScriptedDialogs dialogs;
        Tfr2BarCodePDFView view;
        const QString before = describe(view);
        RecordingDesigner designer;
        QString typedAfterError;
        dialogs.answerDialog([&](QDialog& d) {
            form(d).M1->setText(text);
            const int result = pressOk(d);
            typedAfterError = form(d).M1->text();
            return result;
        });
        QCOMPARE(editPdf417View(view, designer), accepted);
        if (accepted) {
            QVERIFY(dialogs.messages().empty());
            QCOMPARE(view.Memo, tmpl::Lines{ansi(text.toStdString())});
        } else {
            QCOMPARE(dialogs.messages().size(), size_t(1));
            QCOMPARE(dialogs.messages()[0].text, QStringLiteral("条码错误"));
            QCOMPARE(dialogs.messages()[0].caption, QStringLiteral("错误"));
            QCOMPARE(typedAfterError, text);
            QCOMPARE(describe(view), before);
            QVERIFY(designer.undoPoints.isEmpty());
        }
    }

    void zoomButtons_data() {
        QTest::addColumn<QString>("zoom");
        QTest::addColumn<QString>("up");
        QTest::addColumn<QString>("down");
        QTest::newRow("1") << "1" << "2" << "1";
        QTest::newRow("1.5") << "1.5" << "2.5" << "0.5";
        QTest::newRow("0.5") << "0.5" << "1.5" << "1";
        QTest::newRow("3") << "3" << "4" << "2";
    }
    void zoomButtons() {
        QFETCH(QString, zoom);
        QFETCH(QString, up);
        QFETCH(QString, down);
        ScriptedDialogs dialogs;
        Tfr2BarCodePDFForm f;
        f.eZoom->setText(zoom);
        f.frSpeedButton1->click();
        QCOMPARE(f.eZoom->text(), up);
        f.eZoom->setText(zoom);
        f.frSpeedButton2->click();
        QCOMPARE(f.eZoom->text(), down);
        QVERIFY(dialogs.messages().empty());
    }

    // A zoom that is no number: the buttons say so and leave it; OK says so and
    // keeps the dialog open without touching the object.
    void aZoomThatIsNoNumber() {
        ScriptedDialogs dialogs;
        Tfr2BarCodePDFView view;
        const QString before = describe(view);
        RecordingDesigner designer;
        dialogs.answerDialog([&](QDialog& d) {
            Tfr2BarCodePDFForm& f = form(d);
            f.M1->setText(QStringLiteral("NEW"));
            f.eZoom->setText(QStringLiteral("zwei"));
            f.frSpeedButton1->click();
            f.frSpeedButton2->click();
            return pressOk(d);
        });
        QVERIFY(!editPdf417View(view, designer));
        QCOMPARE(describe(view), before);
        QCOMPARE(dialogs.messages().size(), size_t(3));
        for (const auto& m : dialogs.messages())
            QCOMPARE(m.text, QStringLiteral("'zwei' is not a valid floating point value"));
    }

    void cancelChangesNothing() {
        ScriptedDialogs dialogs;
        Tfr2BarCodePDFView view;
        view.Memo = {"A1", "B2"};
        view.Zoom = 2.5;
        view.Rotation = 90;
        view.ShowText = false;
        const QString before = describe(view);
        RecordingDesigner designer;
        dialogs.answerDialog([&](QDialog& d) {
            Tfr2BarCodePDFForm& f = form(d);
            f.M1->setText(QStringLiteral("999"));
            f.ckViewText->setChecked(true);
            f.eZoom->setText(QStringLiteral("7"));
            f.RB1->setChecked(true);
            f.bCancel->click();
            return d.result();
        });
        QVERIFY(!editPdf417View(view, designer));
        QCOMPARE(describe(view), before);
        QVERIFY(designer.undoPoints.isEmpty());
    }

    void expressionButton() {
        ScriptedDialogs dialogs;
        RecordingDesigner designer;
        Tfr2BarCodePDFForm f(&designer);
        f.M1->setText(QStringLiteral("abc"));
        f.M1Button->click();
        QCOMPARE(f.M1->text(), QStringLiteral("abc"));
        designer.expression = ansi("[二维码]");
        f.M1Button->click();
        QCOMPARE(f.M1->text(), QStringLiteral("[二维码]"));
    }

    // What the editor stores is what a saved template holds.
    void anEditedObjectSurvivesSaving() {
        registerPdf417Objects();
        ScriptedDialogs dialogs;
        tmpl::TfrReport report;
        auto object = std::make_unique<Tfr2BarCodePDFView>();
        object->Name = "2BarCPDF1";
        object->Width = 273;
        object->Height = 81;
        Tfr2BarCodePDFView& view = *object;
        report.Pages.Add().Objects.push_back(std::move(object));
        RecordingDesigner designer;
        dialogs.answerDialog([&](QDialog& d) {
            Tfr2BarCodePDFForm& f = form(d);
            f.M1->setText(QStringLiteral("[二维码]"));
            f.ckCheckSum->setChecked(false);
            f.eZoom->setText(QStringLiteral("3"));
            f.RB3->setChecked(true);
            return pressOk(d);
        });
        QVERIFY(editPdf417View(view, designer));
        tmpl::TfrReport read;
        tmpl::RecordingHost host;
        read.LoadFromBytes(report.SaveToBytes(), host);
        QVERIFY(host.Messages().empty());
        auto* readBack = dynamic_cast<Tfr2BarCodePDFView*>(read.FindObject("2BarCPDF1"));
        QVERIFY(readBack);
        QCOMPARE(describe(*readBack), describe(view));
        QCOMPARE(describe(view), QStringLiteral("memo=1[[二维码]] check=0 text=1 zoom=3 rot=180 field=0"));
    }

    void installedAsTheObjectsEditor() {
        ScriptedDialogs dialogs;
        mirel::engine::ui::installObjectEditors();
        Tfr2BarCodePDFView view;
        RecordingDesigner designer;
        dialogs.answerDialog([&](QDialog& d) {
            form(d).M1->setText(QStringLiteral("LOT 7"));
            return pressOk(d);
        });
        QVERIFY(view.OpenEditor(designer));
        QCOMPARE(view.Memo, tmpl::Lines{"LOT 7"});
        QCOMPARE(dialogs.dialogsShown(), QStringList{QStringLiteral("fr2BarCodePDFForm")});
        Tfr2BarCodePDFView::SetEditor({});
    }
};

QTEST_MAIN(Pdf417FormTest)
#include "Pdf417FormTest.moc"
