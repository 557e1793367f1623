#include "engine/ui/TfrPreviewForm.h"

#include "core/Encoding.h"
#include "core/Files.h"
#include "core/ui/Dialogs.h"
#include "engine/Printers.h"
#include "engine/ui/PreparedFileCheck.h"
#include "engine/ui/PreviewOutput.h"
#include "template/PrinterLayer.h"
#include "template/TfrReport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace mirel::engine {

namespace {

using ui::dialogs;
using ui::MessageIcon;

const QString kErrorCaption = QStringLiteral("错误");

QString percent(double zoom) { return QStringLiteral("%1%").arg(std::lround(zoom * 100)); }

// "210 × 297 mm", tenths shown only where the paper has them.
QString paperText(const tmpl::TfrPreparedPage& page) {
    const auto mm = [](int tenths) {
        return tenths % 10 == 0 ? QString::number(tenths / 10) : QString::number(tenths / 10.0, 'f', 1);
    };
    QString text = QStringLiteral("%1 × %2 mm").arg(mm(page.PaperWidth), mm(page.PaperHeight));
    if (page.Orientation == 1)
        text += QStringLiteral("（横向）");
    return text;
}

// A progress window for outputs of many pages; it shows itself only when a
// job takes longer than a moment, and its button cancels the job.
class OutputProgressWindow {
public:
    OutputProgressWindow(QWidget* parent, const QString& caption, const QString& text, int total)
        : m_dialog(text, QStringLiteral("取消"), 0, total, parent) {
        m_dialog.setObjectName(QStringLiteral("OutputProgress"));
        m_dialog.setWindowTitle(caption);
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(400);
        m_dialog.setAutoClose(true);
        m_dialog.setValue(0);
    }
    OutputProgress callback() {
        return [this](int done, int total) {
            m_dialog.setLabelText(QStringLiteral("%1 / %2").arg(done).arg(total));
            m_dialog.setValue(done);
            return !m_dialog.wasCanceled();
        };
    }

private:
    QProgressDialog m_dialog;
};

} // namespace

