#include "engine/SqlTableDataset.h"

#include "core/Encoding.h"
#include "template/TfrReport.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTime>
#include <atomic>
#include <limits>
#include <optional>

namespace mirel::engine {

namespace {

QString errorText(const QSqlError& error) {
    QString text = error.text().trimmed();
    return text.isEmpty() ? QStringLiteral("unknown error") : text;
}

[[noreturn]] void fail(const QString& what) {
    throw DatasetError(QStringLiteral("%1: %2").arg(QLatin1String(kExternalAdapterName), what).toStdString());
}

// Applies a connection text to a database: key=value pairs for the drivers
// that take them apart, the database name otherwise.
void applyConnection(QSqlDatabase& db, const QString& driver, const QString& text) {
    const bool wholeString = driver.startsWith(QLatin1String("QODBC"), Qt::CaseInsensitive)
                             || driver.compare(QLatin1String("QSQLITE"), Qt::CaseInsensitive) == 0
                             || !text.contains(QLatin1Char('='));
    if (wholeString) {
        db.setDatabaseName(text);
        return;
    }
    QStringList options;
    for (const QString& part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        const QString key = (eq < 0 ? part : part.left(eq)).trimmed();
        const QString value = eq < 0 ? QString() : part.mid(eq + 1).trimmed();
        const QString k = key.toLower();
        if (k == QLatin1String("host") || k == QLatin1String("server"))
            db.setHostName(value);
        else if (k == QLatin1String("port"))
            db.setPort(value.toInt());
        else if (k == QLatin1String("user") || k == QLatin1String("uid") || k == QLatin1String("user id"))
            db.setUserName(value);
        else if (k == QLatin1String("password") || k == QLatin1String("pwd"))
            db.setPassword(value);
        else if (k == QLatin1String("database") || k == QLatin1String("dbname") || k == QLatin1String("data source"))
            db.setDatabaseName(value);
        else if (!key.isEmpty())
            options << part.trimmed();
    }
    if (!options.isEmpty())
        db.setConnectOptions(options.join(QLatin1Char(';')));
}

Value toValue(const QVariant& v) {
    if (v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::Bool: return Value::boolean(v.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Long:
    case QMetaType::LongLong: return Value::integer(v.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qulonglong u = v.toULongLong();
        return u <= static_cast<qulonglong>(std::numeric_limits<std::int64_t>::max())
                   ? Value::integer(static_cast<std::int64_t>(u))
                   : Value::real(static_cast<double>(u));
    }
    case QMetaType::Double:
    case QMetaType::Float: return Value::real(v.toDouble());
    case QMetaType::QDate: return Value::dateTime(QDate(1899, 12, 30).daysTo(v.toDate()));
    case QMetaType::QTime: return Value::dateTime(v.toTime().msecsSinceStartOfDay() / 86400000.0);
    case QMetaType::QDateTime: return Value::dateTime(tmpl::toStoredDate(v.toDateTime()));
    case QMetaType::QByteArray: {
        // Bytes stored by a program of the code page era: keep them as they are.
        const QByteArray bytes = v.toByteArray();
        return Value::string(AnsiString(bytes.constData(), static_cast<size_t>(bytes.size())));
    }
    default: return Value::string(core::fromUnicode(v.toString()));
    }
}

std::atomic<int> g_connectionNumber{0};

} // namespace

// The table name as an identifier of the driver's SQL: each part of a dotted
// name (schema.table) in the driver's quotes, quotes inside doubled. A part the
// operator quoted already is taken without its quotes first. Qt's own quoting
// passes names that begin with a quote or hold brackets through unchanged, so it
// is not used. The main window's grid and the external adapter both read the
// table under this one name.
QString quotedTableName(const QString& driver, const QString& name) {
    const bool backticks = driver.startsWith(QLatin1String("QMYSQL"), Qt::CaseInsensitive)
                           || driver.startsWith(QLatin1String("QMARIADB"), Qt::CaseInsensitive);
    const QChar quote = backticks ? QLatin1Char('`') : QLatin1Char('"');
    QStringList names = name.split(QLatin1Char('.'));
    // A dotted name with an empty part ("a..b", ".b") is no schema and table:
    // the whole name is one identifier.
    if (names.contains(QString()))
        names = QStringList{name};
    QStringList parts;
    for (QString part : names) {
        part = part.trimmed();
        const struct {
            QChar open, close;
        } enclosings[] = {{QLatin1Char('"'), QLatin1Char('"')}, {QLatin1Char('['), QLatin1Char(']')},
                          {QLatin1Char('`'), QLatin1Char('`')}};
        for (const auto& e : enclosings) {
            if (part.size() >= 2 && part.front() == e.open && part.back() == e.close
                && !part.mid(1, part.size() - 2).contains(e.close)) {
                part = part.mid(1, part.size() - 2);
                break;
            }
        }
        part.replace(quote, QString(2, quote));
        parts << quote + part + quote;
    }
    return parts.join(QLatin1Char('.'));
}

struct SqlTableDataset::Connection {
    QString name;
    bool owned = true;   // made by Open; a borrowed one stays open
    std::optional<QSqlQuery> query;
    QSqlRecord record;
    bool atEnd = true;

