#include "core/HomeFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace mirel::core {
namespace {

QString& overrideFolder() {
    static QString folder;
    return folder;
}

bool isWritableFolder(const QString& path) {
    const QFileInfo info(path);
    return info.isDir() && info.isWritable();
}

} // namespace

QString executableFolder() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    return self.canonicalFilePath().isEmpty() ? QDir::currentPath() : self.canonicalPath();
}

QString homeFolder() {
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    const QString fromEnv = qEnvironmentVariable("MIREL_HOME");
    if (!fromEnv.isEmpty()) {
        QDir().mkpath(fromEnv);
        return QDir(fromEnv).absolutePath();
    }
    const QString exe = executableFolder();
    if (isWritableFolder(exe))
        return exe;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                         + QStringLiteral("/mirel");
    QDir().mkpath(data);
    return data;
}

QString homePath(const QString& relative) { return homeFolder() + QLatin1Char('/') + relative; }

void setHomeFolderOverride(const QString& folder) {
    overrideFolder() = folder.isEmpty() ? QString() : QDir(folder).absolutePath();
}

} // namespace mirel::core
