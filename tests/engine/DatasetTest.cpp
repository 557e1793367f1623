// Datasets: the code-store adapter with its count range and record counter, the
// external adapter over a Qt Sql table, "N" empty records, and how names in
// expressions are answered (host, dictionary, system variables, fields).

#include "engine/CodeStoreDataset.h"
#include "engine/FieldReference.h"
#include "engine/ReportNames.h"
#include "engine/SqlTableDataset.h"

#include "codes/CodeStore.h"
#include "support/TestSupport.h"
#include "template/TfrReport.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace mirel::engine {
namespace {

using mirel::test::ansi;

// Runs a dataset to its end and gives the counter at each record and the value
// of one field.
std::vector<std::pair<std::int64_t, std::string>> run(TfrDataset& dataset, std::string_view field) {
    std::vector<std::pair<std::int64_t, std::string>> records;
    for (dataset.First(); !dataset.Eof(); dataset.Next()) {
        const std::optional<Value> v = dataset.FieldValue(field);
        records.emplace_back(dataset.RecNo(), v ? core::toUtf8(v->toString()) : "?");
    }
    return records;
}

TEST(CodeStoreDatasetTest, TheCountRangeLimitsTheRun) {
    QTemporaryDir dir;
    codes::CodeStore store(dir.filePath(QStringLiteral("dbno.csh")));
    codes::CodeList list;
    ASSERT_TRUE(store.generate("abcd", 5, list));
    CodeStoreDataset dataset;
    dataset.SetStore(&store);
    EXPECT_EQ(dataset.Name(), "frDBDataSet1");

    struct Case {
        TfrRangeEnd end;
        std::int64_t count;
        size_t records;
    };
    const Case cases[] = {{TfrRangeEnd::reLast, 0, 5}, {TfrRangeEnd::reCount, 3, 3}, {TfrRangeEnd::reCount, 9, 5},
                          {TfrRangeEnd::reCount, 0, 0}, {TfrRangeEnd::reCount, -4, 0}};
    for (const Case& c : cases) {
        dataset.SetRangeEnd(c.end);
        dataset.SetRangeEndCount(c.count);
        const auto records = run(dataset, "NO");
        ASSERT_EQ(records.size(), c.records) << c.count;
        for (size_t i = 0; i < records.size(); ++i) {
            EXPECT_EQ(records[i].first, static_cast<std::int64_t>(i));   // 0 on the first record
            EXPECT_EQ(records[i].second, std::to_string(i + 1));       // NO 1, 2, ...
        }
        EXPECT_EQ(dataset.RecordCountHint(), static_cast<std::int64_t>(c.records));
    }

    // The fields by name, letter case ignored: ID a number, the others texts.
    dataset.SetRangeEnd(TfrRangeEnd::reLast);
    dataset.First();
    const codes::CodeRecord first = store.records(0, 1).front();
    EXPECT_EQ(dataset.FieldValue("id"), Value::integer(first.id));
    EXPECT_EQ(dataset.FieldValue("KEY1"), Value::string(first.key1));
    EXPECT_EQ(dataset.FieldValue("key0"), Value::string(""));
    EXPECT_EQ(dataset.FieldValue("key2"), std::nullopt);
    // After the run the counter keeps its last value and the fields are empty.
    while (!dataset.Eof())
        dataset.Next();
    EXPECT_EQ(dataset.RecNo(), 5);
    dataset.Next();
    EXPECT_EQ(dataset.RecNo(), 5);
    EXPECT_EQ(dataset.FieldValue("NO"), Value());

    // Without a store there are no records.
    CodeStoreDataset none;
    EXPECT_TRUE(run(none, "NO").empty());
}

TEST(EmptyRecordsTest, DataSourcesThatAreNumbers) {
    const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
        {"3", 3}, {"10", 10}, {"1", 1}, {"0", std::nullopt}, {"03", std::nullopt}, {"3a", std::nullopt},
        {"-3", std::nullopt}, {"", std::nullopt}, {"frDBDataSet1", std::nullopt}, {"99999999999999999999", std::nullopt},
    };
    for (const auto& [text, count] : cases)
        EXPECT_EQ(emptyRecordCount(text), count) << text;
    EmptyRecordsDataset three("3", 3);
    const auto records = run(three, "x");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[2].first, 2);
    EXPECT_EQ(records[0].second, "?");   // no fields
}

class SqlTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_file = m_dir.filePath(QStringLiteral("shop.db"));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("make-shop"));
            db.setDatabaseName(m_file);
            ASSERT_TRUE(db.open());
            QSqlQuery query(db);
            ASSERT_TRUE(query.exec(QStringLiteral("CREATE TABLE \"my goods\" (Name TEXT, Price REAL, Qty INTEGER, "
                                                  "Note TEXT, Raw BLOB)")));
            ASSERT_TRUE(query.exec(QStringLiteral("INSERT INTO \"my goods\" VALUES ('苹果', 3.5, 12, NULL, "
                                                  "X'C6BBB9FB'), ('梨', 2, 7, 'x', NULL), ('桃', 1.25, 0, '', NULL)")));
            ASSERT_TRUE(query.exec(QStringLiteral("CREATE TABLE other (x)")));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("make-shop"));
    }

    ExternalTable table(const QString& name) const { return {QStringLiteral("QSQLITE"), m_file, name}; }

    QTemporaryDir m_dir;
    QString m_file;
};

