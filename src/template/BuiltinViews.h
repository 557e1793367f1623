#pragma once
// The engine's own objects: text, picture, band, sub-report and line (type
// codes 0 to 4). Each record is the common record followed by the class's tail.

#include "template/TfrView.h"

#include <array>
#include <string>

namespace mirel::tmpl {

// Font style bits as stored (italic is bit 0, bold bit 1).
inline constexpr std::uint16_t kFontItalic = 1, kFontBold = 2, kFontUnderline = 4, kFontStrikeOut = 8;

// Text object flag bits (bit 0 is Stretched).
inline constexpr std::uint16_t kWordWrap = 2, kWordBreak = 4, kAutoWidth = 8, kTextOnly = 16, kSuppress = 32,
                               kHideZeros = 64, kUnderlines = 128, kRTLReading = 256;

class TfrMemoView : public TfrStretcheable {
public:
    TfrMemoView() { Flags = 1 | kWordWrap; }

    int TypeCode() const override { return gtMemo; }
    const char* ClassName() const override { return "TfrMemoView"; }
    const char* BaseName() const override { return "Memo"; }

    void ReadRecord(RecordReader& in) override;
    void WriteRecord(RecordWriter& out) const override;
    void ListProperties(std::vector<PropertyEntry>& entries) const override;
    void DescribeJson(QJsonObject& into) const override;

    // Background, the text as layoutMemo lays it out, frame.
    void Paint(QPainter& painter, const PaintContext& context) override;

    AnsiString FontName = "Arial";
    std::int32_t FontSize = 10;             // points
    std::uint16_t FontStyle = 0;            // kFontItalic | kFontBold | ...
    std::uint32_t FontColor = 0;
    std::int32_t Alignment = 0;             // bits 0-1 horizontal, bit 2 rotated, bits 3-4 vertical
    std::uint16_t Charset = 1;              // Windows charset in the low byte; 1 = default
    std::uint16_t HighlightStyle = kFontBold;      // design only
    std::uint32_t HighlightFontColor = 0;          // design only
    std::uint32_t HighlightFillColor = kWhite;     // design only
    AnsiString Highlight;                          // design only: the condition
    std::int32_t LineSpacing = 2;           // page units added to the font height
    std::int32_t CharSpacing = 0;           // page units between characters

protected:
    // Evaluates the bracketed expressions of every line unless TextOnly is set.
    void PrepareLines(PrepareContext& context, Lines& workingMemo) override;
};

// Picture kinds as stored: 0 none, 1 bitmap, 2 Windows metafile, 3 icon, 4 JPEG.
class TfrPictureView : public TfrView {
public:
    TfrPictureView() { Flags = 5; }

    int TypeCode() const override { return gtPicture; }
    const char* ClassName() const override { return "TfrPictureView"; }
    const char* BaseName() const override { return "Picture"; }

    void ReadRecord(RecordReader& in) override;
    void WriteRecord(RecordWriter& out) const override;
    void DescribeJson(QJsonObject& into) const override;

    bool Center() const { return Flags & 2; }
    bool KeepAspect() const { return Flags & 4; }

    // Background, the graphic (stretched into the frame, keeping its aspect
    // when KeepAspect is set, centred when Center is set; at one pixel per page
    // unit when not stretched), frame. A metafile, which cannot be drawn here,
    // shows as a framed placeholder; its bytes stay as stored.
    void Paint(QPainter& painter, const PaintContext& context) override;

    std::uint8_t GraphicKind = 0;
    std::uint8_t BlobType = 0;   // 0 BMP, 1 JPG, 2 ICO, 3 WMF
    std::string Graphic;         // the graphic in its own file format, kept as stored
};

// Band types, the number a band keeps in FrameTyp.
enum BandType : int {
    btReportTitle, btReportSummary, btPageHeader, btPageFooter, btMasterHeader, btMasterData, btMasterFooter,
    btDetailHeader, btDetailData, btDetailFooter, btSubDetailHeader, btSubDetailData, btSubDetailFooter,
    btOverlay, btColumnHeader, btColumnFooter, btGroupHeader, btGroupFooter, btCrossHeader, btCrossData,
    btCrossFooter, btChild, btNone,
};
// The designer's names of the band types: 0 "报表标题" ... 22 "无".
extern const std::array<const char*, 23> kBandTypeNames;

class TfrBandView : public TfrView {
public:
    TfrBandView() {
        Flags = 48;
        Format = 0;
    }

    int TypeCode() const override { return gtBand; }
    const char* ClassName() const override { return "TfrBandView"; }
    const char* BaseName() const override { return "Band"; }
    std::uint8_t WrittenMinorVersion() const override { return 1; }

    void ReadRecord(RecordReader& in) override;
    void WriteRecord(RecordWriter& out) const override;
    void DescribeJson(QJsonObject& into) const override;

    // Bands lay out a report; nothing of them is drawn on a page (their
    // FrameTyp is the band type, not frame sides).
    void Paint(QPainter& painter, const PaintContext& context) override;

    int BandType() const { return FrameTyp; }
    void SetBandType(int type) { FrameTyp = static_cast<std::uint16_t>(type); }
    // A data band's data source, or a group header's condition.
    const AnsiString& DataSource() const { return FormatStr; }

    AnsiString ChildBand;
    std::int32_t Columns = 1;
    std::int32_t ColumnWidth = 200;
    std::int32_t ColumnGap = 20;
    std::int32_t NewColumnAfter = 1;
    AnsiString Master;
};

class TfrSubReportView : public TfrView {
public:
    int TypeCode() const override { return gtSubReport; }
    const char* ClassName() const override { return "TfrSubReportView"; }
    const char* BaseName() const override { return "SubReport"; }

    void ReadRecord(RecordReader& in) override;
    void WriteRecord(RecordWriter& out) const override;
    void DescribeJson(QJsonObject& into) const override;

    std::int32_t SubPage = 0;   // index of the page the sub-report prints
};

// A line, drawn with the frame fields: horizontal when its height is smaller
// than its width, vertical otherwise.
class TfrLineView : public TfrStretcheable {
public:
    TfrLineView() {
        FrameTyp = 4;
        FillColor = kWhite;
    }

    int TypeCode() const override { return gtLine; }
    const char* ClassName() const override { return "TfrLineView"; }
    const char* BaseName() const override { return "Line"; }

    // Along the top edge (a horizontal line, FrameTyp 8) or the left edge (a
    // vertical one, FrameTyp 4) with the frame's width, colour and style.
    void Paint(QPainter& painter, const PaintContext& context) override;
};

} // namespace mirel::tmpl
