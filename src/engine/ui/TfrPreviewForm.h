#pragma once
// TfrPreviewForm: the report engine's modal preview, where operators check the
// prepared labels before they print them. Pages are painted as they come into
// sight; the toolbar zooms, goes from page to page, finds text, opens and
// saves prepared reports (.frp), prints through the print dialog and exports
// PDF. Every question it asks goes through mirel::ui::dialogs().

#include "engine/ui/PreparedTextSearch.h"
#include "engine/ui/PreviewIcons.h"
#include "engine/ui/PreviewOutput.h"
#include "engine/ui/PreviewPageView.h"

#include <QDialog>
#include <QString>
#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolBar;
class QToolButton;
class QWidget;

namespace mirel::tmpl {
class TfrReport;
class TfrPreparedPages;
} // namespace mirel::tmpl

namespace mirel::engine {

// The buttons of the preview's toolbar the report enables (PreviewButtons).
// Page navigation is always there.
enum PreviewButton : unsigned {
    pbZoom = 1,      // zoom in and out, the zoom field, whole page, page width, 100 %
    pbLoad = 2,      // open a prepared report
    pbSave = 4,      // save the prepared report
    pbPrint = 8,     // print, and export to PDF
    pbFind = 16,
    pbHelp = 32,
    pbExit = 64,
};
using PreviewButtons = unsigned;
// What a label job's preview offers: every button above.
inline constexpr PreviewButtons kLabelJobButtons = pbZoom | pbLoad | pbSave | pbPrint | pbFind | pbHelp | pbExit;

// The caption a print job gives its preview (the report's Title).
inline constexpr char kLabelPreviewTitle[] = "条码标签打印预览";

// The filter of the open and save dialogs, in the stored "description|pattern" form.
inline constexpr char kPreparedFileFilter[] = " (*.frp)|*.frp";

struct PreviewOptions {
    QString title;                           // the caption; "预览" when empty
    PreviewButtons buttons = kLabelJobButtons;
    // The zoom the preview opens with (InitialZoom); `initialZoom` is used
    // for a free zoom (1.0 = real size).
    PreviewPageView::ZoomMode initialMode = PreviewPageView::ZoomMode::WholePage;
    double initialZoom = 1.0;
};

class TfrPreviewForm : public QDialog {
    Q_OBJECT
public:
    // Shows `pages` of `report`; both are borrowed for the window's lifetime.
    // Opening a .frp file replaces the pages (and sets the report's generator
    // version, as the file says); prepared labels are not edited here
    // (ModifyPrepared is off).
    TfrPreviewForm(tmpl::TfrReport& report, tmpl::TfrPreparedPages& pages, const PreviewOptions& options = {},
                   QWidget* parent = nullptr);

    PreviewPageView* Pages() const { return m_view; }
    // Pages sent to a printer or to PDF files from this window.
    int PrintedPages() const { return m_printedPages; }

public slots:
    void FirstPage();
    void PreviousPage();
    void NextPage();
    void LastPage();
    void ShowFindBar();
    void FindNext();
    void FindPrevious();
    void OpenClick();
    void SaveClick();
    void PrintClick();
    void ExportPdfClick();
    void HelpClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* AddButton(QToolBar* bar, const char* name, PreviewIcon icon, const QString& tip, bool shown,
                       const std::function<void()>& triggered);
    void BuildFindBar(QWidget* bar);
    void PagesReplaced();
    void ShowCurrentPage(int index);
    void ShowZoom(double zoom);
    void ApplyZoomField();
    void GoToTypedPage();
    void Find(bool forward);
    void SetStatus(const QString& text);
    bool ReportFailures(const OutputResult& result, const QString& done);

    tmpl::TfrReport& m_report;
    tmpl::TfrPreparedPages& m_pages;
    PreviewOptions m_options;
    PreparedTextSearch m_search;
    int m_printedPages = 0;
    QString m_lastFind;
    Qt::CaseSensitivity m_lastCase = Qt::CaseInsensitive;
    bool m_failureShown = false;

    PreviewPageView* m_view;
    QLineEdit* m_pageEdit;
    QLabel* m_pageCount;
    QComboBox* m_zoomBox;
    QWidget* m_findBar;
    QLineEdit* m_findEdit;
    QCheckBox* m_matchCase;
    QLabel* m_findStatus;
    QLabel* m_counter;
    QLabel* m_zoomLabel;
    QLabel* m_paperLabel;
    QLabel* m_message;
    QList<QAction*> m_needPages;   // actions that have nothing to do without pages
};

// Shows the prepared pages in the modal preview; returns the number of pages
// the operator printed or exported from it (0 when nothing went out).
int showPreview(tmpl::TfrReport& report, tmpl::TfrPreparedPages& pages, const PreviewOptions& options,
                QWidget* parent = nullptr);
// A label job's preview: caption "条码标签打印预览", the label job's buttons.
int showPreview(tmpl::TfrReport& report, tmpl::TfrPreparedPages& pages, QWidget* parent = nullptr);

} // namespace mirel::engine
