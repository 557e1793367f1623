#include "core/Files.h"

#include <QFile>
#include <QSaveFile>

namespace mirel::core {

std::string readFileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()).toStdString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()).toStdString());
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

void writeFileAtomically(const QString& path, std::string_view bytes) {
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    auto fail = [&](const QString& reason) {
        file.cancelWriting();
        throw FileError(QStringLiteral("cannot write %1: %2").arg(path, reason).toStdString());
    };
    if (!file.open(QIODevice::WriteOnly))
        fail(file.errorString());
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
        fail(file.errorString());
    if (!file.commit())
        throw FileError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()).toStdString());
}

} // namespace mirel::core
