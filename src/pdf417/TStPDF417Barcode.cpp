#include "pdf417/TStPDF417Barcode.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QTransform>
#include <QScreen>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace mirel::pdf417 {

namespace {

int clampToInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

// Pixels per inch of the screen the generator's own image is meant for.
QPointF screenResolution() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            return {screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY()};
    return {96.0, 96.0};
}

int scaled(int value, int resolution, qreal screen) {
    const double v = std::trunc(static_cast<double>(value) * resolution / screen);
    return static_cast<int>(std::clamp(v, 0.0, static_cast<double>(std::numeric_limits<int>::max())));
}

// The device pixels under the painter's coordinates, where the device has
// pixels of its own (an image, a printer at its resolution, a widget) and the
// coordinates are only scaled, moved or turned by right angles. Module edges
// are moved onto them: each image axis maps to one device axis as
// device = a * v + b; the image's origin (v = 0) goes to the nearest device
// pixel, round(b), and every edge v to round(b) + round(a * v). A PDF or a
// recorded picture keeps the exact coordinates.
class DeviceGrid {
public:
    static std::optional<DeviceGrid> of(const QPainter& painter) {
        const QPaintDevice* device = painter.device();
        if (device == nullptr)
            return std::nullopt;
        switch (device->devType()) {
        case QInternal::Image:
        case QInternal::Pixmap:
        case QInternal::Printer:
        case QInternal::Widget: break;
        default: return std::nullopt;
        }
        const QTransform m = painter.deviceTransform();
        if (!m.isAffine())
            return std::nullopt;
        constexpr double kTiny = 1e-12;
        DeviceGrid grid;
        if (std::abs(m.m12()) < kTiny && std::abs(m.m21()) < kTiny) {
            grid.m_x = Axis(m.m11(), m.dx());
            grid.m_y = Axis(m.m22(), m.dy());
        } else if (std::abs(m.m11()) < kTiny && std::abs(m.m22()) < kTiny) {
            grid.m_x = Axis(m.m12(), m.dy());
            grid.m_y = Axis(m.m21(), m.dx());
        } else {
            return std::nullopt;
        }
        // Below one device pixel per image pixel (a preview zoomed far out)
        // the symbol is drawn as it is.
        if (std::abs(grid.m_x.a) < 1 || std::abs(grid.m_y.a) < 1)
            return std::nullopt;
        return grid;
    }

    // The rectangle (x0, y0)-(x1, y1) with its edges on device pixels, in the
    // painter's coordinates.
    QRectF snap(double x0, double y0, double x1, double y1) const {
        return QRectF(QPointF(m_x.snap(x0), m_y.snap(y0)), QPointF(m_x.snap(x1), m_y.snap(y1))).normalized();
    }

private:
    struct Axis {
        Axis() = default;
        Axis(double scale, double offset) : a(scale), b(offset), origin(std::round(offset)) {}
        double snap(double v) const { return (origin + std::round(a * v) - b) / a; }
        double a = 1;
        double b = 0;
        double origin = 0;
    };
    Axis m_x;
    Axis m_y;
};

} // namespace

TStPDF417Barcode::TStPDF417Barcode() {
    m_symbol.GenerateSymbol();
    RenderImage(m_width, m_height);
}

void TStPDF417Barcode::refresh(bool regenerate) {
    if (regenerate)
        m_symbol.GenerateSymbol();
    RenderImage(m_width, m_height);
}

template <class Restore>
void TStPDF417Barcode::refreshOrRestore(bool regenerate, Restore restore) {
    try {
        refresh(regenerate);
    } catch (...) {
        // Whatever failed (a generator error, or a GLI escape that is not a
        // number), the previous value comes back with its symbol and image.
        restore();
        try {
            refresh(regenerate);
        } catch (const E2DBarcodeError&) {
        }
        throw;
    }
}

void TStPDF417Barcode::SetCode(const AnsiString& value) {
    if (value == m_symbol.Code())
        return;
    AnsiString previous = m_symbol.Code();
    m_symbol.SetCode(value);
    refreshOrRestore(true, [&] { m_symbol.SetCode(std::move(previous)); });
}

void TStPDF417Barcode::SetExtendedSyntax(bool value) {
    if (value == m_extendedSyntax)
        return;
    m_extendedSyntax = value;
    refreshOrRestore(true, [&] { m_extendedSyntax = !value; });
}

void TStPDF417Barcode::SetECCLevel(TStPDF417ECCLevels value) {
    assert(value >= ecAuto && value <= ecLevel8);
    const int level = static_cast<int>(value) - 1;
    const int previous = m_symbol.ECCLevel();
    if (level == previous)
        return;
    m_symbol.SetECCLevel(level);
    refreshOrRestore(true, [&] { m_symbol.SetECCLevel(previous); });
}

