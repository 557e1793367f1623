// mirel-cli print: a print job without a window. Loads a template, answers the
// label variables from --var, a system.ini or the main window's initial texts,
// limits the code store to the quantity, prepares the labels and writes them
// out: as a prepared report (.frp), a PDF file, PNG pages or to a printer, any
// of them together.

#include "cli/Cli.h"
#include "cli/Command.h"
#include "codes/CodeStore.h"
#include "core/Encoding.h"
#include "core/Files.h"
#include "core/HomeFolder.h"
#include "core/Numbers.h"
#include "engine/LabelJob.h"
#include "engine/PageOutput.h"
#include "engine/Printers.h"
#include "template/PreparedReport.h"

#include <QFileInfo>
#include <QPrinterInfo>
#include <memory>
#include <optional>
#include <vector>

namespace mirel::cli {

namespace {

// The reader's messages and the password question, for a job that must not go
// on with a template the reader refused.
class PrintHost final : public tmpl::TemplateHost {
public:
    explicit PrintHost(std::optional<AnsiString> password) : m_password(std::move(password)) {}

    void ShowError(const QString& text, const QString& caption) override {
        QString oneLine = text;
        oneLine.replace(QLatin1Char('\r'), QLatin1Char(' '));
        m_message = caption + QStringLiteral(": ") + oneLine.trimmed();
    }
    std::optional<AnsiString> AskPassword() override {
        m_asked = true;
        return m_password;
    }

