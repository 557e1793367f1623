// Pictures, lines, shapes, rounded rectangles, check boxes, rich text and the
// objects drawn as placeholders, painted as a prepared page paints them.

#include "template/AddinViews.h"
#include "template/BuiltinViews.h"
#include "template/PictureImage.h"
#include "template/RichTextPlain.h"

#include "PaintSupport.h"
#include "core/Encoding.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <cstdio>
#include <functional>

#include <jpeglib.h>

using namespace mirel;
using namespace mirel::tmpl;
using namespace mirel::tmpl::test;

namespace {

// A 16 x 8 picture, its left half red and its right half blue.
QImage halves() {
    QImage image(16, 8, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    return image;
}

std::string encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format, 100));
    return bytes.toStdString();
}

// JPEG files written with libjpeg at full quality without chroma subsampling,
// so each 8 x 8 block keeps its own colour: RGB from an image, or one CMYK
// colour as the file stores it (libjpeg writes the Adobe marker that says the
// values are inverted).
std::string writeJpeg(int width, int height, int components, J_COLOR_SPACE space,
                      const std::function<void(int y, unsigned char* row)>& fill) {
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    for (int i = 0; i < info.num_components; ++i)
        info.comp_info[i].h_samp_factor = info.comp_info[i].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(width * components));
    while (info.next_scanline < info.image_height) {
        fill(static_cast<int>(info.next_scanline), row.data());
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string bytes(reinterpret_cast<char*>(out), size);
    std::free(out);
    return bytes;
}

std::string rgbJpeg(const QImage& image) {
    return writeJpeg(image.width(), image.height(), 3, JCS_RGB, [&](int y, unsigned char* row) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            row[3 * x] = static_cast<unsigned char>(qRed(p));
            row[3 * x + 1] = static_cast<unsigned char>(qGreen(p));
            row[3 * x + 2] = static_cast<unsigned char>(qBlue(p));
        }
    });
}

std::string cmykJpeg(const unsigned char (&cmyk)[4]) {
    return writeJpeg(8, 8, 4, JCS_CMYK, [&](int, unsigned char* row) {
        for (int x = 0; x < 8; ++x)
            std::copy(std::begin(cmyk), std::end(cmyk), row + 4 * x);
    });
}

bool near(QRgb a, QRgb b, int tolerance = 40) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
           && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

std::unique_ptr<TfrPictureView> picture(std::uint8_t kind, std::string graphic, int width, int height,
                                        std::uint16_t flags) {
    auto p = std::make_unique<TfrPictureView>();
    p->Left = 5;
    p->Top = 5;
    p->Width = width;
    p->Height = height;
    p->Flags = flags;
    p->GraphicKind = kind;
    p->Graphic = std::move(graphic);
    return p;
}

constexpr QRgb kRedPixel = qRgb(255, 0, 0);
constexpr QRgb kBluePixel = qRgb(0, 0, 255);
constexpr QRgb kPaper = qRgb(255, 255, 255);

} // namespace