void TStPDF417Barcode::SetNumColumns(int value) {
    if (value < 0 || value > kMaxColumns)
        throw E2DBarcodeError("Invalid Number of columns");
    const int previous = m_symbol.NumColumns();
    if (value == previous)
        return;
    m_symbol.SetNumColumns(value);
    refreshOrRestore(true, [&] { m_symbol.SetNumColumns(previous); });
}

void TStPDF417Barcode::SetNumRows(int value) {
    if (value < 0 || value > kMaxRows)
        throw E2DBarcodeError("Invalid number of rows");
    const int previous = m_symbol.NumRows();
    if (value == previous)
        return;
    m_symbol.SetNumRows(value);
    refreshOrRestore(true, [&] { m_symbol.SetNumRows(previous); });
}

// A drawing setting after its checks: store, render, restore on failure.
template <class T>
void TStPDF417Barcode::assignAndRender(T& field, const T& value) {
    T previous = std::move(field);
    field = value;
    refreshOrRestore(false, [&] { field = std::move(previous); });
}

void TStPDF417Barcode::SetTruncated(bool value) {
    if (value == m_truncated)
        return;
    assignAndRender(m_truncated, value);
}

void TStPDF417Barcode::SetBarWidth(int value) {
    if (value < 1)
        throw E2DBarcodeError("Bar Width cannot be less than one");
    if (value == m_barWidth)
        return;
    assignAndRender(m_barWidth, value);
}

void TStPDF417Barcode::SetBarHeightToWidth(int value) {
    if (value == 0 && m_barHeight == 0 && !m_relativeBarHeight)
        throw E2DBarcodeError("Either BarHeight or BarHeightToWidth is required");
    if (value == m_barHeightToWidth)
        return;
    if (value < 0)
        throw E2DBarcodeError("BarHeightToWidth cannot be less than one");
    assignAndRender(m_barHeightToWidth, value);
}

void TStPDF417Barcode::SetBarHeight(int value) {
    if (value < 1 && m_barHeightToWidth == 0 && !m_relativeBarHeight)
        throw E2DBarcodeError("Either BarHeight or BarHeightToWidth is required");
    if (value < 0)
        throw E2DBarcodeError("Bar Height cannot be less than one");
    if (value == m_barHeight)
        return;
    assignAndRender(m_barHeight, value);
}

void TStPDF417Barcode::SetRelativeBarHeight(bool value) {
    if (!value && m_barHeightToWidth == 0 && m_barHeight == 0)
        throw E2DBarcodeError("Either BarHeight or BarHeightToWidth is required");
    if (value == m_relativeBarHeight)
        return;
    assignAndRender(m_relativeBarHeight, value);
}

void TStPDF417Barcode::SetQuietZone(int value) {
    if (value == m_quietZone)
        return;
    if (value < 0)
        throw E2DBarcodeError("Invalid Quiet Zone");
    assignAndRender(m_quietZone, value);
}

void TStPDF417Barcode::SetAlignment(TAlignment value) {
    if (value == m_alignment)
        return;
    assignAndRender(m_alignment, value);
}

void TStPDF417Barcode::SetCaptionLayout(TTextLayout value) {
    if (value == m_captionLayout)
        return;
    assignAndRender(m_captionLayout, value);
}

void TStPDF417Barcode::SetCaption(const AnsiString& value) {
    if (value == m_caption)
        return;
    assignAndRender(m_caption, value);
}

void TStPDF417Barcode::SetBackgroundColor(const QColor& value) {
    if (value == m_backgroundColor)
        return;
    assignAndRender(m_backgroundColor, value);
}

long long TStPDF417Barcode::symbolPixelWidth(int barWidth) const {
    const long long modules = 17LL * m_symbol.SymbolSize().columns + (m_truncated ? 35 : 69);
    return modules * barWidth;
}

long long TStPDF417Barcode::symbolPixelHeight(long long available, int barWidth) const {
    if (m_relativeBarHeight)
        return available;
    const long long rowHeight = m_barHeightToWidth != 0 ? 1LL * m_barHeightToWidth * barWidth : m_barHeight;
    return m_symbol.SymbolSize().rows * rowHeight;
}

int TStPDF417Barcode::SymbolPixelWidth() const {
    return clampToInt(symbolPixelWidth(m_barWidth));
}

int TStPDF417Barcode::SymbolPixelHeight(int available) const {
    return clampToInt(symbolPixelHeight(available, m_barWidth));
}

void TStPDF417Barcode::RenderImage(int width, int height) {
    QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    RenderedLayout layout;
    renderInto(image, m_barWidth, layout);
    m_image = std::move(image);
    m_barcodeRect = layout.rect;
    m_rendered = std::move(layout);
}

