#include "template/PagePainter.h"

#include "core/Encoding.h"
#include "template/BuiltinViews.h"
#include "template/MemoLayout.h"

#include <QPainter>
#include <cmath>
#include <exception>

namespace mirel::tmpl {
namespace {

PaintFailure failureOf(const TfrView& view, int index, const QString& message) {
    PaintFailure f;
    f.object = index;
    f.name = core::toUnicode(view.Name);
    f.className = QString::fromLatin1(view.ClassName());
    f.frame = QRect(view.Left, view.Top, view.Width, view.Height);
    f.message = message;
    return f;
}

// Collects what the objects tell the paint context, with the object's index.
class FailureCollector final : public PaintReport {
public:
    explicit FailureCollector(std::vector<PaintFailure>* failures) : m_failures(failures) {}
    void SetObject(int index) { m_index = index; }
    void Failed(const TfrView& view, const QString& message) override {
        if (m_failures)
            m_failures->push_back(failureOf(view, m_index, message));
    }

private:
    std::vector<PaintFailure>* m_failures;
    int m_index = 0;
};

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
        memo->Width = static_cast<std::int32_t>(std::ceil(layout.neededWidth - 1e-6));
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
    FailureCollector collector(failures);
    PaintContext own = context;
    own.report = &collector;
    for (size_t i = 0; i < objects.size(); ++i) {
        TfrView& view = *objects[i];
        const int index = static_cast<int>(i);
        collector.SetObject(index);
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
