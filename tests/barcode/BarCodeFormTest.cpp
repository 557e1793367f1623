// The barcode editor, driven through its controls with scripted dialogs: what
// it loads from a barcode object, what OK stores, the test of the code on OK,
// the zoom buttons, and that Cancel leaves the object alone.

#include "barcode/ui/TfrBarCodeForm.h"

#include "barcode/TfrBarCodeView.h"
#include "core/ui/Dialogs.h"
#include "engine/DialogCheck.h"
#include "engine/ui/DesignerDialogs.h"
#include "support/TestSupport.h"
#include "template/TfrReport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

using namespace mirel::barcode;
using mirel::test::ansi;
using mirel::test::RecordingDesigner;
using mirel::ui::ScriptedDialogs;
namespace tmpl = mirel::tmpl;

namespace {

// What a test reads of the object, in one line, so a comparison shows all of it.
QString describe(const TfrBarCodeView& v) {
    QStringList memo;
    for (const auto& line : v.Memo)
        memo << mirel::core::toUnicode(line);
    return QStringLiteral("memo=[%1] type=%2 check=%3 text=%4 zoom=%5 rot=%6")
        .arg(memo.join(QLatin1Char('|')))
        .arg(v.BarType)
        .arg(v.CalcCheckSum)
        .arg(v.ShowText)
        .arg(v.Zoom)
        .arg(v.Rotation);
}

TfrBarCodeForm& form(QDialog& dialog) {
    auto* f = qobject_cast<TfrBarCodeForm*>(&dialog);
    if (!f)
        qFatal("not the barcode editor: %s", qPrintable(dialog.objectName()));
    return *f;
}

// Presses OK as an operator would and gives the result the dialog then has.
int pressOk(QDialog& dialog) {
    form(dialog).bOk->click();
    return dialog.result();
}

} // namespace

class BarCodeFormTest : public QObject {
    Q_OBJECT

private slots:
    void init() { TfrBarCodeView::SetEditor({}); }

    void captionsAndLayout() {
        TfrBarCodeForm f;
        QCOMPARE(f.windowTitle(), QStringLiteral("条码编辑器"));
        QCOMPARE(f.size(), QSize(269, 249));
        QCOMPARE(f.Label1->text(), QStringLiteral("代码(&C)"));
        QCOMPARE(f.Label2->text(), QStringLiteral("条码类型(&T)"));
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
        QCOMPARE(f.RB4->text(), QStringLiteral("270"));
        // The list index is the stored type number.
        QCOMPARE(f.cbType->count(), 23);
        QCOMPARE(f.cbType->currentIndex(), 0);
        QCOMPARE(f.cbType->itemText(bcCode39), QStringLiteral("Code39"));
        QCOMPARE(f.cbType->itemText(bcCodeCodabar), QStringLiteral("Codebar"));
        QCOMPARE(f.cbType->itemText(bcCodeEAN128C), QStringLiteral("EAN128C"));
        // Without a designer there is no expression builder to open.
        QVERIFY(!f.M1Button->isEnabled());

        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QCOMPARE(QApplication::focusWidget(), f.M1);
        const QStringList cut = mirel::test::cutControls(f);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
        mirel::test::saveScreenshot(f, QStringLiteral("TfrBarCodeForm"));
    }

    void newObjectOpensWithItsDefaults() {
        ScriptedDialogs dialogs;
        TfrBarCodeView view;
        RecordingDesigner designer;
        QString seen;
        dialogs.answerDialog([&](QDialog& d) {
            TfrBarCodeForm& f = form(d);
            seen = QStringLiteral("%1 %2 %3 %4 %5 %6")
                       .arg(f.M1->text(), f.cbType->currentText())
                       .arg(f.ckCheckSum->isChecked())
                       .arg(f.ckViewText->isChecked())
                       .arg(f.eZoom->text())
                       .arg(f.RB1->isChecked());
            return int(QDialog::Rejected);
        });
        QVERIFY(!editBarcodeView(view, designer));
        QCOMPARE(seen, QStringLiteral("12345678 Code39 1 1 1 1"));
        QCOMPARE(dialogs.dialogsShown(), QStringList{QStringLiteral("frBarCodeForm")});
    }

