#pragma once
// TStPDF417Barcode: the PDF417 symbol generator. It holds the text to encode and
// the symbol and drawing settings, keeps the codewords of the current symbol and
// an image of Width x Height pixels (273 x 81 by default) into which it lays out
// the symbol with its quiet zone, alignment and optional caption. The PDF417
// template object creates one with the defaults, assigns its label text to Code
// and draws Bitmap().
//
// Every assignment of a setting checks the value, does nothing for the value
// already held, stores it, regenerates the codewords when it shapes them and
// renders the image again. When that fails the previous value is stored and
// rendered again and the error passes on, so the generator always holds a symbol
// that matches its settings.

#include "pdf417/E2DBarcodeError.h"
#include "pdf417/Pdf417Symbol.h"

#include "core/Encoding.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <QSize>

class QPainter;

namespace mirel::pdf417 {

enum TStPDF417ECCLevels {
    ecAuto, ecLevel0, ecLevel1, ecLevel2, ecLevel3, ecLevel4, ecLevel5, ecLevel6, ecLevel7, ecLevel8
};
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

// Pixel coordinates in the image where the symbol is painted; right and bottom
// are the first column and line past it.
struct BarcodeRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const BarcodeRect&) const = default;
};

class TStPDF417Barcode {
public:
    // 273 x 81 pixels, every default; generates and renders the empty Code.
    TStPDF417Barcode();

    // Settings that shape the codewords: assigning them regenerates the symbol.
    const AnsiString& Code() const { return m_symbol.Code(); }
    void SetCode(const AnsiString& value);
    bool ExtendedSyntax() const { return m_extendedSyntax; }   // stored; escapes always apply
    void SetExtendedSyntax(bool value);
    TStPDF417ECCLevels ECCLevel() const { return static_cast<TStPDF417ECCLevels>(m_symbol.ECCLevel() + 1); }
    void SetECCLevel(TStPDF417ECCLevels value);
    int NumColumns() const { return m_symbol.NumColumns(); }   // 0..30, 0 automatic
    void SetNumColumns(int value);
    int NumRows() const { return m_symbol.NumRows(); }         // 0..90, 0 automatic
    void SetNumRows(int value);

