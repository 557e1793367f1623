#include "engine/ui/TfrDesignerForm.h"

#include "core/Encoding.h"
#include "core/Files.h"
#include "core/HomeFolder.h"
#include "core/Numbers.h"
#include "core/ui/Dialogs.h"
#include "engine/LabelJob.h"
#include "engine/ui/DesignerIcons.h"
#include "engine/ui/DesignerInspector.h"
#include "engine/ui/DesignerPageView.h"
#include "engine/ui/DesignerProperties.h"
#include "engine/ui/DialogTemplateHost.h"
#include "engine/ui/PreviewIcons.h"
#include "engine/ui/ReportPreview.h"
#include "template/AddinRegistry.h"
#include "template/BuiltinViews.h"
#include "template/TfrReport.h"

#include <QActionGroup>
#include <QBuffer>
#include <QButtonGroup>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDialog>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSplitter>
#include <QSqlDatabase>
#include <QSqlRecord>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QUuid>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace mirel::engine::ui {

namespace {

namespace property = tmpl::property;

const QString kCaption = QStringLiteral("报表设计器");
const QString kReportFilter = QStringLiteral("报表文件(*.frf)|*.frf");
const QString kOpenFilter = QStringLiteral("报表文件(*.frf)|*.frf|新报表模板(*.frt)|*.frt");
const QString kTemplateFilter = QStringLiteral("新报表模板(*.frt)|*.frt");
const QString kDictionaryFilter = QStringLiteral("数据字典(*.frd)|*.frd");
const QString kXmlFilter = QStringLiteral("XML 模板(*.xml)|*.xml");

QString u(const AnsiString& text) { return core::toUnicode(text); }
AnsiString cp(const QString& text) { return core::fromUnicode(text); }

bool isBand(const tmpl::TfrView& v) { return v.TypeCode() == tmpl::gtBand; }

// The functions of the expression language, with their arguments.
const char* const kFunctionHints[] = {
    "IF(条件, 是, 否)",        "STR(x)",           "INT(x)",         "FRAC(x)",
    "ABS(x)",                  "ROUND(x, 小数位)",  "MIN(x, ...)",    "MAX(x, ...)",
    "STRTOINT(s)",             "STRTOFLOAT(s)",    "FORMATFLOAT(格式, x)", "FORMATDATETIME(格式, d)",
    "DATETOSTR(d)",            "TIMETOSTR(t)",     "STRTODATE(s)",   "DATE",
    "TIME",                    "NOW",              "ENCODEDATE(年, 月, 日)", "YEAROF(d)",
    "MONTHOF(d)",              "DAYOF(d)",         "INCMONTH(d, 月数)", "LENGTH(s)",
    "COPY(s, 起始, 个数)",      "SUBSTR(s, 起始, 个数)", "POS(子串, s)", "UPPERCASE(s)",
    "LOWERCASE(s)",            "TRIM(s)",          "TRIMLEFT(s)",    "TRIMRIGHT(s)",
};

// The size an object gets from a click, when its class gives none (page units).
QSize defaultSize(const tmpl::TfrView& view) {
    if (view.Width > 0 || view.Height > 0)
        return QSize(view.Width, view.Height);
    const std::string_view name = view.ClassName();
    if (name == "Tfr2BarCodePDFView")
        return QSize(273, 81);   // the symbol image at one pixel per unit
    if (name == "TfrBarCodeView")
        return QSize(142, 54);   // the sample symbol at zoom 1, 15 mm high
    switch (view.TypeCode()) {
    case tmpl::gtPicture: return QSize(72, 72);
    case tmpl::gtLine: return QSize(108, 0);
    case tmpl::gtBand: return QSize(0, 36);
    default: return QSize(108, 18);
    }
}

// The columns of an open external table, read through a connection of our own
// so the adapter's run is not disturbed. Drivers whose connection text is more
// than a database name give no fields here.
QStringList externalFields(const SqlTableDataset& external) {
    QStringList fields;
    if (!external.IsOpen())
        return fields;
    const ExternalTable& table = external.Table();
    const QString connection = QStringLiteral("designer-fields-") + QUuid::createUuid().toString(QUuid::Id128);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(table.driver, connection);
        db.setDatabaseName(table.connection);
        if (db.open()) {
            const QSqlRecord record = db.record(table.table);
            for (int i = 0; i < record.count(); ++i)
                fields << record.fieldName(i);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return fields;
}

// An XML text value: code page bytes escaped as the objects escape theirs.
std::string xmlValue(const AnsiString& text) { return tmpl::XmlAttributes::Escape(text); }

// The popup menu entries an object adds (FillPopupMenu), as checkable actions.
class MenuAdapter final : public tmpl::PopupMenu {
public:
    MenuAdapter(QMenu& menu, std::function<void(std::function<void(bool)>, bool)> apply)
        : m_menu(menu), m_apply(std::move(apply)) {}
    void AddCheckItem(const QString& text, bool checked, std::function<void(bool)> toggled) override {
        QAction* action = m_menu.addAction(text);
        action->setCheckable(true);
        action->setChecked(checked);
        auto apply = m_apply;
        QObject::connect(action, &QAction::toggled, action,
                         [apply, toggled = std::move(toggled)](bool on) { apply(toggled, on); });
    }

private:
    QMenu& m_menu;
    std::function<void(std::function<void(bool)>, bool)> m_apply;
};

// A memo's lines in a plain text editor, for the inspector's "Memo" entry.
bool editLines(QWidget* parent, const QString& title, QString& text) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("DesignerTextEditor"));
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    auto* edit = new QPlainTextEdit(&dialog);
    edit->setObjectName(QStringLiteral("TextEdit"));
    edit->setPlainText(text);
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(420, 260);
    if (mirel::ui::dialogs().exec(dialog) != QDialog::Accepted)
        return false;
    text = edit->toPlainText();
    return true;
}

} // namespace