TEST(PicturePaint, StretchKeepAspectAndCentre) {
    struct Probe {
        double x, y;   // page units from the page corner (the frame starts at 5, 5)
        QRgb color;
    };
    struct Case {
        const char* what;
        std::uint16_t flags;
        int width, height;
        std::vector<Probe> probes;
    };
    const Case cases[] = {
        // Stretched: the frame is filled, the halves 20 units wide each.
        {"stretched", 1, 40, 20, {{10, 10, kRedPixel}, {40, 20, kBluePixel}}},
        // Kept aspect: 40 x 20 of the 40 x 40 frame, at the top...
        {"aspect", 1 | 4, 40, 40, {{10, 10, kRedPixel}, {40, 20, kBluePixel}, {25, 40, kPaper}}},
        // ... or in the middle.
        {"aspect centred", 1 | 4 | 2, 40, 40, {{25, 10, kPaper}, {10, 25, kRedPixel}, {40, 25, kBluePixel}, {25, 40, kPaper}}},
        // Not stretched: one pixel per page unit, 16 x 8 at the frame's corner...
        {"natural", 0, 40, 40, {{7, 7, kRedPixel}, {19, 7, kBluePixel}, {23, 7, kPaper}, {7, 15, kPaper}}},
        // ... or centred in it, and cut at a frame smaller than it.
        {"natural centred", 2, 40, 40, {{19, 25, kRedPixel}, {31, 25, kBluePixel}, {15, 25, kPaper}}},
        {"natural cut", 0, 10, 4, {{7, 7, kRedPixel}, {14, 7, kBluePixel}, {16, 7, kPaper}, {7, 10, kPaper}}},
    };
    const std::pair<std::uint8_t, std::string> graphics[] = {
        {gkBitmap, encoded(halves(), "BMP")},
        {gkJpeg, rgbJpeg(halves())},
        {gkIcon, encoded(halves(), "ICO")},
    };
    for (const auto& [kind, bytes] : graphics) {
        for (const Case& c : cases) {
            const QImage image = paintOne(picture(kind, bytes, c.width, c.height, c.flags), 50, 50);
            for (const Probe& p : c.probes)
                EXPECT_TRUE(near(colorAt(image, p.x, p.y), p.color))
                    << c.what << " kind " << int(kind) << " at " << p.x << "," << p.y << ": "
                    << std::hex << colorAt(image, p.x, p.y);
        }
    }
}

TEST(PictureImage, JpegColourSpaces) {
    // Grey; CMYK as Adobe stores it, inverted: (0, 255, 255, 255) is full cyan
    // and no black.
    const QImage g = decodeJpeg(writeJpeg(8, 8, 1, JCS_GRAYSCALE, [](int, unsigned char* row) {
        std::fill(row, row + 8, static_cast<unsigned char>(100));
    }));
    ASSERT_FALSE(g.isNull());
    EXPECT_NEAR(qGray(g.pixel(4, 4)), 100, 3);

    const unsigned char cyan[4] = {0, 255, 255, 255};
    const QImage c = decodeJpeg(cmykJpeg(cyan));
    ASSERT_EQ(c.size(), QSize(8, 8));
    EXPECT_TRUE(near(c.pixel(4, 4), qRgb(0, 255, 255), 8)) << std::hex << c.pixel(4, 4);
    const unsigned char black[4] = {255, 255, 255, 0};
    EXPECT_TRUE(near(decodeJpeg(cmykJpeg(black)).pixel(4, 4), qRgb(0, 0, 0), 8));

    const std::string rgb = rgbJpeg(halves());
    EXPECT_TRUE(decodeJpeg(rgb.substr(0, 20)).isNull());   // the header cut short
    EXPECT_TRUE(decodeJpeg("not a jpeg at all").isNull());
    EXPECT_TRUE(decodeJpeg({}).isNull());
    // A file cut inside its data still shows what it holds.
    const std::string large = writeJpeg(128, 128, 3, JCS_RGB, [](int y, unsigned char* row) {
        for (int x = 0; x < 3 * 128; ++x)
            row[x] = static_cast<unsigned char>((x * 7 + y * 13) & 0xFF);
    });
    EXPECT_EQ(decodeJpeg(large.substr(0, large.size() * 3 / 4)).size(), QSize(128, 128));
}

