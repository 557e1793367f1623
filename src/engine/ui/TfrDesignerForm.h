#pragma once
// TfrDesignerForm: the report engine's modal label designer, where a label
// shop makes and changes its templates. The page of the current tab is drawn
// through the one painting path at a chosen zoom, with rulers in millimetres,
// the grid, the margins, the page columns and the bands; the palette inserts
// text, pictures, bands, lines, sub-reports and one object per registered
// add-in class; the inspector edits the selected objects. Every change can be
// undone. Files (.frf, .frt, .frd, XML export), page setup, report options,
// the dictionary and the preview are in the menus. Every question goes
// through mirel::ui::dialogs().
//
// The form is the objects' designer context: their editors reach the undo
// stack, the expression builder and the data-field chooser through it.

#include "engine/ui/DesignerDialogs.h"
#include "engine/ui/DesignerUndo.h"
#include "template/TfrView.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QTabBar;
class QToolBar;
class QToolButton;

namespace mirel::tmpl {
class TfrReport;
class TfrPage;
} // namespace mirel::tmpl

namespace mirel::engine {
class LabelJob;
}

namespace mirel::engine::ui {

class DesignerInspector;
class DesignerPageView;
class DesignerWorkspace;

// What the palette inserts next.
enum class DesignerTool { Select, Memo, Picture, Band, Line, SubReport, AddIn };

enum class DesignerAlignment { Left, Right, Top, Bottom, HorizontalCentre, VerticalCentre };

class TfrDesignerForm : public QDialog, public tmpl::DesignerContext {
    Q_OBJECT
public:
    // Designs `job.Report` in place; `fileName` is where "保存" writes (empty:
    // it asks). The job gives the preview its datasets and label variables.
    explicit TfrDesignerForm(LabelJob& job, const QString& fileName = QString(), QWidget* parent = nullptr);
    ~TfrDesignerForm() override;

    // The designer context of the objects' editors.
    QWidget* Window() override { return this; }
    void AddUndoPoint() override;
    bool ChooseExpression(AnsiString& text) override;
    bool ChooseDataField(AnsiString& field) override;

    tmpl::TfrReport& Report() const;
    tmpl::TfrPage* CurrentPage() const;
    int CurrentPageIndex() const { return m_pageIndex; }
    void SetCurrentPage(int index);
    DesignerPageView* PageView() const;
    DesignerInspector* Inspector() const { return m_inspector; }
    const DesignerUndoStack& UndoStack() const { return m_undo; }
    QString FileName() const { return m_fileName; }
    bool Modified() const { return m_modified; }
    // The template was written to its file at least once.
    bool SavedOnce() const { return m_savedOnce; }
    const std::vector<tmpl::TfrView*>& Selection() const;
    void Select(std::vector<tmpl::TfrView*> views);

    // What the expression builder, the data-field chooser, the memo editor and
    // the dictionary editor offer.
    ExpressionSources Sources() const;

    // The palette: the tool of the next click on the page. An add-in tool names
    // its registered class.
    void ChooseTool(DesignerTool tool, const std::string& addinClass = {});
    DesignerTool Tool() const { return m_tool; }
    // Inserts the current tool's object at `units` (page units; an empty size
    // gives the object its own default size) and selects it; returns it, or
    // nullptr (a band whose type was not chosen). The tool goes back to Select.
    tmpl::TfrView* InsertObject(const QRect& units);

public slots:
    void NewReport();
    void OpenReport();
    bool SaveReport();
    bool SaveReportAs();
    void SaveAsNewReportTemplate();
    void ExportXml();
    void LoadDictionary();
    void SaveDictionary();
    void PageSetup();
    void ReportOptions();
    void EditDictionary();
    void Preview();

    void Undo();
    void Redo();
    void Cut();
    void Copy();
    void Paste();
    void Duplicate();
    void DeleteSelection();
    void SelectAll();
    void BringToFront();
    void SendToBack();
    void Align(DesignerAlignment how);
    // Width and/or height of the first selected object for all selected.
    void SameSize(bool width, bool height);
    void AddPage();
    void DeletePage();
    // The object's own editor: the memo editor for text, the picture chooser,
    // OpenEditor for the others (the barcode and PDF417 editors).
    void EditObject(tmpl::TfrView* view);
    void ZoomIn();
    void ZoomOut();
    void SetZoom(double zoom);

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildMenus();
    void BuildToolbars();
    void BuildPalette(QToolBar* bar);
    QAction* MakeAction(const char* name, const QString& text, const QKeySequence& shortcut,
                        std::function<void()> triggered, const QIcon& icon = QIcon());
    void RebuildTabs();
    void Changed();                 // after a change: views, inspector, caption
    void SelectionChanged();
    void UpdateActions();
    void UpdateCaption();
    void UpdateStatus();
    void RestoreSnapshot(const DesignerSnapshot& snapshot);
    DesignerSnapshot Snapshot() const;   // with the selection's names
    void InspectorValueEdited(const char* name, const QString& text);
    void InspectorDialog(const char* name, int kind);
    void ShowContextMenu(QPoint globalPos);
    // Runs an edit that may or may not change the template: a snapshot is kept
    // first and becomes an undo step when `edit` returns true and changed
    // something (unless the edit made its own undo point).
    bool RunEdit(const std::function<bool()>& edit);
    // The unsaved-changes question; false when the operator cancels.
    bool ConfirmDiscard();
    bool WriteTemplate(const QString& path);
    void LoadedNewReport();
    QString DialogFolder() const;
    // A message box "错误" over the designer.
    void ShowError(const QString& text);
    // The open or save dialog of a file command, starting in the template's folder.
    enum class FileDialog { Open, Save };
    std::optional<QString> AskFile(FileDialog kind, const QString& title, const QString& filter,
                                   const QString& defaultSuffix = {}, const QString& initialName = {});
    std::vector<tmpl::TfrView*> Deletable() const;
    int ChooseBandType();

    LabelJob& m_job;
    QString m_fileName;
    int m_pageIndex = 0;
    bool m_modified = false;
    bool m_savedOnce = false;
    DesignerUndoStack m_undo;
    DesignerTool m_tool = DesignerTool::Select;
    std::string m_addinClass;
    std::vector<std::unique_ptr<tmpl::TfrView>> m_clipboard;

    DesignerWorkspace* m_workspace;
    DesignerInspector* m_inspector;
    QTabBar* m_tabs;
    QActionGroup* m_paletteGroup;
    QAction* m_selectTool = nullptr;
    QLabel* m_position;
    QLabel* m_selectionLabel;
    QLabel* m_problem;
    QLabel* m_zoomLabel;
    QMenu* m_objectMenu;
};

// The band-type chooser of the palette's band button: the 23 band types by
// their names; types a page holds only once are offered only while the page
// has none. Returns the chosen type, -1 when cancelled.
int chooseBandType(QWidget* parent, const tmpl::TfrPage& page);

} // namespace mirel::engine::ui
