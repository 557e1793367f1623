#include "pdf417/TStPDF417Barcode.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <limits>

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
    BarcodeRect rect;
    renderInto(image, m_barWidth, rect);
    m_image = std::move(image);
    m_barcodeRect = rect;
}

void TStPDF417Barcode::renderInto(QImage& image, int barWidth, BarcodeRect& rect) {
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
    painter.drawImage(QPoint(0, 0), m_image);
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
    BarcodeRect rect;
    renderInto(image, barWidth, rect);
    target = image;
    RenderImage(m_width, m_height);
    return {width, height};
}

} // namespace mirel::pdf417
