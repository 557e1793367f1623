#include "engine/ui/ReportPreview.h"

#include "core/ui/Dialogs.h"
#include "template/PreparedReport.h"
#include "template/TfrReport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>

namespace mirel::engine {

int previewReport(tmpl::TfrReport& report, PrepareSetup setup, const PreviewOptions& options, QWidget* parent) {
    tmpl::TfrPreparedPages pages;
    PrepareResult result;
    try {
        // The number of labels is not known before the run ends: a busy bar
        // with the count so far, shown once the run takes more than a moment.
        QProgressDialog progress(QStringLiteral("正在生成标签…"), QStringLiteral("取消"), 0, 0, parent);
        progress.setObjectName(QStringLiteral("PrepareProgress"));
        progress.setWindowTitle(QStringLiteral("预览"));
        progress.setWindowModality(Qt::WindowModal);
        progress.setAutoReset(false);
        progress.setAutoClose(false);
        progress.reset();   // stops the window's own timer: it is shown below
        QElapsedTimer clock;
        clock.start();
        setup.progress = [&progress, &clock](std::int64_t labels, int pages) {
            // Looking at the window after every label would cost more than the labels.
            if (labels % 64 != 0)
                return true;
            if (!progress.isVisible() && clock.elapsed() > 500)
                progress.show();
            if (progress.isVisible())
                progress.setLabelText(QStringLiteral("正在生成标签：%1 个标签，%2 页").arg(labels).arg(pages));
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        };
        result = prepareReport(report, setup, pages);
    } catch (const PrepareError& error) {
        ui::dialogs().message(parent, QString::fromUtf8(error.what()), QStringLiteral("错误"), ui::MessageIcon::Error);
        return -1;
    }
    if (result.cancelled)
        return -1;
    if (!result.built) {
        ui::dialogs().message(parent, QStringLiteral("模板没有生成任何页面。"), QStringLiteral("提示"));
        return -1;
    }
    return showPreview(report, pages, options, parent);
}

PreviewOptions designerPreviewOptions(const tmpl::TfrReport& report) {
    PreviewOptions options;
    const QString name = core::toUnicode(report.ReportName);
    options.title = name.isEmpty() ? QStringLiteral("预览") : QStringLiteral("预览 - %1").arg(name);
    options.buttons = kLabelJobButtons;
    return options;
}

} // namespace mirel::engine