TfrPreviewForm::TfrPreviewForm(tmpl::TfrReport& report, tmpl::TfrPreparedPages& pages,
                               const PreviewOptions& options, QWidget* parent)
    : QDialog(parent), m_report(report), m_pages(pages), m_options(options), m_search(pages) {
    setObjectName(QStringLiteral("frPreviewForm"));
    setWindowTitle(options.title.isEmpty() ? QStringLiteral("预览") : options.title);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);

    const PreviewButtons shown = options.buttons;
    auto* toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("ToolBar"));
    toolbar->setIconSize(QSize(24, 24));
    toolbar->setMovable(false);

    m_needPages << AddButton(toolbar, "FirstButton", PreviewIcon::FirstPage, QStringLiteral("首页 (Home)"), true,
                             [this] { FirstPage(); });
    m_needPages << AddButton(toolbar, "PreviousButton", PreviewIcon::PreviousPage,
                             QStringLiteral("上一页 (PgUp)"), true, [this] { PreviousPage(); });
    m_pageEdit = new QLineEdit(toolbar);
    m_pageEdit->setObjectName(QStringLiteral("PageEdit"));
    m_pageEdit->setToolTip(QStringLiteral("页码：输入后按回车转到该页"));
    m_pageEdit->setAlignment(Qt::AlignRight);
    m_pageEdit->setFixedWidth(64);
    // A number past the last page goes to the last page.
    m_pageEdit->setValidator(new QIntValidator(1, 999999999, m_pageEdit));
    toolbar->addWidget(m_pageEdit);
    m_pageCount = new QLabel(toolbar);
    m_pageCount->setObjectName(QStringLiteral("PageCountLabel"));
    m_pageCount->setContentsMargins(4, 0, 6, 0);
    toolbar->addWidget(m_pageCount);
    m_needPages << AddButton(toolbar, "NextButton", PreviewIcon::NextPage, QStringLiteral("下一页 (PgDn)"), true,
                             [this] { NextPage(); });
    m_needPages << AddButton(toolbar, "LastButton", PreviewIcon::LastPage, QStringLiteral("末页 (End)"), true,
                             [this] { LastPage(); });

    const bool zoom = shown & pbZoom;
    if (zoom)
        toolbar->addSeparator();
    AddButton(toolbar, "ZoomOutButton", PreviewIcon::ZoomOut, QStringLiteral("缩小 (Ctrl+-)"), zoom,
              [this] { m_view->ZoomOut(); });
    m_zoomBox = new QComboBox(toolbar);
    m_zoomBox->setObjectName(QStringLiteral("ZoomBox"));
    m_zoomBox->setToolTip(QStringLiteral("显示比例：选择或输入百分比"));
    m_zoomBox->setEditable(true);
    m_zoomBox->setInsertPolicy(QComboBox::NoInsert);
    m_zoomBox->addItem(QStringLiteral("整页"));
    m_zoomBox->addItem(QStringLiteral("页宽"));
    for (double step : PreviewPageView::ZoomSteps())
        m_zoomBox->addItem(percent(step), step);
    m_zoomBox->setMinimumContentsLength(5);
    m_zoomBox->setMaxVisibleItems(m_zoomBox->count());
    QAction* zoomField = toolbar->addWidget(m_zoomBox);
    zoomField->setVisible(zoom);
    AddButton(toolbar, "ZoomInButton", PreviewIcon::ZoomIn, QStringLiteral("放大 (Ctrl++)"), zoom,
              [this] { m_view->ZoomIn(); });
    AddButton(toolbar, "WholePageButton", PreviewIcon::WholePage, QStringLiteral("整页显示"), zoom,
              [this] { m_view->SetZoomMode(PreviewPageView::ZoomMode::WholePage); });
    AddButton(toolbar, "PageWidthButton", PreviewIcon::PageWidth, QStringLiteral("页宽显示"), zoom,
              [this] { m_view->SetZoomMode(PreviewPageView::ZoomMode::PageWidth); });
    AddButton(toolbar, "ActualSizeButton", PreviewIcon::ActualSize, QStringLiteral("实际大小 100% (Ctrl+0)"), zoom,
              [this] { m_view->SetZoom(1.0); });

    const bool files = shown & (pbLoad | pbSave);
    if (files)
        toolbar->addSeparator();
    AddButton(toolbar, "OpenButton", PreviewIcon::Open, QStringLiteral("打开预览文件 (Ctrl+O)"), shown & pbLoad,
              [this] { OpenClick(); });
    m_needPages << AddButton(toolbar, "SaveButton", PreviewIcon::Save, QStringLiteral("保存预览文件 (Ctrl+S)"),
                             shown & pbSave, [this] { SaveClick(); });
    const bool print = shown & pbPrint;
    if (print)
        toolbar->addSeparator();
    m_needPages << AddButton(toolbar, "PrintButton", PreviewIcon::Print, QStringLiteral("打印 (Ctrl+P)"), print,
                             [this] { PrintClick(); });
    m_needPages << AddButton(toolbar, "PdfButton", PreviewIcon::Pdf, QStringLiteral("导出为 PDF 文件"), print,
                             [this] { ExportPdfClick(); });
    if (shown & pbFind)
        toolbar->addSeparator();
    m_needPages << AddButton(toolbar, "FindButton", PreviewIcon::Find, QStringLiteral("查找文本 (Ctrl+F)"),
                             shown & pbFind, [this] { ShowFindBar(); });

    auto* spacer = new QWidget(toolbar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolbar->addWidget(spacer);
    AddButton(toolbar, "HelpButton", PreviewIcon::Help, QStringLiteral("帮助 (F1)"), shown & pbHelp,
              [this] { HelpClick(); });
    AddButton(toolbar, "CloseButton", PreviewIcon::Close, QStringLiteral("关闭预览 (Esc)"), shown & pbExit,
              [this] { accept(); });

    m_findBar = new QWidget(this);
    m_findBar->setObjectName(QStringLiteral("FindBar"));
    BuildFindBar(m_findBar);
    m_findBar->hide();

    m_view = new PreviewPageView(this);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar"));
    status->setSizeGripEnabled(true);
    m_message = new QLabel(status);
    m_message->setObjectName(QStringLiteral("MessageLabel"));
    m_paperLabel = new QLabel(status);
    m_paperLabel->setObjectName(QStringLiteral("PaperLabel"));
    m_zoomLabel = new QLabel(status);
    m_zoomLabel->setObjectName(QStringLiteral("ZoomLabel"));
    m_counter = new QLabel(status);
    m_counter->setObjectName(QStringLiteral("PageCounter"));
    m_counter->setToolTip(QStringLiteral("当前页/总页数"));
    status->addWidget(m_message, 1);
    status->addPermanentWidget(m_paperLabel);
    status->addPermanentWidget(m_zoomLabel);
    status->addPermanentWidget(m_counter);
    for (QLabel* label : {m_paperLabel, m_zoomLabel, m_counter}) {
        label->setContentsMargins(8, 0, 8, 0);
        label->setAlignment(Qt::AlignCenter);
    }
    m_zoomLabel->setMinimumWidth(m_zoomLabel->fontMetrics().horizontalAdvance(QStringLiteral("800%")) + 18);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar);
    layout->addWidget(m_findBar);
    layout->addWidget(m_view, 1);
    layout->addWidget(status);

    connect(m_view, &PreviewPageView::CurrentPageChanged, this, &TfrPreviewForm::ShowCurrentPage);
    connect(m_view, &PreviewPageView::ZoomChanged, this, &TfrPreviewForm::ShowZoom);
    connect(m_view, &PreviewPageView::FailuresFound, this, [this](int index) {
        if (index == m_view->CurrentPage())
            ShowCurrentPage(index);
    });
    connect(m_pageEdit, &QLineEdit::returnPressed, this, &TfrPreviewForm::GoToTypedPage);
    connect(m_zoomBox, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        if (index == 0)
            m_view->SetZoomMode(PreviewPageView::ZoomMode::WholePage);
        else if (index == 1)
            m_view->SetZoomMode(PreviewPageView::ZoomMode::PageWidth);
        else
            m_view->SetZoom(m_zoomBox->itemData(index).toDouble());
        m_view->setFocus();
    });
    connect(m_zoomBox->lineEdit(), &QLineEdit::returnPressed, this, &TfrPreviewForm::ApplyZoomField);

    const auto shortcut = [this](const QKeySequence& keys, auto slot) {
        auto* s = new QShortcut(keys, this);
        connect(s, &QShortcut::activated, this, slot);
    };
    if (shown & pbFind) {
        shortcut(QKeySequence::Find, &TfrPreviewForm::ShowFindBar);
        shortcut(QKeySequence(Qt::Key_F3), &TfrPreviewForm::FindNext);
        shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), &TfrPreviewForm::FindPrevious);
    }
    if (shown & pbLoad)
        shortcut(QKeySequence::Open, &TfrPreviewForm::OpenClick);
    if (shown & pbSave)
        shortcut(QKeySequence::Save, &TfrPreviewForm::SaveClick);
    if (shown & pbPrint)
        shortcut(QKeySequence::Print, &TfrPreviewForm::PrintClick);
    if (shown & pbHelp)
        shortcut(QKeySequence(Qt::Key_F1), &TfrPreviewForm::HelpClick);

    // Most of the screen: labels are checked closely.
    QSize size(1024, 768);
    if (const QScreen* screen = parent ? parent->screen() : QApplication::primaryScreen()) {
        const QSize available = screen->availableSize();
        size = QSize(std::max(640, available.width() * 4 / 5), std::max(480, available.height() * 17 / 20));
    }
    resize(size);

    if (options.initialMode == PreviewPageView::ZoomMode::Free)
        m_view->SetZoom(options.initialZoom);
    else
        m_view->SetZoomMode(options.initialMode);
    PagesReplaced();
    m_view->setFocus();
}

