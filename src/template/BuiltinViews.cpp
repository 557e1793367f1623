#include "template/BuiltinViews.h"

#include "core/Encoding.h"

#include <QJsonArray>

namespace mirel::tmpl {

const std::array<const char*, 23> kBandTypeNames = {
    "报表标题", "报表合计", "页头", "页脚", "主项头", "主项数据", "主项脚", "细项头",
    "细项数据", "细项脚", "子细项头", "子细项数据", "子细项脚", "覆盖", "栏目头", "栏目脚",
    "分组头", "分组脚", "交叉表头", "交叉表数据", "交叉表脚", "子", "无",
};

void TfrMemoView::ReadRecord(RecordReader& in) {
    TfrView::ReadRecord(in);
    FontName = in.ReadVersionedString();
    FontSize = in.ReadInt();
    FontStyle = in.ReadWord();
    FontColor = in.ReadColor();
    Alignment = in.ReadInt();
    const std::uint16_t charset = in.ReadWord();
    // Before version 23 the stored charset is not trusted: the default applies.
    Charset = in.Version() >= 23 ? charset : 1;
    if (in.DesignMode()) {
        HighlightStyle = in.ReadWord();
        HighlightFontColor = in.ReadColor();
        HighlightFillColor = in.ReadColor();
        Highlight = in.ReadVersionedString();
    }
    if (in.Version() >= 24) {
        LineSpacing = in.ReadInt();
        CharSpacing = in.ReadInt();
    }
    // Text objects of the first format always wrapped their lines.
    if (in.Version() == 21)
        Flags |= kWordWrap;
}

void TfrMemoView::WriteRecord(RecordWriter& out) const {
    TfrView::WriteRecord(out);
    out.WriteCountedString(FontName);
    out.WriteInt(FontSize);
    out.WriteWord(FontStyle);
    out.WriteColor(FontColor);
    out.WriteInt(Alignment);
    out.WriteWord(Charset);
    if (out.DesignMode()) {
        out.WriteWord(HighlightStyle);
        out.WriteColor(HighlightFontColor);
        out.WriteColor(HighlightFillColor);
        out.WriteCountedString(Highlight);
    }
    out.WriteInt(LineSpacing);
    out.WriteInt(CharSpacing);
}

void TfrMemoView::ListProperties(std::vector<PropertyEntry>& entries) const {
    TfrView::ListProperties(entries);
    using namespace property;
    static constexpr PropertyEntry kOwn[] = {
        {"Font", kEditor},       {"Alignment", kInteger},   {"Highlight", kText}, {"LineSpacing", kInteger},
        {"CharSpacing", kInteger}, {"GapX", kInteger},      {"GapY", kInteger},   {"WordWrap", kBoolean},
        {"AutoWidth", kBoolean}, {"TextOnly", kBoolean},
    };
    entries.insert(entries.end(), std::begin(kOwn), std::end(kOwn));
}

void TfrMemoView::PrepareLines(PrepareContext& context, Lines& workingMemo) {
    if (Flags & kTextOnly)
        return;
    for (AnsiString& line : workingMemo)
        if (line.find('[') != AnsiString::npos)
            line = context.ExpandText(line);
}

void TfrMemoView::DescribeJson(QJsonObject& o) const {
    TfrView::DescribeJson(o);
    o[QStringLiteral("fontName")] = core::toUnicode(FontName);
    o[QStringLiteral("fontSize")] = FontSize;
    o[QStringLiteral("fontStyle")] = FontStyle;
    o[QStringLiteral("fontColor")] = static_cast<double>(FontColor);
    o[QStringLiteral("alignment")] = Alignment;
    o[QStringLiteral("charset")] = Charset;
    o[QStringLiteral("highlightStyle")] = HighlightStyle;
    o[QStringLiteral("highlightFontColor")] = static_cast<double>(HighlightFontColor);
    o[QStringLiteral("highlightFillColor")] = static_cast<double>(HighlightFillColor);
    o[QStringLiteral("highlight")] = core::toUnicode(Highlight);
    o[QStringLiteral("lineSpacing")] = LineSpacing;
    o[QStringLiteral("charSpacing")] = CharSpacing;
}

void TfrPictureView::ReadRecord(RecordReader& in) {
    TfrView::ReadRecord(in);
    GraphicKind = in.ReadByte();
    if (RecordVersion() > 10)
        BlobType = in.ReadByte();
    const std::int32_t end = in.ReadInt();
    // The graphic runs to its end offset; an offset before here holds none.
    Graphic = in.ReadBytesUntil(end);
}

void TfrPictureView::WriteRecord(RecordWriter& out) const {
    TfrView::WriteRecord(out);
    out.WriteByte(GraphicKind);
    out.WriteByte(BlobType);
    const size_t end = out.WritePlaceholder();
    out.WriteBytes(Graphic);
    out.PatchEndOffset(end);
}

void TfrPictureView::DescribeJson(QJsonObject& o) const {
    TfrView::DescribeJson(o);
    o[QStringLiteral("graphicKind")] = GraphicKind;
    o[QStringLiteral("blobType")] = BlobType;
    o[QStringLiteral("graphicBytes")] = static_cast<double>(Graphic.size());
}

void TfrBandView::ReadRecord(RecordReader& in) {
    TfrView::ReadRecord(in);
    if (in.Version() >= 24) {
        ChildBand = in.ReadCountedString();
        Columns = in.ReadInt();
        ColumnWidth = in.ReadInt();
        ColumnGap = in.ReadInt();
        NewColumnAfter = in.ReadInt();
        if (RecordVersion() > 20)
            Master = in.ReadCountedString();
    }
}

void TfrBandView::WriteRecord(RecordWriter& out) const {
    TfrView::WriteRecord(out);
    out.WriteCountedString(ChildBand);
    out.WriteInt(Columns);
    out.WriteInt(ColumnWidth);
    out.WriteInt(ColumnGap);
    out.WriteInt(NewColumnAfter);
    out.WriteCountedString(Master);
}

void TfrBandView::DescribeJson(QJsonObject& o) const {
    TfrView::DescribeJson(o);
    o[QStringLiteral("bandType")] = BandType();
    o[QStringLiteral("childBand")] = core::toUnicode(ChildBand);
    o[QStringLiteral("columns")] = Columns;
    o[QStringLiteral("columnWidth")] = ColumnWidth;
    o[QStringLiteral("columnGap")] = ColumnGap;
    o[QStringLiteral("newColumnAfter")] = NewColumnAfter;
    o[QStringLiteral("master")] = core::toUnicode(Master);
}

void TfrSubReportView::ReadRecord(RecordReader& in) {
    TfrView::ReadRecord(in);
    SubPage = in.ReadInt();
}

void TfrSubReportView::WriteRecord(RecordWriter& out) const {
    TfrView::WriteRecord(out);
    out.WriteInt(SubPage);
}

void TfrSubReportView::DescribeJson(QJsonObject& o) const {
    TfrView::DescribeJson(o);
    o[QStringLiteral("subPage")] = SubPage;
}

} // namespace mirel::tmpl
