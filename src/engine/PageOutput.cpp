#include "engine/PageOutput.h"

#include "core/Files.h"
#include "engine/Printers.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <cmath>

namespace mirel::engine {
namespace {

constexpr int kPdfResolution = 1200;
// Largest PNG page, in pixels (4 bytes each while it is painted).
constexpr long long kMaxPngPixels = 256LL * 1024 * 1024;

// The page's paper as a PDF page: its width and height as it lies.
QPageLayout pdfLayout(const tmpl::TfrPreparedPage& page) {
    const QSizeF mm(std::max(1, page.PaperWidth) / 10.0, std::max(1, page.PaperHeight) / 10.0);
    return QPageLayout(QPageSize(mm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch), QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

// Paints a page and files its failures under the page's index.
void paintPage(QPainter& painter, const tmpl::TfrPreparedPage& page, double dpiX, double dpiY, int index,
               std::vector<tmpl::PaintFailure>& failures) {
    const size_t first = failures.size();
    tmpl::PageDevice device;
    device.dpiX = dpiX;
    device.dpiY = dpiY;
    tmpl::paintPreparedPage(painter, page, device, &failures);
    for (size_t i = first; i < failures.size(); ++i)
        failures[i].page = index;
}

class PdfSink final : public PageSink {
public:
    PdfSink(QString path, QString title) : m_path(std::move(path)), m_title(std::move(title)) {}
    ~PdfSink() override { Cancel(); }

    bool AddPage(const tmpl::TfrPreparedPage& page) override {
        if (!m_error.isEmpty())
            return false;
        if (!m_writer) {
            m_file = std::make_unique<QSaveFile>(m_path);
            if (!m_file->open(QIODevice::WriteOnly)) {
                m_error = QStringLiteral("cannot write %1: %2").arg(m_path, m_file->errorString());
                m_file.reset();
                return false;
            }
            m_writer = std::make_unique<QPdfWriter>(m_file.get());
            m_writer->setResolution(kPdfResolution);
            m_writer->setCreator(QStringLiteral("mirel"));
            if (!m_title.isEmpty())
                m_writer->setTitle(m_title);
            m_writer->setPageLayout(pdfLayout(page));
            if (!m_painter.begin(m_writer.get())) {
                m_error = QStringLiteral("cannot write %1").arg(m_path);
                return false;
            }
        } else {
            m_writer->setPageLayout(pdfLayout(page));
            if (!m_writer->newPage()) {
                m_error = QStringLiteral("cannot add a page to %1").arg(m_path);
                return false;
            }
        }
        paintPage(m_painter, page, kPdfResolution, kPdfResolution, m_pages, m_failures);
        ++m_pages;
        return true;
    }

    bool Finish() override {
        if (!m_writer)
            return m_error.isEmpty();
        m_painter.end();
        m_writer.reset();
        if (!m_error.isEmpty()) {
            m_file->cancelWriting();
            m_file.reset();
            return false;
        }
        if (!m_file->commit()) {
            m_error = QStringLiteral("cannot write %1: %2").arg(m_path, m_file->errorString());
            m_file.reset();
            return false;
        }
        m_file.reset();
        return true;
    }

    void Cancel() override {
        if (m_painter.isActive())
            m_painter.end();
        m_writer.reset();
        if (m_file) {
            m_file->cancelWriting();
            m_file.reset();
        }
    }

private:
    QString m_path;
    QString m_title;
    std::unique_ptr<QSaveFile> m_file;
    std::unique_ptr<QPdfWriter> m_writer;
    QPainter m_painter;
};

// The page in grey when it has no colour: every pixel's red, green and blue
// equal. `grey` is reused from page to page.
bool greyCopy(const QImage& page, QImage& grey) {
    if (grey.size() != page.size()) {
        grey = QImage(page.size(), QImage::Format_Grayscale8);
        if (grey.isNull())
            return false;
    }
    grey.setDotsPerMeterX(page.dotsPerMeterX());
    grey.setDotsPerMeterY(page.dotsPerMeterY());
    const int width = page.width();
    for (int y = 0; y < page.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(page.constScanLine(y));
        uchar* out = grey.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const QRgb p = in[x];
            const int r = qRed(p);
            if (r != qGreen(p) || r != qBlue(p))
                return false;
            out[x] = static_cast<uchar>(r);
        }
    }
    return true;
}

class PngSink final : public PageSink {
public:
    PngSink(QString folder, int dpi) : m_folder(std::move(folder)), m_dpi(dpi) {}

    bool AddPage(const tmpl::TfrPreparedPage& page) override {
        if (!m_error.isEmpty())
            return false;
        if (m_dpi <= 0) {
            m_error = QStringLiteral("the resolution must be a positive number of dots per inch");
            return false;
        }
        if (m_pages == 0 && !QDir().mkpath(m_folder)) {
            m_error = QStringLiteral("cannot create the folder %1").arg(m_folder);
            return false;
        }
        const QSizeF exact = tmpl::pagePixelSize(page, m_dpi, m_dpi);
        const QSize size(std::max(1, static_cast<int>(std::lround(exact.width()))),
                         std::max(1, static_cast<int>(std::lround(exact.height()))));
        if (static_cast<long long>(size.width()) * size.height() > kMaxPngPixels) {
            m_error = QStringLiteral("page %1 is too large for an image at %2 dpi").arg(m_pages + 1).arg(m_dpi);
            return false;
        }
        if (m_image.size() != size) {
            m_image = QImage(size, QImage::Format_RGB32);
            if (m_image.isNull()) {
                m_error = QStringLiteral("not enough memory for page %1 at %2 dpi").arg(m_pages + 1).arg(m_dpi);
                return false;
            }
            const int dotsPerMetre = static_cast<int>(std::lround(m_dpi / 0.0254));
            m_image.setDotsPerMeterX(dotsPerMetre);
            m_image.setDotsPerMeterY(dotsPerMetre);
        }
        m_image.fill(Qt::white);
        {
            QPainter painter(&m_image);
            paintPage(painter, page, m_dpi, m_dpi, m_pages, m_failures);
        }
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        // Labels are large areas of one colour: the fastest deflate level (PNG
        // quality 80) already packs them well. A page without colour is
        // written in grey, a third of the data.
        writer.setQuality(80);
        if (!writer.write(greyCopy(m_image, m_grey) ? m_grey : m_image)) {
            m_error = QStringLiteral("cannot encode page %1: %2").arg(m_pages + 1).arg(writer.errorString());
            return false;
        }
        const QString path = QDir(m_folder).filePath(pngPageName(m_pages));
        try {
            core::writeFileAtomically(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        } catch (const core::FileError& e) {
            m_error = QString::fromUtf8(e.what());
            return false;
        }
        m_written.push_back(path);
        ++m_pages;
        return true;
    }

    bool Finish() override { return m_error.isEmpty(); }

    void Cancel() override {
        for (const QString& path : m_written)
            QFile::remove(path);
        m_written.clear();
    }

private:
    QString m_folder;
    int m_dpi;
    QImage m_image;   // one buffer for all pages of the same size
    QImage m_grey;
    std::vector<QString> m_written;
};

class PrinterSink final : public PageSink {
public:
    explicit PrinterSink(QPrinter& printer) : m_printer(printer) {}
    explicit PrinterSink(std::unique_ptr<QPrinter> owned) : m_owned(std::move(owned)), m_printer(*m_owned) {}
    ~PrinterSink() override {
        if (m_painter.isActive())
            m_painter.end();
    }

    bool AddPage(const tmpl::TfrPreparedPage& page) override {
        if (!m_error.isEmpty())
            return false;
        m_printer.setFullPage(true);
        applyPaperToPrinter(m_printer, page.Paper());
        if (!m_painter.isActive()) {
            if (!m_painter.begin(&m_printer)) {
                m_error = QStringLiteral("the printer %1 does not take the job").arg(m_printer.printerName());
                return false;
            }
        } else if (!m_printer.newPage()) {
            m_error = QStringLiteral("the printer %1 does not take page %2").arg(m_printer.printerName()).arg(m_pages + 1);
            return false;
        }
        const int resolution = m_printer.resolution();
        paintPage(m_painter, page, resolution, resolution, m_pages, m_failures);
        ++m_pages;
        return true;
    }

    bool Finish() override {
        if (m_painter.isActive())
            m_painter.end();
        if (m_error.isEmpty() && m_printer.printerState() == QPrinter::Error)
            m_error = QStringLiteral("the printer %1 reported an error").arg(m_printer.printerName());
        return m_error.isEmpty();
    }

    void Cancel() override {
        if (m_painter.isActive()) {
            m_printer.abort();
            m_painter.end();
        }
    }

private:
    std::unique_ptr<QPrinter> m_owned;
    QPrinter& m_printer;
    QPainter m_painter;
};

} // namespace

std::unique_ptr<PageSink> pdfOutput(const QString& path, const QString& title) {
    return std::make_unique<PdfSink>(path, title);
}

std::unique_ptr<PageSink> pngOutput(const QString& folder, int dpi) { return std::make_unique<PngSink>(folder, dpi); }

QString pngPageName(int index) { return QStringLiteral("page-%1.png").arg(index + 1, 4, 10, QLatin1Char('0')); }

std::unique_ptr<PageSink> printerOutput(const QString& printerName, const PrintOptions& options) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
    if (info.isNull())
        return nullptr;
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setResolution(printerResolution(printerName, printer->resolution(), options.resolution));
    printer->setFullPage(true);
    printer->setCopyCount(std::max(1, options.copies));
    printer->setDocName(options.jobName);
    return std::make_unique<PrinterSink>(std::move(printer));
}

std::unique_ptr<PageSink> printerOutput(QPrinter& printer) { return std::make_unique<PrinterSink>(printer); }

OutputReport writePages(std::span<const tmpl::TfrPreparedPage> pages, PageSink& sink, const OutputProgress& progress) {
    OutputReport report;
    const int total = static_cast<int>(pages.size());
    int done = 0;
    for (const tmpl::TfrPreparedPage& page : pages) {
        if (!sink.AddPage(page))
            break;
        ++done;
        if (progress && !progress(done, total)) {
            report.cancelled = true;
            break;
        }
    }
    if (report.cancelled || !sink.Error().isEmpty())
        sink.Cancel();
    else
        sink.Finish();
    report.error = sink.Error();
    report.pages = report.ok() ? sink.Pages() : 0;
    report.failures = sink.Failures();
    return report;
}

QString describeFailure(const tmpl::PaintFailure& f) {
    QString object = f.name.isEmpty() ? QStringLiteral("object %1").arg(f.object + 1)
                                      : QStringLiteral("object %1").arg(f.name);
    if (!f.className.isEmpty())
        object += QStringLiteral(" (%1)").arg(f.className);
    if (!f.frame.isNull() || !f.className.isEmpty())
        object += QStringLiteral(" at %1,%2").arg(f.frame.left()).arg(f.frame.top());
    return QStringLiteral("page %1, %2: %3").arg(f.page + 1).arg(object, f.message);
}

} // namespace mirel::engine
