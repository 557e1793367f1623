// The preview window of prepared labels, driven through its buttons, keys and
// fields, with the file and print dialogs answered by a script.

#include "engine/ui/PreviewPageView.h"
#include "engine/ui/ReportPreview.h"
#include "engine/ui/TfrPreviewForm.h"

#include "ReportBuilder.h"
#include "template/Fixture.h"   // tests/template: byte fixtures written field by field

#include "barcode/TfrBarCodeView.h"
#include "core/Files.h"
#include "pdf417/Tfr2BarCodePDFView.h"
#include "core/ui/Dialogs.h"
#include "support/TestSupport.h"
#include "support/WidgetLookup.h"
#include "template/BuiltinViews.h"
#include "template/PreparedReport.h"
#include "template/TfrReport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <ZXing/ReadBarcode.h>

using namespace mirel::engine;
using mirel::test::ansi;
using mirel::ui::ScriptedDialogs;
namespace tmpl = mirel::tmpl;

using mirel::test::child;
using mirel::test::click;

namespace {

// A label page of 60 x 40 mm (custom paper) holding one text object with
// "Label 0001" for the first page, "Label 0002" for the second, and so on.
tmpl::TfrPreparedPages labelPages(int count) {
    tmpl::TfrPreparedPages pages;
    for (int i = 0; i < count; ++i) {
        tmpl::ViewList views;
        auto memo = std::make_unique<tmpl::TfrMemoView>();
        memo->Name = "Memo1";
        memo->Left = 18;
        memo->Top = 18;
        memo->Width = 180;
        memo->Height = 36;
        memo->FrameTyp = 15;
        memo->Memo = {ansi(QStringLiteral("Label %1").arg(i + 1, 4, 10, QLatin1Char('0')).toStdString()),
                      ansi("批号 B7")};
        views.push_back(std::move(memo));
        pages.Add({tmpl::kCustomPaper, 600, 400, 0, tmpl::kDefaultBin}).Stream = tmpl::writePreparedStream(views);
    }
    return pages;
}

namespace test = mirel::engine::test;

QString counter(QWidget& form) { return child<QLabel>(form, "PageCounter")->text(); }

// What pdfinfo says about a PDF file: its page count and each page's size in
// points, or nothing when pdfinfo cannot read it.
struct PdfInfo {
    int pages = -1;
    std::vector<QSizeF> sizes;
};
std::optional<PdfInfo> pdfInfo(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                              QStringLiteral("100000"), path});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return std::nullopt;
    PdfInfo info;
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption);
    static const QRegularExpression size(QStringLiteral("^Page\\s+\\d+ size:\\s+([\\d.]+) x ([\\d.]+) pts"),
                                         QRegularExpression::MultilineOption);
    if (const auto m = pages.match(out); m.hasMatch())
        info.pages = m.captured(1).toInt();
    for (auto it = size.globalMatch(out); it.hasNext();) {
        const auto m = it.next();
        info.sizes.emplace_back(m.captured(1).toDouble(), m.captured(2).toDouble());
    }
    return info;
}

// What zxing-cpp reads from an image: the EAN-13 symbol, then the PDF417 one
// (one format at a time: zxing-cpp 1.4 cannot mix linear and stacked symbols
// in one search).
QStringList readSymbols(const QImage& image) {
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum,
                                static_cast<int>(gray.bytesPerLine()));
    QStringList texts;
    for (const ZXing::BarcodeFormat format : {ZXing::BarcodeFormat::EAN13, ZXing::BarcodeFormat::PDF417}) {
        const auto hints = ZXing::DecodeHints().setFormats(format).setTryHarder(true);
        const ZXing::Result result = ZXing::ReadBarcode(view, hints);
        texts << (result.isValid() ? QString::fromStdString(std::string(result.bytes().begin(), result.bytes().end()))
                                   : QStringLiteral("(none)"));
    }
    return texts;
}

// A label of 80 x 50 mm with an EAN-13 symbol of "690123456789" and a PDF417
// symbol of "BJ0000000001**", as a print job prepares them.
tmpl::TfrPreparedPages barcodePages(int count) {
    tmpl::TfrPreparedPages pages;
    for (int i = 0; i < count; ++i) {
        tmpl::ViewList views;
        auto ean = std::make_unique<mirel::barcode::TfrBarCodeView>();
        ean->Name = "Bar1";
        ean->BarType = mirel::barcode::bcCodeEAN13;
        ean->Memo = {"690123456789"};
        ean->Left = 18;
        ean->Top = 18;
        ean->Width = 230;
        ean->Height = 60;
        ean->Zoom = 2;
        views.push_back(std::move(ean));
        auto pdf = std::make_unique<mirel::pdf417::Tfr2BarCodePDFView>();
        pdf->Name = "2BarCPDF1";
        pdf->Memo = {"BJ0000000001**"};
        pdf->Left = 18;
        pdf->Top = 100;
        pdf->Width = 230;
        pdf->Height = 60;
        pdf->Zoom = 1;
        views.push_back(std::move(pdf));
        pages.Add({tmpl::kCustomPaper, 800, 500, 0, tmpl::kDefaultBin}).Stream = tmpl::writePreparedStream(views);
    }
    return pages;
}