TEST(PicturePaint, GraphicsThatCannotBeDrawnArePlaceholdersAndReported) {
    struct Case {
        std::uint8_t kind;
        std::string bytes;
        const char* message;   // nullptr: nothing is drawn and nothing reported
    };
    const Case cases[] = {
        {gkMetafile, std::string("\x01\x00\x00\x00 an enhanced metafile", 24), "metafile picture shown as a placeholder"},
        {gkJpeg, "\xFF\xD8 damaged", "picture data cannot be read"},
        {gkBitmap, "BM but not really", "picture data cannot be read"},
        {gkNone, "", nullptr},
    };
    for (const Case& c : cases) {
        std::vector<PaintFailure> failures;
        auto view = picture(c.kind, c.bytes, 40, 20, 1);
        view->Name = "Picture1";
        TfrPictureView& kept = *view;
        ViewList views;
        views.push_back(std::move(view));
        const QImage image = paintUnits(views, 50, 30, &failures);
        EXPECT_EQ(kept.Graphic, c.bytes) << "the stored bytes stay";
        if (c.message == nullptr) {
            EXPECT_TRUE(failures.empty());
            EXPECT_TRUE(inkBox(image).isNull());
            continue;
        }
        ASSERT_EQ(failures.size(), 1u) << int(c.kind);
        EXPECT_EQ(failures[0].message.toStdString(), c.message);
        EXPECT_EQ(failures[0].name, QStringLiteral("Picture1"));
        EXPECT_EQ(failures[0].frame, QRect(5, 5, 40, 20));
        // The placeholder: the frame and its diagonals.
        EXPECT_NE(colorAt(image, 25, 5.1), kPaper);
        EXPECT_NE(colorAt(image, 25, 15), kPaper);
    }
}

TEST(ShapePaint, EachShapeInsideTheFrame) {
    struct Probe {
        double x, y;
        bool filled;   // fill colour (or the line's ink for diagonals)
    };
    struct Case {
        std::uint8_t shape;
        std::vector<Probe> probes;
    };
    // The frame is (5, 5) to (45, 25).
    const Case cases[] = {
        {TfrShapeView::skRectangle, {{6, 6, true}, {25, 15, true}, {44, 24, true}}},
        {TfrShapeView::skRoundRectangle, {{5.6, 5.6, false}, {25, 15, true}, {8, 15, true}}},
        {TfrShapeView::skEllipse, {{7, 7, false}, {25, 15, true}, {43, 23, false}}},
        {TfrShapeView::skTriangle, {{7, 7, false}, {25, 7, true}, {25, 24, true}, {43, 7, false}}},
        {TfrShapeView::skDiagonal1, {{5.5, 24.5, true}, {44.5, 5.5, true}, {5.5, 5.5, false}, {25, 15, true}}},
        {TfrShapeView::skDiagonal2, {{5.5, 5.5, true}, {44.5, 24.5, true}, {5.5, 24.5, false}}},
    };
    for (const Case& c : cases) {
        auto s = std::make_unique<TfrShapeView>();
        s->Left = 5;
        s->Top = 5;
        s->Width = 40;
        s->Height = 20;
        s->Shape = c.shape;
        s->FillColor = 0x000000FF;   // red
        s->FrameColor = 0;
        const QImage image = paintOne(std::move(s), 50, 30);
        for (const Probe& p : c.probes) {
            const QRgb pixel = colorAt(image, p.x, p.y);
            EXPECT_EQ(pixel != kPaper, p.filled) << "shape " << int(c.shape) << " at " << p.x << "," << p.y;
        }
    }
}

TEST(RoundRectPaint, ShadowBoxAndGradient) {
    auto shadowed = std::make_unique<TfrRoundRectView>();
    shadowed->Left = 5;
    shadowed->Top = 5;
    shadowed->Width = 60;
    shadowed->Height = 30;
    shadowed->FillColor = 0xFFFFFF;
    shadowed->Memo = {"Box"};
    const QImage image = paintOne(std::move(shadowed), 70, 40);
    // Shadow 6 units to the right and below, in grey; the box with its outline
    // (all four sides set) and its text.
    EXPECT_EQ(colorAt(image, 62, 32), qRgb(128, 128, 128));
    EXPECT_EQ(colorAt(image, 8, 33), kPaper);
    EXPECT_EQ(colorAt(image, 30, 20), kPaper);
    EXPECT_TRUE(darkAt(image, 30, 5));
    EXPECT_FALSE(inkBox(image, QRectF(6, 6, 20, 15)).isNull());
    EXPECT_EQ(colorAt(image, 5.2, 5.2), kPaper) << "a rounded corner";

    struct Case {
        std::int32_t style;
        QPointF begin;   // where the start colour (red) is, the end colour (blue) at `end`
        QPointF end;
    };
    const Case cases[] = {
        {0, {6, 20}, {64, 20}},    // left to right
        {1, {35, 6}, {35, 34}},    // top to bottom
        {2, {8, 8}, {35, 20}},     // edge to centre
        {3, {6, 20}, {35, 20}},
        {4, {35, 6}, {35, 20}},    // top and bottom to the middle
        {5, {6, 20}, {35, 20}},
    };
    for (const Case& c : cases) {
        auto g = std::make_unique<TfrRoundRectView>();
        g->Left = 5;
        g->Top = 5;
        g->Width = 60;
        g->Height = 30;
        g->SetGradient(true);
        g->RoundSize = c.style;
        g->ShadowColor = 0x0000FF;   // start: red
        g->FillColor = 0xFF0000;     // end: blue
        g->FrameTyp = 0;
        const QImage image = paintOne(std::move(g), 70, 40);
        EXPECT_GT(qRed(colorAt(image, c.begin.x(), c.begin.y())), 180) << c.style;
        EXPECT_GT(qBlue(colorAt(image, c.end.x(), c.end.y())), 180) << c.style;
        EXPECT_LT(qRed(colorAt(image, c.end.x(), c.end.y())), 80) << c.style;
    }
}

