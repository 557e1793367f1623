#include "cli/Cli.h"

#include "cli/Command.h"

#include <QCoreApplication>
#include <exception>

namespace mirel::cli {
namespace {

void printUsage() {
    QString text = QStringLiteral(
        "Usage: mirel-cli [--help] [--version] COMMAND [ARGS...]\n"
        "\n"
        "mirel label designer and printer, without a window.\n"
        "\n"
        "Commands:\n");
    for (const Command& command : commands())
        text += QStringLiteral("  %1%2\n").arg(QString::fromLatin1(command.name), -12).arg(QString::fromUtf8(command.summary));
    text += QStringLiteral("\n'mirel-cli COMMAND --help' describes a command.");
    printLine(text);
}

} // namespace

int runCli(const QStringList& args) {
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")
        || args[0] == QLatin1String("help")) {
        printUsage();
        return args.isEmpty() ? kExitUsage : kExitOk;
    }
    if (args[0] == QLatin1String("--version")) {
        printLine(QStringLiteral("mirel-cli ") + QCoreApplication::applicationVersion());
        return kExitOk;
    }
    for (const Command& command : commands()) {
        if (args[0] == QLatin1String(command.name)) {
            try {
                return command.run(args.mid(1));
            } catch (const std::exception& e) {
                printError(QString::fromUtf8(e.what()));
                return kExitFailure;
            }
        }
    }
    printError(QStringLiteral("unknown command '%1' (see mirel-cli --help)").arg(args[0]));
    return kExitUsage;
}

} // namespace mirel::cli
