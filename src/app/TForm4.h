#pragma once
// The code backup window "应用防伪序列": its button "应用防伪数据" copies the code
// store's database file to a backup the operator names. The product fields and
// the test group beside it are for the operator's notes; they do nothing.
//
// Created once by the main window and shown non-modally (show(), raise()).

#include <QWidget>

class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace mirel::codes {
class CodeStore;
}

namespace mirel::app {

inline constexpr char kBackupTitle[] = "应用防伪序列";
inline constexpr int kBackupWidth = 493;
inline constexpr int kBackupHeight = 340;

class TForm4 : public QWidget {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);

    // The store to back up (not owned; nullptr when it could not be opened).
    void setCodeStore(codes::CodeStore* store) { m_store = store; }

public slots:
    void Button1Click();   // "应用防伪数据"

signals:
    // Around the whole backup, so the code grid stops reading the store while
    // it is closed for the copy and shows it again afterwards.
    void backupStarting();
    void backupFinished();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    codes::CodeStore* m_store = nullptr;
    QPushButton* Button1;
    QLineEdit* Edit1;        // 产品名称
    QDateEdit* DateEdit1;    // 生产日期
    QLineEdit* Edit2;        // 产品批号
    QGroupBox* GroupBox1;    // 测试
    QLineEdit* Edit3;        // 输入防伪码
    QPushButton* Button2;    // 验证
    QLabel* Label5;          // 验证结果:
};

} // namespace mirel::app
