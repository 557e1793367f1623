#pragma once
// The main window: label data, the code store page, the external data source.

#include <QWidget>

namespace mirel::app {

// Window caption; with no title bar it is shown on the about page.
inline constexpr char kMainCaption[] = "mirel条形码编辑打印软件 8.0713";
// Application title: the task-bar text and the name of the single-instance lock.
inline constexpr char kApplicationTitle[] = "mirel标签设计";

class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
};

} // namespace mirel::app