int chooseBandType(QWidget* parent, const tmpl::TfrPage& page) {
    // Bands a page holds at most once.
    constexpr int kOnce[] = {tmpl::btReportTitle, tmpl::btReportSummary, tmpl::btPageHeader, tmpl::btPageFooter,
                             tmpl::btOverlay,     tmpl::btColumnHeader,  tmpl::btColumnFooter};
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("TfrBandTypesForm"));
    dialog.setWindowTitle(QStringLiteral("插入带区"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* grid = new QGridLayout;
    auto* group = new QButtonGroup(&dialog);
    int first = -1;
    for (int type = 0; type < static_cast<int>(tmpl::kBandTypeNames.size()) - 1; ++type) {
        auto* button = new QRadioButton(QString::fromUtf8(tmpl::kBandTypeNames[static_cast<size_t>(type)]), &dialog);
        button->setObjectName(QStringLiteral("BandType%1").arg(type));
        const bool once = std::find(std::begin(kOnce), std::end(kOnce), type) != std::end(kOnce);
        const bool present = std::any_of(page.Objects.begin(), page.Objects.end(), [&](const auto& v) {
            return isBand(*v) && static_cast<const tmpl::TfrBandView&>(*v).BandType() == type;
        });
        button->setEnabled(!(once && present));
        if (button->isEnabled() && (first < 0 || type == tmpl::btMasterData)) {
            first = type;
        }
        group->addButton(button, type);
        grid->addWidget(button, type % 12, type / 12);
    }
    if (first >= 0)
        group->button(first)->setChecked(true);
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (mirel::ui::dialogs().exec(dialog) != QDialog::Accepted)
        return -1;
    const int chosen = group->checkedId();
    return chosen >= 0 && group->button(chosen)->isEnabled() ? chosen : -1;
}

TfrDesignerForm::TfrDesignerForm(LabelJob& job, const QString& fileName, QWidget* parent)
    : QDialog(parent), m_job(job), m_fileName(fileName) {
    setObjectName(QStringLiteral("TfrDesignerForm"));
    setModal(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    installObjectEditors();
    tmpl::TfrReport& report = Report();
    if (report.Pages.Empty())
        report.Pages.Add().ApplyPaper();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("MainMenu"));
    layout->setMenuBar(menuBar);
    auto* standard = new QToolBar(this);
    standard->setObjectName(QStringLiteral("StandardToolbar"));
    standard->setIconSize(QSize(20, 20));
    layout->addWidget(standard);

    auto* body = new QHBoxLayout;
    body->setSpacing(0);
    auto* palette = new QToolBar(this);
    palette->setObjectName(QStringLiteral("Palette"));
    palette->setOrientation(Qt::Vertical);
    palette->setIconSize(QSize(22, 22));
    body->addWidget(palette);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    auto* pageArea = new QWidget(splitter);
    auto* pageLayout = new QVBoxLayout(pageArea);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    m_tabs = new QTabBar(pageArea);
    m_tabs->setObjectName(QStringLiteral("PageTabs"));
    m_tabs->setShape(QTabBar::RoundedNorth);
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(false);
    pageLayout->addWidget(m_tabs);
    m_workspace = new DesignerWorkspace(pageArea);
    pageLayout->addWidget(m_workspace, 1);
    m_inspector = new DesignerInspector(splitter);
    splitter->addWidget(pageArea);
    splitter->addWidget(m_inspector);
    splitter->setStretchFactor(0, 1);
    splitter->setSizes({760, 250});
    body->addWidget(splitter, 1);
    layout->addLayout(body, 1);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar"));
    m_position = new QLabel(status);
    m_position->setObjectName(QStringLiteral("PositionLabel"));
    m_position->setMinimumWidth(150);
    m_selectionLabel = new QLabel(status);
    m_selectionLabel->setObjectName(QStringLiteral("SelectionLabel"));
    m_problem = new QLabel(status);
    m_problem->setObjectName(QStringLiteral("ProblemLabel"));
    m_problem->setStyleSheet(QStringLiteral("color: #b00000"));
    m_zoomLabel = new QLabel(status);
    m_zoomLabel->setObjectName(QStringLiteral("ZoomLabel"));
    status->addWidget(m_position);
    status->addWidget(m_selectionLabel, 1);
    status->addWidget(m_problem, 2);
    status->addPermanentWidget(m_zoomLabel);
    layout->addWidget(status);

    m_objectMenu = new QMenu(this);
    BuildMenus();
    BuildToolbars();
    (void)standard;
    BuildPalette(palette);

    DesignerPageView* view = PageView();
    connect(view, &DesignerPageView::AboutToChange, this, [this] { AddUndoPoint(); });
    connect(view, &DesignerPageView::Changed, this, [this] { Changed(); });
    connect(view, &DesignerPageView::SelectionChanged, this, &TfrDesignerForm::SelectionChanged);
    connect(view, &DesignerPageView::InsertRequested, this, [this](QRect r) { InsertObject(r); });
    connect(view, &DesignerPageView::ObjectActivated, this, &TfrDesignerForm::EditObject);
    connect(view, &DesignerPageView::ContextMenuRequested, this, &TfrDesignerForm::ShowContextMenu);
    connect(view, &DesignerPageView::PointerMoved, this, [this](QPointF p) {
        m_position->setText(QStringLiteral("X: %1 mm  Y: %2 mm")
                                .arg(millimetreText(std::lround(p.x())), millimetreText(std::lround(p.y()))));
    });
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0 && index != m_pageIndex)
            SetCurrentPage(index);
    });
    connect(m_inspector, &DesignerInspector::ValueEdited, this, &TfrDesignerForm::InspectorValueEdited);
    connect(m_inspector, &DesignerInspector::DialogRequested, this, &TfrDesignerForm::InspectorDialog);

    RebuildTabs();
    SetCurrentPage(0);
    resize(1100, 760);
    UpdateCaption();
    UpdateActions();
}

TfrDesignerForm::~TfrDesignerForm() = default;

tmpl::TfrReport& TfrDesignerForm::Report() const { return m_job.Report; }

tmpl::TfrPage* TfrDesignerForm::CurrentPage() const {
    tmpl::TfrReport& report = Report();
    if (m_pageIndex < 0 || m_pageIndex >= static_cast<int>(report.Pages.Count()))
        return nullptr;
    return &report.Pages[static_cast<size_t>(m_pageIndex)];
}

DesignerPageView* TfrDesignerForm::PageView() const { return m_workspace->View(); }

const std::vector<tmpl::TfrView*>& TfrDesignerForm::Selection() const { return PageView()->Selection(); }

void TfrDesignerForm::Select(std::vector<tmpl::TfrView*> views) { PageView()->SetSelection(std::move(views)); }

void TfrDesignerForm::SetCurrentPage(int index) {
    const int count = static_cast<int>(Report().Pages.Count());
    m_pageIndex = std::clamp(index, 0, std::max(0, count - 1));
    PageView()->SetPage(CurrentPage());
    if (m_tabs->currentIndex() != m_pageIndex) {
        const QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(m_pageIndex);
    }
    SelectionChanged();
}

void TfrDesignerForm::RebuildTabs() {
    const QSignalBlocker block(m_tabs);
    while (m_tabs->count() > 0)
        m_tabs->removeTab(0);
    for (const auto& page : Report().Pages)
        m_tabs->addTab(page->Name.empty() ? QStringLiteral("页") : u(page->Name));
    m_tabs->setCurrentIndex(m_pageIndex);
    m_tabs->setFixedHeight(m_tabs->sizeHint().height());
}

// ---- undo -------------------------------------------------------------------

DesignerSnapshot TfrDesignerForm::Snapshot() const {
    DesignerSnapshot s = DesignerSnapshot::Take(Report());
    std::vector<AnsiString> names;
    for (const tmpl::TfrView* v : Selection())
        names.push_back(v->Name);
    s.SetSelectedNames(std::move(names));
    return s;
}

void TfrDesignerForm::AddUndoPoint() {
    m_undo.Push(Snapshot());
    m_modified = true;
    UpdateActions();
    UpdateCaption();
}

bool TfrDesignerForm::RunEdit(const std::function<bool()>& edit) {
    DesignerSnapshot before = Snapshot();
    const size_t steps = m_undo.UndoCount();
    const bool redoBefore = m_undo.CanRedo();
    bool changed = false;
    try {
        changed = edit();
    } catch (const std::exception& e) {
        ShowError(QString::fromUtf8(e.what()));
    }
    if (!changed) {
        // An editor that made its undo point and was then cancelled leaves no
        // step that would undo nothing.
        if (m_undo.UndoCount() == steps + 1 && DesignerSnapshot::Take(Report()) == before) {
            m_undo.DropLast();
            UpdateActions();
        }
        return false;
    }
    const bool ownPoint = m_undo.UndoCount() != steps || (redoBefore && !m_undo.CanRedo());
    if (!ownPoint) {
        if (DesignerSnapshot::Take(Report()) == before)
            return false;
        m_undo.Push(std::move(before));
    }
    m_modified = true;
    Changed();
    return true;
}

void TfrDesignerForm::RestoreSnapshot(const DesignerSnapshot& snapshot) {
    // Objects are made anew: the selection is found again by name.
    const std::vector<AnsiString>& selected = snapshot.SelectedNames();
    snapshot.Restore(Report());
    RebuildTabs();
    SetCurrentPage(m_pageIndex);
    std::vector<tmpl::TfrView*> again;
    if (tmpl::TfrPage* page = CurrentPage())
        for (const auto& v : page->Objects)
            if (std::find(selected.begin(), selected.end(), v->Name) != selected.end())
                again.push_back(v.get());
    Select(std::move(again));
    m_modified = true;
    Changed();
}

