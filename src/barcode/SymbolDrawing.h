#pragma once
// What the generator's drawing and the barcode picture share: where a turned
// symbol lands (the rotation of its points and the offset that keeps its bounding
// box at the symbol's position) and the colours of its elements.

#include "barcode/BarcodeTypes.h"

#include <QColor>
#include <QPoint>
#include <QSize>

namespace mirel::barcode {

// Turns a point of the symbol by a radians, counter-clockwise on a page whose y
// axis points down: (round(X cos a + Y sin a), round(-X sin a + Y cos a)).
QPoint RotatePoint(QPoint p, double a);

// The offset from (Left, Top) to the rotated origin, so that a symbol of the
// given size (width W, height H) turned by a radians has its bounding box at
// (Left, Top). For the right angles a symbol point (x, y) lands at 0: (x, y);
// 90: (y, W - x); 180: (W - x, H - y); 270: (H - y, x).
QPoint RotationOffset(QSize size, double a);

// Degrees to the radians the two operations take.
double angleRadians(double degrees);

// A stored colour (0x00BBGGRR) as Qt's.
inline QColor toQColor(TColor c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

} // namespace mirel::barcode
