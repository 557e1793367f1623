#pragma once
// TfrBarCodeView: the linear barcode as an object on a label template page (an
// add-in object, class name "TfrBarCodeView"). Its first memo line is the code
// text: a literal, or a bracketed expression ("[条形码编号]") that preparation
// evaluates per label. The designer shows a sample symbol for an expression.
//
// Record: the common record, then a 24-byte tail read and written in full at
// every format version: CalcCheckSum, ShowText, a reserved byte, BarType (one
// byte), a reserved int, Zoom and Rotation (doubles, degrees).

#include "barcode/TfrBarcode.h"
#include "template/TfrView.h"

#include <QImage>
#include <functional>
#include <optional>
#include <string_view>

namespace mirel::barcode {

class TfrBarCodeView : public tmpl::TfrView {
public:
    TfrBarCodeView();

    int TypeCode() const override { return tmpl::gtAddIn; }
    const char* ClassName() const override { return "TfrBarCodeView"; }
    const char* BaseName() const override { return "Bar"; }
    // An object read from a template writes back the minor record version it
    // read; a new one writes 0.
    std::uint8_t WrittenMinorVersion() const override { return RecordMinor(); }

    void ReadRecord(tmpl::RecordReader& in) override;
    void WriteRecord(tmpl::RecordWriter& out) const override;

    // Draws the symbol stretched into the frame, whose size along the symbol
    // follows its modules times Zoom. Nothing is drawn for a negative size, a memo
    // of one empty line or the text "0" (a label whose text could not be
    // evaluated). On prepared pages a numeric-only symbology with a text that is
    // no number draws nothing and is told to the paint context's report, where
    // the designer shows the sample "12345678"; an encoder error is told there
    // too, and thrown where there is no report (and in the designer).
    void Paint(QPainter& painter, const tmpl::PaintContext& context) override;

    // Evaluates a first memo line that begins with "[" (a failure gives "0") and
    // writes the object without band alignment: it keeps its place and width.
    void EmitPrepared(tmpl::PrepareContext& context, tmpl::RecordWriter& out) override;

    void ListProperties(std::vector<tmpl::PropertyEntry>& entries) const override;
    // Adds nothing: the stretch entry of other objects does not apply.
    void FillPopupMenu(tmpl::PopupMenu& menu) override;
    bool OpenEditor(tmpl::DesignerContext& context) override;
    void WriteXmlAttributes(tmpl::XmlAttributes& attributes) const override;
    void DescribeJson(QJsonObject& into) const override;

    // The barcode editor, installed by the designer; none: OpenEditor gives false.
    using Editor = std::function<bool(TfrBarCodeView& view, tmpl::DesignerContext& context)>;
    static void SetEditor(Editor editor);

    // The text the symbol is built from, as Paint takes it: the sample for an
    // expression in the designer, the sample in place of a text that is no
    // number for a numeric-only symbology. nullopt: nothing is drawn (a prepared
    // numeric-only symbol whose text is no number).
    std::optional<AnsiString> SymbolText(bool designMode) const;

    bool CalcCheckSum = true;
    bool ShowText = true;
    std::uint8_t ReservedFlag = 0;      // stored and loaded, not used
    std::uint8_t BarType = bcCode39;    // a TfrBarcodeType; above 22 only from a damaged file
    std::int32_t ReservedValue = 1;     // stored and loaded, not used
    double Zoom = 1.0;                  // page units per module
    double Rotation = 0.0;              // 0, 90, 180 or 270

private:
    TfrBarcode m_barcode;   // set up afresh at every paint
};

// Whether a text reads as a decimal number: leading blanks, an optional sign,
// digits with an optional decimal point and an optional exponent, nothing after.
bool readsAsDecimalNumber(std::string_view text);

// Enters TfrBarCodeView in the add-in registry with its tool-button picture and
// the hint "插入 Barcode 对象". Called once by each executable at start-up.
void registerBarcodeObjects();

// The designer's tool-button picture of the barcode object (22 x 22 pixels).
QImage barcodeButtonPicture();

} // namespace mirel::barcode
