#include "codes/CodeStore.h"

#include "codes/Cipher.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <stdexcept>

using mirel::codes::CodeList;
using mirel::codes::CodeRecord;
using mirel::codes::CodeStore;
using mirel::codes::CodeStoreError;
using mirel::test::ansi;
using mirel::test::readFile;
using mirel::test::writeFile;

namespace {

// SQL run on a file through a connection of the test's own, as another tool
// (or another program) would reach the file.
QVariant otherTool(const QString& path, const QStringList& statements) {
    QVariant last;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other-tool"));
        db.setDatabaseName(path);
        if (!db.open())
            throw std::runtime_error("cannot open test database");
        QSqlQuery query(db);
        for (const QString& sql : statements) {
            if (!query.exec(sql))
                throw std::runtime_error(("test SQL failed: " + sql + ": " + query.lastError().text()).toStdString());
            if (query.next())
                last = query.value(0);
        }
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other-tool"));
    return last;
}

std::vector<CodeRecord> allRecords(const CodeStore& store) {
    std::vector<CodeRecord> rows;
    for (auto reader = store.reader(); !reader.atEnd(); reader.next())
        rows.push_back(reader.current());
    return rows;
}

class CodeStoreTest : public ::testing::Test {
protected:
    QString file(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    QString dbPath() const { return file("dbno.csh"); }

    // A store holding three imported records, the state the failure tests must keep.
    void importThree(CodeStore& store) {
        CodeList list;
        ASSERT_TRUE(store.importBytes(ansi("1\tA\tX\r\n2\tB\tY\r\n3\t中\t码\r\n"), list));
        ASSERT_EQ(store.count(), 3);
    }

    QTemporaryDir m_dir;
};

TEST_F(CodeStoreTest, MissingFileIsCreatedWithTableReg) {
    {
        const CodeStore store(dbPath());
        EXPECT_EQ(store.count(), 0);
        EXPECT_TRUE(store.isOpen());
    }
    ASSERT_TRUE(QFile::exists(dbPath()));
    EXPECT_EQ(readFile(dbPath()).substr(0, 16), std::string("SQLite format 3\0", 16));
    EXPECT_EQ(otherTool(dbPath(), {QStringLiteral("SELECT group_concat(name) FROM pragma_table_info('reg')")}).toString(),
              QStringLiteral("ID,NO,key0,key1"));
    // An empty file holds nothing to protect: SQLite takes it as a new database.
    writeFile(file("empty.csh"), "");
    const CodeStore empty(file("empty.csh"));
    EXPECT_EQ(empty.count(), 0);
}

TEST_F(CodeStoreTest, ForeignFilesAreRefusedAndLeftUnchanged) {
    writeFile(file("text.csh"), "1 001F729IBF\r\n2 SF1E\r\n");
    writeFile(file("short.csh"), "SQLite");
    // A valid header over garbage: SQLite only notices at the first read.
    writeFile(file("garbage.csh"), std::string("SQLite format 3\0", 16) + std::string(4080, '\x5A'));
    otherTool(file("other.db"), {QStringLiteral("CREATE TABLE customers (name TEXT)")});
    otherTool(file("columns.db"), {QStringLiteral("CREATE TABLE reg (ID INTEGER PRIMARY KEY, NO TEXT, code TEXT)")});
    otherTool(file("noid.db"), {QStringLiteral("CREATE TABLE reg (ID TEXT, NO TEXT, key0 TEXT, key1 TEXT)")});
    otherTool(file("view.db"), {QStringLiteral("CREATE TABLE t (ID INTEGER PRIMARY KEY, NO, key0, key1)"),
                                QStringLiteral("CREATE VIEW reg AS SELECT * FROM t")});
    QDir().mkdir(file("folder.csh"));
    for (const char* name : {"text.csh", "short.csh", "garbage.csh", "other.db", "columns.db", "noid.db", "view.db",
                             "folder.csh"}) {
        const QString path = file(name);
        const std::string before = readFile(path);
        try {
            CodeStore store(path);
            ADD_FAILURE() << name << " was opened";
        } catch (const CodeStoreError& e) {
            EXPECT_NE(std::string(e.what()).find(path.toStdString()), std::string::npos) << e.what();
        }
        EXPECT_EQ(readFile(path), before) << name;
        EXPECT_FALSE(QFile::exists(path + QStringLiteral("-journal"))) << name;
    }
    // A missing folder cannot hold a new store.
    EXPECT_THROW(CodeStore(file("no/such/folder/dbno.csh")), CodeStoreError);
}

TEST_F(CodeStoreTest, StoreMadeByAnotherToolIsUsable) {
    otherTool(dbPath(), {QStringLiteral("CREATE TABLE REG (id integer primary key autoincrement, no TEXT, Key0 TEXT, "
                                        "KEY1 TEXT, note TEXT)"),
                         QStringLiteral("INSERT INTO REG (no, key1) VALUES ('1', 'AB')")});
    CodeStore store(dbPath());
    EXPECT_EQ(store.count(), 1);
    CodeList list;
    ASSERT_TRUE(store.generate("abcd", 2, list));
    EXPECT_EQ(store.count(), 2);
}

TEST_F(CodeStoreTest, GenerationNumbersAndFormsTheCodes) {
    CodeStore store(dbPath());
    CodeList list;
    ASSERT_TRUE(store.generate("abcd", 100, list));
    const auto rows = allRecords(store);
    ASSERT_EQ(store.count(), 100);
    ASSERT_EQ(rows.size(), 100u);
    ASSERT_EQ(list.size(), 100);
    for (size_t k = 0; k < rows.size(); ++k) {
        const CodeRecord& r = rows[k];
        EXPECT_EQ(r.no, std::to_string(k + 1));
        EXPECT_EQ(r.key0, "");
        ASSERT_EQ(r.key1.size(), 10u) << r.key1;
        for (size_t i = 0; i < r.key1.size(); ++i) {
            const char c = r.key1[i];
            const char highest = i % 2 == 0 ? 'S' : 'Z';   // a pair's high digit is at most 28
            EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= highest)) << r.key1;
        }
        // The first pair is the random start; the rest follows from seed and key.
        const auto digit = [](char c) { return c <= '9' ? c - '0' : c - 55; };
        const int start = digit(r.key1[0]) * 36 + digit(r.key1[1]);
        EXPECT_EQ(r.key1, mirel::codes::Encipher("abcd", mirel::codes::kCodeKey, start));
        if (k > 0) {
            EXPECT_LT(rows[k - 1].id, r.id);
        }
        EXPECT_EQ(list.line(static_cast<std::int64_t>(k)), r.no + " " + r.key1);
    }
    // The starts are drawn afresh per code: a hundred codes share few first pairs.
    std::set<std::string> starts;
    for (const CodeRecord& r : rows)
        starts.insert(r.key1.substr(0, 2));
    EXPECT_GT(starts.size(), 50u);

