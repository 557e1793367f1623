// mirel-make-templates [FOLDER]: writes the default label templates into
// FOLDER (default: the source tree's data/模板).

#include "templates/DefaultTemplates.h"

#include "core/Files.h"
#include "template/TfrReport.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString folder = args.size() > 1 ? args[1] : QStringLiteral(MIREL_SOURCE_DIR "/data/模板");
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "mirel-make-templates: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    const double now = mirel::tmpl::storedNow();
    for (const mirel::tools::DefaultTemplate& t : mirel::tools::defaultTemplates()) {
        const QString path = QDir(folder).filePath(QString::fromUtf8(t.fileName));
        try {
            mirel::core::writeFileAtomically(path, t.make(now));
        } catch (const std::exception& e) {
            std::fprintf(stderr, "mirel-make-templates: %s\n", e.what());
            return 1;
        }
        std::printf("%s\n", path.toLocal8Bit().constData());
    }
    return 0;
}
