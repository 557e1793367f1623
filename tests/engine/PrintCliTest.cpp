// mirel-cli print, run as a program: label counts over the code store, the label
// variables from --var, --settings and the initial texts, an external table, the
// prepared report read back with `template dump`, the PDF, PNG and printer
// outputs, labels that cannot be painted, and bad input.

#include "ReportBuilder.h"
#include "codes/CodeStore.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace mirel::engine {
namespace {

using mirel::test::ansi;
using mirel::test::runProgram;
using mirel::test::writeFile;

QString q(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

class PrintCli : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_db = path("dbno.csh");
        codes::CodeStore store(m_db);
        codes::CodeList list;
        ASSERT_TRUE(store.generate("abcd", 5, list));
        for (const codes::CodeRecord& r : store.records(0, 5))
            m_codes.push_back(r.key1);
    }

    QString path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    // A label per record: the serial with prefix and suffix, "no", the second data
    // field, a Code 128 of the code and a PDF417 of the 2D-code text.
    // `bandHeight` page units a label (at most 10 labels fit a page at 100);
    // `barType` the symbology of Bar1.
    QString labelTemplate(const char* name, std::string_view dataSource, int bandHeight = 100,
                          std::uint8_t barType = barcode::bcCode128B) const {
        tmpl::TfrReport report;
        auto page = test::addPage(report).paper(720, 1080, 18, 18, 18, 18);
        page.band(tmpl::btMasterData, 40, bandHeight).FormatStr = AnsiString(dataSource);
        page.memo("Serial", 20, 40, 200, 20, {"[编头][条形码编号][编尾]"});
        page.memo("No", 20, 60, 200, 20, {"[no]"});
        page.memo("Data2", 20, 80, 200, 20, {"[数据扩充2]"});
        page.barcode("Bar1", 240, 40, 200, 50, "[frDBDataSet1.\"key1\"]").BarType = barType;
        page.pdf417("Pdf1", 460, 40, 200, 80, "[二维码]");
        const QString file = path(name);
        report.SaveToFile(file);
        return file;
    }

    QTemporaryDir m_dir;
    QString m_db;
    std::vector<AnsiString> m_codes;
};

QJsonObject parse(const std::string& text) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text;
    return doc.object();
}

// The first memo lines of the objects named `name` in a prepared report, read
// back through `mirel-cli template dump`.
std::vector<std::string> dumpedTexts(const QString& frp, const char* name) {
    const auto r = runProgram({QStringLiteral("template"), QStringLiteral("dump"), frp});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> texts;
    for (const QJsonValue& page : parse(r.out)[QStringLiteral("pages")].toArray())
        for (const QJsonValue& object : page[QStringLiteral("objects")].toArray())
            if (object[QStringLiteral("name")].toString() == QLatin1String(name))
                texts.push_back(object[QStringLiteral("memo")].toArray()[0].toString().toStdString());
    return texts;
}

QStringList printArgs(const QString& tmpl, const QString& db, const QString& frp, const QStringList& extra = {}) {
    return QStringList{QStringLiteral("print"), tmpl, QStringLiteral("--db"), db} + extra
           + QStringList{QStringLiteral("--frp"), frp};
}

TEST_F(PrintCli, LabelsOverTheCodeStoreAreTheQuantityAtMost) {
    struct Case {
        const char* quantity;   // nullptr: the default of 100
        int labels;
    };
    // Five codes in the store; halves round to the even neighbour.
    const Case cases[] = {{"3", 3}, {"10", 5}, {nullptr, 5}, {"2.5", 2}, {"3.5", 4}, {"0", 0}};
    for (const char* source : {"", "frDBDataSet1"}) {
        const QString tmpl = labelTemplate("label.frf", source);
        for (const Case& c : cases) {
            const QString frp = path("out.frp");
            QFile::remove(frp);
            const QStringList extra =
                c.quantity ? QStringList{QStringLiteral("--quantity"), QString::fromLatin1(c.quantity)} : QStringList{};
            const auto r = runProgram(printArgs(tmpl, m_db, frp, extra));
            ASSERT_EQ(r.exitCode, 0) << r.err;
            EXPECT_EQ(r.out, "{\"pages\":1,\"labels\":" + std::to_string(c.labels) + "}\n") << source;
            EXPECT_EQ(dumpedTexts(frp, "Bar1").size(), static_cast<size_t>(c.labels));
        }
    }
}

