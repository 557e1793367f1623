#pragma once
// Helpers of the barcode tests: symbols set up the way the template object sets
// them up, drawn through the barcode picture into an image, and read back.

#include "barcode/TfrBarcode.h"

#include <QImage>
#include <optional>
#include <string>

namespace mirel::barcode::test {

// A generator as the barcode object prepares it: Modul 1, Ratio 2.0, white
// spaces, black bars.
void setUp(TfrBarcode& symbol, TfrBarcodeType type, const std::string& text, bool checksum);

// The symbol drawn as the barcode object paints it, at `pixelsPerModule` (zoom 1,
// that many pixels per page unit), with `quietZone` modules of white around it.
QImage renderSymbol(TfrBarcode& symbol, double angle = 0, bool showText = true, int pixelsPerModule = 3,
                    int across = 60, int quietZone = 12);

// Modules of a pattern at the generator's current widths: '1' bar, '0' space,
// short bars as bars.
std::string moduleString(const TfrBarcode& symbol, const std::string& pattern);

} // namespace mirel::barcode::test
