#include "template/PrinterLayer.h"

#include <algorithm>

namespace mirel::tmpl {

// Windows paper sizes, DMPAPER_ codes, portrait width x height in tenths of a
// millimetre (inch sizes converted at 25.4 mm and rounded to the nearest tenth).
// Example: code 9, A4, 2100 x 2970.
const std::array<PaperSize, 67> kPaperSizes = {{
    {1, 2159, 2794, "Letter 8 1/2 x 11 in"},
    {2, 2159, 2794, "Letter Small 8 1/2 x 11 in"},
    {3, 2794, 4318, "Tabloid 11 x 17 in"},
    {4, 4318, 2794, "Ledger 17 x 11 in"},
    {5, 2159, 3556, "Legal 8 1/2 x 14 in"},
    {6, 1397, 2159, "Statement 5 1/2 x 8 1/2 in"},
    {7, 1842, 2667, "Executive 7 1/4 x 10 1/2 in"},
    {8, 2970, 4200, "A3 297 x 420 mm"},
    {9, 2100, 2970, "A4 210 x 297 mm"},
    {10, 2100, 2970, "A4 Small 210 x 297 mm"},
    {11, 1480, 2100, "A5 148 x 210 mm"},
    {12, 2500, 3540, "B4 (JIS) 250 x 354 mm"},
    {13, 1820, 2570, "B5 (JIS) 182 x 257 mm"},
    {14, 2159, 3302, "Folio 8 1/2 x 13 in"},
    {15, 2150, 2750, "Quarto 215 x 275 mm"},
    {16, 2540, 3556, "10 x 14 in"},
    {17, 2794, 4318, "11 x 17 in"},
    {18, 2159, 2794, "Note 8 1/2 x 11 in"},
    {19, 984, 2254, "Envelope #9 3 7/8 x 8 7/8 in"},
    {20, 1048, 2413, "Envelope #10 4 1/8 x 9 1/2 in"},
    {21, 1143, 2635, "Envelope #11 4 1/2 x 10 3/8 in"},
    {22, 1207, 2794, "Envelope #12 4 3/4 x 11 in"},
    {23, 1270, 2921, "Envelope #14 5 x 11 1/2 in"},
    {24, 4318, 5588, "C size sheet 17 x 22 in"},
    {25, 5588, 8636, "D size sheet 22 x 34 in"},
    {26, 8636, 11176, "E size sheet 34 x 44 in"},
    {27, 1100, 2200, "Envelope DL 110 x 220 mm"},
    {28, 1620, 2290, "Envelope C5 162 x 229 mm"},
    {29, 3240, 4580, "Envelope C3 324 x 458 mm"},
    {30, 2290, 3240, "Envelope C4 229 x 324 mm"},
    {31, 1140, 1620, "Envelope C6 114 x 162 mm"},
    {32, 1140, 2290, "Envelope C65 114 x 229 mm"},
    {33, 2500, 3530, "Envelope B4 250 x 353 mm"},
    {34, 1760, 2500, "Envelope B5 176 x 250 mm"},
    {35, 1760, 1250, "Envelope B6 176 x 125 mm"},
    {36, 1100, 2300, "Envelope Italy 110 x 230 mm"},
    {37, 984, 1905, "Envelope Monarch 3 7/8 x 7 1/2 in"},
    {38, 921, 1651, "6 3/4 Envelope 3 5/8 x 6 1/2 in"},
    {39, 3778, 2794, "US Std Fanfold 14 7/8 x 11 in"},
    {40, 2159, 3048, "German Std Fanfold 8 1/2 x 12 in"},
    {41, 2159, 3302, "German Legal Fanfold 8 1/2 x 13 in"},
    {42, 2500, 3530, "B4 (ISO) 250 x 353 mm"},
    {43, 1000, 1480, "Japanese Postcard 100 x 148 mm"},
    {44, 2286, 2794, "9 x 11 in"},
    {45, 2540, 2794, "10 x 11 in"},
    {46, 3810, 2794, "15 x 11 in"},
    {47, 2200, 2200, "Envelope Invite 220 x 220 mm"},
    {50, 2413, 3048, "Letter Extra 9 1/2 x 12 in"},
    {51, 2413, 3810, "Legal Extra 9 1/2 x 15 in"},
    {52, 2969, 4572, "Tabloid Extra 11.69 x 18 in"},
    {53, 2350, 3220, "A4 Extra 235 x 322 mm"},
    {54, 2159, 2794, "Letter Transverse 8 1/2 x 11 in"},
    {55, 2100, 2970, "A4 Transverse 210 x 297 mm"},
    {56, 2413, 3048, "Letter Extra Transverse 9 1/2 x 12 in"},
    {57, 2270, 3560, "SuperA/SuperA/A4 227 x 356 mm"},
    {58, 3050, 4870, "SuperB/SuperB/A3 305 x 487 mm"},
    {59, 2159, 3223, "Letter Plus 8 1/2 x 12.69 in"},
    {60, 2100, 3300, "A4 Plus 210 x 330 mm"},
    {61, 1480, 2100, "A5 Transverse 148 x 210 mm"},
    {62, 1820, 2570, "B5 (JIS) Transverse 182 x 257 mm"},
    {63, 3220, 4450, "A3 Extra 322 x 445 mm"},
    {64, 1740, 2350, "A5 Extra 174 x 235 mm"},
    {65, 2010, 2760, "B5 (ISO) Extra 201 x 276 mm"},
    {66, 4200, 5940, "A2 420 x 594 mm"},
    {67, 2970, 4200, "A3 Transverse 297 x 420 mm"},
    {68, 3220, 4450, "A3 Extra Transverse 322 x 445 mm"},
    {kCustomPaper, 0, 0, "Custom"},
}};

const PaperSize* findPaperSize(int code) {
    const auto it = std::find_if(kPaperSizes.begin(), kPaperSizes.end(),
                                 [code](const PaperSize& p) { return p.code == code; });
    return it == kPaperSizes.end() ? nullptr : &*it;
}

PaperSettings VirtualPrinter::ApplyPaper(const PaperSettings& requested) {
    PaperSettings result = requested;
    result.orientation = requested.orientation == 1 ? 1 : 0;
    const PaperSize* paper = findPaperSize(requested.size);
    if (paper && paper->code != kCustomPaper) {
        result.width = result.orientation == 1 ? paper->height : paper->width;
        result.height = result.orientation == 1 ? paper->width : paper->height;
    } else {
        // A code the table does not list is taken as a custom size.
        result.size = kCustomPaper;
    }
    return result;
}

PrintableArea VirtualPrinter::Printable(const PaperSettings& paper) const {
    return PrintableArea{0, 0, paper.width, paper.height};
}

namespace {

PrinterLayer* g_layer = nullptr;

} // namespace

PrinterLayer& printers() {
    static VirtualPrinter virtualPrinter;
    return g_layer ? *g_layer : virtualPrinter;
}

void setPrinters(PrinterLayer* layer) { g_layer = layer; }

PaperSettings applyPaper(const PaperSettings& requested) {
    PaperSettings effective = printers().ApplyPaper(requested);
    // A request for the default source is kept as 65535, the 16-bit form of -1.
    if (static_cast<std::uint16_t>(requested.bin) == 0xFFFF)
        effective.bin = 0xFFFF;
    return effective;
}

} // namespace mirel::tmpl
