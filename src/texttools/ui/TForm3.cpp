#include "texttools/ui/TForm3.h"

#include "core/Encoding.h"
#include "core/Files.h"
#include "core/HomeFolder.h"
#include "core/Numbers.h"
#include "core/ui/Dialogs.h"
#include "texttools/Arrange.h"
#include "texttools/Split.h"
#include "texttools/ui/ArrangementGrid.h"
#include "texttools/ui/DigitKeyFilter.h"
#include "texttools/ui/LineListView.h"

#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <exception>

namespace mirel::texttools {
namespace {

// The largest grid the window lays out: the grid keeps a few bytes per row and
// column header, so a pasted 2000000000 would take the window down.
constexpr int kMaxPages = 10'000'000;
constexpr int kMaxLabels = 10'000;

const QString kOpenFilter = QStringLiteral("TXT|*.TXT");
const QString kSaveFilter = QStringLiteral("文本文件保存(*.txt)|*.txt");
const QString kDoneText = QStringLiteral("文件分割完成!");
const QString kInfoCaption = QStringLiteral("信息提示");

int toField(std::int64_t value) { return static_cast<int>(std::clamp<std::int64_t>(value, 0, INT_MAX)); }

QSpinBox* lineField(QWidget* parent, const char* name, int minimum) {
    auto* field = new QSpinBox(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setRange(minimum, INT_MAX);
    field->setValue(1);
    field->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    field->setAccelerated(true);
    return field;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

} // namespace

TForm3::TForm3(QWidget* parent) : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QString::fromUtf8(kToolTitle));
    setFixedSize(kToolWidth, kToolHeight);
    m_source = std::make_shared<const LineStore>();
    m_arranged = std::make_shared<const LineStore>();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    auto* tab1 = new QWidget;
    tab1->setObjectName(QStringLiteral("TabSheet1"));
    auto* tab2 = new QWidget;
    tab2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(tab1, QStringLiteral("文件分割"));
    PageControl1->addTab(tab2, QStringLiteral("序号编排"));
    layout->addWidget(PageControl1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    const int panelWidths[3] = {150, 150, 50};
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel(StatusBar1);
        m_panels[i]->setObjectName(QStringLiteral("Panel%1").arg(i));
        m_panels[i]->setFixedWidth(panelWidths[i]);
        StatusBar1->addWidget(m_panels[i]);
    }
    layout->addWidget(StatusBar1);

    buildSplitTab(tab1);
    buildArrangeTab(tab2);
}

void TForm3::buildSplitTab(QWidget* tab) {
    auto* grid = new QGridLayout(tab);
    Label1 = label(tab, "Label1", QStringLiteral("行数:"));
    Label2 = label(tab, "Label2", QStringLiteral("行数:"));
    Memo1 = new LineListView(tab);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo2 = new LineListView(tab);
    Memo2->setObjectName(QStringLiteral("Memo2"));

    GroupBox1 = new QGroupBox(QStringLiteral("文件分割"), tab);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setFixedWidth(130);
    auto* group = new QVBoxLayout(GroupBox1);
    Button1 = button(GroupBox1, "Button1", QStringLiteral("打开文件"));
    cxCalcEdit1 = lineField(GroupBox1, "cxCalcEdit1", 1);
    cxCalcEdit2 = lineField(GroupBox1, "cxCalcEdit2", 0);
    Button2 = button(GroupBox1, "Button2", QStringLiteral("分割文件"));
    Button3 = button(GroupBox1, "Button3", QStringLiteral("保存分割"));
    Button4 = button(GroupBox1, "Button4", QStringLiteral("自动分割"));
    group->addWidget(Button1);
    group->addSpacing(8);
    group->addWidget(label(GroupBox1, "Label3", QStringLiteral("开始行:")));
    group->addWidget(cxCalcEdit1);
    group->addWidget(label(GroupBox1, "Label4", QStringLiteral("结束行:")));
    group->addWidget(cxCalcEdit2);
    group->addSpacing(8);
    group->addWidget(Button2);
    group->addWidget(Button3);
    group->addWidget(Button4);
    group->addStretch();

    ProgressBar1 = new QProgressBar(tab);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Label2, 0, 2);
    grid->addWidget(Memo1, 1, 0);
    grid->addWidget(GroupBox1, 0, 1, 2, 1);
    grid->addWidget(Memo2, 1, 2);
    grid->addWidget(ProgressBar1, 2, 0, 1, 3);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);

    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm3::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm3::Button4Click);
}

