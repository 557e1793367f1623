#include "app/TForm1.h"

#include "app/CodeGridModel.h"
#include "app/ConnectionDialog.h"
#include "app/Controls.h"
#include "app/EngineLabelJobRunner.h"
#include "app/IniFile.h"
#include "app/Pictures.h"
#include "app/TForm4.h"
#include "core/Encoding.h"
#include "core/Files.h"
#include "core/HomeFolder.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "core/ui/Dialogs.h"
#include "texttools/ui/TForm3.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSqlQueryModel>
#include <QStackedWidget>
#include <QTableView>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>
#include <climits>
#include <exception>

namespace mirel::app {
namespace {

const QString kSettingsSection = QStringLiteral("kz");
const QString kHint = QStringLiteral("提示");
const QString kErrorCaption = QStringLiteral("错误");

// Field defaults when system.ini lacks the key; the window's initial texts differ
// for some fields and are replaced at show.
const QString kData1Default = QStringLiteral("含量：120g");
const QString kData2Default = QStringLiteral("价格：3.50元");

const char* const kStyleSheet = R"(
QPushButton { background: white; border: 1px solid #c6d3e1; border-radius: 4px; padding: 3px 6px; color: #1f2a37; }
QPushButton:hover { background: #e6eff8; border-color: #1e5a96; }
QPushButton:pressed { background: #1e5a96; color: white; }
QLineEdit, QPlainTextEdit, QComboBox { border: 1px solid #c6d3e1; border-radius: 3px; padding: 1px 4px; background: white;
    selection-background-color: #1e5a96; }
QLineEdit:focus, QPlainTextEdit:focus, QComboBox:focus { border-color: #1e5a96; }
QProgressBar { border: 1px solid #c6d3e1; border-radius: 3px; background: white; }
QProgressBar::chunk { background: #1e5a96; }
QTableView { border: 1px solid #c6d3e1; gridline-color: #dde5ee; background: white;
    selection-background-color: #e6eff8; selection-color: #1f2a37; }
QTableView QHeaderView::section { background: #c8102e; color: white; border: none;
    border-right: 1px solid #e2707f; padding: 2px 4px; }
QTableView QTableCornerButton::section { background: #c8102e; border: none; }
)";

QFont windowFont() {
    // SimSun where it is installed; the CJK face stands in for it elsewhere.
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")});
    font.setPixelSize(13);
    return font;
}

QLabel* label(QWidget* parent, const QString& text, const char* name = nullptr) {
    auto* l = new QLabel(text, parent);
    if (name)
        l->setObjectName(QString::fromLatin1(name));
    return l;
}

QLineEdit* textEdit(QWidget* parent, const char* name, const QString& text) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

// A red tag with white text, as the work-flow page marks its steps.
QLabel* tag(QWidget* parent, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignCenter);
    l->setFixedSize(70, 20);
    l->setStyleSheet(QStringLiteral("background: #c8102e; color: white; border-radius: 3px;"));
    return l;
}

QTableView* grid(QWidget* parent, const char* name) {
    auto* view = new QTableView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setAlternatingRowColors(false);
    view->setShowGrid(true);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view->horizontalHeader()->setHighlightSections(false);
    view->verticalHeader()->setDefaultSectionSize(20);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->hide();
    return view;
}

// Keeps the operator's input away from every window while a code command runs:
// the command lets the event loop repaint the progress bar, and a click that
// started another command in the middle would run on a store in mid-change.
class InputBlocker final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
            return true;
        default:
            return false;
        }
    }
};

} // namespace

// While a code command runs: input blocked, busy cursor, the grid not following
// the store.
class TForm1::Busy {
public:
    explicit Busy(TForm1& form) : m_form(form) {
        m_form.m_busy = true;
        m_form.m_grid->suspend();
        qApp->installEventFilter(&m_blocker);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~Busy() {
        QGuiApplication::restoreOverrideCursor();
        qApp->removeEventFilter(&m_blocker);
        m_form.m_grid->resume();
        m_form.setProgress(0, m_form.ProgressBar1->maximum());
        m_form.m_busy = false;
        if (m_form.m_closePending) {
            m_form.m_closePending = false;
            QTimer::singleShot(0, &m_form, &QWidget::close);
        }
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    TForm1& m_form;
    InputBlocker m_blocker;
};

// While a label job runs: its progress window and its modal preview or designer
// let events run, and a request to end the program (or a command of another
// window) must not pull the store or the external table away from the engine.
// A close waits for the job; input stays with the job's own windows, which are
// modal.
class TForm1::JobRunning {
public:
    explicit JobRunning(TForm1& form) : m_form(form) { m_form.m_busy = true; }
    ~JobRunning() {
        m_form.m_busy = false;
        if (m_form.m_closePending) {
            m_form.m_closePending = false;
            QTimer::singleShot(0, &m_form, &QWidget::close);
        }
    }
    JobRunning(const JobRunning&) = delete;
    JobRunning& operator=(const JobRunning&) = delete;

private:
    TForm1& m_form;
};

TForm1::TForm1(std::unique_ptr<LabelJobRunner> runner, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_runner(std::move(runner)) {
    if (!m_runner)
        m_runner = std::make_unique<EngineLabelJobRunner>();
    setObjectName(QStringLiteral("Form1"));
    // The task bar shows the application title, as it always has; the caption
    // of the window is shown on the about page.
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setFont(windowFont());
    setStyleSheet(QString::fromLatin1(kStyleSheet));
    setFixedSize(layout::kNarrowWidth, layout::kHeight);
    m_grid = new CodeGridModel(this);

    Image2 = new PictureButton(Glyph::Close, this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setToolTip(QStringLiteral("退出"));
    connect(Image2, &QAbstractButton::clicked, this, &QWidget::close);

    struct Nav {
        NavButton** button;
        const char* name;
        Glyph glyph;
        const char* caption;
        void (TForm1::*click)();
    };
    const Nav navigation[] = {
        {&SpeedButton1, "SpeedButton1", Glyph::Flow, "流 程", &TForm1::SpeedButton1Click},
        {&SpeedButton2, "SpeedButton2", Glyph::Key, "钥 匙", &TForm1::SpeedButton2Click},
        {&SpeedButton3, "SpeedButton3", Glyph::System, "系 统", &TForm1::SpeedButton3Click},
        {&SpeedButton4, "SpeedButton4", Glyph::Design, "设 计", &TForm1::SpeedButton4Click},
        {&SpeedButton5, "SpeedButton5", Glyph::Print, "打 印", &TForm1::SpeedButton5Click},
        {&SpeedButton6, "SpeedButton6", Glyph::Database, "外部库", &TForm1::SpeedButton6Click},
    };
    for (size_t i = 0; i < std::size(navigation); ++i) {
        auto* b = new NavButton(navigation[i].glyph, QString::fromUtf8(navigation[i].caption), this);
        b->setObjectName(QString::fromLatin1(navigation[i].name));
        b->move(layout::kNavLeft, layout::kNavTop + static_cast<int>(i) * layout::kNavStep);
        connect(b, &QAbstractButton::clicked, this, navigation[i].click);
        *navigation[i].button = b;
    }

    Notebook1 = new QStackedWidget(this);
    Notebook1->setObjectName(QStringLiteral("Notebook1"));
    Notebook1->setGeometry(layout::kNotebook);
    Notebook1->addWidget(buildFlowPage());
    Notebook1->addWidget(buildLabelPage());
    Notebook1->addWidget(buildCodePage());
    Notebook1->addWidget(buildExternalPage());
    Notebook1->addWidget(buildAboutPage());
    buildCodePanel();
    buildFooter();
    setWindowWidth(layout::kNarrowWidth);
    showPage(QStringLiteral("lc"));

    m_form3 = new texttools::TForm3(this);
    m_form3->setAttribute(Qt::WA_WindowPropagation);
    m_form4 = new TForm4(this);
    m_form4->setAttribute(Qt::WA_WindowPropagation);
    connect(m_form4, &TForm4::backupStarting, m_grid, &CodeGridModel::suspend);
    connect(m_form4, &TForm4::backupFinished, m_grid, &CodeGridModel::resume);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(layout::kNarrowWidth / 2, layout::kHeight / 2));
}

TForm1::~TForm1() {
    // The grids read the store and the external table; let them go first.
    DBGrid1->setModel(nullptr);
    DBGrid2->setModel(nullptr);
    m_form4->setCodeStore(nullptr);
    m_grid->setStore(nullptr);
}

QWidget* TForm1::buildFlowPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("lc"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(14, 10, 14, 10);
    layout->setSpacing(7);
    auto* heading = label(page, QStringLiteral("使用帮助流程图："), "Label1");
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    heading->setStyleSheet(QStringLiteral("color: #143f6b;"));
    layout->addWidget(heading);
    struct Step {
        const char* tag;
        const char* text;
        const char* note;   // a grey line below, or a second line of text
        bool grey;
    };
    const Step steps[] = {
        {"第 一 步", "选择需要打印的标签数量，生成防伪码。", nullptr, false},
        {"第 二 步", "填写条形码标签序列和相关内容。", "对于已设计好的标签或单据，跳转第四步打印。", true},
        {"第 三 步", "设计标签或者单据，使用请阅读帮助说明。", nullptr, false},
        {"第 四 步", "打印会先进入预览状态，感觉满意即可打印。", nullptr, false},
        {"扩充功能", "外部数据源可以使用户非常方便地将已有的", "等管理信息系统的数据集成支持条形码", false},
    };
    for (const Step& step : steps) {
        auto* row = new QGridLayout;
        row->setHorizontalSpacing(10);
        row->setVerticalSpacing(1);
        row->addWidget(tag(page, QString::fromUtf8(step.tag)), 0, 0, Qt::AlignTop);
        row->addWidget(label(page, QString::fromUtf8(step.text)), 0, 1);
        if (step.note) {
            QLabel* note = label(page, QString::fromUtf8(step.note));
            if (step.grey)
                note->setStyleSheet(QStringLiteral("color: #7a8694;"));
            row->addWidget(note, 1, 1);
        }
        row->setColumnStretch(1, 1);
        layout->addLayout(row);
    }
    layout->addStretch();
    return page;
}

QWidget* TForm1::buildLabelPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("yl"));
    auto* layout = new QGridLayout(page);
    layout->setContentsMargins(14, 10, 14, 8);
    layout->setHorizontalSpacing(8);
    layout->setVerticalSpacing(7);

    layout->addWidget(label(page, QStringLiteral("打开条形码标签设计模板文件:"), "Label2"), 0, 0, 1, 2);
    cxButtonEdit1 = textEdit(page, "cxButtonEdit1", QString());
    QAction* ellipsis = cxButtonEdit1->addAction(glyphIcon(Glyph::Folder, palette::kBrand), QLineEdit::TrailingPosition);
    ellipsis->setObjectName(QStringLiteral("cxButtonEdit1Button"));
    ellipsis->setToolTip(QStringLiteral("选择标签模板文件"));
    connect(ellipsis, &QAction::triggered, this, &TForm1::cxButtonEdit1PropertiesButtonClick);
    layout->addWidget(cxButtonEdit1, 1, 0, 1, 2);

    cxTextEdit2 = textEdit(page, "cxTextEdit2", QStringLiteral("BJ"));
    cxTextEdit5 = textEdit(page, "cxTextEdit5", QStringLiteral("0000000000"));
    cxTextEdit3 = textEdit(page, "cxTextEdit3", QStringLiteral("**"));
    cxTextEdit1 = textEdit(page, "cxTextEdit1", QStringLiteral("含量：120g"));
    cxTextEdit4 = textEdit(page, "cxTextEdit4", QStringLiteral("价格：3.5元"));
    const std::pair<const char*, QLineEdit*> rows[] = {
        {"编 头:", cxTextEdit2}, {"条形码编号:", cxTextEdit5}, {"编 尾:", cxTextEdit3},
        {"数据扩充1:", cxTextEdit1}, {"数据扩充2:", cxTextEdit4},
    };
    int row = 2;
    int number = 3;
    for (const auto& [caption, edit] : rows) {
        QLabel* l = label(page, QString::fromUtf8(caption), QStringLiteral("Label%1").arg(number++).toLatin1());
        l->setBuddy(edit);
        layout->addWidget(l, row, 0, Qt::AlignRight);
        layout->addWidget(edit, row, 1);
        ++row;
    }
    auto* hint = new QHBoxLayout;
    QLabel* hintCaption = label(page, QStringLiteral("提示："), "Label8");
    hintCaption->setStyleSheet(QStringLiteral("color: #c8102e;"));
    QLabel* hintText = label(page, QStringLiteral("模板中用 [编头] [条形码编号] 等名称引用这些内容。"));
    hintText->setStyleSheet(QStringLiteral("color: #7a8694;"));
    hintText->setWordWrap(true);
    hint->addWidget(hintCaption, 0, Qt::AlignTop);
    hint->addWidget(hintText, 1);
    layout->addLayout(hint, row++, 0, 1, 2);
    Label9 = new LinkLabel(QStringLiteral("二维码－>"), page);
    Label9->setObjectName(QStringLiteral("Label9"));
    Label9->setStyleSheet(QStringLiteral("color: #1e5a96;"));
    connect(Label9, &LinkLabel::clicked, this, &TForm1::Label9Click);
    layout->addWidget(Label9, row++, 1, Qt::AlignRight);
    layout->setRowStretch(row, 1);
    layout->setColumnStretch(1, 1);
    return page;
}

QWidget* TForm1::buildCodePage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("ys"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 7, 8, 7);
    layout->setSpacing(5);

    auto* top = new QHBoxLayout;
    top->setSpacing(5);
    Edit1 = textEdit(page, "Edit1", QStringLiteral("abcd"));
    Edit1->setToolTip(QStringLiteral("输入钥匙种子字符，数字和字母均可。"));
    cxCalcEdit1 = new CalcEdit(page);
    cxCalcEdit1->setObjectName(QStringLiteral("cxCalcEdit1"));
    cxCalcEdit1->setValue(100);
    cxCalcEdit1->setToolTip(QStringLiteral("设置生成钥匙防伪数量"));
    cxCalcEdit1->setFixedWidth(90);
    top->addWidget(label(page, QStringLiteral("钥匙码:"), "Label15"));
    top->addWidget(Edit1, 1);
    top->addSpacing(6);
    top->addWidget(label(page, QStringLiteral("数量:"), "Label16"));
    top->addWidget(cxCalcEdit1);
    layout->addLayout(top);

    auto* commands = new QHBoxLayout;
    commands->setSpacing(5);
    Button1 = button(page, "Button1", QStringLiteral("生成防伪序号"));
    Button2 = button(page, "Button2", QStringLiteral("删除列表序号"));
    ProgressBar1 = new QProgressBar(page);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFixedHeight(10);
    commands->addWidget(Button1);
    commands->addWidget(Button2);
    commands->addWidget(ProgressBar1, 1);
    layout->addLayout(commands);

    DBGrid1 = grid(page, "DBGrid1");
    DBGrid1->setModel(m_grid);
    DBGrid1->setColumnWidth(0, 45);
    DBGrid1->setColumnWidth(1, 49);
    DBGrid1->setColumnWidth(2, 90);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(DBGrid1, 1);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(5);
    Button3 = button(page, "Button3", QStringLiteral("备份到文本>>"));
    Button4 = button(page, "Button4", QStringLiteral("导入文本序号"));
    Button5 = button(page, "Button5", QStringLiteral("文本分割工具"));
    Button5->setToolTip(QStringLiteral("可以把文件分割成多个小文件"));
    Button6 = button(page, "Button6", QStringLiteral("应用防伪序列"));
    for (QPushButton* b : {Button3, Button4, Button5, Button6})
        bottom->addWidget(b);
    layout->addLayout(bottom);

    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TForm1::Button6Click);
    return page;
}

QWidget* TForm1::buildExternalPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("wbsj"));
    DBGrid2 = grid(page, "DBGrid2");
    DBGrid2->setModel(m_external.model());
    DBGrid2->setGeometry(0, 0, 387, 225);
    Button7 = button(page, "Button7", QStringLiteral("选择数据库"));
    ComboBox1 = new QComboBox(page);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->lineEdit()->setPlaceholderText(QStringLiteral("表名"));
    Button8 = button(page, "Button8", QStringLiteral("连接数据库"));
    Button7->setGeometry(6, 231, 96, 26);
    ComboBox1->setGeometry(108, 232, 171, 24);
    Button8->setGeometry(285, 231, 96, 26);
    connect(Button7, &QPushButton::clicked, this, &TForm1::Button7Click);
    connect(Button8, &QPushButton::clicked, this, &TForm1::Button8Click);
    return page;
}

QWidget* TForm1::buildAboutPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("gy"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(8);
    Memo2 = new QPlainTextEdit(page);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setReadOnly(true);
    Memo2->setPlainText(QStringLiteral(
        "mirel 是为中小企业设计的条形码标签设计与打印软件。\n"
        "它可以设计标签模板，打印一维条码（EAN/UPC、Code 128、Code 39 等 23 种）"
        "和 PDF417 二维码，生成防伪序列号并逐张打印，"
        "也可以接入外部数据库，每条记录打印一张标签。\n"
        "序号文本工具可以分割大的序号文件，并按每页多张标签的顺序编排序号。"));
    layout->addWidget(Memo2, 1);
    Label17 = label(page, QStringLiteral("技术支持：support@mirel.example.com\n模板下载：mirel.example.com/templates"),
                    "Label17");
    Label17->setStyleSheet(QStringLiteral("color: #1f2a37;"));
    layout->addWidget(Label17);
    Label18 = label(page, QStringLiteral("版本："), "Label18");
    Label18->setStyleSheet(QStringLiteral("color: #143f6b; font-weight: bold;"));
    layout->addWidget(Label18);
    return page;
}

void TForm1::buildCodePanel() {
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(layout::kNarrowWidth, 0, layout::kWideWidth - layout::kNarrowWidth, layout::kHeight);
    QLabel* title = label(Panel1, QStringLiteral("PDF码"), "Label12");
    title->setStyleSheet(QStringLiteral("color: white; font-weight: bold;"));
    title->setGeometry(54, 22, 80, 20);
    QLabel* heading = label(Panel1, QStringLiteral("二维码信息"), "Label13");
    heading->setStyleSheet(QStringLiteral("color: #c8102e; font-weight: bold;"));
    heading->setGeometry(8, 68, 129, 16);
    label(Panel1, QStringLiteral("内容："), "Label14")->setGeometry(8, 84, 129, 15);
    cxMemo1 = new QPlainTextEdit(Panel1);
    cxMemo1->setObjectName(QStringLiteral("cxMemo1"));
    // One empty line: the text of the field is CR LF.
    cxMemo1->setPlainText(QStringLiteral("\n"));
    cxMemo1->setGeometry(8, 100, 129, 297);
    cxMemo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

void TForm1::buildFooter() {
    const int y = layout::kFooterTop + 8;
    struct Link {
        LinkLabel** label;
        const char* name;
        Glyph glyph;
        const char* text;
        const char* hint;
        int x;
        void (TForm1::*click)();
    };
    const Link links[] = {
        {&Label19, "Label19", Glyph::Help, "帮 助", "打开帮助文档", 18, &TForm1::Label19Click},
        {&Label20, "Label20", Glyph::About, "关 于", "关于我们", 96, &TForm1::Label20Click},
        {&Label21, "Label21", Glyph::Download, "下载更多模板", nullptr, 174, &TForm1::Label21Click},
    };
    for (const Link& link : links) {
        auto* icon = new QLabel(this);
        icon->setPixmap(glyphIcon(link.glyph, palette::kBrand, 14).pixmap(14, 14));
        icon->setGeometry(link.x, y + 2, 14, 14);
        auto* l = new LinkLabel(QString::fromUtf8(link.text), this);
        l->setObjectName(QString::fromLatin1(link.name));
        if (link.hint)
            l->setToolTip(QString::fromUtf8(link.hint));
        l->setStyleSheet(QStringLiteral("color: #1e5a96;"));
        l->adjustSize();
        l->move(link.x + 18, y);
        connect(l, &LinkLabel::clicked, this, link.click);
        *link.label = l;
    }
    Label22 = label(this, QStringLiteral("mirel 标签软件工作室  ·  条码标签设计打印与防伪序列"), "Label22");
    Label22->setStyleSheet(QStringLiteral("color: #7a8694;"));
    Label22->setGeometry(18, y + 22, 500, 16);
}

void TForm1::setWindowWidth(int width) {
    setFixedSize(width, layout::kHeight);
    Panel1->setVisible(width > layout::kNarrowWidth);
    Image2->move(width - Image2->width() - 10, 10);
    update();
}

void TForm1::showPage(const QString& name) {
    if (QWidget* page = Notebook1->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly))
        Notebook1->setCurrentWidget(page);
    const std::pair<NavButton*, const char*> marks[] = {
        {SpeedButton1, "lc"}, {SpeedButton2, "ys"}, {SpeedButton3, "yl"}, {SpeedButton6, "wbsj"},
    };
    for (const auto& [b, page] : marks)
        b->setCurrent(name == QLatin1String(page));
}

void TForm1::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintMainBackground(p, width(), height());
}

// The background is the window's handle: a left press moves the window as a
// title bar drag would. Presses on the captions come here too, as they ignore
// the mouse.
void TForm1::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (QWindow* window = windowHandle())
            window->startSystemMove();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TForm1::FormShow() {
    showPage(QStringLiteral("lc"));
    QDir home(core::homeFolder());
    home.mkpath(QStringLiteral("模板"));
    home.mkpath(QStringLiteral("db"));
    readSettings();
    openCodeStore();
}

void TForm1::readSettings() {
    std::string bytes;
    try {
        bytes = core::readFileBytes(core::homePath(QStringLiteral("system.ini")));
    } catch (const core::FileError&) {
        // A missing or unreadable file gives every key its default.
    }
    const IniFile ini(bytes);
    cxTextEdit1->setText(ini.value(kSettingsSection, QStringLiteral("kz01"), kData1Default));
    cxTextEdit4->setText(ini.value(kSettingsSection, QStringLiteral("kz02"), kData2Default));
    cxButtonEdit1->setText(ini.value(kSettingsSection, QStringLiteral("cxButtonEdit1"), QString()));
    cxTextEdit2->setText(ini.value(kSettingsSection, QStringLiteral("cxTextEdit2"), QString()));
    cxTextEdit5->setText(ini.value(kSettingsSection, QStringLiteral("cxTextEdit5"), QString()));
    cxTextEdit3->setText(ini.value(kSettingsSection, QStringLiteral("cxTextEdit3"), QString()));
}

void TForm1::writeSettings() {
    const QString path = core::homePath(QStringLiteral("system.ini"));
    std::string bytes;
    if (QFileInfo::exists(path)) {
        try {
            bytes = core::readFileBytes(path);
        } catch (const core::FileError& e) {
            // Writing our six keys over a file we cannot read would drop all the
            // other sections in it.
            showError(QString::fromUtf8(e.what()));
            return;
        }
    }
    IniFile ini(bytes);
    ini.setValue(kSettingsSection, QStringLiteral("kz01"), cxTextEdit1->text());
    ini.setValue(kSettingsSection, QStringLiteral("kz02"), cxTextEdit4->text());
    ini.setValue(kSettingsSection, QStringLiteral("cxButtonEdit1"), cxButtonEdit1->text());
    ini.setValue(kSettingsSection, QStringLiteral("cxTextEdit2"), cxTextEdit2->text());
    ini.setValue(kSettingsSection, QStringLiteral("cxTextEdit5"), cxTextEdit5->text());
    ini.setValue(kSettingsSection, QStringLiteral("cxTextEdit3"), cxTextEdit3->text());
    try {
        core::writeFileAtomically(path, ini.bytes());
    } catch (const core::FileError& e) {
        showError(QString::fromUtf8(e.what()));
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (m_busy) {
        // A code command is changing the store (a request to end the program
        // came in while it let the event loop run); the window closes after it.
        m_closePending = true;
        event->ignore();
        return;
    }
    if (m_shown)
        writeSettings();
    m_external.close();
    m_form3->hide();
    m_form4->hide();
    event->accept();
}

void TForm1::openCodeStore() {
    m_grid->setStore(nullptr);
    m_form4->setCodeStore(nullptr);
    m_store.reset();
    try {
        m_store = std::make_unique<codes::CodeStore>(core::homePath(QStringLiteral("dbno.csh")));
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
        return;
    }
    m_grid->setStore(m_store.get());
    m_form4->setCodeStore(m_store.get());
}

bool TForm1::requireStore() {
    if (m_store && m_store->isOpen())
        return true;
    // Opening failed at show (and was reported then); try again, as the file may
    // have been mended meanwhile.
    openCodeStore();
    return m_store && m_store->isOpen();
}

void TForm1::showError(const QString& text) {
    ui::dialogs().message(this, text, kErrorCaption, ui::MessageIcon::Error);
}

void TForm1::setProgress(std::int64_t position, std::int64_t total) {
    // The bar counts in int; a store beyond that shows per mille.
    if (total > INT_MAX) {
        ProgressBar1->setMaximum(1000);
        ProgressBar1->setValue(static_cast<int>(position * 1000 / total));
    } else {
        ProgressBar1->setMaximum(static_cast<int>(std::max<std::int64_t>(total, 1)));
        ProgressBar1->setValue(static_cast<int>(std::clamp<std::int64_t>(position, 0, total)));
    }
}

// Progress of a code command: moves the bar and lets the event loop repaint the
// windows about 25 times a second. The commands run on this thread because the
// store's database connection belongs to it and the grid reads the same store;
// Busy keeps the operator's input out meanwhile.
codes::Progress TForm1::progress(bool countDown) {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [this, timer, countDown](std::int64_t done, std::int64_t total) {
        if (done == 0 || done == total || timer->elapsed() >= 40) {
            setProgress(countDown ? total - done : done, total);
            QCoreApplication::processEvents();
            timer->restart();
        }
        return true;
    };
}

void TForm1::SpeedButton1Click() { showPage(QStringLiteral("lc")); }
void TForm1::SpeedButton2Click() { showPage(QStringLiteral("ys")); }
void TForm1::SpeedButton3Click() { showPage(QStringLiteral("yl")); }
void TForm1::SpeedButton6Click() { showPage(QStringLiteral("wbsj")); }

LabelFields TForm1::labelFields() const {
    LabelFields fields;
    fields.serial = cxTextEdit5->text();
    fields.prefix = cxTextEdit2->text();
    fields.suffix = cxTextEdit3->text();
    fields.quantity = cxCalcEdit1->value();
    fields.data1 = cxTextEdit1->text();
    fields.data2 = cxTextEdit4->text();
    // The memo's lines as the field holds them, each break a CR LF.
    fields.code2d = cxMemo1->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return fields;
}

void TForm1::answerVariable(const AnsiString& name, std::optional<LabelValue>& value) const {
    // The engine asks for every name of every label: only the field asked for
    // is read, and names that are no label variable cost a comparison.
    int index = 0;
    while (index < static_cast<int>(std::size(kLabelVariableNames)) && name != labelVariableName(index))
        ++index;
    RecordCounters counters;
    LabelFields fields;
    switch (index) {
    case 0:
        counters.externalOpen = m_external.isOpen();
        counters.external = m_runner->externalCounter();
        counters.codeStore = m_runner->codeStoreCounter();
        break;
    case 1: fields.serial = cxTextEdit5->text(); break;
    case 2: fields.prefix = cxTextEdit2->text(); break;
    case 3: fields.suffix = cxTextEdit3->text(); break;
    case 4: fields.quantity = cxCalcEdit1->value(); break;
    case 5: fields.data1 = cxTextEdit1->text(); break;
    case 6: fields.data2 = cxTextEdit4->text(); break;
    case 7: fields.code2d = labelFields().code2d; break;
    default: return;
    }
    answerLabelVariable(name, value, fields, counters);
}

LabelJobSources TForm1::sources() const { return LabelJobSources{m_store.get(), &m_external}; }

void TForm1::SpeedButton4Click() {
    if (m_busy)
        return;
    showPage(QStringLiteral("yl"));
    QString path = cxButtonEdit1->text();
    if (path.isEmpty())
        path = core::homePath(QStringLiteral("模板/infoNO.frf"));
    JobRunning running(*this);
    try {
        m_runner->design(this, path, sources(),
                         [this](const AnsiString& name, std::optional<LabelValue>& value) { answerVariable(name, value); });
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
}

void TForm1::SpeedButton5Click() {
    if (m_busy)
        return;
    showPage(QStringLiteral("yl"));
    const QString path = cxButtonEdit1->text();
    if (path.isEmpty()) {
        ui::dialogs().message(this, QStringLiteral("请选择你要打印的标签文件!"), kHint);
        return;
    }
    const std::optional<double> quantity = cxCalcEdit1->value();
    if (!quantity) {
        showError(QStringLiteral("'%1' is not a valid floating point value").arg(cxCalcEdit1->text()));
        return;
    }
    JobRunning running(*this);
    try {
        // A negative count prints nothing, as a run of no records does.
        const std::int64_t count = std::max<std::int64_t>(0, core::roundHalfEven(*quantity));
        m_runner->print(this, path, count, sources(),
                        [this](const AnsiString& name, std::optional<LabelValue>& value) { answerVariable(name, value); });
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
}

void TForm1::cxButtonEdit1PropertiesButtonClick() {
    ui::FileDialogOptions options;
    options.title = QStringLiteral("mirel标签文件");
    options.filter = QStringLiteral("条形码文件(*.frf)|*.frf");
    options.initialFolder = core::homePath(QStringLiteral("模板"));
    if (const std::optional<QString> path = ui::dialogs().openFile(this, options))
        cxButtonEdit1->setText(QDir::toNativeSeparators(*path));
}

void TForm1::Label9Click() {
    if (m_widthFlag == 0) {
        setWindowWidth(layout::kWideWidth);
        m_widthFlag = 1;
    } else {
        setWindowWidth(layout::kNarrowWidth);
        m_widthFlag = 0;
    }
}

void TForm1::Label19Click() {
    const QString help = core::homePath(QStringLiteral("Help.chm"));
    if (QFileInfo(help).isFile())
        QDesktopServices::openUrl(QUrl::fromLocalFile(help));
}

void TForm1::Label20Click() {
    Label18->setText(caption());
    showPage(QStringLiteral("gy"));
}

void TForm1::Label21Click() { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kTemplateDownloadUrl))); }

void TForm1::Button1Click() {
    if (m_busy || !requireStore())
        return;
    std::int64_t count = 0;
    try {
        // The displayed text, checked before anything is deleted.
        count = codes::parseQuantity(cxCalcEdit1->text().toStdString());
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
        return;
    }
    Busy busy(*this);
    try {
        m_store->generate(core::fromUnicode(Edit1->text()), count, m_codeList, progress(false));
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
}

void TForm1::Button2Click() {
    if (m_busy || !requireStore())
        return;
    Busy busy(*this);
    try {
        m_store->deleteAll(progress(true));
        m_codeList.clear();
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
}

void TForm1::Button3Click() {
    ui::FileDialogOptions options;
    options.title = QStringLiteral("保存条码软件防伪序列号");
    options.filter = QStringLiteral("标签防伪序列号保存(*.txt)|*.txt");
    options.defaultSuffix = QStringLiteral("txt");
    options.initialFolder = core::homeFolder();
    const std::optional<QString> path = ui::dialogs().saveFile(this, options);
    if (!path)
        return;
    try {
        codes::exportCodeList(*path, m_codeList);
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
}

void TForm1::Button4Click() {
    if (m_busy)
        return;
    ui::FileDialogOptions options;
    options.title = QStringLiteral("需要导入的序号文本文件");
    options.filter = QStringLiteral("序号文本文件(*.txt)|*.txt");
    const std::optional<QString> path = ui::dialogs().openFile(this, options);
    if (!path || !QFileInfo(*path).isFile() || !requireStore())
        return;
    Busy busy(*this);
    try {
        m_store->importFile(*path, m_codeList, progress(false));
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
}

void TForm1::Button5Click() {
    m_form3->show();
    m_form3->raise();
    m_form3->activateWindow();
}

void TForm1::Button6Click() {
    m_form4->show();
    m_form4->raise();
    m_form4->activateWindow();
}

void TForm1::Button7Click() {
    if (m_busy)
        return;
    m_external.close();
    ConnectionDialog dialog(m_external.settings(), this);
    if (ui::dialogs().exec(dialog) == QDialog::Accepted)
        m_external.setSettings(dialog.settings());
    const QString text = ComboBox1->currentText();
    ComboBox1->clear();
    const std::string commandText = m_external.commandText().toStdString();
    for (std::string_view line : core::splitLines(commandText))
        ComboBox1->addItem(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
    ComboBox1->setEditText(text);
}

void TForm1::Button8Click() {
    if (m_busy)
        return;
    const QString table = ComboBox1->currentText();
    if (table.isEmpty()) {
        ui::dialogs().message(this, QStringLiteral("请选择数据库表!"), kHint);
        return;
    }
    QString error;
    if (!m_external.open(table, &error))
        showError(error);
}

} // namespace mirel::app