TEST_F(SqlTableTest, RowsFieldsAndTheCounter) {
    SqlTableDataset dataset;
    EXPECT_EQ(dataset.Name(), "frDBDataSet2");
    EXPECT_FALSE(dataset.IsOpen());
    // Names the operator quoted are taken as they mean.
    for (const char* quoted : {"\"my goods\"", "[my goods]", "main.\"my goods\""}) {
        dataset.Open(table(QString::fromLatin1(quoted)));
        EXPECT_TRUE(dataset.IsOpen()) << quoted;
    }
    dataset.Open(table(QStringLiteral("my goods")));
    ASSERT_TRUE(dataset.IsOpen());
    const auto names = run(dataset, "name");
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0], (std::pair<std::int64_t, std::string>{0, "苹果"}));
    EXPECT_EQ(names[2], (std::pair<std::int64_t, std::string>{2, "桃"}));
    EXPECT_EQ(dataset.RecNo(), 3);

    // Values keep their kinds; a blob keeps its bytes (here GB18030 "苹果").
    dataset.First();
    EXPECT_EQ(dataset.FieldValue("Price"), Value::real(3.5));
    EXPECT_EQ(dataset.FieldValue("QTY"), Value::integer(12));
    EXPECT_EQ(dataset.FieldValue("Note"), Value());
    EXPECT_EQ(dataset.FieldValue("Raw"), Value::string(ansi("苹果")));
    EXPECT_EQ(dataset.FieldValue("Missing"), std::nullopt);
    dataset.Next();
    EXPECT_EQ(dataset.FieldValue("Price"), Value::real(2.0));

    // A second run starts again on the first row; the count range applies too.
    dataset.SetRangeEnd(TfrRangeEnd::reCount);
    dataset.SetRangeEndCount(2);
    EXPECT_EQ(run(dataset, "Qty").size(), 2u);
    dataset.Close();
    EXPECT_FALSE(dataset.IsOpen());
    dataset.Close();   // closing a closed dataset does nothing
    EXPECT_TRUE(run(dataset, "name").empty());
}

TEST_F(SqlTableTest, OpenFailuresLeaveItClosedAndChangeNothing) {
    const QString missing = m_dir.filePath(QStringLiteral("none.db"));
    struct Case {
        ExternalTable table;
        const char* inMessage;
    };
    const Case cases[] = {
        {table(QStringLiteral("other; DROP TABLE other")), "other; DROP TABLE other"},
        {table(QStringLiteral("\"other\" x")), "other"},
        {table(QStringLiteral("\"other\"; DROP TABLE other; --")), "other"},
        {table(QStringLiteral("[other]] x")), "other"},
        {table(QString()), "no table"},
        {{QStringLiteral("QSQLITE"), missing, QStringLiteral("t")}, "none.db"},
        {{QStringLiteral("QNOSUCH"), m_file, QStringLiteral("other")}, "QNOSUCH"},
    };
    SqlTableDataset dataset;
    for (const Case& c : cases) {
        dataset.Open(table(QStringLiteral("other")));
        try {
            dataset.Open(c.table);
            ADD_FAILURE() << c.inMessage << ": opened";
        } catch (const DatasetError& e) {
            EXPECT_NE(std::string(e.what()).find(c.inMessage), std::string::npos) << e.what();
        }
        EXPECT_FALSE(dataset.IsOpen()) << c.inMessage;
    }
    // The names were never run as SQL, and no database file was created.
    EXPECT_FALSE(QFile::exists(missing));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check-shop"));
    db.setDatabaseName(m_file);
    ASSERT_TRUE(db.open());
    EXPECT_TRUE(db.tables().contains(QStringLiteral("other")));
    db.close();
}

// The table page's own connection, borrowed: the dataset reads through it and
// leaves it open when it closes, so the page keeps showing its rows.
TEST_F(SqlTableTest, OpenOnABorrowedConnectionLeavesItOpen) {
    const QString name = QStringLiteral("page-connection");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(m_file);
        ASSERT_TRUE(db.open());
    }
    {
        SqlTableDataset dataset;
        dataset.OpenOn(name, QStringLiteral("my goods"));
        ASSERT_TRUE(dataset.IsOpen());
        EXPECT_EQ(dataset.Table().driver, QStringLiteral("QSQLITE"));
        const auto names = run(dataset, "Name");
        ASSERT_EQ(names.size(), 3u);
        EXPECT_EQ(names[1], (std::pair<std::int64_t, std::string>{1, "梨"}));
        // A table that is not there, and a name that would be SQL if pasted.
        for (const char* bad : {"none", "other; DROP TABLE other", ""}) {
            EXPECT_THROW(dataset.OpenOn(name, QString::fromLatin1(bad)), DatasetError) << bad;
            EXPECT_FALSE(dataset.IsOpen()) << bad;
        }
        EXPECT_THROW(dataset.OpenOn(QStringLiteral("no-such-connection"), QStringLiteral("other")), DatasetError);
        dataset.OpenOn(name, QStringLiteral("other"));
        dataset.Close();
        EXPECT_TRUE(QSqlDatabase::database(name, false).isOpen());
        dataset.OpenOn(name, QStringLiteral("my goods"));
    }   // destroyed while open: the connection still stays
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        EXPECT_TRUE(db.isOpen());
        EXPECT_TRUE(db.tables().contains(QStringLiteral("other")));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

