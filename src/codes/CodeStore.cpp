#include "codes/CodeStore.h"

#include "codes/Cipher.h"
#include "codes/CodeLines.h"
#include "core/Files.h"
#include "core/Numbers.h"
#include "core/Text.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <sqlite3.h>
#include <unistd.h>

namespace mirel::codes {

namespace detail {

// A reader's prepared SELECT. The store ends it (finalizes the statement) before
// any command and before closing, so a forgotten reader never blocks a write or
// keeps the file open.
struct ReaderStatement {
    sqlite3_stmt* stmt = nullptr;
    QString path;
    void end() {
        sqlite3_finalize(stmt);
        stmt = nullptr;
    }
    ~ReaderStatement() { end(); }
};

} // namespace detail

namespace {

constexpr const char* kCreateTable =
    "CREATE TABLE IF NOT EXISTS reg (ID INTEGER PRIMARY KEY, NO TEXT, key0 TEXT, key1 TEXT)";
constexpr const char* kSelectColumns = "SELECT ID, NO, key0, key1 FROM reg";

// Progress is reported every this many records: a few milliseconds of work.
constexpr std::int64_t kProgressStep = 4096;

QString sqliteMessage(sqlite3* db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

[[noreturn]] void throwFor(const QString& path, const QString& what) {
    throw CodeStoreError((path + QStringLiteral(": ") + what).toStdString());
}

bool isAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80)
            return false;
    return true;
}

// A prepared statement that is finalized when it goes out of scope.
class Statement {
public:
    Statement(sqlite3* db, const QString& path, const char* sql) : m_db(db), m_path(path) {
        if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            throwFor(path, sqliteMessage(db));
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return m_stmt; }
    void bind(int index, std::int64_t value) { sqlite3_bind_int64(m_stmt, index, value); }
    // True while rows come, false when done; throws on an error.
    bool step() {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        throwFor(m_path, sqliteMessage(m_db));
    }

private:
    sqlite3* m_db;
    const QString& m_path;
    sqlite3_stmt* m_stmt = nullptr;
};

// A stored field back to code page bytes: UTF-8 text converted, a BLOB (bytes
// that were not valid code page text) as it is, NULL as empty, numbers that
// another tool stored as their decimal text.
AnsiString columnAnsi(sqlite3_stmt* stmt, int column) {
    const int type = sqlite3_column_type(stmt, column);
    if (type == SQLITE_NULL)
        return {};
    if (type == SQLITE_BLOB) {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt, column));
        return AnsiString(data, static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
    }
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return core::fromUtf8(std::string_view(data, static_cast<size_t>(sqlite3_column_bytes(stmt, column))));
}

CodeRecord rowRecord(sqlite3_stmt* stmt) {
    return CodeRecord{sqlite3_column_int64(stmt, 0), columnAnsi(stmt, 1), columnAnsi(stmt, 2), columnAnsi(stmt, 3)};
}

// Everything that can be wrong with an existing SQLite file as a code store, or
// an empty text when it is usable. Asked over a read-only connection, so nothing
// is written to a file that turns out to be foreign.
QString schemaProblem(const QSqlDatabase& db) {
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT type FROM sqlite_master WHERE name = 'reg' COLLATE NOCASE")))
        return QStringLiteral("not a readable SQLite database (%1)").arg(query.lastError().databaseText());
    if (!query.next())
        return QStringLiteral("an SQLite database without table reg, not a code store");
    if (query.value(0).toString() != QLatin1String("table"))
        return QStringLiteral("reg is a %1, not a table").arg(query.value(0).toString());
    if (!query.exec(QStringLiteral("PRAGMA table_info(reg)")))
        return QStringLiteral("cannot read table reg (%1)").arg(query.lastError().databaseText());
    bool id = false, no = false, key0 = false, key1 = false;
    int keyColumns = 0;
    while (query.next()) {
        const QString name = query.value(1).toString();
        const bool primaryKey = query.value(5).toInt() > 0;
        keyColumns += primaryKey ? 1 : 0;
        if (name.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0)
            id = primaryKey && query.value(2).toString().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
        no = no || name.compare(QLatin1String("NO"), Qt::CaseInsensitive) == 0;
        key0 = key0 || name.compare(QLatin1String("key0"), Qt::CaseInsensitive) == 0;
        key1 = key1 || name.compare(QLatin1String("key1"), Qt::CaseInsensitive) == 0;
    }
    if (!(id && keyColumns == 1 && no && key0 && key1))
        return QStringLiteral("table reg lacks the columns ID INTEGER PRIMARY KEY, NO, key0 and key1");
    return {};
}

