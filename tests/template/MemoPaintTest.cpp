// Text objects painted as a prepared page paints them, checked where the ink
// lies. Expected places come from the font's own metrics, measured here with
// the family the stored face name stands for, and the rules of the text box:
// GapX at the sides, GapY at the top and bottom, the line pitch the font height
// plus LineSpacing.

#include "template/BuiltinViews.h"
#include "template/MemoLayout.h"

#include "PaintSupport.h"
#include "core/Encoding.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <cmath>

using namespace mirel;
using namespace mirel::tmpl;
using namespace mirel::tmpl::test;

namespace {

constexpr double kTolerance = 0.5;   // page units: antialiased edges and rounding to pixels

// A text object at (5, 5) with no frame, Arial 10 points, default gaps (2, 1)
// and line spacing 2.
std::unique_ptr<TfrMemoView> memo(int width, int height, std::string_view utf8, int alignment = 0,
                                  std::uint16_t flags = 1 | kWordWrap) {
    auto m = std::make_unique<TfrMemoView>();
    m->Left = 5;
    m->Top = 5;
    m->Width = width;
    m->Height = height;
    m->Alignment = alignment;
    m->Flags = flags;
    m->Memo = {core::fromUtf8(utf8)};
    return m;
}

void expectNear(const QRectF& actual, const QRectF& expected, const std::string& what) {
    EXPECT_NEAR(actual.left(), expected.left(), kTolerance) << what;
    EXPECT_NEAR(actual.right(), expected.right(), kTolerance) << what;
    EXPECT_NEAR(actual.top(), expected.top(), kTolerance) << what;
    EXPECT_NEAR(actual.bottom(), expected.bottom(), kTolerance) << what;
}

const MeasuredFont& arial10() {
    static const MeasuredFont font("Liberation Sans", 10);
    return font;
}

} // namespace

TEST(MemoPaint, AlignmentPlacesTheLineInTheTextBox) {
    const MeasuredFont& f = arial10();
    const QString text = QStringLiteral("Label");
    const double advance = f.advance(text);
    const double line = f.ascent() + f.descent();
    struct Case {
        int alignment;
        double x;          // origin of the line, page units from the page corner
        double baseline;
    };
    const double left = 5 + 2, right = 5 + 200 - 2 - advance, centre = 5 + 2 + (196 - advance) / 2;
    const double top = 5 + 1 + f.ascent(), middle = 5 + 1 + (58 - line) / 2 + f.ascent(),
                 bottom = 5 + 60 - 1 - line + f.ascent();
    const Case cases[] = {
        {0, left, top},     {1, right, top},     {2, centre, top},
        {8, left, middle},  {9, right, middle},  {10, centre, middle},
        {16, left, bottom}, {17, right, bottom}, {18, centre, bottom},
    };
    for (const Case& c : cases) {
        const QImage image = paintOne(memo(200, 60, "Label", c.alignment), 210, 70);
        expectNear(inkBox(image), f.ink(text).translated(c.x, c.baseline), "alignment " + std::to_string(c.alignment));
    }
}

TEST(MemoPaint, JustifiedLinesReachBothSidesButAParagraphsLastLine) {
    const MeasuredFont& f = arial10();
    // The box holds "one two three four" but not " five" after it.
    const double box = f.advance(QStringLiteral("one two three four five")) - 1;
    const int width = static_cast<int>(std::ceil(box)) + 4;
    const double boxRight = 5 + 2 + (width - 4);
    const double pitch = f.ascent() + f.descent() + 2;
    const QRectF line1(0, 0, 1000, 6 + pitch - 0.5);
    const QRectF line2(0, 6 + pitch, 1000, pitch);

    const QImage justified = paintOne(memo(width, 60, "one two three four five", 3), width + 10, 70);
    const QRectF four = f.ink(QStringLiteral("four"));
    EXPECT_NEAR(inkBox(justified, line1).right(), boxRight - f.advance(QStringLiteral("four")) + four.right(), kTolerance);
    EXPECT_NEAR(inkBox(justified, line1).left(), 7 + f.ink(QStringLiteral("one")).left(), kTolerance);
    EXPECT_NEAR(inkBox(justified, line2).left(), 7 + f.ink(QStringLiteral("five")).left(), kTolerance);
    EXPECT_NEAR(inkBox(justified, line2).right(), 7 + f.ink(QStringLiteral("five")).right(), kTolerance);

    const QImage leftAligned = paintOne(memo(width, 60, "one two three four five", 0), width + 10, 70);
    EXPECT_NEAR(inkBox(leftAligned, line1).right(), 7 + f.ink(QStringLiteral("one two three four")).right(), kTolerance);
}