void TForm3::buildArrangeTab(QWidget* tab) {
    auto* column = new QVBoxLayout(tab);
    auto* strip = new QHBoxLayout;
    auto* digits = new DigitKeyFilter(this);
    auto countField = [&](const char* name, const QString& text) {
        auto* field = new QLineEdit(text, tab);
        field->setObjectName(QString::fromLatin1(name));
        field->setFixedWidth(56);
        // Typed characters are filtered by key; an input method would bypass that.
        field->setAttribute(Qt::WA_InputMethodEnabled, false);
        field->setInputMethodHints(Qt::ImhDigitsOnly);
        field->installEventFilter(digits);
        return field;
    };
    Edit1 = countField("Edit1", QStringLiteral("10"));
    Edit2 = countField("Edit2", QStringLiteral("4"));
    Button5 = button(tab, "Button5", QStringLiteral("确 定"));
    Button6 = button(tab, "Button6", QStringLiteral("导入20位编码序列"));
    Button7 = button(tab, "Button7", QStringLiteral("保 存"));
    strip->addWidget(label(tab, "Label5", QStringLiteral("输入打印页数：")));
    strip->addWidget(Edit1);
    strip->addWidget(label(tab, "Label6", QStringLiteral("每页标签数：")));
    strip->addWidget(Edit2);
    strip->addWidget(Button5);
    strip->addWidget(Button6);
    strip->addWidget(Button7);
    strip->addStretch();
    column->addLayout(strip);

    Splitter1 = new QSplitter(Qt::Horizontal, tab);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    Memo3 = new LineListView(Splitter1);
    Memo3->setObjectName(QStringLiteral("Memo3"));
    Memo3->setMinimumWidth(190);
    StringGrid1 = new ArrangementGrid(Splitter1);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    Splitter1->addWidget(Memo3);
    Splitter1->addWidget(StringGrid1);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({190, kToolWidth - 190});
    column->addWidget(Splitter1, 1);

    connect(Button5, &QPushButton::clicked, this, &TForm3::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TForm3::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &TForm3::Button7Click);
}

void TForm3::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    if (const QScreen* screen = this->screen()) {
        const QRect desktop = screen->availableGeometry();
        QRect frame = frameGeometry();
        frame.moveCenter(desktop.center());
        move(frame.topLeft());
    }
}

std::optional<QString> TForm3::OpenDialogExecute() {
    ui::FileDialogOptions options;
    options.filter = kOpenFilter;
    if (!m_openDialogFileName.isEmpty())
        options.initialFolder = m_openDialogFileName.left(m_openDialogFileName.lastIndexOf(QLatin1Char('/')) + 1);
    std::optional<QString> path = ui::dialogs().openFile(this, options);
    if (path)
        m_openDialogFileName = *path;
    return path;
}

std::optional<QString> TForm3::SaveDialogExecute() {
    ui::FileDialogOptions options;
    options.filter = kSaveFilter;
    options.initialFolder = core::homeFolder();
    return ui::dialogs().saveFile(this, options);
}

// What the program has always done with an error no command checks: show its
// message and end the command; the window keeps running.
void TForm3::reportError(const QString& message) {
    ui::dialogs().message(this, message, QGuiApplication::applicationDisplayName(), ui::MessageIcon::Error);
}

void TForm3::showProgress(std::int64_t position) {
    ProgressBar1->setValue(static_cast<int>(std::clamp<std::int64_t>(position, 0, ProgressBar1->maximum())));
}

void TForm3::Button1Click() {
    const std::optional<QString> path = OpenDialogExecute();
    if (!path)
        return;
    try {
        m_source = std::make_shared<const LineStore>(LineStore::fromFile(*path));
    } catch (const std::exception& e) {
        reportError(QString::fromUtf8(e.what()));
        return;
    }
    m_sourceFileName = *path;
    Memo1->setLines(m_source);
    const std::int64_t count = m_source->size();
    Label1->setText(QStringLiteral("当前文件行记录: %1 条").arg(count));
    cxCalcEdit2->setValue(toField(count));
    // A bar whose maximum is 0 would turn into a busy indicator.
    ProgressBar1->setMaximum(std::max(toField(count), 1));
}

// Copies source lines start..end into the piece list and moves the fields on to
// the following piece of the same length.
void TForm3::MakePiece() {
    const std::int64_t start = cxCalcEdit1->value();
    const std::int64_t end = cxCalcEdit2->value();
    const std::int64_t length = end - start;
    const std::int64_t next = end + 1;
    if (end < start) {
        m_pieceCount = 0;
        Memo2->clear();
        return;
    }
    m_pieceFirst = start - 1;
    m_pieceCount = end - start + 1;
    Memo2->setLines(m_source, m_pieceFirst, m_pieceCount);
    // The title shows the last line copied (empty past the end of the source).
    setWindowTitle(core::toUnicode(m_source->line(end - 1)));
    cxCalcEdit1->setValue(toField(next));
    cxCalcEdit2->setValue(toField(next + length));
    showProgress(end - 1);
}

void TForm3::Button2Click() {
    if (m_source->empty())
        return;
    if (cxCalcEdit1->value() > m_source->size()) {
        ui::dialogs().message(this, kDoneText, kInfoCaption);
        showProgress(0);
        return;
    }
    MakePiece();
    Label2->setText(QStringLiteral("当前分割记录: %1 条").arg(Memo2->lineCount()));
}

