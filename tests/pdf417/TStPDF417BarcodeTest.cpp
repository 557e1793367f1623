// The generator component: defaults, the property checks and the assignment
// protocol (restore on failure), the layout of the image and the scaled
// rendering. Geometry expectations are worked out by hand from the layout rules:
// module width 2, row height 4 modules, quiet zone 8, 273 x 81 pixels.

#include "Pdf417TestSupport.h"

#include "core/Numbers.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

namespace mirel::pdf417 {
namespace {

using test::isDark;

TEST(TStPDF417Barcode, Defaults) {
    const TStPDF417Barcode g;
    EXPECT_EQ(g.Width(), 273);
    EXPECT_EQ(g.Height(), 81);
    EXPECT_EQ(g.BarWidth(), 2);
    EXPECT_EQ(g.BarHeightToWidth(), 4);
    EXPECT_EQ(g.BarHeight(), 2);
    EXPECT_FALSE(g.RelativeBarHeight());
    EXPECT_EQ(g.QuietZone(), 8);
    EXPECT_EQ(g.Alignment(), taCenter);
    EXPECT_EQ(g.CaptionLayout(), tlBottom);
    EXPECT_EQ(g.Caption(), "");
    EXPECT_EQ(g.Color(), QColor(Qt::black));
    EXPECT_EQ(g.BackgroundColor(), QColor(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(g.Code(), "");
    EXPECT_TRUE(g.ExtendedSyntax());
    EXPECT_EQ(g.ECCLevel(), ecAuto);
    EXPECT_EQ(g.NumColumns(), 0);
    EXPECT_EQ(g.NumRows(), 0);
    EXPECT_FALSE(g.Truncated());
    EXPECT_STREQ(TStPDF417Barcode::Version(), "4.03");
    // The empty text is generated and rendered at creation: 2 x 5, 206 x 40.
    EXPECT_EQ(g.CodewordCount(), 1);
    EXPECT_EQ(g.SymbolSize(), (SymbolDimensions{2, 5}));
    EXPECT_EQ(g.BarCodeWidth(), 206);
    EXPECT_EQ(g.BarCodeHeight(), 40);
    EXPECT_EQ(g.Bitmap().size(), QSize(273, 81));
}

struct GeometryCase {
    const char* note;
    std::function<void(TStPDF417Barcode&)> setup;
    int symbolWidth;
    BarcodeRect rect;
    int rowHeight;
};

TEST(TStPDF417Barcode, LayoutOfTheImage) {
    const GeometryCase cases[] = {
        {"empty text: A = 65, d = 12, centred", [](TStPDF417Barcode&) {}, 206, {33, 20, 240, 61}, 8},
        {"4 data columns are wider than 273 - 16: start at the quiet zone",
         [](TStPDF417Barcode& g) { g.SetNumColumns(4); }, 274, {8, 28, 265, 53}, 8},
        {"9 rows need 72 pixels of 65: squeezed, not centred",
         [](TStPDF417Barcode& g) { g.SetNumRows(9); }, 206, {33, 8, 240, 73}, 7},
        {"left alignment", [](TStPDF417Barcode& g) { g.SetAlignment(taLeftJustify); }, 206, {8, 20, 214, 61}, 8},
        {"right alignment", [](TStPDF417Barcode& g) { g.SetAlignment(taRightJustify); }, 206, {59, 20, 265, 61}, 8},
        {"relative bar height: rows share the 65 pixels",
         [](TStPDF417Barcode& g) { g.SetRelativeBarHeight(true); }, 206, {33, 8, 240, 73}, 13},
        {"row height from BarHeight", [](TStPDF417Barcode& g) { g.SetBarHeight(3); g.SetBarHeightToWidth(0); },
         206, {33, 33, 240, 48}, 3},
        {"no quiet zone", [](TStPDF417Barcode& g) { g.SetQuietZone(0); }, 206, {33, 20, 240, 61}, 8},
        {"truncated: 17 x 2 + 35 modules", [](TStPDF417Barcode& g) { g.SetTruncated(true); }, 138,
         {67, 20, 206, 61}, 8},
    };
    for (const GeometryCase& c : cases) {
        SCOPED_TRACE(c.note);
        TStPDF417Barcode g;
        c.setup(g);
        EXPECT_EQ(g.SymbolPixelWidth(), c.symbolWidth);
        const BarcodeRect r = g.BarcodeRectangle();
        EXPECT_EQ(r, c.rect);
        const QImage& image = g.Bitmap();
        ASSERT_EQ(image.size(), QSize(273, 81));
        // The start pattern's first bar, 8 modules, in the first and the last row.
        const int rows = g.SymbolSize().rows;
        const int lastLine = r.top + rows * c.rowHeight - 1;
        for (const int y : {r.top, lastLine}) {
            EXPECT_TRUE(isDark(image, r.left, y)) << y;
            EXPECT_TRUE(isDark(image, r.left + 15, y)) << y;
            EXPECT_FALSE(isDark(image, r.left + 16, y)) << y;
            if (r.left > 0) {
                EXPECT_FALSE(isDark(image, r.left - 1, y)) << y;
            }
        }
        EXPECT_FALSE(isDark(image, r.left, r.top - 1));
        EXPECT_FALSE(isDark(image, r.left, lastLine + 1));
    }
}

TEST(TStPDF417Barcode, WideSymbolIsCutAtTheRightEdge) {
    TStPDF417Barcode g;
    g.SetNumColumns(4);
    // 137 modules from x = 8: the stop pattern's bar at module 131 is the last one
    // inside (pixels 270, 271); modules 132..136 lie at 272 and beyond.
    const QImage& image = g.Bitmap();
    EXPECT_TRUE(isDark(image, 271, 30));
    EXPECT_FALSE(isDark(image, 272, 30));
}

TEST(TStPDF417Barcode, StopPatternEndsTheRow) {
    const TStPDF417Barcode g;
    // 103 modules from x = 33: the last bar is module 102 at pixels 237, 238.
    EXPECT_TRUE(isDark(g.Bitmap(), 238, 20));
    EXPECT_FALSE(isDark(g.Bitmap(), 239, 20));
    EXPECT_FALSE(isDark(g.Bitmap(), 236, 20));   // the stop pattern's last space
}

TEST(TStPDF417Barcode, CaptionReservesABand) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(12);
    const QImage probe(1, 1, QImage::Format_RGB32);
    const QFontMetrics metrics(font, &probe);
    const int th = metrics.height();
    const int tw = metrics.horizontalAdvance(QStringLiteral("LOT 42"));

    TStPDF417Barcode bottom;
    bottom.SetFont(font);
    bottom.SetCaption("LOT 42");
    // A = 81 - 16 - (th + 4); the 40-pixel symbol is centred in it.
    const int available = 81 - 16 - (th + 4);
    const int d = (available - 40) / 2;
    EXPECT_EQ(bottom.BarcodeRectangle(), (BarcodeRect{33, 8 + d, 240, 81 - 8 - (th + 4) - d}));
    // The text is drawn at y = 81 - 2 - th, centred: something dark in its cell.
    const int y = 81 - 2 - th;
    const int x = 273 / 2 - tw / 2;
    bool inked = false;
    for (int yy = y; yy < y + th; ++yy)
        for (int xx = x; xx < x + tw; ++xx)
            inked = inked || isDark(bottom.Bitmap(), xx, yy);
    EXPECT_TRUE(inked);

    TStPDF417Barcode top;
    top.SetFont(font);
    top.SetCaptionLayout(tlTop);
    top.SetCaption("LOT 42");
    EXPECT_EQ(top.BarcodeRectangle(), (BarcodeRect{33, 8 + (th + 4) + d, 240, 81 - 8 - d}));

    // A centred caption reserves nothing and is drawn over the symbol.
    TStPDF417Barcode centre;
    centre.SetFont(font);
    centre.SetCaptionLayout(tlCenter);
    centre.SetCaption("LOT 42");
    EXPECT_EQ(centre.BarcodeRectangle(), (BarcodeRect{33, 20, 240, 61}));
}

TEST(TStPDF417Barcode, PropertyChecks) {
    const struct {
        const char* message;
        std::function<void(TStPDF417Barcode&)> prepare;
        std::function<void(TStPDF417Barcode&)> assign;
    } cases[] = {
        {"Bar Width cannot be less than one", {}, [](auto& g) { g.SetBarWidth(0); }},
        {"Either BarHeight or BarHeightToWidth is required", [](auto& g) { g.SetBarHeightToWidth(0); },
         [](auto& g) { g.SetBarHeight(0); }},
        {"Bar Height cannot be less than one", {}, [](auto& g) { g.SetBarHeight(-1); }},
        {"Either BarHeight or BarHeightToWidth is required", [](auto& g) { g.SetBarHeight(0); },
         [](auto& g) { g.SetBarHeightToWidth(0); }},
        {"BarHeightToWidth cannot be less than one", {}, [](auto& g) { g.SetBarHeightToWidth(-1); }},
        {"Either BarHeight or BarHeightToWidth is required",
         [](auto& g) { g.SetRelativeBarHeight(true); g.SetBarHeight(0); g.SetBarHeightToWidth(0); },
         [](auto& g) { g.SetRelativeBarHeight(false); }},
        {"Invalid Quiet Zone", {}, [](auto& g) { g.SetQuietZone(-1); }},
        {"Invalid Number of columns", {}, [](auto& g) { g.SetNumColumns(31); }},
        {"Invalid Number of columns", {}, [](auto& g) { g.SetNumColumns(-1); }},
        {"Invalid number of rows", {}, [](auto& g) { g.SetNumRows(91); }},
        {"Invalid number of rows", {}, [](auto& g) { g.SetNumRows(-1); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        TStPDF417Barcode g;
        if (c.prepare)
            c.prepare(g);
        const QImage before = g.Bitmap();
        const int barWidth = g.BarWidth();
        const int quiet = g.QuietZone();
        try {
            c.assign(g);
            ADD_FAILURE() << "accepted";
        } catch (const E2DBarcodeError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_EQ(g.BarWidth(), barWidth);
        EXPECT_EQ(g.QuietZone(), quiet);
        EXPECT_EQ(g.NumColumns(), 0);
        EXPECT_EQ(g.NumRows(), 0);
        EXPECT_EQ(g.Bitmap(), before);
    }
    // Accepted: a zero BarHeight while BarHeightToWidth gives the rows, one or two rows.
    TStPDF417Barcode g;
    g.SetBarHeight(0);
    EXPECT_EQ(g.BarHeight(), 0);
    g.SetNumRows(1);
    EXPECT_EQ(g.SymbolSize(), (SymbolDimensions{10, 1}));   // 10 x 1 - 8 = 2 > 1
    g.SetNumRows(2);
    EXPECT_EQ(g.NumRows(), 2);
}

struct FailedAssignment {
    const char* note;
    std::function<void(TStPDF417Barcode&)> prepare;
    std::string code;
    const char* message;
};

// A failed assignment leaves the previous text, codewords and image.
TEST(TStPDF417Barcode, FailedAssignmentRestoresThePreviousSymbol) {
    const FailedAssignment cases[] = {
        {"does not fit a fixed size", [](auto& g) { g.SetNumColumns(2); g.SetNumRows(5); }, "ABCDEFGH",
         "Code too large for barcode"},
        {"descriptor above 928 fails at painting", {}, std::string(2000, 'A'), "Invalid Codeword"},
        {"literal codeword above 928", {}, "AB\\C999", "Invalid Codeword"},
        {"more than a buffer of codewords", {}, std::string(4000, '\xB0'), "Code too large for barcode"},
        {"GLI out of range", {}, "\\G811800", "GLI value out of range"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.note);
        TStPDF417Barcode g;
        if (c.prepare)
            c.prepare(g);
        g.SetCode("AB");
        const QImage before = g.Bitmap();
        const std::vector<int> codewords = test::matrixCodewords(g.Symbol());
        try {
            g.SetCode(c.code);
            ADD_FAILURE() << "accepted";
        } catch (const E2DBarcodeError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_EQ(g.Code(), "AB");
        EXPECT_EQ(g.CodewordCount(), 2);
        EXPECT_EQ(test::matrixCodewords(g.Symbol()), codewords);
        EXPECT_EQ(g.Bitmap(), before);
    }
}

// A GLI escape whose number is not a number fails with the number-conversion
// error; the generator still goes back to the previous text rather than keeping
// a text whose symbol was never made.
TEST(TStPDF417Barcode, ConversionErrorAlsoRestores) {
    TStPDF417Barcode g;
    g.SetCode("AB");
    const QImage before = g.Bitmap();
    EXPECT_THROW(g.SetCode("\\G12345x"), core::ConversionError);
    EXPECT_EQ(g.Code(), "AB");
    EXPECT_EQ(g.Bitmap(), before);
}

TEST(TStPDF417Barcode, SizeSettingsThatCannotHoldAnything) {
    TStPDF417Barcode g;
    g.SetNumColumns(1);
    try {
        g.SetNumRows(3);   // 1 x 3 - 8 < 0 for every text
        ADD_FAILURE();
    } catch (const E2DBarcodeError& e) {
        EXPECT_STREQ(e.what(), "Code too large for barcode");
    }
    EXPECT_EQ(g.NumRows(), 0);
    g.SetECCLevel(ecLevel0);   // k = 2: 1 x 3 holds the descriptor
    g.SetNumRows(3);
    EXPECT_EQ(g.SymbolSize(), (SymbolDimensions{1, 3}));
}

TEST(TStPDF417Barcode, WhatEachAssignmentRenders) {
    TStPDF417Barcode g;
    const QImage rendered = g.Bitmap();
    QImage marker(10, 10, QImage::Format_RGB32);
    marker.fill(Qt::red);

    // The value already held does nothing, not even a rendering.
    g.SetBitmap(marker);
    g.SetCode("");
    g.SetQuietZone(8);
    EXPECT_EQ(g.Bitmap(), marker);

    // Width and Height take effect at the next rendering; Truncated renders
    // without regenerating.
    g.SetWidth(300);
    EXPECT_EQ(g.Bitmap(), marker);
    g.SetTruncated(true);
    EXPECT_EQ(g.Bitmap().width(), 300);
    EXPECT_EQ(g.SymbolPixelWidth(), (34 + 35) * 2);

    // ExtendedSyntax regenerates, yet escapes keep their meaning.
    g.SetCode("\\\\");
    g.SetExtendedSyntax(false);
    EXPECT_EQ(g.Symbol().CodewordBuffer()[1], 875);

    // The level regenerates the codewords.
    g.SetECCLevel(ecLevel0);
    EXPECT_EQ(g.EffectiveECCLevel(), 0);
    EXPECT_EQ(g.Symbol().Layout().eccCount, 2);

    // Component paint renders at Width x Height and copies the image.
    g.SetHeight(60);
    QImage canvas(300, 60, QImage::Format_RGB32);
    canvas.fill(Qt::blue);
    QPainter painter(&canvas);
    g.Paint(painter);
    painter.end();
    EXPECT_EQ(canvas, g.Bitmap().convertToFormat(canvas.format()));
}

TEST(TStPDF417Barcode, RenderScaledForAPrinter) {
    TStPDF417Barcode g;
    g.SetCode("ABCDEFGH");
    const QImage screenImage = g.Bitmap();
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const double dx = screen->logicalDotsPerInchX();
    const double dy = screen->logicalDotsPerInchY();

    QImage target;
    const QSize size = g.RenderScaled(target, 300, 600);
    const QSize expected(static_cast<int>(std::trunc(273 * 300 / dx)), static_cast<int>(std::trunc(81 * 600 / dy)));
    EXPECT_EQ(size, expected);
    EXPECT_EQ(target.size(), expected);
    // Modules of trunc(2 * 300 / dx) pixels: the 3-column symbol is 120 modules.
    const int module = static_cast<int>(std::trunc(2 * 300 / dx));
    const int left = (expected.width() - 120 * module) / 2;
    EXPECT_TRUE(isDark(target, left, expected.height() / 2));
    EXPECT_TRUE(isDark(target, left + 8 * module - 1, expected.height() / 2));
    EXPECT_FALSE(isDark(target, left - 1, expected.height() / 2));
    // The generator's own settings and image are back.
    EXPECT_EQ(g.BarWidth(), 2);
    EXPECT_EQ(g.Bitmap(), screenImage);

    // Without a resolution the image is rendered as it is.
    QImage same;
    EXPECT_EQ(g.RenderScaled(same, 0, 0), QSize(273, 81));
    EXPECT_EQ(same, screenImage);
}

} // namespace
} // namespace mirel::pdf417