    void okStoresEveryField() {
        ScriptedDialogs dialogs;
        TfrBarCodeView view;
        view.Memo = {"111", "222", "333"};
        RecordingDesigner designer;
        designer.snapshot = [&] { return describe(view); };
        dialogs.answerDialog([&](QDialog& d) {
            TfrBarCodeForm& f = form(d);
            f.M1->setText(QStringLiteral("[条形码编号]"));
            f.cbType->setCurrentIndex(bcCodeEAN13);
            f.ckCheckSum->setChecked(false);
            f.ckViewText->setChecked(false);
            f.eZoom->setText(QStringLiteral("1.5"));
            f.RB3->setChecked(true);
            return pressOk(d);
        });
        QVERIFY(editBarcodeView(view, designer));
        // The undo point comes before the change; afterwards the memo is one line.
        QCOMPARE(designer.undoPoints,
                 QStringList{QStringLiteral("memo=[111|222|333] type=3 check=1 text=1 zoom=1 rot=0")});
        QCOMPARE(describe(view), QStringLiteral("memo=[[条形码编号]] type=14 check=0 text=0 zoom=1.5 rot=180"));
        QVERIFY(dialogs.messages().empty());
    }

    void rotationLoadsAndStores_data() {
        QTest::addColumn<double>("stored");
        QTest::addColumn<QString>("button");
        QTest::addColumn<double>("saved");
        QTest::newRow("0") << 0.0 << "RB1" << 0.0;
        QTest::newRow("90") << 90.0 << "RB2" << 90.0;
        QTest::newRow("180") << 180.0 << "RB3" << 180.0;
        QTest::newRow("270") << 270.0 << "RB4" << 270.0;
        // Any other angle (only from a damaged template) shows and saves as 270.
        QTest::newRow("45") << 45.0 << "RB4" << 270.0;
        QTest::newRow("-90") << -90.0 << "RB4" << 270.0;
    }
    void rotationLoadsAndStores() {
        QFETCH(double, stored);
        QFETCH(QString, button);
        QFETCH(double, saved);
        ScriptedDialogs dialogs;
        TfrBarCodeView view;
        view.Rotation = stored;
        RecordingDesigner designer;
        QString checked;
        dialogs.answerDialog([&](QDialog& d) {
            for (auto* rb : d.findChildren<QRadioButton*>())
                if (rb->isChecked())
                    checked += rb->objectName();
            return pressOk(d);
        });
        QVERIFY(editBarcodeView(view, designer));
        QCOMPARE(checked, button);
        QCOMPARE(view.Rotation, saved);
    }