    // A second run replaces the first; a quantity of 0 empties the store.
    ASSERT_TRUE(store.generate("x", 3, list));
    EXPECT_EQ(store.count(), 3);
    EXPECT_EQ(allRecords(store).front().no, "1");
    EXPECT_EQ(allRecords(store).front().key1.size(), 4u);
    ASSERT_TRUE(store.generate("abcd", 0, list));
    EXPECT_EQ(store.count(), 0);
    EXPECT_TRUE(list.empty());
}

TEST_F(CodeStoreTest, NegativeQuantityChangesNothing) {
    CodeStore store(dbPath());
    importThree(store);
    CodeList list;
    list.append("kept");
    const auto before = allRecords(store);
    EXPECT_THROW(store.generate("abcd", -1, list), CodeStoreError);
    EXPECT_EQ(allRecords(store), before);
    EXPECT_EQ(list.text(), "kept\r\n");
}

// Every way a replacing command can stop half-way: a callback that throws, a
// cancel, and a database error (a trigger that refuses one record). Each must
// leave the records, the code list and the file's bytes as they were.
TEST_F(CodeStoreTest, FailureHalfWayLeavesTheStoreAsItWas) {
    CodeStore store(dbPath());
    importThree(store);
    const auto before = allRecords(store);
    const std::string bytes = readFile(dbPath());
    CodeList list;
    list.append("previous");

    std::string lines;
    for (int i = 1; i <= 20000; ++i)
        lines += std::to_string(i) + "\tK\tV" + std::to_string(i) + "\n";

    struct Attempt {
        const char* what;
        std::function<bool(CodeStore&, CodeList&)> run;
    };
    const auto throwAt = [](std::int64_t done, std::int64_t) -> bool {
        if (done >= 8192)
            throw std::runtime_error("injected failure");
        return true;
    };
    const auto cancelAt = [](std::int64_t done, std::int64_t) { return done < 8192; };
    const auto cancelAtEnd = [](std::int64_t done, std::int64_t total) { return done < total; };
    const Attempt attempts[] = {
        {"generation, callback throws", [&](CodeStore& s, CodeList& l) { return s.generate("abcd", 20000, l, throwAt); }},
        {"generation, cancelled", [&](CodeStore& s, CodeList& l) { return s.generate("abcd", 20000, l, cancelAt); }},
        {"generation, cancelled at the end", [&](CodeStore& s, CodeList& l) { return s.generate("abcd", 20000, l, cancelAtEnd); }},
        {"import, callback throws", [&](CodeStore& s, CodeList& l) { return s.importBytes(lines, l, throwAt); }},
        {"import, cancelled", [&](CodeStore& s, CodeList& l) { return s.importBytes(lines, l, cancelAt); }},
    };
    for (const Attempt& attempt : attempts) {
        bool completed = true;
        try {
            completed = attempt.run(store, list);
        } catch (const std::runtime_error& e) {
            completed = false;
            EXPECT_STREQ(e.what(), "injected failure") << attempt.what;
        }
        EXPECT_FALSE(completed) << attempt.what;
        EXPECT_EQ(allRecords(store), before) << attempt.what;
        EXPECT_EQ(store.count(), 3) << attempt.what;
        EXPECT_EQ(list.text(), "previous\r\n") << attempt.what;
        EXPECT_EQ(readFile(dbPath()), bytes) << attempt.what;
    }

    // A database error at record 5000 of a generation, and at line 7000 of an import.
    store.close();
    otherTool(dbPath(), {QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON reg WHEN NEW.NO IN ('5000', '7000') "
                                        "BEGIN SELECT RAISE(ABORT, 'record refused'); END")});
    store.open();
    const std::string withTrigger = readFile(dbPath());
    try {
        store.generate("abcd", 20000, list);
        ADD_FAILURE() << "generation went through";
    } catch (const CodeStoreError& e) {
        EXPECT_NE(std::string(e.what()).find("record refused"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find(dbPath().toStdString()), std::string::npos) << e.what();
    }
    EXPECT_THROW(store.importBytes(lines, list), CodeStoreError);
    EXPECT_EQ(allRecords(store), before);
    EXPECT_EQ(list.text(), "previous\r\n");
    EXPECT_EQ(readFile(dbPath()), withTrigger);
}

