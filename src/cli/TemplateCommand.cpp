// mirel-cli template dump / convert: templates (.frf, .frt), dictionary files
// (.frd) and prepared reports (.frp) as JSON, and conversion to a current .frf.

#include "cli/Cli.h"
#include "cli/Command.h"
#include "core/Encoding.h"
#include "core/Files.h"
#include "template/PreparedReport.h"
#include "template/TemplateJson.h"
#include "template/TfrReport.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <optional>

namespace mirel::cli {

namespace {

constexpr int kExitMessageShown = 3;

// The reader's messages go to stderr; the password comes from --password.
class CliHost final : public tmpl::TemplateHost {
public:
    explicit CliHost(std::optional<AnsiString> password) : m_password(std::move(password)) {}

    void ShowError(const QString& text, const QString& caption) override {
        QString oneLine = text;
        oneLine.replace(QLatin1Char('\r'), QLatin1Char(' '));
        printError(caption + QStringLiteral(": ") + oneLine.trimmed());
        ++m_printed;
    }
    std::optional<AnsiString> AskPassword() override {
        m_asked = true;
        if (!m_password) {
            printError(QStringLiteral("the template is password protected; give its password with --password"));
            ++m_printed;
        }
        return m_password;
    }
    // A read that ended with a message this host did not print was a wrong
    // password: say so.
    void ReportSilentFailure(bool messageShown) {
        if (messageShown && m_asked && m_printed == 0)
            printError(QStringLiteral("wrong password: the template was not loaded"));
    }

private:
    std::optional<AnsiString> m_password;
    bool m_asked = false;
    int m_printed = 0;
};

enum class FileKind { Template, NewReportTemplate, Dictionary, Prepared };

FileKind kindOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("frt"))
        return FileKind::NewReportTemplate;
    if (suffix == QLatin1String("frd"))
        return FileKind::Dictionary;
    if (suffix == QLatin1String("frp"))
        return FileKind::Prepared;
    return FileKind::Template;
}

// The file's bytes, or nothing after one line on stderr.
std::optional<std::string> readInput(const QString& path) {
    if (!QFileInfo::exists(path)) {
        printError(QStringLiteral("%1: no such file").arg(path));
        return std::nullopt;
    }
    try {
        return core::readFileBytes(path);
    } catch (const core::FileError& e) {
        printError(QString::fromUtf8(e.what()));
        return std::nullopt;
    }
}

struct Loaded {
    tmpl::TfrReport report;
    tmpl::LoadResult result;
    tmpl::NewReportTemplate parts;
};

// Reads a template, a new-report template or a dictionary file into a report.
void loadReport(const std::string& bytes, FileKind kind, const QString& path, tmpl::TemplateHost& host, Loaded& into) {
    if (kind == FileKind::NewReportTemplate) {
        into.parts = into.report.LoadFromTemplateBytes(bytes, host, &into.result);
    } else if (kind == FileKind::Dictionary) {
        into.report.Dictionary.LoadFromBytes(bytes);
        into.result.version = tmpl::kCurrentVersion;
    } else {
        into.report.FileName = path;
        into.result = into.report.LoadFromBytes(bytes, host, true);
    }
}

