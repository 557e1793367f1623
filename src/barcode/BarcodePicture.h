#pragma once
// The barcode picture: how a barcode template object lays out its symbol. The
// symbol is recorded once at its logical size (the width in modules by the
// frame's height, or turned for 90 and 270 degrees), bars and human-readable
// text together, and played back stretched into the object's frame on any
// output: screen, printer, PDF or image. With a zoom of 2 each module becomes two
// page units wide, and the text is stretched with the bars.
//
// The record is a short list of rectangles (spaces merged into runs, bars in one
// list drawn with one drawRects call) and the text items, so a page of labels
// costs little to draw and little to store in a PDF.

#include "barcode/TfrBarcode.h"

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

class QPainter;

namespace mirel::barcode {

// The human-readable text: "Courier New" 12 units high (no internal leading),
// drawn in its metric-compatible stand-in, in a 14-unit band beside the bars.
inline constexpr const char* kBarcodeFontFamily = "Liberation Mono";
inline constexpr int kBarcodeFontHeight = 12;
inline constexpr int kBarcodeTextBand = 14;

// The font of the human-readable text, in logical units of the picture.
const QFont& barcodeTextFont();

struct BarcodeTextItem {
    QString text;
    QPointF origin;   // top-left corner of the text in its own direction
    double angle;     // degrees, counter-clockwise
    double width;     // advance width of the text
    double ascent;    // reference line below the top of the character cell
    double height;    // character cell height, painted white behind the glyphs
};

struct BarcodeLayout;

class BarcodePicture {
public:
    // The picture's own coordinate system: bars and text are placed in it.
    QSize logicalSize() const { return m_logicalSize; }

    // Draws the picture stretched into `frame` (in the painter's coordinates),
    // without pen: the space runs, the bars in one drawRects call, then the text.
    // The painter's state is the same afterwards.
    //
    // On a device with pixels of its own (an image, a printer at its
    // resolution, a widget) every bar edge falls on a whole device pixel, so
    // labels printed at 203 or 300 dpi keep sharp, even bars: the symbol's
    // origin goes to the nearest device pixel and each edge to that pixel plus
    // its own distance from the origin, rounded to whole pixels. Bars and spaces
    // of the same width then differ by at most one pixel and the symbol stays
    // within half a pixel of its exact width. This holds while the painter only
    // scales, moves or turns by right angles; a PDF (or any vector device)
    // keeps the exact coordinates.
    void play(QPainter& painter, const QRectF& frame) const;

    QColor spaceColor() const { return m_spaceColor; }
    QColor barColor() const { return m_barColor; }
    const std::vector<QRect>& spaceRects() const { return m_spaces; }
    const std::vector<QRect>& barRects() const { return m_bars; }
    const std::vector<BarcodeTextItem>& textItems() const { return m_texts; }

private:
    friend class BarcodePictureRecorder;
    friend BarcodeLayout makeBarcodePicture(TfrBarcode&, QSize, double, bool, double);

    QSize m_logicalSize;
    QColor m_spaceColor;
    QColor m_barColor;
    std::vector<QRect> m_spaces;
    std::vector<QRect> m_bars;
    std::vector<BarcodeTextItem> m_texts;
};

struct BarcodeLayout {
    // The object's new frame size in page units: the symbol's width in modules
    // times the zoom along the symbol, the frame's own size across it.
    QSize frameSize;
    // None when the symbol shows "0" (a label whose text could not be evaluated):
    // then nothing is drawn, neither bars nor background nor frame.
    std::optional<BarcodePicture> picture;
};

// Lays out the symbol of `barcode` for an object frame of `frame` page units at
// `angle` degrees (0, 90, 180 or 270; any other angle is laid out as 270, as the
// barcode editor shows it), with or without its human-readable text, `zoom` page
// units per module. The generator is set up by the object (type, text, check
// digit, colours, Modul 1, Ratio 2.0); this sets its Angle, Left, Top and Height.
// Errors of the pattern build pass to the caller, and nothing is produced.
BarcodeLayout makeBarcodePicture(TfrBarcode& barcode, QSize frame, double angle, bool showText, double zoom);

} // namespace mirel::barcode
