#include "app/ConnectionDialog.h"

#include "core/ui/Dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace mirel::app {
namespace {

QLineEdit* field(QWidget* parent, const char* name, const QString& text) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

} // namespace

ConnectionDialog::ConnectionDialog(const ConnectionSettings& settings, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ConnectionDialog"));
    setWindowTitle(QStringLiteral("选择数据库"));

    m_driver = new QComboBox(this);
    m_driver->setObjectName(QStringLiteral("DriverBox"));
    for (const DriverChoice& choice : kDriverChoices)
        if (availableDrivers().contains(QLatin1String(choice.driver)))
            m_driver->addItem(QString::fromUtf8(choice.title), QString::fromLatin1(choice.driver));
    const int current = m_driver->findData(settings.driver);
    m_driver->setCurrentIndex(current >= 0 ? current : 0);

    m_database = field(this, "DatabaseEdit", settings.database);
    m_browse = new QPushButton(QStringLiteral("…"), this);
    m_browse->setObjectName(QStringLiteral("BrowseButton"));
    m_browse->setAutoDefault(false);
    m_browse->setFixedWidth(28);
    m_host = field(this, "HostEdit", settings.host);
    m_port = new QSpinBox(this);
    m_port->setObjectName(QStringLiteral("PortEdit"));
    m_port->setRange(0, 65535);
    m_port->setSpecialValueText(QStringLiteral("默认"));
    m_port->setValue(settings.port);
    m_user = field(this, "UserEdit", settings.user);
    m_password = field(this, "PasswordEdit", settings.password);
    m_password->setEchoMode(QLineEdit::Password);
    m_connectionText = field(this, "ConnectionTextEdit", settings.connectionText);
    m_connectionText->setPlaceholderText(QStringLiteral("例如 DSN=labels;UID=shop"));

    auto* databaseRow = new QHBoxLayout;
    databaseRow->setContentsMargins(0, 0, 0, 0);
    databaseRow->addWidget(m_database);
    databaseRow->addWidget(m_browse);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("驱动程序:"), m_driver);
    form->addRow(QStringLiteral("数据库:"), databaseRow);
    form->addRow(QStringLiteral("主机:"), m_host);
    form->addRow(QStringLiteral("端口:"), m_port);
    form->addRow(QStringLiteral("用户名:"), m_user);
    form->addRow(QStringLiteral("密码:"), m_password);
    form->addRow(QStringLiteral("连接字符串:"), m_connectionText);

    m_test = new QPushButton(QStringLiteral("测试连接"), this);
    m_test->setObjectName(QStringLiteral("TestButton"));
    m_test->setAutoDefault(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("ButtonBox"));
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    buttons->addButton(m_test, QDialogButtonBox::ActionRole);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(360);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_test, &QPushButton::clicked, this, &ConnectionDialog::testConnection);
    connect(m_browse, &QPushButton::clicked, this, &ConnectionDialog::browseDatabase);
    connect(m_driver, &QComboBox::currentIndexChanged, this, &ConnectionDialog::driverChanged);
    driverChanged();
}

ConnectionSettings ConnectionDialog::settings() const {
    ConnectionSettings s;
    s.driver = m_driver->currentData().toString();
    s.database = m_database->text().trimmed();
    s.host = m_host->text().trimmed();
    s.port = m_port->value();
    s.user = m_user->text();
    s.password = m_password->text();
    s.connectionText = m_connectionText->text().trimmed();
    return s;
}

void ConnectionDialog::testConnection() {
    const QString name = QStringLiteral("mirel-connection-test");
    QString error;
    if (openConnection(name, settings(), &error)) {
        QSqlDatabase::removeDatabase(name);
        ui::dialogs().message(this, QStringLiteral("连接成功!"), QStringLiteral("提示"), ui::MessageIcon::Information);
    } else {
        ui::dialogs().message(this, QStringLiteral("连接失败: ") + error, QStringLiteral("错误"), ui::MessageIcon::Error);
    }
}

void ConnectionDialog::browseDatabase() {
    ui::FileDialogOptions options;
    options.title = QStringLiteral("选择数据库文件");
    options.filter = QStringLiteral("SQLite 数据库(*.db;*.sqlite;*.sqlite3)|*.db;*.sqlite;*.sqlite3|所有文件(*.*)|*");
    if (const std::optional<QString> path = ui::dialogs().openFile(this, options))
        m_database->setText(*path);
}

// A file database takes a file name; a server takes host, port and user.
void ConnectionDialog::driverChanged() {
    const QString driver = m_driver->currentData().toString();
    const bool file = driver == QLatin1String("QSQLITE");
    m_browse->setEnabled(file);
    m_host->setEnabled(!file);
    m_port->setEnabled(!file);
    m_user->setEnabled(!file);
    m_password->setEnabled(!file);
}

} // namespace mirel::app