int runDump(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Reads a label template (.frf; .frt, .frd or .frp by extension) and prints what it holds as JSON."));
    const QCommandLineOption password(QStringLiteral("password"), QStringLiteral("Answer to the template's password question."),
                                      QStringLiteral("P"));
    parser.addOption(password);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The file to read."));
    if (const int rc = parseArguments(parser, QStringLiteral("template dump"), args); rc >= 0)
        return rc;
    if (parser.positionalArguments().size() != 1) {
        printError(QStringLiteral("template dump: give exactly one FILE"));
        return kExitUsage;
    }
    const QString path = parser.positionalArguments().front();
    const std::optional<std::string> bytes = readInput(path);
    if (!bytes)
        return kExitFailure;
    CliHost host(parser.isSet(password) ? std::optional(core::fromUnicode(parser.value(password))) : std::nullopt);
    const FileKind kind = kindOf(path);
    QJsonObject json;
    bool shown = false;
    if (kind == FileKind::Prepared) {
        tmpl::TfrReport report;
        tmpl::TfrPreparedPages pages;
        const tmpl::PreparedLoadResult load = pages.LoadFromBytes(*bytes, report);
        json = tmpl::preparedJson(pages, load, report);
    } else {
        Loaded loaded;
        loadReport(*bytes, kind, path, host, loaded);
        shown = loaded.result.messageShown;
        host.ReportSilentFailure(shown);
        if (kind == FileKind::Dictionary) {
            json = QJsonObject{{QStringLiteral("dictionary"), tmpl::dictionaryJson(loaded.report.Dictionary)}};
        } else {
            json = tmpl::reportJson(loaded.report, loaded.result.version);
            if (kind == FileKind::NewReportTemplate) {
                QJsonArray description;
                for (const AnsiString& line : loaded.parts.description)
                    description.append(core::toUnicode(line));
                json[QStringLiteral("description")] = description;
                json[QStringLiteral("pictureBytes")] = static_cast<double>(loaded.parts.picture.size());
            }
        }
    }
    printRaw(QJsonDocument(json).toJson(QJsonDocument::Indented).toStdString());
    return shown ? kExitMessageShown : kExitOk;
}

int runConvert(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Reads a label template (.frf, .frt, or a .frd dictionary) and writes it as a current .frf file."));
    const QCommandLineOption password(QStringLiteral("password"), QStringLiteral("Answer to the template's password question."),
                                      QStringLiteral("P"));
    parser.addOption(password);
    parser.addPositionalArgument(QStringLiteral("IN"), QStringLiteral("The file to read."));
    parser.addPositionalArgument(QStringLiteral("OUT"), QStringLiteral("The .frf file to write."));
    if (const int rc = parseArguments(parser, QStringLiteral("template convert"), args); rc >= 0)
        return rc;
    if (parser.positionalArguments().size() != 2) {
        printError(QStringLiteral("template convert: give IN and OUT"));
        return kExitUsage;
    }
    const QString in = parser.positionalArguments()[0];
    const QString out = parser.positionalArguments()[1];
    const FileKind kind = kindOf(in);
    if (kind == FileKind::Prepared) {
        printError(QStringLiteral("%1: a prepared report holds no template to convert").arg(in));
        return kExitFailure;
    }
    const std::optional<std::string> bytes = readInput(in);
    if (!bytes)
        return kExitFailure;
    CliHost host(parser.isSet(password) ? std::optional(core::fromUnicode(parser.value(password))) : std::nullopt);
    Loaded loaded;
    loadReport(*bytes, kind, in, host, loaded);
    host.ReportSilentFailure(loaded.result.messageShown);
    if (loaded.result.messageShown) {
        // What a failed read leaves is not the template: keep OUT as it was.
        printError(QStringLiteral("%1 was not written").arg(out));
        return kExitMessageShown;
    }
    try {
        loaded.report.SaveToFile(out);
    } catch (const std::exception& e) {
        printError(QString::fromUtf8(e.what()));
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace

int runTemplate(const QStringList& args) {
    const QString usage = QStringLiteral(
        "Usage: mirel-cli template dump FILE [--password P]\n"
        "       mirel-cli template convert IN OUT [--password P]");
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        printLine(usage);
        return args.isEmpty() ? kExitUsage : kExitOk;
    }
    if (args[0] == QLatin1String("dump"))
        return runDump(args.mid(1));
    if (args[0] == QLatin1String("convert"))
        return runConvert(args.mid(1));
    printError(QStringLiteral("template: unknown subcommand '%1' (dump, convert)").arg(args[0]));
    return kExitUsage;
}

} // namespace mirel::cli