QAction* TfrPreviewForm::AddButton(QToolBar* bar, const char* name, PreviewIcon icon, const QString& tip, bool shown,
                                   const std::function<void()>& triggered) {
    auto* action = bar->addAction(previewIcon(icon), tip);
    const QString objectName = QString::fromLatin1(name);
    action->setObjectName(objectName.chopped(6) + QStringLiteral("Action"));   // "FirstButton" -> "FirstAction"
    action->setToolTip(tip);
    action->setVisible(shown);
    if (QWidget* button = bar->widgetForAction(action))
        button->setObjectName(objectName);
    connect(action, &QAction::triggered, this, triggered);
    return action;
}

void TfrPreviewForm::BuildFindBar(QWidget* bar) {
    auto* label = new QLabel(QStringLiteral("查找："), bar);
    m_findEdit = new QLineEdit(bar);
    m_findEdit->setObjectName(QStringLiteral("FindEdit"));
    m_findEdit->setPlaceholderText(QStringLiteral("标签上的文字"));
    m_findEdit->setClearButtonEnabled(true);
    m_findEdit->setMinimumWidth(240);
    m_findEdit->installEventFilter(this);
    const auto button = [bar](const char* name, const QString& text, const QString& tip) {
        auto* b = new QToolButton(bar);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(text);
        b->setToolTip(tip);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        return b;
    };
    QToolButton* next = button("FindNextButton", QStringLiteral("下一个"), QStringLiteral("查找下一个 (F3, 回车)"));
    QToolButton* previous =
        button("FindPreviousButton", QStringLiteral("上一个"), QStringLiteral("查找上一个 (Shift+F3)"));
    m_matchCase = new QCheckBox(QStringLiteral("区分大小写"), bar);
    m_matchCase->setObjectName(QStringLiteral("MatchCaseBox"));
    m_findStatus = new QLabel(bar);
    m_findStatus->setObjectName(QStringLiteral("FindStatus"));
    QToolButton* close = button("FindCloseButton", QStringLiteral("✕"), QStringLiteral("关闭查找栏 (Esc)"));
    close->setAutoRaise(true);

    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->addWidget(label);
    layout->addWidget(m_findEdit);
    layout->addWidget(next);
    layout->addWidget(previous);
    layout->addSpacing(8);
    layout->addWidget(m_matchCase);
    layout->addSpacing(12);
    layout->addWidget(m_findStatus, 1);
    layout->addWidget(close);

    connect(m_findEdit, &QLineEdit::returnPressed, this, &TfrPreviewForm::FindNext);
    connect(m_findEdit, &QLineEdit::textChanged, this, [this] { m_findStatus->clear(); });
    connect(next, &QToolButton::clicked, this, &TfrPreviewForm::FindNext);
    connect(previous, &QToolButton::clicked, this, &TfrPreviewForm::FindPrevious);
    connect(close, &QToolButton::clicked, this, [this] {
        m_findBar->hide();
        m_view->ClearMatch();
        m_view->setFocus();
    });
}

