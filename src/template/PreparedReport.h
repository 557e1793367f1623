#pragma once
// Prepared pages and the prepared report file (.frp) the preview saves and
// opens. Each prepared page holds its paper settings, margins, the printable
// area the printer layer gives for them, and its page stream: the version byte
// and the page's objects in prepared form (see readPreparedStream).

#include "template/PrinterLayer.h"
#include "template/TfrView.h"

#include <string>
#include <string_view>
#include <vector>

namespace mirel::tmpl {

class TfrReport;

struct TfrPreparedPage {
    std::uint16_t Size = 9;
    std::int32_t PaperWidth = 2100;   // tenths of a millimetre
    std::int32_t PaperHeight = 2970;
    std::uint8_t Orientation = 0;
    std::int32_t PaperBin = kDefaultBin;
    bool UseMargins = false;
    std::int32_t LeftMargin = 0;      // page units
    std::int32_t TopMargin = 0;
    std::int32_t RightMargin = 0;
    std::int32_t BottomMargin = 0;
    PrintableArea Printable;
    std::string Stream;               // version byte, then prepared object records

    PaperSettings Paper() const { return {Size, PaperWidth, PaperHeight, Orientation, PaperBin}; }
};

// What a .frp read found.
struct PreparedLoadResult {
    int version = 0;          // 0 when the file has no version byte
    int compression = 0;      // the compression byte; -1 for the oldest layout
    bool oldestLayout = false;
    AnsiString printerName;   // as stored
};

class TfrPreparedPages {
public:
    // Reads a .frp file. Never throws: damaged data ends the page list. The
    // printer named in the file is made current unless the report prints to
    // the default printer; the generator version goes into the report.
    PreparedLoadResult LoadFromBytes(std::string_view bytes, TfrReport& report);
    // Writes a .frp file (version 25, uncompressed) with the current printer's
    // name and the report's generator version.
    std::string SaveToBytes(const TfrReport& report) const;

    // Appends a page whose paper comes from the printer layer for `requested`.
    TfrPreparedPage& Add(const PaperSettings& requested);

    std::vector<TfrPreparedPage> Pages;
};

} // namespace mirel::tmpl
