#include "engine/Printers.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace mirel::engine {
namespace {

using tmpl::kCustomPaper;
using tmpl::kDefaultBin;
using tmpl::PaperSettings;

struct SourceCode {
    int bin;
    QPrinter::PaperSource source;
};
// DMBIN_ codes and Qt's paper sources. Example: 7 (DMBIN_AUTO) = Auto.
constexpr SourceCode kSources[] = {
    {1, QPrinter::OnlyOne},     {2, QPrinter::Lower},         {3, QPrinter::Middle},
    {4, QPrinter::Manual},      {5, QPrinter::Envelope},      {6, QPrinter::EnvelopeManual},
    {7, QPrinter::Auto},        {8, QPrinter::Tractor},       {9, QPrinter::SmallFormat},
    {10, QPrinter::LargeFormat}, {11, QPrinter::LargeCapacity}, {14, QPrinter::Cassette},
    {15, QPrinter::FormSource},
};

double millimetresPerUnit(QPageLayout::Unit unit) {
    switch (unit) {
    case QPageLayout::Millimeter: return 1.0;
    case QPageLayout::Point: return 25.4 / 72.0;
    case QPageLayout::Inch: return 25.4;
    case QPageLayout::Pica: return 25.4 / 6.0;
    case QPageLayout::Didot: return 0.376;
    case QPageLayout::Cicero: return 12 * 0.376;
    }
    return 1.0;
}

bool isDefaultBin(int bin) { return bin == kDefaultBin || static_cast<std::uint16_t>(bin) == 0xFFFF; }

int tenthsOf(double devicePixels, int resolution) {
    return static_cast<int>(std::lround(devicePixels / resolution * 254.0));
}

// The same settings as the printer holds already: nothing to apply.
bool samePaper(const PaperSettings& requested, const PaperSettings& current) {
    if (requested.orientation != current.orientation)
        return false;
    if (!isDefaultBin(requested.bin) && requested.bin != current.bin)
        return false;
    if (requested.size == kCustomPaper)
        return current.size == kCustomPaper && std::abs(requested.width - current.width) <= 1
               && std::abs(requested.height - current.height) <= 1;
    return requested.size == current.size;
}

QPageSize customPageSize(int width, int height, int orientation) {
    // Qt defines a page in portrait; a landscape page lies the other way.
    const bool landscape = orientation == 1;
    const double w = std::max(1, landscape ? height : width) / 10.0;
    const double h = std::max(1, landscape ? width : height) / 10.0;
    return QPageSize(QSizeF(w, h), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
}

bool setPage(QPrinter& printer, const QPageSize& size, int orientation) {
    QPageLayout layout = printer.pageLayout();
    layout.setPageSize(size);
    layout.setOrientation(orientation == 1 ? QPageLayout::Landscape : QPageLayout::Portrait);
    layout.setMargins(QMarginsF(0, 0, 0, 0));
    return printer.setPageLayout(layout) && size.isEquivalentTo(printer.pageLayout().pageSize());
}

} // namespace

QPageSize pageSizeFor(const PaperSettings& paper) {
    if (paper.size != kCustomPaper) {
        const QPageSize::PageSizeId id = QPageSize::id(paper.size);
        if (id != QPageSize::Custom)
            return QPageSize(id);
        if (const tmpl::PaperSize* known = tmpl::findPaperSize(paper.size))
            return QPageSize(QSizeF(known->width / 10.0, known->height / 10.0), QPageSize::Millimeter,
                             QString::fromLatin1(known->name), QPageSize::ExactMatch);
    }
    return customPageSize(paper.width, paper.height, paper.orientation);
}

int paperCodeFor(const QPageSize& size) {
    const int code = size.windowsId();
    return code > 0 && tmpl::findPaperSize(code) ? code : kCustomPaper;
}

std::optional<QPrinter::PaperSource> paperSourceFor(int bin) {
    for (const SourceCode& s : kSources)
        if (s.bin == bin)
            return s.source;
    return std::nullopt;
}

int binFor(QPrinter::PaperSource source) {
    for (const SourceCode& s : kSources)
        if (s.source == source)
            return s.bin;
    return kDefaultBin;
}

PaperSettings applyPaperToPrinter(QPrinter& printer, const PaperSettings& requested) {
    const int orientation = requested.orientation == 1 ? 1 : 0;
    if (!setPage(printer, pageSizeFor(requested), orientation)) {
        // The driver does not take this size: ask for it by its dimensions.
        int width = requested.width;
        int height = requested.height;
        if (requested.size != kCustomPaper) {
            if (const tmpl::PaperSize* known = tmpl::findPaperSize(requested.size); known && known->width > 0) {
                width = orientation == 1 ? known->height : known->width;
                height = orientation == 1 ? known->width : known->height;
            }
        }
        setPage(printer, customPageSize(width, height, orientation), orientation);
    }
    if (!isDefaultBin(requested.bin))
        if (const std::optional<QPrinter::PaperSource> source = paperSourceFor(requested.bin))
            printer.setPaperSource(*source);

    PaperSettings effective;
    const QPageLayout layout = printer.pageLayout();
    effective.size = paperCodeFor(layout.pageSize());
    effective.orientation = layout.orientation() == QPageLayout::Landscape ? 1 : 0;
    effective.bin = isDefaultBin(requested.bin) ? requested.bin : binFor(printer.paperSource());
    const int resolution = std::max(1, printer.resolution());
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    effective.width = tenthsOf(paper.width(), resolution);
    effective.height = tenthsOf(paper.height(), resolution);
    return effective;
}

tmpl::PrintableArea printableAreaOf(const QPrinter& printer) {
    const int resolution = std::max(1, printer.resolution());
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    // The driver's unprintable margins, whatever margins a page asks for.
    const QPageLayout layout = printer.pageLayout();
    const QMarginsF m = layout.minimumMargins();
    const double tenths = 10.0 * millimetresPerUnit(layout.units());
    const int left = static_cast<int>(std::lround(m.left() * tenths));
    const int top = static_cast<int>(std::lround(m.top() * tenths));
    const int right = static_cast<int>(std::lround(m.right() * tenths));
    const int bottom = static_cast<int>(std::lround(m.bottom() * tenths));
    return tmpl::PrintableArea{left, top, tenthsOf(paper.width(), resolution) - left - right,
                               tenthsOf(paper.height(), resolution) - top - bottom};
}

int printerResolution(const QString& printerName, int currentResolution, int wanted) {
    if (wanted > 0)
        return wanted;
    const QList<int> listed = QPrinterInfo::printerInfo(printerName).supportedResolutions();
    if (listed.size() == 1)
        return listed.front();
    if (listed.isEmpty() || listed.contains(currentResolution))
        return currentResolution;
    int best = 0;
    for (int r : listed)
        if (r <= 1200)
            best = std::max(best, r);
    return best > 0 ? best : currentResolution;
}

QtPrinterLayer::QtPrinterLayer()
    : QtPrinterLayer(QPrinterInfo::availablePrinterNames(), QPrinterInfo::defaultPrinterName(),
                     [](const QString& name) {
                         auto printer = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(name),
                                                                   QPrinter::HighResolution);
                         printer->setResolution(printerResolution(name, printer->resolution()));
                         printer->setFullPage(true);
                         return printer;
                     }) {}