void TfrPreviewForm::PagesReplaced() {
    m_search.Reset();
    const int count = static_cast<int>(m_pages.Pages.size());
        m_pageCount->setText(QStringLiteral("/ %1").arg(count));
    for (QAction* action : std::as_const(m_needPages))
        action->setEnabled(count > 0);
    m_pageEdit->setEnabled(count > 0);
    // Room for the widest counter of these pages, so it never jumps or cuts.
    const QFontMetrics metrics(m_counter->font());
    const QMargins margins = m_counter->contentsMargins();
    m_counter->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("%1/%1").arg(count)) + margins.left() +
                               margins.right() + 2);
    m_view->SetPages(&m_pages);
    ShowCurrentPage(m_view->CurrentPage());
}

void TfrPreviewForm::ShowCurrentPage(int index) {
    const int count = m_view->PageCount();
    m_counter->setText(QStringLiteral("%1/%2").arg(index + 1).arg(count));
    m_pageEdit->setText(count > 0 ? QString::number(index + 1) : QString());
    m_paperLabel->setText(count > 0 ? paperText(m_pages.Pages[static_cast<size_t>(index)]) : QString());
    // Objects of this page that could not be painted are told until the
    // operator moves on.
    if (const auto* failures = m_view->Failures(index)) {
        QString text = QStringLiteral("此页有 %1 个对象无法显示：%2")
                           .arg(failures->size())
                           .arg(PreviewPageView::FailureText(failures->front()));
        SetStatus(text);
        m_message->setStyleSheet(QStringLiteral("color: #b71c1c;"));
        m_failureShown = true;
    } else if (m_failureShown) {
        SetStatus(QString());
    }
}