    // Why the template was not loaded, for one line on stderr.
    QString Reason(const QString& path) const {
        if (!m_message.isEmpty())
            return QStringLiteral("%1: %2").arg(path, m_message);
        if (m_asked && !m_password)
            return QStringLiteral("%1: the template is password protected; give its password with --password").arg(path);
        return QStringLiteral("%1: wrong password, the template was not loaded").arg(path);
    }

private:
    std::optional<AnsiString> m_password;
    QString m_message;
    bool m_asked = false;
};

int fail(const QString& message) {
    printError(message);
    return kExitFailure;
}

} // namespace

int runPrint(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs a print job: prepares the labels of TEMPLATE over the code store (or an external table) "
        "and writes them as a PDF file (-o), PNG pages (--png), to a printer (--printer) or as a prepared report "
        "(--frp); several outputs may be given together. Prints {\"pages\":P,\"labels\":L}; objects that "
        "failed to paint are listed on stderr and exit with 1."));
    const QCommandLineOption db(QStringLiteral("db"),
                                QStringLiteral("The code store (default: dbno.csh in the home folder)."),
                                QStringLiteral("FILE"));
    const QCommandLineOption quantity(QStringLiteral("quantity"),
                                      QStringLiteral("Labels to print at most from the code store (default 100)."),
                                      QStringLiteral("N"));
    const QCommandLineOption var(QStringLiteral("var"),
                                 QStringLiteral("A label variable as typed into its field (repeatable): "
                                                "条形码编号, 编头, 编尾, 数量, 数据扩充1, 数据扩充2, 二维码."),
                                 QStringLiteral("NAME=VALUE"));
    const QCommandLineOption settings(QStringLiteral("settings"),
                                      QStringLiteral("A system.ini whose section kz gives the label data."),
                                      QStringLiteral("system.ini"));
    const QCommandLineOption frp(QStringLiteral("frp"), QStringLiteral("The prepared report to write."),
                                 QStringLiteral("OUT.frp"));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The PDF file to write."), QStringLiteral("OUT.pdf"));
    const QCommandLineOption png(QStringLiteral("png"), QStringLiteral("The folder for the PNG pages (page-0001.png, ...)."),
                                 QStringLiteral("DIR"));
    const QCommandLineOption dpi(QStringLiteral("dpi"), QStringLiteral("Resolution of the PNG pages (default 300)."),
                                 QStringLiteral("D"), QStringLiteral("300"));
    const QCommandLineOption printer(QStringLiteral("printer"),
                                     QStringLiteral("An installed printer to send the labels to; its paper and "
                                                    "printable area are used for the layout."),
                                     QStringLiteral("NAME"));
    const QCommandLineOption external(QStringLiteral("external"),
                                      QStringLiteral("Qt Sql driver of an external table (QSQLITE, QPSQL, QODBC, ...)."),
                                      QStringLiteral("DRIVER"));
    const QCommandLineOption connection(QStringLiteral("connection"),
                                        QStringLiteral("The external database: an SQLite file, an ODBC connection "
                                                       "string, or Host=..;Port=..;User=..;Password=..;Database=.."),
                                        QStringLiteral("TEXT"));
    const QCommandLineOption table(QStringLiteral("table"), QStringLiteral("The external table."),
                                   QStringLiteral("NAME"));
    const QCommandLineOption password(QStringLiteral("password"),
                                      QStringLiteral("Answer to the template's password question."),
                                      QStringLiteral("P"));
    parser.addOptions({db, quantity, var, settings, output, png, dpi, printer, frp, external, connection, table, password});
    parser.addPositionalArgument(QStringLiteral("TEMPLATE"), QStringLiteral("The label template (.frf)."));
    if (const int rc = parseArguments(parser, QStringLiteral("print"), args); rc >= 0)
        return rc;
    if (parser.positionalArguments().size() != 1) {
        printError(QStringLiteral("print: give exactly one TEMPLATE"));
        return kExitUsage;
    }
    if (!parser.isSet(output) && !parser.isSet(png) && !parser.isSet(printer) && !parser.isSet(frp)) {
        printError(QStringLiteral("print: give an output: -o OUT.pdf, --png DIR, --printer NAME or --frp OUT.frp"));
        return kExitUsage;
    }
    if (parser.isSet(dpi) && !parser.isSet(png)) {
        printError(QStringLiteral("print: --dpi goes with --png"));
        return kExitUsage;
    }
    long long resolution = 300;
    if (!optionInteger(parser, QStringLiteral("dpi"), resolution))
        return kExitUsage;
    if (resolution < 1 || resolution > 2400) {
        printError(QStringLiteral("--dpi: %1 is not between 1 and 2400").arg(resolution));
        return kExitUsage;
    }
    const bool anyExternal = parser.isSet(external) || parser.isSet(connection) || parser.isSet(table);
    if (anyExternal && !(parser.isSet(external) && parser.isSet(connection) && parser.isSet(table))) {
        printError(QStringLiteral("print: an external table needs --external, --connection and --table"));
        return kExitUsage;
    }
    const QString templatePath = parser.positionalArguments().front();

    engine::LabelJob job;
    if (parser.isSet(settings)) {
        try {
            engine::applySystemIni(job.Fields, core::readFileBytes(parser.value(settings)));
        } catch (const core::FileError& e) {
            return fail(QString::fromUtf8(e.what()));
        }
    }
    for (const QString& assignment : parser.values(var)) {
        const qsizetype eq = assignment.indexOf(QLatin1Char('='));
        if (eq <= 0) {
            printError(QStringLiteral("--var %1: give NAME=VALUE").arg(assignment));
            return kExitUsage;
        }
        const QString name = assignment.left(eq);
        try {
            if (!engine::setLabelVariable(job.Fields, core::fromUnicode(name), core::fromUnicode(assignment.mid(eq + 1)))) {
                printError(QStringLiteral("--var %1: not a label variable that can be set "
                                          "(条形码编号, 编头, 编尾, 数量, 数据扩充1, 数据扩充2, 二维码)")
                               .arg(name));
                return kExitUsage;
            }
        } catch (const core::ConversionError& e) {
            printError(QStringLiteral("--var %1: %2").arg(name, QString::fromUtf8(e.what())));
            return kExitUsage;
        }
    }
    if (parser.isSet(quantity)) {
        const std::optional<double> n = core::tryParseDecimal(core::fromUnicode(parser.value(quantity)));
        if (!n) {
            printError(QStringLiteral("--quantity: '%1' is not a number").arg(parser.value(quantity)));
            return kExitUsage;
        }
        job.Fields.quantity = *n;
    }

    if (!QFileInfo(templatePath).isFile())
        return fail(QStringLiteral("%1: no such file").arg(templatePath));
    // A printer is checked before anything is prepared, and made current before
    // the template is read, so the pages take the paper it provides and the
    // labels keep clear of what it cannot print.
    if (parser.isSet(printer)) {
        const QString name = parser.value(printer);
        const QStringList installed = QPrinterInfo::availablePrinterNames();
        if (!installed.contains(name)) {
            return fail(installed.isEmpty()
                            ? QStringLiteral("%1: no such printer; no printer is installed").arg(name)
                            : QStringLiteral("%1: no such printer; the installed printers: %2")
                                  .arg(name, installed.join(QStringLiteral(", "))));
        }
        engine::QtPrinterLayer& layer = engine::installSystemPrinters();
        if (!layer.SelectPrinter(name))
            return fail(QStringLiteral("%1: the printer cannot be used").arg(name));
    }
    const QString dbPath = parser.isSet(db) ? parser.value(db) : core::homePath(QStringLiteral("dbno.csh"));
    // A code store named on the command line must exist: a missing one would be
    // created empty and print no label.
    if (parser.isSet(db) && !QFileInfo(dbPath).isFile())
        return fail(QStringLiteral("%1: no such file").arg(dbPath));

    std::unique_ptr<codes::CodeStore> store;
    try {
        store = std::make_unique<codes::CodeStore>(dbPath);
    } catch (const std::exception& e) {
        return fail(QString::fromUtf8(e.what()));
    }
    job.CodeStoreAdapter.SetStore(store.get());
    if (anyExternal) {
        try {
            job.ExternalAdapter.Open({parser.value(external), parser.value(connection), parser.value(table)});
        } catch (const engine::DatasetError& e) {
            return fail(QString::fromUtf8(e.what()));
        }
    }

    PrintHost host(parser.isSet(password) ? std::optional(core::fromUnicode(parser.value(password))) : std::nullopt);
    tmpl::LoadResult load;
    job.LoadTemplate(templatePath, host, &load);
    if (load.messageShown)
        return fail(host.Reason(templatePath));
    // A template that names its own printer made that one current as it was
    // read; the pages are laid out for the printer they go to.
    if (parser.isSet(printer))
        tmpl::printers().SelectPrinter(parser.value(printer));

    tmpl::TfrPreparedPages pages;
    engine::PrepareResult result;
    try {
        result = job.PrintLoaded(pages);
    } catch (const std::exception& e) {
        return fail(QStringLiteral("%1: %2").arg(templatePath, QString::fromUtf8(e.what())));
    }
    if (!result.built)
        return fail(QStringLiteral("%1: the template has no report page to print").arg(templatePath));
    for (const std::string& warning : result.warnings)
        printError(QStringLiteral("warning: %1, printed as \"0\"").arg(QString::fromUtf8(warning)));
    if (result.failedBarcodeTexts > static_cast<std::int64_t>(result.warnings.size()))
        printError(QStringLiteral("warning: %1 barcode texts in all could not be evaluated")
                       .arg(result.failedBarcodeTexts));

    if (parser.isSet(frp)) {
        try {
            core::writeFileAtomically(parser.value(frp), pages.SaveToBytes(job.Report));
        } catch (const core::FileError& e) {
            return fail(QString::fromUtf8(e.what()));
        }
    }

    std::vector<std::unique_ptr<engine::PageSink>> sinks;
    if (parser.isSet(output))
        sinks.push_back(engine::pdfOutput(parser.value(output), QFileInfo(templatePath).completeBaseName()));
    if (parser.isSet(png))
        sinks.push_back(engine::pngOutput(parser.value(png), static_cast<int>(resolution)));
    if (parser.isSet(printer)) {
        engine::PrintOptions options;
        options.jobName = QFileInfo(templatePath).completeBaseName();
        std::unique_ptr<engine::PageSink> sink = engine::printerOutput(parser.value(printer), options);
        if (!sink)
            return fail(QStringLiteral("%1: no such printer").arg(parser.value(printer)));
        sinks.push_back(std::move(sink));
    }
    // Every output paints the same pages, so an object that fails, fails in
    // each: it is listed once.
    bool listed = false;
    bool failed = false;
    for (const auto& sink : sinks) {
        const engine::OutputReport report = engine::writePages(pages.Pages, *sink);
        if (!listed) {
            for (const tmpl::PaintFailure& failure : report.failures)
                printError(engine::describeFailure(failure));
            failed = !report.failures.empty();
            listed = true;
        }
        if (!report.error.isEmpty())
            return fail(report.error);
    }
    // The keys in this order (a QJsonObject would sort them).
    printLine(QStringLiteral("{\"pages\":%1,\"labels\":%2}").arg(result.pages).arg(result.labels));
    return failed ? kExitFailure : kExitOk;
}

} // namespace mirel::cli
