#include "app/TForm1.h"

namespace mirel::app {

TForm1::TForm1(QWidget* parent) : QWidget(parent, Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QString::fromUtf8(kMainCaption));
    resize(540, 400);
}

} // namespace mirel::app
