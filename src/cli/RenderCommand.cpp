// mirel-cli render: paints a prepared report file (.frp) into a PDF file or one
// PNG file a page.

#include "cli/Cli.h"
#include "cli/Command.h"
#include "core/Files.h"
#include "engine/PageOutput.h"
#include "template/PreparedReport.h"
#include "template/TfrReport.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace mirel::cli {

int runRender(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Paints the pages of a prepared report file (.frp) into a PDF file (-o) or into PNG files, one a page "
        "(--png). Prints {\"pages\":P}; objects that failed to paint are listed on stderr and exit with 1."));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The PDF file to write."), QStringLiteral("OUT.pdf"));
    const QCommandLineOption png(QStringLiteral("png"), QStringLiteral("The folder for the PNG pages (page-0001.png, ...)."),
                                 QStringLiteral("DIR"));
    const QCommandLineOption dpi(QStringLiteral("dpi"), QStringLiteral("Resolution of the PNG pages (default 300)."),
                                 QStringLiteral("D"), QStringLiteral("300"));
    parser.addOption(output);
    parser.addOption(png);
    parser.addOption(dpi);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The prepared report file (.frp)."));
    if (const int rc = parseArguments(parser, QStringLiteral("render"), args); rc >= 0)
        return rc;
    if (parser.positionalArguments().size() != 1) {
        printError(QStringLiteral("render: give exactly one FILE"));
        return kExitUsage;
    }
    if (parser.isSet(output) == parser.isSet(png)) {
        printError(QStringLiteral("render: give either -o OUT.pdf or --png DIR"));
        return kExitUsage;
    }
    if (parser.isSet(dpi) && !parser.isSet(png)) {
        printError(QStringLiteral("render: --dpi goes with --png"));
        return kExitUsage;
    }
    long long resolution = 300;
    if (!optionInteger(parser, QStringLiteral("dpi"), resolution))
        return kExitUsage;
    if (resolution < 1 || resolution > 2400) {
        printError(QStringLiteral("--dpi: %1 is not between 1 and 2400").arg(resolution));
        return kExitUsage;
    }

    const QString path = parser.positionalArguments().front();
    if (!QFileInfo::exists(path)) {
        printError(QStringLiteral("%1: no such file").arg(path));
        return kExitFailure;
    }
    const std::string bytes = core::readFileBytes(path);
    tmpl::TfrReport report;
    tmpl::TfrPreparedPages prepared;
    const tmpl::PreparedLoadResult load = prepared.LoadFromBytes(bytes, report);
    if (load.compression == 1 && !prepared.Pages.empty()) {
        // Blank pages written as if they were the labels would hide the loss.
        printError(QStringLiteral("%1: its pages are compressed, which this program cannot read; nothing written")
                       .arg(path));
        return kExitFailure;
    }

    std::unique_ptr<engine::PageSink> sink =
        parser.isSet(output) ? engine::pdfOutput(parser.value(output), QFileInfo(path).completeBaseName())
                             : engine::pngOutput(parser.value(png), static_cast<int>(resolution));
    const engine::OutputReport result = engine::writePages(prepared.Pages, *sink);
    for (const tmpl::PaintFailure& failure : result.failures)
        printError(engine::describeFailure(failure));
    if (!result.error.isEmpty()) {
        printError(result.error);
        return kExitFailure;
    }
    printLine(QString::fromUtf8(
        QJsonDocument(QJsonObject{{QStringLiteral("pages"), result.pages}}).toJson(QJsonDocument::Compact)));
    return result.failures.empty() ? kExitOk : kExitFailure;
}

} // namespace mirel::cli
