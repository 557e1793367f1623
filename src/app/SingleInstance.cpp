#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace mirel::app {

SingleInstance::SingleInstance(const QString& title) {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    // A title may hold a '/' in principle; the lock file is one name.
    QString name = title;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    m_path = QDir(folder).filePath(name + QStringLiteral(".lock"));

    const QByteArray path = QFile::encodeName(m_path);
    m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        m_acquired = true;
        return;
    }
    int rc;
    do
        rc = ::flock(m_fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    m_acquired = rc == 0 || errno != EWOULDBLOCK;
}

SingleInstance::~SingleInstance() {
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace mirel::app
