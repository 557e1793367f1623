#include "engine/ui/PreviewOutput.h"

#include "engine/ui/PagePainting.h"

#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <algorithm>

namespace mirel::engine {

namespace {

// Sends the pages to a paged device whose painter origin is the paper corner.
OutputResult paintPages(QPagedPaintDevice& device, QPainter& painter, const tmpl::TfrPreparedPages& pages,
                        const std::vector<int>& order, const OutputProgress& progress,
                        const std::function<bool()>& beginPainting) {
    OutputResult result;
    const int total = static_cast<int>(order.size());
    for (int i = 0; i < total; ++i) {
        const tmpl::TfrPreparedPage& page = pages.Pages[static_cast<size_t>(order[static_cast<size_t>(i)])];
        device.setPageLayout(pageLayoutFor(page));
        if (i == 0) {
            if (!beginPainting()) {
                result.error = QStringLiteral("无法开始输出");
                return result;
            }
        } else if (!device.newPage()) {
            result.error = QStringLiteral("无法开始新的一页");
            return result;
        }
        const double dpiX = device.logicalDpiX();
        const double dpiY = device.logicalDpiY();
        paintPage(painter, page, QPointF(0, 0), dpiX, dpiY);
        result.pages = i + 1;
        if (progress && !progress(i + 1, total) && i + 1 < total) {
            result.cancelled = true;
            return result;
        }
    }
    return result;
}

} // namespace

std::vector<int> printOrder(int pageCount, int first, int last, int copies, bool collate) {
    std::vector<int> order;
    if (pageCount <= 0)
        return order;
    first = first <= 0 ? 1 : std::min(first, pageCount);
    last = last <= 0 ? pageCount : std::min(last, pageCount);
    if (first > last)
        std::swap(first, last);
    copies = std::max(copies, 1);
    order.reserve(static_cast<size_t>(last - first + 1) * static_cast<size_t>(copies));
    if (collate) {
        for (int c = 0; c < copies; ++c)
            for (int p = first; p <= last; ++p)
                order.push_back(p - 1);
    } else {
        for (int p = first; p <= last; ++p)
            for (int c = 0; c < copies; ++c)
                order.push_back(p - 1);
    }
    return order;
}

std::vector<int> printOrderFor(QPrinter& printer, int pageCount, int currentPage) {
    int first = 0, last = 0;
    switch (printer.printRange()) {
    case QPrinter::PageRange:
        first = printer.fromPage();
        last = printer.toPage();
        break;
    case QPrinter::CurrentPage:
        first = last = std::clamp(currentPage, 0, std::max(pageCount - 1, 0)) + 1;
        break;
    case QPrinter::AllPages:
    case QPrinter::Selection:
        break;
    }
    int copies = 1;
    if (!printer.supportsMultipleCopies()) {
        copies = printer.copyCount();
        printer.setCopyCount(1);
    }
    return printOrder(pageCount, first, last, copies, printer.collateCopies());
}

QPageLayout pageLayoutFor(const tmpl::TfrPreparedPage& page) {
    // Width and height are stored as the paper lies; a landscape page is the
    // portrait sheet turned.
    const bool landscape = page.Orientation == 1;
    const double width = std::max(page.PaperWidth, 1) / 10.0;
    const double height = std::max(page.PaperHeight, 1) / 10.0;
    const QSizeF portrait = landscape ? QSizeF(height, width) : QSizeF(width, height);
    const QPageSize size(portrait, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
}

OutputResult printPages(QPrinter& printer, const tmpl::TfrPreparedPages& pages, const std::vector<int>& order,
                        const OutputProgress& progress) {
    if (order.empty())
        return {};
    printer.setFullPage(true);
    QPainter painter;
    OutputResult result =
        paintPages(printer, painter, pages, order, progress, [&] { return painter.begin(&printer); });
    if (result.cancelled || !result.error.isEmpty()) {
        printer.abort();
        if (painter.isActive())
            painter.end();
        if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
            QFile::remove(printer.outputFileName());
        return result;
    }
    if (!painter.end())
        result.error = QStringLiteral("打印机未能完成打印作业");
    return result;
}

OutputResult exportPdf(const QString& path, const tmpl::TfrPreparedPages& pages, const std::vector<int>& order,
                       const QString& title, const OutputProgress& progress) {
    OutputResult result;
    if (order.empty())
        return result;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = file.errorString();
        return result;
    }
    QPdfWriter writer(&file);
    writer.setResolution(1200);
    writer.setCreator(QStringLiteral("mirel"));
    writer.setTitle(title);
    QPainter painter;
    result = paintPages(writer, painter, pages, order, progress, [&] { return painter.begin(&writer); });
    if (painter.isActive())
        painter.end();
    if (!result.ok()) {
        file.cancelWriting();
        return result;
    }
    if (!file.commit())
        result.error = file.errorString();
    return result;
}

} // namespace mirel::engine
