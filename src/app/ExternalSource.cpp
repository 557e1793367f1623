#include "app/ExternalSource.h"

#include "engine/SqlTableDataset.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <atomic>

namespace mirel::app {
namespace {

QString uniqueConnectionName() {
    static std::atomic<int> next{0};
    return QStringLiteral("mirel-wbsj-%1").arg(next++);
}

QString driverMessage(const QSqlError& error) {
    QString text = error.text().trimmed();
    return text.isEmpty() ? QStringLiteral("unknown database error") : text;
}

} // namespace

QStringList availableDrivers() {
    const QStringList installed = QSqlDatabase::drivers();
    QStringList drivers;
    for (const DriverChoice& choice : kDriverChoices)
        if (installed.contains(QLatin1String(choice.driver)))
            drivers << QLatin1String(choice.driver);
    return drivers;
}

bool openConnection(const QString& name, const ConnectionSettings& settings, QString* error) {
    if (QSqlDatabase::contains(name))
        QSqlDatabase::removeDatabase(name);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(settings.driver, name);
        if (!db.isValid()) {
            if (error)
                *error = QStringLiteral("database driver %1 is not installed").arg(settings.driver);
        } else {
            db.setDatabaseName(settings.connectionText.isEmpty() ? settings.database : settings.connectionText);
            db.setHostName(settings.host);
            if (settings.port > 0)
                db.setPort(settings.port);
            db.setUserName(settings.user);
            db.setPassword(settings.password);
            if (settings.driver == QLatin1String("QSQLITE")) {
                // Attaching a label source never creates a database: a mistyped
                // file name is an error, not a new empty file.
                db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
            }
            ok = db.open();
            if (!ok && error)
                *error = driverMessage(db.lastError());
            if (!ok)
                db.close();
        }
    }
    if (!ok)
        QSqlDatabase::removeDatabase(name);
    return ok;
}

QString quotedTableName(const QString& driver, const QString& table) {
    return engine::quotedTableName(driver, table);
}

ExternalSource::ExternalSource() : m_model(new QSqlQueryModel) {}

ExternalSource::~ExternalSource() {
    close();
    delete m_model;
}

bool ExternalSource::open(const QString& table, QString* error) {
    close();
    m_commandText = table;
    m_connectionName = uniqueConnectionName();
    if (!openConnection(m_connectionName, m_settings, error)) {
        m_connectionName.clear();
        return false;
    }
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    m_select = QStringLiteral("SELECT * FROM ") + quotedTableName(m_settings.driver, table);
    QSqlQuery query(db);
    if (!query.exec(m_select)) {
        if (error)
            *error = driverMessage(query.lastError());
        query = QSqlQuery();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        m_connectionName.clear();
        return false;
    }
    m_model->setQuery(std::move(query));
    m_open = true;
    return true;
}

void ExternalSource::close() {
    if (m_connectionName.isEmpty())
        return;
    m_model->clear();
    m_open = false;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
    m_connectionName.clear();
}

ExternalTable ExternalSource::table() const {
    return ExternalTable{m_settings.driver, m_connectionName, m_commandText, m_select};
}

QSqlDatabase ExternalSource::database() const {
    return m_open ? QSqlDatabase::database(m_connectionName, false) : QSqlDatabase();
}

} // namespace mirel::app
