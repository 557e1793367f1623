#include "template/MemoLayout.h"

#include "core/Encoding.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "template/BuiltinViews.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QSet>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

namespace mirel::tmpl {
namespace {

constexpr const char* kSans = "Liberation Sans";
constexpr const char* kSerif = "Liberation Serif";
constexpr const char* kMono = "Liberation Mono";
constexpr const char* kCjkSans = "Noto Sans CJK SC";
constexpr const char* kCjkSerif = "Noto Serif CJK SC";

// The GB2312 faces of Windows are one em high (ascent 220, descent 36 of 256
// units), less than the Noto CJK faces that draw them.
constexpr double kGbAscent = 220.0 / 256.0;
constexpr double kGbDescent = 36.0 / 256.0;

struct FaceRule {
    const char* stored;     // compared without letter case
    const char* latin;      // draws Latin letters and digits
    const char* chinese;    // draws Chinese characters
    bool gbMetrics;         // keeps the one-em line of the GB2312 faces
};

// Stored face names and the installed families that draw them. Example:
// "Arial" -> Liberation Sans (the same advance widths). The Chinese faces draw
// their Latin letters and digits in Liberation Serif or Sans, whose digits are
// as wide as the half-width digits of 宋体 (Serif) and whose text a PDF reader
// can copy (the Noto CJK faces shape digits into glyphs without a character).
constexpr FaceRule kFaceRules[] = {
    {"Arial", kSans, kCjkSans, false},
    {"Helvetica", kSans, kCjkSans, false},
    {"MS Sans Serif", kSans, kCjkSans, false},
    {"Microsoft Sans Serif", kSans, kCjkSans, false},
    {"Tahoma", kSans, kCjkSans, false},
    {"Verdana", kSans, kCjkSans, false},
    {"System", kSans, kCjkSans, false},
    {"Courier New", kMono, kCjkSans, false},
    {"Courier", kMono, kCjkSans, false},
    {"Lucida Console", kMono, kCjkSans, false},
    {"Times New Roman", kSerif, kCjkSerif, false},
    {"Times", kSerif, kCjkSerif, false},
    {"宋体", kSerif, kCjkSerif, true},
    {"SimSun", kSerif, kCjkSerif, true},
    {"新宋体", kSerif, kCjkSerif, true},
    {"NSimSun", kSerif, kCjkSerif, true},
    {"仿宋", kSerif, kCjkSerif, true},
    {"仿宋_GB2312", kSerif, kCjkSerif, true},
    {"FangSong", kSerif, kCjkSerif, true},
    {"FangSong_GB2312", kSerif, kCjkSerif, true},
    {"楷体", kSerif, kCjkSerif, true},
    {"楷体_GB2312", kSerif, kCjkSerif, true},
    {"KaiTi", kSerif, kCjkSerif, true},
    {"KaiTi_GB2312", kSerif, kCjkSerif, true},
    {"黑体", kSans, kCjkSans, true},
    {"SimHei", kSans, kCjkSans, true},
    {"微软雅黑", kSans, kCjkSans, false},
    {"Microsoft YaHei", kSans, kCjkSans, false},
};

struct Face {
    QString latin;
    QString chinese;
    bool gbMetrics = false;
};

// The installed families, listed once: asking the font system about every name
// a template stores would make it look each one up.
bool isInstalled(const QString& family) {
    static const QSet<QString> installed = [] {
        QSet<QString> names;
        for (const QString& f : QFontDatabase::families())
            names.insert(f.toCaseFolded());
        return names;
    }();
    return installed.contains(family.toCaseFolded());
}

Face resolveFace(const AnsiString& storedName) {
    QString name = core::toUnicode(storedName).trimmed();
    // Windows names vertical-writing faces with a leading '@'.
    if (name.startsWith(QLatin1Char('@')))
        name.remove(0, 1);
    for (const FaceRule& rule : kFaceRules)
        if (name.compare(QString::fromUtf8(rule.stored), Qt::CaseInsensitive) == 0)
            return {QString::fromLatin1(rule.latin), QString::fromLatin1(rule.chinese), rule.gbMetrics};
    bool chinese = false;
    for (const QChar c : name)
        if (c.unicode() > 0x2E7F)
            chinese = true;
    if (!chinese && !name.isEmpty() && isInstalled(name))
        return {name, QString::fromLatin1(kCjkSans), false};
    return {QString::fromLatin1(kSans), QString::fromLatin1(kCjkSans), false};
}

int clampPoints(int points) { return std::clamp(points, kMinFontPoints, kMaxFontPoints); }

// A line of text that reads as the number zero ("0", "0.00", "-0", "0,0").
bool isZero(QStringView line) {
    const QString trimmed = line.trimmed().toString().replace(QLatin1Char(','), QLatin1Char('.'));
    if (trimmed.isEmpty())
        return false;
    const std::optional<double> value = core::tryParseDecimal(trimmed.toStdString());
    return value && *value == 0.0;
}

// Paragraphs: the memo's lines, each split again at the line breaks it holds
// (an evaluated expression may bring several lines).
std::vector<QString> paragraphsOf(const Lines& text, bool hideZeros) {
    std::vector<QString> paragraphs;
    paragraphs.reserve(text.size());
    for (const AnsiString& line : text) {
        if (line.find_first_of("\r\n") == AnsiString::npos) {
            paragraphs.push_back(core::toUnicode(line));
        } else {
            const auto parts = core::splitLines(line);
            if (parts.empty())
                paragraphs.emplace_back();
            for (std::string_view part : parts)
                paragraphs.push_back(core::toUnicode(part));
        }
    }
    if (hideZeros)
        for (QString& p : paragraphs)
            if (isZero(p))
                p.clear();
    return paragraphs;
}

QString trimmedRight(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}

struct Wrapped {
    QString text;
    bool endsParagraph;
};

// Breaks one paragraph into lines no wider than `width` reference pixels, at
// the line-break opportunities of Unicode (blanks, and between Chinese
// characters); with `breakWords` a word wider than the line is broken too.
void wrapParagraph(const QString& paragraph, const QFont& font, double width, bool breakWords,
                   std::vector<Wrapped>& out) {
    QTextLayout layout(paragraph, font);
    QTextOption option;
    option.setWrapMode(breakWords ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::WordWrap);
    option.setUseDesignMetrics(true);
    layout.setTextOption(option);
    layout.setCacheEnabled(false);
    layout.beginLayout();
    std::vector<std::pair<int, int>> ranges;
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        ranges.emplace_back(line.textStart(), line.textLength());
    }
    layout.endLayout();
    if (ranges.empty()) {
        out.push_back({QString(), true});
        return;
    }
    for (size_t i = 0; i < ranges.size(); ++i)
        out.push_back({trimmedRight(paragraph.mid(ranges[i].first, ranges[i].second)), i + 1 == ranges.size()});
}

} // namespace

