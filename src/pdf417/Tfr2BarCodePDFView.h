#pragma once
// Tfr2BarCodePDFView: the PDF417 symbol as an object on a label template page (an
// add-in object, class name "Tfr2BarCodePDFView"). Its first text line is the
// text to encode: a literal, or a bracketed expression ("[二维码]") that
// preparation evaluates per label; in the designer the line is encoded as typed.
//
// The symbol is the generator's 273 x 81 image at its defaults (module 2 pixels,
// rows 8, quiet zone 8, centred), placed at the top-left corner of the object at
// one image pixel per page unit, cut at the object's frame, white beyond the
// image. Zoom, Rotation, CalcCheckSum and ShowText are edited and stored but do
// not change the drawing.
//
// Record: the common record, then a 27-byte tail: CalcCheckSum, ShowText, a
// reserved byte, the bar type field (an int that carries nothing; kept as read),
// a reserved int, Zoom and Rotation (doubles, degrees).

#include "pdf417/TStPDF417Barcode.h"
#include "template/TfrView.h"

#include <QImage>
#include <functional>
#include <memory>

namespace mirel::pdf417 {

class Tfr2BarCodePDFView : public tmpl::TfrView {
public:
    Tfr2BarCodePDFView();
    ~Tfr2BarCodePDFView() override;

    int TypeCode() const override { return tmpl::gtAddIn; }
    const char* ClassName() const override { return "Tfr2BarCodePDFView"; }
    const char* BaseName() const override { return "2BarCPDF"; }
    // The object's symbology, whatever the bar type field holds.
    static const char* BarTypeName() { return "PDF417Barcode"; }

    void ReadRecord(tmpl::RecordReader& in) override;
    void WriteRecord(tmpl::RecordWriter& out) const override;

    // Nothing is drawn for a text of one empty line. A text the generator refuses
    // ("Code too large for barcode") is thrown to the caller, or on a prepared
    // page with a paint report told there, and nothing is drawn.
    void Paint(QPainter& painter, const tmpl::PaintContext& context) override;
    // Evaluates a first text line that begins with "[" (a failure gives "0") and
    // writes the object without band alignment.
    void EmitPrepared(tmpl::PrepareContext& context, tmpl::RecordWriter& out) override;

    void ListProperties(std::vector<tmpl::PropertyEntry>& entries) const override;
    void FillPopupMenu(tmpl::PopupMenu& menu) override;   // adds nothing
    bool OpenEditor(tmpl::DesignerContext& context) override;
    void WriteXmlAttributes(tmpl::XmlAttributes& attributes) const override;
    void DescribeJson(QJsonObject& into) const override;

    // The PDF417 editor, installed by the designer; none: OpenEditor gives false.
    using Editor = std::function<bool(Tfr2BarCodePDFView& view, tmpl::DesignerContext& context)>;
    static void SetEditor(Editor editor);

    // The generator of the last painting (none before the first); recreated with
    // its defaults whenever the text to encode changes.
    const TStPDF417Barcode* Generator() const { return m_generator.get(); }

    bool CalcCheckSum = true;
    bool ShowText = true;
    std::uint8_t ReservedByte = 0;
    std::int32_t BarTypeField = 0;   // carries no information
    std::int32_t ReservedValue = 1;
    double Zoom = 1.0;
    double Rotation = 0.0;

private:
    std::unique_ptr<TStPDF417Barcode> m_generator;
};

// Enters Tfr2BarCodePDFView in the add-in registry with its tool-button picture
// and the hint "插入 Barcode 对象". Called once by each executable at start-up.
void registerPdf417Objects();

// The designer's tool-button picture of the PDF417 object (22 x 22 pixels).
QImage pdf417ButtonPicture();

} // namespace mirel::pdf417