TEST_F(PrintCli, PreparedLabelsHoldTheEvaluatedTexts) {
    const QString tmpl = labelTemplate("label.frf", "");
    const QString frp = path("out.frp");
    const auto r = runProgram(printArgs(tmpl, m_db, frp,
                                        {QStringLiteral("--quantity"), QStringLiteral("3"), QStringLiteral("--var"),
                                         q("编头=前缀"), QStringLiteral("--var"), q("二维码=第一行\n第二行")}));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "{\"pages\":1,\"labels\":3}\n");
    // The serial and suffix are the main window's initial texts.
    EXPECT_EQ(dumpedTexts(frp, "Serial"),
              (std::vector<std::string>{"前缀0000000000**", "前缀0000000000**", "前缀0000000000**"}));
    EXPECT_EQ(dumpedTexts(frp, "No"), (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_EQ(dumpedTexts(frp, "Data2"), (std::vector<std::string>{"价格：3.5元", "价格：3.5元", "价格：3.5元"}));
    EXPECT_EQ(dumpedTexts(frp, "Bar1"), (std::vector<std::string>{m_codes[0], m_codes[1], m_codes[2]}));
    EXPECT_EQ(dumpedTexts(frp, "Pdf1"),
              (std::vector<std::string>{"第一行\r\n第二行", "第一行\r\n第二行", "第一行\r\n第二行"}));
}

TEST_F(PrintCli, LabelVariablesFromVarThenSettingsThenInitialTexts) {
    const QString tmpl = labelTemplate("label.frf", "");
    const QString ini = path("system.ini");
    // Written by the main window in the code page; kz02 is missing.
    writeFile(ini, ansi("[other]\r\ncxTextEdit2=no\r\n[kz]\r\nkz01=含量：90g\r\ncxTextEdit2=设置头\r\n"
                        "CXTEXTEDIT5 = 123\r\ncxTextEdit3=\r\n"));
    const QString frp = path("out.frp");
    auto r = runProgram(printArgs(tmpl, m_db, frp,
                                  {QStringLiteral("--settings"), ini, QStringLiteral("--quantity"), QStringLiteral("1")}));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(dumpedTexts(frp, "Serial"), std::vector<std::string>{"设置头123"});
    EXPECT_EQ(dumpedTexts(frp, "Data2"), std::vector<std::string>{"价格：3.50元"});
    // A variable typed after the last settings save is what prints.
    r = runProgram(printArgs(tmpl, m_db, frp,
                             {QStringLiteral("--settings"), ini, QStringLiteral("--var"), q("编尾=尾"),
                              QStringLiteral("--var"), q("条形码编号=777"), QStringLiteral("--quantity"),
                              QStringLiteral("1")}));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(dumpedTexts(frp, "Serial"), std::vector<std::string>{"设置头777尾"});
}

class ExternalTable {
public:
    explicit ExternalTable(const QString& file) {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("make-external"));
            db.setDatabaseName(file);
            EXPECT_TRUE(db.open());
            QSqlQuery query(db);
            EXPECT_TRUE(query.exec(QStringLiteral("CREATE TABLE \"货品\" (name TEXT, price REAL)")));
            EXPECT_TRUE(query.exec(QStringLiteral("INSERT INTO \"货品\" VALUES ('苹果', 3.5), ('梨', 2)")));
            EXPECT_TRUE(query.exec(QStringLiteral("CREATE TABLE keep (x)")));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("make-external"));
    }
};

TEST_F(PrintCli, ExternalTableRowsAndItsCounter) {
    const QString file = path("shop.db");
    ExternalTable make(file);
    const QStringList external{QStringLiteral("--external"), QStringLiteral("QSQLITE"), QStringLiteral("--connection"),
                               file, QStringLiteral("--table"), q("货品")};
    const QString frp = path("out.frp");

    // A band over the external adapter: one label per row, "no" counts them.
    auto r = runProgram(printArgs(labelTemplate("shop.frf", "frDBDataSet2"), m_db, frp, external));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "{\"pages\":1,\"labels\":2}\n");
    EXPECT_EQ(dumpedTexts(frp, "No"), (std::vector<std::string>{"0", "1"}));

    // Over the code store while the table is open: the codes print, and "no"
    // answers the external counter, which does not move.
    r = runProgram(printArgs(labelTemplate("label.frf", ""), m_db, frp,
                             external + QStringList{QStringLiteral("--quantity"), QStringLiteral("3")}));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(dumpedTexts(frp, "Bar1"), (std::vector<std::string>{m_codes[0], m_codes[1], m_codes[2]}));
    EXPECT_EQ(dumpedTexts(frp, "No"), (std::vector<std::string>{"0", "0", "0"}));
}