// Reads the first bytes of an existing file: an SQLite database begins with
// "SQLite format 3" and a NUL.
QString headerProblem(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read (%1)").arg(file.errorString());
    const QByteArray header = file.read(16);
    if (header != QByteArray("SQLite format 3\0", 16))
        return QStringLiteral("not an SQLite database");
    return {};
}

// A write transaction, rolled back unless committed: a failure, an exception
// from a callback or a cancel anywhere inside leaves the file as it was.
class Transaction {
public:
    Transaction(sqlite3* db, const QString& path) : m_db(db), m_path(path) { run("BEGIN IMMEDIATE"); }
    ~Transaction() {
        if (!sqlite3_get_autocommit(m_db))
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit() { run("COMMIT"); }

private:
    void run(const char* sql) {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            throwFor(m_path, sqliteMessage(m_db));
    }
    sqlite3* m_db;
    const QString& m_path;
};

std::atomic<int> connectionCounter{0};

} // namespace

// The prepared INSERT of the bulk commands, bound and stepped once per record
// through the SQLite C API on the Qt connection's own handle: per-row binding
// through QSqlQuery costs several times as much for a million codes.
struct CodeStore::Insert {
    Insert(sqlite3* db, const QString& path)
        : statement(db, path, "INSERT INTO reg (NO, key0, key1) VALUES (?, ?, ?)") {}

    // Binds code page bytes in their stored form: ASCII as it is, other valid
    // code page text as UTF-8, anything else as a BLOB of the bytes. The bytes
    // must stay valid until add() returns.
    void bind(int index, std::string_view ansi) {
        sqlite3_stmt* stmt = statement.get();
        if (isAscii(ansi)) {
            sqlite3_bind_text(stmt, index, ansi.empty() ? "" : ansi.data(), static_cast<int>(ansi.size()), SQLITE_STATIC);
            return;
        }
        std::string& utf8 = scratch[index - 1];
        utf8 = core::toUtf8(ansi);
        if (core::fromUtf8(utf8) == ansi)
            sqlite3_bind_text(stmt, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_STATIC);
        else
            sqlite3_bind_blob(stmt, index, ansi.data(), static_cast<int>(ansi.size()), SQLITE_STATIC);
    }

    void add(std::string_view no, std::string_view key0, std::string_view key1) {
        bind(1, no);
        bind(2, key0);
        bind(3, key1);
        statement.step();
        sqlite3_reset(statement.get());
    }

    Statement statement;
    std::string scratch[3];
};

