#include "cli/Cli.h"

#include "core/Runtime.h"

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
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return mirel::cli::runCli(args);
}