void TfrDesignerForm::Undo() {
    if (auto back = m_undo.Undo(Snapshot()))
        RestoreSnapshot(*back);
}

void TfrDesignerForm::Redo() {
    if (auto forward = m_undo.Redo(Snapshot()))
        RestoreSnapshot(*forward);
}

// ---- designer context -------------------------------------------------------------

ExpressionSources TfrDesignerForm::Sources() const {
    ExpressionSources s;
    for (const std::string_view name : kLabelVariableNames)
        s.labelVariables << QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    s.dictionary = &Report().Dictionary;
    for (const char* name : tmpl::kSystemVariableNames)
        if (*name)
            s.systemVariables << QString::fromLatin1(name);
    s.datasets.push_back({QString::fromLatin1(kCodeStoreAdapterName),
                          {QStringLiteral("ID"), QStringLiteral("NO"), QStringLiteral("key0"), QStringLiteral("key1")}});
    if (m_job.ExternalAdapter.IsOpen())
        s.datasets.push_back({QString::fromLatin1(kExternalAdapterName), externalFields(m_job.ExternalAdapter)});
    for (const char* f : kFunctionHints)
        s.functions << QString::fromUtf8(f);
    return s;
}

bool TfrDesignerForm::ChooseExpression(AnsiString& text) { return chooseExpression(this, Sources(), text); }

bool TfrDesignerForm::ChooseDataField(AnsiString& field) { return chooseDataField(this, Sources().datasets, field); }

// ---- after changes ------------------------------------------------------------

void TfrDesignerForm::Changed() {
    PageView()->PageChanged();
    PageView()->update();
    m_inspector->ShowObjects(Selection());
    UpdateActions();
    UpdateCaption();
    UpdateStatus();
}

void TfrDesignerForm::SelectionChanged() {
    m_inspector->ShowObjects(Selection());
    UpdateActions();
    UpdateStatus();
}

void TfrDesignerForm::UpdateCaption() {
    QString name = m_fileName.isEmpty() ? QStringLiteral("未命名") : QFileInfo(m_fileName).fileName();
    setWindowTitle(kCaption + QStringLiteral(" - ") + name + (m_modified ? QStringLiteral(" *") : QString()));
}

void TfrDesignerForm::UpdateStatus() {
    const auto& sel = Selection();
    if (sel.empty()) {
        m_selectionLabel->setText(QString());
    } else if (sel.size() == 1) {
        const tmpl::TfrView& v = *sel.front();
        const QRect r = PageView()->ObjectUnits(v);
        m_selectionLabel->setText(QStringLiteral("%1: %2, %3 mm  %4 × %5 mm")
                                      .arg(u(v.Name), millimetreText(r.left()), millimetreText(r.top()),
                                           millimetreText(r.width()), millimetreText(r.height())));
    } else {
        m_selectionLabel->setText(QStringLiteral("已选 %1 个对象").arg(sel.size()));
    }
    // Painting happens later; the problems of the last paint are shown.
    QStringList problems;
    for (const tmpl::PaintFailure& f : PageView()->Failures())
        problems << f.name + QStringLiteral(": ") + f.message;
    m_problem->setText(problems.join(QStringLiteral("; ")));
    m_zoomLabel->setText(QStringLiteral("%1%").arg(std::lround(PageView()->Zoom() * 100)));
}

void TfrDesignerForm::UpdateActions() {
    const auto& sel = Selection();
    const bool any = !sel.empty();
    const auto set = [this](const char* name, bool on) {
        if (QAction* a = findChild<QAction*>(QString::fromLatin1(name)))
            a->setEnabled(on);
    };
    set("UndoAction", m_undo.CanUndo());
    set("RedoAction", m_undo.CanRedo());
    set("CutAction", !Deletable().empty());
    set("CopyAction", any);
    set("DuplicateAction", any);
    set("DeleteAction", !Deletable().empty());
    set("PasteAction", !m_clipboard.empty());
    set("BringToFrontAction", any);
    set("SendToBackAction", any);
    set("EditObjectAction", sel.size() == 1);
    for (const char* name : {"AlignLeftAction", "AlignRightAction", "AlignTopAction", "AlignBottomAction",
                             "AlignHCentreAction", "AlignVCentreAction", "SameWidthAction", "SameHeightAction",
                             "SameSizeAction"})
        set(name, sel.size() > 1);
    set("DeletePageAction", Report().Pages.Count() > 1);
}

// ---- menus and toolbars ----------------------------------------------------------

QAction* TfrDesignerForm::MakeAction(const char* name, const QString& text, const QKeySequence& shortcut,
                                     std::function<void()> triggered, const QIcon& icon) {
    auto* action = new QAction(icon, text, this);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setToolTip(text + QStringLiteral(" (") + shortcut.toString(QKeySequence::NativeText) + QLatin1Char(')'));
    }
    // The page view and the form take the shortcuts; the inspector's editors keep theirs.
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(action, &QAction::triggered, this, [triggered = std::move(triggered)] { triggered(); });
    addAction(action);
    return action;
}

