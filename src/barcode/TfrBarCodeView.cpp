#include "barcode/TfrBarCodeView.h"

#include "barcode/BarcodePicture.h"
#include "core/Encoding.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "engine/FieldReference.h"
#include "template/AddinRegistry.h"

#include <QImage>
#include <QPainter>

namespace mirel::barcode {

namespace {

constexpr char kSample[] = "12345678";

TfrBarCodeView::Editor& editorHook() {
    static TfrBarCodeView::Editor editor;
    return editor;
}

// The generator's colour (0x00BBGGRR) for a stored fill colour, system colours
// in their usual look.
TColor spaceColor(std::uint32_t fill) {
    if (fill == tmpl::kNoColor)
        return kWhite;
    const QColor c = tmpl::toQColor(fill);
    return static_cast<TColor>(c.red() | (c.green() << 8) | (c.blue() << 16));
}

bool isNumericOnly(std::uint8_t type) {
    return isKnownType(static_cast<TfrBarcodeType>(type)) && typeInfo(static_cast<TfrBarcodeType>(type)).numericOnly;
}

} // namespace

bool readsAsDecimalNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        size_t exponent = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            ++i;
            ++exponent;
        }
        if (exponent == 0)
            return false;
    }
    return i == text.size();
}

TfrBarCodeView::TfrBarCodeView() { Memo = {kSample}; }

void TfrBarCodeView::ReadRecord(tmpl::RecordReader& in) {
    TfrView::ReadRecord(in);
    CalcCheckSum = in.ReadByte() != 0;
    ShowText = in.ReadByte() != 0;
    ReservedFlag = in.ReadByte();
    BarType = in.ReadByte();
    ReservedValue = in.ReadInt();
    Zoom = in.ReadDouble();
    Rotation = in.ReadDouble();
}

void TfrBarCodeView::WriteRecord(tmpl::RecordWriter& out) const {
    TfrView::WriteRecord(out);
    out.WriteByte(CalcCheckSum ? 1 : 0);
    out.WriteByte(ShowText ? 1 : 0);
    out.WriteByte(ReservedFlag);
    out.WriteByte(BarType);
    out.WriteInt(ReservedValue);
    out.WriteDouble(Zoom);
    out.WriteDouble(Rotation);
}

std::optional<AnsiString> TfrBarCodeView::SymbolText(bool designMode) const {
    // The designer shows a sample for an expression. A prepared page holds the
    // evaluated text, which is printed as it is, even when it begins with "[";
    // the sample never prints on a label.
    if (Memo.empty())
        return designMode ? std::optional<AnsiString>(kSample) : std::nullopt;
    if (designMode && !Memo.front().empty() && Memo.front().front() == '[')
        return AnsiString(kSample);
    const AnsiString& text = Memo.front();
    if (isNumericOnly(BarType) && !readsAsDecimalNumber(text))
        return designMode ? std::optional<AnsiString>(kSample) : std::nullopt;
    return text;
}

void TfrBarCodeView::Paint(QPainter& painter, const tmpl::PaintContext& context) {
    if (Width < 0 || Height < 0)
        return;
    if (Memo.size() == 1 && Memo.front().empty())
        return;
    const auto failed = [&](const std::string& message) {
        if (context.report)
            context.report->Failed(*this, QString::fromUtf8(message));
    };
    const std::optional<AnsiString> text = SymbolText(context.designMode);
    if (!text) {
        if (Memo.empty())
            failed("no text to print");
        else
            failed("\"" + core::toUtf8(Memo.front()) + "\" is not a number, which "
                   + std::string(typeInfo(static_cast<TfrBarcodeType>(BarType)).name) + " needs; nothing printed");
        return;
    }
    // "0" marks a label whose text could not be evaluated: no symbol at all, for
    // every symbology (a numeric one would otherwise pad it into a code).
    if (core::trimBlanks(*text) == "0")
        return;

    m_barcode.SetRatio(2.0);
    m_barcode.SetModul(1);
    m_barcode.SetChecksum(CalcCheckSum);
    m_barcode.SetColor(spaceColor(FillColor));
    m_barcode.SetTyp(static_cast<TfrBarcodeType>(BarType));
    m_barcode.SetText(*text);
    BarcodeLayout layout;
    try {
        layout = makeBarcodePicture(m_barcode, QSize(Width, Height), Rotation, ShowText, Zoom);
    } catch (const std::exception& e) {
        // On a prepared page the job learns which object failed and the other
        // objects of the page still print.
        if (context.designMode || !context.report)
            throw;
        failed(e.what());
        return;
    }
    if (!layout.picture)
        return;
    Width = layout.frameSize.width();
    Height = layout.frameSize.height();
    PaintBackground(painter, context);
    const QRectF frame(context.offsetX + Left * context.scaleX, context.offsetY + Top * context.scaleY,
                       Width * context.scaleX, Height * context.scaleY);
    layout.picture->play(painter, frame);
    PaintFrame(painter, context);
}

