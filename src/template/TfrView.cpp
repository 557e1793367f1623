#include "template/TfrView.h"

#include "core/Encoding.h"
#include "core/Numbers.h"
#include "template/AddinRegistry.h"
#include "template/BuiltinViews.h"
#include "template/TemplateJson.h"

#include <QJsonArray>
#include <cmath>
#include <limits>
#include <utility>

namespace mirel::tmpl {

namespace {

std::int32_t clampToInt(double v) {
    if (!(v > std::numeric_limits<std::int32_t>::min()))   // NaN too
        return v > 0 ? std::numeric_limits<std::int32_t>::max() : (std::isnan(v) ? 0 : std::numeric_limits<std::int32_t>::min());
    if (v >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(v);
}

void writeTypeAndClass(const TfrView& view, RecordWriter& out) {
    out.WriteByte(static_cast<std::uint8_t>(view.TypeCode()));
    if (view.TypeCode() == gtAddIn)
        out.WriteCountedString(view.ClassName());
}

} // namespace

double decodeFrameWidth(std::int32_t stored) {
    return stored <= 10 ? static_cast<double>(stored) : stored / 1000.0;
}

std::int32_t encodeFrameWidth(double width) {
    if (std::isnan(width))
        return 0;
    if (width == std::floor(width)) {
        // A whole width above 10 stored as itself would read back as thousandths
        // (11 -> 0.011); stored as thousandths it reads back whole.
        return width <= 10 ? clampToInt(width) : clampToInt(width * 1000.0);
    }
    if (width < 0)
        return clampToInt(static_cast<double>(core::roundHalfEven(width)));
    const double thousandths = width * 1000.0;
    if (thousandths >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    const std::int32_t n = static_cast<std::int32_t>(core::roundHalfEven(thousandths));
    // A stored value of 10 or less reads back as a whole width: the thinnest
    // fraction the file can hold is 0.011.
    return n <= 10 ? 11 : n;
}

void XmlAttributes::Add(std::string_view name, std::string_view value) {
    m_text += ' ';
    m_text += name;
    m_text += "=\"";
    m_text += Escape(value);
    m_text += '"';
}

std::string XmlAttributes::Escape(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        if (c == '\r' || c == '\n' || c == '"' || c == '<' || c == '>')
            out += "&#" + std::to_string(static_cast<unsigned char>(c)) + ';';
        else
            out += c;
    }
    return out;
}

void TfrView::ReadRecord(RecordReader& in) {
    const int v = in.Version();
    if (v >= 23)
        Name = in.ReadVersionedString();
    if (v >= 24) {
        const std::uint8_t major = in.ReadByte();
        const std::uint8_t minor = in.ReadByte();
        SetRecordVersion(major, minor);
    } else {
        SetRecordVersion(0, 0);   // the record carries none of the later fields
    }
    Left = in.ReadInt();
    Top = in.ReadInt();
    Width = in.ReadInt();
    Height = in.ReadInt();
    Flags = in.ReadWord();
    FrameTyp = in.ReadWord();
    m_storedFrameWidth = in.ReadInt();
    FrameWidth = decodeFrameWidth(m_storedFrameWidth);
    FrameColor = in.ReadColor();
    FrameStyle = in.ReadWord();
    FillColor = in.ReadColor();
    if (in.DesignMode()) {
        Format = in.ReadInt();
        FormatStr = in.ReadVersionedString();
    }
    Memo = in.ReadVersionedList();
    if (in.DesignMode() && v >= 23) {
        Script = in.ReadVersionedList();
        Visible = in.ReadBool16();
    }
    if (v >= 24) {
        Restrictions = in.ReadWord();
        Tag = in.ReadVersionedString();
        GapX = in.ReadInt();
        GapY = in.ReadInt();
    }
    if (m_recordMajor >= 2)
        BandAlign = in.ReadByte();
}

void TfrView::WriteRecord(RecordWriter& out) const {
    out.WriteCountedString(Name);
    out.WriteByte(2);
    out.WriteByte(WrittenMinorVersion());
    out.WriteInt(Left);
    out.WriteInt(Top);
    out.WriteInt(Width);
    out.WriteInt(Height);
    out.WriteWord(Flags);
    out.WriteWord(FrameTyp);
    out.WriteInt(decodeFrameWidth(m_storedFrameWidth) == FrameWidth ? m_storedFrameWidth : encodeFrameWidth(FrameWidth));
    out.WriteColor(FrameColor);
    out.WriteWord(FrameStyle);
    out.WriteColor(FillColor);
    if (out.DesignMode()) {
        out.WriteInt(Format);
        out.WriteCountedString(FormatStr);
    }
    out.WriteLineList(Memo);
    if (out.DesignMode()) {
        out.WriteLineList(Script);
        out.WriteBool16(Visible);
    }
    out.WriteWord(Restrictions);
    out.WriteCountedString(Tag);
    out.WriteInt(GapX);
    out.WriteInt(GapY);
    out.WriteByte(BandAlign);
}

void TfrView::PrepareLines(PrepareContext& context, Lines& workingMemo) {
    (void)context;
    (void)workingMemo;
}

void TfrView::EmitPrepared(PrepareContext& context, RecordWriter& out) {
    Lines working = Memo;
    context.BeforeOutput(*this, working);
    context.RunScript(*this);
    if (!Visible)
        return;
    const AnsiString keptTag = Tag;
    const std::int32_t keptLeft = Left, keptTop = Top, keptWidth = Width, keptHeight = Height;
    struct Restore {
        TfrView& view;
        const AnsiString& tag;
        std::int32_t l, t, w, h;
        ~Restore() {
            view.Tag = tag;
            view.Left = l;
            view.Top = t;
            view.Width = w;
            view.Height = h;
        }
    } restore{*this, keptTag, keptLeft, keptTop, keptWidth, keptHeight};
    if (Tag.find('[') != AnsiString::npos)
        Tag = context.ExpandText(Tag);
    PrepareLines(context, working);
    context.PlaceOnBand(*this);
    WritePreparedRecord(out, working);
}

void TfrView::WritePreparedRecord(RecordWriter& out, Lines& workingMemo) {
    // The prepared body carries the working lines in place of the expressions.
    std::swap(Memo, workingMemo);
    struct SwapBack {
        Lines& a;
        Lines& b;
        ~SwapBack() { std::swap(a, b); }
    } swapBack{Memo, workingMemo};
    writePreparedObject(*this, out);
}

void TfrView::ListProperties(std::vector<PropertyEntry>& entries) const {
    using namespace property;
    static constexpr PropertyEntry kBase[] = {
        {"Name", kText},         {"Left", kInteger},       {"Top", kInteger},         {"Width", kInteger},
        {"Height", kInteger},    {"Flags", kInteger},      {"FrameTyp", kInteger},    {"FrameWidth", kReal},
        {"FrameColor", kColor},  {"FrameStyle", kInteger}, {"FillColor", kColor},     {"Tag", kText},
        {"BandAlign", kInteger}, {"Visible", kBoolean},    {"Memo", kLines},          {"Memo.Count", kInteger},
        {"Restrictions", kInteger},
    };
    entries.insert(entries.end(), std::begin(kBase), std::end(kBase));
}

void TfrView::FillPopupMenu(PopupMenu& menu) {
    menu.AddCheckItem(QStringLiteral("伸展"), Stretched(), [this](bool on) { SetStretched(on); });
}

bool TfrView::OpenEditor(DesignerContext& context) {
    (void)context;
    return false;
}

void TfrView::WriteXmlAttributes(XmlAttributes& a) const {
    a.Add("Name", Name);
    a.Add("Left", std::to_string(Left));
    a.Add("Top", std::to_string(Top));
    a.Add("Width", std::to_string(Width));
    a.Add("Height", std::to_string(Height));
    a.Add("Flags", std::to_string(Flags));
    a.Add("FrameTyp", std::to_string(FrameTyp));
    a.Add("FrameWidth", core::formatGeneral(FrameWidth));
    a.Add("FrameColor", std::to_string(FrameColor));
    a.Add("FrameStyle", std::to_string(FrameStyle));
    a.Add("FillColor", std::to_string(FillColor));
    a.Add("Visible", Visible ? "1" : "0");
    if (!Tag.empty())
        a.Add("Tag", Tag);
}

void TfrView::DescribeJson(QJsonObject& o) const {
    o[QStringLiteral("className")] = QString::fromLatin1(ClassName());
    o[QStringLiteral("typeCode")] = TypeCode();
    o[QStringLiteral("name")] = core::toUnicode(Name);
    o[QStringLiteral("recordVersion")] = QJsonArray{m_recordMajor, m_recordMinor};
    o[QStringLiteral("left")] = Left;
    o[QStringLiteral("top")] = Top;
    o[QStringLiteral("width")] = Width;
    o[QStringLiteral("height")] = Height;
    o[QStringLiteral("flags")] = Flags;
    o[QStringLiteral("frameTyp")] = FrameTyp;
    o[QStringLiteral("frameWidth")] = FrameWidth;
    o[QStringLiteral("frameColor")] = static_cast<double>(FrameColor);
    o[QStringLiteral("frameStyle")] = FrameStyle;
    o[QStringLiteral("fillColor")] = static_cast<double>(FillColor);
    o[QStringLiteral("format")] = Format;
    o[QStringLiteral("formatStr")] = core::toUnicode(FormatStr);
    o[QStringLiteral("memo")] = linesJson(Memo);
    o[QStringLiteral("script")] = linesJson(Script);
    o[QStringLiteral("visible")] = Visible;
    o[QStringLiteral("restrictions")] = Restrictions;
    o[QStringLiteral("tag")] = core::toUnicode(Tag);
    o[QStringLiteral("gapX")] = GapX;
    o[QStringLiteral("gapY")] = GapY;
    o[QStringLiteral("bandAlign")] = BandAlign;
}

QColor toQColor(std::uint32_t color) {
    if ((color >> 24) == 0xFF) {
        // System colours: the ones templates use, in their Windows default look.
        switch (color & 0xFF) {
        case 5: return QColor(255, 255, 255);    // window
        case 8: return QColor(0, 0, 0);          // window text
        case 15: return QColor(240, 240, 240);   // button face
        case 16: return QColor(160, 160, 160);   // button shadow
        default: return QColor(128, 128, 128);
        }
    }
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

std::unique_ptr<TfrView> createView(int typeCode, std::string_view className) {
    switch (typeCode) {
    case gtMemo: return std::make_unique<TfrMemoView>();
    case gtPicture: return std::make_unique<TfrPictureView>();
    case gtBand: return std::make_unique<TfrBandView>();
    case gtSubReport: return std::make_unique<TfrSubReportView>();
    case gtLine: return std::make_unique<TfrLineView>();
    case gtAddIn:
        if (const AddinClass* addin = addinRegistry().Find(className))
            return addin->create();
        return nullptr;
    default: return nullptr;
    }
}

std::unique_ptr<TfrView> cloneView(const TfrView& view) {
    std::unique_ptr<TfrView> copy = createView(view.TypeCode(), view.ClassName());
    if (!copy)
        return nullptr;
    RecordWriter out;
    view.WriteRecord(out);
    RecordReader in(out.Bytes());
    copy->ReadRecord(in);
    return copy;
}

void writePreparedObject(const TfrView& view, RecordWriter& out) {
    writeTypeAndClass(view, out);
    view.WriteRecord(out);
}

ViewList readPreparedStream(std::string_view stream, std::string* problem) {
    ViewList views;
    RecordReader in(stream, kCurrentVersion, RecordForm::Prepared);
    if (in.AtEnd())
        return views;
    in.SetVersion(in.ReadByte());
    while (!in.AtEnd()) {
        const int typeCode = in.ReadByte();
        AnsiString className;
        if (typeCode == gtAddIn)
            className = in.ReadVersionedString();
        std::unique_ptr<TfrView> view = createView(typeCode, className);
        if (!view) {
            if (problem)
                *problem = typeCode == gtAddIn ? "object of unknown class " + core::toUtf8(className) + " ends the page"
                                               : "object of type code " + std::to_string(typeCode) + " ends the page";
            break;
        }
        try {
            view->ReadRecord(in);
        } catch (const RecordError& e) {
            // Without end offsets nothing after a damaged body can be found.
            if (problem)
                *problem = std::string("damaged object ends the page: ") + e.what();
            views.push_back(std::move(view));
            break;
        }
        views.push_back(std::move(view));
    }
    return views;
}

std::string writePreparedStream(const ViewList& views) {
    RecordWriter out(RecordForm::Prepared);
    out.WriteByte(kCurrentVersion);
    for (const auto& view : views)
        writePreparedObject(*view, out);
    return out.TakeBytes();
}

} // namespace mirel::tmpl
