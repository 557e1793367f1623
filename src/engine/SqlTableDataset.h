#pragma once
// frDBDataSet2: the external adapter, over one table of any database Qt Sql
// reaches (QSQLITE, QPSQL, QMYSQL, QODBC, ...). The operator names a driver, a
// connection and a table; a run reads the table's rows in the order the database
// returns them, forward only, so a large table is never held in memory.
//
// The table name is quoted as an identifier (each part of schema.table) and never
// pasted into SQL as it is, so a name such as "codes; drop table reg" is only
// ever a (missing) table name.

#include "engine/Dataset.h"

#include <QString>
#include <memory>

namespace mirel::engine {

inline constexpr char kExternalAdapterName[] = "frDBDataSet2";

// How to reach a database. `connection` is what the driver calls its database
// name: the file of an SQLite database, the whole connection string of an ODBC
// one ("DSN=labels;UID=shop"). For the other drivers it may instead be a list of
// key=value pairs separated by ';': Host (or Server), Port, User (UID, User ID),
// Password (PWD), Database (DBName, Data Source); pairs with other keys go to the
// driver as connect options.
struct ExternalTable {
    QString driver;
    QString connection;
    QString table;
};

// The table name as an identifier of the driver's SQL: each part of a dotted
// name ("schema.table") in the driver's quotes (backticks for MySQL and MariaDB),
// quotes inside doubled, a part the operator quoted already taken without its
// quotes; a name with an empty part is one identifier. No name the operator
// types can end the identifier and run as SQL.
QString quotedTableName(const QString& driver, const QString& name);

class SqlTableDataset final : public TfrDataset {
public:
    SqlTableDataset();
    ~SqlTableDataset() override;

    // Opens the table (closing the one open before). On failure the dataset stays
    // closed and DatasetError carries the database's own message.
    void Open(const ExternalTable& table);
    // Opens `table` on a connection the caller already holds open under
    // `connectionName` (a window that shows the same table), reading it with the
    // connection's driver. The connection is borrowed: Close leaves it open, and
    // the caller closes the dataset before it closes the connection. Failures as
    // for Open.
    void OpenOn(const QString& connectionName, const QString& table);
    // Closing a closed dataset does nothing.
    void Close();
    bool IsOpen() const;
    const ExternalTable& Table() const { return m_table; }

protected:
    void SourceFirst(std::int64_t limit) override;
    void SourceNext() override;
    bool SourceEof() const override;
    bool SourceHasField(std::string_view field) const override;
    Value SourceField(std::string_view field) const override;

private:
    struct Connection;
    std::unique_ptr<Connection> m_connection;
    ExternalTable m_table;
};

} // namespace mirel::engine