bool pdfinfoAvailable() { return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty(); }

// Saves a picture of the window when MIREL_SCREENSHOTS names a folder.
void screenshot(QWidget& window, const char* name) {
    const QString folder = qEnvironmentVariable("MIREL_SCREENSHOTS");
    if (!folder.isEmpty())
        window.grab().save(QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png")));
}

// Answers the print dialog: output to a PDF file with the given choices.
struct PrintChoice {
    QPrinter::PrintRange range = QPrinter::AllPages;
    int from = 0, to = 0;
    int copies = 1;
    bool collate = true;
};
std::function<int(QDialog&)> printToPdf(const QString& path, PrintChoice choice, int* maxPage = nullptr) {
    return [path, choice, maxPage](QDialog& dialog) {
        auto* print = qobject_cast<QPrintDialog*>(&dialog);
        if (!print)
            return int(QDialog::Rejected);
        if (maxPage)
            *maxPage = print->maxPage();
        QPrinter* printer = print->printer();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        printer->setPrintRange(choice.range);
        if (choice.range == QPrinter::PageRange)
            printer->setFromTo(choice.from, choice.to);
        printer->setCopyCount(choice.copies);
        printer->setCollateCopies(choice.collate);
        return int(QDialog::Accepted);
    };
}

} // namespace

class PreviewFormTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    tmpl::TfrReport m_report;

    QString path(const char* name) const { return QDir(m_dir.path()).filePath(QString::fromLatin1(name)); }

    // A label job's preview of `pages`, shown at a fixed size.
    std::unique_ptr<TfrPreviewForm> open(tmpl::TfrPreparedPages& pages, PreviewOptions options = {}) {
        if (options.title.isEmpty())
            options.title = QString::fromUtf8(kLabelPreviewTitle);
        auto form = std::make_unique<TfrPreviewForm>(m_report, pages, options);
        form->resize(900, 700);
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            qFatal("the preview did not show");
        return form;
    }

