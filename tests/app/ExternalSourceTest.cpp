// The external data source: opening a table of an SQLite file by name, with the
// name only ever used as an identifier.

#include "app/ExternalSource.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace mirel::app;

namespace {

struct QuoteCase {
    const char* driver;
    const char* table;
    const char* quoted;
};

const QuoteCase kQuoteCases[] = {
    {"QSQLITE", "labels", "\"labels\""},
    {"QSQLITE", "标签 表", "\"标签 表\""},
    {"QPSQL", "public.labels", "\"public\".\"labels\""},
    {"QSQLITE", "a\"b", "\"a\"\"b\""},
    {"QSQLITE", "\"x\"; drop table reg; --", "\"\"\"x\"\"; drop table reg; --\""},
    {"QSQLITE", "a..b", "\"a..b\""},
    {"QSQLITE", ".b", "\".b\""},
    {"QMYSQL", "lab`els", "`lab``els`"},
    {"QODBC", "dbo.Items", "\"dbo\".\"Items\""},
    // Names the operator quoted already are the same table to the grid and
    // to the labels printed over it.
    {"QSQLITE", "\"my table\"", "\"my table\""},
    {"QODBC", "[dbo].[Items]", "\"dbo\".\"Items\""},
    {"QMARIADB", "`lab els`", "`lab els`"},
};

TEST(ExternalSourceTest, TableNamesAreQuotedAsIdentifiers) {
    for (const QuoteCase& c : kQuoteCases)
        EXPECT_EQ(quotedTableName(QString::fromLatin1(c.driver), QString::fromUtf8(c.table)).toStdString(), c.quoted)
            << c.table;
}

class ExternalSqliteTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_file = m_dir.filePath(QStringLiteral("shop.db"));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture"));
            db.setDatabaseName(m_file);
            ASSERT_TRUE(db.open());
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec(QStringLiteral("CREATE TABLE \"产品 表\" (name TEXT, price REAL)")));
            ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO \"产品 表\" VALUES ('苹果', 3.5), ('梨', 2), ('桃', 4)")));
            ASSERT_TRUE(q.exec(QStringLiteral("CREATE TABLE keep (x)")));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("fixture"));
    }

    int tableCount() {
        int n = -1;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
            db.setDatabaseName(m_file);
            db.open();
            QSqlQuery q(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table'"), db);
            if (q.next())
                n = q.value(0).toInt();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
        return n;
    }

    QTemporaryDir m_dir;
    QString m_file;
};

TEST_F(ExternalSqliteTest, OpensATableByItsName) {
    ExternalSource source;
    ConnectionSettings settings;
    settings.driver = QStringLiteral("QSQLITE");
    settings.database = m_file;
    source.setSettings(settings);
    QString error;
    ASSERT_TRUE(source.open(QStringLiteral("产品 表"), &error)) << error.toStdString();
    EXPECT_TRUE(source.isOpen());
    EXPECT_EQ(source.model()->rowCount(), 3);
    EXPECT_EQ(source.model()->record(0).value(QStringLiteral("name")).toString(), QStringLiteral("苹果"));
    EXPECT_EQ(source.table().table, QStringLiteral("产品 表"));
    EXPECT_TRUE(source.database().isOpen());
    source.close();
    EXPECT_FALSE(source.isOpen());
    EXPECT_EQ(source.model()->rowCount(), 0);
    EXPECT_EQ(source.commandText(), QStringLiteral("产品 表"));
}

TEST_F(ExternalSqliteTest, FailuresLeaveTheSourceClosed) {
    struct Case {
        const char* note;
        QString database;
        QString table;
    };
    const Case cases[] = {
        {"missing table", m_file, QStringLiteral("nothing")},
        {"SQL in the name", m_file, QStringLiteral("keep; DROP TABLE keep")},
        {"quote in the name", m_file, QStringLiteral("keep\"; DROP TABLE keep; --")},
        {"missing file", m_dir.filePath(QStringLiteral("none.db")), QStringLiteral("keep")},
        {"no database named", QString(), QStringLiteral("keep")},
    };
    for (const Case& c : cases) {
        ExternalSource source;
        ConnectionSettings settings;
        settings.database = c.database;
        source.setSettings(settings);
        QString error;
        EXPECT_FALSE(source.open(c.table, &error)) << c.note;
        EXPECT_FALSE(error.isEmpty()) << c.note;
        EXPECT_FALSE(source.isOpen()) << c.note;
        EXPECT_EQ(source.model()->rowCount(), 0) << c.note;
    }
    EXPECT_EQ(tableCount(), 2);
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(QStringLiteral("none.db"))));
}

} // namespace