void TfrDesignerForm::BuildMenus() {
    auto* bar = findChild<QMenuBar*>(QStringLiteral("MainMenu"));
    QMenu* file = bar->addMenu(QStringLiteral("文件(&F)"));
    file->addAction(MakeAction("NewAction", QStringLiteral("新建"), QKeySequence::New, [this] { NewReport(); },
                               designerIcon(DesignerIcon::New)));
    file->addAction(MakeAction("OpenAction", QStringLiteral("打开..."), QKeySequence::Open,
                               [this] { OpenReport(); }, previewIcon(PreviewIcon::Open)));
    file->addAction(MakeAction("SaveAction", QStringLiteral("保存"), QKeySequence::Save, [this] { SaveReport(); },
                               previewIcon(PreviewIcon::Save)));
    file->addAction(MakeAction("SaveAsAction", QStringLiteral("另存为..."), QKeySequence(), [this] { SaveReportAs(); }));
    file->addAction(MakeAction("SaveTemplateAction", QStringLiteral("保存为新报表模板..."), QKeySequence(),
                               [this] { SaveAsNewReportTemplate(); }));
    file->addAction(MakeAction("ExportXmlAction", QStringLiteral("导出 XML 模板..."), QKeySequence(),
                               [this] { ExportXml(); }));
    file->addSeparator();
    file->addAction(MakeAction("LoadDictionaryAction", QStringLiteral("载入数据字典..."), QKeySequence(),
                               [this] { LoadDictionary(); }));
    file->addAction(MakeAction("SaveDictionaryAction", QStringLiteral("保存数据字典..."), QKeySequence(),
                               [this] { SaveDictionary(); }));
    file->addSeparator();
    file->addAction(MakeAction("PreviewAction", QStringLiteral("预览"), QKeySequence(Qt::CTRL | Qt::Key_P),
                               [this] { Preview(); }, designerIcon(DesignerIcon::Preview)));
    file->addSeparator();
    file->addAction(MakeAction("ExitAction", QStringLiteral("退出"), QKeySequence(), [this] { close(); },
                               previewIcon(PreviewIcon::Close)));

    QMenu* edit = bar->addMenu(QStringLiteral("编辑(&E)"));
    edit->addAction(MakeAction("UndoAction", QStringLiteral("撤销"), QKeySequence::Undo, [this] { Undo(); },
                               designerIcon(DesignerIcon::Undo)));
    edit->addAction(MakeAction("RedoAction", QStringLiteral("重做"), QKeySequence::Redo, [this] { Redo(); },
                               designerIcon(DesignerIcon::Redo)));
    edit->addSeparator();
    edit->addAction(MakeAction("CutAction", QStringLiteral("剪切"), QKeySequence::Cut, [this] { Cut(); },
                               designerIcon(DesignerIcon::Cut)));
    edit->addAction(MakeAction("CopyAction", QStringLiteral("复制"), QKeySequence::Copy, [this] { Copy(); },
                               designerIcon(DesignerIcon::Copy)));
    edit->addAction(MakeAction("PasteAction", QStringLiteral("粘贴"), QKeySequence::Paste, [this] { Paste(); },
                               designerIcon(DesignerIcon::Paste)));
    edit->addAction(MakeAction("DuplicateAction", QStringLiteral("制作副本"), QKeySequence(Qt::CTRL | Qt::Key_D),
                               [this] { Duplicate(); }));
    edit->addAction(MakeAction("DeleteAction", QStringLiteral("删除"), QKeySequence::Delete,
                               [this] { DeleteSelection(); }, designerIcon(DesignerIcon::Delete)));
    edit->addAction(MakeAction("SelectAllAction", QStringLiteral("全选"), QKeySequence::SelectAll,
                               [this] { SelectAll(); }));
    edit->addSeparator();
    edit->addAction(MakeAction("EditObjectAction", QStringLiteral("编辑对象..."), QKeySequence(Qt::Key_F2), [this] {
        if (Selection().size() == 1)
            EditObject(Selection().front());
    }));

    QMenu* arrange = bar->addMenu(QStringLiteral("排列(&A)"));
    arrange->addAction(MakeAction("BringToFrontAction", QStringLiteral("置于顶层"), QKeySequence(),
                                  [this] { BringToFront(); }, designerIcon(DesignerIcon::Front)));
    arrange->addAction(MakeAction("SendToBackAction", QStringLiteral("置于底层"), QKeySequence(),
                                  [this] { SendToBack(); }, designerIcon(DesignerIcon::Back)));
    arrange->addSeparator();
    struct AlignItem {
        const char* name;
        const char* text;
        DesignerAlignment how;
        DesignerIcon icon;
    };
    const AlignItem aligns[] = {
        {"AlignLeftAction", "左对齐", DesignerAlignment::Left, DesignerIcon::AlignLeft},
        {"AlignRightAction", "右对齐", DesignerAlignment::Right, DesignerIcon::AlignRight},
        {"AlignTopAction", "顶端对齐", DesignerAlignment::Top, DesignerIcon::AlignTop},
        {"AlignBottomAction", "底端对齐", DesignerAlignment::Bottom, DesignerIcon::AlignBottom},
        {"AlignHCentreAction", "水平居中", DesignerAlignment::HorizontalCentre, DesignerIcon::AlignHCentre},
        {"AlignVCentreAction", "垂直居中", DesignerAlignment::VerticalCentre, DesignerIcon::AlignVCentre},
    };
    for (const AlignItem& a : aligns) {
        const DesignerAlignment how = a.how;
        arrange->addAction(MakeAction(a.name, QString::fromUtf8(a.text), QKeySequence(), [this, how] { Align(how); },
                                      designerIcon(a.icon)));
    }
    arrange->addSeparator();
    struct SizeItem {
        const char* name;
        const char* text;
        bool width, height;
    };
    for (const SizeItem& s : {SizeItem{"SameWidthAction", "相同宽度", true, false},
                              SizeItem{"SameHeightAction", "相同高度", false, true},
                              SizeItem{"SameSizeAction", "相同大小", true, true}}) {
        const bool w = s.width, h = s.height;
        arrange->addAction(MakeAction(s.name, QString::fromUtf8(s.text), QKeySequence(), [this, w, h] { SameSize(w, h); }));
    }

    QMenu* report = bar->addMenu(QStringLiteral("报表(&R)"));
    report->addAction(MakeAction("PageSetupAction", QStringLiteral("页面设置..."), QKeySequence(),
                                 [this] { PageSetup(); }, designerIcon(DesignerIcon::PageSetup)));
    report->addAction(MakeAction("ReportOptionsAction", QStringLiteral("报表选项..."), QKeySequence(),
                                 [this] { ReportOptions(); }));
    report->addAction(MakeAction("DictionaryAction", QStringLiteral("数据字典..."), QKeySequence(),
                                 [this] { EditDictionary(); }, designerIcon(DesignerIcon::Dictionary)));
    report->addSeparator();
    report->addAction(MakeAction("AddPageAction", QStringLiteral("添加页"), QKeySequence(), [this] { AddPage(); }));
    report->addAction(MakeAction("DeletePageAction", QStringLiteral("删除页"), QKeySequence(),
                                 [this] { DeletePage(); }));

    QMenu* viewMenu = bar->addMenu(QStringLiteral("视图(&V)"));
    auto* grid = new QAction(QStringLiteral("显示网格"), this);
    grid->setObjectName(QStringLiteral("GridAction"));
    grid->setCheckable(true);
    grid->setChecked(true);
    grid->setIcon(designerIcon(DesignerIcon::Grid));
    connect(grid, &QAction::toggled, this, [this](bool on) { PageView()->SetGridShown(on); });
    auto* snap = new QAction(QStringLiteral("对齐到网格"), this);
    snap->setObjectName(QStringLiteral("SnapAction"));
    snap->setCheckable(true);
    snap->setChecked(true);
    snap->setIcon(designerIcon(DesignerIcon::Snap));
    connect(snap, &QAction::toggled, this, [this](bool on) { PageView()->SetSnapToGrid(on); });
    viewMenu->addAction(grid);
    viewMenu->addAction(snap);
    viewMenu->addSeparator();
    viewMenu->addAction(MakeAction("ZoomInAction", QStringLiteral("放大"), QKeySequence::ZoomIn,
                                   [this] { ZoomIn(); }, previewIcon(PreviewIcon::ZoomIn)));
    viewMenu->addAction(MakeAction("ZoomOutAction", QStringLiteral("缩小"), QKeySequence::ZoomOut,
                                   [this] { ZoomOut(); }, previewIcon(PreviewIcon::ZoomOut)));
    viewMenu->addAction(MakeAction("ActualSizeAction", QStringLiteral("100%"), QKeySequence(), [this] { SetZoom(1.0); },
                                   previewIcon(PreviewIcon::ActualSize)));
}

void TfrDesignerForm::BuildToolbars() {
    auto* bar = findChild<QToolBar*>(QStringLiteral("StandardToolbar"));
    const auto add = [&](const char* name) {
        if (QAction* a = findChild<QAction*>(QString::fromLatin1(name))) {
            bar->addAction(a);
            if (QWidget* w = bar->widgetForAction(a))
                w->setObjectName(QString::fromLatin1(name).replace(QStringLiteral("Action"), QStringLiteral("Button")));
        }
    };
    for (const char* name : {"NewAction", "OpenAction", "SaveAction", "PreviewAction"})
        add(name);
    bar->addSeparator();
    for (const char* name : {"UndoAction", "RedoAction", "CutAction", "CopyAction", "PasteAction", "DeleteAction"})
        add(name);
    bar->addSeparator();
    for (const char* name : {"BringToFrontAction", "SendToBackAction", "AlignLeftAction", "AlignRightAction",
                             "AlignTopAction", "AlignBottomAction", "AlignHCentreAction", "AlignVCentreAction"})
        add(name);
    bar->addSeparator();
    for (const char* name : {"GridAction", "SnapAction", "ZoomOutAction", "ActualSizeAction", "ZoomInAction"})
        add(name);
    bar->addSeparator();
    for (const char* name : {"PageSetupAction", "DictionaryAction"})
        add(name);
}

