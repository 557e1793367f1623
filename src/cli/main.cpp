#include "cli/Cli.h"

#include "barcode/TfrBarCodeView.h"
#include "core/Runtime.h"
#include "pdf417/Tfr2BarCodePDFView.h"

#include <QGuiApplication>
#include <cstdlib>

int main(int argc, char** argv) {
    // No window is ever shown: without a display, draw on the offscreen platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    mirel::core::ensureRuntimeFolder();
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mirel-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MIREL_VERSION));
    // Templates and prepared reports name the barcode objects by class.
    mirel::barcode::registerBarcodeObjects();
    mirel::pdf417::registerPdf417Objects();
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return mirel::cli::runCli(args);
}