void TStPDF417Barcode::renderInto(QImage& image, int barWidth, RenderedLayout& layout) {
    BarcodeRect& rect = layout.rect;
    layout.barWidth = barWidth;
    const long long w = image.width();
    const long long h = image.height();
    image.fill(m_backgroundColor.rgb());

    // The caption's place; its font is only consulted when there is a caption.
    const bool hasCaption = !m_caption.empty() && !image.isNull();
    QString caption;
    int th = 0;
    int tw = 0;
    int ascent = 0;
    if (hasCaption) {
        caption = core::toUnicode(m_caption);
        const QFontMetrics metrics(m_font, &image);
        th = metrics.height();
        tw = metrics.horizontalAdvance(caption);
        ascent = metrics.ascent();
    }
    long long captionX = 0;
    if (m_alignment == taRightJustify)
        captionX = w - tw > 0 ? w - tw : 0;
    else if (m_alignment == taCenter)
        captionX = w - tw > 0 ? w / 2 - tw / 2 : 0;
    long long captionY = 0;
    long long topBand = 0;
    long long bottomBand = 0;
    switch (m_captionLayout) {
    case tlTop:
        if (!m_caption.empty())
            topBand = th + 4;
        break;
    case tlCenter:
        captionY = h - th > 0 ? h / 2 - th / 2 : 0;
        break;
    case tlBottom:
        captionY = h - 2 - th > 0 ? h - 2 - th : 0;
        if (!m_caption.empty())
            bottomBand = th + 4;
        break;
    }

    // Centre the symbol vertically when it is lower than the room between the
    // quiet zones and bands; place it horizontally by the alignment when it is
    // narrower than the image between the quiet zones.
    const long long quiet = m_quietZone;
    const long long available = h - 2 * quiet - topBand - bottomBand;
    const long long sh = symbolPixelHeight(available, barWidth);
    const long long sw = symbolPixelWidth(barWidth);
    if (available > sh) {
        const long long d = (available - sh) / 2;
        topBand += d;
        bottomBand += d;
    }
    long long leftMargin = quiet;
    long long rightMargin = quiet;
    if (sw < w - 2 * quiet) {
        if (m_alignment == taLeftJustify) {
            rightMargin = w - sw - quiet;
        } else if (m_alignment == taRightJustify) {
            leftMargin = w - sw - quiet;
        } else {
            leftMargin = (w - sw) / 2;
            rightMargin = leftMargin;
        }
    }
    rect = {clampToInt(leftMargin), clampToInt(quiet + topBand), clampToInt(w - rightMargin),
            clampToInt(h - quiet - bottomBand)};
    paintSymbol(image, rect, barWidth);

    if (hasCaption) {
        layout.captionBox = QRect(static_cast<int>(captionX), static_cast<int>(captionY), tw, th);
        layout.captionAscent = ascent;
        layout.caption = caption;
        QPainter painter(&image);
        painter.setFont(m_font);
        painter.fillRect(QRect(static_cast<int>(captionX), static_cast<int>(captionY), tw, th), m_backgroundColor);
        painter.setPen(m_fontColor);
        painter.drawText(QPoint(static_cast<int>(captionX), static_cast<int>(captionY) + ascent), caption);
    }
}

void TStPDF417Barcode::paintSymbol(QImage& image, const BarcodeRect& rect, int barWidth) {
    const SymbolLayout layout = m_symbol.PrepareMatrix();
    // Rows share the rectangle's height in whole pixels; lines below the last row
    // stay background, and with more rows than lines nothing shows.
    const long long rowHeight = (static_cast<long long>(rect.bottom) - rect.top) / layout.rows;
    const long long w = image.width();
    const long long h = image.height();
    const QRgb bar = m_color.rgb();
    const QRgb background = m_backgroundColor.rgb();
    uchar* const bits = image.isNull() ? nullptr : image.bits();
    const long long stride = image.bytesPerLine();
    ModuleRow modules;
    for (int row = 0; row < layout.rows; ++row) {
        // Every row's codewords are looked up, painted or not, so that an invalid
        // codeword fails the same way at any size.
        m_symbol.RowModules(row, m_truncated, modules);
        if (rowHeight <= 0 || bits == nullptr || barWidth <= 0 || rect.left >= w)
            continue;
        const long long y0 = std::max<long long>(rect.top + row * rowHeight, 0);
        const long long y1 = std::min<long long>(rect.top + (row + 1) * rowHeight, h);
        if (y0 >= y1)
            continue;
        // Paint the row's first line module by module, as far as the image
        // reaches, in the bar or the background colour; the other lines are
        // copies of it.
        auto* line = reinterpret_cast<QRgb*>(bits + y0 * stride);
        const long long visible = std::min<long long>(modules.size(), (w - rect.left + barWidth - 1) / barWidth);
        for (int m = 0; m < visible; ++m) {
            const QRgb colour = modules.bar(m) ? bar : background;
            const long long x0 = rect.left + 1LL * m * barWidth;
            const long long x1 = std::min<long long>(x0 + barWidth, w);
            for (long long x = x0; x < x1; ++x)
                line[x] = colour;
        }
        for (long long y = y0 + 1; y < y1; ++y)
            std::memcpy(bits + y * stride, line, static_cast<std::size_t>(stride));
    }
}