TEST(FieldReferenceTest, FieldsOfTheAdapters) {
    struct Case {
        const char* text;
        std::optional<std::array<const char*, 3>> reference;   // owner, dataset, field
    };
    const Case cases[] = {
        {"[frDBDataSet1.\"key1\"]", std::array{"Form1", "frDBDataSet1", "key1"}},
        {"frDBDataSet2.'Unit price'", std::array{"Form1", "frDBDataSet2", "Unit price"}},
        {"[Form2.frdbdataset1.NO]", std::array{"Form2", "frDBDataSet1", "NO"}},
        {"[frDBDataSet1.\"a.b\"]", std::array{"Form1", "frDBDataSet1", "a.b"}},
        {"[条形码编号]", std::nullopt},
        {"[ADOTable1.\"key1\"]", std::nullopt},
        {"[frDBDataSet1.\"\"]", std::nullopt},
        {"12345678", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto reference = parseFieldReference(ansi(c.text));
        ASSERT_EQ(reference.has_value(), c.reference.has_value()) << c.text;
        if (reference) {
            EXPECT_EQ(reference->owner, (*c.reference)[0]) << c.text;
            EXPECT_EQ(reference->dataset, (*c.reference)[1]) << c.text;
            EXPECT_EQ(reference->field, (*c.reference)[2]) << c.text;
        }
    }
}

// A dataset of one row: field "f" = "row".
class OneRow final : public TfrDataset {
public:
    explicit OneRow(std::string_view name) : TfrDataset(AnsiString(name)) {}

protected:
    void SourceFirst(std::int64_t) override { m_done = false; }
    void SourceNext() override { m_done = true; }
    bool SourceEof() const override { return m_done; }
    bool SourceHasField(std::string_view f) const override { return f == "f" || f == "PAGE#"; }
    Value SourceField(std::string_view f) const override { return Value::string(f == "f" ? "row" : "field"); }

private:
    bool m_done = false;
};

TEST(ReportNamesTest, TheHostFirstThenDictionarySystemVariablesAndFields) {
    tmpl::TfrReport report;
    report.ReportName = ansi("标签");
    report.Dictionary.Variables = {
        {ansi(" 分类"), ""},          // a category, never a variable
        {"Shared", "'dictionary'"},
        {"Total", "Count * 2"},
        {"Count", "21"},
        {"Empty", ""},
        {"Loop", "Loop + 1"},
    };
    report.Dictionary.FieldAliases = {{"Goods", "Form1.frDBDataSet2"}};
    OneRow band("frDBDataSet1"), other("frDBDataSet2");
    band.First();
    other.First();
    ReportNames names(
        report,
        [](const AnsiString& name, std::optional<Value>& v) {
            if (name == "Shared")
                v = Value::string("host");
        },
        {&band, &other}, 45322.75);   // 2024-01-31 18:00
    names.position.page = 3;
    names.position.totalPages = 7;
    names.position.line = 4;
    names.position.column = 2;
    names.position.bandDataset = &band;

    struct Case {
        const char* expression;
        Value value;
    };
    const Case cases[] = {
        {"Shared", Value::string("host")},   // the host answers first
        {"total", Value::integer(42)},       // dictionary values are expressions
        {"Empty", Value()},
        {"PAGE#", Value::integer(3)},        // a system variable before a field of that name
        {"page#", Value::integer(3)},
        {"TOTALPAGES", Value::integer(7)},
        {"LINE#", Value::integer(4)},
        {"CURRENT#", Value::integer(4)},
        {"COLUMN#", Value::integer(2)},
        {"DATE", Value::dateTime(45322)},
        {"TIME", Value::dateTime(0.75)},
        {"REPORTNAME", Value::string(ansi("标签"))},
        {"f", Value::string("row")},         // a field of the band's dataset
        {"frDBDataSet2.\"f\"", Value::string("row")},
        {"Form1.frDBDataSet2.f", Value::string("row")},
        {"Goods.\"f\"", Value::string("row")},   // through a field alias
    };
    for (const Case& c : cases)
        EXPECT_EQ(evaluateExpression(ansi(c.expression), names), c.value) << c.expression;
    EXPECT_TRUE(names.totalPagesAsked);

    for (const char* unknown : {"分类", " 分类", "Nothing", "frDBDataSet3.\"f\"", "frDBDataSet2.\"g\"", "Loop"})
        EXPECT_THROW(evaluateExpression(ansi(unknown), names), ExpressionError) << unknown;
}

} // namespace
} // namespace mirel::engine
