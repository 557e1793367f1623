#pragma once
// The serial text tool window: "文件分割" cuts a text file of serials into pieces,
// "序号编排" arranges serials in print order for sheets of several labels.
//
// Created once and shown non-modally from the main window (show(), raise()).
// The window holds the files it shows in memory, in views that only paint the
// lines in sight; every question it asks goes through mirel::ui::dialogs().

#include "texttools/LineStore.h"

#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QSplitter;
class QStatusBar;
class QTabWidget;

namespace mirel::texttools {

class ArrangementGrid;
class LineListView;

// Title, client size and texts of the window.
inline constexpr char kToolTitle[] = "序号文本处理工具";
inline constexpr int kToolWidth = 592;
inline constexpr int kToolHeight = 450;

class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);

public slots:
    void Button1Click();   // "打开文件": open the source file
    void Button2Click();   // "分割文件": make the piece the fields describe
    void Button3Click();   // "保存分割": save the piece
    void Button4Click();   // "自动分割": write every piece beside the file last opened
    void Button5Click();   // "确 定": lay out the grid
    void Button6Click();   // "导入20位编码序列": import serials and arrange them
    void Button7Click();   // "保 存": save the arranged list

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildSplitTab(QWidget* tab);
    void buildArrangeTab(QWidget* tab);
    void MakePiece();
    bool LayOut();
    std::optional<int> readCount(QLineEdit* field);
    std::optional<QString> OpenDialogExecute();
    std::optional<QString> SaveDialogExecute();
    void reportError(const QString& message);
    void showProgress(std::int64_t position);

    QTabWidget* PageControl1;
    QLabel* Label1;
    LineListView* Memo1;
    QLabel* Label2;
    LineListView* Memo2;
    QGroupBox* GroupBox1;
    QPushButton* Button1;
    QSpinBox* cxCalcEdit1;
    QSpinBox* cxCalcEdit2;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;
    QProgressBar* ProgressBar1;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QPushButton* Button5;
    QPushButton* Button6;
    QPushButton* Button7;
    QSplitter* Splitter1;
    LineListView* Memo3;
    ArrangementGrid* StringGrid1;
    QStatusBar* StatusBar1;
    QLabel* m_panels[3];

    // The file last chosen in the shared open dialog, from either tab: its
    // folder and name are the ones the automatic split uses.
    QString m_openDialogFileName;
    QString m_sourceFileName;   // the file shown in the source list
    std::shared_ptr<const LineStore> m_source;
    // The piece list: source lines from m_pieceFirst (0-based), m_pieceCount of them.
    std::int64_t m_pieceFirst = 0;
    std::int64_t m_pieceCount = 0;
    // The arranged list: the serials of the last import, in print order.
    std::shared_ptr<const LineStore> m_arranged;
    int m_arrangedPages = 0;
    int m_arrangedLabels = 0;
    bool m_centred = false;
};

} // namespace mirel::texttools