void TfrDesignerForm::BuildPalette(QToolBar* bar) {
    m_paletteGroup = new QActionGroup(this);
    m_paletteGroup->setExclusive(true);
    const auto add = [&](const QString& name, const QIcon& icon, const QString& hint, DesignerTool tool,
                         const std::string& addin) {
        auto* action = new QAction(icon, hint, this);
        action->setObjectName(name + QStringLiteral("Action"));
        action->setCheckable(true);
        action->setToolTip(hint);
        action->setStatusTip(hint);
        m_paletteGroup->addAction(action);
        bar->addAction(action);
        if (QWidget* w = bar->widgetForAction(action))
            w->setObjectName(name);
        connect(action, &QAction::triggered, this, [this, tool, addin] { ChooseTool(tool, addin); });
        return action;
    };
    m_selectTool = add(QStringLiteral("PaletteSelect"), designerIcon(DesignerIcon::Select), QStringLiteral("选择对象"),
                       DesignerTool::Select, {});
    m_selectTool->setChecked(true);
    add(QStringLiteral("PaletteMemo"), designerIcon(DesignerIcon::Memo), QStringLiteral("插入文本对象"),
        DesignerTool::Memo, {});
    add(QStringLiteral("PalettePicture"), designerIcon(DesignerIcon::Picture), QStringLiteral("插入图片对象"),
        DesignerTool::Picture, {});
    add(QStringLiteral("PaletteBand"), designerIcon(DesignerIcon::Band), QStringLiteral("插入带区"),
        DesignerTool::Band, {});
    add(QStringLiteral("PaletteLine"), designerIcon(DesignerIcon::Line), QStringLiteral("插入线条"),
        DesignerTool::Line, {});
    add(QStringLiteral("PaletteSubReport"), designerIcon(DesignerIcon::SubReport), QStringLiteral("插入子报表"),
        DesignerTool::SubReport, {});
    bar->addSeparator();
    for (const tmpl::AddinClass& addin : tmpl::addinRegistry().Classes()) {
        const QIcon icon = addin.buttonPicture.isNull() ? addinIcon(QString::fromStdString(addin.className))
                                                        : QIcon(QPixmap::fromImage(addin.buttonPicture));
        add(QStringLiteral("Palette_") + QString::fromStdString(addin.className), icon, addin.hint,
            DesignerTool::AddIn, addin.className);
    }
}

void TfrDesignerForm::ChooseTool(DesignerTool tool, const std::string& addinClass) {
    m_tool = tool;
    m_addinClass = tool == DesignerTool::AddIn ? addinClass : std::string();
    PageView()->SetInsertMode(tool != DesignerTool::Select);
    const QString name = tool == DesignerTool::Select    ? QStringLiteral("PaletteSelect")
                         : tool == DesignerTool::Memo    ? QStringLiteral("PaletteMemo")
                         : tool == DesignerTool::Picture ? QStringLiteral("PalettePicture")
                         : tool == DesignerTool::Band    ? QStringLiteral("PaletteBand")
                         : tool == DesignerTool::Line    ? QStringLiteral("PaletteLine")
                         : tool == DesignerTool::SubReport
                             ? QStringLiteral("PaletteSubReport")
                             : QStringLiteral("Palette_") + QString::fromStdString(addinClass);
    if (QAction* a = findChild<QAction*>(name + QStringLiteral("Action")))
        a->setChecked(true);
}

// ---- inserting -------------------------------------------------------------------

tmpl::TfrView* TfrDesignerForm::InsertObject(const QRect& units) {
    tmpl::TfrPage* page = CurrentPage();
    const DesignerTool tool = m_tool;
    const std::string addin = m_addinClass;
    ChooseTool(DesignerTool::Select);
    if (!page)
        return nullptr;
    std::unique_ptr<tmpl::TfrView> view;
    int bandType = -1;
    switch (tool) {
    case DesignerTool::Select: return nullptr;
    case DesignerTool::Memo: view = std::make_unique<tmpl::TfrMemoView>(); break;
    case DesignerTool::Picture: view = std::make_unique<tmpl::TfrPictureView>(); break;
    case DesignerTool::Line: view = std::make_unique<tmpl::TfrLineView>(); break;
    case DesignerTool::SubReport: view = std::make_unique<tmpl::TfrSubReportView>(); break;
    case DesignerTool::Band:
        bandType = chooseBandType(this, *page);
        if (bandType < 0)
            return nullptr;
        view = std::make_unique<tmpl::TfrBandView>();
        break;
    case DesignerTool::AddIn:
        if (const tmpl::AddinClass* c = tmpl::addinRegistry().Find(addin))
            view = c->create();
        break;
    }
    if (!view)
        return nullptr;
    AddUndoPoint();
    tmpl::TfrReport& report = Report();
    view->Name = report.GenerateName(view->BaseName());
    const QSize size = units.isEmpty() ? defaultSize(*view) : units.size();
    view->Left = units.left();
    view->Top = units.top();
    view->Width = size.width();
    view->Height = size.height();
    if (tool == DesignerTool::Line) {
        // A line is drawn along its longer side: the top side of a flat one, the
        // left side of a standing one (as its painting sets it).
        if (view->Width >= view->Height) {
            view->Height = 0;
            view->FrameTyp = 8;
        } else {
            view->Width = 0;
            view->FrameTyp = 4;
        }
    }
    if (auto* band = dynamic_cast<tmpl::TfrBandView*>(view.get())) {
        band->SetBandType(bandType);
        const QRect area = PageView()->MarginUnits();
        band->Left = area.left();
        band->Width = PageView()->ColumnWidthUnits();
        if (units.isEmpty())
            band->Height = defaultSize(*band).height();
    }
    if (auto* sub = dynamic_cast<tmpl::TfrSubReportView*>(view.get())) {
        // A sub-report prints a page of its own, made with it.
        tmpl::TfrPage& added = report.Pages.Add();
        added.ApplyPaper();
        sub->SubPage = static_cast<std::int32_t>(report.Pages.Count() - 1);
    }
    tmpl::TfrView* placed = view.get();
    page->Objects.push_back(std::move(view));
    if (tool == DesignerTool::SubReport)
        RebuildTabs();
    PageView()->PageChanged();
    Select({placed});
    Changed();
    return placed;
}

// ---- clipboard and arrangement ------------------------------------------------------------

std::vector<tmpl::TfrView*> TfrDesignerForm::Deletable() const {
    std::vector<tmpl::TfrView*> out;
    for (tmpl::TfrView* v : Selection())
        if (!(v->Restrictions & restriction::kDontDelete))
            out.push_back(v);
    return out;
}

void TfrDesignerForm::Copy() {
    if (Selection().empty())
        return;
    m_clipboard.clear();
    // In drawing order, so pasted objects keep their stacking.
    for (const auto& v : CurrentPage()->Objects)
        if (PageView()->IsSelected(v.get()))
            if (auto copy = tmpl::cloneView(*v)) {
                copy->Name = v->Name;
                m_clipboard.push_back(std::move(copy));
            }
    UpdateActions();
}

void TfrDesignerForm::Cut() {
    if (Deletable().empty())
        return;
    Copy();
    DeleteSelection();
}

void TfrDesignerForm::Paste() {
    tmpl::TfrPage* page = CurrentPage();
    if (m_clipboard.empty() || !page)
        return;
    AddUndoPoint();
    std::vector<tmpl::TfrView*> pasted;
    const int step = PageView()->GridStep();
    for (const auto& source : m_clipboard) {
        auto copy = tmpl::cloneView(*source);
        if (!copy)
            continue;
        // A name the report already has is replaced by a new one of the class.
        copy->Name = Report().FindObject(source->Name) ? Report().GenerateName(copy->BaseName()) : source->Name;
        // Over the original, a grid step down and right, so both are seen.
        const bool overOriginal = std::any_of(page->Objects.begin(), page->Objects.end(), [&](const auto& v) {
            return v->Left == copy->Left && v->Top == copy->Top;
        });
        if (overOriginal) {
            if (!isBand(*copy))
                copy->Left += step;
            copy->Top += step;
        }
        pasted.push_back(copy.get());
        page->Objects.push_back(std::move(copy));
    }
    PageView()->PageChanged();
    Select(pasted);
    Changed();
}