private slots:
    void initTestCase() {
        mirel::barcode::registerBarcodeObjects();
        mirel::pdf417::registerPdf417Objects();
    }

    void opensOnPageOneOfAThousand() {
        auto pages = labelPages(1000);
        auto form = open(pages);
        QCoreApplication::processEvents();
        screenshot(*form, "preview-opened");
        QCOMPARE(form->windowTitle(), QStringLiteral("条码标签打印预览"));
        QCOMPARE(counter(*form), QStringLiteral("1/1000"));
        QCOMPARE(child<QLineEdit>(*form, "PageEdit")->text(), QStringLiteral("1"));
        QCOMPARE(child<QLabel>(*form, "PageCountLabel")->text(), QStringLiteral("/ 1000"));
        QCOMPARE(child<QLabel>(*form, "PaperLabel")->text(), QStringLiteral("60 × 40 mm"));
        // Whole page: the label fills the view, and only it has been painted.
        PreviewPageView* view = form->Pages();
        QCOMPARE(view->Mode(), PreviewPageView::ZoomMode::WholePage);
        QVERIFY(view->PaintedPages() >= 1);
        QVERIFY2(view->PaintedPages() <= 2, qPrintable(QString::number(view->PaintedPages())));
        // The counter follows the pages replaced by an empty set.
        tmpl::TfrPreparedPages none;
        auto empty = open(none);
        QCOMPARE(counter(*empty), QStringLiteral("0/0"));
        QVERIFY(!child<QToolButton>(*empty, "PrintButton")->isEnabled());
    }

    void buttonsFollowPreviewButtons_data() {
        QTest::addColumn<unsigned>("buttons");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("hidden");
        const QStringList navigation = {"FirstButton", "PreviousButton", "NextButton", "LastButton"};
        const QStringList all = {"ZoomInButton", "ZoomOutButton", "WholePageButton", "PageWidthButton",
                                 "ActualSizeButton", "OpenButton", "SaveButton", "PrintButton", "PdfButton",
                                 "FindButton", "HelpButton", "CloseButton"};
        QTest::newRow("label job") << unsigned(kLabelJobButtons) << navigation + all << QStringList();
        QTest::newRow("print and exit only")
            << unsigned(pbPrint | pbExit) << navigation + QStringList{"PrintButton", "PdfButton", "CloseButton"}
            << QStringList{"ZoomInButton", "WholePageButton", "OpenButton", "SaveButton", "FindButton",
                           "HelpButton"};
        QTest::newRow("none") << 0u << navigation << all;
    }
    void buttonsFollowPreviewButtons() {
        QFETCH(unsigned, buttons);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, hidden);
        auto pages = labelPages(3);
        PreviewOptions options;
        options.buttons = buttons;
        auto form = open(pages, options);
        for (const QString& name : shown) {
            auto* button = child<QToolButton>(*form, name.toLatin1().constData());
            QVERIFY2(button->isVisible(), qPrintable(name));
            // Every button says what it does, in Chinese.
            QVERIFY2(button->toolTip().contains(QRegularExpression(QStringLiteral("[\\x{4e00}-\\x{9fff}]"))),
                     qPrintable(name));
        }
        for (const QString& name : hidden)
            QVERIFY2(!child<QToolButton>(*form, name.toLatin1().constData())->isVisible(), qPrintable(name));
        QCOMPARE(child<QComboBox>(*form, "ZoomBox")->isVisible(), bool(buttons & pbZoom));
    }

    void navigation_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("shown");
        QTest::newRow("next") << QStringList{"NextButton"} << "2/1000";
        QTest::newRow("next twice, previous") << QStringList{"NextButton", "NextButton", "PreviousButton"}
                                              << "2/1000";
        QTest::newRow("previous on the first page") << QStringList{"PreviousButton"} << "1/1000";
        QTest::newRow("last") << QStringList{"LastButton"} << "1000/1000";
        QTest::newRow("next on the last page") << QStringList{"LastButton", "NextButton"} << "1000/1000";
        QTest::newRow("last, first") << QStringList{"LastButton", "FirstButton"} << "1/1000";
        QTest::newRow("typed page") << QStringList{"type 500"} << "500/1000";
        QTest::newRow("typed page past the end") << QStringList{"type 4000"} << "1000/1000";
        QTest::newRow("PgDn three times, PgUp") << QStringList{"PgDn", "PgDn", "PgDn", "PgUp"} << "3/1000";
        QTest::newRow("End, PgUp") << QStringList{"End", "PgUp"} << "999/1000";
        QTest::newRow("typed page, Home") << QStringList{"type 77", "Home"} << "1/1000";
    }
    void navigation() {
        QFETCH(QStringList, steps);
        QFETCH(QString, shown);
        auto pages = labelPages(1000);
        auto form = open(pages);
        PreviewPageView* view = form->Pages();
        static const QHash<QString, Qt::Key> keys = {
            {"PgDn", Qt::Key_PageDown}, {"PgUp", Qt::Key_PageUp}, {"Home", Qt::Key_Home}, {"End", Qt::Key_End}};
        for (const QString& step : steps) {
            if (keys.contains(step)) {
                QTest::keyClick(view, keys[step]);
            } else if (step.startsWith(QLatin1String("type "))) {
                auto* edit = child<QLineEdit>(*form, "PageEdit");
                edit->clear();
                QTest::keyClicks(edit, step.mid(5));
                QTest::keyClick(edit, Qt::Key_Return);
            } else {
                click(*form, step.toLatin1().constData());
            }
        }
        QCOMPARE(counter(*form), shown);
        // The page shown is in sight.
        const int current = view->CurrentPage();
        const QRect visible(QPoint(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value()),
                            view->viewport()->size());
        QVERIFY(visible.intersects(view->PageRect(current)));
        // Going through pages painted only those in sight, not the ones between.
        QVERIFY2(view->PaintedPages() <= 2 * steps.size() + 2, qPrintable(QString::number(view->PaintedPages())));
    }

    void zoom() {
        auto pages = labelPages(1000);
        auto form = open(pages);
        PreviewPageView* view = form->Pages();
        auto* zoomLabel = child<QLabel>(*form, "ZoomLabel");
        const QSize viewport = view->viewport()->size();

        // Whole page: 60 x 40 mm fits the view between gaps of 16 pixels.
        QRect page = view->PageRect(0);
        QVERIFY(page.width() <= viewport.width() - 32 && page.height() <= viewport.height() - 32);
        QVERIFY(page.width() >= viewport.width() - 33 || page.height() >= viewport.height() - 33);

        // 100 %: 60 mm at the screen's 96 dots per inch is 226.8 pixels.
        QCOMPARE(view->logicalDpiX(), 96);
        click(*form, "ActualSizeButton");
        QCOMPARE(view->Zoom(), 1.0);
        QCOMPARE(view->PageRect(0).size(), QSize(227, 151));
        QCOMPARE(zoomLabel->text(), QStringLiteral("100%"));

        // A typed zoom, then the next steps of the list up and down.
        QLineEdit* field = child<QComboBox>(*form, "ZoomBox")->lineEdit();
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("150%"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(view->Zoom(), 1.5);
        QCOMPARE(view->PageRect(0).width(), 340);   // 340.2 pixels
        click(*form, "ZoomInButton");
        QCOMPARE(view->Zoom(), 2.0);
        click(*form, "ZoomOutButton");
        click(*form, "ZoomOutButton");
        QCOMPARE(view->Zoom(), 1.25);
        QCOMPARE(zoomLabel->text(), QStringLiteral("125%"));
        // Not a number: the zoom stays and the field shows it again.
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("abc"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(view->Zoom(), 1.25);
        QCOMPARE(field->text(), QStringLiteral("125%"));

        // Keys: Ctrl+0 is 100 %, Ctrl++ and Ctrl+- step.
        QTest::keyClick(view, Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(view->Zoom(), 1.5);
        QTest::keyClick(view, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(view->Zoom(), 1.0);
        QTest::keyClick(view, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(view->Zoom(), 0.75);

        // Ctrl + wheel: one notch is 15 % more.
        click(*form, "ActualSizeButton");
        const QPoint at = view->viewport()->rect().center();
        QWheelEvent wheel(at, view->viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &wheel);
        QVERIFY(qAbs(view->Zoom() - 1.15) < 1e-9);

        // Page width: the page spans the view between the gaps.
        click(*form, "PageWidthButton");
        QCOMPARE(view->Mode(), PreviewPageView::ZoomMode::PageWidth);
        QVERIFY(qAbs(view->PageRect(0).width() - (viewport.width() - 32)) <= 1);
        QCOMPARE(child<QComboBox>(*form, "ZoomBox")->currentText(), QStringLiteral("页宽"));

        // Zooming keeps the page the operator is on.
        click(*form, "ActualSizeButton");
        auto* edit = child<QLineEdit>(*form, "PageEdit");
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("500"));
        QTest::keyClick(edit, Qt::Key_Return);
        click(*form, "ZoomInButton");
        click(*form, "ZoomInButton");
        QCOMPARE(counter(*form), QStringLiteral("500/1000"));
        const QRect visible(QPoint(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value()),
                            view->viewport()->size());
        QVERIFY(visible.intersects(view->PageRect(499)));
        screenshot(*form, "preview-zoomed");
    }

    void findMovesToThePage() {
        auto pages = labelPages(1000);
        auto form = open(pages);
        PreviewPageView* view = form->Pages();
        click(*form, "FindButton");
        QVERIFY(child<QWidget>(*form, "FindBar")->isVisible());
        auto* edit = child<QLineEdit>(*form, "FindEdit");
        QTest::keyClicks(edit, QStringLiteral("label 0734"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(counter(*form), QStringLiteral("734/1000"));
        QCOMPARE(view->Match().page, 733);
        QCOMPARE(view->Match().frame, QRect(18, 18, 180, 36));
        const QRect visible(QPoint(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value()),
                            view->viewport()->size());
        QVERIFY(visible.contains(view->PageRect(733)));
        screenshot(*form, "preview-found");

        // Next and previous occurrences of a text on every label.
        edit->setText(QStringLiteral("批号"));
        click(*form, "FindNextButton");
        QCOMPARE(counter(*form), QStringLiteral("734/1000"));   // the page shown holds it
        click(*form, "FindNextButton");
        QCOMPARE(counter(*form), QStringLiteral("735/1000"));
        click(*form, "FindPreviousButton");
        click(*form, "FindPreviousButton");
        QCOMPARE(counter(*form), QStringLiteral("733/1000"));

        // After the last label the search goes on from the first.
        click(*form, "LastButton");
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("Label 0002"));
        click(*form, "FindNextButton");
        QCOMPARE(counter(*form), QStringLiteral("2/1000"));
        QVERIFY(child<QLabel>(*form, "FindStatus")->text().contains(QStringLiteral("从首页")));

        // Letter case counts when asked to.
        child<QCheckBox>(*form, "MatchCaseBox")->setChecked(true);
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("label 0003"));
        click(*form, "FindNextButton");
        QCOMPARE(counter(*form), QStringLiteral("2/1000"));
        QCOMPARE(child<QLabel>(*form, "FindStatus")->text(), QStringLiteral("未找到“label 0003”"));
        QVERIFY(!view->Match().valid());
    }

    void saveThenOpenGivesIdenticalPages() {
        ScriptedDialogs script;
        auto pages = labelPages(1000);
        pages.Pages[1].Orientation = 1;
        pages.Pages[1].UseMargins = true;
        pages.Pages[1].LeftMargin = 36;
        const QString file = path("labels.frp");
        {
            auto form = open(pages);
            script.answerFile(path("labels"));   // the dialog adds the extension
            click(*form, "SaveButton");
        }
        QVERIFY(QFileInfo::exists(file));
        QCOMPARE(script.fileQuestions().size(), size_t(1));
        QVERIFY(script.fileQuestions()[0].save);
        QCOMPARE(script.fileQuestions()[0].options.filter, QStringLiteral(" (*.frp)|*.frp"));

        auto other = labelPages(3);
        auto form = open(other);
        script.answerFile(file);
        click(*form, "OpenButton");
        QVERIFY(script.messages().empty());
        QCOMPARE(script.fileQuestions()[1].options.filter, QStringLiteral(" (*.frp)|*.frp"));
        QCOMPARE(counter(*form), QStringLiteral("1/1000"));
        QCOMPARE(other.Pages.size(), size_t(1000));
        for (size_t i = 0; i < 1000; ++i) {
            const tmpl::TfrPreparedPage& a = pages.Pages[i];
            const tmpl::TfrPreparedPage& b = other.Pages[i];
            QVERIFY(a.Stream == b.Stream);
            QCOMPARE(b.Size, a.Size);
            QCOMPARE(b.PaperWidth, a.PaperWidth);
            QCOMPARE(b.PaperHeight, a.PaperHeight);
            QCOMPARE(b.Orientation, a.Orientation);
            QCOMPARE(b.PaperBin, a.PaperBin);
            QCOMPARE(b.UseMargins, a.UseMargins);
            QCOMPARE(b.LeftMargin, a.LeftMargin);
        }
        // The opened labels are searched, not the ones shown before.
        click(*form, "FindButton");
        QTest::keyClicks(child<QLineEdit>(*form, "FindEdit"), QStringLiteral("Label 0999"));
        click(*form, "FindNextButton");
        QCOMPARE(counter(*form), QStringLiteral("999/1000"));
    }

    void refusedFilesLeaveThePagesShown_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        auto pages = labelPages(4);
        const std::string whole = pages.SaveToBytes(m_report);
        std::string compressed = whole;
        compressed[1] = '\x01';
        QTest::newRow("cut short") << "cut.frp" << QByteArray::fromStdString(whole.substr(0, whole.size() / 2))
                                   << "文件“cut.frp”不是有效的预览文件，或已损坏，无法打开。";
        QTest::newRow("empty") << "empty.frp" << QByteArray()
                               << "文件“empty.frp”不是有效的预览文件，或已损坏，无法打开。";
        QTest::newRow("a text file") << "notes.frp" << QByteArray("A0001\r\nA0002\r\n")
                                     << "文件“notes.frp”不是有效的预览文件，或已损坏，无法打开。";
        QTest::newRow("compressed") << "packed.frp" << QByteArray::fromStdString(compressed)
                                    << "文件“packed.frp”的页面数据经过压缩，本程序无法打开。";
        QTest::newRow("a folder") << "folder.frp" << QByteArray("folder") << "";
    }
    void refusedFilesLeaveThePagesShown() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const QString file = QDir(m_dir.path()).filePath(name);
        if (bytes == "folder")
            QVERIFY(QDir().mkpath(file));
        else
            mirel::test::writeFile(file, bytes.toStdString());
        ScriptedDialogs script;
        auto pages = labelPages(1000);
        const std::string before = pages.Pages[41].Stream;
        m_report.GeneratorVersion = 77;
        auto form = open(pages);
        click(*form, "LastButton");
        script.answerFile(file);
        click(*form, "OpenButton");
        QCOMPARE(script.messages().size(), size_t(1));
        const auto& message = script.messages()[0];
        QCOMPARE(message.caption, QStringLiteral("错误"));
        QCOMPARE(message.icon, mirel::ui::MessageIcon::Error);
        if (text.isEmpty())
            QVERIFY(message.text.startsWith(QStringLiteral("无法读取文件“%1”").arg(name)));
        else
            QCOMPARE(message.text, text);
        // Nothing of the file was taken.
        QCOMPARE(pages.Pages.size(), size_t(1000));
        QVERIFY(pages.Pages[41].Stream == before);
        QCOMPARE(m_report.GeneratorVersion, std::uint8_t(77));
        QCOMPARE(counter(*form), QStringLiteral("1000/1000"));
        m_report.GeneratorVersion = tmpl::kGeneratorVersion;
    }

    void printsEveryChosenPage_data() {
        QTest::addColumn<int>("range");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("copies");
        QTest::addColumn<bool>("collate");
        QTest::addColumn<int>("printed");
        QTest::newRow("all") << int(QPrinter::AllPages) << 0 << 0 << 1 << true << 12;
        QTest::newRow("pages 2-4, two sets") << int(QPrinter::PageRange) << 2 << 4 << 2 << true << 6;
        QTest::newRow("pages 11-12, each twice") << int(QPrinter::PageRange) << 11 << 12 << 2 << false << 4;
        QTest::newRow("the page shown") << int(QPrinter::CurrentPage) << 0 << 0 << 1 << true << 1;
    }
    void printsEveryChosenPage() {
        QFETCH(int, range);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, copies);
        QFETCH(bool, collate);
        QFETCH(int, printed);
        if (!pdfinfoAvailable())
            QSKIP("pdfinfo (poppler-utils) is not installed");
        ScriptedDialogs script;
        auto pages = labelPages(12);
        auto form = open(pages);
        click(*form, "NextButton");
        const QString file = path("printed.pdf");
        QFile::remove(file);
        int maxPage = 0;
        script.answerDialog(printToPdf(file, {QPrinter::PrintRange(range), from, to, copies, collate}, &maxPage));
        click(*form, "PrintButton");
        QCOMPARE(script.dialogsShown(), QStringList{QStringLiteral("PrintDialog")});
        QCOMPARE(maxPage, 12);
        QVERIFY(script.messages().empty());
        const auto info = pdfInfo(file);
        QVERIFY(info);
        QCOMPARE(info->pages, printed);
        QCOMPARE(form->PrintedPages(), printed);
        // Every page on its own paper: 60 x 40 mm is 170.08 x 113.39 points (Qt
        // writes the page box in whole points).
        for (const QSizeF& size : info->sizes) {
            const QString shown = QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
            QVERIFY2(qAbs(size.width() - 170.08) < 0.6, qPrintable(shown));
            QVERIFY2(qAbs(size.height() - 113.39) < 0.6, qPrintable(shown));
        }
    }

    void printsEachPageOnItsPaper() {
        if (!pdfinfoAvailable())
            QSKIP("pdfinfo (poppler-utils) is not installed");
        // A4 portrait, A4 landscape (width and height as the paper lies), a
        // 100 x 50 mm label.
        tmpl::TfrPreparedPages pages;
        pages.Add({9, 2100, 2970, 0, tmpl::kDefaultBin}).Stream = "\x19";
        pages.Add({9, 2970, 2100, 1, tmpl::kDefaultBin}).Stream = "\x19";
        pages.Add({tmpl::kCustomPaper, 1000, 500, 0, tmpl::kDefaultBin}).Stream = "\x19";
        QCOMPARE(pages.Pages[1].PaperWidth, 2970);
        ScriptedDialogs script;
        auto form = open(pages);
        const QString printed = path("papers.pdf");
        script.answerDialog(printToPdf(printed, {}));
        click(*form, "PrintButton");
        const QString exported = path("papers-export.pdf");
        script.answerFile(exported);
        click(*form, "PdfButton");
        for (const QString& file : {printed, exported}) {
            const auto info = pdfInfo(file);
            QVERIFY(info);
            QCOMPARE(info->pages, 3);
            QCOMPARE(info->sizes.size(), size_t(3));
            // 210 x 297 mm = 595.28 x 841.89 points; 100 x 50 mm = 283.46 x 141.73
            // (in whole points, as Qt writes them).
            const QSizeF expected[] = {{595.28, 841.89}, {841.89, 595.28}, {283.46, 141.73}};
            for (int i = 0; i < 3; ++i) {
                const QString shown = QStringLiteral("%1, page %2: %3 x %4")
                                          .arg(file)
                                          .arg(i + 1)
                                          .arg(info->sizes[i].width())
                                          .arg(info->sizes[i].height());
                QVERIFY2(qAbs(info->sizes[i].width() - expected[i].width()) < 0.6, qPrintable(shown));
                QVERIFY2(qAbs(info->sizes[i].height() - expected[i].height()) < 0.6, qPrintable(shown));
            }
        }
        QCOMPARE(form->PrintedPages(), 6);
    }

    void cancelledDialogsOutputNothing() {
        ScriptedDialogs script;
        auto pages = labelPages(5);
        auto form = open(pages);
        click(*form, "PrintButton");   // no answer: the print dialog is cancelled
        click(*form, "PdfButton");     // the save dialog is cancelled
        click(*form, "SaveButton");
        QCOMPARE(script.dialogsShown(), QStringList{QStringLiteral("PrintDialog")});
        QCOMPARE(script.fileQuestions().size(), size_t(2));
        QVERIFY(script.messages().empty());
        QCOMPARE(form->PrintedPages(), 0);
        QVERIFY(child<QLabel>(*form, "MessageLabel")->text().isEmpty());
    }

    void exportsPdfAndKeepsAnEarlierFileOnFailure() {
        if (!pdfinfoAvailable())
            QSKIP("pdfinfo (poppler-utils) is not installed");
        ScriptedDialogs script;
        auto pages = labelPages(40);
        auto form = open(pages);
        const QString file = path("labels.pdf");
        script.answerFile(path("labels"));
        click(*form, "PdfButton");
        QCOMPARE(script.fileQuestions()[0].options.defaultSuffix, QStringLiteral("pdf"));
        auto info = pdfInfo(file);
        QVERIFY(info);
        QCOMPARE(info->pages, 40);
        // A folder that cannot be written: a message, nothing else.
        script.answerFile(QDir(m_dir.path()).filePath(QStringLiteral("missing/folder/labels.pdf")));
        click(*form, "PdfButton");
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].caption, QStringLiteral("错误"));
        QCOMPARE(form->PrintedPages(), 40);
    }

    void barcodesScanOnScreenAndOnPaper() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            QSKIP("pdftoppm (poppler-utils) is not installed");
        const QStringList expected = {QStringLiteral("6901234567892"), QStringLiteral("BJ0000000001**")};
        ScriptedDialogs script;
        auto pages = barcodePages(3);
        auto form = open(pages);
        PreviewPageView* view = form->Pages();
        // On screen at twice the real size, as the operator checks the label.
        view->SetZoom(2.0);
        QCoreApplication::processEvents();
        const QRect page = view->PageRect(0).translated(-view->horizontalScrollBar()->value(),
                                                        -view->verticalScrollBar()->value());
        const QImage screen = view->viewport()->grab(page & view->viewport()->rect()).toImage();
        screenshot(*form, "preview-barcodes");
        QCOMPARE(readSymbols(screen), expected);
        QVERIFY(!view->Failures(0));

        // On paper: printed to a PDF file, rasterised at 300 dpi.
        const QString file = path("barcodes.pdf");
        script.answerDialog(printToPdf(file, {QPrinter::PageRange, 2, 2, 1, true}));
        click(*form, "PrintButton");
        QVERIFY(script.messages().empty());
        QProcess raster;
        raster.start(QStringLiteral("pdftoppm"),
                     {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"), file, path("barcodes")});
        QVERIFY(raster.waitForFinished(30000));
        QCOMPARE(raster.exitCode(), 0);
        const QImage paper(path("barcodes-1.png"));
        QVERIFY(!paper.isNull());
        // 80 x 50 mm at 300 dpi is 944.9 x 590.6 pixels (the page box is in
        // whole points, and pdftoppm rounds up).
        QVERIFY2(qAbs(paper.width() - 945) <= 1 && qAbs(paper.height() - 591) <= 1,
                 qPrintable(QStringLiteral("%1 x %2").arg(paper.width()).arg(paper.height())));
        QCOMPARE(readSymbols(paper), expected);
    }

    void objectsThatCannotPaintAreShownAndReported() {
        // EAN-13 takes digits only: a prepared text that is no number prints nothing.
        ScriptedDialogs script;
        auto pages = barcodePages(2);
        {
            tmpl::ViewList views = tmpl::readPreparedStream(pages.Pages[1].Stream);
            views[0]->Memo = {"69012345678X"};
            pages.Pages[1].Stream = tmpl::writePreparedStream(views);
        }
        // A third label whose stream names an object class no one registered:
        // what comes before it shows, the object is reported.
        {
            tmpl::test::Fx f;
            f.raw(pages.Pages[0].Stream).u8(10).counted("TfrUnknownView");
            pages.Add({tmpl::kCustomPaper, 800, 500, 0, tmpl::kDefaultBin}).Stream = f.b;
        }
        auto form = open(pages);
        PreviewPageView* view = form->Pages();
        QVERIFY(!view->Failures(0));
        click(*form, "LastButton");
        view->viewport()->repaint();
        QVERIFY(view->Failures(2));
        QCOMPARE(view->Failures(2)->size(), size_t(1));
        QCOMPARE(view->Failures(2)->front().object, 2);
        QVERIFY(view->Failures(2)->front().message.contains(QStringLiteral("TfrUnknownView")));
        click(*form, "FirstButton");
        click(*form, "NextButton");
        view->viewport()->repaint();
        QVERIFY(view->Failures(1));
        QCOMPARE(view->Failures(1)->size(), size_t(1));
        QCOMPARE(view->Failures(1)->front().name, QStringLiteral("Bar1"));
        QCOMPARE(view->Failures(1)->front().frame, QRect(18, 18, 230, 60));
        const QString status = child<QLabel>(*form, "MessageLabel")->text();
        QVERIFY(status.startsWith(QStringLiteral("此页有 1 个对象无法显示：Bar1")));
        screenshot(*form, "preview-failure");

        // Printed all the same, and the operator is told which label lacks what.
        const QString file = path("failure.pdf");
        script.answerDialog(printToPdf(file, {}));
        click(*form, "PrintButton");
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].caption, QStringLiteral("提示"));
        QVERIFY(script.messages()[0].text.contains(QStringLiteral("第 2 页：Bar1 无法显示")));
        QVERIFY(script.messages()[0].text.contains(QStringLiteral("第 3 页：第 3 个对象 无法显示")));
        QVERIFY(QFileInfo::exists(file));
    }

    void entryPointsShowTheModalPreview() {
        ScriptedDialogs script;
        // The label job's: caption and buttons of a print job.
        auto pages = labelPages(7);
        QString caption, shown;
        script.answerDialog([&](QDialog& dialog) {
            caption = dialog.windowTitle();
            shown = counter(dialog);
            return int(QDialog::Accepted);
        });
        QCOMPARE(showPreview(m_report, pages), 0);
        QCOMPARE(script.dialogsShown(), QStringList{QStringLiteral("frPreviewForm")});
        QCOMPARE(caption, QStringLiteral("条码标签打印预览"));
        QCOMPARE(shown, QStringLiteral("1/7"));

        // The designer's: the template prepared, then shown. A label of
        // 60 x 40 mm (216 x 144 page units) per record of a band over four
        // empty records, each with its line number.
        tmpl::TfrReport report;
        report.ReportName = ansi("样品标签");
        auto page = test::addPage(report).paper(216, 144);
        auto& band = page.band(tmpl::btMasterData, 0, 144);
        band.FormatStr = "4";
        page.memo("No", 18, 18, 100, 30, {"No. [LINE#]"});
        script.clear();
        script.answerDialog([&](QDialog& dialog) {
            caption = dialog.windowTitle();
            click(dialog, "FindButton");
            QTest::keyClicks(child<QLineEdit>(dialog, "FindEdit"), QStringLiteral("No. 3"));
            click(dialog, "FindNextButton");
            shown = counter(dialog);
            return int(QDialog::Accepted);
        });
        QCOMPARE(previewReport(report, {}, designerPreviewOptions(report)), 0);
        QCOMPARE(caption, QStringLiteral("预览 - 样品标签"));
        QCOMPARE(shown, QStringLiteral("3/4"));

        // A preparation that fails, and one that builds nothing: a message,
        // no preview.
        band.FormatStr = "frDBDataSet9";
        script.clear();
        QCOMPARE(previewReport(report, {}, designerPreviewOptions(report)), -1);
        QVERIFY(script.dialogsShown().isEmpty());
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].caption, QStringLiteral("错误"));
        QVERIFY(script.messages()[0].text.contains(QStringLiteral("frDBDataSet9")));
        tmpl::TfrReport empty;
        script.clear();
        QCOMPARE(previewReport(empty, {}, designerPreviewOptions(empty)), -1);
        QVERIFY(script.dialogsShown().isEmpty());
        QCOMPARE(script.messages().size(), size_t(1));
        QCOMPARE(script.messages()[0].caption, QStringLiteral("提示"));
    }

    void helpAndClose() {
        ScriptedDialogs script;
        auto pages = labelPages(2);
        auto form = open(pages);
        click(*form, "HelpButton");
        QCOMPARE(script.messages().size(), size_t(1));
        QVERIFY(script.messages()[0].text.contains(QStringLiteral("PgDn")));
        click(*form, "CloseButton");
        QVERIFY(!form->isVisible());
    }
};

QTEST_MAIN(PreviewFormTest)
#include "PreviewFormTest.moc"