TEST(CheckBoxPaint, MarkWhenTheFirstLineIsNotZero) {
    struct Case {
        std::vector<std::string> memo;
        bool designMode;
        std::uint8_t style;
        bool checked;
    };
    const Case cases[] = {
        {{"1"}, false, TfrCheckBoxView::csCross, true},
        {{"  2.5"}, false, TfrCheckBoxView::csCheck, true},
        {{"0"}, false, TfrCheckBoxView::csCross, false},
        {{"0.0"}, false, TfrCheckBoxView::csCross, false},
        {{""}, false, TfrCheckBoxView::csCross, false},
        {{}, false, TfrCheckBoxView::csCross, false},
        {{"[Checked]"}, true, TfrCheckBoxView::csCross, true},   // the designer shows the mark
    };
    for (const Case& c : cases) {
        auto box = std::make_unique<TfrCheckBoxView>();
        box->Left = 5;
        box->Top = 5;
        box->Width = 30;
        box->Height = 30;
        box->Memo = c.memo;
        box->CheckStyle = c.style;
        const QImage image = paintOne(std::move(box), 40, 40, nullptr, c.designMode);
        const std::string what = c.memo.empty() ? "no lines" : c.memo.front();
        // The frame (width 2) is there either way; the mark inside it only when checked.
        EXPECT_TRUE(darkAt(image, 20, 5)) << what;
        EXPECT_EQ(!inkBox(image, QRectF(9, 9, 22, 22)).isNull(), c.checked) << what;
    }
}

TEST(LinePaint, AlongTheTopOrTheLeftEdge) {
    auto horizontal = std::make_unique<TfrLineView>();
    horizontal->Left = 5;
    horizontal->Top = 10;
    horizontal->Width = 40;
    horizontal->Height = 0;
    horizontal->FrameWidth = 2;
    TfrLineView& h = *horizontal;
    auto vertical = std::make_unique<TfrLineView>();
    vertical->Left = 20;
    vertical->Top = 15;
    vertical->Width = 0;
    vertical->Height = 20;
    ViewList views;
    views.push_back(std::move(horizontal));
    views.push_back(std::move(vertical));
    const QImage image = paintUnits(views, 50, 40);
    EXPECT_EQ(h.FrameTyp, 8);
    EXPECT_TRUE(darkAt(image, 6, 10));
    EXPECT_TRUE(darkAt(image, 44, 10.8));
    EXPECT_FALSE(darkAt(image, 25, 12));
    EXPECT_TRUE(darkAt(image, 20, 30));
    EXPECT_FALSE(darkAt(image, 22, 30));
    EXPECT_FALSE(darkAt(image, 20, 37));
}

