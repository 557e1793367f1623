// The generator's own drawing: element quadrilaterals at the symbol's position,
// height and angle, and the painter's tools given back.

#include "barcode/SymbolDrawing.h"
#include "barcode/TfrBarcode.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <numbers>

namespace mirel::barcode {
namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

TEST(Geometry, RotatePoint) {
    struct Case {
        double degrees;
        QPoint expected;
    };
    // (3, 4) turned counter-clockwise on a y-down page.
    const Case cases[] = {{0, {3, 4}}, {90, {4, -3}}, {180, {-3, -4}}, {270, {-4, 3}},
                          {45, {5, 1}}};   // (round(4.95), round(0.71))
    for (const Case& c : cases)
        EXPECT_EQ(RotatePoint(QPoint(3, 4), c.degrees * kDegree), c.expected) << c.degrees;
}

TEST(Geometry, RotationOffsetKeepsTheBoundingBoxInPlace) {
    struct Case {
        double degrees;
        QPoint expected;
    };
    // A symbol 10 wide and 4 high, in each quadrant of sine and cosine.
    const Case cases[] = {{0, {0, 0}},   {90, {0, 10}},  {180, {10, 4}},  {270, {4, 0}},
                          {45, {0, 7}},  {135, {7, 10}}, {225, {10, 3}},  {315, {3, 0}}};
    for (const Case& c : cases)
        EXPECT_EQ(RotationOffset(QSize(10, 4), c.degrees * kDegree), c.expected) << c.degrees;
}

// The 2-digit add-on "12": pattern 5061615051516, 20 modules.
constexpr const char* kSupp2Columns = "#.##..##..#.#..#..##";

class DrawSymbolTest : public ::testing::Test {
protected:
    void SetUp() override {
        symbol.SetTyp(bcCodeUPC_Supp2);
        symbol.SetText("12");
        symbol.SetChecksum(true);
        symbol.SetLeft(5);
        symbol.SetTop(6);
        symbol.SetHeight(10);
        symbol.SetColor(0x0000FF);      // red spaces
        symbol.SetColorBar(0xFF0000);   // blue bars
        image.fill(Qt::green);
    }

    char pixel(int x, int y) const {
        const QRgb c = image.pixel(x, y);
        if (c == qRgb(0, 0, 255))
            return '#';
        if (c == qRgb(255, 0, 0))
            return '.';
        if (c == qRgb(0, 255, 0))
            return ' ';
        return '?';
    }

    TfrBarcode symbol;
    QImage image{40, 40, QImage::Format_RGB32};
};

TEST_F(DrawSymbolTest, ElementsCoverTheirColumnsAndRowsZeroToHeight) {
    {
        QPainter painter(&image);
        symbol.DrawSymbol(painter);
    }
    for (int y = 6; y <= 16; ++y) {
        std::string row;
        for (int x = 5; x < 25; ++x)
            row += pixel(x, y);
        EXPECT_EQ(row, kSupp2Columns) << "row " << y;
    }
    for (int x = 0; x < 40; ++x) {
        EXPECT_EQ(pixel(x, 5), ' ') << x;
        EXPECT_EQ(pixel(x, 17), ' ') << x;
    }
    for (int y = 0; y < 40; ++y) {
        EXPECT_EQ(pixel(4, y), ' ') << y;
        EXPECT_EQ(pixel(25, y), ' ') << y;
    }
}

TEST_F(DrawSymbolTest, NinetyDegreesLaysTheBarsDownWithTheFirstElementAtTheBottom) {
    symbol.SetAngle(90);
    {
        QPainter painter(&image);
        symbol.DrawSymbol(painter);
    }
    // Symbol point (x, y) lands at (Left + y, Top + W - x); module column c
    // covers row Top + 20 - c.
    for (int c = 0; c < 20; ++c) {
        for (int y = 0; y <= 10; ++y)
            EXPECT_EQ(pixel(5 + y, 6 + 20 - c), kSupp2Columns[c]) << "module " << c << " at " << y;
        EXPECT_EQ(pixel(16, 6 + 20 - c), ' ') << c;
    }
    EXPECT_EQ(pixel(5, 6), ' ');
    EXPECT_EQ(pixel(5, 27), ' ');
}

TEST_F(DrawSymbolTest, NegativeHeightDrawsUpwardAndShortBarsStandOnTheOriginLine) {
    symbol.SetTyp(bcCodePostNet);
    symbol.SetText("1");   // 51A1A1A151515: full bar, short bars at 3, 6 and 9
    symbol.SetTop(20);
    symbol.SetHeight(-10);
    {
        QPainter painter(&image);
        symbol.DrawSymbol(painter);
    }
    for (int y = 10; y <= 20; ++y)
        EXPECT_EQ(pixel(5, y), '#') << y;   // full bar from the origin line upward
    EXPECT_EQ(pixel(5, 9), ' ');
    EXPECT_EQ(pixel(5, 21), ' ');
    // Short bars: -10 x 2 / 5 = -4, rows 16 to 20; nothing is painted above them.
    for (int y = 16; y <= 20; ++y)
        EXPECT_EQ(pixel(8, y), '#') << y;
    for (int y = 10; y <= 15; ++y)
        EXPECT_EQ(pixel(8, y), ' ') << y;
    EXPECT_EQ(pixel(6, 12), '.');   // spaces are full height
}

TEST_F(DrawSymbolTest, PenBrushAndFontAreGivenBackAlsoOnError) {
    QPainter painter(&image);
    const QPen pen(Qt::darkCyan, 3);
    const QBrush brush(Qt::yellow, Qt::Dense4Pattern);
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(21);
    painter.setPen(pen);
    painter.setBrush(brush);
    painter.setFont(font);

    symbol.DrawSymbol(painter);
    EXPECT_EQ(painter.pen(), pen);
    EXPECT_EQ(painter.brush(), brush);
    EXPECT_EQ(painter.font(), font);

    symbol.SetTyp(bcCode93);
    symbol.SetText("abc");
    EXPECT_THROW(symbol.DrawSymbol(painter), std::exception);
    EXPECT_EQ(painter.pen(), pen);
    EXPECT_EQ(painter.brush(), brush);
    EXPECT_EQ(painter.font(), font);
}

TEST_F(DrawSymbolTest, PaintPatternPaintsAGivenPattern) {
    {
        QPainter painter(&image);
        symbol.PaintPattern("5160", painter);   // bar 1, space 2, bar 2, space 1
    }
    std::string row;
    for (int x = 5; x < 12; ++x)
        row += pixel(x, 10);
    EXPECT_EQ(row, "#..##. ");
}

} // namespace
} // namespace mirel::barcode