    // Drawing settings, in pixels: assigning them renders the image again.
    bool Truncated() const { return m_truncated; }
    void SetTruncated(bool value);
    int BarWidth() const { return m_barWidth; }                // module width
    void SetBarWidth(int value);
    int BarHeightToWidth() const { return m_barHeightToWidth; }   // row height in modules; 0: BarHeight
    void SetBarHeightToWidth(int value);
    int BarHeight() const { return m_barHeight; }
    void SetBarHeight(int value);
    bool RelativeBarHeight() const { return m_relativeBarHeight; }   // rows share the height
    void SetRelativeBarHeight(bool value);
    int QuietZone() const { return m_quietZone; }
    void SetQuietZone(int value);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment value);
    TTextLayout CaptionLayout() const { return m_captionLayout; }
    void SetCaptionLayout(TTextLayout value);
    // Drawn with Font, which needs a QGuiApplication (the CLI and the app have one).
    const AnsiString& Caption() const { return m_caption; }
    void SetCaption(const AnsiString& value);
    QColor BackgroundColor() const { return m_backgroundColor; }
    void SetBackgroundColor(const QColor& value);

    // The component's own settings: they take effect at the next rendering.
    int Width() const { return m_width; }
    void SetWidth(int value) { m_width = value; }
    int Height() const { return m_height; }
    void SetHeight(int value) { m_height = value; }
    QColor Color() const { return m_color; }                   // bars
    void SetColor(const QColor& value) { m_color = value; }
    const QFont& Font() const { return m_font; }               // caption
    void SetFont(const QFont& value) { m_font = value; }
    QColor FontColor() const { return m_fontColor; }           // caption text
    void SetFontColor(const QColor& value) { m_fontColor = value; }

    // The last rendering. Assigning a picture replaces it without rendering.
    const QImage& Bitmap() const { return m_image; }
    void SetBitmap(const QImage& image) { m_image = image; }

    int BarCodeWidth() const { return SymbolPixelWidth(); }
    int BarCodeHeight() const { return SymbolPixelHeight(m_height); }
    static const char* Version() { return "4.03"; }

    // The codewords of the current symbol.
    const Pdf417Symbol& Symbol() const { return m_symbol; }
    int CodewordCount() const { return m_symbol.CodewordCount(); }
    int EffectiveECCLevel() const { return m_symbol.EffectiveECCLevel(); }
    SymbolDimensions SymbolSize() const { return m_symbol.SymbolSize(); }

    // Symbol width in pixels: (17 * columns + 69) modules, 35 truncated.
    int SymbolPixelWidth() const;
    // Symbol height for an available height: all of it with RelativeBarHeight,
    // else rows times the row height.
    int SymbolPixelHeight(int available) const;

    // Sizes the image and draws background, symbol and caption. The symbol is
    // never scaled: what does not fit is cut at the image edge, and rows are
    // squeezed into the height there is.
    void RenderImage(int width, int height);
    BarcodeRect BarcodeRectangle() const { return m_barcodeRect; }

    // Component paint: renders at Width x Height and draws the image's content
    // at (0, 0), one image pixel per unit of the painter: the background, the
    // bars as filled rectangles (one per run of dark modules in a row) and the
    // caption as text, so a PDF keeps the symbol as vectors. On a device with
    // pixels of its own (an image, a printer at its resolution, a widget) every
    // module edge falls on a whole device pixel: the image's origin goes to the
    // nearest device pixel and each edge to that pixel plus its own distance
    // from the origin rounded to whole pixels, so modules differ by at most one
    // pixel and the symbol keeps its width within half a pixel. A painter that
    // maps image pixels 1:1 onto an image gives exactly Bitmap().
    void Paint(QPainter& painter);

    // Renders for a device of resx x resy pixels per inch into `target`: module
    // width and image size scale from the screen resolution (nothing scales when
    // either is 0), the caption font takes the target's resolution. Returns the
    // size rendered; the generator's own image is rendered again at Width x Height.
    QSize RenderScaled(QImage& target, int resolutionX, int resolutionY);

private:
    template <class Restore>
    void refreshOrRestore(bool regenerate, Restore restore);
    template <class T>
    void assignAndRender(T& field, const T& value);
    // Where the last rendering put the symbol and the caption.
    struct RenderedLayout {
        BarcodeRect rect;
        int barWidth = 0;
        QRect captionBox;   // empty without a caption
        int captionAscent = 0;
        QString caption;
    };

    void refresh(bool regenerate);
    void renderInto(QImage& image, int barWidth, RenderedLayout& layout);
    void paintVector(QPainter& painter) const;
    void paintSymbol(QImage& image, const BarcodeRect& rect, int barWidth);
    long long symbolPixelWidth(int barWidth) const;
    long long symbolPixelHeight(long long available, int barWidth) const;

    Pdf417Symbol m_symbol;
    bool m_extendedSyntax = true;
    bool m_truncated = false;
    int m_width = 273;
    int m_height = 81;
    int m_barWidth = 2;
    int m_barHeightToWidth = 4;
    int m_barHeight = 2;
    bool m_relativeBarHeight = false;
    int m_quietZone = 8;
    TAlignment m_alignment = taCenter;
    TTextLayout m_captionLayout = tlBottom;
    AnsiString m_caption;
    QColor m_color = Qt::black;
    QColor m_backgroundColor = Qt::white;
    QColor m_fontColor = Qt::black;
    QFont m_font{QStringLiteral("Arial"), 8};
    QImage m_image;
    BarcodeRect m_barcodeRect;
    RenderedLayout m_rendered;
};

} // namespace mirel::pdf417
