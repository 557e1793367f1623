#include "template/PagePainter.h"

#include "core/Encoding.h"
#include "template/BuiltinViews.h"
#include "template/MemoLayout.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>
#include <exception>

namespace mirel::tmpl {
namespace {

// The object's frame as a rectangle, its size cut where its far edge would
// pass the largest coordinate (damaged records hold any size).
QRect frameOf(const TfrView& view) {
    constexpr std::int64_t kMax = std::numeric_limits<int>::max();
    const std::int64_t w = std::clamp<std::int64_t>(view.Width, 0, kMax - std::max(0, view.Left));
    const std::int64_t h = std::clamp<std::int64_t>(view.Height, 0, kMax - std::max(0, view.Top));
    return QRect(QPoint(view.Left, view.Top), QSize(static_cast<int>(w), static_cast<int>(h)));
}

PaintFailure failureOf(const TfrView& view, int index, const QString& message) {
    PaintFailure f;
    f.object = index;
    f.name = core::toUnicode(view.Name);
    f.className = QString::fromLatin1(view.ClassName());
    f.frame = frameOf(view);
    f.message = message;
    return f;
}

// A text object with AutoWidth is as wide as its widest line, measured without
// word wrap.
void fitAutoWidth(TfrView& view) {
    auto* memo = dynamic_cast<TfrMemoView*>(&view);
    if (memo == nullptr || !(memo->Flags & kAutoWidth))
        return;
    const std::uint16_t flags = memo->Flags;
    memo->Flags &= static_cast<std::uint16_t>(~kWordWrap);
    const MemoLayout layout = layoutMemo(*memo, memo->Memo);
    memo->Flags = flags;
    if (!layout.lines.empty())
        memo->Width = static_cast<std::int32_t>(
            std::clamp(std::ceil(layout.neededWidth - 1e-6), 0.0, double(std::numeric_limits<std::int32_t>::max())));
}

} // namespace

QSizeF pagePixelSize(const TfrPreparedPage& page, double dpiX, double dpiY) {
    return QSizeF(page.PaperWidth / 254.0 * dpiX, page.PaperHeight / 254.0 * dpiY);
}

PaintContext preparedPaintContext(const PageDevice& device) {
    PaintContext context;
    context.scaleX = device.dpiX / kPageUnitsPerInch;
    context.scaleY = device.dpiY / kPageUnitsPerInch;
    context.offsetX = device.origin.x();
    context.offsetY = device.origin.y();
    context.designMode = false;
    return context;
}

void paintObjects(QPainter& painter, ViewList& objects, const PaintContext& context,
                  std::vector<PaintFailure>* failures) {
    PaintContext own = context;
    int index = 0;
    // What the objects tell the paint context, filed under the object's index.
    own.objectFailed = [&](const TfrView& view, const std::string& message) {
        if (failures)
            failures->push_back(failureOf(view, index, QString::fromStdString(message)));
        if (context.objectFailed)
            context.objectFailed(view, message);
    };
    for (size_t i = 0; i < objects.size(); ++i) {
        TfrView& view = *objects[i];
        index = static_cast<int>(i);
        painter.save();
        try {
            fitAutoWidth(view);
            view.Paint(painter, own);
        } catch (const std::exception& e) {
            if (failures)
                failures->push_back(failureOf(view, index, QString::fromUtf8(e.what())));
        } catch (...) {
            if (failures)
                failures->push_back(failureOf(view, index, QStringLiteral("painting failed")));
        }
        painter.restore();
    }
}

void paintPreparedPage(QPainter& painter, const TfrPreparedPage& page, const PageDevice& device,
                       std::vector<PaintFailure>* failures) {
    std::string problem;
    ViewList objects = readPreparedStream(page.Stream, &problem);
    const PaintContext context = preparedPaintContext(device);
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    paintObjects(painter, objects, context, failures);
    painter.restore();
    if (!problem.empty() && failures) {
        PaintFailure f;
        f.object = static_cast<int>(objects.size());
        f.message = QString::fromStdString(problem);
        failures->push_back(std::move(f));
    }
}

} // namespace mirel::tmpl
