// mirel-cli codes: the code store without a window (generate, delete, count,
// list, import, export, backup).

#include "cli/Cli.h"
#include "cli/Command.h"
#include "codes/CodeStore.h"
#include "core/Encoding.h"
#include "core/Files.h"
#include "core/HomeFolder.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace mirel::cli {
namespace {

const QCommandLineOption& dbOption() {
    static const QCommandLineOption option(QStringLiteral("db"),
                                           QStringLiteral("The code store (default: dbno.csh in the home folder)."),
                                           QStringLiteral("FILE"));
    return option;
}

QString storePath(const QCommandLineParser& parser) {
    return parser.isSet(dbOption()) ? parser.value(dbOption()) : core::homePath(QStringLiteral("dbno.csh"));
}

// Progress on stderr, only when a person watches it there: "generate 40960/1000000".
// Redrawn at most ten times a second.
codes::Progress terminalProgress(const QString& what) {
    if (!::isatty(STDERR_FILENO))
        return {};
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [what, timer](std::int64_t done, std::int64_t total) {
        if (done == total || timer->elapsed() >= 100) {
            timer->restart();
            const QByteArray text = QStringLiteral("\r%1 %2/%3").arg(what).arg(done).arg(total).toUtf8();
            std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stderr);
            if (done == total)
                std::fputc('\n', stderr);
            std::fflush(stderr);
        }
        return true;
    };
}

// Exactly one positional argument, else a usage error.
std::optional<QString> onePositional(const QCommandLineParser& parser, const QString& name, const char* what) {
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        printError(QStringLiteral("codes %1: expects one %2").arg(name, QLatin1String(what)));
        return std::nullopt;
    }
    return positional.first();
}

// A file about to be written: its folder must exist and be writable, so that a
// command fails before it changes the store rather than after.
bool writableTarget(const QString& path, const QString& option) {
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    if (info.isDir() || !folder.isDir() || !folder.isWritable()) {
        printError(QStringLiteral("%1: cannot write %2").arg(option, path));
        return false;
    }
    return true;
}

int runGenerate(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Replaces the store's codes with COUNT fresh codes from SEED, numbered 1..COUNT."));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed text (converted to the code page)."),
                                  QStringLiteral("TEXT"));
    const QCommandLineOption count(QStringLiteral("count"), QStringLiteral("Number of codes, 0 or more."),
                                   QStringLiteral("N"));
    const QCommandLineOption list(QStringLiteral("list"),
                                  QStringLiteral("Also write the code list (lines \"k code\", CR LF) to FILE."),
                                  QStringLiteral("FILE"));
    parser.addOptions({dbOption(), seed, count, list});
    if (const int rc = parseArguments(parser, QStringLiteral("codes generate"), args); rc >= 0)
        return rc;
    if (!parser.isSet(seed) || !parser.isSet(count)) {
        printError(QStringLiteral("codes generate: --seed and --count are required"));
        return kExitUsage;
    }
    std::int64_t n = 0;
    try {
        n = codes::parseQuantity(parser.value(count).toStdString());
    } catch (const codes::CodeStoreError& e) {
        printError(QStringLiteral("--count: ") + QString::fromUtf8(e.what()));
        return kExitUsage;
    }
    if (parser.isSet(list) && !writableTarget(parser.value(list), QStringLiteral("--list")))
        return kExitFailure;
    codes::CodeStore store(storePath(parser));
    codes::CodeList codeList;
    store.generate(core::fromUnicode(parser.value(seed)), n, codeList, terminalProgress(QStringLiteral("generate")));
    if (parser.isSet(list))
        codes::exportCodeList(parser.value(list), codeList);
    return kExitOk;
}

int runDelete(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Deletes every code of the store."));
    parser.addOption(dbOption());
    if (const int rc = parseArguments(parser, QStringLiteral("codes delete"), args); rc >= 0)
        return rc;
    codes::CodeStore store(storePath(parser));
    store.deleteAll();
    return kExitOk;
}

int runCount(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Prints the number of codes in the store."));
    parser.addOption(dbOption());
    if (const int rc = parseArguments(parser, QStringLiteral("codes count"), args); rc >= 0)
        return rc;
    const codes::CodeStore store(storePath(parser));
    printLine(QString::number(store.count()));
    return kExitOk;
}

