#pragma once
// The printer layer as templates see it: which printer is current, and what
// paper it actually provides for a page's requested settings. After each page
// record is read, the page's paper settings go through the current layer, so a
// page in memory always holds what the printer provides. The virtual printer
// "虚拟打印机" answers from the built-in table of Windows paper sizes; it is
// current where no printer is installed. Real printers come with the engine.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

namespace mirel::tmpl {

inline constexpr int kCustomPaper = 256;   // size given by width and height
inline constexpr int kDefaultBin = -1;     // the printer's default paper source

// Paper settings in tenths of a millimetre; width and height as the page lies
// (exchanged for landscape).
struct PaperSettings {
    int size = 9;
    int width = 2100;
    int height = 2970;
    int orientation = 0;   // 0 portrait, 1 landscape
    int bin = kDefaultBin;
};

// The printable area of a sheet, tenths of a millimetre: the unprintable
// offsets at the left and top and the printable width and height.
struct PrintableArea {
    int offsetLeft = 0;
    int offsetTop = 0;
    int width = 0;
    int height = 0;
};

// One Windows paper size (DMPAPER_ numbering), portrait, tenths of a millimetre.
struct PaperSize {
    int code;
    int width;
    int height;
    const char* name;
};
// Codes 1-47 and 50-68 with their standard dimensions, and 256 (custom).
extern const std::array<PaperSize, 67> kPaperSizes;
const PaperSize* findPaperSize(int code);

class PrinterLayer {
public:
    virtual ~PrinterLayer() = default;

    virtual QStringList PrinterNames() const = 0;
    virtual QString CurrentPrinter() const = 0;
    virtual bool CurrentIsVirtual() const = 0;
    // Makes the named printer current when it is installed; false otherwise
    // (the current printer stays).
    virtual bool SelectPrinter(const QString& name) = 0;
    // Applies requested settings to the current printer and returns what it
    // provides: effective size code, width, height, orientation and bin.
    virtual PaperSettings ApplyPaper(const PaperSettings& requested) = 0;
    virtual PrintableArea Printable(const PaperSettings& paper) const = 0;
};

// The engine's printer used when no real one is: the display name is
// "虚拟打印机", paper comes from kPaperSizes, everything is printable.
class VirtualPrinter final : public PrinterLayer {
public:
    static QString DisplayName() { return QStringLiteral("虚拟打印机"); }

    QStringList PrinterNames() const override { return {DisplayName()}; }
    QString CurrentPrinter() const override { return DisplayName(); }
    bool CurrentIsVirtual() const override { return true; }
    bool SelectPrinter(const QString& name) override { return name == DisplayName(); }
    PaperSettings ApplyPaper(const PaperSettings& requested) override;
    PrintableArea Printable(const PaperSettings& paper) const override;
};

// The process-wide printer layer: the virtual printer unless the engine (or a
// test) installed another one (not owned; nullptr restores the virtual one).
PrinterLayer& printers();
void setPrinters(PrinterLayer* layer);

// Applies a page's requested paper through the current layer and gives what the
// page then holds: the effective settings, with bin 65535 when the default
// source (-1, or 65535 as a 16-bit value) was requested.
PaperSettings applyPaper(const PaperSettings& requested);

} // namespace mirel::tmpl
