#pragma once
// Report preparation: runs a template's bands over its datasets and writes the
// prepared pages a preview, a printer or a .frp file takes.
//
// Each report page of the template lays out its bands top to bottom from the top
// margin: the page header (on the first page only when its "on first page" flag
// is set), the report title on the first page, then the master header, one master
// data band per record and the master footer of every master data band in design
// order, then the report summary. The page footer sits at the bottom margin (on
// the last page only with its "on last page" flag); an overlay band prints at its
// designed place over each page. A band that no longer fits goes to the next page
// column or the next page, where the page header, and a master header with
// "repeat header", print again. Child bands follow the band naming them.
//
// Page columns split the width between the margins; the master bands flow down
// one column, then the next. A data band with several columns puts its records
// side by side, "new column after" records in each column before the next one
// (1: across, then down).
//
// A band with the "stretched" flag grows with its stretching text objects: each
// takes the height its evaluated text needs (with the text layout painting
// uses, so what is measured is what prints) and the band reaches down to the
// lowest of them; objects aligned to the band's bottom follow it.
//
// Object positions in the prepared pages are page units from the top-left corner
// of the paper, like the template's; the page's margins are stored beside them.
// Only the objects inside a band print; bands themselves are not written.
//
// A master data band runs over the dataset its data source names (frDBDataSet1,
// frDBDataSet2, a field alias of one of them), over N empty records for a data
// source "N", or over the report dataset when it names none. Each record is one
// label.

#include "engine/Dataset.h"
#include "engine/ReportNames.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace mirel::tmpl {
class TfrReport;
class TfrPreparedPages;
class TfrMemoView;
} // namespace mirel::tmpl

namespace mirel::engine {

// What stops a preparation: an expression of a text object that cannot be
// evaluated, a band whose data source names no dataset, a dataset that cannot
// be read. The message (UTF-8) names the object or band and the reason.
class PrepareError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Called after each label with the labels and pages prepared so far; returning
// false cancels the preparation. A template that shows the total page count is
// prepared twice (the first pass counts the pages), and the labels count up in
// each pass.
using PrepareProgress = std::function<bool(std::int64_t labels, int pages)>;

struct PrepareSetup {
    GetValueCallback onGetValue;
    // The datasets bands and field references may name (not owned).
    std::vector<TfrDataset*> datasets;
    // What a master data band without a data source runs over; none: such a band
    // prints once, as a band over one empty record would.
    TfrDataset* reportDataset = nullptr;
    PrepareProgress progress;
};

struct PrepareResult {
    // True when the preparation ran to its end and produced at least one page.
    bool built = false;
    bool cancelled = false;
    int pages = 0;
    std::int64_t labels = 0;   // records printed by master data bands
    // Barcode texts whose expression could not be evaluated (printed as "0"):
    // how many, and the first messages (UTF-8, naming the object).
    std::int64_t failedBarcodeTexts = 0;
    std::vector<std::string> warnings;
};

// Prepares `report` into `pages` (replacing what they held). Throws PrepareError;
// `pages` is then empty, as it is after a cancel.
PrepareResult prepareReport(tmpl::TfrReport& report, const PrepareSetup& setup, tmpl::TfrPreparedPages& pages);

} // namespace mirel::engine