TEST_F(CodeStoreTest, ProgressCountsUpToTheTotal) {
    CodeStore store(dbPath());
    std::vector<std::int64_t> seen;
    CodeList list;
    ASSERT_TRUE(store.generate("abcd", 10000, list, [&](std::int64_t done, std::int64_t total) {
        EXPECT_EQ(total, 10000);
        seen.push_back(done);
        return true;
    }));
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 10000);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));

    // Delete-all: cancelled at its first call it deletes nothing.
    EXPECT_FALSE(store.deleteAll([](std::int64_t, std::int64_t) { return false; }));
    EXPECT_EQ(store.count(), 10000);
    seen.clear();
    ASSERT_TRUE(store.deleteAll([&](std::int64_t done, std::int64_t total) {
        EXPECT_EQ(total, 10000);
        seen.push_back(done);
        return true;
    }));
    EXPECT_EQ(seen, (std::vector<std::int64_t>{0, 10000}));
    EXPECT_EQ(store.count(), 0);
    EXPECT_TRUE(allRecords(store).empty());
    EXPECT_TRUE(store.deleteAll());   // on an empty store it does nothing
}

TEST_F(CodeStoreTest, ImportStoresOneRecordPerLineAndKeepsTheLines) {
    CodeStore store(dbPath());
    // LF, CR LF and CR line ends; an empty line; UTF-8 text (converted to the code page).
    const std::string text = "7\tA12\tXYZ\n7 A12 XYZ Q\r\n1 2\t3\r\rABCDEF\n中 文\t码 号";
    CodeList list;
    ASSERT_TRUE(store.importBytes(text, list));
    const auto rows = allRecords(store);
    const std::vector<std::vector<std::string>> expected = {
        {"7", "A12", "XYZ"}, {"7", "A12", "XYZ Q"}, {"1 2", "", "3"}, {"", "", ""}, {"", "", "ABCDEF"},
        {ansi("中 文"), ansi("码"), ansi("号")}};
    ASSERT_EQ(rows.size(), expected.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].no, expected[i][0]) << i;
        EXPECT_EQ(rows[i].key0, expected[i][1]) << i;
        EXPECT_EQ(rows[i].key1, expected[i][2]) << i;
    }
    EXPECT_EQ(list.text(), ansi("7\tA12\tXYZ\r\n7 A12 XYZ Q\r\n1 2\t3\r\n\r\nABCDEF\r\n中 文\t码 号\r\n"));

    // A missing file changes nothing.
    EXPECT_THROW(store.importFile(file("missing.txt"), list), CodeStoreError);
    EXPECT_EQ(allRecords(store), rows);
}

