// The barcode picture: logical size, new frame size, where the bars and the text
// band go at each right angle, and what playback paints.

#include "barcode/BarcodePicture.h"
#include "barcode/Encoders.h"

#include "BarcodeTestSupport.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <cmath>

namespace mirel::barcode {
namespace {

using test::setUp;

// The advance width of a text in the picture's font, rounded as the layout does.
int textWidth(const char* text) {
    return static_cast<int>(std::lround(QFontMetricsF(barcodeTextFont()).horizontalAdvance(QString::fromLatin1(text))));
}

class Ean13Picture : public ::testing::Test {
protected:
    void SetUp() override { setUp(symbol, bcCodeEAN13, "690123456789", true); }

    BarcodeLayout layout(double angle, bool showText = true, double zoom = 2.0) {
        // The frame is 60 across the bars; the size along them follows the symbol.
        const bool vertical = angle == 90 || angle == 270;
        return makeBarcodePicture(symbol, vertical ? QSize(60, 500) : QSize(500, 60), angle, showText, zoom);
    }

    TfrBarcode symbol;
    const int tw = textWidth("6901234567892");
};

TEST_F(Ean13Picture, ZeroDegreesBarsOnTopTextBelow) {
    const BarcodeLayout l = layout(0);
    EXPECT_EQ(l.frameSize, QSize(190, 60));
    ASSERT_TRUE(l.picture);
    const BarcodePicture& p = *l.picture;
    EXPECT_EQ(p.logicalSize(), QSize(95, 60));
    EXPECT_EQ(symbol.Left(), 0);
    EXPECT_EQ(symbol.Top(), 0);
    EXPECT_EQ(symbol.Height(), 46);
    // Spaces merged into one run behind the 30 bars, 46 high from y = 0.
    ASSERT_EQ(p.spaceRects().size(), 1u);
    EXPECT_EQ(p.spaceRects()[0], QRect(0, 0, 95, 46));
    ASSERT_EQ(p.barRects().size(), 30u);
    EXPECT_EQ(p.barRects().front(), QRect(0, 0, 1, 46));
    EXPECT_EQ(p.barRects()[1], QRect(2, 0, 1, 46));
    EXPECT_EQ(p.barRects().back(), QRect(94, 0, 1, 46));
    for (const QRect& r : p.barRects()) {
        EXPECT_EQ(r.top(), 0);
        EXPECT_EQ(r.height(), 46);
    }
    ASSERT_EQ(p.textItems().size(), 1u);
    const BarcodeTextItem& t = p.textItems()[0];
    EXPECT_EQ(t.text, QStringLiteral("6901234567892"));
    EXPECT_EQ(t.angle, 0);
    EXPECT_EQ(t.width, tw);
    EXPECT_EQ(t.origin, QPointF((95 - tw) / 2, 48));
    EXPECT_EQ(p.spaceColor(), QColor(Qt::white));
    EXPECT_EQ(p.barColor(), QColor(Qt::black));
}

TEST_F(Ean13Picture, NinetyDegreesBarsLeftFirstElementAtTheBottomTextRight) {
    const BarcodeLayout l = layout(90);
    EXPECT_EQ(l.frameSize, QSize(60, 190));
    ASSERT_TRUE(l.picture);
    const BarcodePicture& p = *l.picture;
    EXPECT_EQ(p.logicalSize(), QSize(60, 95));
    EXPECT_EQ(p.spaceRects(), std::vector<QRect>{QRect(0, 0, 46, 95)});
    EXPECT_EQ(p.barRects().front(), QRect(0, 94, 46, 1));
    EXPECT_EQ(p.barRects()[1], QRect(0, 92, 46, 1));
    EXPECT_EQ(p.barRects().back(), QRect(0, 0, 46, 1));
    ASSERT_EQ(p.textItems().size(), 1u);
    EXPECT_EQ(p.textItems()[0].angle, 90);
    EXPECT_EQ(p.textItems()[0].origin, QPointF(48, 95 - (95 - tw) / 2));
}

TEST_F(Ean13Picture, OneEightyDegreesBarsBelowTextAboveUpsideDown) {
    const BarcodeLayout l = layout(180);
    EXPECT_EQ(l.frameSize, QSize(190, 60));
    ASSERT_TRUE(l.picture);
    const BarcodePicture& p = *l.picture;
    EXPECT_EQ(symbol.Top(), 14);
    EXPECT_EQ(p.spaceRects(), std::vector<QRect>{QRect(0, 14, 95, 46)});
    EXPECT_EQ(p.barRects().front(), QRect(94, 14, 1, 46));
    EXPECT_EQ(p.barRects().back(), QRect(0, 14, 1, 46));
    ASSERT_EQ(p.textItems().size(), 1u);
    EXPECT_EQ(p.textItems()[0].angle, 180);
    EXPECT_EQ(p.textItems()[0].origin, QPointF(95 - (95 - tw) / 2, 12));
}

TEST_F(Ean13Picture, TwoSeventyDegreesBarsRightFirstElementAtTheTopTextLeft) {
    const BarcodeLayout l = layout(270);
    EXPECT_EQ(l.frameSize, QSize(60, 190));
    ASSERT_TRUE(l.picture);
    const BarcodePicture& p = *l.picture;
    EXPECT_EQ(symbol.Left(), 14);
    EXPECT_EQ(p.spaceRects(), std::vector<QRect>{QRect(14, 0, 46, 95)});
    EXPECT_EQ(p.barRects().front(), QRect(14, 0, 46, 1));
    EXPECT_EQ(p.barRects().back(), QRect(14, 94, 46, 1));
    ASSERT_EQ(p.textItems().size(), 1u);
    EXPECT_EQ(p.textItems()[0].angle, 270);
    EXPECT_EQ(p.textItems()[0].origin, QPointF(12, (95 - tw) / 2));
    // Any other angle is laid out as 270.
    const BarcodeLayout other = makeBarcodePicture(symbol, QSize(60, 500), 45, true, 2.0);
    ASSERT_TRUE(other.picture);
    EXPECT_EQ(other.frameSize, QSize(60, 190));
    EXPECT_EQ(other.picture->barRects(), p.barRects());
    EXPECT_EQ(symbol.Angle(), 270);
}

TEST_F(Ean13Picture, WithoutTextTheBarsTakeTheWholeFrame) {
    const BarcodeLayout l = layout(0, false, 1.0);
    EXPECT_EQ(l.frameSize, QSize(95, 60));
    ASSERT_TRUE(l.picture);
    EXPECT_EQ(l.picture->spaceRects(), std::vector<QRect>{QRect(0, 0, 95, 60)});
    EXPECT_EQ(l.picture->barRects().front(), QRect(0, 0, 1, 60));
    EXPECT_TRUE(l.picture->textItems().empty());
    // Zoom rounds halves to even: 95 x 1.5 = 142.5 -> 142.
    EXPECT_EQ(layout(0, false, 1.5).frameSize, QSize(142, 60));
}

// Dark pixels of an image region (bars black, glyphs black or grey at their edges).
int darkPixels(const QImage& image, const QRect& region) {
    int n = 0;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            n += qGray(image.pixel(x, y)) < 100;
    return n;
}

TEST_F(Ean13Picture, PlaybackPutsBarsAndTextInTheirBands) {
    struct Case {
        double angle;
        QRect bars;     // in frame pixels, one pixel per page unit
        QRect gap;      // between bars and text: white
        QRect textBand;
    };
    const Case cases[] = {
        {0, QRect(0, 0, 190, 46), QRect(0, 46, 190, 2), QRect(0, 48, 190, 12)},
        {90, QRect(0, 0, 46, 190), QRect(46, 0, 2, 190), QRect(48, 0, 12, 190)},
        {180, QRect(0, 14, 190, 46), QRect(0, 12, 190, 2), QRect(0, 0, 190, 12)},
        {270, QRect(14, 0, 46, 190), QRect(12, 0, 2, 190), QRect(0, 0, 12, 190)},
    };
    for (const Case& c : cases) {
        const BarcodeLayout l = layout(c.angle);
        ASSERT_TRUE(l.picture);
        QImage image(l.frameSize, QImage::Format_RGB32);
        image.fill(Qt::yellow);
        {
            QPainter painter(&image);
            l.picture->play(painter, QRectF(QPointF(0, 0), l.frameSize));
        }
        // Zoom 2: the first guard bar is two units wide, the space after it too.
        const QRect firstBar = c.angle == 0    ? QRect(0, 0, 2, 46)
                               : c.angle == 90 ? QRect(0, 188, 46, 2)
                               : c.angle == 180 ? QRect(188, 14, 2, 46)
                                                : QRect(14, 0, 46, 2);
        EXPECT_EQ(darkPixels(image, firstBar), firstBar.width() * firstBar.height()) << c.angle;
        const QRect nextSpace = firstBar.translated(c.angle == 0 ? 2 : c.angle == 180 ? -2 : 0,
                                                    c.angle == 90 ? -2 : c.angle == 270 ? 2 : 0);
        EXPECT_EQ(darkPixels(image, nextSpace), 0) << c.angle;
        EXPECT_EQ(image.pixel(nextSpace.topLeft()), qRgb(255, 255, 255)) << c.angle;
        EXPECT_EQ(darkPixels(image, c.gap), 0) << c.angle;
        EXPECT_GT(darkPixels(image, c.textBand), 100) << c.angle;
        EXPECT_GT(darkPixels(image, c.bars), 190 * 46 / 3) << c.angle;
    }
}

TEST(Picture, TheTextFontIsTheCourierNewStandIn) {
    const QFontInfo info(barcodeTextFont());
    EXPECT_EQ(info.family(), QStringLiteral("Liberation Mono"));
    EXPECT_TRUE(info.fixedPitch());
    EXPECT_EQ(info.pixelSize(), 12);
    // Metric-compatible with Courier New: 0.6 em per character.
    EXPECT_NEAR(QFontMetricsF(barcodeTextFont()).horizontalAdvance(QStringLiteral("0123456789")), 72.0, 0.5);
}

TEST(Picture, PostNetBarsStandOnTheBottomLine) {
    TfrBarcode symbol;
    setUp(symbol, bcCodePostNet, "1", false);   // 51A1A1A151515
    const BarcodeLayout l = makeBarcodePicture(symbol, QSize(100, 60), 0, true, 1.0);
    ASSERT_TRUE(l.picture);
    EXPECT_EQ(symbol.Top(), 46);
    EXPECT_EQ(symbol.Height(), -46);
    // Full bars 0..46, short bars 46 x 2 / 5 = 18 high on the same line.
    const std::vector<QRect> bars = {QRect(0, 0, 1, 46), QRect(3, 28, 1, 18), QRect(6, 28, 1, 18),
                                     QRect(9, 28, 1, 18), QRect(12, 0, 1, 46), QRect(15, 0, 1, 46),
                                     QRect(18, 0, 1, 46)};
    EXPECT_EQ(l.picture->barRects(), bars);
    // Nothing is painted above a short bar, so the space runs break there.
    const std::vector<QRect> spaces = {QRect(0, 0, 3, 46), QRect(4, 0, 2, 46), QRect(7, 0, 2, 46),
                                       QRect(10, 0, 9, 46)};
    EXPECT_EQ(l.picture->spaceRects(), spaces);
}

TEST(Picture, ASymbolShowingZeroDrawsNothing) {
    for (const char* text : {"0", " 0 "}) {
        TfrBarcode symbol;
        setUp(symbol, bcCode39, text, false);
        const BarcodeLayout l = makeBarcodePicture(symbol, QSize(10, 60), 0, true, 2.0);
        EXPECT_FALSE(l.picture) << text;
        EXPECT_EQ(l.frameSize.height(), 60);
    }
    // EAN-13 pads "0" to thirteen digits, which it shows and draws.
    TfrBarcode ean;
    setUp(ean, bcCodeEAN13, "0", false);
    EXPECT_TRUE(makeBarcodePicture(ean, QSize(10, 60), 0, true, 1.0).picture);
}

TEST(Picture, TextWiderThanTheSymbolStartsLeftOfThePicture) {
    TfrBarcode symbol;
    setUp(symbol, bcCodeUPC_Supp2, "12", true);   // 20 modules, shows "125"
    const BarcodeLayout l = makeBarcodePicture(symbol, QSize(10, 60), 0, true, 1.0);
    ASSERT_TRUE(l.picture);
    ASSERT_EQ(l.picture->textItems().size(), 1u);
    const int tw = textWidth("125");
    ASSERT_GT(tw, 20);
    EXPECT_EQ(l.picture->textItems()[0].origin, QPointF((20 - tw) / 2, 48));
    EXPECT_LT(l.picture->textItems()[0].origin.x(), 0);
}

TEST(Picture, ColoursOfSpacesAndBars) {
    TfrBarcode symbol;
    setUp(symbol, bcCode128B, "Hi", false);
    symbol.SetColor(0x00FF00);      // green, 0x00BBGGRR
    symbol.SetColorBar(0x0000FF);   // red
    const BarcodeLayout l = makeBarcodePicture(symbol, QSize(10, 60), 0, false, 1.0);
    ASSERT_TRUE(l.picture);
    EXPECT_EQ(l.picture->spaceColor(), QColor(0, 255, 0));
    EXPECT_EQ(l.picture->barColor(), QColor(255, 0, 0));
}

TEST(Picture, EncoderErrorsPassThroughAndProduceNothing) {
    TfrBarcode symbol;
    setUp(symbol, bcCode93, "abc", false);
    EXPECT_THROW(makeBarcodePicture(symbol, QSize(10, 60), 0, true, 1.0), BarcodeError);
}

TEST(Picture, PlaybackLeavesThePainterAsItWas) {
    TfrBarcode symbol;
    setUp(symbol, bcCode128B, "Hi", false);
    const BarcodeLayout l = makeBarcodePicture(symbol, QSize(10, 60), 0, true, 1.0);
    ASSERT_TRUE(l.picture);
    QImage image(100, 100, QImage::Format_RGB32);
    QPainter painter(&image);
    const QPen pen(Qt::red, 2);
    painter.setPen(pen);
    painter.translate(3, 4);
    const QTransform before = painter.transform();
    l.picture->play(painter, QRectF(0, 0, 57, 60));
    EXPECT_EQ(painter.pen(), pen);
    EXPECT_EQ(painter.transform(), before);
}

} // namespace
} // namespace mirel::barcode
