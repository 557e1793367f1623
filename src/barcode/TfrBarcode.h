#pragma once
// TfrBarcode: the linear barcode symbol generator. It holds what a symbol is made
// of (symbology, text, check digit option, module width and wide-to-narrow ratio,
// angle, colours, position and bar height), turns it into an element pattern,
// measures the pattern and draws it on a painter.
//
// Every query rebuilds from the current properties; nothing is cached between
// builds. The build encodes the text as last assigned and keeps what the symbol
// shows apart, so building again gives the same pattern and the same Text.

#include "barcode/BarcodeTypes.h"
#include "core/Encoding.h"

#include <array>
#include <functional>
#include <string>

class QPainter;

namespace mirel::barcode {

enum class ElementKind { Space = 0, Bar = 1, ShortBar = 2 };

struct ElementWidth {
    int width;
    ElementKind kind;
};

class TfrBarcode {
public:
    using ChangeHandler = std::function<void(TfrBarcode& sender)>;

    TfrBarcode() = default;
    virtual ~TfrBarcode() = default;
    TfrBarcode(const TfrBarcode&) = delete;
    TfrBarcode& operator=(const TfrBarcode&) = delete;

    // Bar height in the painter's units; a negative height draws upward.
    int Height() const { return m_height; }
    void SetHeight(int value);

    // What the symbol shows: the text as assigned until a build, then the text as
    // the symbology normalised it (trimmed, padded, with a check digit ...).
    const AnsiString& Text() const { return m_text; }
    void SetText(const AnsiString& value);

    int Top() const { return m_top; }
    void SetTop(int value);
    int Left() const { return m_left; }
    void SetLeft(int value);

    // Narrow module width, 1 to 49; any other value is ignored.
    int Modul() const { return m_modul; }
    void SetModul(int value);

    // Wide-to-narrow ratio; the build keeps it within the symbology's limits.
    double Ratio() const { return m_ratio; }
    void SetRatio(double value);

    TfrBarcodeType Typ() const { return m_typ; }
    void SetTyp(TfrBarcodeType value);

    bool Checksum() const { return m_checksum; }
    void SetChecksum(bool value);

    TfrCheckSumMethod CheckSumMethod() const { return m_checkSumMethod; }
    void SetCheckSumMethod(TfrCheckSumMethod value) { m_checkSumMethod = value; }

    // Degrees, counter-clockwise on the page.
    double Angle() const { return m_angle; }
    void SetAngle(double value);

    // The symbol's width (the sum of its element widths); writing it chooses the
    // Modul that makes the symbol about that wide.
    int Width();
    void SetWidth(int value);

    // Colour of the spaces and of the bars (0x00BBGGRR).
    TColor Color() const { return m_color; }
    void SetColor(TColor value) { m_color = value; }
    TColor ColorBar() const { return m_colorBar; }
    void SetColorBar(TColor value) { m_colorBar = value; }

    // Called with the generator whenever a notifying property changes.
    const ChangeHandler& OnChange() const { return m_onChange; }
    void SetOnChange(ChangeHandler handler) { m_onChange = std::move(handler); }

    // The widths W0..W3 of element codes 0..3, as the last build computed them.
    const std::array<int, 4>& Modules() const { return m_modules; }

    // Builds the element pattern for the current properties (see Encoders.h for
    // the codes). Throws BarcodeError (or core::ConversionError for an EAN-128
    // check digit over letters) when the text cannot be encoded.
    std::string MakePattern();

    // Width and kind of an element code; throws "TfrBarcode: internal Error" for
    // a character that is no element code.
    ElementWidth ElementInfo(char code) const;

    // Draws the symbol at (Left, Top), Height high, turned by Angle. The painter's
    // pen, brush and font are given back afterwards, also when the build fails.
    void DrawSymbol(QPainter& painter);

    // Paints the elements of a pattern as filled quadrilaterals, spaces included.
    void PaintPattern(const std::string& pattern, QPainter& painter);

    // Sum of the element widths of a pattern with the current module widths.
    int PatternWidth(std::string_view pattern) const;

protected:
    // Runs after a notifying property changed; fires OnChange.
    virtual void Changed();

private:
    void ComputeModules();
    void paintElements(std::string_view pattern, int symbolWidth, QPainter& painter);

    int m_height = 0;
    AnsiString m_text;          // what Text reads
    AnsiString m_assignedText;  // what the build encodes
    int m_top = 0;
    int m_left = 0;
    int m_modul = 1;
    double m_ratio = 2.0;
    TfrBarcodeType m_typ = bcCodeEAN13;
    bool m_checksum = false;
    TfrCheckSumMethod m_checkSumMethod = csmModulo10;
    double m_angle = 0.0;
    TColor m_color = kWhite;
    TColor m_colorBar = kBlack;
    ChangeHandler m_onChange;
    std::array<int, 4> m_modules{1, 2, 3, 4};
};

} // namespace mirel::barcode