int codeFieldIndex(std::string_view name) {
    const QString wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    for (int i = 0; i < 4; ++i)
        if (wanted.compare(QLatin1String(kCodeFieldNames[i].data(), static_cast<qsizetype>(kCodeFieldNames[i].size())),
                           Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

AnsiString codeFieldText(const CodeRecord& record, int index) {
    switch (index) {
    case 0: return std::to_string(record.id);
    case 1: return record.no;
    case 2: return record.key0;
    case 3: return record.key1;
    default: return {};
    }
}

std::int64_t parseQuantity(std::string_view text) {
    const auto value = core::tryParseInteger(text);
    if (!value || *value < 0)
        throw CodeStoreError("'" + std::string(text) + "' is not a valid quantity: a whole number of 0 or more");
    return *value;
}

// --- CodeReader -------------------------------------------------------------

CodeReader::CodeReader(std::shared_ptr<detail::ReaderStatement> statement, std::int64_t limit)
    : m_statement(std::move(statement)), m_limit(limit) {
    first();
}

CodeReader::CodeReader(CodeReader&&) noexcept = default;
CodeReader& CodeReader::operator=(CodeReader&&) noexcept = default;
CodeReader::~CodeReader() = default;

void CodeReader::first() {
    if (m_statement && m_statement->stmt)
        sqlite3_reset(m_statement->stmt);
    m_counter = 0;
    fetch();
}

bool CodeReader::atEnd() const { return m_atEnd || !m_statement || !m_statement->stmt; }

void CodeReader::next() {
    if (atEnd())
        return;
    ++m_counter;
    fetch();
}

void CodeReader::fetch() {
    m_atEnd = true;
    if (!m_statement || !m_statement->stmt || (m_limit >= 0 && m_counter >= m_limit))
        return;
    sqlite3_stmt* stmt = m_statement->stmt;
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        m_current = rowRecord(stmt);
        m_atEnd = false;
    } else if (rc != SQLITE_DONE) {
        const QString message = sqliteMessage(sqlite3_db_handle(stmt));
        m_statement->end();
        throwFor(m_statement->path, message);
    }
}

// --- CodeStore ----------------------------------------------------------------

CodeStore::CodeStore(const QString& path)
    : m_path(path), m_connection(QStringLiteral("mirel-codes-%1").arg(++connectionCounter)) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        if (!db.isValid()) {
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connection);
            fail(QStringLiteral("the Qt SQLite driver QSQLITE is not installed"));
        }
    }
    try {
        open();
    } catch (...) {
        QSqlDatabase::removeDatabase(m_connection);
        throw;
    }
}

CodeStore::~CodeStore() {
    close();
    QSqlDatabase::removeDatabase(m_connection);
}

void CodeStore::fail(const QString& what) const { throwFor(m_path, what); }

bool CodeStore::isOpen() const { return QSqlDatabase::database(m_connection, false).isOpen(); }

void CodeStore::requireOpen() const {
    if (!isOpen())
        fail(QStringLiteral("the code store is not open"));
}

sqlite3* CodeStore::handle() const {
    requireOpen();
    const QVariant v = QSqlDatabase::database(m_connection, false).driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        fail(QStringLiteral("the QSQLITE driver gave no SQLite handle"));
    sqlite3* db = *static_cast<sqlite3* const*>(v.constData());
    if (!db)
        fail(QStringLiteral("the code store is not open"));
    return db;
}

void CodeStore::execute(const char* sql) const {
    sqlite3* db = handle();
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(sqliteMessage(db));
}

