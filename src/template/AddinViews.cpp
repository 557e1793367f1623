#include "template/AddinViews.h"

#include "core/Encoding.h"

#include <QJsonArray>

namespace mirel::tmpl {

const std::array<const char*, 7> TfrCrossView::kPartNames = {
    "ColumnHeaderMemo", "ColumnTotalMemo", "GrandColumnTotalMemo", "RowHeaderMemo",
    "CellMemo",         "RowTotalMemo",    "GrandRowTotalMemo",
};

void TfrShapeView::ReadRecord(RecordReader& in) {
    TfrView::ReadRecord(in);
    Shape = in.ReadByte();
}

void TfrShapeView::WriteRecord(RecordWriter& out) const {
    TfrView::WriteRecord(out);
    out.WriteByte(Shape);
}

void TfrShapeView::DescribeJson(QJsonObject& o) const {
    TfrView::DescribeJson(o);
    o[QStringLiteral("shape")] = Shape;
}

void TfrRoundRectView::SetGradient(bool on) {
    if (on) {
        ShadowWidth = kGradientMark;
        RoundSize = 0;
    } else {
        ShadowWidth = 10;
    }
}

void TfrRoundRectView::ReadRecord(RecordReader& in) {
    TfrMemoView::ReadRecord(in);
    ShadowColor = in.ReadColor();
    ShadowWidth = in.ReadInt();
    FullFrame = in.ReadByte();
    RoundRect = in.ReadByte();
    RoundSize = in.ReadInt();
}

void TfrRoundRectView::WriteRecord(RecordWriter& out) const {
    TfrMemoView::WriteRecord(out);
    out.WriteColor(ShadowColor);
    out.WriteInt(ShadowWidth);
    out.WriteByte(FullFrame);
    out.WriteByte(RoundRect);
    out.WriteInt(RoundSize);
}

void TfrRoundRectView::DescribeJson(QJsonObject& o) const {
    TfrMemoView::DescribeJson(o);
    o[QStringLiteral("shadowColor")] = static_cast<double>(ShadowColor);
    o[QStringLiteral("shadowWidth")] = ShadowWidth;
    o[QStringLiteral("fullFrame")] = FullFrame;
    o[QStringLiteral("roundRect")] = RoundRect;
    o[QStringLiteral("roundSize")] = RoundSize;
    o[QStringLiteral("gradient")] = Gradient();
}

void TfrCheckBoxView::ReadRecord(RecordReader& in) {
    TfrView::ReadRecord(in);
    if (in.Version() >= 24) {
        CheckStyle = in.ReadByte();
        CheckColor = in.ReadColor();
    }
}

void TfrCheckBoxView::WriteRecord(RecordWriter& out) const {
    TfrView::WriteRecord(out);
    out.WriteByte(CheckStyle);
    out.WriteColor(CheckColor);
}

void TfrCheckBoxView::DescribeJson(QJsonObject& o) const {
    TfrView::DescribeJson(o);
    o[QStringLiteral("checkStyle")] = CheckStyle;
    o[QStringLiteral("checkColor")] = static_cast<double>(CheckColor);
}

void TfrRichView::ReadRecord(RecordReader& in) {
    TfrView::ReadRecord(in);
    const std::uint8_t hasContent = in.ReadByte();
    const std::int32_t end = in.ReadInt();
    RichText.clear();
    if (hasContent == 1)
        RichText = in.ReadBytesUntil(end);
    // The record goes on at the end offset whatever the text took; never back.
    if (end > static_cast<std::int64_t>(in.Position()))
        in.Seek(static_cast<size_t>(end));
}

void TfrRichView::WriteRecord(RecordWriter& out) const {
    TfrView::WriteRecord(out);
    out.WriteByte(RichText.empty() ? 0 : 1);
    const size_t end = out.WritePlaceholder();
    out.WriteBytes(RichText);
    out.PatchEndOffset(end);
}

void TfrRichView::DescribeJson(QJsonObject& o) const {
    TfrView::DescribeJson(o);
    o[QStringLiteral("richTextBytes")] = static_cast<double>(RichText.size());
}

void TfrOLEView::ReadRecord(RecordReader& in) {
    TfrView::ReadRecord(in);
    HasObject = false;
    Storage.clear();
    if (in.ReadByte() == 0)
        return;
    if (in.ReadInt() != kSignature)
        throw RecordError("Invalid stream format");
    DrawAspect = in.ReadInt();
    const std::int32_t n = in.ReadInt();
    Storage = in.ReadBytes(n > 0 ? static_cast<size_t>(n) : 0);
    HasObject = true;
}

void TfrOLEView::WriteRecord(RecordWriter& out) const {
    TfrView::WriteRecord(out);
    if (!HasObject) {
        out.WriteByte(0);
        return;
    }
    out.WriteByte(1);
    out.WriteInt(kSignature);
    out.WriteInt(DrawAspect);
    out.WriteInt(static_cast<std::int32_t>(Storage.size()));
    out.WriteBytes(Storage);
}

void TfrOLEView::DescribeJson(QJsonObject& o) const {
    TfrView::DescribeJson(o);
    o[QStringLiteral("hasObject")] = HasObject;
    o[QStringLiteral("drawAspect")] = DrawAspect;
    o[QStringLiteral("storageBytes")] = static_cast<double>(Storage.size());
}

bool TfrChartView::WritesDefinition() const {
    // A chart with neither lines nor object names was drawn in the chart
    // component and is stored as its picture. With no picture to store (this
    // system draws none) the definition is written, so nothing is lost.
    return !Memo.empty() || !CaptionsObject.empty() || !DataObject.empty() || Picture.empty();
}

void TfrChartView::ReadRecord(RecordReader& in) {
    TfrView::ReadRecord(in);
    if (in.ReadByte() == 1) {
        const std::int32_t n = in.ReadInt();
        Picture = in.ReadBytes(n > 0 ? static_cast<size_t>(n) : 0);
        return;
    }
    ChartType = in.ReadByte();
    for (std::uint8_t& option : Options)
        option = in.ReadByte();
    CaptionStyle = in.ReadByte();
    Top10Count = in.ReadInt();
    Reserved = in.ReadBytes(36);
    Reserved.resize(36, '\0');
    CaptionsObject = in.ReadCountedString();
    DataObject = in.ReadCountedString();
    Top10Caption = in.ReadCountedString();
}

void TfrChartView::WriteRecord(RecordWriter& out) const {
    TfrView::WriteRecord(out);
    if (!WritesDefinition()) {
        out.WriteByte(1);
        out.WriteInt(static_cast<std::int32_t>(Picture.size()));
        out.WriteBytes(Picture);
        return;
    }
    out.WriteByte(0);
    out.WriteByte(ChartType);
    for (std::uint8_t option : Options)
        out.WriteByte(option);
    out.WriteByte(CaptionStyle);
    out.WriteInt(Top10Count);
    out.WriteBytes(Reserved);
    out.WriteCountedString(CaptionsObject);
    out.WriteCountedString(DataObject);
    out.WriteCountedString(Top10Caption);
}

void TfrChartView::DescribeJson(QJsonObject& o) const {
    TfrView::DescribeJson(o);
    o[QStringLiteral("chartType")] = ChartType;
    QJsonArray options;
    for (std::uint8_t option : Options)
        options.append(option != 0);
    o[QStringLiteral("options")] = options;
    o[QStringLiteral("captionStyle")] = CaptionStyle;
    o[QStringLiteral("top10Count")] = Top10Count;
    o[QStringLiteral("reservedBytes")] = static_cast<double>(Reserved.size());
    o[QStringLiteral("captionsObject")] = core::toUnicode(CaptionsObject);
    o[QStringLiteral("dataObject")] = core::toUnicode(DataObject);
    o[QStringLiteral("top10Caption")] = core::toUnicode(Top10Caption);
    o[QStringLiteral("pictureBytes")] = static_cast<double>(Picture.size());
}

void TfrCrossView::ReadRecord(RecordReader& in) {
    TfrView::ReadRecord(in);
    const int minor = RecordMinor();
    InternalFrame = in.ReadByte();
    RepeatCaptions = in.ReadByte();
    ShowHeader = in.ReadByte();
    if (minor >= 1) {
        ShowGrandTotal = in.ReadByte();
        DataWidth = in.ReadInt();
        HeaderWidth = in.ReadInt();
    }
    if (minor >= 2) {
        Dictionary = in.ReadCountedString();
        MaxNameLen = in.ReadInt();
    }
    if (minor >= 3)
        DataCaption = in.ReadCountedString();
}

void TfrCrossView::WriteRecord(RecordWriter& out) const {
    TfrView::WriteRecord(out);
    out.WriteByte(InternalFrame);
    out.WriteByte(RepeatCaptions);
    out.WriteByte(ShowHeader);
    out.WriteByte(ShowGrandTotal);
    out.WriteInt(DataWidth);
    out.WriteInt(HeaderWidth);
    out.WriteCountedString(Dictionary);
    out.WriteInt(MaxNameLen);
    out.WriteCountedString(DataCaption);
}

void TfrCrossView::DescribeJson(QJsonObject& o) const {
    TfrView::DescribeJson(o);
    o[QStringLiteral("internalFrame")] = InternalFrame;
    o[QStringLiteral("repeatCaptions")] = RepeatCaptions;
    o[QStringLiteral("showHeader")] = ShowHeader;
    o[QStringLiteral("showGrandTotal")] = ShowGrandTotal;
    o[QStringLiteral("dataWidth")] = DataWidth;
    o[QStringLiteral("headerWidth")] = HeaderWidth;
    o[QStringLiteral("dictionary")] = core::toUnicode(Dictionary);
    o[QStringLiteral("maxNameLen")] = MaxNameLen;
    o[QStringLiteral("dataCaption")] = core::toUnicode(DataCaption);
}

} // namespace mirel::tmpl
