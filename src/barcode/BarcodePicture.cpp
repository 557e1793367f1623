#include "barcode/BarcodePicture.h"

#include "barcode/SymbolDrawing.h"
#include "core/Encoding.h"
#include "core/Numbers.h"
#include "core/Text.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <optional>

namespace mirel::barcode {
namespace {

// Cosine and sine of a right angle, exactly.
struct RightAngle {
    int degrees;
    int c;
    int s;
};

RightAngle rightAngle(double degrees) {
    if (degrees == 0.0)
        return {0, 1, 0};
    if (degrees == 90.0)
        return {90, 0, 1};
    if (degrees == 180.0)
        return {180, -1, 0};
    return {270, 0, -1};
}

const QFontMetricsF& barcodeTextMetrics() {
    // Made once, on first use (a QGuiApplication exists by then), and kept for the
    // whole run.
    static const QFontMetricsF* metrics = new QFontMetricsF(barcodeTextFont());
    return *metrics;
}

// The device pixels under the painter's coordinates, where the device has
// pixels of its own (an image, a printer at its resolution, a widget) and the
// coordinates are only scaled, moved or turned by right angles. Bar edges are
// moved onto them: each logical axis maps to one device axis as
// device = a * v + b, the symbol's origin (v = 0) goes to the nearest device
// pixel, round(b), and every edge v to round(b) + round(a * v). So every bar
// and space is a whole number of pixels, elements of the same width differ by
// at most one pixel, and the symbol's width is within half a pixel of the
// exact one. A PDF or a recorded picture keeps the exact coordinates.
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
        // Below one pixel per unit (a preview zoomed far out) a whole pixel per
        // module would change the symbol's look; it is drawn as it is.
        if (std::abs(grid.m_x.a) < 1 || std::abs(grid.m_y.a) < 1)
            return std::nullopt;
        return grid;
    }