TEST_F(CodeStoreTest, TextIsStoredAsUtf8AndOddBytesAsTheyAre) {
    CodeStore store(dbPath());
    CodeList list;
    // "\xFF\xFE" is neither UTF-8 nor code page text: the file's bytes are kept.
    ASSERT_TRUE(store.importBytes(ansi("1\t中文\t码") + "\r\n2\t\xFF\xFE\tX\r\n", list));
    const auto rows = allRecords(store);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].key0, ansi("中文"));
    EXPECT_EQ(rows[1].key0, "\xFF\xFE");
    store.close();
    // Another tool reads the Chinese text as text.
    EXPECT_EQ(otherTool(dbPath(), {QStringLiteral("SELECT key0 FROM reg WHERE NO = '1'")}).toString(),
              QStringLiteral("中文"));
    EXPECT_EQ(otherTool(dbPath(), {QStringLiteral("SELECT typeof(key0) FROM reg WHERE NO = '2'")}).toString(),
              QStringLiteral("blob"));
}

TEST_F(CodeStoreTest, ExportThenImportRestoresTheRecords) {
    CodeStore store(dbPath());
    CodeList list;
    ASSERT_TRUE(store.generate("abcd", 3, list));
    const auto generated = allRecords(store);
    store.exportTo(file("records.txt"));
    mirel::codes::exportCodeList(file("list.txt"), list);
    const std::string exported = readFile(file("records.txt"));
    EXPECT_EQ(exported, "1 " + generated[0].key1 + "\r\n2 " + generated[1].key1 + "\r\n3 " + generated[2].key1 + "\r\n");
    // The code list of a generation is the same text.
    EXPECT_EQ(readFile(file("list.txt")), exported);

    ASSERT_TRUE(store.deleteAll());
    CodeList imported;
    ASSERT_TRUE(store.importFile(file("records.txt"), imported));
    const auto back = allRecords(store);
    ASSERT_EQ(back.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back[i].no, generated[i].no);
        EXPECT_EQ(back[i].key0, "");
        EXPECT_EQ(back[i].key1, generated[i].key1);
    }
    EXPECT_EQ(imported.text(), exported);

    // Records with key0 come back in the TAB form, code page text included.
    ASSERT_TRUE(store.importBytes(ansi("5\t批号\t码一\r\n6\tB\tXY Z\r\n"), list));
    const auto withKey0 = allRecords(store);
    store.exportTo(file("key0.txt"));
    EXPECT_EQ(readFile(file("key0.txt")), ansi("5\t批号\t码一\r\n6\tB\tXY Z\r\n"));
    ASSERT_TRUE(store.importFile(file("key0.txt"), list));
    EXPECT_EQ(allRecords(store).size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(allRecords(store)[i].no, withKey0[i].no);
        EXPECT_EQ(allRecords(store)[i].key0, withKey0[i].key0);
        EXPECT_EQ(allRecords(store)[i].key1, withKey0[i].key1);
    }

    // An empty store exports an empty file.
    ASSERT_TRUE(store.deleteAll());
    store.exportTo(file("empty.txt"));
    EXPECT_TRUE(QFile::exists(file("empty.txt")));
    EXPECT_EQ(readFile(file("empty.txt")), "");
}