void TfrPreviewForm::ShowZoom(double zoom) {
    m_zoomLabel->setText(percent(zoom));
    switch (m_view->Mode()) {
    case PreviewPageView::ZoomMode::WholePage: m_zoomBox->setCurrentIndex(0); break;
    case PreviewPageView::ZoomMode::PageWidth: m_zoomBox->setCurrentIndex(1); break;
    case PreviewPageView::ZoomMode::Free:
        m_zoomBox->setCurrentIndex(-1);
        m_zoomBox->setEditText(percent(zoom));
        break;
    }
}

void TfrPreviewForm::ApplyZoomField() {
    QString text = m_zoomBox->currentText().trimmed();
    if (text.endsWith(QLatin1Char('%')))
        text.chop(1);
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (ok && value > 0)
        m_view->SetZoom(value / 100.0);
    else
        ShowZoom(m_view->Zoom());   // not a number: the field shows the zoom again
    m_view->setFocus();
}

void TfrPreviewForm::GoToTypedPage() {
    bool ok = false;
    const int page = m_pageEdit->text().toInt(&ok);
    if (ok)
        m_view->GoToPage(page - 1);
    ShowCurrentPage(m_view->CurrentPage());
    m_view->setFocus();
}

void TfrPreviewForm::FirstPage() { m_view->FirstPage(); }
void TfrPreviewForm::PreviousPage() { m_view->PreviousPage(); }
void TfrPreviewForm::NextPage() { m_view->NextPage(); }
void TfrPreviewForm::LastPage() { m_view->LastPage(); }

void TfrPreviewForm::ShowFindBar() {
    if (!(m_options.buttons & pbFind) || m_pages.Pages.empty())
        return;
    m_findBar->show();
    m_findEdit->setFocus();
    m_findEdit->selectAll();
}

void TfrPreviewForm::FindNext() { Find(true); }
void TfrPreviewForm::FindPrevious() { Find(false); }

void TfrPreviewForm::Find(bool forward) {
    const QString text = m_findEdit->text();
    if (text.isEmpty()) {
        ShowFindBar();
        return;
    }
    // The same search goes on from the object found last; a new text, or a
    // search after the operator moved to another page, starts at the
    // beginning (end) of the page shown.
    const auto cs = m_matchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    TextMatch from = m_view->Match();
    if (!from.valid() || from.page != m_view->CurrentPage() || text != m_lastFind || cs != m_lastCase)
        from = TextMatch{m_view->CurrentPage(), -1, {}, false};
    m_lastFind = text;
    m_lastCase = cs;
    const std::optional<TextMatch> match = m_search.Find(text, from, forward, cs);
    if (!match) {
        m_view->ClearMatch();
        m_findStatus->setText(QStringLiteral("未找到“%1”").arg(text));
        return;
    }
    m_view->ShowMatch(*match);
    if (match->wrapped)
        m_findStatus->setText(forward ? QStringLiteral("已到末页，从首页继续查找")
                                      : QStringLiteral("已到首页，从末页继续查找"));
    else
        m_findStatus->setText(QStringLiteral("第 %1 页").arg(match->page + 1));
}

