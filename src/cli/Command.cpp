#include "cli/Command.h"

#include "cli/Cli.h"
#include "core/Numbers.h"

#include <cstdio>

namespace mirel::cli {

void printRaw(std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

void printLine(const QString& line) {
    const QByteArray utf8 = line.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stdout);
    std::fputc('\n', stdout);
}

void printError(const QString& message) {
    std::fflush(stdout);
    const QByteArray utf8 = (QStringLiteral("mirel-cli: ") + message).toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stderr);
    std::fputc('\n', stderr);
}

int parseArguments(QCommandLineParser& parser, const QString& name, const QStringList& args) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help."));
    parser.addOption(help);
    QStringList argv = args;
    argv.prepend(QStringLiteral("mirel-cli ") + name);
    if (!parser.parse(argv)) {
        printError(name + QStringLiteral(": ") + parser.errorText());
        return kExitUsage;
    }
    if (parser.isSet(help)) {
        // The parser names the executable alone; name the subcommand too.
        QString text = parser.helpText();
        const qsizetype afterUsage = text.indexOf(QLatin1Char(' '), 7);
        if (text.startsWith(QLatin1String("Usage: ")) && afterUsage > 0)
            text.replace(0, afterUsage, QStringLiteral("Usage: mirel-cli ") + name);
        printRaw(text.toStdString());
        return kExitOk;
    }
    return -1;
}

bool optionInteger(const QCommandLineParser& parser, const QString& option, long long& value) {
    const QString text = parser.value(option);
    if (const auto v = core::tryParseInteger(text.toStdString())) {
        value = *v;
        return true;
    }
    printError(QStringLiteral("--%1: '%2' is not a whole number").arg(option, text));
    return false;
}

} // namespace mirel::cli
