#pragma once
// The graphics of picture objects as images: JPEG through libjpeg, BMP and ICO
// through Qt's readers. Metafiles cannot be drawn here and give no image.

#include <QImage>
#include <cstdint>
#include <string>
#include <string_view>

namespace mirel::tmpl {

// Graphic kinds as a picture record stores them.
enum GraphicKind : std::uint8_t { gkNone = 0, gkBitmap = 1, gkMetafile = 2, gkIcon = 3, gkJpeg = 4 };

// Largest image decoded, in pixels (a damaged size field must not ask for
// gigabytes).
inline constexpr long long kMaxPicturePixels = 64LL * 1024 * 1024;

// Decodes a JPEG file (baseline or progressive; grey, YCbCr, RGB, CMYK or
// YCCK). A null image when the data is no JPEG, is damaged or too large.
QImage decodeJpeg(std::string_view bytes);

// The image of a stored graphic, or a null image for none, a metafile or data
// that cannot be read. Decoded images are kept for the graphics painted last,
// so the same logo on every label is decoded once (and a PDF stores it once).
QImage pictureImage(std::uint8_t kind, const std::string& graphic);

} // namespace mirel::tmpl
