#pragma once
// Painting a prepared page on a device for the preview, the printer and PDF
// export: every window and output of the preview goes through paintPage, so
// what the operator checks on screen is what prints.
//
// Positions on a prepared page are page units (18 per 5 mm) from the paper's
// top-left corner; paper sizes are tenths of a millimetre, as the page lies.

#include "template/PreparedReport.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>

class QPainter;

namespace mirel::engine {

// Device pixels per page unit at a resolution in pixels per inch.
constexpr double pixelsPerPageUnit(double dpi) { return dpi * 5.0 / (18.0 * 25.4); }

// The paper of a page in device pixels at a resolution.
QSizeF pagePixelSize(const tmpl::TfrPreparedPage& page, double dpiX, double dpiY);

// Where an object frame in page units lies on the device.
QRectF deviceRect(const QRectF& pageUnits, QPointF origin, double dpiX, double dpiY);

// Paints the page's objects with the paper's top-left corner at `origin`: the
// page stream is read once and each object painted in stream order. The paper
// itself is not filled (the caller's device is white or the caller fills it).
// An object that throws while painting is left out; painting goes on.
void paintPage(QPainter& painter, const tmpl::TfrPreparedPage& page, QPointF origin, double dpiX, double dpiY);

} // namespace mirel::engine