TEST_F(PrintCli, BadInputIsOneLineOnStderrAndNoOutput) {
    const QString tmpl = labelTemplate("label.frf", "");
    const QString refused = path("future.frf");
    writeFile(refused, std::string("\x1A", 1) + std::string(20, '\0'));
    tmpl::TfrReport broken;
    test::addPage(broken).band(tmpl::btMasterData, 0, 20);
    test::PageBuilder{broken.Pages[0]}.memo("Memo1", 0, 0, 100, 20, {"[没有这个]"});
    const QString brokenPath = path("broken.frf");
    broken.SaveToFile(brokenPath);
    const QString shop = path("shop.db");
    ExternalTable make(shop);
    const QString notDb = path("not.db");
    writeFile(notDb, "this is no database, it is a text file of more than a few bytes\n");

    struct Case {
        const char* what;
        QStringList args;
        const char* inMessage;
    };
    const QString frp = path("out.frp");
    const auto ext = [&](const QString& driver, const QString& table) {
        return printArgs(tmpl, m_db, frp,
                         {QStringLiteral("--external"), driver, QStringLiteral("--connection"), shop,
                          QStringLiteral("--table"), table});
    };
    const Case cases[] = {
        {"missing template", printArgs(path("none.frf"), m_db, frp), "none.frf"},
        {"refused template", printArgs(refused, m_db, frp), "不支持的FRF格式"},
        {"expression error", printArgs(brokenPath, m_db, frp), "没有这个"},
        {"missing code store", printArgs(tmpl, path("none.csh"), frp), "none.csh"},
        {"not a code store", printArgs(tmpl, notDb, frp), "not.db"},
        {"external table missing", ext(QStringLiteral("QSQLITE"), QStringLiteral("keep; drop table keep")),
         "keep; drop table keep"},
        {"external driver unknown", ext(QStringLiteral("QNOSUCH"), q("货品")), "QNOSUCH"},
    };
    for (const Case& c : cases) {
        const auto r = runProgram(c.args);
        EXPECT_EQ(r.exitCode, 1) << c.what;
        EXPECT_TRUE(r.out.empty()) << c.what << ": " << r.out;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << c.what << ": " << r.err;
        EXPECT_NE(r.err.find(c.inMessage), std::string::npos) << c.what << ": " << r.err;
        EXPECT_FALSE(QFile::exists(frp)) << c.what;
    }
    // The table name was never run as SQL.
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check-external"));
    db.setDatabaseName(shop);
    ASSERT_TRUE(db.open());
    EXPECT_TRUE(db.tables().contains(QStringLiteral("keep")));
    db.close();
}

