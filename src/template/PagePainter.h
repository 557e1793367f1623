#pragma once
// Painting a prepared page: the one path by which the preview, the printer, PDF
// and PNG output put a page of labels on a device.
//
// Object positions on a prepared page are page units (18 per 5 mm) from the
// paper's top-left corner. The painter's device coordinates are pixels at the
// resolution given (a printer's dots, an image's pixels, a PDF writer's units),
// with the paper's top-left corner at `origin`.

#include "template/PreparedReport.h"
#include "template/TfrView.h"

#include <QPointF>
#include <QRect>
#include <QSizeF>
#include <QString>
#include <vector>

class QPainter;

namespace mirel::tmpl {

// An object that did not come out as it should: it threw while painting, or
// told the paint context what it could not draw.
struct PaintFailure {
    int page = 0;          // the page's index from 0 (set by the output that paints many pages)
    int object = 0;        // the object's index in the page stream, from 0
    QString name;          // the object's name
    QString className;
    QRect frame;           // page units: where on the page it stands, which tells the label
    QString message;
};

struct PageDevice {
    double dpiX = 300;     // device pixels per inch
    double dpiY = 300;
    QPointF origin;        // where the paper's top-left corner lies, device pixels
};

// The paper of a page in device pixels at a resolution (its width and height
// are as the page lies, landscape included).
QSizeF pagePixelSize(const TfrPreparedPage& page, double dpiX, double dpiY);

// The paint context of a prepared page on a device.
PaintContext preparedPaintContext(const PageDevice& device);

// Paints objects read from a page stream, in order, each with the painter's
// state kept around it. Text objects with AutoWidth take the width of their
// text first. An object that throws is left out and reported with the
// exception's message; painting goes on with the next. Failures are appended
// to `failures` when it is given.
void paintObjects(QPainter& painter, ViewList& objects, const PaintContext& context,
                  std::vector<PaintFailure>* failures = nullptr);

// Reads the page stream once and paints it (see paintObjects). Page streams
// that end in an object that cannot be created or read show what came before
// it, and that object is reported.
void paintPreparedPage(QPainter& painter, const TfrPreparedPage& page, const PageDevice& device,
                       std::vector<PaintFailure>* failures = nullptr);

} // namespace mirel::tmpl
