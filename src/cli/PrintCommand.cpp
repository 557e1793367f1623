// mirel-cli print: a print job without a window. Loads a template, answers the
// label variables from --var, a system.ini or the main window's initial texts,
// limits the code store to the quantity, prepares the labels and writes the
// prepared report (.frp).

#include "cli/Cli.h"
#include "cli/Command.h"
#include "codes/CodeStore.h"
#include "core/Encoding.h"
#include "core/Files.h"
#include "core/HomeFolder.h"
#include "core/Numbers.h"
#include "engine/LabelJob.h"
#include "template/PreparedReport.h"

#include <QFileInfo>
#include <memory>
#include <optional>

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
        "and writes the prepared report. Prints {\"pages\":P,\"labels\":L}."));
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
    parser.addOptions({db, quantity, var, settings, frp, external, connection, table, password});
    parser.addPositionalArgument(QStringLiteral("TEMPLATE"), QStringLiteral("The label template (.frf)."));
    if (const int rc = parseArguments(parser, QStringLiteral("print"), args); rc >= 0)
        return rc;
    if (parser.positionalArguments().size() != 1) {
        printError(QStringLiteral("print: give exactly one TEMPLATE"));
        return kExitUsage;
    }
    if (!parser.isSet(frp)) {
        printError(QStringLiteral("print: give the output with --frp OUT.frp"));
        return kExitUsage;
    }
    const bool anyExternal = parser.isSet(external) || parser.isSet(connection) || parser.isSet(table);
    if (anyExternal && !(parser.isSet(external) && parser.isSet(connection) && parser.isSet(table))) {
        printError(QStringLiteral("print: an external table needs --external, --connection and --table"));
        return kExitUsage;
    }
    const QString templatePath = parser.positionalArguments().front();
    const QString out = parser.value(frp);

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

    try {
        core::writeFileAtomically(out, pages.SaveToBytes(job.Report));
    } catch (const core::FileError& e) {
        return fail(QString::fromUtf8(e.what()));
    }
    // The keys in this order (a QJsonObject would sort them).
    printLine(QStringLiteral("{\"pages\":%1,\"labels\":%2}").arg(result.pages).arg(result.labels));
    return kExitOk;
}

} // namespace mirel::cli