void CodeStore::open() {
    close();
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    const QFileInfo info(m_path);
    if (info.exists() && !info.isFile())
        fail(QStringLiteral("not a file"));
    // A missing or empty file is a new store; anything else must already be one.
    const bool fresh = !info.exists() || info.size() == 0;
    if (!fresh) {
        if (const QString problem = headerProblem(m_path); !problem.isEmpty())
            fail(problem + QStringLiteral("; the file was left unchanged"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        db.setDatabaseName(m_path);
        if (!db.open())
            fail(QStringLiteral("cannot open (%1); the file was left unchanged").arg(db.lastError().databaseText()));
        const QString problem = schemaProblem(db);
        db.close();
        if (!problem.isEmpty())
            fail(problem + QStringLiteral("; the file was left unchanged"));
    }
    db.setConnectOptions();
    db.setDatabaseName(m_path);
    if (!db.open())
        fail(QStringLiteral("cannot open the code store (%1)").arg(db.lastError().databaseText()));
    try {
        if (fresh)
            execute(kCreateTable);
        refreshCount();
    } catch (...) {
        db.close();
        throw;
    }
}

void CodeStore::close() {
    endReaders();
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (db.isOpen())
        db.close();
    m_count = 0;
    m_firstId = 0;
    m_dense = true;
}

void CodeStore::endReaders() const {
    for (const auto& weak : m_readers)
        if (const auto reader = weak.lock())
            reader->end();
    m_readers.clear();
}

void CodeStore::refreshCount() const {
    // Three subqueries, so that SQLite answers each from the table's B-tree
    // (count from its pages, min and max from its ends) without reading rows.
    Statement query(handle(), m_path,
                    "SELECT (SELECT count(*) FROM reg), (SELECT min(ID) FROM reg), (SELECT max(ID) FROM reg)");
    query.step();
    m_count = sqlite3_column_int64(query.get(), 0);
    m_firstId = sqlite3_column_int64(query.get(), 1);
    m_dense = m_count == 0 || sqlite3_column_int64(query.get(), 2) - m_firstId + 1 == m_count;
}

std::int64_t CodeStore::count() const { return m_count; }

std::vector<CodeRecord> CodeStore::select(const char* sql, std::int64_t a, std::int64_t b) const {
    Statement query(handle(), m_path, sql);
    query.bind(1, a);
    query.bind(2, b);
    std::vector<CodeRecord> rows;
    while (query.step())
        rows.push_back(rowRecord(query.get()));
    return rows;
}

std::vector<CodeRecord> CodeStore::records(std::int64_t position, std::int64_t limit) const {
    if (position < 0 || limit <= 0)
        return {};
    // With IDs that have no gaps the row at a position is found through the
    // primary key; otherwise OFFSET steps over the rows before it.
    if (m_dense)
        return select("SELECT ID, NO, key0, key1 FROM reg WHERE ID >= ?1 ORDER BY ID LIMIT ?2",
                      m_firstId + position, limit);
    return select("SELECT ID, NO, key0, key1 FROM reg ORDER BY ID LIMIT ?2 OFFSET ?1", position, limit);
}

std::vector<CodeRecord> CodeStore::recordsAfter(std::int64_t afterId, std::int64_t limit) const {
    if (limit <= 0)
        return {};
    return select("SELECT ID, NO, key0, key1 FROM reg WHERE ID > ?1 ORDER BY ID LIMIT ?2", afterId, limit);
}

CodeReader CodeStore::reader(std::int64_t limit) const {
    auto statement = std::make_shared<detail::ReaderStatement>();
    statement->path = m_path;
    sqlite3* db = handle();
    const std::string sql = std::string(kSelectColumns) + " ORDER BY ID";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement->stmt, nullptr) != SQLITE_OK)
        fail(sqliteMessage(db));
    std::erase_if(m_readers, [](const auto& weak) { return weak.expired(); });
    m_readers.push_back(statement);
    return CodeReader(std::move(statement), limit);
}

bool CodeStore::deleteAll(const Progress& progress) {
    requireOpen();
    endReaders();
    const std::int64_t total = m_count;
    if (progress && !progress(0, total))
        return false;
    // One statement in its own transaction: SQLite drops the table's pages
    // without visiting rows, well under a second for a million codes.
    execute("DELETE FROM reg");
    refreshCount();
    if (progress)
        progress(total, total);
    return true;
}

bool CodeStore::replaceRecords(std::int64_t total, const Progress& progress,
                               const std::function<void(Insert&, std::int64_t)>& row) {
    requireOpen();
    endReaders();
    if (progress && !progress(0, total))
        return false;
    sqlite3* db = handle();
    {
        Transaction transaction(db, m_path);
        {
            Statement clear(db, m_path, "DELETE FROM reg");
            clear.step();
            Insert insert(db, m_path);
            for (std::int64_t k = 0; k < total; ++k) {
                row(insert, k);
                if (progress && (k + 1) % kProgressStep == 0 && k + 1 < total && !progress(k + 1, total))
                    return false;
            }
        }
        if (progress && !progress(total, total))
            return false;
        transaction.commit();
    }
    refreshCount();
    return true;
}