TEST(MemoPaint, WordWrapAndWordBreak) {
    const MeasuredFont& f = arial10();
    const double pitch = f.ascent() + f.descent() + 2;
    struct Case {
        const char* text;
        std::uint16_t flags;
        const char* fits;          // what the box is made to hold: its width is this text's advance + 0.5
        const char* firstLine;     // expected lines; nullptr for none
        const char* secondLine;
    };
    const Case cases[] = {
        {"alpha beta gamma", 1 | kWordWrap, "alpha beta", "alpha beta", "gamma"},
        // Without WordWrap the line stays whole and is cut at the frame.
        {"alpha beta gamma", 1, "alpha beta", nullptr, nullptr},
        // A word longer than the line stays whole without WordBreak...
        {"ABCABCABCABC", 1 | kWordWrap, "ABCABC", nullptr, nullptr},
        // ... and is broken where the line is full with it.
        {"ABCABCABCABC", 1 | kWordWrap | kWordBreak, "ABCABC", "ABCABC", "ABCABC"},
    };
    for (const Case& c : cases) {
        const double box = f.advance(QString::fromUtf8(c.fits)) + 0.5;
        const int width = static_cast<int>(std::ceil(box + 4));
        auto m = memo(width, 60, c.text, 0, c.flags);
        m->GapX = 0;   // the box is the whole width
        m->Width = static_cast<int>(std::ceil(box));
        const int frameRight = 5 + m->Width;
        const QImage image = paintOne(std::move(m), width + 30, 70);
        const QRectF band1 = inkBox(image, QRectF(0, 0, 1000, 6 + pitch - 0.5));
        const QRectF band2 = inkBox(image, QRectF(0, 6 + pitch, 1000, pitch));
        const std::string what = std::string(c.text) + " flags " + std::to_string(c.flags);
        EXPECT_LE(inkBox(image).right(), frameRight + kTolerance) << what;
        if (c.firstLine == nullptr) {
            EXPECT_TRUE(band2.isNull()) << what;
            EXPECT_GT(band1.right(), frameRight - 1.5) << what << ": the line runs to the frame";
            continue;
        }
        EXPECT_NEAR(band1.right(), 5 + f.ink(QString::fromUtf8(c.firstLine)).right(), kTolerance) << what;
        ASSERT_FALSE(band2.isNull()) << what;
        EXPECT_NEAR(band2.left(), 5 + f.ink(QString::fromUtf8(c.secondLine)).left(), kTolerance) << what;
        EXPECT_NEAR(band2.right(), 5 + f.ink(QString::fromUtf8(c.secondLine)).right(), kTolerance) << what;
    }
}

TEST(MemoPaint, RotatedTextReadsBottomToTop) {
    const MeasuredFont& f = arial10();
    const QRectF t = f.ink(QStringLiteral("T"));
    const double advance = f.advance(QStringLiteral("T"));
    // Along the text (up the object) the gaps are GapY = 1; across it GapX = 2.
    struct Case {
        int alignment;
        double along;   // where the text starts, from the object's bottom edge
    };
    const Case cases[] = {{4, 1}, {4 | 1, 1 + (100 - 2 - advance)}};
    for (const Case& c : cases) {
        const QImage image = paintOne(memo(40, 100, "T", c.alignment, 1), 50, 110);
        const QRectF ink = inkBox(image);
        const double across = 5 + 2 + f.ascent();   // the baseline, from the page's left
        const QRectF expected(QPointF(across + t.top(), 5 + 100 - c.along - t.right()),
                              QPointF(across + t.bottom(), 5 + 100 - c.along - t.left()));
        expectNear(ink, expected, "rotated " + std::to_string(c.alignment));
        // The T's bar, the top of the glyph, faces left: the leftmost column of
        // ink is the bar's length, the rightmost only the stem's width.
        int leftColumn = 0, rightColumn = 0;
        for (int y = 0; y < image.height(); ++y) {
            leftColumn += qGray(image.pixel(static_cast<int>(ink.left() * kScale) + 1, y)) < 128;
            rightColumn += qGray(image.pixel(static_cast<int>(ink.right() * kScale) - 2, y)) < 128;
        }
        EXPECT_GT(leftColumn, 2 * rightColumn) << c.alignment;
    }
}