TEST_F(PrintCli, CommandLineMistakes) {
    const QString tmpl = labelTemplate("label.frf", "");
    const QString frp = path("out.frp");
    const QStringList cases[] = {
        {QStringLiteral("print"), tmpl},                                               // no --frp
        printArgs(tmpl, m_db, frp, {QStringLiteral("--var"), QStringLiteral("no=5")}),   // the counter
        printArgs(tmpl, m_db, frp, {QStringLiteral("--var"), QStringLiteral("NO=5")}),
        printArgs(tmpl, m_db, frp, {QStringLiteral("--var"), q("数量=many")}),
        printArgs(tmpl, m_db, frp, {QStringLiteral("--quantity"), QStringLiteral("x")}),
        printArgs(tmpl, m_db, frp, {QStringLiteral("--external"), QStringLiteral("QSQLITE")}),
        printArgs(tmpl, m_db, frp, {QStringLiteral("--dpi"), QStringLiteral("300")}),   // no --png
        printArgs(tmpl, m_db, frp, {QStringLiteral("--png"), path("png"), QStringLiteral("--dpi"), QStringLiteral("0")}),
        printArgs(tmpl, m_db, frp, {QStringLiteral("--png"), path("png"), QStringLiteral("--dpi"), QStringLiteral("x")}),
    };
    for (const QStringList& args : cases) {
        const auto r = runProgram(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(r.err.empty());
        EXPECT_FALSE(QFile::exists(frp));
        EXPECT_FALSE(QFile::exists(path("png")));
    }
}

QString toolOutput(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPages(const QString& pdf) {
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(toolOutput(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

TEST_F(PrintCli, PdfPngAndPreparedReportTogether) {
    // Two labels a page: five codes are three pages.
    const QString tmpl = labelTemplate("label.frf", "", 500);
    const QString pdf = path("labels.pdf");
    const QString png = path("pages");
    const QString frp = path("labels.frp");
    const auto r = runProgram({QStringLiteral("print"), tmpl, QStringLiteral("--db"), m_db, QStringLiteral("-o"), pdf,
                               QStringLiteral("--png"), png, QStringLiteral("--dpi"), QStringLiteral("100"),
                               QStringLiteral("--frp"), frp});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "{\"pages\":3,\"labels\":5}\n");
    EXPECT_TRUE(r.err.empty()) << r.err;
    EXPECT_EQ(pdfPages(pdf), 3);
    EXPECT_EQ(QDir(png).entryList(QDir::Files), QStringList({QStringLiteral("page-0001.png"),
                                                             QStringLiteral("page-0002.png"),
                                                             QStringLiteral("page-0003.png")}));
    const QImage page(QDir(png).filePath(QStringLiteral("page-0003.png")));
    EXPECT_NEAR(page.dotsPerMeterX() * 0.0254, 100, 0.5);
    EXPECT_EQ(page.width(), 787);   // 200 mm at 100 dpi
    EXPECT_EQ(dumpedTexts(frp, "Bar1").size(), 5u);

    // Each output alone; the PNG pages at 300 dpi unless told.
    QDir(png).removeRecursively();
    QFile::remove(pdf);
    const auto onlyPdf = runProgram({QStringLiteral("print"), tmpl, QStringLiteral("--db"), m_db,
                                     QStringLiteral("--quantity"), QStringLiteral("2"), QStringLiteral("--output"), pdf});
    ASSERT_EQ(onlyPdf.exitCode, 0) << onlyPdf.err;
    EXPECT_EQ(onlyPdf.out, "{\"pages\":1,\"labels\":2}\n");
    EXPECT_EQ(pdfPages(pdf), 1);
    EXPECT_FALSE(QFile::exists(png));
    const auto onlyPng = runProgram({QStringLiteral("print"), tmpl, QStringLiteral("--db"), m_db,
                                     QStringLiteral("--quantity"), QStringLiteral("2"), QStringLiteral("--png"), png});
    ASSERT_EQ(onlyPng.exitCode, 0) << onlyPng.err;
    EXPECT_EQ(QImage(QDir(png).filePath(QStringLiteral("page-0001.png"))).width(), 2362);
}

TEST_F(PrintCli, LabelsThatCannotBePaintedAreListedAndTheJobFails) {
    // An EAN-13 of the store's codes, which are letters and digits: no label
    // gets a barcode (never the sample number), each is named on stderr, and
    // the rest of the labels is written.
    const QString tmpl = labelTemplate("ean.frf", "", 100, barcode::bcCodeEAN13);
    const QString pdf = path("labels.pdf");
    const auto r = runProgram({QStringLiteral("print"), tmpl, QStringLiteral("--db"), m_db, QStringLiteral("--quantity"),
                               QStringLiteral("3"), QStringLiteral("-o"), pdf});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "{\"pages\":1,\"labels\":3}\n");
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 3) << r.err;
    // The labels stand one under the other from the top margin (18), 100
    // apart, each failure with its code, in order.
    size_t from = 0;
    for (int i = 0; i < 3; ++i) {
        const std::string line = "page 1, object Bar1 (TfrBarCodeView) at 240," + std::to_string(18 + 100 * i) + ": \""
                                 + m_codes[static_cast<size_t>(i)] + "\"";
        from = r.err.find(line, from);
        ASSERT_NE(from, std::string::npos) << line << "\n" << r.err;
    }
    EXPECT_EQ(pdfPages(pdf), 1);
    const QString text = toolOutput(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    EXPECT_FALSE(text.contains(QStringLiteral("12345678"))) << text.toStdString();
}

TEST_F(PrintCli, AnOutputThatCannotBeWrittenFailsTheJob) {
    const QString tmpl = labelTemplate("label.frf", "");
    mirel::test::writeFile(path("file"), "x");
    struct Case {
        QStringList output;
        const char* inMessage;
    };
    const Case cases[] = {
        {{QStringLiteral("-o"), path("missing/folder/labels.pdf")}, "labels.pdf"},
        {{QStringLiteral("--png"), path("file")}, "file"},   // a file where the folder should be
    };
    for (const Case& c : cases) {
        const auto r = runProgram(QStringList{QStringLiteral("print"), tmpl, QStringLiteral("--db"), m_db} + c.output);
        EXPECT_EQ(r.exitCode, 1) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find(c.inMessage), std::string::npos) << r.err;
    }
}

TEST_F(PrintCli, AnUnknownPrinterIsNamedWithTheInstalledOnes) {
    const QString tmpl = labelTemplate("label.frf", "");
    const QString pdf = path("labels.pdf");
    const auto r = runProgram({QStringLiteral("print"), tmpl, QStringLiteral("--db"), m_db, QStringLiteral("-o"), pdf,
                               QStringLiteral("--printer"), q("没有的打印机")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find("没有的打印机: no such printer"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("installed"), std::string::npos) << r.err;
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        EXPECT_NE(r.err.find(name.toStdString()), std::string::npos) << r.err;
    // Nothing was prepared or written.
    EXPECT_FALSE(QFile::exists(pdf));
}

} // namespace
} // namespace mirel::engine