TEST_F(CodeStoreTest, BackupCopiesBytesAndNeverOverwrites) {
    CodeStore store(dbPath());
    importThree(store);
    store.backupTo(file("copy.mdb"));
    EXPECT_TRUE(store.isOpen());
    EXPECT_EQ(store.count(), 3);
    EXPECT_EQ(readFile(file("copy.mdb")), readFile(dbPath()));
    EXPECT_EQ(allRecords(CodeStore(file("copy.mdb"))), allRecords(store));

    writeFile(file("existing.mdb"), "someone's file");
    try {
        store.backupTo(file("existing.mdb"));
        ADD_FAILURE() << "backup overwrote a file";
    } catch (const CodeStoreError& e) {
        EXPECT_NE(std::string(e.what()).find(file("existing.mdb").toStdString()), std::string::npos) << e.what();
    }
    EXPECT_EQ(readFile(file("existing.mdb")), "someone's file");
    EXPECT_THROW(store.backupTo(file("no/such/folder/copy.mdb")), CodeStoreError);
    EXPECT_FALSE(QFile::exists(file("no/such/folder/copy.mdb")));
    // Open again after a failed backup too.
    EXPECT_TRUE(store.isOpen());
    EXPECT_EQ(allRecords(store).size(), 3u);
}

TEST_F(CodeStoreTest, ReaderStreamsInIdOrderWithCounterAndLimit) {
    CodeStore store(dbPath());
    CodeList list;
    ASSERT_TRUE(store.generate("abcd", 500, list));
    auto reader = store.reader(100);
    std::int64_t n = 0;
    for (; !reader.atEnd(); reader.next(), ++n) {
        EXPECT_EQ(reader.counter(), n);
        EXPECT_EQ(reader.current().no, std::to_string(n + 1));
    }
    EXPECT_EQ(n, 100);
    reader.first();
    ASSERT_FALSE(reader.atEnd());
    EXPECT_EQ(reader.counter(), 0);
    EXPECT_EQ(reader.current().no, "1");

    std::int64_t all = 0;
    for (auto r = store.reader(); !r.atEnd(); r.next())
        ++all;
    EXPECT_EQ(all, 500);
    std::int64_t more = 0;
    for (auto r = store.reader(1000); !r.atEnd(); r.next())
        ++more;
    EXPECT_EQ(more, 500);

    // A command ends open readers instead of being blocked by them.
    auto open = store.reader();
    ASSERT_TRUE(store.generate("abcd", 10, list));
    EXPECT_TRUE(open.atEnd());
    open.first();
    EXPECT_TRUE(open.atEnd());
    store.close();   // and so does closing, with the reader still alive
    EXPECT_FALSE(store.isOpen());
    EXPECT_THROW(store.reader(), CodeStoreError);
}

TEST_F(CodeStoreTest, GridWindowsByPositionAndByKey) {
    CodeStore store(dbPath());
    CodeList list;
    ASSERT_TRUE(store.generate("abcd", 1000, list));
    const auto window = store.records(990, 20);
    ASSERT_EQ(window.size(), 10u);
    EXPECT_EQ(window.front().no, "991");
    EXPECT_EQ(window.back().no, "1000");
    EXPECT_TRUE(store.records(1000, 5).empty());
    EXPECT_EQ(store.recordsAfter(0, 2).front().no, "1");
    EXPECT_EQ(store.recordsAfter(window.front().id, 1).front().no, "992");

    // Gaps in the IDs (rows deleted by another tool): positions still count rows.
    store.close();
    otherTool(dbPath(), {QStringLiteral("DELETE FROM reg WHERE ID % 2 = 0")});
    store.open();
    EXPECT_EQ(store.count(), 500);
    const auto odd = store.records(10, 3);
    ASSERT_EQ(odd.size(), 3u);
    EXPECT_EQ(odd[0].no, "21");
    EXPECT_EQ(odd[2].no, "25");
    EXPECT_EQ(store.recordsAfter(odd[0].id, 1).front().no, "23");
}

TEST_F(CodeStoreTest, EachStoreHasItsOwnConnection) {
    const int before = QSqlDatabase::connectionNames().size();
    {
        CodeStore first(dbPath());
        CodeStore second(dbPath());
        CodeList list;
        ASSERT_TRUE(first.generate("abcd", 5, list));
        second.open();   // a reopen sees the other store's commit
        EXPECT_EQ(second.count(), 5);
        EXPECT_EQ(QSqlDatabase::connectionNames().size(), before + 2);
    }
    EXPECT_EQ(QSqlDatabase::connectionNames().size(), before);
    EXPECT_FALSE(QFile::exists(dbPath() + QStringLiteral("-journal")));
}

} // namespace
