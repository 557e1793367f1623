#pragma once
// Output of prepared pages: to a printer (QPrinter at the printer's resolution,
// every bar edge on its dots), to a PDF file (vector text and bars, fonts
// embedded, Chinese included) and to PNG files (one a page, at a chosen
// resolution). Every output paints through tmpl::paintPreparedPage, page by
// page as the pages come, and collects the objects that failed to paint.

#include "template/PagePainter.h"
#include "template/PreparedReport.h"

#include <QString>
#include <functional>
#include <memory>
#include <span>
#include <vector>

class QPrinter;

namespace mirel::engine {

// Takes prepared pages one at a time. A sink that failed (a file that cannot be
// written, a printer that refuses the job) says so in Error() and takes no
// more pages.
class PageSink {
public:
    virtual ~PageSink() = default;
    // Paints one page; false when the output failed.
    virtual bool AddPage(const tmpl::TfrPreparedPage& page) = 0;
    // Ends the output: the PDF is complete, the job goes to the printer. A sink
    // finished without any page writes nothing (no empty PDF file).
    virtual bool Finish() = 0;
    // Drops what was output: a PDF is not written, a print job is aborted, the
    // PNG files written so far are removed.
    virtual void Cancel() = 0;

    int Pages() const { return m_pages; }
    const QString& Error() const { return m_error; }
    // Objects that failed to paint, with the index of their page.
    const std::vector<tmpl::PaintFailure>& Failures() const { return m_failures; }

protected:
    int m_pages = 0;
    QString m_error;
    std::vector<tmpl::PaintFailure> m_failures;
};

// A PDF file, written when the sink finishes (atomically: an earlier file of
// that name stays until the new one is complete). Page units become device
// units at 1200 dpi; nothing is moved onto a pixel grid.
std::unique_ptr<PageSink> pdfOutput(const QString& path, const QString& title = QString());

// PNG files in `folder` (created when missing), named page-0001.png,
// page-0002.png, ... at `dpi` pixels per inch, on white.
std::unique_ptr<PageSink> pngOutput(const QString& folder, int dpi = 300);
QString pngPageName(int index);   // "page-0001.png" for index 0

struct PrintOptions {
    int copies = 1;
    int resolution = 0;    // dots per inch; 0: the printer's own
    QString jobName = QStringLiteral("mirel");
};
// A job on an installed printer; nullptr when no printer has that name. Each
// page's paper settings are applied to the printer before it is painted; the
// paper's corner is the device origin, and device pixels are the printer's
// dots (PrintOptions::resolution, or the printer's own), so bar edges fall on
// them.
std::unique_ptr<PageSink> printerOutput(const QString& printerName, const PrintOptions& options = {});
// A job on a printer set up by the caller (for instance a QPrinter writing a
// PDF file); the printer must outlive the sink.
std::unique_ptr<PageSink> printerOutput(QPrinter& printer);

// What an output of many pages came to.
struct OutputReport {
    int pages = 0;
    bool cancelled = false;
    QString error;                                // empty when the output succeeded
    std::vector<tmpl::PaintFailure> failures;     // objects that failed to paint
    bool ok() const { return error.isEmpty() && !cancelled; }
};

// Called after each page with the pages done and the total; returning false
// cancels the output.
using OutputProgress = std::function<bool(int done, int total)>;

// Sends the pages to the sink, finishes it, and reports. A cancelled output
// leaves nothing behind.
OutputReport writePages(std::span<const tmpl::TfrPreparedPage> pages, PageSink& sink,
                        const OutputProgress& progress = {});

// One line per failure for a job's report: "page 3, object Bar1
// (TfrBarCodeView) at 20,40: Barcode must be numeric".
QString describeFailure(const tmpl::PaintFailure& failure);

} // namespace mirel::engine