bool CodeStore::generate(std::string_view seed, std::int64_t count, CodeList& list, const Progress& progress) {
    if (count < 0)
        fail(QStringLiteral("cannot generate %1 codes: the quantity must be 0 or more").arg(count));
    requireOpen();
    CodeList fresh;
    // Line "k code": at most 7 digits for a million, a space, the code, CR LF.
    fresh.reserve(count, count * static_cast<std::int64_t>(7 + 1 + 2 + 2 * seed.size() + 2));
    char number[24];
    std::string line;
    const bool done = replaceRecords(count, progress, [&](Insert& insert, std::int64_t k) {
        const auto end = std::to_chars(number, number + sizeof number, k + 1).ptr;
        const std::string_view no(number, static_cast<size_t>(end - number));
        const std::string code = Encipher(seed, kCodeKey, -1);
        insert.add(no, {}, code);
        line.assign(no);
        line += ' ';
        line += code;
        fresh.append(line);
    });
    if (done)
        list = std::move(fresh);
    return done;
}

bool CodeStore::importFile(const QString& file, CodeList& list, const Progress& progress) {
    std::string bytes;
    try {
        bytes = core::readFileBytes(file);
    } catch (const core::FileError& e) {
        throw CodeStoreError(e.what());
    }
    return importBytes(bytes, list, progress);
}

bool CodeStore::importBytes(std::string_view fileBytes, CodeList& list, const Progress& progress) {
    requireOpen();
    const AnsiString text = core::textFileToAnsi(fileBytes);
    const std::vector<std::string_view> lines = core::splitLines(text);
    CodeList fresh;
    fresh.reserve(static_cast<std::int64_t>(lines.size()), static_cast<std::int64_t>(text.size() + 2 * lines.size()));
    const bool done = replaceRecords(static_cast<std::int64_t>(lines.size()), progress, [&](Insert& insert, std::int64_t k) {
        const std::string_view line = lines[static_cast<size_t>(k)];
        const ImportFields fields = splitImportLine(line);
        insert.add(fields.no, fields.key0, fields.key1);
        fresh.append(line);
    });
    if (done)
        list = std::move(fresh);
    return done;
}

void CodeStore::exportTo(const QString& file) const {
    Statement query(handle(), m_path, "SELECT NO, key0, key1 FROM reg ORDER BY ID");
    std::string out;
    out.reserve(static_cast<size_t>(m_count) * 24);
    while (query.step())
        appendExportLine(out, columnAnsi(query.get(), 0), columnAnsi(query.get(), 1), columnAnsi(query.get(), 2));
    try {
        core::writeFileAtomically(file, out);
    } catch (const core::FileError& e) {
        throw CodeStoreError(e.what());
    }
}

void CodeStore::backupTo(const QString& target) {
    // Closed for the copy, so that no connection has the file in use.
    close();
    QString problem;
    {
        QFile source(m_path);
        QFile copy(target);
        if (!source.open(QIODevice::ReadOnly)) {
            problem = QStringLiteral("cannot read %1 (%2)").arg(m_path, source.errorString());
        } else if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            // NewOnly is an exclusive create (O_EXCL): an existing file is never opened.
            problem = copy.exists() ? QStringLiteral("the file already exists") : copy.errorString();
        } else {
            char buffer[1 << 16];
            for (;;) {
                const qint64 n = source.read(buffer, sizeof buffer);
                if (n < 0) {
                    problem = QStringLiteral("cannot read %1 (%2)").arg(m_path, source.errorString());
                    break;
                }
                if (n == 0)
                    break;
                if (copy.write(buffer, n) != n) {
                    problem = copy.errorString();
                    break;
                }
            }
            if (problem.isEmpty() && !copy.flush())
                problem = copy.errorString();
            if (problem.isEmpty() && ::fsync(copy.handle()) != 0)
                problem = QString::fromLocal8Bit(std::strerror(errno));
            copy.close();
            if (problem.isEmpty() && copy.error() != QFileDevice::NoError)
                problem = copy.errorString();
            if (!problem.isEmpty())
                copy.remove();   // ours: created by this copy a moment ago
        }
    }
    open();
    if (!problem.isEmpty())
        throwFor(target, QStringLiteral("backup failed: ") + problem);
}

} // namespace mirel::codes