TEST(MemoPaint, LinePitchIsTheFontHeightAndLineSpacing) {
    struct Case {
        const char* face;
        const char* text;     // two equal lines
        int lineSpacing;
        double pitch;
    };
    const MeasuredFont& f = arial10();
    const double arial = f.ascent() + f.descent();
    const Case cases[] = {
        {"Arial", "H\r\nH", 2, arial + 2},
        {"Arial", "H\r\nH", 12, arial + 12},
        // 宋体 keeps its one-em line: 10 points are 12.7 page units.
        {"宋体", "中\r\n中", 2, 12.7 + 2},
        {"宋体", "中\r\n中", 0, 12.7},
    };
    for (const Case& c : cases) {
        auto m = memo(100, 80, c.text);
        m->FontName = core::fromUtf8(c.face);
        m->LineSpacing = c.lineSpacing;
        const QImage image = paintOne(std::move(m), 110, 90);
        const double split = 6 + c.pitch;   // the second line's top
        const QRectF first = inkBox(image, QRectF(0, 0, 110, split - 0.5));
        const QRectF second = inkBox(image, QRectF(0, split, 110, 90 - split));
        ASSERT_FALSE(second.isNull()) << c.face << " " << c.lineSpacing;
        EXPECT_NEAR(second.top() - first.top(), c.pitch, 0.3) << c.face << " " << c.lineSpacing;
    }
}

TEST(MemoPaint, CharacterSpacingGoesBetweenCharacters) {
    const MeasuredFont& f = arial10();
    auto plain = memo(100, 30, "II");
    auto spaced = memo(100, 30, "II");
    spaced->CharSpacing = 6;
    const QRectF a = inkBox(paintOne(std::move(plain), 110, 40));
    const QRectF b = inkBox(paintOne(std::move(spaced), 110, 40));
    EXPECT_NEAR(a.width(), f.ink(QStringLiteral("II")).width(), kTolerance);
    EXPECT_NEAR(b.width() - a.width(), 6, kTolerance);
}

TEST(MemoPaint, HideZerosLeavesZeroLinesBlankInTheirPlace) {
    struct Case {
        const char* text;
        bool hideZeros;
        bool inked;
    };
    const Case cases[] = {
        {"0", true, false},   {"0.00", true, false}, {"0,00", true, false}, {" -0 ", true, false},
        {"0.5", true, true},  {"00012", true, true}, {"0", false, true},    {"0 kg", true, true},
    };
    for (const Case& c : cases) {
        const std::uint16_t flags = 1 | kWordWrap | (c.hideZeros ? kHideZeros : 0);
        const QImage image = paintOne(memo(100, 30, c.text, 0, flags), 110, 40);
        EXPECT_EQ(!inkBox(image).isNull(), c.inked) << c.text << " " << c.hideZeros;
    }
    // A hidden line keeps its place: the next one stays the second line.
    const MeasuredFont& f = arial10();
    const QImage image = paintOne(memo(100, 60, "0\r\n5", 0, 1 | kWordWrap | kHideZeros), 110, 70);
    const double baseline2 = 6 + f.ascent() + f.ascent() + f.descent() + 2;
    EXPECT_NEAR(inkBox(image).top(), baseline2 + f.ink(QStringLiteral("5")).top(), kTolerance);
}

TEST(MemoPaint, UnderlinesRuleEveryLineAcrossTheObject) {
    const MeasuredFont& f = arial10();
    auto m = memo(120, 60, "a\r\nb", 0, 1 | kWordWrap | kUnderlines);
    m->FrameWidth = 1;
    const QImage image = paintOne(std::move(m), 130, 70);
    const double pitch = f.ascent() + f.descent() + 2;
    for (int line = 0; line < 2; ++line) {
        const double y = 6 + line * pitch + f.ascent() + f.descent();
        EXPECT_TRUE(darkAt(image, 5.5, y)) << line;
        EXPECT_TRUE(darkAt(image, 124.5, y)) << line;
        EXPECT_FALSE(darkAt(image, 124.5, y - 2)) << line;
    }
}

TEST(MemoPaint, FrameSidesStylesAndFill) {
    struct Case {
        std::uint16_t sides;
        std::uint16_t style;
    };
    const Case cases[] = {{1, 0}, {2, 0}, {4, 0}, {8, 0}, {15, 0}, {15, 5}, {8, 1}};
    for (const Case& c : cases) {
        auto m = memo(40, 20, "");
        m->FrameTyp = c.sides;
        m->FrameStyle = c.style;
        m->FrameWidth = 1;
        m->FillColor = 0x00FFFF;   // yellow
        const QImage image = paintOne(std::move(m), 50, 30);
        const std::string what = "sides " + std::to_string(c.sides) + " style " + std::to_string(c.style);
        EXPECT_EQ(darkAt(image, 45, 15.2), (c.sides & 1) != 0) << what;
        EXPECT_EQ(darkAt(image, 25.2, 25), (c.sides & 2) != 0) << what;
        EXPECT_EQ(darkAt(image, 5, 15.2), (c.sides & 4) != 0) << what;
        EXPECT_EQ(darkAt(image, 25.2, 5), (c.sides & 8) != 0) << what;
        EXPECT_EQ(colorAt(image, 25, 15), qRgb(255, 255, 0)) << what;
        if (c.style == 5) {
            // A double frame: a second line two widths inside, the fill between.
            EXPECT_TRUE(darkAt(image, 25.2, 7)) << what;
            EXPECT_EQ(colorAt(image, 25.2, 6), qRgb(255, 255, 0)) << what;
        }
        if (c.style == 1) {
            int changes = 0;
            for (double x = 6; x < 44; x += 0.25)
                changes += darkAt(image, x, 5) != darkAt(image, x + 0.25, 5);
            EXPECT_GT(changes, 4) << "a dashed top edge has gaps";
        }
    }
}