void TfrPreviewForm::OpenClick() {
    ui::FileDialogOptions options;
    options.title = QStringLiteral("打开预览文件");
    options.filter = QString::fromUtf8(kPreparedFileFilter);
    const std::optional<QString> path = dialogs().openFile(this, options);
    if (!path)
        return;
    const QString name = QFileInfo(*path).fileName();
    std::string bytes;
    try {
        bytes = core::readFileBytes(*path);
    } catch (const core::FileError& error) {
        dialogs().message(this, QStringLiteral("无法读取文件“%1”：%2").arg(name, QString::fromUtf8(error.what())),
                          kErrorCaption, MessageIcon::Error);
        return;
    }
    switch (checkPreparedFile(bytes)) {
    case PreparedFileProblem::None: break;
    case PreparedFileProblem::Empty:
    case PreparedFileProblem::Damaged:
        dialogs().message(this, QStringLiteral("文件“%1”不是有效的预览文件，或已损坏，无法打开。").arg(name),
                          kErrorCaption, MessageIcon::Error);
        return;
    case PreparedFileProblem::Compressed:
        dialogs().message(this, QStringLiteral("文件“%1”的页面数据经过压缩，本程序无法打开。").arg(name),
                          kErrorCaption, MessageIcon::Error);
        return;
    }
    tmpl::TfrPreparedPages opened;
    opened.LoadFromBytes(bytes, m_report);
    m_pages.Pages = std::move(opened.Pages);
    PagesReplaced();
    SetStatus(QStringLiteral("已打开 %1，共 %2 页").arg(name).arg(m_pages.Pages.size()));
}

void TfrPreviewForm::SaveClick() {
    if (m_pages.Pages.empty())
        return;
    ui::FileDialogOptions options;
    options.title = QStringLiteral("保存预览文件");
    options.filter = QString::fromUtf8(kPreparedFileFilter);
    options.defaultSuffix = QStringLiteral("frp");
    const std::optional<QString> path = dialogs().saveFile(this, options);
    if (!path)
        return;
    try {
        core::writeFileAtomically(*path, m_pages.SaveToBytes(m_report));
    } catch (const core::FileError& error) {
        dialogs().message(this,
                          QStringLiteral("无法保存文件“%1”：%2")
                              .arg(QFileInfo(*path).fileName(), QString::fromUtf8(error.what())),
                          kErrorCaption, MessageIcon::Error);
        return;
    }
    SetStatus(QStringLiteral("已保存 %1").arg(QFileInfo(*path).fileName()));
}

void TfrPreviewForm::PrintClick() {
    const int count = static_cast<int>(m_pages.Pages.size());
    if (count == 0)
        return;
    QPrinter printer(QPrinter::HighResolution);
    // The printer layer's current printer is the dialog's first choice.
    tmpl::PrinterLayer& layer = tmpl::printers();
    if (!layer.CurrentIsVirtual())
        printer.setPrinterName(layer.CurrentPrinter());
    printer.setDocName(windowTitle());
    printer.setFromTo(1, count);
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    dialog.setWindowTitle(QStringLiteral("打印"));
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintCollateCopies |
                      QAbstractPrintDialog::PrintCurrentPage | QAbstractPrintDialog::PrintToFile |
                      QAbstractPrintDialog::PrintShowPageSize);
    dialog.setMinMax(1, count);
    if (dialogs().exec(dialog) != QDialog::Accepted)
        return;

    // Device pixels are the printer's dots.
    if (printer.outputFormat() == QPrinter::NativeFormat)
        printer.setResolution(printerResolution(printer.printerName(), printer.resolution()));
    const std::vector<int> order = printOrderFor(printer, count, m_view->CurrentPage());
    OutputResult result;
    {
        OutputProgressWindow progress(this, QStringLiteral("打印"), QStringLiteral("正在打印…"),
                                      static_cast<int>(order.size()));
        result = printPages(printer, m_pages, order, progress.callback());
    }
    if (printer.outputFormat() == QPrinter::NativeFormat && layer.PrinterNames().contains(printer.printerName()))
        layer.SelectPrinter(printer.printerName());
    m_printedPages += result.cancelled ? 0 : result.pages;
    if (!result.error.isEmpty()) {
        dialogs().message(this, QStringLiteral("打印失败：%1").arg(result.error), kErrorCaption, MessageIcon::Error);
        return;
    }
    if (result.cancelled) {
        SetStatus(QStringLiteral("打印已取消"));
        return;
    }
    const QString done = QStringLiteral("已打印 %1 页").arg(result.pages);
    SetStatus(done);
    ReportFailures(result, done);
}