TEST(RichText, PlainTextOfRtf) {
    struct Case {
        const char* rtf;
        const char* text;   // UTF-8
        int fontSize;
    };
    const Case cases[] = {
        {R"({\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}{\colortbl;\red0\green0\blue0;}\f0\fs24 Hello\par World})",
         "Hello\nWorld", 12},
        // Code page bytes in \'hh escapes: 标签 is B1EA C7A9 in GB2312.
        {R"({\rtf1\ansi\ansicpg936{\fonttbl{\f0\fnil\fcharset134 \'cb\'ce\'cc\'e5;}}\f0\fs20 \'b1\'ea\'c7\'a9 1\par})",
         "标签 1", 10},
        // Unicode with its fallback character skipped, escaped braces, a skipped destination.
        {R"({\rtf1{\*\generator Riched20;}\uc1\u26631?\u31614?\{x\}\line y})", "标签{x}\ny", 0},
        // Negative \u values are code units above 32767.
        {R"({\rtf1\u-3?})", "\xEF\xBF\xBD", 0},
        {"plain words", "plain words", 0},
    };
    for (const Case& c : cases) {
        const RichPlainText plain = richPlainText(c.rtf);
        EXPECT_EQ(plain.text.toStdString(), c.text) << c.rtf;
        EXPECT_EQ(plain.firstFontSize, c.fontSize) << c.rtf;
    }
    // Unbalanced and cut documents read as far as they go.
    EXPECT_EQ(richPlainText("{\\rtf1 {{{ abc").text.toStdString(), " abc");
    EXPECT_EQ(richPlainText("{\\rtf1 a}}}} b").text.toStdString(), "a b");
    EXPECT_EQ(richPlainText("{\\rtf1 \\'4").text.toStdString(), "");
}

TEST(RichTextPaint, TheTextIsDrawnInTheFrame) {
    auto rich = std::make_unique<TfrRichView>();
    rich->Left = 5;
    rich->Top = 5;
    rich->Width = 100;
    rich->Height = 40;
    rich->RichText = R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\f0\fs20 Rich\par text})";
    const QImage image = paintOne(std::move(rich), 110, 50);
    const QRectF ink = inkBox(image);
    ASSERT_FALSE(ink.isNull());
    EXPECT_GT(ink.left(), 6.5);       // GapX inside the frame
    EXPECT_GT(ink.height(), 20);      // two lines
    EXPECT_LT(ink.bottom(), 45);
}

TEST(AddinPaint, EmbeddedObjectsAndChartsArePlaceholdersOnAPage) {
    auto ole = std::make_unique<TfrOLEView>();
    ole->HasObject = true;
    auto chart = std::make_unique<TfrChartView>();
    auto cross = std::make_unique<TfrCrossView>();
    auto emptyOle = std::make_unique<TfrOLEView>();
    int y = 2;
    for (TfrView* v : {static_cast<TfrView*>(ole.get()), static_cast<TfrView*>(chart.get()),
                       static_cast<TfrView*>(cross.get()), static_cast<TfrView*>(emptyOle.get())}) {
        v->Left = 2;
        v->Top = y;
        v->Width = 40;
        v->Height = 10;
        v->FrameTyp = 0;
        y += 12;
    }
    ViewList views;
    views.push_back(std::move(ole));
    views.push_back(std::move(chart));
    views.push_back(std::move(cross));
    views.push_back(std::move(emptyOle));
    std::vector<PaintFailure> failures;
    const QImage image = paintUnits(views, 50, 50, &failures);
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].object, 0);
    EXPECT_EQ(failures[0].className, QStringLiteral("TfrOLEView"));
    EXPECT_EQ(failures[1].object, 1);
    EXPECT_EQ(failures[1].message, QStringLiteral("chart shown as a placeholder"));
    EXPECT_NE(colorAt(image, 22, 2), kPaper);
    EXPECT_NE(colorAt(image, 22, 14), kPaper);
    // A cross-tab's cells are objects of their own on a prepared page; an
    // empty OLE container shows nothing.
    for (double y = 25; y < 50; y += 0.25)
        for (double x = 0; x < 50; x += 0.25)
            ASSERT_EQ(colorAt(image, x, y), kPaper) << x << "," << y;
}
