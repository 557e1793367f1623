// mirel-cli split and arrange: the serial text tools on files of any size.

#include "cli/Cli.h"
#include "cli/Command.h"
#include "core/Files.h"
#include "texttools/Arrange.h"
#include "texttools/Split.h"
#include "texttools/TextFile.h"

namespace mirel::cli {
namespace {

// The single FILE argument, or a usage error printed.
bool onlyFile(const QCommandLineParser& parser, const QString& name, QString& file) {
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        printError(QStringLiteral("%1: give exactly one FILE (see mirel-cli %1 --help)").arg(name));
        return false;
    }
    file = positional[0];
    return true;
}

// Runs a file job; the faults of the input and of the files end it with one line.
template <class Job>
int runJob(const QString& name, Job job) {
    try {
        job();
        return kExitOk;
    } catch (const texttools::TextToolError& e) {
        printError(name + QStringLiteral(": ") + QString::fromUtf8(e.what()));
    } catch (const core::FileError& e) {
        printError(name + QStringLiteral(": ") + QString::fromUtf8(e.what()));
    }
    return kExitFailure;
}

} // namespace

int runSplit(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Cuts a text file of serials into pieces. Lines S to E go to OUT; with --auto every\n"
        "piece of that length from S on is written beside FILE, named by the number of its\n"
        "last line followed by FILE's name (500list.txt, 1000list.txt, ...), and the names\n"
        "written are printed. Lines past the end of FILE are empty. Pieces are code page\n"
        "text (GB18030), each line followed by CR LF; a UTF-8 FILE is converted."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The text file to split."));
    const QCommandLineOption start(QStringLiteral("start"), QStringLiteral("First line of the piece (1-based)."), QStringLiteral("S"));
    const QCommandLineOption end(QStringLiteral("end"), QStringLiteral("Last line of the piece."), QStringLiteral("E"));
    const QCommandLineOption automatic(QStringLiteral("auto"), QStringLiteral("Write every piece of that length beside FILE."));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The piece file (exact name; without --auto)."), QStringLiteral("OUT"));
    parser.addOptions({start, end, automatic, output});
    if (const int rc = parseArguments(parser, QStringLiteral("split"), args); rc >= 0)
        return rc;
    QString file;
    if (!onlyFile(parser, QStringLiteral("split"), file))
        return kExitUsage;
    if (!parser.isSet(start) || !parser.isSet(end)) {
        printError(QStringLiteral("split: --start and --end are required"));
        return kExitUsage;
    }
    long long first = 0;
    long long last = 0;
    if (!optionInteger(parser, QStringLiteral("start"), first) || !optionInteger(parser, QStringLiteral("end"), last))
        return kExitUsage;
    if (first < 1) {
        printError(QStringLiteral("split: --start must be 1 or more"));
        return kExitUsage;
    }
    if (last < first) {
        printError(QStringLiteral("split: --end must not be before --start"));
        return kExitUsage;
    }
    const bool isAuto = parser.isSet(automatic);
    if (isAuto == parser.isSet(output)) {
        printError(isAuto ? QStringLiteral("split: --auto writes beside FILE and takes no -o")
                          : QStringLiteral("split: -o OUT is required without --auto"));
        return kExitUsage;
    }
    return runJob(QStringLiteral("split"), [&] {
        if (isAuto)
            texttools::splitAutomatically(file, first, last, [](const QString& name) { printLine(name); });
        else
            texttools::writePiece(file, first, last, parser.value(output));
    });
}

int runArrange(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Arranges serials in print order for P pages of L labels: label position c of page r\n"
        "gets serial (c - 1) * P + r. OUT lists the serials page by page, without surrounding\n"
        "blanks, as code page text (GB18030) with CR LF; labels past the end of a short FILE\n"
        "are empty lines."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The serials, one per line."));
    const QCommandLineOption pages(QStringLiteral("pages"), QStringLiteral("Number of pages P."), QStringLiteral("P"));
    const QCommandLineOption labels(QStringLiteral("labels"), QStringLiteral("Labels per page L."), QStringLiteral("L"));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The arranged list (exact name)."), QStringLiteral("OUT"));
    parser.addOptions({pages, labels, output});
    if (const int rc = parseArguments(parser, QStringLiteral("arrange"), args); rc >= 0)
        return rc;
    QString file;
    if (!onlyFile(parser, QStringLiteral("arrange"), file))
        return kExitUsage;
    if (!parser.isSet(pages) || !parser.isSet(labels) || !parser.isSet(output)) {
        printError(QStringLiteral("arrange: --pages, --labels and -o are required"));
        return kExitUsage;
    }
    long long p = 0;
    long long l = 0;
    if (!optionInteger(parser, QStringLiteral("pages"), p) || !optionInteger(parser, QStringLiteral("labels"), l))
        return kExitUsage;
    if (p < 1 || l < 1) {
        printError(QStringLiteral("arrange: --%1 must be a whole number above 0").arg(p < 1 ? "pages" : "labels"));
        return kExitUsage;
    }
    return runJob(QStringLiteral("arrange"), [&] {
        const std::int64_t serials = texttools::arrangeFile(file, p, l, parser.value(output));
        if (serials < static_cast<std::int64_t>(p) * l)
            printError(QStringLiteral("arrange: %1 holds %2 serials for %3 labels; the last %4 labels are empty")
                           .arg(file).arg(serials).arg(static_cast<std::int64_t>(p) * l)
                           .arg(static_cast<std::int64_t>(p) * l - serials));
    });
}

} // namespace mirel::cli