void TfrPreviewForm::ExportPdfClick() {
    const int count = static_cast<int>(m_pages.Pages.size());
    if (count == 0)
        return;
    ui::FileDialogOptions options;
    options.title = QStringLiteral("导出 PDF");
    options.filter = QStringLiteral("PDF 文件(*.pdf)|*.pdf");
    options.defaultSuffix = QStringLiteral("pdf");
    const std::optional<QString> path = dialogs().saveFile(this, options);
    if (!path)
        return;
    const std::vector<int> order = printOrder(count, 0, 0, 1, true);
    OutputResult result;
    {
        OutputProgressWindow progress(this, QStringLiteral("导出 PDF"), QStringLiteral("正在导出…"), count);
        result = exportPdf(*path, m_pages, order, windowTitle(), progress.callback());
    }
    if (!result.error.isEmpty()) {
        dialogs().message(this,
                          QStringLiteral("无法导出 PDF 文件“%1”：%2").arg(QFileInfo(*path).fileName(), result.error),
                          kErrorCaption, MessageIcon::Error);
        return;
    }
    if (result.cancelled) {
        SetStatus(QStringLiteral("导出已取消"));
        return;
    }
    m_printedPages += result.pages;
    const QString done = QStringLiteral("已导出 %1 页到 %2").arg(result.pages).arg(QFileInfo(*path).fileName());
    SetStatus(done);
    ReportFailures(result, done);
}

void TfrPreviewForm::HelpClick() {
    dialogs().message(this,
                      QStringLiteral("翻页：PgUp 上一页，PgDn 下一页，Home 首页，End 末页；"
                                     "也可在页码框中输入页码后按回车。\n"
                                     "缩放：Ctrl+滚轮，Ctrl++ 放大，Ctrl+- 缩小，Ctrl+0 实际大小；"
                                     "工具栏可选整页或页宽显示。\n"
                                     "拖动页面可以移动视图。\n"
                                     "查找：Ctrl+F 打开查找栏，回车或 F3 查找下一个，Shift+F3 查找上一个。\n"
                                     "打印：Ctrl+P；保存预览文件：Ctrl+S；打开预览文件：Ctrl+O；关闭预览：Esc。"),
                      QStringLiteral("预览帮助"), MessageIcon::Information);
}

void TfrPreviewForm::SetStatus(const QString& text) {
    m_message->setText(text);
    m_message->setStyleSheet(QString());
    m_failureShown = false;
}

bool TfrPreviewForm::ReportFailures(const OutputResult& result, const QString& done) {
    if (result.failures.empty())
        return false;
    // Labels went out without some of their objects: the operator must know
    // which, to print them again.
    QStringList lines;
    for (size_t i = 0; i < result.failures.size() && i < 10; ++i) {
        const tmpl::PaintFailure& f = result.failures[i];
        lines << QStringLiteral("第 %1 页：%2").arg(f.page + 1).arg(PreviewPageView::FailureText(f));
    }
    if (result.failures.size() > 10)
        lines << QStringLiteral("……共 %1 个对象").arg(result.failures.size());
    dialogs().message(this, QStringLiteral("%1，但以下对象无法输出：\n%2").arg(done, lines.join(QLatin1Char('\n'))),
                      QStringLiteral("提示"), MessageIcon::Exclamation);
    return true;
}

void TfrPreviewForm::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        // Page keys that no field took move through the pages.
        QApplication::sendEvent(m_view, event);
        return;
    case Qt::Key_Escape:
        if (!(m_options.buttons & pbExit)) {
            event->accept();
            return;
        }
        break;
    default: break;
    }
    QDialog::keyPressEvent(event);
}

bool TfrPreviewForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_findEdit && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        m_findBar->hide();
        m_view->ClearMatch();
        m_view->setFocus();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

int showPreview(tmpl::TfrReport& report, tmpl::TfrPreparedPages& pages, const PreviewOptions& options,
                QWidget* parent) {
    TfrPreviewForm form(report, pages, options, parent);
    dialogs().exec(form);
    return form.PrintedPages();
}

int showPreview(tmpl::TfrReport& report, tmpl::TfrPreparedPages& pages, QWidget* parent) {
    PreviewOptions options;
    options.title = QString::fromUtf8(kLabelPreviewTitle);
    return showPreview(report, pages, options, parent);
}

} // namespace mirel::engine