void TfrBarCodeView::EmitPrepared(tmpl::PrepareContext& context, tmpl::RecordWriter& out) {
    tmpl::Lines working = Memo;
    context.BeforeOutput(*this, working);
    context.RunScript(*this);
    if (!Visible)
        return;
    const AnsiString keptTag = Tag;
    struct RestoreTag {
        TfrBarCodeView& view;
        const AnsiString& tag;
        ~RestoreTag() { view.Tag = tag; }
    } restoreTag{*this, keptTag};
    if (Tag.find('[') != AnsiString::npos)
        Tag = context.ExpandText(Tag);
    if (!working.empty() && !working.front().empty() && working.front().front() == '[') {
        try {
            working.front() = context.Evaluate(working.front());
        } catch (const std::exception&) {
            working.front() = "0";
        }
    }
    WritePreparedRecord(out, working);
}

void TfrBarCodeView::ListProperties(std::vector<tmpl::PropertyEntry>& entries) const {
    TfrView::ListProperties(entries);
    entries.push_back({"Barcode", tmpl::property::kEditor});
    entries.push_back({"DataField", tmpl::property::kDataField});
}

void TfrBarCodeView::FillPopupMenu(tmpl::PopupMenu& menu) { (void)menu; }

bool TfrBarCodeView::OpenEditor(tmpl::DesignerContext& context) {
    const Editor& editor = editorHook();
    return editor ? editor(*this, context) : false;
}

void TfrBarCodeView::SetEditor(Editor editor) { editorHook() = std::move(editor); }

void TfrBarCodeView::WriteXmlAttributes(tmpl::XmlAttributes& a) const {
    TfrView::WriteXmlAttributes(a);
    if (!Memo.empty())
        a.Add("Text", Memo.front());
    a.Add("BarType", std::to_string(BarType));
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

void TfrBarCodeView::DescribeJson(QJsonObject& o) const {
    TfrView::DescribeJson(o);
    o[QStringLiteral("calcCheckSum")] = CalcCheckSum;
    o[QStringLiteral("showText")] = ShowText;
    o[QStringLiteral("reservedFlag")] = ReservedFlag;
    o[QStringLiteral("barType")] = BarType;
    o[QStringLiteral("reservedValue")] = ReservedValue;
    o[QStringLiteral("zoom")] = Zoom;
    o[QStringLiteral("rotation")] = Rotation;
}

QImage barcodeButtonPicture() {
    QImage image(22, 22, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(QRect(1, 3, 20, 16), Qt::white);
    // Bars of one, two and three pixels, as a Code 39 symbol shows them.
    static constexpr int kBars[][2] = {{3, 1}, {5, 2}, {8, 1}, {10, 3}, {14, 1}, {16, 2}};
    for (const auto& bar : kBars)
        p.fillRect(QRect(bar[0], 5, bar[1], 12), Qt::black);
    p.setPen(QColor(96, 96, 96));
    p.drawRect(QRect(1, 3, 19, 15));
    return image;
}

void registerBarcodeObjects() {
    tmpl::addinRegistry().Register(tmpl::AddinClass{
        "TfrBarCodeView", [] { return std::make_unique<TfrBarCodeView>(); }, barcodeButtonPicture(),
        QStringLiteral("插入 Barcode 对象")});
}

} // namespace mirel::barcode
