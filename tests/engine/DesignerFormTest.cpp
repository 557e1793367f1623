// The label designer, driven through its palette, the mouse, the keys, the
// inspector and its menus, with every question answered by a script. The
// designer's own dialogs (memo editor, data-field chooser, page setup...) are
// left unanswered here: they are tested with their windows.

#include "engine/ui/DesignerInspector.h"
#include "engine/ui/DesignerPageView.h"
#include "engine/ui/DesignerProperties.h"
#include "engine/ui/DesignerUndo.h"
#include "engine/ui/ReportDesigner.h"
#include "engine/ui/TfrDesignerForm.h"
#include "engine/ui/TfrPreviewForm.h"

#include "barcode/TfrBarCodeView.h"
#include "codes/CodeStore.h"
#include "core/Encoding.h"
#include "core/ui/Dialogs.h"
#include "engine/LabelJob.h"
#include "pdf417/Tfr2BarCodePDFView.h"
#include "support/TestSupport.h"
#include "template/AddinRegistry.h"
#include "template/BuiltinViews.h"
#include "template/TfrReport.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QMenu>
#include <QTabBar>
#include <QContextMenuEvent>
#include <QDir>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <ZXing/ReadBarcode.h>

using namespace mirel::engine::ui;
using mirel::AnsiString;
using mirel::engine::LabelJob;
using mirel::test::ansi;
using mirel::ui::MessageResult;
using mirel::ui::ScriptedDialogs;
namespace tmpl = mirel::tmpl;
namespace barcode = mirel::barcode;
namespace pdf417 = mirel::pdf417;

namespace {

QString uni(const AnsiString& text) { return mirel::core::toUnicode(text); }

// A designer on a fresh job, shown, with the dialogs scripted.
struct Designer {
    ScriptedDialogs dialogs;
    LabelJob job;
    std::unique_ptr<TfrDesignerForm> form;

    explicit Designer(const QString& file = QString()) {
        form = std::make_unique<TfrDesignerForm>(job, file);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    ~Designer() {
        // Nothing unsaved is asked about when the test ends.
        dialogs.answerMessage(MessageResult::No);
        form->hide();
    }

    DesignerPageView* view() const { return form->PageView(); }
    tmpl::TfrPage& page() const { return *form->CurrentPage(); }

    QToolButton* palette(const QString& name) const {
        auto* button = form->findChild<QToolButton*>(name);
        if (!button)
            qFatal("no palette button %s", qPrintable(name));
        return button;
    }
    // Clicks a palette button, then the page at (x, y) page units.
    void place(const QString& button, int x, int y) {
        palette(button)->click();
        QTest::mouseClick(view(), Qt::LeftButton, {}, view()->ToWidget(QPointF(x, y)).toPoint());
    }
    // The same, dragging from (x, y) to (x2, y2).
    void drag(int x, int y, int x2, int y2, Qt::KeyboardModifiers modifiers = {}) {
        const QPoint a = view()->ToWidget(QPointF(x, y)).toPoint();
        const QPoint b = view()->ToWidget(QPointF(x2, y2)).toPoint();
        QTest::mousePress(view(), Qt::LeftButton, modifiers, a);
        QMouseEvent move(QEvent::MouseMove, QPointF(b), view()->mapToGlobal(QPointF(b)), Qt::NoButton,
                         Qt::LeftButton, modifiers);
        QApplication::sendEvent(view(), &move);
        QTest::mouseRelease(view(), Qt::LeftButton, modifiers, b);
    }
    tmpl::TfrView* last() const { return page().Objects.empty() ? nullptr : page().Objects.back().get(); }

    // Sets an inspector entry of the selection as typed in place.
    void type(const char* entry, const QString& text) {
        DesignerInspector* inspector = form->Inspector();
        const int row = inspector->RowOf(entry);
        QVERIFY2(row >= 0, entry);
        inspector->item(row, 1)->setText(text);
    }
    QString shown(const char* entry) const {
        DesignerInspector* inspector = form->Inspector();
        const int row = inspector->RowOf(entry);
        return row < 0 ? QStringLiteral("(absent)") : inspector->item(row, 1)->text();
    }
};

void chooseBand(ScriptedDialogs& dialogs, int type) {
    dialogs.answerDialog([type](QDialog& d) {
        auto* button = d.findChild<QRadioButton*>(QStringLiteral("BandType%1").arg(type));
        if (!button || !button->isEnabled())
            return int(QDialog::Rejected);
        button->setChecked(true);
        return int(QDialog::Accepted);
    });
}

// Answers the inspector's text editor with `text`.
void answerText(ScriptedDialogs& dialogs, const QString& text) {
    dialogs.answerDialog([text](QDialog& d) {
        d.findChild<QPlainTextEdit*>(QStringLiteral("TextEdit"))->setPlainText(text);
        return int(QDialog::Accepted);
    });
}

QStringList readCode128(const QString& png) {
    const QImage gray = QImage(png).convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView image(gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum,
                                 static_cast<int>(gray.bytesPerLine()));
    QStringList texts;
    for (const ZXing::Result& r :
         ZXing::ReadBarcodes(image, ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::Code128).setTryHarder(true)))
        texts << QString::fromStdString(std::string(r.bytes().begin(), r.bytes().end()));
    return texts;
}

} // namespace

class DesignerFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        barcode::registerBarcodeObjects();
        pdf417::registerPdf417Objects();
    }

    void paletteOffersEveryRegisteredClass() {
        Designer d;
        for (const tmpl::AddinClass& addin : tmpl::addinRegistry().Classes()) {
            QToolButton* button = d.palette(QStringLiteral("Palette_") + QString::fromStdString(addin.className));
            QCOMPARE(button->toolTip(), addin.hint);
        }
        QCOMPARE(d.palette(QStringLiteral("Palette_TfrBarCodeView"))->toolTip(), QStringLiteral("插入 Barcode 对象"));
        QCOMPARE(d.palette(QStringLiteral("Palette_Tfr2BarCodePDFView"))->toolTip(), QStringLiteral("插入 Barcode 对象"));
    }

    void paletteCreatesObjectsWithDefaults_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("memo");    // first text line of a new object, "-" for none
        QTest::addColumn<int>("flags");       // -1: not checked
        // Class defaults of the engine's objects and of the add-ins; generated
        // names are the class's base and the lowest free number.
        QTest::newRow("text") << "PaletteMemo" << "TfrMemoView" << "Memo1" << "Memo2" << "-" << 3;
        QTest::newRow("picture") << "PalettePicture" << "TfrPictureView" << "Picture1" << "Picture2" << "-" << 5;
        QTest::newRow("line") << "PaletteLine" << "TfrLineView" << "Line1" << "Line2" << "-" << 1;
        QTest::newRow("sub-report") << "PaletteSubReport" << "TfrSubReportView" << "SubReport1" << "SubReport2"
                                    << "-" << 1;
        QTest::newRow("barcode") << "Palette_TfrBarCodeView" << "TfrBarCodeView" << "Bar1" << "Bar2" << "12345678"
                                 << 1;
        QTest::newRow("pdf417") << "Palette_Tfr2BarCodePDFView" << "Tfr2BarCodePDFView" << "2BarCPDF1"
                                << "2BarCPDF2" << "ABCDEFGH" << 1;
        QTest::newRow("shape") << "Palette_TfrShapeView" << "TfrShapeView" << "Shape1" << "Shape2" << "-" << -1;
        QTest::newRow("check box") << "Palette_TfrCheckBoxView" << "TfrCheckBoxView" << "Check1" << "Check2" << "-"
                                   << -1;
        QTest::newRow("cross-tab") << "Palette_TfrCrossView" << "TfrCrossView" << "Cross1" << "Cross2" << "-" << -1;
    }
    void paletteCreatesObjectsWithDefaults() {
        QFETCH(QString, button);
        QFETCH(QString, className);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, memo);
        QFETCH(int, flags);
        Designer d;
        d.place(button, 36, 36);
        tmpl::TfrView* a = d.last();
        QVERIFY(a);
        QCOMPARE(QString::fromLatin1(a->ClassName()), className);
        QCOMPARE(uni(a->Name), first);
        QCOMPARE(a->Left, 36);
        QCOMPARE(a->Top, 36);
        if (memo == QLatin1String("-"))
            QVERIFY(a->Memo.empty());
        else
            QCOMPARE(a->Memo, tmpl::Lines{memo.toStdString()});
        if (flags >= 0)
            QCOMPARE(int(a->Flags), flags);
        // The new object is selected, shown in the inspector, and the tool is back to selecting.
        QCOMPARE(d.form->Selection(), std::vector<tmpl::TfrView*>{a});
        QCOMPARE(d.shown("Name"), first);
        QCOMPARE(d.form->Tool(), DesignerTool::Select);
        QVERIFY(d.form->Modified());

        d.place(button, 36, 180);
        QCOMPARE(uni(d.last()->Name), second);
    }

    void newObjectsKeepTheirClassDetails() {
        Designer d;
        d.place(QStringLiteral("Palette_TfrBarCodeView"), 18, 18);
        const auto& bar = dynamic_cast<barcode::TfrBarCodeView&>(*d.last());
        QCOMPARE(int(bar.BarType), int(barcode::bcCode39));
        QVERIFY(bar.CalcCheckSum && bar.ShowText);
        QCOMPARE(bar.Zoom, 1.0);
        QVERIFY(bar.Height > 0);

        // A line dragged mostly across lies flat along its top side; one dragged
        // down stands along its left side.
        d.palette(QStringLiteral("PaletteLine"))->click();
        d.drag(18, 180, 200, 190);
        QCOMPARE(d.last()->Height, 0);
        QCOMPARE(d.last()->Width, 180);   // snapped to the 2.5 mm grid
        QCOMPARE(int(d.last()->FrameTyp), 8);
        d.palette(QStringLiteral("PaletteLine"))->click();
        d.drag(300, 18, 310, 200);
        QCOMPARE(d.last()->Width, 0);
        QCOMPARE(int(d.last()->FrameTyp), 4);

        // A sub-report brings the page it prints.
        d.place(QStringLiteral("PaletteSubReport"), 18, 300);
        QCOMPARE(int(d.job.Report.Pages.Count()), 2);
        QCOMPARE(dynamic_cast<tmpl::TfrSubReportView&>(*d.last()).SubPage, 1);
        QCOMPARE(d.form->findChild<QTabBar*>(QStringLiteral("PageTabs"))->count(), 2);
    }

    void bandsFromTheTypeChooser() {
        Designer d;
        chooseBand(d.dialogs, tmpl::btMasterData);
        d.place(QStringLiteral("PaletteBand"), 18, 72);
        auto* band = dynamic_cast<tmpl::TfrBandView*>(d.last());
        QVERIFY(band);
        QCOMPARE(uni(band->Name), QStringLiteral("Band1"));
        QCOMPARE(band->BandType(), int(tmpl::btMasterData));
        QCOMPARE(int(band->Flags), 48);
        QVERIFY(band->Height > 0);
        QCOMPARE(d.dialogs.dialogsShown().last(), QStringLiteral("TfrBandTypesForm"));
        // The data band offers its data source and columns in the inspector.
        QCOMPARE(d.shown("BandType"), QStringLiteral("主项数据"));
        d.type("DataSet", QStringLiteral("frDBDataSet1"));
        QCOMPARE(band->FormatStr, AnsiString("frDBDataSet1"));
        QVERIFY(d.form->Inspector()->RowOf("Columns") >= 0);
        QCOMPARE(d.form->Inspector()->RowOf("Condition"), -1);

        // A page holds one page header: the chooser no longer offers a second.
        chooseBand(d.dialogs, tmpl::btPageHeader);
        d.place(QStringLiteral("PaletteBand"), 18, 0);
        QCOMPARE(dynamic_cast<tmpl::TfrBandView&>(*d.last()).BandType(), int(tmpl::btPageHeader));
        const size_t count = d.page().Objects.size();
        chooseBand(d.dialogs, tmpl::btPageHeader);
        d.place(QStringLiteral("PaletteBand"), 18, 300);
        QCOMPARE(d.page().Objects.size(), count);
        // Cancelling the chooser inserts nothing either.
        d.place(QStringLiteral("PaletteBand"), 18, 300);
        QCOMPARE(d.page().Objects.size(), count);
    }

    void keysMoveAndResize() {
        Designer d;
        d.place(QStringLiteral("PaletteMemo"), 36, 36);
        tmpl::TfrView* memo = d.last();
        const int width = memo->Width, height = memo->Height;
        d.view()->setFocus();
        QTest::keyClick(d.view(), Qt::Key_Right);
        QTest::keyClick(d.view(), Qt::Key_Right);
        QTest::keyClick(d.view(), Qt::Key_Down);
        QCOMPARE(memo->Left, 38);
        QCOMPARE(memo->Top, 37);
        QTest::keyClick(d.view(), Qt::Key_Left, Qt::ControlModifier);   // a grid step
        QCOMPARE(memo->Left, 29);
        QTest::keyClick(d.view(), Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(d.view(), Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(memo->Width, width + 1);
        QCOMPARE(memo->Height, height - 1);
        QCOMPARE(d.shown("Left"), QStringLiteral("8.06"));   // 29 units in millimetres
        // Each key press is one undo step.
        QCOMPARE(int(d.form->UndoStack().UndoCount()), 1 + 6);

        // What may not move or size stays where it is.
        memo->Restrictions = restriction::kDontMove | restriction::kDontSize;
        QTest::keyClick(d.view(), Qt::Key_Right);
        QTest::keyClick(d.view(), Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(memo->Left, 29);
        QCOMPARE(memo->Width, width + 1);
        QCOMPARE(int(d.form->UndoStack().UndoCount()), 7);
    }

    void mouseSelectsMovesAndResizes() {
        Designer d;
        d.place(QStringLiteral("PaletteMemo"), 36, 36);
        tmpl::TfrView* a = d.last();
        d.place(QStringLiteral("PaletteMemo"), 36, 108);
        tmpl::TfrView* b = d.last();
        // Shift+click adds to the selection; a click on the paper clears it.
        QTest::mouseClick(d.view(), Qt::LeftButton, {}, d.view()->ToWidget(QPointF(40, 40)).toPoint());
        QTest::mouseClick(d.view(), Qt::LeftButton, Qt::ShiftModifier, d.view()->ToWidget(QPointF(40, 112)).toPoint());
        QCOMPARE(d.form->Selection(), (std::vector<tmpl::TfrView*>{a, b}));
        QTest::mouseClick(d.view(), Qt::LeftButton, {}, d.view()->ToWidget(QPointF(500, 500)).toPoint());
        QVERIFY(d.form->Selection().empty());
        // A rubber band around both selects both.
        d.drag(18, 18, 300, 150);
        QCOMPARE(d.form->Selection().size(), size_t(2));
        // Dragging moves the whole selection, the first object onto the grid.
        d.drag(40, 40, 80, 62);
        QCOMPARE(a->Left, 72);
        QCOMPARE(a->Top, 54);
        QCOMPARE(b->Left, 72);
        QCOMPARE(b->Top, 126);
        // The bottom-right handle of a single selection resizes.
        QTest::mouseClick(d.view(), Qt::LeftButton, {}, d.view()->ToWidget(QPointF(80, 60)).toPoint());
        const QPoint corner = d.view()->ToWidget(QPointF(a->Left + a->Width, a->Top + a->Height)).toPoint();
        const QPointF target(a->Left + a->Width + 36, a->Top + a->Height + 18);
        d.drag(a->Left + a->Width, a->Top + a->Height, int(target.x()), int(target.y()));
        (void)corner;
        QCOMPARE(a->Left + a->Width, 72 + 108 + 36);
        QCOMPARE(a->Height, 18 + 18);
        // Snapping off: a drag moves by the units dragged.
        d.form->findChild<QAction*>(QStringLiteral("SnapAction"))->setChecked(false);
        d.drag(a->Left + 5, a->Top + 5, a->Left + 12, a->Top + 5);
        QCOMPARE(a->Left, 79);
    }

    void inspectorEditsInPlace() {
        Designer d;
        d.place(QStringLiteral("PaletteMemo"), 36, 36);
        auto* memo = dynamic_cast<tmpl::TfrMemoView*>(d.last());
        // Millimetres in, page units stored.
        d.type("Left", QStringLiteral("10"));
        d.type("Width", QStringLiteral("25.5"));
        QCOMPARE(memo->Left, 36);
        QCOMPARE(memo->Width, 92);
        QCOMPARE(d.shown("Width"), QStringLiteral("25.56"));
        d.type("FrameTyp", QStringLiteral("15"));
        QCOMPARE(int(memo->FrameTyp), 15);
        d.type("FrameWidth", QStringLiteral("1.5"));
        QCOMPARE(memo->FrameWidth, 1.5);
        d.type("FillColor", QStringLiteral("#FF0000"));
        QCOMPARE(memo->FillColor, 0x0000FFu);   // stored as 0x00BBGGRR
        QCOMPARE(d.shown("FillColor"), QStringLiteral("#FF0000"));
        d.type("Tag", QStringLiteral("批号"));
        QCOMPARE(memo->Tag, ansi("批号"));
        // A boolean is ticked.
        DesignerInspector* inspector = d.form->Inspector();
        inspector->item(inspector->RowOf("WordWrap"), 1)->setCheckState(Qt::Unchecked);
        QVERIFY(!(memo->Flags & tmpl::kWordWrap));
        const size_t steps = d.form->UndoStack().UndoCount();

        // Values an entry cannot take are refused with a message and change nothing.
        struct Bad {
            const char* entry;
            const char* text;
        };
        for (const Bad& bad : {Bad{"Left", "abc"}, Bad{"Width", "-3"}, Bad{"FrameStyle", "9"},
                               Bad{"FillColor", "#GG0000"}, Bad{"Name", ""}}) {
            const int before = int(d.dialogs.messages().size());
            d.type(bad.entry, QString::fromUtf8(bad.text));
            QCOMPARE(int(d.dialogs.messages().size()), before + 1);
            QCOMPARE(d.dialogs.messages().back().caption, QStringLiteral("错误"));
        }
        QCOMPARE(memo->Left, 36);
        QCOMPARE(memo->Width, 92);
        QCOMPARE(d.form->UndoStack().UndoCount(), steps);
        QCOMPARE(d.shown("Left"), QStringLiteral("10"));

        // Names stay unique in the report.
        d.place(QStringLiteral("PaletteMemo"), 36, 180);
        d.type("Name", QStringLiteral("Memo1"));
        QCOMPARE(uni(d.last()->Name), QStringLiteral("Memo2"));
        d.type("Name", QStringLiteral("批号"));
        QCOMPARE(uni(d.last()->Name), QStringLiteral("批号"));

        // Several selected objects take a typed value together.
        d.form->SelectAll();
        d.type("Top", QStringLiteral("20"));
        QCOMPARE(memo->Top, 72);
        QCOMPARE(d.last()->Top, 72);
    }

    void inspectorDialogs() {
        Designer d;
        d.place(QStringLiteral("PaletteMemo"), 36, 36);
        auto* memo = dynamic_cast<tmpl::TfrMemoView*>(d.last());
        DesignerInspector* inspector = d.form->Inspector();
        // The memo lines through the text editor.
        answerText(d.dialogs, QStringLiteral("编号 [条形码编号]\n第二行"));
        inspector->ActivateRow(inspector->RowOf("Memo"));
        QCOMPARE(memo->Memo, (tmpl::Lines{ansi("编号 [条形码编号]"), ansi("第二行")}));
        QCOMPARE(d.shown("Memo.Count"), QStringLiteral("2"));
        // A colour through the colour dialog.
        d.dialogs.answerDialog([](QDialog& dialog) {
            static_cast<QColorDialog&>(dialog).setCurrentColor(QColor(0, 128, 255));
            return int(QDialog::Accepted);
        });
        inspector->ActivateRow(inspector->RowOf("FrameColor"));
        QCOMPARE(d.dialogs.dialogsShown().last(), QStringLiteral("ColorDialog"));
        QCOMPARE(memo->FrameColor, 0xFF8000u);
        // A cancelled colour dialog changes nothing.
        inspector->ActivateRow(inspector->RowOf("FrameColor"));
        QCOMPARE(memo->FrameColor, 0xFF8000u);
        // The font dialog: bold is bit 1, italic bit 0 as stored.
        QFont chosen;
        d.dialogs.answerDialog([&chosen](QDialog& dialog) {
            QFont font = QApplication::font();
            font.setPointSize(14);
            font.setItalic(true);
            auto& fonts = static_cast<QFontDialog&>(dialog);
            fonts.setCurrentFont(font);
            chosen = fonts.currentFont();   // what the machine's fonts make of it
            return int(QDialog::Accepted);
        });
        inspector->ActivateRow(inspector->RowOf("Font"));
        QCOMPARE(d.dialogs.dialogsShown().last(), QStringLiteral("FontDialog"));
        QCOMPARE(memo->FontSize, 14);
        QCOMPARE(uni(memo->FontName), chosen.family());
        QCOMPARE(int(memo->FontStyle), (chosen.italic() ? int(tmpl::kFontItalic) : 0) |
                                           (chosen.bold() ? int(tmpl::kFontBold) : 0));

        // "Barcode" runs the object's editor; "DataField" the data-field chooser,
        // which unanswered changes nothing.
        d.place(QStringLiteral("Palette_TfrBarCodeView"), 36, 180);
        auto* bar = dynamic_cast<barcode::TfrBarCodeView*>(d.last());
        int edits = 0;
        QWidget* parent = nullptr;
        barcode::TfrBarCodeView::SetEditor([&](barcode::TfrBarCodeView& view, tmpl::DesignerContext& context) {
            ++edits;
            parent = context.Window();
            context.AddUndoPoint();
            view.BarType = barcode::bcCode128B;
            return true;
        });
        const size_t steps = d.form->UndoStack().UndoCount();
        inspector->ActivateRow(inspector->RowOf("Barcode"));
        QCOMPARE(edits, 1);
        QCOMPARE(parent, static_cast<QWidget*>(d.form.get()));
        QCOMPARE(int(bar->BarType), int(barcode::bcCode128B));
        // The editor's own undo point is the one step.
        QCOMPARE(d.form->UndoStack().UndoCount(), steps + 1);
        d.form->Undo();
        QCOMPARE(int(dynamic_cast<barcode::TfrBarCodeView&>(*d.last()).BarType), int(barcode::bcCode39));
        // An editor that made its undo point and was cancelled leaves no empty step.
        barcode::TfrBarCodeView::SetEditor([](barcode::TfrBarCodeView&, tmpl::DesignerContext& context) {
            context.AddUndoPoint();
            return false;
        });
        const size_t kept = d.form->UndoStack().UndoCount();
        inspector = d.form->Inspector();
        inspector->ActivateRow(inspector->RowOf("Barcode"));
        QCOMPARE(d.form->UndoStack().UndoCount(), kept);
        inspector->ActivateRow(inspector->RowOf("DataField"));
        QCOMPARE(d.last()->Memo, tmpl::Lines{"12345678"});
        barcode::TfrBarCodeView::SetEditor({});
    }

    void doubleClickOpensTheObjectsEditor() {
        Designer d;
        d.place(QStringLiteral("Palette_Tfr2BarCodePDFView"), 36, 36);
        int opened = 0;
        pdf417::Tfr2BarCodePDFView::SetEditor([&](pdf417::Tfr2BarCodePDFView& view, tmpl::DesignerContext&) {
            ++opened;
            view.Memo = {ansi("[二维码]")};
            return true;
        });
        QTest::mouseDClick(d.view(), Qt::LeftButton, {}, d.view()->ToWidget(QPointF(50, 50)).toPoint());
        QCOMPARE(opened, 1);
        QCOMPARE(d.last()->Memo, tmpl::Lines{ansi("[二维码]")});
        // An editor that made no undo point of its own still gets one.
        d.form->Undo();
        QCOMPARE(d.last()->Memo, tmpl::Lines{"ABCDEFGH"});
        // "Don't edit contents" keeps the editor closed.
        d.last()->Restrictions = restriction::kDontEditContents;
        QTest::mouseDClick(d.view(), Qt::LeftButton, {}, d.view()->ToWidget(QPointF(50, 50)).toPoint());
        QCOMPARE(opened, 1);
        pdf417::Tfr2BarCodePDFView::SetEditor({});

        // A text object opens the memo editor; unanswered it changes nothing.
        d.place(QStringLiteral("PaletteMemo"), 36, 360);
        const size_t steps = d.form->UndoStack().UndoCount();
        QTest::mouseDClick(d.view(), Qt::LeftButton, {}, d.view()->ToWidget(QPointF(40, 364)).toPoint());
        QCOMPARE(d.form->UndoStack().UndoCount(), steps);
    }

    void undoAndRedo() {
        Designer d;
        const DesignerSnapshot empty = DesignerSnapshot::Take(d.job.Report);
        d.place(QStringLiteral("PaletteMemo"), 36, 36);
        const DesignerSnapshot placed = DesignerSnapshot::Take(d.job.Report);
        d.type("Left", QStringLiteral("20"));
        QTest::keyClick(d.view(), Qt::Key_Down);
        const DesignerSnapshot moved = DesignerSnapshot::Take(d.job.Report);
        d.form->DeleteSelection();
        QVERIFY(d.page().Objects.empty());

        d.form->Undo();
        QVERIFY(DesignerSnapshot::Take(d.job.Report) == moved);
        // The selection comes back with the object.
        QCOMPARE(d.form->Selection().size(), size_t(1));
        QCOMPARE(uni(d.form->Selection().front()->Name), QStringLiteral("Memo1"));
        d.form->Undo();
        d.form->Undo();
        QVERIFY(DesignerSnapshot::Take(d.job.Report) == placed);
        d.form->Undo();
        QVERIFY(DesignerSnapshot::Take(d.job.Report) == empty);
        QVERIFY(!d.form->UndoStack().CanUndo());
        d.form->Undo();   // nothing left: nothing happens
        QVERIFY(DesignerSnapshot::Take(d.job.Report) == empty);

        d.form->Redo();
        QVERIFY(DesignerSnapshot::Take(d.job.Report) == placed);
        d.form->Redo();
        d.form->Redo();
        QVERIFY(DesignerSnapshot::Take(d.job.Report) == moved);
        // A new change drops what could be redone.
        d.form->Undo();
        QTest::keyClick(d.view(), Qt::Key_Up);
        QVERIFY(!d.form->UndoStack().CanRedo());

        // Undo covers the dictionary, the report options and added pages too.
        d.form->AddPage();
        QCOMPARE(int(d.job.Report.Pages.Count()), 2);
        QCOMPARE(d.form->CurrentPageIndex(), 1);
        d.form->Undo();
        QCOMPARE(int(d.job.Report.Pages.Count()), 1);
        QCOMPARE(d.form->CurrentPageIndex(), 0);
    }

    void copyPasteAndDuplicate() {
        Designer d;
        d.place(QStringLiteral("Palette_TfrBarCodeView"), 36, 36);
        auto& bar = dynamic_cast<barcode::TfrBarCodeView&>(*d.last());
        bar.BarType = barcode::bcCodeEAN13;
        bar.Memo = {"690123456789"};
        bar.ReservedValue = 7;
        d.form->Copy();
        d.form->Paste();
        auto& copy = dynamic_cast<barcode::TfrBarCodeView&>(*d.last());
        QVERIFY(&copy != &bar);
        QCOMPARE(uni(copy.Name), QStringLiteral("Bar2"));
        // The record copy carries every field, the reserved ones too.
        QCOMPARE(int(copy.BarType), int(barcode::bcCodeEAN13));
        QCOMPARE(copy.Memo, bar.Memo);
        QCOMPARE(copy.ReservedValue, 7);
        // Placed a grid step off its original, and selected.
        QCOMPARE(copy.Left, bar.Left + 9);
        QCOMPARE(copy.Top, bar.Top + 9);
        QCOMPARE(d.form->Selection(), std::vector<tmpl::TfrView*>{&copy});

        d.form->Duplicate();
        QCOMPARE(uni(d.last()->Name), QStringLiteral("Bar3"));
        QCOMPARE(d.page().Objects.size(), size_t(3));

        // Cut takes what may be deleted; "don't delete" stays.
        d.last()->Restrictions = restriction::kDontDelete;
        d.form->Cut();
        QCOMPARE(d.page().Objects.size(), size_t(3));
        d.form->SelectAll();
        d.form->DeleteSelection();
        QCOMPARE(d.page().Objects.size(), size_t(1));
        QCOMPARE(uni(d.last()->Name), QStringLiteral("Bar3"));
    }

    void alignSizeAndOrder() {
        Designer d;
        d.place(QStringLiteral("PaletteMemo"), 36, 36);
        tmpl::TfrView* a = d.last();
        a->Width = 200;
        a->Height = 40;
        d.place(QStringLiteral("PaletteMemo"), 90, 180);
        tmpl::TfrView* b = d.last();
        d.place(QStringLiteral("PaletteMemo"), 144, 270);
        tmpl::TfrView* c = d.last();
        c->Restrictions = restriction::kDontMove;
        d.form->Select({a, b, c});
        d.form->Align(DesignerAlignment::Left);
        QCOMPARE(b->Left, 36);
        QCOMPARE(c->Left, 144);   // may not move
        d.form->Align(DesignerAlignment::Right);
        QCOMPARE(b->Left + b->Width, 236);
        d.form->Align(DesignerAlignment::VerticalCentre);
        QCOMPARE(b->Top, 36 + (40 - b->Height) / 2);
        d.form->SameSize(true, true);
        QCOMPARE(b->Width, 200);
        QCOMPARE(b->Height, 40);
        QCOMPARE(c->Width, 200);

        d.form->Select({a});
        d.form->BringToFront();
        QCOMPARE(d.page().Objects.back().get(), a);
        d.form->Select({c});
        d.form->SendToBack();
        QCOMPARE(d.page().Objects.front().get(), c);
    }

    void saveAndReloadGiveTheSameTemplate() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("label.frf"));
        DesignerSnapshot designed;
        {
            Designer d;
            chooseBand(d.dialogs, tmpl::btMasterData);
            d.place(QStringLiteral("PaletteBand"), 0, 36);
            d.place(QStringLiteral("PaletteMemo"), 18, 40);
            d.type("Tag", QStringLiteral("标签"));
            d.place(QStringLiteral("Palette_TfrBarCodeView"), 18, 200);
            d.place(QStringLiteral("Palette_Tfr2BarCodePDFView"), 200, 200);
            d.place(QStringLiteral("PaletteLine"), 18, 400);
            d.place(QStringLiteral("PalettePicture"), 300, 400);
            d.job.Report.Dictionary.Variables = {{" 标签", ""}, {ansi("批号"), "[编头]"}};
            d.dialogs.answerFile(file);
            QVERIFY(d.form->SaveReport());   // never saved: asks for a name
            QCOMPARE(d.dialogs.fileQuestions().back().options.filter, QStringLiteral("报表文件(*.frf)|*.frf"));
            QVERIFY(!d.form->Modified());
            QVERIFY(d.form->SavedOnce());
            QCOMPARE(d.form->FileName(), file);
            designed = DesignerSnapshot::Take(d.job.Report);

            // The dictionary to its own file and back.
            const QString frd = dir.filePath(QStringLiteral("vars.frd"));
            d.dialogs.answerFile(frd);
            d.form->SaveDictionary();
            d.job.Report.Dictionary.Clear();
            d.dialogs.answerFile(frd);
            d.form->LoadDictionary();
            QCOMPARE(d.job.Report.Dictionary.Variables.size(), size_t(2));

            // The XML export carries each object's attributes.
            const QString xml = dir.filePath(QStringLiteral("label.xml"));
            d.dialogs.answerFile(xml);
            d.form->ExportXml();
            const std::string text = mirel::test::readFile(xml);
            QVERIFY(text.find("<Object Class=\"TfrBarCodeView\" Name=\"Bar1\"") != std::string::npos);
            QVERIFY(text.find("BarType=\"3\" CalcCheckSum=\"1\" Rotation=\"0\" ShowText=\"1\" Zoom=\"1\"") !=
                    std::string::npos);
            QVERIFY(text.find("Text=\"ABCDEFGH\"") != std::string::npos);
            QVERIFY(text.find(ansi("Tag=\"标签\"")) != std::string::npos);

            // A new-report template gives the same pages to a new, unnamed report.
            const QString frt = dir.filePath(QStringLiteral("label.frt"));
            d.dialogs.answerFile(frt);
            d.form->SaveAsNewReportTemplate();
            d.dialogs.answerFile(frt);
            d.form->OpenReport();
            QVERIFY(d.form->FileName().isEmpty());
            QCOMPARE(d.job.Report.Pages[0].Objects.size(), size_t(6));
        }
        // A designer opening the file shows the same template.
        Designer again;
        again.dialogs.answerFile(file);
        again.form->OpenReport();
        QCOMPARE(again.form->FileName(), file);
        QVERIFY(DesignerSnapshot::Take(again.job.Report) == designed);
        QVERIFY(!again.form->Modified());
        QVERIFY(!again.form->UndoStack().CanUndo());
        // Saving it unchanged writes the same objects and pages.
        const std::string first = mirel::test::readFile(file);
        QVERIFY(again.form->SaveReport());
        const std::string second = mirel::test::readFile(file);
        QCOMPARE(first.size(), second.size());
        // Only the information section at the end holds the time of saving.
        QCOMPARE(first.substr(0, first.size() - 16), second.substr(0, second.size() - 16));
    }

    void unsavedChangesAreAskedAbout() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("asked.frf"));
        Designer d(file);
        d.place(QStringLiteral("PaletteMemo"), 36, 36);
        // Cancel: the designer stays open.
        d.dialogs.answerMessage(MessageResult::Cancel);
        d.form->close();
        QVERIFY(d.form->isVisible());
        QCOMPARE(d.dialogs.messages().back().buttons, mirel::ui::MessageButtons::YesNoCancel);
        // Yes: saved to its file, then closed.
        d.dialogs.answerMessage(MessageResult::Yes);
        d.form->close();
        QVERIFY(!d.form->isVisible());
        QVERIFY(QFileInfo::exists(file));
        QVERIFY(d.form->SavedOnce());

        // No: closed, nothing written. A new report asks the same question.
        Designer other;
        other.place(QStringLiteral("PaletteMemo"), 36, 36);
        other.dialogs.answerMessage(MessageResult::Cancel);
        other.form->NewReport();
        QCOMPARE(other.page().Objects.size(), size_t(1));
        other.dialogs.answerMessage(MessageResult::No);
        other.form->NewReport();
        QVERIFY(other.page().Objects.empty());
        QVERIFY(!other.form->Modified());
        // Saving with the name question cancelled keeps the designer open.
        other.place(QStringLiteral("PaletteMemo"), 36, 36);
        other.dialogs.answerMessage(MessageResult::Yes);
        other.dialogs.answerFile(std::nullopt);
        other.form->close();
        QVERIFY(other.form->isVisible());
        // A save that fails is reported and keeps the changes.
        other.form->hide();
    }

    void saveErrorsAreShown() {
        Designer d(QStringLiteral("/nonexistent-folder/x/label.frf"));
        d.place(QStringLiteral("PaletteMemo"), 36, 36);
        QVERIFY(!d.form->SaveReport());
        QCOMPARE(d.dialogs.messages().back().caption, QStringLiteral("错误"));
        QVERIFY(d.form->Modified());
        QVERIFY(!d.form->SavedOnce());
    }

    void designedFromScratchPrintsThroughTheCli() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("scratch.frf"));
        const QString db = dir.filePath(QStringLiteral("dbno.csh"));
        std::vector<AnsiString> codes;
        {
            mirel::codes::CodeStore store(db);
            mirel::codes::CodeList list;
            QVERIFY(store.generate("scratch", 3, list));
            for (const mirel::codes::CodeRecord& r : store.records(0, 3))
                codes.push_back(r.key1);
        }
        {
            Designer d;
            // A 100 x 40 mm label, as the page setup would set it.
            tmpl::TfrPage& page = d.page();
            page.Size = tmpl::kCustomPaper;
            page.PaperWidth = 1000;
            page.PaperHeight = 400;
            page.ApplyPaper();
            d.view()->PageChanged();
            chooseBand(d.dialogs, tmpl::btMasterData);
            d.place(QStringLiteral("PaletteBand"), 0, 9);
            d.type("Height", QStringLiteral("35"));
            d.type("DataSet", QStringLiteral("frDBDataSet1"));
            d.place(QStringLiteral("PaletteMemo"), 18, 18);
            answerText(d.dialogs, QStringLiteral("标签 [frDBDataSet1.\"NO\"]"));
            d.form->Inspector()->ActivateRow(d.form->Inspector()->RowOf("Memo"));
            d.place(QStringLiteral("Palette_TfrBarCodeView"), 18, 45);
            answerText(d.dialogs, QStringLiteral("[frDBDataSet1.\"key1\"]"));
            d.form->Inspector()->ActivateRow(d.form->Inspector()->RowOf("Memo"));
            barcode::TfrBarCodeView::SetEditor([](barcode::TfrBarCodeView& view, tmpl::DesignerContext& context) {
                context.AddUndoPoint();
                view.BarType = barcode::bcCode128B;
                return true;
            });
            QTest::mouseDClick(d.view(), Qt::LeftButton, {}, d.view()->ToWidget(QPointF(30, 60)).toPoint());
            barcode::TfrBarCodeView::SetEditor({});
            d.type("Height", QStringLiteral("15"));
            d.dialogs.answerFile(file);
            QVERIFY(d.form->SaveReportAs());
        }
        const QString frp = dir.filePath(QStringLiteral("labels.frp"));
        auto r = mirel::test::runProgram({QStringLiteral("print"), file, QStringLiteral("--db"), db,
                                          QStringLiteral("--quantity"), QStringLiteral("3"), QStringLiteral("--frp"),
                                          frp});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(QString::fromStdString(r.out).trimmed(), QStringLiteral("{\"pages\":3,\"labels\":3}"));
        const QString png = dir.filePath(QStringLiteral("png"));
        r = mirel::test::runProgram({QStringLiteral("render"), frp, QStringLiteral("--png"), png});
        QCOMPARE(r.exitCode, 0);
        const QStringList pages = QDir(png).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
        QCOMPARE(pages.size(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(readCode128(QDir(png).filePath(pages[i])), QStringList{uni(codes[size_t(i)])});
    }

    void inspectorValuesAsShown_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("units");   // -1: refused
        // Millimetres to page units (18 per 5 mm), rounded to the nearest unit.
        QTest::newRow("whole") << "10" << 36;
        QTest::newRow("fraction") << "2.5" << 9;
        QTest::newRow("comma") << "2,5" << 9;
        QTest::newRow("rounded") << "0.2" << 1;
        QTest::newRow("blanks") << " 5 " << 18;
        QTest::newRow("letters") << "5mm" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("huge") << "1e12" << -1;
    }
    void inspectorValuesAsShown() {
        QFETCH(QString, text);
        QFETCH(int, units);
        const auto parsed = unitsFromMillimetres(text);
        QCOMPARE(parsed.has_value(), units >= 0);
        if (parsed)
            QCOMPARE(*parsed, units);
    }

    void coloursAsShown() {
        // Stored 0x00BBGGRR; shown as #RRGGBB; no colour and system colours by their own names.
        struct Case {
            const char* text;
            std::uint32_t stored;
        };
        for (const Case& c : {Case{"#FF0000", 0x0000FF}, Case{"#0080FF", 0xFF8000}, Case{"无", tmpl::kNoColor},
                              Case{"$FF00000F", tmpl::kButtonFaceColor}}) {
            QCOMPARE(parseColor(QString::fromUtf8(c.text)), std::optional<std::uint32_t>(c.stored));
            QCOMPARE(colorText(c.stored), QString::fromUtf8(c.text));
        }
        QVERIFY(!parseColor(QStringLiteral("#12345")));
        QVERIFY(!parseColor(QStringLiteral("red")));
    }

    void restrictionsKeepTheInspectorAndMenusAway() {
        Designer d;
        d.place(QStringLiteral("PaletteMemo"), 36, 36);
        tmpl::TfrView* memo = d.last();
        d.type("Restrictions", QString::number(restriction::kDontModify));
        QCOMPARE(int(memo->Restrictions), int(restriction::kDontModify));
        // "Don't modify": entries are shown but not edited; Restrictions itself stays editable.
        DesignerInspector* inspector = d.form->Inspector();
        QVERIFY(!(inspector->item(inspector->RowOf("Left"), 1)->flags() & Qt::ItemIsEditable));
        QVERIFY(inspector->item(inspector->RowOf("Restrictions"), 1)->flags() & Qt::ItemIsEditable);
        const int before = int(d.dialogs.dialogsShown().size());
        inspector->ActivateRow(inspector->RowOf("Memo"));
        QCOMPARE(int(d.dialogs.dialogsShown().size()), before);
        d.type("Restrictions", QStringLiteral("0"));
        QVERIFY(inspector->item(inspector->RowOf("Left"), 1)->flags() & Qt::ItemIsEditable);
    }

    void popupMenuEntriesOfTheObject() {
        Designer d;
        d.place(QStringLiteral("PaletteMemo"), 36, 36);
        tmpl::TfrView* memo = d.last();
        const QPoint at = d.view()->ToWidget(QPointF(40, 40)).toPoint();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, d.view()->mapToGlobal(at));
        QApplication::sendEvent(d.view(), &event);
        auto* menu = d.form->findChildren<QMenu*>().isEmpty() ? nullptr : [&] {
            for (QMenu* m : d.form->findChildren<QMenu*>())
                for (QAction* a : m->actions())
                    if (a->text() == QStringLiteral("伸展"))
                        return m;
            return static_cast<QMenu*>(nullptr);
        }();
        QVERIFY(menu);
        QAction* stretch = nullptr;
        for (QAction* a : menu->actions())
            if (a->text() == QStringLiteral("伸展"))
                stretch = a;
        QVERIFY(stretch->isChecked());
        stretch->trigger();
        QVERIFY(!memo->Stretched());
        menu->hide();
        d.form->Undo();
        QVERIFY(d.last()->Stretched());

        // A barcode adds no stretch entry.
        d.place(QStringLiteral("Palette_TfrBarCodeView"), 36, 180);
        const QPoint atBar = d.view()->ToWidget(QPointF(40, 190)).toPoint();
        QContextMenuEvent onBar(QContextMenuEvent::Mouse, atBar, d.view()->mapToGlobal(atBar));
        QApplication::sendEvent(d.view(), &onBar);
        for (QMenu* m : d.form->findChildren<QMenu*>())
            for (QAction* a : m->actions())
                QVERIFY(a->text() != QStringLiteral("伸展"));
        for (QMenu* m : d.form->findChildren<QMenu*>())
            m->hide();
    }

    void pagesAsTabs() {
        Designer d;
        auto* tabs = d.form->findChild<QTabBar*>(QStringLiteral("PageTabs"));
        d.place(QStringLiteral("PaletteMemo"), 36, 36);
        d.form->AddPage();
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->tabText(1), QStringLiteral("Page2"));
        QVERIFY(d.page().Objects.empty());
        tabs->setCurrentIndex(0);
        QCOMPARE(d.form->CurrentPageIndex(), 0);
        QCOMPARE(d.page().Objects.size(), size_t(1));
        // Deleting a page asks first.
        d.dialogs.answerMessage(MessageResult::No);
        d.form->DeletePage();
        QCOMPARE(int(d.job.Report.Pages.Count()), 2);
        d.dialogs.answerMessage(MessageResult::Yes);
        d.form->DeletePage();
        QCOMPARE(int(d.job.Report.Pages.Count()), 1);
        QCOMPARE(tabs->count(), 1);
        QVERIFY(d.page().Objects.empty());
        d.form->Undo();
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(d.job.Report.Pages[0].Objects.size(), size_t(1));
    }

    void subReportsFollowDeletedPages() {
        Designer d;
        d.place(QStringLiteral("PaletteSubReport"), 18, 18);   // prints page 2
        d.place(QStringLiteral("PaletteSubReport"), 18, 72);   // prints page 3
        auto& first = dynamic_cast<tmpl::TfrSubReportView&>(*d.page().Objects[0]);
        auto& second = dynamic_cast<tmpl::TfrSubReportView&>(*d.page().Objects[1]);
        QCOMPARE(second.SubPage, 2);
        d.form->SetCurrentPage(1);
        d.dialogs.answerMessage(MessageResult::Yes);
        d.form->DeletePage();
        auto& after = dynamic_cast<tmpl::TfrSubReportView&>(*d.job.Report.Pages[0].Objects[1]);
        QCOMPARE(after.SubPage, 1);
        QCOMPARE(dynamic_cast<tmpl::TfrSubReportView&>(*d.job.Report.Pages[0].Objects[0]).SubPage, -1);
        (void)first;
    }

    void previewShowsTheDesignedLabels() {
        Designer d;
        d.job.Fields.prefix = "BJ";
        chooseBand(d.dialogs, tmpl::btMasterData);
        d.place(QStringLiteral("PaletteBand"), 0, 36);
        d.type("DataSet", QStringLiteral("2"));   // two empty records
        d.place(QStringLiteral("PaletteMemo"), 18, 40);
        d.last()->Memo = {ansi("[编头]")};
        int pages = -1;
        QString title;
        d.dialogs.answerDialog([&](QDialog& dialog) {
            auto& preview = dynamic_cast<mirel::engine::TfrPreviewForm&>(dialog);
            pages = preview.Pages()->PageCount();
            title = preview.windowTitle();
            return int(QDialog::Rejected);
        });
        d.form->findChild<QAction*>(QStringLiteral("PreviewAction"))->trigger();
        QCOMPARE(d.dialogs.dialogsShown().last(), QStringLiteral("frPreviewForm"));
        QCOMPARE(pages, 1);
        QCOMPARE(title, QStringLiteral("预览"));
        // Previewing changes nothing in the template.
        QVERIFY(!d.form->UndoStack().CanRedo());
    }

    void designJobEntryOpensTheModalDesigner() {
        ScriptedDialogs dialogs;
        LabelJob job;
        bool seen = false;
        dialogs.answerDialog([&](QDialog& dialog) {
            auto& form = dynamic_cast<TfrDesignerForm&>(dialog);
            seen = form.isModal() && form.FileName() == QStringLiteral("/tmp/none.frf");
            return int(QDialog::Rejected);
        });
        QVERIFY(!designReport(nullptr, job, QStringLiteral("/tmp/none.frf")));
        QVERIFY(seen);
        QCOMPARE(dialogs.dialogsShown(), QStringList{QStringLiteral("TfrDesignerForm")});
        // An empty report gets a page to design on.
        QCOMPARE(int(job.Report.Pages.Count()), 1);
    }

    void screenshot() {
        Designer d;
        tmpl::TfrPage& page = d.page();
        page.Size = tmpl::kCustomPaper;
        page.PaperWidth = 1000;
        page.PaperHeight = 600;
        page.LeftMargin = page.TopMargin = page.RightMargin = page.BottomMargin = 18;
        page.Columns = 2;
        page.ColumnGap = 18;
        page.ApplyPaper();
        d.view()->PageChanged();
        chooseBand(d.dialogs, tmpl::btPageHeader);
        d.place(QStringLiteral("PaletteBand"), 18, 18);
        chooseBand(d.dialogs, tmpl::btMasterData);
        d.place(QStringLiteral("PaletteBand"), 18, 63);
        d.type("Height", QStringLiteral("40"));
        d.type("DataSet", QStringLiteral("frDBDataSet1"));
        d.place(QStringLiteral("PaletteMemo"), 27, 72);
        d.job.Report.Pages[0].Objects.back()->Memo = {ansi("编号 [条形码编号]")};
        d.place(QStringLiteral("Palette_TfrBarCodeView"), 27, 99);
        d.place(QStringLiteral("Palette_Tfr2BarCodePDFView"), 27, 171);
        d.form->SetZoom(1.25);
        d.form->resize(1200, 800);
        d.view()->update();
        QTest::qWait(50);
        const QString path = QDir::temp().filePath(QStringLiteral("mirel-designer.png"));
        QVERIFY(d.form->grab().save(path));
        qInfo("designer screenshot: %s", qPrintable(path));
        QVERIFY(d.form->findChild<QTabBar*>(QStringLiteral("PageTabs"))->isVisible());
        QVERIFY(d.view()->Failures().empty());
    }
};

QTEST_MAIN(DesignerFormTest)
#include "DesignerFormTest.moc"
