#include "app/Application.h"

#include "app/EngineLabelJobRunner.h"
#include "app/SingleInstance.h"
#include "app/StartUp.h"
#include "app/TForm1.h"
#include "core/HomeFolder.h"
#include "core/Runtime.h"
#include "core/ui/Dialogs.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QStyleFactory>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace mirel::app {
namespace {

int g_signalPipe[2] = {-1, -1};

extern "C" void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

// A request to end the program (SIGTERM at log-out, SIGINT, SIGHUP) closes the
// main window as the close picture would, so system.ini is written.
void closeOnTermination(QWidget& window) {
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char buffer[16];
        while (::read(g_signalPipe[0], buffer, sizeof buffer) > 0) {
        }
        window.close();
    });
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

} // namespace

int runApplication(int argc, char** argv) {
    core::ensureRuntimeFolder();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mirel"));
    QApplication::setApplicationDisplayName(QString::fromUtf8(kApplicationTitle));
    QApplication::setApplicationVersion(QStringLiteral(MIREL_VERSION));
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);

    const SingleInstance instance(QString::fromUtf8(kApplicationTitle));
    if (!instance.acquired()) {
        const QString text = QStringLiteral("软件已经运行!");
        std::fprintf(stderr, "mirel: %s\n", text.toUtf8().constData());
        // Without a screen nobody could answer the box.
        const QString platform = QGuiApplication::platformName();
        if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
            ui::dialogs().message(nullptr, text, QStringLiteral("重复运行"));
        return 1;
    }

    startEngine();
    prepareHomeFolder(core::homeFolder(), core::executableFolder() + QStringLiteral("/模板"));
    TForm1 form(std::make_unique<EngineLabelJobRunner>());
    QApplication::setFont(form.font());
    closeOnTermination(form);
    form.show();
    return app.exec();
}

} // namespace mirel::app
