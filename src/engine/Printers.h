#pragma once
// The printer layer over the printers installed on the machine (CUPS, through
// Qt) and the engine's virtual printer "虚拟打印机", which is current when no
// printer is installed. A page's paper settings are applied to the current
// printer's driver and read back from it, so a page in memory holds what the
// printer provides; the virtual printer answers from the table of Windows
// paper sizes.

#include "template/PrinterLayer.h"

#include <QPageSize>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace mirel::engine {

// A Windows paper size code (DMPAPER_) as a Qt page size: Qt's own mapping
// where it has one, else the table's dimensions; size 256 and codes the table
// lacks take `width` x `height` tenths of a millimetre (given as the page lies,
// so exchanged for landscape).
QPageSize pageSizeFor(const tmpl::PaperSettings& paper);
// The Windows code of a Qt page size, 256 when it has none.
int paperCodeFor(const QPageSize& size);

// Windows paper sources (DMBIN_) and Qt's: 1 upper/only one, 2 lower, 3 middle,
// 4 manual, 5 envelope, 6 envelope manual, 7 auto, 8 tractor, 9 small format,
// 10 large format, 11 large capacity, 14 cassette, 15 form source. Nothing for
// the default source (-1) and for codes without a Qt source.
std::optional<QPrinter::PaperSource> paperSourceFor(int bin);
int binFor(QPrinter::PaperSource source);

// Applies paper settings to a printer as its driver takes them: size (custom
// sizes by their width and height), orientation and, unless the bin is -1, the
// paper source; then reads back the effective size code, orientation and bin
// and measures the paper from the device (paper size in device pixels divided
// by the resolution, in tenths of a millimetre, rounded). A size the printer
// refuses is asked for again as a custom size.
tmpl::PaperSettings applyPaperToPrinter(QPrinter& printer, const tmpl::PaperSettings& requested);
// The printable area of the printer's current page: unprintable offsets at the
// left and top and the printable size, tenths of a millimetre.
tmpl::PrintableArea printableAreaOf(const QPrinter& printer);

// The device resolution a print job uses on a printer: `wanted` when given,
// else the printer's own (the only resolution it lists, the one it is set to
// when listed, else the finest it lists up to 1200 dpi), so that device pixels
// are the printer's dots.
int printerResolution(const QString& printerName, int currentResolution, int wanted = 0);

class QtPrinterLayer final : public tmpl::PrinterLayer {
public:
    // The installed printers as Qt lists them; the default one is current, the
    // virtual printer when none is installed.
    QtPrinterLayer();
    // A layer over the given printer names (tests): printers are made with
    // `makePrinter`, which may return a PDF-format QPrinter.
    QtPrinterLayer(QStringList installed, QString current,
                   std::function<std::unique_ptr<QPrinter>(const QString&)> makePrinter);
    ~QtPrinterLayer() override;

    // The installed printers, then the virtual printer.
    QStringList PrinterNames() const override;
    QString CurrentPrinter() const override;
    bool CurrentIsVirtual() const override;
    bool SelectPrinter(const QString& name) override;
    tmpl::PaperSettings ApplyPaper(const tmpl::PaperSettings& requested) override;
    tmpl::PrintableArea Printable(const tmpl::PaperSettings& paper) const override;

private:
    QPrinter* currentPrinter();

    QStringList m_installed;
    QString m_current;
    std::function<std::unique_ptr<QPrinter>(const QString&)> m_makePrinter;
    std::unique_ptr<QPrinter> m_printer;      // the current real printer, made on first use
    std::optional<tmpl::PaperSettings> m_applied;   // last requested and what it gave
    tmpl::PaperSettings m_effective;
    tmpl::VirtualPrinter m_virtual;
};

// Installs a QtPrinterLayer as the process's printer layer (once; later calls
// return the same layer). Needs a QGuiApplication.
QtPrinterLayer& installSystemPrinters();

} // namespace mirel::engine
