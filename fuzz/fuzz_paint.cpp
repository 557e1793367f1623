// Any bytes as a prepared page stream, painted as a page: the objects of a
// damaged or hostile prepared report (sizes, fonts, pictures, rich text) must
// not crash, hang or allocate without bound while they are drawn.

#include "template/PagePainter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace mirel::tmpl;

// Fontconfig keeps what it looked up until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication* app = new QGuiApplication(*argc, *argv);
    (void)app;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    TfrPreparedPage page;
    page.Stream.assign(reinterpret_cast<const char*>(data), size);
    // A small page at a low resolution: what is drawn is what matters, not its size.
    QImage image(120, 90, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    std::vector<PaintFailure> failures;
    paintPreparedPage(painter, page, PageDevice{30, 30, {}}, &failures);
    return 0;
}
