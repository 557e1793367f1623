#pragma once
// The external data source of page "wbsj": one table of a database that Qt Sql
// reaches, attached as a second label data source. The report engine's external
// adapter frDBDataSet2 reads the same table through table().
//
// The connection settings, the password among them, live in this object only:
// nothing of them is ever written to a file.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class QSqlQueryModel;

namespace mirel::app {

// The drivers the connection dialog offers, in this order, when installed.
struct DriverChoice {
    const char* driver;   // Qt Sql driver name
    const char* title;    // what the operator sees
};
inline constexpr DriverChoice kDriverChoices[] = {
    {"QSQLITE", "SQLite"},
    {"QPSQL", "PostgreSQL"},
    {"QODBC", "ODBC"},
    {"QMYSQL", "MySQL"},
};

// How to reach a database. A non-empty `connectionText` is handed to the
// driver as its database name instead of `database` (for ODBC a whole
// connection string such as "DSN=labels;UID=shop", for SQLite a file name).
struct ConnectionSettings {
    QString driver = QStringLiteral("QSQLITE");
    QString database;
    QString host;
    int port = 0;   // 0: the driver's default port
    QString user;
    QString password;
    QString connectionText;

    bool operator==(const ConnectionSettings&) const = default;
};

// The drivers of kDriverChoices that are installed.
QStringList availableDrivers();

// Opens a connection under `name` (replacing one of that name). On failure the
// connection is removed again and `error` gets the driver's message.
bool openConnection(const QString& name, const ConnectionSettings& settings, QString* error);

// The table name as the grid reads it: the report engine's quoting
// (engine::quotedTableName), so the grid and the labels read the same table.
QString quotedTableName(const QString& driver, const QString& table);

// What the external adapter of the report engine needs to read the table.
struct ExternalTable {
    QString driver;
    QString connectionName;   // the open QSqlDatabase connection
    QString table;            // as the operator typed it
    QString selectStatement;  // "SELECT * FROM <quoted table>"
};

class ExternalSource {
public:
    ExternalSource();
    ~ExternalSource();
    ExternalSource(const ExternalSource&) = delete;
    ExternalSource& operator=(const ExternalSource&) = delete;

    const ConnectionSettings& settings() const { return m_settings; }
    void setSettings(const ConnectionSettings& settings) { m_settings = settings; }

    // The table name last opened (the dataset's command text); empty before.
    const QString& commandText() const { return m_commandText; }

    // Opens `table` with the current settings (closing what was open). On
    // failure the source stays closed and `error` gets the database's message.
    bool open(const QString& table, QString* error);
    // Closing a closed source does nothing.
    void close();
    bool isOpen() const { return m_open; }

    // The rows for the grid (empty while closed); owned by this object.
    QSqlQueryModel* model() const { return m_model; }
    // The open table, for the engine's external adapter; meaningful while open.
    ExternalTable table() const;
    QSqlDatabase database() const;

private:
    ConnectionSettings m_settings;
    QString m_connectionName;
    QString m_commandText;
    QString m_select;
    bool m_open = false;
    QSqlQueryModel* m_model;
};

} // namespace mirel::app