void TfrDesignerForm::Duplicate() {
    if (Selection().empty())
        return;
    std::vector<std::unique_ptr<tmpl::TfrView>> kept;
    kept.swap(m_clipboard);
    Copy();
    Paste();
    m_clipboard.swap(kept);
    UpdateActions();
}

void TfrDesignerForm::DeleteSelection() {
    tmpl::TfrPage* page = CurrentPage();
    const std::vector<tmpl::TfrView*> doomed = Deletable();
    if (!page || doomed.empty())
        return;
    AddUndoPoint();
    std::erase_if(page->Objects, [&](const auto& v) {
        return std::find(doomed.begin(), doomed.end(), v.get()) != doomed.end();
    });
    std::vector<tmpl::TfrView*> left;
    for (tmpl::TfrView* v : Selection())
        if (std::find(doomed.begin(), doomed.end(), v) == doomed.end())
            left.push_back(v);
    PageView()->SetSelection(left);
    Changed();
}

void TfrDesignerForm::SelectAll() { PageView()->SelectAll(); }

void TfrDesignerForm::BringToFront() {
    tmpl::TfrPage* page = CurrentPage();
    if (!page || Selection().empty())
        return;
    AddUndoPoint();
    std::stable_partition(page->Objects.begin(), page->Objects.end(),
                          [&](const auto& v) { return !PageView()->IsSelected(v.get()); });
    Changed();
}

void TfrDesignerForm::SendToBack() {
    tmpl::TfrPage* page = CurrentPage();
    if (!page || Selection().empty())
        return;
    AddUndoPoint();
    std::stable_partition(page->Objects.begin(), page->Objects.end(),
                          [&](const auto& v) { return PageView()->IsSelected(v.get()); });
    Changed();
}

void TfrDesignerForm::Align(DesignerAlignment how) {
    const auto sel = Selection();
    if (sel.size() < 2)
        return;
    const tmpl::TfrView& lead = *sel.front();
    const bool horizontal = how == DesignerAlignment::Left || how == DesignerAlignment::Right ||
                            how == DesignerAlignment::HorizontalCentre;
    bool any = false;
    for (size_t i = 1; i < sel.size(); ++i)
        any = any || (!(sel[i]->Restrictions & restriction::kDontMove) && !(horizontal && isBand(*sel[i])));
    if (!any)
        return;
    AddUndoPoint();
    for (size_t i = 1; i < sel.size(); ++i) {
        tmpl::TfrView& v = *sel[i];
        if ((v.Restrictions & restriction::kDontMove) || (horizontal && isBand(v)))
            continue;
        switch (how) {
        case DesignerAlignment::Left: v.Left = lead.Left; break;
        case DesignerAlignment::Right: v.Left = lead.Left + lead.Width - v.Width; break;
        case DesignerAlignment::Top: v.Top = lead.Top; break;
        case DesignerAlignment::Bottom: v.Top = lead.Top + lead.Height - v.Height; break;
        case DesignerAlignment::HorizontalCentre: v.Left = lead.Left + (lead.Width - v.Width) / 2; break;
        case DesignerAlignment::VerticalCentre: v.Top = lead.Top + (lead.Height - v.Height) / 2; break;
        }
    }
    Changed();
}

void TfrDesignerForm::SameSize(bool width, bool height) {
    const auto sel = Selection();
    if (sel.size() < 2)
        return;
    AddUndoPoint();
    const tmpl::TfrView& lead = *sel.front();
    for (size_t i = 1; i < sel.size(); ++i) {
        tmpl::TfrView& v = *sel[i];
        if (v.Restrictions & restriction::kDontSize)
            continue;
        if (width && !isBand(v))
            v.Width = lead.Width;
        if (height)
            v.Height = lead.Height;
    }
    Changed();
}

void TfrDesignerForm::AddPage() {
    AddUndoPoint();
    Report().Pages.Add().ApplyPaper();
    RebuildTabs();
    SetCurrentPage(static_cast<int>(Report().Pages.Count()) - 1);
    Changed();
}

void TfrDesignerForm::DeletePage() {
    if (Report().Pages.Count() < 2)
        return;
    const auto answer = mirel::ui::dialogs().message(this, QStringLiteral("删除当前页及其上的所有对象？"),
                                                     QStringLiteral("确认"), mirel::ui::MessageIcon::Question,
                                                     mirel::ui::MessageButtons::YesNo);
    if (answer != mirel::ui::MessageResult::Yes)
        return;
    AddUndoPoint();
    PageView()->SetPage(nullptr);
    const int gone = m_pageIndex;
    Report().Pages.Delete(static_cast<size_t>(gone));
    // Sub-reports name their page by index: those after the deleted page move
    // up with it; one that printed the deleted page prints none.
    for (auto& page : Report().Pages)
        for (auto& v : page->Objects)
            if (auto* sub = dynamic_cast<tmpl::TfrSubReportView*>(v.get())) {
                if (sub->SubPage > gone)
                    --sub->SubPage;
                else if (sub->SubPage == gone)
                    sub->SubPage = -1;
            }
    RebuildTabs();
    SetCurrentPage(std::min(m_pageIndex, static_cast<int>(Report().Pages.Count()) - 1));
    Changed();
}

// ---- object editors and the inspector ------------------------------------------------------

void TfrDesignerForm::EditObject(tmpl::TfrView* view) {
    if (!view)
        return;
    if (view->Restrictions & restriction::kDontEditContents)
        return;
    if (auto* memo = dynamic_cast<tmpl::TfrMemoView*>(view)) {
        if (view->Restrictions & restriction::kDontEditMemo)
            return;
        RunEdit([&] { return editMemo(this, *memo, Sources()); });
    } else if (auto* picture = dynamic_cast<tmpl::TfrPictureView*>(view)) {
        RunEdit([&] { return choosePicture(this, *picture); });
    } else if (isBand(*view)) {
        // A band's fields are in the inspector.
        m_inspector->setFocus();
    } else {
        RunEdit([&] { return view->OpenEditor(*this); });
    }
}

void TfrDesignerForm::InspectorValueEdited(const char* name, const QString& text) {
    const std::vector<tmpl::TfrView*> views = m_inspector->Objects();
    if (views.empty())
        return;
    const std::string_view entry = name;
    if (entry == "Name") {
        const AnsiString wanted = cp(text.trimmed());
        const tmpl::TfrView* other = Report().FindObject(wanted);
        if (wanted.empty() || (other && other != views.front())) {
            ShowError(QStringLiteral("名称“%1”无效或已被使用。").arg(text.trimmed()));
            m_inspector->Refresh();
            return;
        }
    }
    // The value is checked on a copy first: a value no object takes changes nothing.
    bool accepted = false;
    for (tmpl::TfrView* v : views) {
        std::vector<tmpl::PropertyEntry> entries = inspectorEntries(*v);
        if (std::none_of(entries.begin(), entries.end(), [&](const auto& e) { return entry == e.name; }))
            continue;
        auto probe = tmpl::cloneView(*v);
        if (probe && setPropertyText(*probe, entry, text))
            accepted = true;
    }
    if (!accepted) {
        ShowError(QStringLiteral("“%1”不是 %2 的有效值。").arg(text, QString::fromLatin1(name)));
        m_inspector->Refresh();
        return;
    }
    AddUndoPoint();
    for (tmpl::TfrView* v : views) {
        if (entry == "Name" && v != views.front())
            continue;
        if (v->Restrictions & restriction::kDontModify && entry != "Restrictions")
            continue;
        if (entry == "Memo" && (v->Restrictions & restriction::kDontEditMemo))
            continue;
        setPropertyText(*v, entry, text);
    }
    Changed();
}

