#include "engine/ui/PreviewOutput.h"

#include "engine/PageOutput.h"

#include <QFile>
#include <QPrinter>
#include <algorithm>

namespace mirel::engine {

namespace {

// Sends the pages of `order` to a sink, then finishes it, or drops what it
// took when the job was cancelled or the sink failed.
OutputResult sendPages(PageSink& sink, const tmpl::TfrPreparedPages& pages, const std::vector<int>& order,
                       const OutputProgress& progress) {
    OutputResult result;
    const int total = static_cast<int>(order.size());
    for (int i = 0; i < total; ++i) {
        if (!sink.AddPage(pages.Pages[static_cast<size_t>(order[static_cast<size_t>(i)])]))
            break;
        result.pages = i + 1;
        if (progress && !progress(i + 1, total) && i + 1 < total) {
            result.cancelled = true;
            break;
        }
    }
    if (result.cancelled || !sink.Error().isEmpty())
        sink.Cancel();
    else
        sink.Finish();
    result.error = sink.Error();
    // The sink counts the pages it took; the report knows them by their place.
    result.failures = sink.Failures();
    for (tmpl::PaintFailure& failure : result.failures)
        if (failure.page >= 0 && failure.page < total)
            failure.page = order[static_cast<size_t>(failure.page)];
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

OutputResult printPages(QPrinter& printer, const tmpl::TfrPreparedPages& pages, const std::vector<int>& order,
                        const OutputProgress& progress) {
    if (order.empty())
        return {};
    const auto sink = printerOutput(printer);
    OutputResult result = sendPages(*sink, pages, order, progress);
    // A printer writing a file keeps what it wrote when aborted.
    if (!result.ok() && printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        QFile::remove(printer.outputFileName());
    return result;
}

OutputResult exportPdf(const QString& path, const tmpl::TfrPreparedPages& pages, const std::vector<int>& order,
                       const QString& title, const OutputProgress& progress) {
    if (order.empty())
        return {};
    const auto sink = pdfOutput(path, title);
    return sendPages(*sink, pages, order, progress);
}

} // namespace mirel::engine
