#include "pdf417/Tfr2BarCodePDFView.h"

#include "core/Encoding.h"
#include "core/Numbers.h"
#include "engine/FieldReference.h"
#include "template/AddinRegistry.h"

#include <QPainter>

namespace mirel::pdf417 {

namespace {

Tfr2BarCodePDFView::Editor& editorHook() {
    static Tfr2BarCodePDFView::Editor editor;
    return editor;
}

} // namespace

Tfr2BarCodePDFView::Tfr2BarCodePDFView() { Memo = {"ABCDEFGH"}; }

Tfr2BarCodePDFView::~Tfr2BarCodePDFView() = default;

void Tfr2BarCodePDFView::ReadRecord(tmpl::RecordReader& in) {
    TfrView::ReadRecord(in);
    CalcCheckSum = in.ReadByte() != 0;
    ShowText = in.ReadByte() != 0;
    ReservedByte = in.ReadByte();
    BarTypeField = in.ReadInt();
    ReservedValue = in.ReadInt();
    Zoom = in.ReadDouble();
    Rotation = in.ReadDouble();
}

void Tfr2BarCodePDFView::WriteRecord(tmpl::RecordWriter& out) const {
    TfrView::WriteRecord(out);
    out.WriteByte(CalcCheckSum ? 1 : 0);
    out.WriteByte(ShowText ? 1 : 0);
    out.WriteByte(ReservedByte);
    out.WriteInt(BarTypeField);
    out.WriteInt(ReservedValue);
    out.WriteDouble(Zoom);
    out.WriteDouble(Rotation);
}

void Tfr2BarCodePDFView::Paint(QPainter& painter, const tmpl::PaintContext& context) {
    if (Memo.size() == 1 && Memo.front().empty())
        return;
    const AnsiString text = Memo.empty() ? AnsiString() : Memo.front();
    if (!m_generator || m_generator->Code() != text) {
        m_generator = std::make_unique<TStPDF417Barcode>();
        try {
            m_generator->SetCode(text);
        } catch (const E2DBarcodeError& e) {
            // The fresh generator keeps the empty text: the next painting tries
            // this text again and fails the same way.
            if (context.designMode || !context.report)
                throw;
            context.report->Failed(*this, QString::fromUtf8(e.what()));
            return;
        }
    }
    PaintBackground(painter, context);
    if (Width <= 0 || Height <= 0) {
        PaintFrame(painter, context);
        return;
    }
    const QRectF frame(context.offsetX + Left * context.scaleX, context.offsetY + Top * context.scaleY,
                       Width * context.scaleX, Height * context.scaleY);
    // The object's picture: white, with the symbol image at its top-left corner,
    // one image pixel per page unit, cut at the frame. The generator paints the
    // image's content as rectangles, so a PDF keeps the symbol as vectors.
    painter.save();
    painter.setClipRect(frame, Qt::IntersectClip);
    painter.fillRect(frame, Qt::white);
    painter.translate(frame.topLeft());
    painter.scale(context.scaleX, context.scaleY);
    m_generator->Paint(painter);
    painter.restore();
    PaintFrame(painter, context);
}

void Tfr2BarCodePDFView::EmitPrepared(tmpl::PrepareContext& context, tmpl::RecordWriter& out) {
    tmpl::Lines working = Memo;
    context.BeforeOutput(*this, working);
    context.RunScript(*this);
    if (!Visible)
        return;
    const AnsiString keptTag = Tag;
    struct RestoreTag {
        Tfr2BarCodePDFView& view;
        const AnsiString& tag;
        ~RestoreTag() { view.Tag = tag; }
    } restoreTag{*this, keptTag};
    if (Tag.find('[') != AnsiString::npos)
        Tag = context.ExpandText(Tag);
    if (!working.empty() && !working.front().empty() && working.front().front() == '[') {
        try {
            working.front() = context.Evaluate(working.front());
        } catch (const std::exception&) {
            working.front().assign(1, '0');   // (not = "0": a false -Wrestrict of g++ 12)
        }
    }
    WritePreparedRecord(out, working);
}

void Tfr2BarCodePDFView::ListProperties(std::vector<tmpl::PropertyEntry>& entries) const {
    TfrView::ListProperties(entries);
    entries.push_back({"Barcode", tmpl::property::kEditor});
    entries.push_back({"DataField", tmpl::property::kDataField});
}

void Tfr2BarCodePDFView::FillPopupMenu(tmpl::PopupMenu& menu) { (void)menu; }

bool Tfr2BarCodePDFView::OpenEditor(tmpl::DesignerContext& context) {
    const Editor& editor = editorHook();
    return editor ? editor(*this, context) : false;
}

void Tfr2BarCodePDFView::SetEditor(Editor editor) { editorHook() = std::move(editor); }

void Tfr2BarCodePDFView::WriteXmlAttributes(tmpl::XmlAttributes& a) const {
    TfrView::WriteXmlAttributes(a);
    if (!Memo.empty())
        a.Add("Text", Memo.front());
    a.Add("BarType", std::to_string(BarTypeField));
    a.Add("CalcCheckSum", CalcCheckSum ? "1" : "0");
    a.Add("Rotation", core::formatGeneral(Rotation));
    a.Add("ShowText", ShowText ? "1" : "0");
    a.Add("Zoom", core::formatGeneral(Zoom));
    if (!Memo.empty())
        if (const auto field = engine::parseFieldReference(Memo.front())) {
            std::string dataset = field->owner;
            dataset += '.';
            dataset += field->dataset;
            a.Add("DataSet", dataset);
            a.Add("DataField", field->field);
        }
}

void Tfr2BarCodePDFView::DescribeJson(QJsonObject& o) const {
    TfrView::DescribeJson(o);
    o[QStringLiteral("calcCheckSum")] = CalcCheckSum;
    o[QStringLiteral("showText")] = ShowText;
    o[QStringLiteral("reservedByte")] = ReservedByte;
    o[QStringLiteral("barTypeField")] = BarTypeField;
    o[QStringLiteral("reservedValue")] = ReservedValue;
    o[QStringLiteral("zoom")] = Zoom;
    o[QStringLiteral("rotation")] = Rotation;
}

QImage pdf417ButtonPicture() {
    QImage image(22, 22, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(QRect(1, 4, 20, 14), Qt::white);
    // Start and stop columns with rows of modules between them.
    p.fillRect(QRect(3, 6, 2, 10), Qt::black);
    p.fillRect(QRect(17, 6, 2, 10), Qt::black);
    static constexpr int kModules[][3] = {{6, 6, 3}, {11, 6, 4}, {7, 9, 2}, {12, 9, 3},
                                          {6, 12, 4}, {13, 12, 2}, {8, 14, 3}, {12, 14, 4}};
    for (const auto& m : kModules)
        p.fillRect(QRect(m[0], m[1], m[2], 2), Qt::black);
    p.setPen(QColor(96, 96, 96));
    p.drawRect(QRect(1, 4, 19, 13));
    return image;
}

void registerPdf417Objects() {
    tmpl::addinRegistry().Register(tmpl::AddinClass{
        "Tfr2BarCodePDFView", [] { return std::make_unique<Tfr2BarCodePDFView>(); }, pdf417ButtonPicture(),
        QStringLiteral("插入 Barcode 对象")});
}

} // namespace mirel::pdf417
