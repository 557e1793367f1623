#pragma once
// Helpers of the painting tests: objects painted as a prepared page paints
// them into a small white image, where the ink lies, and the fonts the tests
// expect measured on their own (not through the layout under test).

#include "template/PagePainter.h"
#include "template/TfrView.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QRectF>
#include <memory>
#include <vector>

namespace mirel::tmpl::test {

// Device pixels per page unit in these tests.
inline constexpr double kScale = 4.0;

// Paints the objects on a white image of `width` x `height` page units.
QImage paintUnits(ViewList& views, int width, int height, std::vector<PaintFailure>* failures = nullptr,
                  bool designMode = false);
QImage paintOne(std::unique_ptr<TfrView> view, int width, int height, std::vector<PaintFailure>* failures = nullptr,
                bool designMode = false);

// The bounding box, in page units, of the pixels darker than mid-grey inside
// `area` (page units; the whole image when empty). Null when there is none.
QRectF inkBox(const QImage& image, const QRectF& area = QRectF());
// Whether the pixel at page units (x, y) is dark.
bool darkAt(const QImage& image, double x, double y);
QRgb colorAt(const QImage& image, double x, double y);

// An installed family measured at P points (P x 1.27 page units, a font
// 100 reference pixels per unit), unhinted, in page units.
struct MeasuredFont {
    explicit MeasuredFont(const char* family, int points);
    double ascent() const { return metrics.ascent() / 100.0; }
    double descent() const { return metrics.descent() / 100.0; }
    double advance(const QString& text) const { return metrics.horizontalAdvance(text) / 100.0; }
    // The ink of `text` drawn with its origin (left end of the baseline) at 0.
    QRectF ink(const QString& text) const;

    QFont font;
    QFontMetricsF metrics;
};

} // namespace mirel::tmpl::test
