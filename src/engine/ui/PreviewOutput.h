#pragma once
// Output of prepared pages from the preview: to the printer chosen in the
// print dialog and to a PDF file, in the order the dialog's page range, copies
// and collation ask for. Pages go through the engine's page sinks
// (engine/PageOutput.h): each with its own paper, painted at the device's
// resolution by the same page painter as the screen.

#include "template/PagePainter.h"
#include "template/PreparedReport.h"

#include <QString>
#include <functional>
#include <vector>

class QPrinter;

namespace mirel::engine {

// The indices (from 0) of the pages a job sends, in sending order: pages
// `first` to `last` (from 1, inclusive; clamped to the report, 0 for either
// end means that end of the report), `copies` times, either as whole sets
// (collated: 1 2 3 1 2 3) or each page repeated (1 1 2 2 3 3).
std::vector<int> printOrder(int pageCount, int first, int last, int copies, bool collate);

// The pages a print dialog's choices ask for. `currentPage` (from 0) is the
// page the preview shows, for the "current page" range. Copies the printer
// cannot make itself (a PDF file, a driver without copy support) are made by
// repeating pages; the printer's copy count is then set to 1.
std::vector<int> printOrderFor(QPrinter& printer, int pageCount, int currentPage);

struct OutputResult {
    int pages = 0;            // pages sent
    bool cancelled = false;
    QString error;            // empty when the output succeeded
    // Objects that could not be painted, with the index of their page in the
    // report (from 0).
    std::vector<tmpl::PaintFailure> failures;

    bool ok() const { return error.isEmpty() && !cancelled; }
};

// Called after each page with the pages sent and the total; false cancels.
using OutputProgress = std::function<bool(int done, int total)>;

// Prints the pages of `order` on a printer set up by the caller (for instance
// by the print dialog), at its resolution. A cancelled job is aborted; when
// the printer writes a PDF file, the partial file is removed.
OutputResult printPages(QPrinter& printer, const tmpl::TfrPreparedPages& pages, const std::vector<int>& order,
                        const OutputProgress& progress = {});

// Writes the pages of `order` to a PDF file (vector output at 1200 dpi). The
// file is replaced only when the whole document is written; a cancelled or
// failed export leaves an earlier file of that name as it was.
OutputResult exportPdf(const QString& path, const tmpl::TfrPreparedPages& pages, const std::vector<int>& order,
                       const QString& title = QString(), const OutputProgress& progress = {});

} // namespace mirel::engine
