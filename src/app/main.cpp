#include "app/TForm1.h"

#include "core/Runtime.h"

#include <QApplication>

int main(int argc, char** argv) {
    mirel::core::ensureRuntimeFolder();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mirel"));
    QApplication::setApplicationDisplayName(QString::fromUtf8(mirel::app::kApplicationTitle));
    QApplication::setApplicationVersion(QStringLiteral(MIREL_VERSION));
    mirel::app::TForm1 form;
    form.show();
    return app.exec();
}