void TfrDesignerForm::InspectorDialog(const char* name, int kind) {
    const std::vector<tmpl::TfrView*> views = m_inspector->Objects();
    if (views.empty())
        return;
    tmpl::TfrView& view = *views.front();
    const std::string_view entry = name;
    if (kind == property::kColor) {
        const auto current = parseColor(propertyText(view, entry));
        QColorDialog dialog(current && *current != tmpl::kNoColor ? tmpl::toQColor(*current) : QColor(Qt::white),
                            this);
        dialog.setObjectName(QStringLiteral("ColorDialog"));
        dialog.setWindowTitle(QStringLiteral("颜色"));
        dialog.setOption(QColorDialog::DontUseNativeDialog);
        if (mirel::ui::dialogs().exec(dialog) != QDialog::Accepted)
            return;
        const QColor c = dialog.currentColor();
        InspectorValueEdited(name, c.name(QColor::HexRgb));
    } else if (kind == property::kLines) {
        if (view.Restrictions & restriction::kDontEditMemo)
            return;
        QString text = propertyText(view, entry);
        if (!editLines(this, QStringLiteral("文本"), text))
            return;
        InspectorValueEdited(name, text);
    } else if (kind == property::kDataField) {
        if (view.Restrictions & restriction::kDontEditContents)
            return;
        AnsiString field;
        if (!view.Memo.empty()) {
            field = view.Memo.front();
            if (field.size() >= 2 && field.front() == '[' && field.back() == ']')
                field = field.substr(1, field.size() - 2);
        }
        if (!ChooseDataField(field) || field.empty())
            return;
        // The chosen field becomes the object's text, as an expression.
        const AnsiString line = field.front() == '[' ? field : "[" + field + "]";
        RunEdit([&] {
            view.Memo = {line};
            return true;
        });
    } else if (kind == property::kEditor) {
        if (entry == "Font") {
            auto* memo = dynamic_cast<tmpl::TfrMemoView*>(&view);
            if (!memo)
                return;
            QFont font(u(memo->FontName));
            font.setPointSize(std::max(1, memo->FontSize));
            font.setBold(memo->FontStyle & tmpl::kFontBold);
            font.setItalic(memo->FontStyle & tmpl::kFontItalic);
            font.setUnderline(memo->FontStyle & tmpl::kFontUnderline);
            font.setStrikeOut(memo->FontStyle & tmpl::kFontStrikeOut);
            QFontDialog dialog(font, this);
            dialog.setObjectName(QStringLiteral("FontDialog"));
            dialog.setWindowTitle(QStringLiteral("字体"));
            dialog.setOption(QFontDialog::DontUseNativeDialog);
            if (mirel::ui::dialogs().exec(dialog) != QDialog::Accepted)
                return;
            const QFont chosen = dialog.currentFont();
            RunEdit([&] {
                for (tmpl::TfrView* v : views) {
                    auto* m = dynamic_cast<tmpl::TfrMemoView*>(v);
                    if (!m || (m->Restrictions & restriction::kDontModify))
                        continue;
                    m->FontName = cp(chosen.family());
                    if (chosen.pointSize() > 0)
                        m->FontSize = chosen.pointSize();
                    m->FontStyle = static_cast<std::uint16_t>(
                        (chosen.italic() ? tmpl::kFontItalic : 0) | (chosen.bold() ? tmpl::kFontBold : 0) |
                        (chosen.underline() ? tmpl::kFontUnderline : 0) |
                        (chosen.strikeOut() ? tmpl::kFontStrikeOut : 0));
                }
                return true;
            });
        } else {
            EditObject(&view);
        }
    }
}

void TfrDesignerForm::ShowContextMenu(QPoint globalPos) {
    m_objectMenu->clear();
    const auto sel = Selection();
    if (sel.size() == 1 && !(sel.front()->Restrictions & restriction::kDontModify)) {
        tmpl::TfrView* view = sel.front();
        MenuAdapter adapter(*m_objectMenu, [this](std::function<void(bool)> toggled, bool on) {
            AddUndoPoint();
            toggled(on);
            Changed();
        });
        view->FillPopupMenu(adapter);
        if (!m_objectMenu->isEmpty())
            m_objectMenu->addSeparator();
    }
    for (const char* name : {"EditObjectAction", "CutAction", "CopyAction", "PasteAction", "DeleteAction",
                             "BringToFrontAction", "SendToBackAction"})
        m_objectMenu->addAction(findChild<QAction*>(QString::fromLatin1(name)));
    m_objectMenu->popup(globalPos);
}

// ---- zoom -------------------------------------------------------------------

void TfrDesignerForm::SetZoom(double zoom) {
    PageView()->SetZoom(zoom);
    UpdateStatus();
}

void TfrDesignerForm::ZoomIn() { SetZoom(PageView()->Zoom() * 1.25); }
void TfrDesignerForm::ZoomOut() { SetZoom(PageView()->Zoom() / 1.25); }

// ---- files -----------------------------------------------------------------------

std::optional<QString> TfrDesignerForm::AskFile(FileDialog kind, const QString& title, const QString& filter,
                                                const QString& defaultSuffix, const QString& initialName) {
    mirel::ui::FileDialogOptions options;
    options.title = title;
    options.filter = filter;
    options.defaultSuffix = defaultSuffix;
    options.initialFolder = DialogFolder();
    options.initialName = initialName;
    return kind == FileDialog::Open ? mirel::ui::dialogs().openFile(this, options)
                                    : mirel::ui::dialogs().saveFile(this, options);
}

void TfrDesignerForm::ShowError(const QString& text) {
    mirel::ui::dialogs().message(this, text, QStringLiteral("错误"), mirel::ui::MessageIcon::Error);
}

QString TfrDesignerForm::DialogFolder() const {
    if (!m_fileName.isEmpty())
        return QFileInfo(m_fileName).absolutePath();
    return core::homePath(QStringLiteral("模板"));
}

bool TfrDesignerForm::ConfirmDiscard() {
    if (!m_modified)
        return true;
    const auto answer = mirel::ui::dialogs().message(this, QStringLiteral("报表已修改，是否保存修改？"),
                                                     QStringLiteral("确认"), mirel::ui::MessageIcon::Question,
                                                     mirel::ui::MessageButtons::YesNoCancel);
    if (answer == mirel::ui::MessageResult::Cancel)
        return false;
    if (answer == mirel::ui::MessageResult::Yes)
        return SaveReport();
    return true;
}

void TfrDesignerForm::LoadedNewReport() {
    tmpl::TfrReport& report = Report();
    if (report.Pages.Empty())
        report.Pages.Add().ApplyPaper();
    m_undo.Clear();
    m_modified = false;
    m_clipboard.clear();
    m_pageIndex = 0;
    RebuildTabs();
    SetCurrentPage(0);
    Changed();
}

void TfrDesignerForm::NewReport() {
    if (!ConfirmDiscard())
        return;
    tmpl::TfrReport& report = Report();
    report.Clear();
    report.ResetInformation();
    report.PrintToDefault = false;
    report.DoublePass = false;
    report.FileName.clear();
    report.Pages.Add().ApplyPaper();
    m_fileName.clear();
    LoadedNewReport();
}

