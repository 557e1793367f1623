#pragma once
// The pictures of the main window and the backup window, drawn with QPainter in
// one style: a blue banner, light panels, line glyphs of 1.6 px strokes.

#include <QColor>
#include <QIcon>
#include <QRectF>
#include <QString>

class QPainter;

namespace mirel::app {

namespace palette {
inline const QColor kBrand{0x1e, 0x5a, 0x96};
inline const QColor kBrandDark{0x14, 0x3f, 0x6b};
inline const QColor kBrandLight{0xe6, 0xef, 0xf8};
inline const QColor kAccent{0xc8, 0x10, 0x2e};   // red tags, grid title rows
inline const QColor kInk{0x1f, 0x2a, 0x37};
inline const QColor kMuted{0x7a, 0x86, 0x94};   // grey notes
inline const QColor kLine{0xc6, 0xd3, 0xe1};
inline const QColor kPanel{0xf4, 0xf7, 0xfb};
} // namespace palette

enum class Glyph { Flow, Key, System, Design, Print, Database, Help, About, Download, Close, Shield, Code2d, Folder };

// A glyph drawn in `rect` (square works best) with strokes of `color`.
void drawGlyph(QPainter& painter, Glyph glyph, const QRectF& rect, const QColor& color);
QIcon glyphIcon(Glyph glyph, const QColor& color, int size = 16);

// The main window's background: banner, navigation column, page frame, footer
// band and, right of x = 540, the 2D-code panel.
void paintMainBackground(QPainter& painter, int width, int height);

// A banner: gradient, a glyph and a title with a subtitle below it.
void paintBanner(QPainter& painter, const QRectF& rect, Glyph glyph, const QString& title, const QString& subtitle);

// Geometry of the main window shared by the background and the controls.
namespace layout {
inline constexpr int kNarrowWidth = 540;
inline constexpr int kWideWidth = 685;
inline constexpr int kHeight = 400;
inline constexpr int kBannerHeight = 64;
inline constexpr QRect kNotebook{140, 76, 387, 262};
inline constexpr int kNavLeft = 14;
inline constexpr int kNavWidth = 114;
inline constexpr int kNavHeight = 34;
inline constexpr int kNavTop = 82;
inline constexpr int kNavStep = 43;
inline constexpr int kFooterTop = 346;
} // namespace layout

} // namespace mirel::app