    // The rectangle with its edges on device pixels, in logical coordinates.
    QRectF snap(const QRect& r) const {
        const double x0 = m_x.snap(r.left());
        const double x1 = m_x.snap(r.left() + r.width());
        const double y0 = m_y.snap(r.top());
        const double y1 = m_y.snap(r.top() + r.height());
        return QRectF(QPointF(x0, y0), QPointF(x1, y1)).normalized();
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

QString shownText(const AnsiString& text) {
    // No symbology holds more than ASCII, so Latin-1 suffices; code page text
    // would still be converted properly.
    for (char c : text)
        if (static_cast<unsigned char>(c) > 127)
            return core::toUnicode(text);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

const QFont& barcodeTextFont() {
    static const QFont* font = [] {
        auto* f = new QFont(QString::fromLatin1(kBarcodeFontFamily));
        f->setStyleHint(QFont::TypeWriter);
        f->setPixelSize(kBarcodeFontHeight);
        // The picture is stretched on playback; hinting for 12 pixels would only
        // distort the advance widths.
        f->setHintingPreference(QFont::PreferNoHinting);
        f->setKerning(false);
        return f;
    }();
    return *font;
}

// Records the elements of a pattern as the generator would draw them at a right
// angle, in the picture's coordinates. An element w wide at x covers [x, x + w)
// along the symbol and [0, h) across it (upward for a negative height).
class BarcodePictureRecorder {
public:
    BarcodePictureRecorder(BarcodePicture& picture, const TfrBarcode& barcode, RightAngle angle, int symbolWidth)
        : m_picture(picture), m_angle(angle), m_height(barcode.Height()) {
        m_origin = QPoint(barcode.Left(), barcode.Top())
                   + RotationOffset(QSize(symbolWidth, m_height), angleRadians(angle.degrees));
    }

    void record(const TfrBarcode& barcode, std::string_view pattern) {
        m_picture.m_bars.reserve(pattern.size() / 2 + 1);
        const auto [fullLow, fullHigh] = extent(m_height);
        const auto [shortLow, shortHigh] = extent(m_height * 2 / 5);
        int x = 0;
        for (char code : pattern) {
            const auto [w, kind] = barcode.ElementInfo(code);
            // Spaces and full bars stand on one background run in the space
            // colour; a short bar breaks it, as nothing is painted above it.
            if (kind == ElementKind::ShortBar) {
                flushRun(x);
            } else if (m_runStart < 0) {
                m_runStart = x;
            }
            if (kind == ElementKind::Space) {
                flushBar();
            } else {
                const int low = kind == ElementKind::ShortBar ? shortLow : fullLow;
                const int high = kind == ElementKind::ShortBar ? shortHigh : fullHigh;
                if (m_barStart >= 0 && m_barEnd == x && m_barLow == low && m_barHigh == high) {
                    m_barEnd = x + w;
                } else {
                    flushBar();
                    m_barStart = x;
                    m_barEnd = x + w;
                    m_barLow = low;
                    m_barHigh = high;
                }
            }
            x += w;
        }
        flushRun(x);
        flushBar();
    }

private:
    static std::pair<int, int> extent(int h) { return {std::min(0, h), std::max(0, h)}; }

    QRect map(int x0, int x1, int y0, int y1) const {
        const int ax = x0 * m_angle.c + y0 * m_angle.s;
        const int ay = -x0 * m_angle.s + y0 * m_angle.c;
        const int bx = x1 * m_angle.c + y1 * m_angle.s;
        const int by = -x1 * m_angle.s + y1 * m_angle.c;
        return QRect(m_origin.x() + std::min(ax, bx), m_origin.y() + std::min(ay, by), std::abs(bx - ax),
                     std::abs(by - ay));
    }

    void flushRun(int x) {
        if (m_runStart >= 0 && x != m_runStart && m_height != 0)
            m_picture.m_spaces.push_back(map(m_runStart, x, 0, m_height));
        m_runStart = -1;
    }

    void flushBar() {
        if (m_barStart >= 0 && m_barEnd != m_barStart && m_barHigh != m_barLow)
            m_picture.m_bars.push_back(map(m_barStart, m_barEnd, m_barLow, m_barHigh));
        m_barStart = -1;
    }

    BarcodePicture& m_picture;
    RightAngle m_angle;
    int m_height;
    QPoint m_origin;
    int m_runStart = -1;
    int m_barStart = -1;
    int m_barEnd = 0;
    int m_barLow = 0;
    int m_barHigh = 0;
};

void BarcodePicture::play(QPainter& painter, const QRectF& frame) const {
    if (m_logicalSize.width() <= 0 || m_logicalSize.height() <= 0)
        return;
    painter.save();
    painter.translate(frame.topLeft());
    painter.scale(frame.width() / m_logicalSize.width(), frame.height() / m_logicalSize.height());
    painter.setPen(Qt::NoPen);
    const std::optional<DeviceGrid> grid = DeviceGrid::of(painter);
    auto drawAll = [&](const std::vector<QRect>& rects, const QColor& color) {
        if (rects.empty())
            return;
        painter.setBrush(color);
        if (!grid) {
            painter.drawRects(rects.data(), static_cast<int>(rects.size()));
            return;
        }
        // Edges moved onto device pixels; the buffer is kept between calls so
        // that a page of labels allocates it once.
        static thread_local std::vector<QRectF> snapped;
        snapped.clear();
        snapped.reserve(rects.size());
        for (const QRect& r : rects)
            snapped.push_back(grid->snap(r));
        painter.drawRects(snapped.data(), static_cast<int>(snapped.size()));
    };
    drawAll(m_spaces, m_spaceColor);
    drawAll(m_bars, m_barColor);
    if (!m_texts.empty()) {
        painter.setFont(barcodeTextFont());
        for (const BarcodeTextItem& item : m_texts) {
            // Opaque text: the character cells are white behind the glyphs.
            const QTransform base = painter.transform();
            painter.translate(item.origin);
            painter.rotate(-item.angle);
            painter.fillRect(QRectF(0, 0, item.width, item.height), Qt::white);
            painter.setPen(Qt::black);
            painter.drawText(QPointF(0, item.ascent), item.text);
            painter.setTransform(base);
        }
    }
    painter.restore();
}

BarcodeLayout makeBarcodePicture(TfrBarcode& barcode, QSize frame, double angle, bool showText, double zoom) {
    const RightAngle a = rightAngle(angle);
    barcode.SetAngle(a.degrees);
    const bool horizontal = a.degrees == 0 || a.degrees == 180;

    // One build serves the measuring and the drawing: building again would give
    // the same pattern and text.
    const std::string pattern = barcode.MakePattern();
    const int w = barcode.PatternWidth(pattern);
    const int along = static_cast<int>(core::roundHalfEven(w * zoom));

    BarcodeLayout layout;
    layout.frameSize = horizontal ? QSize(along, frame.height()) : QSize(frame.width(), along);
    if (core::trimBlanks(barcode.Text()) == "0")
        return layout;

    BarcodePicture picture;
    picture.m_logicalSize = horizontal ? QSize(w, frame.height()) : QSize(frame.width(), w);
    const int dx = picture.m_logicalSize.width();
    const int dy = picture.m_logicalSize.height();

    const int v = (horizontal ? dy : dx) - (showText ? kBarcodeTextBand : 0);
    barcode.SetLeft(0);
    barcode.SetTop(0);
    barcode.SetHeight(v);
    if (a.degrees == 0 && barcode.Typ() == bcCodePostNet) {
        // All PostNet bars stand on one bottom line.
        barcode.SetTop(v);
        barcode.SetHeight(-v);
    } else if (a.degrees == 180) {
        barcode.SetTop(dy - v);
    } else if (a.degrees == 270) {
        barcode.SetLeft(dx - v);
    }

    picture.m_spaceColor = toQColor(barcode.Color());
    picture.m_barColor = toQColor(barcode.ColorBar());
    BarcodePictureRecorder(picture, barcode, a, w).record(barcode, pattern);

    if (showText) {
        BarcodeTextItem item;
        item.text = shownText(barcode.Text());
        const QFontMetricsF& metrics = barcodeTextMetrics();
        const int tw = static_cast<int>(core::roundHalfEven(metrics.horizontalAdvance(item.text)));
        item.angle = a.degrees;
        item.width = tw;
        item.ascent = metrics.ascent();
        // The reference line is 12 units from the frame edge; the white cell ends
        // there rather than spilling onto whatever lies beyond the frame.
        item.height = std::min(metrics.height(), static_cast<double>(kBarcodeFontHeight));
        switch (a.degrees) {
        case 0: item.origin = QPointF((dx - tw) / 2, dy - kBarcodeFontHeight); break;
        case 90: item.origin = QPointF(dx - kBarcodeFontHeight, dy - (dy - tw) / 2); break;
        case 180: item.origin = QPointF(dx - (dx - tw) / 2, kBarcodeFontHeight); break;
        default: item.origin = QPointF(kBarcodeFontHeight, (dy - tw) / 2); break;
        }
        if (!item.text.isEmpty())
            picture.m_texts.push_back(std::move(item));
    }
    layout.picture = std::move(picture);
    return layout;
}

} // namespace mirel::barcode