void TfrDesignerForm::OpenReport() {
    if (!ConfirmDiscard())
        return;
    const auto path = AskFile(FileDialog::Open, QStringLiteral("打开报表"), kOpenFilter);
    if (!path)
        return;
    DialogTemplateHost host(this);
    tmpl::TfrReport& report = Report();
    if (path->endsWith(QStringLiteral(".frt"), Qt::CaseInsensitive)) {
        // A new-report template gives a new, unnamed report.
        try {
            const std::string bytes = core::readFileBytes(*path);
            report.ResetInformation();
            report.LoadFromTemplateBytes(bytes, host);
        } catch (const core::FileError& e) {
            ShowError(QString::fromUtf8(e.what()));
            return;
        }
        report.FileName.clear();
        m_fileName.clear();
    } else {
        if (!report.LoadFromFile(*path, host))
            return;
        m_fileName = report.FileName == QStringLiteral("Untitled") ? QString() : *path;
    }
    LoadedNewReport();
}

bool TfrDesignerForm::WriteTemplate(const QString& path) {
    try {
        Report().SaveToFile(path);
    } catch (const std::exception& e) {
        ShowError(QString::fromUtf8(e.what()));
        return false;
    }
    Report().FileName = path;
    m_fileName = path;
    m_modified = false;
    m_savedOnce = true;
    UpdateCaption();
    return true;
}

bool TfrDesignerForm::SaveReport() {
    if (m_fileName.isEmpty())
        return SaveReportAs();
    return WriteTemplate(m_fileName);
}

bool TfrDesignerForm::SaveReportAs() {
    const auto path = AskFile(FileDialog::Save, QStringLiteral("保存报表"), kReportFilter, QStringLiteral("frf"),
                              m_fileName.isEmpty() ? QString() : QFileInfo(m_fileName).fileName());
    if (!path)
        return false;
    return WriteTemplate(*path);
}

void TfrDesignerForm::SaveAsNewReportTemplate() {
    const auto path = AskFile(FileDialog::Save, QStringLiteral("保存为新报表模板"), kTemplateFilter, QStringLiteral("frt"));
    if (!path)
        return;
    tmpl::TfrReport& report = Report();
    // The description is the report's name (or the file's); the picture a small
    // view of the first page.
    QString description = u(report.ReportName);
    if (description.isEmpty())
        description = QFileInfo(*path).completeBaseName();
    std::string bitmap;
    if (!report.Pages.Empty()) {
        DesignerPageView thumbnail;
        thumbnail.SetPage(&report.Pages[0]);
        thumbnail.SetGridShown(false);
        const double zoom = 120.0 / std::max(1, thumbnail.PaperUnits().width());
        thumbnail.SetZoom(zoom);
        QImage image(thumbnail.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        thumbnail.render(&image);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
        bitmap = buffer.data().toStdString();
    }
    try {
        core::writeFileAtomically(*path, report.SaveToTemplateBytes({cp(description)}, bitmap));
    } catch (const std::exception& e) {
        ShowError(QString::fromUtf8(e.what()));
    }
}

void TfrDesignerForm::ExportXml() {
    const auto path = AskFile(FileDialog::Save, QStringLiteral("导出 XML 模板"), kXmlFilter, QStringLiteral("xml"));
    if (!path)
        return;
    const tmpl::TfrReport& report = Report();
    std::string xml = "<?xml version=\"1.0\" encoding=\"GB18030\"?>\r\n<Report";
    tmpl::XmlAttributes head;
    head.Add("Name", report.ReportName);
    head.Add("Author", report.Author);
    head.Add("Comment", report.Comment);
    head.Add("PrintToDefault", report.PrintToDefault ? "1" : "0");
    head.Add("DoublePass", report.DoublePass ? "1" : "0");
    xml += head.Text() + ">\r\n";
    for (const auto& page : report.Pages) {
        tmpl::XmlAttributes p;
        p.Add("Name", page->Name);
        p.Add("Size", std::to_string(page->Size));
        p.Add("Width", std::to_string(page->PaperWidth));
        p.Add("Height", std::to_string(page->PaperHeight));
        p.Add("Orientation", std::to_string(page->Orientation));
        p.Add("LeftMargin", std::to_string(page->LeftMargin));
        p.Add("TopMargin", std::to_string(page->TopMargin));
        p.Add("RightMargin", std::to_string(page->RightMargin));
        p.Add("BottomMargin", std::to_string(page->BottomMargin));
        p.Add("Columns", std::to_string(page->Columns));
        p.Add("ColumnGap", std::to_string(page->ColumnGap));
        xml += "  <Page" + p.Text() + ">\r\n";
        for (const auto& view : page->Objects) {
            tmpl::XmlAttributes a;
            a.Add("Class", view->ClassName());
            view->WriteXmlAttributes(a);
            if (view->TypeCode() == tmpl::gtAddIn || view->Memo.empty()) {
                xml += "    <Object" + a.Text() + "/>\r\n";
                continue;
            }
            // Text lines of the engine's own objects, which their attributes leave out.
            xml += "    <Object" + a.Text() + ">\r\n";
            for (const AnsiString& line : view->Memo)
                xml += "      <Line>" + xmlValue(line) + "</Line>\r\n";
            xml += "    </Object>\r\n";
        }
        xml += "  </Page>\r\n";
    }
    xml += "</Report>\r\n";
    try {
        core::writeFileAtomically(*path, xml);
    } catch (const std::exception& e) {
        ShowError(QString::fromUtf8(e.what()));
    }
}

void TfrDesignerForm::LoadDictionary() {
    const auto path = AskFile(FileDialog::Open, QStringLiteral("载入数据字典"), kDictionaryFilter);
    if (!path)
        return;
    tmpl::TfrDataDictionary loaded;
    if (!loaded.LoadFromFile(*path, Report().DatasetExists)) {
        ShowError(QStringLiteral("无法读取数据字典文件 %1。").arg(*path));
        return;
    }
    RunEdit([&] {
        Report().Dictionary = std::move(loaded);
        return true;
    });
}

void TfrDesignerForm::SaveDictionary() {
    const auto path = AskFile(FileDialog::Save, QStringLiteral("保存数据字典"), kDictionaryFilter, QStringLiteral("frd"));
    if (!path)
        return;
    try {
        Report().Dictionary.SaveToFile(*path);
    } catch (const std::exception& e) {
        ShowError(QString::fromUtf8(e.what()));
    }
}

void TfrDesignerForm::PageSetup() {
    tmpl::TfrPage* page = CurrentPage();
    if (!page)
        return;
    if (RunEdit([&] {
            if (!editPageSetup(this, *page))
                return false;
            page->ApplyPaper();
            return true;
        }))
        PageView()->PageChanged();
}

void TfrDesignerForm::ReportOptions() {
    RunEdit([&] { return editReportOptions(this, Report()); });
}

void TfrDesignerForm::EditDictionary() {
    RunEdit([&] { return editDictionary(this, Report().Dictionary, Sources()); });
}

void TfrDesignerForm::Preview() {
    PrepareSetup setup;
    setup.onGetValue = [this](const AnsiString& name, std::optional<Value>& value) { m_job.AnswerVariable(name, value); };
    setup.datasets = {&m_job.CodeStoreAdapter, &m_job.ExternalAdapter};
    setup.reportDataset = &m_job.CodeStoreAdapter;
    // As many labels as a print job would make.
    m_job.CodeStoreAdapter.SetRangeEnd(TfrRangeEnd::reCount);
    m_job.CodeStoreAdapter.SetRangeEndCount(core::roundHalfEven(m_job.Fields.quantity));
    previewReport(Report(), setup, designerPreviewOptions(Report()), this);
}

void TfrDesignerForm::reject() {
    if (!ConfirmDiscard())
        return;
    QDialog::reject();
}

void TfrDesignerForm::keyPressEvent(QKeyEvent* event) {
    // Escape leaves through the unsaved-changes question; Enter does not close.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return;
    QDialog::keyPressEvent(event);
}

} // namespace mirel::engine::ui