    QSqlDatabase database() const { return QSqlDatabase::database(name, false); }

    ~Connection() {
        query.reset();
        record = QSqlRecord();
        if (!owned)
            return;
        {
            QSqlDatabase db = database();
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
};

SqlTableDataset::SqlTableDataset() : TfrDataset(kExternalAdapterName) {}

SqlTableDataset::~SqlTableDataset() = default;

namespace {

void checkTableName(const QString& table) {
    if (table.trimmed().isEmpty())
        fail(QStringLiteral("no table named"));
    for (const QChar c : table)
        if (c.unicode() < 32)
            fail(QStringLiteral("a table name holds no control characters"));
}

// Reads no row: the table's fields, or DatasetError with the database's message.
QSqlRecord probeTable(QSqlDatabase& db, const QString& driver, const QString& table) {
    QSqlQuery probe(db);
    probe.setForwardOnly(true);
    if (!probe.exec(QStringLiteral("SELECT * FROM ") + quotedTableName(driver, table) + QStringLiteral(" WHERE 1=0")))
        fail(QStringLiteral("cannot read table '%1': %2").arg(table, errorText(probe.lastError())));
    return probe.record();
}

} // namespace

void SqlTableDataset::OpenOn(const QString& connectionName, const QString& table) {
    Close();
    checkTableName(table);
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    if (!db.isValid() || !db.isOpen())
        fail(QStringLiteral("the connection '%1' is not open").arg(connectionName));
    auto connection = std::make_unique<Connection>();
    connection->name = connectionName;
    connection->owned = false;
    ExternalTable opened{db.driverName(), QString(), table};
    connection->record = probeTable(db, opened.driver, table);
    m_connection = std::move(connection);
    m_table = opened;
}

void SqlTableDataset::Open(const ExternalTable& table) {
    Close();
    checkTableName(table.table);
    if (!QSqlDatabase::isDriverAvailable(table.driver))
        fail(QStringLiteral("no database driver '%1' (available: %2)")
                        .arg(table.driver, QSqlDatabase::drivers().join(QStringLiteral(", "))));
    auto connection = std::make_unique<Connection>();
    connection->name = QStringLiteral("mirel-external-%1").arg(++g_connectionNumber);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(table.driver, connection->name);
        applyConnection(db, table.driver, table.connection);
        if (table.driver.compare(QLatin1String("QSQLITE"), Qt::CaseInsensitive) == 0) {
            // An SQLite file that does not exist would be created empty: open
            // existing files only, and read them without changing them.
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        }
        if (!db.open())
            fail(QStringLiteral("cannot open '%1': %2").arg(table.connection, errorText(db.lastError())));
        connection->record = probeTable(db, table.driver, table.table);
    }
    m_connection = std::move(connection);
    m_table = table;
}

void SqlTableDataset::Close() { m_connection.reset(); }

bool SqlTableDataset::IsOpen() const { return m_connection != nullptr; }

void SqlTableDataset::SourceFirst(std::int64_t limit) {
    (void)limit;
    if (!m_connection)
        return;
    Connection& c = *m_connection;
    c.query.reset();
    QSqlDatabase db = c.database();
    c.query.emplace(db);
    c.query->setForwardOnly(true);
    const QString quoted = quotedTableName(m_table.driver, m_table.table);
    if (!c.query->exec(QStringLiteral("SELECT * FROM ") + quoted)) {
        const QString message = errorText(c.query->lastError());
        c.query.reset();
        c.atEnd = true;
        fail(QStringLiteral("cannot read table '%1': %2").arg(m_table.table, message));
    }
    c.record = c.query->record();
    c.atEnd = !c.query->next();
}

void SqlTableDataset::SourceNext() {
    if (!m_connection || !m_connection->query || m_connection->atEnd)
        return;
    m_connection->atEnd = !m_connection->query->next();
}

bool SqlTableDataset::SourceEof() const { return !m_connection || !m_connection->query || m_connection->atEnd; }

bool SqlTableDataset::SourceHasField(std::string_view field) const {
    return m_connection && m_connection->record.indexOf(core::toUnicode(field)) >= 0;
}

Value SqlTableDataset::SourceField(std::string_view field) const {
    const int index = m_connection->record.indexOf(core::toUnicode(field));
    return toValue(m_connection->query->value(index));
}

} // namespace mirel::engine