TEST(MemoLayout, NeededHeightCountsTheLinesAsLaidOut) {
    const MeasuredFont& f = arial10();
    const double line = f.ascent() + f.descent();
    struct Case {
        const char* text;
        int width;
        int alignment;
        double height;
    };
    const double wide = f.advance(QStringLiteral("alpha beta")) + 4.5;
    const Case cases[] = {
        {"A", 100, 0, line + 2},
        {"A\r\nB\r\nC", 100, 0, 3 * line + 2 * 2 + 2},
        // One line of the memo that wraps into two.
        {"alpha beta gamma", static_cast<int>(std::ceil(wide)), 0, 2 * line + 2 + 2},
        // Rotated text needs its length up the object, with GapY at both ends.
        {"Label", 40, 4, f.advance(QStringLiteral("Label")) + 2},
    };
    for (const Case& c : cases) {
        auto m = memo(c.width, 10, c.text, c.alignment);
        const Lines text = m->Memo;
        EXPECT_EQ(memoNeededHeight(*m, text), static_cast<int>(std::ceil(c.height))) << c.text;
        EXPECT_NEAR(layoutMemo(*m, text).neededHeight, c.height, 1e-6) << c.text;
    }
    auto empty = memo(100, 10, "");
    EXPECT_EQ(memoNeededHeight(*empty, {}), 0);
}

TEST(MemoPaint, AutoWidthTakesTheWidthOfTheText) {
    const MeasuredFont& f = arial10();
    auto m = memo(10, 20, "Wide text", 0, 1 | kWordWrap | kAutoWidth);
    m->FrameTyp = 1;   // the right side shows where the width ends
    const QImage image = paintOne(std::move(m), 120, 30);
    const double right = 5 + std::ceil(f.advance(QStringLiteral("Wide text")) + 4);
    EXPECT_TRUE(darkAt(image, right, 15));
    EXPECT_FALSE(darkAt(image, right - 1, 15));
    // On one line: nothing below the first line.
    EXPECT_LT(inkBox(image, QRectF(0, 6, right - 1, 30)).bottom(), 6 + f.ascent() + f.descent() + 1);
}

TEST(MemoFonts, StoredFacesAreDrawnByInstalledFamilies) {
    struct Case {
        const char* stored;
        const char* latin;
        const char* chinese;
    };
    const Case cases[] = {
        {"Arial", "Liberation Sans", "Noto Sans CJK SC"},
        {"courier new", "Liberation Mono", "Noto Sans CJK SC"},
        {"Times New Roman", "Liberation Serif", "Noto Serif CJK SC"},
        {"宋体", "Liberation Serif", "Noto Serif CJK SC"},
        {"@宋体", "Liberation Serif", "Noto Serif CJK SC"},
        {"SimSun", "Liberation Serif", "Noto Serif CJK SC"},
        {"楷体_GB2312", "Liberation Serif", "Noto Serif CJK SC"},
        {"黑体", "Liberation Sans", "Noto Sans CJK SC"},
        {"微软雅黑", "Liberation Sans", "Noto Sans CJK SC"},
        {"华文行楷", "Liberation Sans", "Noto Sans CJK SC"},
        {"No Such Face", "Liberation Sans", "Noto Sans CJK SC"},
    };
    for (const Case& c : cases) {
        const QStringList families = installedFamilies(core::fromUtf8(c.stored));
        EXPECT_EQ(families, QStringList({QString::fromUtf8(c.latin), QString::fromUtf8(c.chinese)})) << c.stored;
        for (const QString& family : families)
            EXPECT_EQ(QFontInfo(QFont(family)).family(), family) << "installed: " << family.toStdString();
    }
    // Sizes: 10 points are 12.7 page units; styles as stored (italic is bit 0).
    const MemoFont& font = memoFont("Arial", 10, kFontItalic | kFontUnderline);
    EXPECT_DOUBLE_EQ(font.em, 12.7);
    EXPECT_EQ(font.font.pixelSize(), 1270);
    EXPECT_TRUE(font.font.italic());
    EXPECT_FALSE(font.font.bold());
    EXPECT_TRUE(font.font.underline());
    EXPECT_EQ(memoFont("Arial", 0, 0).em, memoFont("Arial", kMinFontPoints, 0).em);
    EXPECT_EQ(memoFont("Arial", 100000, 0).em, memoFont("Arial", kMaxFontPoints, 0).em);
}