void TForm3::Button3Click() {
    const std::optional<QString> path = SaveDialogExecute();
    if (!path)
        return;
    // ".txt" is always appended, as pieces have always been saved.
    const QString target = *path + QStringLiteral(".txt");
    try {
        writeLineRange(*m_source, m_pieceFirst, m_pieceFirst + m_pieceCount - 1, target);
    } catch (const std::exception& e) {
        reportError(QString::fromUtf8(e.what()));
    }
}

void TForm3::Button4Click() {
    if (m_source->empty())
        return;
    // Pieces are named after the file last opened, from either tab; when that is
    // not the source, a piece could land on the source file itself.
    if (pieceWouldReplace(m_openDialogFileName, cxCalcEdit1->value(), cxCalcEdit2->value(), m_source->size(),
                          m_sourceFileName)) {
        ui::dialogs().message(this, QStringLiteral("分割文件将覆盖源文件!"), kInfoCaption);
        return;
    }
    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    for (;;) {
        const std::int64_t start = cxCalcEdit1->value();
        if (start > m_source->size()) {
            // The shell call with an empty document name that used to follow
            // opened nothing; it is left out.
            ui::dialogs().message(this, kDoneText, kInfoCaption);
            showProgress(0);
            return;
        }
        const std::int64_t end = cxCalcEdit2->value();
        if (end < start) {
            // Such a piece copies no line and never moves the fields on: the
            // split would write the same empty file over and over.
            ui::dialogs().message(this, QStringLiteral("结束行不能小于开始行!"), kInfoCaption);
            return;
        }
        MakePiece();
        Label2->setText(QStringLiteral("当前分割记录: %1 条").arg(Memo2->lineCount()));
        try {
            writeLineRange(*m_source, start - 1, end - 1, pieceFileName(m_openDialogFileName, end));
        } catch (const std::exception& e) {
            reportError(QString::fromUtf8(e.what()));
            return;
        }
        // The loop takes no events; let the progress bar show how far it is.
        if (sinceRepaint.elapsed() > 100) {
            ProgressBar1->repaint();
            sinceRepaint.restart();
        }
    }
}

std::optional<int> TForm3::readCount(QLineEdit* field) {
    const QString text = field->text();
    const std::optional<std::int64_t> value = core::tryParseInteger(text.toStdString());
    if (!value || *value < 0 || *value > INT_MAX) {
        reportError(QStringLiteral("'%1' is not a valid integer value").arg(text));
        return std::nullopt;
    }
    const int limit = field == Edit1 ? kMaxPages : kMaxLabels;
    if (*value > limit) {
        ui::dialogs().message(this, QStringLiteral("数值过大，最多%1").arg(limit), kInfoCaption);
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

// Lay out; false when a field does not hold a usable number (reported).
bool TForm3::LayOut() {
    if (Edit1->text().isEmpty() || Edit2->text().isEmpty())
        return true;
    const std::optional<int> pages = readCount(Edit1);
    if (!pages)
        return false;
    const std::optional<int> labels = readCount(Edit2);
    if (!labels)
        return false;
    StringGrid1->gridModel()->layOut(*pages, *labels);
    m_panels[0]->setText(QStringLiteral("总记录数是：%1").arg(static_cast<std::int64_t>(*pages) * *labels));
    return true;
}

void TForm3::Button5Click() { LayOut(); }

void TForm3::Button6Click() {
    if (!LayOut())
        return;
    Memo3->clear();
    const std::optional<QString> path = OpenDialogExecute();
    if (!path)
        return;
    std::shared_ptr<const LineStore> serials;
    try {
        serials = std::make_shared<const LineStore>(LineStore::fromFile(*path));
    } catch (const std::exception& e) {
        reportError(QString::fromUtf8(e.what()));
        return;
    }
    Memo3->setLines(serials);
    m_panels[1]->setText(QStringLiteral("标签数量：%1").arg(serials->size()));
    const std::optional<int> pages = readCount(Edit1);
    if (!pages)
        return;
    const std::optional<int> labels = readCount(Edit2);
    if (!labels)
        return;
    StringGrid1->gridModel()->fill(serials, *pages, *labels);
    m_arranged = serials;
    m_arrangedPages = *pages;
    m_arrangedLabels = *labels;
}

void TForm3::Button7Click() {
    const std::optional<QString> path = SaveDialogExecute();
    if (!path)
        return;
    const QString target = *path + QStringLiteral(".txt");
    try {
        writeArrangement(*m_arranged, m_arrangedPages, m_arrangedLabels, target);
    } catch (const std::exception& e) {
        reportError(QString::fromUtf8(e.what()));
    }
}

} // namespace mirel::texttools