void TStPDF417Barcode::Paint(QPainter& painter) {
    RenderImage(m_width, m_height);
    paintVector(painter);
}

void TStPDF417Barcode::paintVector(QPainter& painter) const {
    const long long w = m_image.width();
    const long long h = m_image.height();
    if (w <= 0 || h <= 0)
        return;
    painter.save();
    painter.setPen(Qt::NoPen);
    const std::optional<DeviceGrid> grid = DeviceGrid::of(painter);
    auto place = [&](double x0, double y0, double x1, double y1) {
        return grid ? grid->snap(x0, y0, x1, y1) : QRectF(QPointF(x0, y0), QPointF(x1, y1));
    };
    painter.setBrush(m_backgroundColor);
    painter.drawRect(place(0, 0, static_cast<double>(w), static_cast<double>(h)));

    // The rows as paintSymbol paints them into the image: the same row height,
    // the same modules, cut at the image's edges; runs of dark modules become
    // one rectangle each. The buffer is kept between calls.
    const BarcodeRect& rect = m_rendered.rect;
    const int barWidth = m_rendered.barWidth;
    const SymbolLayout layout = m_symbol.Layout();   // as the rendering prepared it
    const long long rowHeight = layout.rows > 0 ? (static_cast<long long>(rect.bottom) - rect.top) / layout.rows : 0;
    static thread_local std::vector<QRectF> bars;
    bars.clear();
    if (rowHeight > 0 && barWidth > 0 && rect.left < w) {
        ModuleRow modules;
        for (int row = 0; row < layout.rows; ++row) {
            const long long y0 = std::max<long long>(rect.top + row * rowHeight, 0);
            const long long y1 = std::min<long long>(rect.top + (row + 1) * rowHeight, h);
            if (y0 >= y1)
                continue;
            m_symbol.RowModules(row, m_truncated, modules);
            const long long visible = std::min<long long>(modules.size(), (w - rect.left + barWidth - 1) / barWidth);
            for (long long m = 0; m < visible;) {
                if (!modules.bar(static_cast<int>(m))) {
                    ++m;
                    continue;
                }
                long long end = m + 1;
                while (end < visible && modules.bar(static_cast<int>(end)))
                    ++end;
                const long long x0 = rect.left + m * barWidth;
                const long long x1 = std::min<long long>(rect.left + end * barWidth, w);
                bars.push_back(place(static_cast<double>(x0), static_cast<double>(y0), static_cast<double>(x1),
                                     static_cast<double>(y1)));
                m = end;
            }
        }
    }
    if (!bars.empty()) {
        painter.setBrush(m_color);
        painter.drawRects(bars.data(), static_cast<int>(bars.size()));
    }

    if (!m_rendered.caption.isEmpty()) {
        // The caption font at the image's resolution, so the text is as large
        // against the symbol as in the image.
        QFont font = m_font;
        if (font.pixelSize() <= 0)
            font.setPixelSize(std::max(1, qRound(font.pointSizeF() * m_image.logicalDpiY() / 72.0)));
        painter.setBrush(m_backgroundColor);
        painter.drawRect(m_rendered.captionBox);
        painter.setFont(font);
        painter.setPen(m_fontColor);
        painter.drawText(QPoint(m_rendered.captionBox.left(), m_rendered.captionBox.top() + m_rendered.captionAscent),
                         m_rendered.caption);
    }
    painter.restore();
}

QSize TStPDF417Barcode::RenderScaled(QImage& target, int resolutionX, int resolutionY) {
    int barWidth = m_barWidth;
    int width = m_width;
    int height = m_height;
    if (resolutionX != 0 && resolutionY != 0) {
        const QPointF screen = screenResolution();
        barWidth = scaled(m_barWidth, resolutionX, screen.x());
        width = scaled(m_width, resolutionX, screen.x());
        height = scaled(m_height, resolutionY, screen.y());
    }
    QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    if (resolutionX > 0 && resolutionY > 0) {
        // The caption's point size is measured at the device's resolution.
        image.setDotsPerMeterX(qRound(resolutionX / 0.0254));
        image.setDotsPerMeterY(qRound(resolutionY / 0.0254));
    }
    RenderedLayout layout;
    renderInto(image, barWidth, layout);
    target = image;
    RenderImage(m_width, m_height);
    return {width, height};
}

} // namespace mirel::pdf417
