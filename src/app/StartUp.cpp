#include "app/StartUp.h"

#include "barcode/TfrBarCodeView.h"
#include "engine/Printers.h"
#include "pdf417/Tfr2BarCodePDFView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace mirel::app {

void startEngine() {
    static const bool started = [] {
        barcode::registerBarcodeObjects();
        pdf417::registerPdf417Objects();
        engine::installSystemPrinters();
        return true;
    }();
    (void)started;
}

QStringList prepareHomeFolder(const QString& home, const QString& shippedTemplates) {
    QDir folder(home);
    folder.mkpath(QStringLiteral("模板"));
    folder.mkpath(QStringLiteral("db"));
    const QString target = folder.filePath(QStringLiteral("模板"));
    const QDir shipped(shippedTemplates);
    QStringList copied;
    if (!shipped.exists() || QFileInfo(shipped.absolutePath()) == QFileInfo(target))
        return copied;
    for (const QFileInfo& file : shipped.entryInfoList(QDir::Files, QDir::Name)) {
        const QString destination = QDir(target).filePath(file.fileName());
        if (QFileInfo::exists(destination))
            continue;
        // A copy cut short would sit there as the operator's template: copy
        // under a temporary name, then rename.
        const QString partial = destination + QStringLiteral(".part");
        QFile::remove(partial);
        // A template shipped read-only (a system-wide install) is the
        // operator's to edit once copied.
        if (QFile::copy(file.absoluteFilePath(), partial)
            && QFile::setPermissions(partial, QFile::permissions(partial) | QFile::WriteOwner | QFile::ReadOwner)
            && QFile::rename(partial, destination))
            copied << file.fileName();
        else
            QFile::remove(partial);
    }
    return copied;
}

} // namespace mirel::app
