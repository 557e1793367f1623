#pragma once
// The main window: the label data every label job reads, the code store page,
// the external data source page, and the doors to the text tools and the
// backup window.
//
// A borderless window of 540 × 400 (685 with the 2D-code panel) that is moved by
// dragging its background. Showing it reads system.ini (section "kz") and opens
// the code store; closing it writes system.ini. Every question it asks goes
// through mirel::ui::dialogs().
//
// Controls (objectName = member name):
//   Image2            the close picture, hint "退出"
//   SpeedButton1..6   navigation: "流 程" "钥 匙" "系 统" "设 计" "打 印" "外部库"
//   Notebook1         pages "lc" "yl" "ys" "wbsj" "gy"
//   page "yl"         cxButtonEdit1 (ellipsis action cxButtonEdit1Button),
//                     cxTextEdit2, cxTextEdit5, cxTextEdit3, cxTextEdit1,
//                     cxTextEdit4, Label9 "二维码－>"
//   Panel1            the 2D-code panel: cxMemo1
//   page "ys"         Edit1 (seed), cxCalcEdit1 (quantity), Button1 "生成防伪序号",
//                     Button2 "删除列表序号", ProgressBar1, DBGrid1,
//                     Button3 "备份到文本>>", Button4 "导入文本序号",
//                     Button5 "文本分割工具", Button6 "应用防伪序列"
//   page "wbsj"       DBGrid2, Button7 "选择数据库", ComboBox1, Button8 "连接数据库"
//   page "gy"         Memo2 (introduction), Label17 (contact), Label18 (version)
//   footer            Label19 "帮 助", Label20 "关 于", Label21 "下载更多模板", Label22

#include "app/ExternalSource.h"
#include "app/LabelJobRunner.h"
#include "codes/CodeList.h"
#include "codes/CodeStore.h"

#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTableView;

namespace mirel::texttools {
class TForm3;
}

namespace mirel::app {

class CalcEdit;
class CodeGridModel;
class LinkLabel;
class NavButton;
class PictureButton;
class TForm4;

// Window caption; with no title bar it is shown on the about page.
inline constexpr char kMainCaption[] = "mirel条形码编辑打印软件 8.0713";
// Application title: the task-bar text and the name of the single-instance lock.
inline constexpr char kApplicationTitle[] = "mirel标签设计";
// The maker's page of label templates, opened by "下载更多模板".
inline constexpr char kTemplateDownloadUrl[] = "https://mirel.example.com/templates";

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // The runner does the label jobs; without one the window runs them through
    // the report engine (EngineLabelJobRunner).
    explicit TForm1(std::unique_ptr<LabelJobRunner> runner = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    QString caption() const { return QString::fromUtf8(kMainCaption); }
    // 0 while the window is 540 wide, 1 while it is 685 wide with the 2D-code panel.
    int widthFlag() const { return m_widthFlag; }

    // The code store opened at show (nullptr before, or when it could not be opened).
    codes::CodeStore* codeStore() const { return m_store.get(); }
    // The codes of the last generation or import of this run, which the export writes.
    const codes::CodeList& codeList() const { return m_codeList; }
    ExternalSource& externalSource() { return m_external; }
    LabelJobRunner& runner() const { return *m_runner; }
    texttools::TForm3* form3() const { return m_form3; }
    TForm4* form4() const { return m_form4; }

    // The label variable answerer handed to the engine: reads the fields now.
    void answerVariable(const AnsiString& name, std::optional<LabelValue>& value) const;
    LabelFields labelFields() const;

    void showPage(const QString& name);

public slots:
    void SpeedButton1Click();   // "流 程"
    void SpeedButton2Click();   // "钥 匙"
    void SpeedButton3Click();   // "系 统"
    void SpeedButton4Click();   // "设 计": design job
    void SpeedButton5Click();   // "打 印": print job
    void SpeedButton6Click();   // "外部库"
    void cxButtonEdit1PropertiesButtonClick();   // template choice
    void Label9Click();         // "二维码－>": the 2D-code panel
    void Label19Click();        // "帮 助"
    void Label20Click();        // "关 于"
    void Label21Click();        // "下载更多模板"
    void Button1Click();        // "生成防伪序号"
    void Button2Click();        // "删除列表序号"
    void Button3Click();        // "备份到文本>>": export
    void Button4Click();        // "导入文本序号": import
    void Button5Click();        // "文本分割工具"
    void Button6Click();        // "应用防伪序列"
    void Button7Click();        // "选择数据库"
    void Button8Click();        // "连接数据库"

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    class Busy;
    class JobRunning;
    QWidget* buildFlowPage();
    QWidget* buildLabelPage();
    QWidget* buildCodePage();
    QWidget* buildExternalPage();
    QWidget* buildAboutPage();
    void buildCodePanel();
    void buildFooter();
    void setWindowWidth(int width);

    void FormShow();
    void readSettings();
    void writeSettings();
    void openCodeStore();
    bool requireStore();
    codes::Progress progress(bool countDown);
    void setProgress(std::int64_t position, std::int64_t total);
    LabelJobSources sources() const;
    void showError(const QString& text);

    std::unique_ptr<LabelJobRunner> m_runner;
    std::unique_ptr<codes::CodeStore> m_store;
    codes::CodeList m_codeList;
    ExternalSource m_external;
    CodeGridModel* m_grid;
    texttools::TForm3* m_form3;
    TForm4* m_form4;
    int m_widthFlag = 0;
    bool m_shown = false;
    bool m_busy = false;
    bool m_closePending = false;

    PictureButton* Image2;
    NavButton* SpeedButton1;
    NavButton* SpeedButton2;
    NavButton* SpeedButton3;
    NavButton* SpeedButton4;
    NavButton* SpeedButton5;
    NavButton* SpeedButton6;
    QStackedWidget* Notebook1;
    QLineEdit* cxButtonEdit1;
    QLineEdit* cxTextEdit2;
    QLineEdit* cxTextEdit5;
    QLineEdit* cxTextEdit3;
    QLineEdit* cxTextEdit1;
    QLineEdit* cxTextEdit4;
    LinkLabel* Label9;
    QWidget* Panel1;
    QPlainTextEdit* cxMemo1;
    QLineEdit* Edit1;
    CalcEdit* cxCalcEdit1;
    QPushButton* Button1;
    QPushButton* Button2;
    QProgressBar* ProgressBar1;
    QTableView* DBGrid1;
    QPushButton* Button3;
    QPushButton* Button4;
    QPushButton* Button5;
    QPushButton* Button6;
    QTableView* DBGrid2;
    QPushButton* Button7;
    QComboBox* ComboBox1;
    QPushButton* Button8;
    QPlainTextEdit* Memo2;
    QLabel* Label17;
    QLabel* Label18;
    LinkLabel* Label19;
    LinkLabel* Label20;
    LinkLabel* Label21;
    QLabel* Label22;
};

} // namespace mirel::app