    // OK test-encodes a literal text with the chosen type and check digit; an
    // expression is evaluated per label and taken as it is.
    void okTestsTheCode_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("checksum");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("EAN13 letters") << int(bcCodeEAN13) << true << "12a" << false;
        QTest::newRow("EAN13 expression") << int(bcCodeEAN13) << true << "[条形码编号]" << true;
        QTest::newRow("EAN13 digits") << int(bcCodeEAN13) << true << "690123456789" << true;
        QTest::newRow("EAN13 empty") << int(bcCodeEAN13) << true << "" << true;
        QTest::newRow("Code128C odd count") << int(bcCode128C) << false << "12345" << true;
        QTest::newRow("Code93 lower case") << int(bcCode93) << false << "abc" << false;
        QTest::newRow("Code93 Extended lower case") << int(bcCode93Extended) << false << "abc" << true;
        QTest::newRow("EAN128A letters, check digit") << int(bcCodeEAN128A) << true << "AB12" << false;
        QTest::newRow("EAN128A letters, no check digit") << int(bcCodeEAN128A) << false << "AB12" << true;
        QTest::newRow("Code39 Chinese") << int(bcCode39) << true << "条码" << false;
        QTest::newRow("UPC_E0 letters") << int(bcCodeUPC_E0) << false << "12x" << false;
    }
    void okTestsTheCode() {
        QFETCH(int, type);
        QFETCH(bool, checksum);
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        ScriptedDialogs dialogs;
        TfrBarCodeView view;
        const QString before = describe(view);
        RecordingDesigner designer;
        int firstResult = -1;
        QString typedAfterError;
        dialogs.answerDialog([&](QDialog& d) {
            TfrBarCodeForm& f = form(d);
            f.M1->setText(text);
            f.cbType->setCurrentIndex(type);
            f.ckCheckSum->setChecked(checksum);
            firstResult = pressOk(d);
            typedAfterError = f.M1->text();
            return firstResult;
        });
        QCOMPARE(editBarcodeView(view, designer), accepted);
        QCOMPARE(firstResult == QDialog::Accepted, accepted);
        if (accepted) {
            QVERIFY(dialogs.messages().empty());
            QCOMPARE(view.Memo, tmpl::Lines{ansi(text.toStdString())});
            QCOMPARE(int(view.BarType), type);
        } else {
            QCOMPARE(dialogs.messages().size(), size_t(1));
            QCOMPARE(dialogs.messages()[0].text, QStringLiteral("条码错误"));
            QCOMPARE(dialogs.messages()[0].caption, QStringLiteral("错误"));
            QCOMPARE(dialogs.messages()[0].icon, mirel::ui::MessageIcon::Error);
            // The dialog stayed open with the entry as typed; nothing was stored.
            QCOMPARE(typedAfterError, text);
            QCOMPARE(describe(view), before);
            QVERIFY(designer.undoPoints.isEmpty());
        }
    }

    void aMendedEntryIsTakenOnTheSecondOk() {
        ScriptedDialogs dialogs;
        TfrBarCodeView view;
        RecordingDesigner designer;
        dialogs.answerDialog([&](QDialog& d) {
            TfrBarCodeForm& f = form(d);
            f.cbType->setCurrentIndex(bcCodeEAN8);
            f.M1->setText(QStringLiteral("12a"));
            if (pressOk(d) == QDialog::Accepted)
                return int(QDialog::Accepted);
            f.M1->setText(QStringLiteral("1234567"));
            return pressOk(d);
        });
        QVERIFY(editBarcodeView(view, designer));
        QCOMPARE(dialogs.messages().size(), size_t(1));
        QCOMPARE(view.Memo, tmpl::Lines{"1234567"});
        QCOMPARE(int(view.BarType), int(bcCodeEAN8));
    }

    void zoomButtons_data() {
        QTest::addColumn<QString>("zoom");
        QTest::addColumn<QString>("up");
        QTest::addColumn<QString>("down");
        QTest::newRow("1") << "1" << "2" << "1";
        QTest::newRow("1.5") << "1.5" << "2.5" << "0.5";
        QTest::newRow("0.5") << "0.5" << "1.5" << "1";
        QTest::newRow("3") << "3" << "4" << "2";
        QTest::newRow("2.25") << "2.25" << "3.25" << "1.25";
        QTest::newRow("blanks around") << " 2 " << "3" << "1";
    }
    void zoomButtons() {
        QFETCH(QString, zoom);
        QFETCH(QString, up);
        QFETCH(QString, down);
        ScriptedDialogs dialogs;
        TfrBarCodeForm f;
        f.eZoom->setText(zoom);
        f.frSpeedButton1->click();
        QCOMPARE(f.eZoom->text(), up);
        f.eZoom->setText(zoom);
        f.frSpeedButton2->click();
        QCOMPARE(f.eZoom->text(), down);
        QVERIFY(dialogs.messages().empty());
    }

    void aZoomThatIsNoNumber() {
        ScriptedDialogs dialogs;
        TfrBarCodeForm f;
        f.eZoom->setText(QStringLiteral("1,5x"));
        f.frSpeedButton1->click();
        f.frSpeedButton2->click();
        QCOMPARE(f.eZoom->text(), QStringLiteral("1,5x"));
        QCOMPARE(dialogs.messages().size(), size_t(2));
        QCOMPARE(dialogs.messages()[0].text, QStringLiteral("'1,5x' is not a valid floating point value"));
        QCOMPARE(dialogs.messages()[1].caption, QStringLiteral("错误"));
    }

    // A zoom that cannot be stored keeps the dialog open on OK, and nothing of
    // the object changes: not the memo, not the other fields.
    void okRefusesAZoomItCannotStore_data() {
        QTest::addColumn<QString>("zoom");
        QTest::addColumn<QString>("message");
        QTest::newRow("letters") << "abc" << "'abc' is not a valid floating point value";
        QTest::newRow("empty") << "" << "'' is not a valid floating point value";
        QTest::newRow("zero") << "0" << "放大必须大于 0, 且不超过 1000";
        QTest::newRow("negative") << "-2" << "放大必须大于 0, 且不超过 1000";
        QTest::newRow("huge") << "1e300" << "放大必须大于 0, 且不超过 1000";
    }
    void okRefusesAZoomItCannotStore() {
        QFETCH(QString, zoom);
        QFETCH(QString, message);
        ScriptedDialogs dialogs;
        TfrBarCodeView view;
        view.Memo = {"ABC"};
        const QString before = describe(view);
        RecordingDesigner designer;
        dialogs.answerDialog([&](QDialog& d) {
            TfrBarCodeForm& f = form(d);
            f.M1->setText(QStringLiteral("XYZ"));
            f.ckViewText->setChecked(false);
            f.eZoom->setText(zoom);
            return pressOk(d);
        });
        QVERIFY(!editBarcodeView(view, designer));
        QCOMPARE(describe(view), before);
        QCOMPARE(dialogs.messages().size(), size_t(1));
        QCOMPARE(dialogs.messages()[0].text, message);
    }

    void cancelChangesNothing() {
        ScriptedDialogs dialogs;
        TfrBarCodeView view;
        view.Memo = {"A1", "B2"};
        view.BarType = bcCode128B;
        view.Zoom = 2.5;
        view.Rotation = 90;
        view.CalcCheckSum = false;
        const QString before = describe(view);
        RecordingDesigner designer;
        dialogs.answerDialog([&](QDialog& d) {
            TfrBarCodeForm& f = form(d);
            f.M1->setText(QStringLiteral("999"));
            f.cbType->setCurrentIndex(bcCodeEAN8);
            f.ckCheckSum->setChecked(true);
            f.eZoom->setText(QStringLiteral("7"));
            f.RB4->setChecked(true);
            f.bCancel->click();
            return d.result();
        });
        QVERIFY(!editBarcodeView(view, designer));
        QCOMPARE(describe(view), before);
        QVERIFY(designer.undoPoints.isEmpty());
    }

    void expressionButton() {
        ScriptedDialogs dialogs;
        RecordingDesigner designer;
        TfrBarCodeForm f(&designer);
        QVERIFY(f.M1Button->isEnabled());
        f.M1->setText(QStringLiteral("123"));
        // Cancelled (an empty answer): the text stays.
        f.M1Button->click();
        QCOMPARE(f.M1->text(), QStringLiteral("123"));
        designer.expression = ansi("[条形码编号]");
        f.M1Button->click();
        QCOMPARE(f.M1->text(), QStringLiteral("[条形码编号]"));
        QCOMPARE(designer.expressionAsked, 2);
    }

    void aDamagedTypeIsKeptUntilOneIsChosen() {
        ScriptedDialogs dialogs;
        TfrBarCodeView view;
        view.BarType = 40;
        view.Memo = {"[编头]"};
        RecordingDesigner designer;
        int shown = 0;
        dialogs.answerDialog([&](QDialog& d) {
            shown = form(d).cbType->currentIndex();
            return pressOk(d);
        });
        QVERIFY(editBarcodeView(view, designer));
        QCOMPARE(shown, -1);
        QCOMPARE(int(view.BarType), 40);
        // A literal text cannot be tested without a type: the error box.
        view.Memo = {"123"};
        dialogs.answerDialog([&](QDialog& d) { return pressOk(d); });
        QVERIFY(!editBarcodeView(view, designer));
        QCOMPARE(dialogs.messages().size(), size_t(1));
    }

    // What the editor stores is what a saved template holds.
    void anEditedObjectSurvivesSaving() {
        registerBarcodeObjects();
        ScriptedDialogs dialogs;
        tmpl::TfrReport report;
        auto object = std::make_unique<TfrBarCodeView>();
        object->Name = "Bar1";
        object->Width = 142;
        object->Height = 54;
        TfrBarCodeView& view = *object;
        report.Pages.Add().Objects.push_back(std::move(object));
        RecordingDesigner designer;
        dialogs.answerDialog([&](QDialog& d) {
            TfrBarCodeForm& f = form(d);
            f.M1->setText(QStringLiteral("[条形码编号]"));
            f.cbType->setCurrentIndex(bcCode128B);
            f.ckViewText->setChecked(false);
            f.eZoom->setText(QStringLiteral("1.5"));
            f.RB2->setChecked(true);
            return pressOk(d);
        });
        QVERIFY(editBarcodeView(view, designer));
        tmpl::TfrReport read;
        tmpl::RecordingHost host;
        read.LoadFromBytes(report.SaveToBytes(), host);
        QVERIFY(host.Messages().empty());
        auto* readBack = dynamic_cast<TfrBarCodeView*>(read.FindObject("Bar1"));
        QVERIFY(readBack);
        QCOMPARE(describe(*readBack), describe(view));
        QCOMPARE(describe(view), QStringLiteral("memo=[[条形码编号]] type=6 check=1 text=0 zoom=1.5 rot=90"));
    }

    void installedAsTheObjectsEditor() {
        ScriptedDialogs dialogs;
        mirel::engine::ui::installObjectEditors();
        mirel::engine::ui::installObjectEditors();
        TfrBarCodeView view;
        RecordingDesigner designer;
        dialogs.answerDialog([&](QDialog& d) {
            form(d).M1->setText(QStringLiteral("4711"));
            return pressOk(d);
        });
        QVERIFY(view.OpenEditor(designer));
        QCOMPARE(view.Memo, tmpl::Lines{"4711"});
        QCOMPARE(dialogs.dialogsShown(), QStringList{QStringLiteral("frBarCodeForm")});
        QCOMPARE(designer.undoPoints.size(), 1);
    }
};

QTEST_MAIN(BarCodeFormTest)
#include "BarCodeFormTest.moc"
