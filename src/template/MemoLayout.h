#pragma once
// The layout of a text object: which lines it shows (wrapped to the object's
// width with WordWrap, long words broken with WordBreak), where each line stands
// and how much height the text needs. Fonts are measured at a fixed reference
// size with unhinted (linear) metrics, so the layout is the same on the screen,
// a printer, a PDF or an image: preparation stretches text objects with it, and
// painting draws exactly the lines it gives.
//
// Lengths are page units (18 per 5 mm). A font of P points is P x 1.27 page
// units high (em), since a point is 1/72 inch and an inch is 91.44 page units.

#include "template/RecordStream.h"

#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace mirel::tmpl {

class TfrMemoView;

inline constexpr double kPageUnitsPerInch = 25.4 * 18.0 / 5.0;        // 91.44
inline constexpr double kPageUnitsPerPoint = kPageUnitsPerInch / 72.0;  // 1.27
// Fonts are measured and drawn at this many reference pixels per page unit
// (a 10-point font is 1270 reference pixels high).
inline constexpr int kTextReference = 100;
// Font sizes outside 1 to 500 points are taken as the nearest of the two.
inline constexpr int kMinFontPoints = 1;
inline constexpr int kMaxFontPoints = 500;

// A stored font (face name, size in points, style bits as stored: 1 italic,
// 2 bold, 4 underline, 8 strike-out) as it is measured and drawn.
struct MemoFont {
    QFont font;             // pixel size = em in page units x kTextReference
    double em = 0;          // page units
    double ascent = 0;      // page units from the top of a line to its baseline
    double descent = 0;     // page units below the baseline
    double height() const { return ascent + descent; }   // the line height before LineSpacing
};

// The installed families that draw a stored face name: first the one for
// Latin letters and digits, then the one for Chinese characters. "Arial" is
// Liberation Sans (with Noto Sans CJK SC), "Courier New" Liberation Mono,
// "Times New Roman" Liberation Serif (with Noto Serif CJK SC); 宋体 (SimSun)
// and the other Song, Fangsong and Kai faces are Noto Serif CJK SC with
// Liberation Serif, 黑体 (SimHei), 微软雅黑 and any other Chinese face Noto
// Sans CJK SC with Liberation Sans; an installed Latin face is itself, anything
// else Liberation Sans.
QStringList installedFamilies(const AnsiString& storedName);

// The font for a text object's font fields; made once per face, size and
// style and kept for the run (the reference stays valid). Chinese characters
// in a Latin face come from the Noto CJK face of the same kind (Sans or
// Serif). The Chinese faces keep the line height they were designed with (one
// em: ascent 0.859, descent 0.141), so templates made for 宋体 keep their line
// pitch with the taller Noto metrics.
const MemoFont& memoFont(const AnsiString& storedName, int points, std::uint16_t style);

// One line as laid out, in the text's own direction (for rotated text, x runs
// up the object from its bottom edge and y across it from its left edge).
struct MemoLine {
    QString text;
    double x = 0;            // start of the line from the object's start
    double baseline = 0;     // from the object's top
    double width = 0;        // advance width of `text` (character spacing included)
    // Justified lines: extra space at each gap, and whether the gaps lie
    // between characters (a line without blanks, such as Chinese text) rather
    // than at the blanks.
    double spread = 0;
    bool spreadCharacters = false;
};

struct MemoLayout {
    const MemoFont* font = nullptr;
    // The font the lines are measured and drawn in: the object's font with its
    // character spacing.
    QFont drawFont;
    bool rotated = false;            // drawn bottom to top
    // The box the text is aligned in: the object less GapX at the sides and
    // GapY at the top and bottom, in the text's own direction.
    QRectF textBox;
    double lineHeight = 0;           // the font's height
    double pitch = 0;                // lineHeight + LineSpacing
    std::vector<MemoLine> lines;
    // Height the lines take, n x lineHeight + (n - 1) x LineSpacing, and the
    // widest line.
    double textHeight = 0;
    double textWidth = 0;
    // The object height that shows every line: textHeight + 2 x GapY (for
    // rotated text the widest line + 2 x GapY, its extent up the object). A text
    // object with no lines needs no height.
    double neededHeight = 0;
    // The object width that fits the widest line: textWidth + 2 x GapX
    // (rotated: textHeight + 2 x GapX). AutoWidth objects take it from a
    // layout without word wrap.
    double neededWidth = 0;
    // Some text lies outside the object; painting then clips at its frame.
    bool overflows = false;
};

// Lays out `text` (the lines as shown: the evaluated lines on a prepared page,
// the typed ones in the designer; a line may hold line breaks of its own) in
// `memo`'s frame with its font, alignment, gaps, spacing and flags. With
// HideZeros, a line that reads as the number zero shows nothing.
MemoLayout layoutMemo(const TfrMemoView& memo, const Lines& text);
// The same for a frame of another size than the object's own (the text box of
// a rounded rectangle with a shadow, a width preparation tries out).
MemoLayout layoutMemo(const TfrMemoView& memo, const Lines& text, QSizeF frame);

// The height, in whole page units, that `memo` needs to show all of `text` at
// its current width: neededHeight rounded up.
int memoNeededHeight(const TfrMemoView& memo, const Lines& text);

} // namespace mirel::tmpl