QStringList installedFamilies(const AnsiString& storedName) {
    const Face face = resolveFace(storedName);
    return {face.latin, face.chinese};
}

const MemoFont& memoFont(const AnsiString& storedName, int points, std::uint16_t style) {
    using Key = std::tuple<AnsiString, int, std::uint16_t>;
    static std::mutex mutex;
    static std::map<Key, std::unique_ptr<MemoFont>> cache;
    points = clampPoints(points);
    style &= kFontItalic | kFontBold | kFontUnderline | kFontStrikeOut;
    const std::lock_guard<std::mutex> lock(mutex);
    Key key{storedName, points, style};
    auto found = cache.find(key);
    if (found != cache.end())
        return *found->second;

    const Face face = resolveFace(storedName);
    auto made = std::make_unique<MemoFont>();
    QFont& font = made->font;
    font.setFamilies({face.latin, face.chinese});
    font.setPixelSize(points * static_cast<int>(kPageUnitsPerPoint * kTextReference + 0.5));
    font.setItalic(style & kFontItalic);
    font.setBold(style & kFontBold);
    font.setUnderline(style & kFontUnderline);
    font.setStrikeOut(style & kFontStrikeOut);
    // Unhinted outlines have linear advance widths: the same text is as wide,
    // relative to its size, at every resolution.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::ForceOutline | QFont::PreferQuality));
    made->em = points * kPageUnitsPerPoint;
    if (face.gbMetrics) {
        made->ascent = made->em * kGbAscent;
        made->descent = made->em * kGbDescent;
    } else {
        const QFontMetricsF metrics(font);
        made->ascent = metrics.ascent() / kTextReference;
        made->descent = metrics.descent() / kTextReference;
    }
    return *cache.emplace(std::move(key), std::move(made)).first->second;
}

MemoLayout layoutMemo(const TfrMemoView& memo, const Lines& text) {
    return layoutMemo(memo, text, QSizeF(memo.Width, memo.Height));
}