QtPrinterLayer::QtPrinterLayer(QStringList installed, QString current,
                               std::function<std::unique_ptr<QPrinter>(const QString&)> makePrinter)
    : m_installed(std::move(installed)), m_makePrinter(std::move(makePrinter)) {
    // The virtual printer's name is ours; an installed printer of that name
    // would be hidden by it.
    m_installed.removeAll(tmpl::VirtualPrinter::DisplayName());
    if (m_installed.contains(current))
        m_current = current;
    else if (!m_installed.isEmpty())
        m_current = m_installed.front();
}

QtPrinterLayer::~QtPrinterLayer() = default;

QStringList QtPrinterLayer::PrinterNames() const {
    QStringList names = m_installed;
    names.append(tmpl::VirtualPrinter::DisplayName());
    return names;
}

QString QtPrinterLayer::CurrentPrinter() const {
    return m_current.isEmpty() ? tmpl::VirtualPrinter::DisplayName() : m_current;
}

bool QtPrinterLayer::CurrentIsVirtual() const { return m_current.isEmpty(); }

bool QtPrinterLayer::SelectPrinter(const QString& name) {
    if (name == tmpl::VirtualPrinter::DisplayName()) {
        m_current.clear();
    } else if (m_installed.contains(name)) {
        if (name != m_current)
            m_printer.reset();
        m_current = name;
    } else {
        return false;
    }
    m_applied.reset();
    return true;
}

QPrinter* QtPrinterLayer::currentPrinter() {
    if (m_current.isEmpty())
        return nullptr;
    if (!m_printer)
        m_printer = m_makePrinter(m_current);
    return m_printer.get();
}

PaperSettings QtPrinterLayer::ApplyPaper(const PaperSettings& requested) {
    QPrinter* printer = currentPrinter();
    if (printer == nullptr)
        return m_virtual.ApplyPaper(requested);
    if (m_applied && samePaper(requested, m_effective))
        return m_effective;
    m_effective = applyPaperToPrinter(*printer, requested);
    m_applied = requested;
    return m_effective;
}

tmpl::PrintableArea QtPrinterLayer::Printable(const PaperSettings& paper) const {
    if (m_current.isEmpty() || !m_printer || !m_applied || paper.size != m_effective.size
        || paper.width != m_effective.width || paper.height != m_effective.height)
        return m_virtual.Printable(paper);
    return printableAreaOf(*m_printer);
}

QtPrinterLayer& installSystemPrinters() {
    static QtPrinterLayer* layer = [] {
        auto* made = new QtPrinterLayer();
        tmpl::setPrinters(made);
        return made;
    }();
    return *layer;
}

} // namespace mirel::engine
