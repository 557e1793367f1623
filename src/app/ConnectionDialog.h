#pragma once
// The connection editor of page "wbsj": chooses the database the external data
// source attaches (driver, database, host, port, user, password, or a raw
// connection text), with a button that tries the connection. Run through
// ui::dialogs().exec(), so tests fill it.

#include "app/ExternalSource.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace mirel::app {

class ConnectionDialog final : public QDialog {
    Q_OBJECT
public:
    explicit ConnectionDialog(const ConnectionSettings& settings, QWidget* parent = nullptr);

    ConnectionSettings settings() const;

public slots:
    // "测试连接": opens a connection with the fields as they stand and says how it went.
    void testConnection();

private:
    void browseDatabase();
    void driverChanged();

    QComboBox* m_driver;
    QLineEdit* m_database;
    QPushButton* m_browse;
    QLineEdit* m_host;
    QSpinBox* m_port;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QLineEdit* m_connectionText;
    QPushButton* m_test;
};

} // namespace mirel::app