MemoLayout layoutMemo(const TfrMemoView& memo, const Lines& text, QSizeF frame) {
    MemoLayout layout;
    const MemoFont& baseFont = memoFont(memo.FontName, memo.FontSize, memo.FontStyle);
    layout.font = &baseFont;
    layout.rotated = memo.Alignment & 4;
    const int horizontal = memo.Alignment & 3;
    const int vertical = (memo.Alignment >> 3) & 3;

    // The object's size and gaps in the text's own direction.
    const double along = layout.rotated ? frame.height() : frame.width();
    const double across = layout.rotated ? frame.width() : frame.height();
    const double gapAlong = layout.rotated ? memo.GapY : memo.GapX;
    const double gapAcross = layout.rotated ? memo.GapX : memo.GapY;
    layout.textBox = QRectF(gapAlong, gapAcross, along - 2 * gapAlong, across - 2 * gapAcross);
    layout.lineHeight = baseFont.height();
    layout.pitch = layout.lineHeight + memo.LineSpacing;

    // Character spacing goes into the font, so measuring and drawing both add it
    // after every character.
    layout.drawFont = baseFont.font;
    if (memo.CharSpacing != 0)
        layout.drawFont.setLetterSpacing(QFont::AbsoluteSpacing, memo.CharSpacing * double(kTextReference));
    const QFont& font = layout.drawFont;
    const QFontMetricsF metrics(font);
    const double boxWidth = layout.textBox.width() * kTextReference;

    std::vector<Wrapped> wrapped;
    const std::vector<QString> paragraphs = paragraphsOf(text, memo.Flags & kHideZeros);
    wrapped.reserve(paragraphs.size());
    const bool wrap = (memo.Flags & kWordWrap) && boxWidth > 0;
    for (const QString& paragraph : paragraphs) {
        if (wrap && metrics.horizontalAdvance(paragraph) > boxWidth)
            wrapParagraph(paragraph, font, boxWidth, memo.Flags & kWordBreak, wrapped);
        else
            wrapped.push_back({paragraph, true});
    }

    const size_t n = wrapped.size();
    layout.lines.reserve(n);
    layout.textHeight = n == 0 ? 0 : std::max(0.0, n * layout.lineHeight + (n - 1.0) * memo.LineSpacing);
    double top = layout.textBox.top();
    if (vertical == 1)
        top += (layout.textBox.height() - layout.textHeight) / 2;
    else if (vertical == 2)
        top += layout.textBox.height() - layout.textHeight;

    for (size_t i = 0; i < n; ++i) {
        MemoLine line;
        line.text = std::move(wrapped[i].text);
        line.width = line.text.isEmpty() ? 0 : metrics.horizontalAdvance(line.text) / kTextReference;
        line.baseline = top + i * layout.pitch + baseFont.ascent;
        const double room = layout.textBox.width() - line.width;
        switch (horizontal) {
        case 1: line.x = layout.textBox.left() + room; break;
        case 2: line.x = layout.textBox.left() + room / 2; break;
        default: line.x = layout.textBox.left(); break;
        }
        // Justified: every wrapped line but a paragraph's last is spread to the
        // box, at its blanks, or between its characters when it has none.
        if (horizontal == 3 && !wrapped[i].endsParagraph && room > 0) {
            const qsizetype blanks = line.text.count(QLatin1Char(' '));
            if (blanks > 0) {
                line.spread = room / blanks;
            } else if (line.text.size() > 1) {
                line.spread = room / (line.text.size() - 1);
                line.spreadCharacters = true;
            }
            if (line.spread > 0)
                line.width = layout.textBox.width();
        }
        layout.textWidth = std::max(layout.textWidth, line.width);
        if (!line.text.isEmpty()
            && (line.x < layout.textBox.left() - 1e-9 || line.x + line.width > layout.textBox.right() + 1e-9))
            layout.overflows = true;
        layout.lines.push_back(std::move(line));
    }
    if (n > 0 && (top < layout.textBox.top() - 1e-9
                  || top + layout.textHeight > layout.textBox.bottom() + 1e-9))
        layout.overflows = true;

    if (n > 0) {
        layout.neededHeight = layout.rotated ? layout.textWidth + 2 * gapAlong : layout.textHeight + 2 * gapAcross;
        layout.neededWidth = layout.rotated ? layout.textHeight + 2 * gapAcross : layout.textWidth + 2 * gapAlong;
    }
    return layout;
}

int memoNeededHeight(const TfrMemoView& memo, const Lines& text) {
    const double h = layoutMemo(memo, text).neededHeight;
    // A hair above a whole unit from floating-point sums is not another unit.
    return static_cast<int>(std::ceil(h - 1e-6));
}

} // namespace mirel::tmpl