int runList(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints the store's records in ID order, one a line: ID, NO, key0, key1 separated by TABs (UTF-8)."));
    const QCommandLineOption limit(QStringLiteral("limit"), QStringLiteral("Print at most N records."),
                                   QStringLiteral("N"));
    parser.addOptions({dbOption(), limit});
    if (const int rc = parseArguments(parser, QStringLiteral("codes list"), args); rc >= 0)
        return rc;
    long long most = -1;
    if (parser.isSet(limit)) {
        if (!optionInteger(parser, QStringLiteral("limit"), most))
            return kExitUsage;
        if (most < 0) {
            printError(QStringLiteral("--limit: must be 0 or more"));
            return kExitUsage;
        }
    }
    const codes::CodeStore store(storePath(parser));
    std::string line;
    for (codes::CodeReader reader = store.reader(most); !reader.atEnd(); reader.next()) {
        const codes::CodeRecord& r = reader.current();
        line = std::to_string(r.id);
        for (const AnsiString* field : {&r.no, &r.key0, &r.key1}) {
            line += '\t';
            line += core::toUtf8(*field);
        }
        line += '\n';
        printRaw(line);
    }
    return kExitOk;
}

int runImport(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Replaces the store's codes with the lines of FILE: NO, key0 and key1 separated by a TAB or a space."));
    parser.addOption(dbOption());
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Text file, UTF-8 or GB18030."));
    if (const int rc = parseArguments(parser, QStringLiteral("codes import"), args); rc >= 0)
        return rc;
    const auto file = onePositional(parser, QStringLiteral("import"), "FILE");
    if (!file)
        return kExitUsage;
    // Read before the store is opened, so that a missing file creates nothing.
    const std::string bytes = core::readFileBytes(*file);
    codes::CodeStore store(storePath(parser));
    codes::CodeList codeList;
    store.importBytes(bytes, codeList, terminalProgress(QStringLiteral("import")));
    return kExitOk;
}

int runExport(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes every record of the store, one a line: NO, a space and key1 when key0 is empty, "
        "otherwise NO TAB key0 TAB key1 (GB18030, CR LF)."));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The file to write."), QStringLiteral("FILE"));
    parser.addOptions({dbOption(), output});
    if (const int rc = parseArguments(parser, QStringLiteral("codes export"), args); rc >= 0)
        return rc;
    if (!parser.isSet(output)) {
        printError(QStringLiteral("codes export: -o FILE is required"));
        return kExitUsage;
    }
    const codes::CodeStore store(storePath(parser));
    store.exportTo(parser.value(output));
    return kExitOk;
}

int runBackup(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Copies the store's database file to TARGET, which must not exist yet."));
    parser.addOption(dbOption());
    parser.addPositionalArgument(QStringLiteral("TARGET"), QStringLiteral("The backup file to create."));
    if (const int rc = parseArguments(parser, QStringLiteral("codes backup"), args); rc >= 0)
        return rc;
    const auto target = onePositional(parser, QStringLiteral("backup"), "TARGET");
    if (!target)
        return kExitUsage;
    try {
        codes::CodeStore store(storePath(parser));
        store.backupTo(*target);
    } catch (const codes::CodeStoreError& e) {
        printLine(QStringLiteral("备份失败！"));
        printError(QString::fromUtf8(e.what()));
        return kExitFailure;
    }
    printLine(QStringLiteral("备份成功！"));
    return kExitOk;
}

struct Subcommand {
    const char* name;
    const char* summary;
    int (*run)(const QStringList& args);
};

constexpr Subcommand kSubcommands[] = {
    {"generate", "--seed TEXT --count N [--list FILE]: replace the codes with N fresh ones", runGenerate},
    {"delete", "delete every code", runDelete},
    {"count", "print the number of codes", runCount},
    {"list", "[--limit N]: print the records (ID, NO, key0, key1; TABs, UTF-8)", runList},
    {"import", "FILE: replace the codes with the lines of a text file", runImport},
    {"export", "-o FILE: write every record as a text line (GB18030, CR LF)", runExport},
    {"backup", "TARGET: copy the database file to a new file", runBackup},
};

void printCodesUsage() {
    QString text = QStringLiteral(
        "Usage: mirel-cli codes SUBCOMMAND [--db FILE] [ARGS...]\n"
        "\n"
        "The anti-counterfeit code store (table reg of an SQLite file; --db FILE,\n"
        "default dbno.csh in the home folder, created when missing).\n"
        "\n"
        "Subcommands:\n");
    for (const Subcommand& sub : kSubcommands)
        text += QStringLiteral("  %1%2\n").arg(QString::fromLatin1(sub.name), -10).arg(QString::fromUtf8(sub.summary));
    text += QStringLiteral("\n'mirel-cli codes SUBCOMMAND --help' describes one.");
    printLine(text);
}

} // namespace

int runCodes(const QStringList& args) {
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        printCodesUsage();
        return args.isEmpty() ? kExitUsage : kExitOk;
    }
    for (const Subcommand& sub : kSubcommands)
        if (args[0] == QLatin1String(sub.name))
            return sub.run(args.mid(1));
    printError(QStringLiteral("codes: unknown subcommand '%1' (see mirel-cli codes --help)").arg(args[0]));
    return kExitUsage;
}

} // namespace mirel::cli
