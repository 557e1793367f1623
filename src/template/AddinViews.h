#pragma once
// The general-purpose add-in objects: shape, rounded rectangle, check box, rich
// text, OLE object, chart and cross-tab. Stored with type code 10 and their
// class name; each body is the common record (for the rounded rectangle a whole
// text-object body) followed by the class's own fields. Data the system cannot
// interpret (rich text, OLE storage, chart pictures, reserved bytes) is kept as
// stored and written back unchanged.

#include "template/BuiltinViews.h"

namespace mirel::tmpl {

class TfrShapeView : public TfrView {
public:
    enum Kind : std::uint8_t { skRectangle, skRoundRectangle, skEllipse, skTriangle, skDiagonal1, skDiagonal2 };

    int TypeCode() const override { return gtAddIn; }
    const char* ClassName() const override { return "TfrShapeView"; }
    const char* BaseName() const override { return "Shape"; }

    void ReadRecord(RecordReader& in) override;
    void WriteRecord(RecordWriter& out) const override;
    void DescribeJson(QJsonObject& into) const override;

    // Outline of FrameWidth in FrameColor, filled with FillColor unless none.
    void Paint(QPainter& painter, const PaintContext& context) override;

    std::uint8_t Shape = skRectangle;
};

// A text object with a shadow or a gradient and rounded corners. In gradient
// mode ShadowWidth is -99, ShadowColor is the start colour, FillColor the end
// colour and RoundSize the gradient style.
class TfrRoundRectView : public TfrMemoView {
public:
    static constexpr std::int32_t kGradientMark = -99;

    TfrRoundRectView() { FrameTyp = 255; }

    int TypeCode() const override { return gtAddIn; }
    const char* ClassName() const override { return "TfrRoundRectView"; }
    const char* BaseName() const override { return "RoundRect"; }

    void ReadRecord(RecordReader& in) override;
    void WriteRecord(RecordWriter& out) const override;
    void DescribeJson(QJsonObject& into) const override;

    // The shadow (or the gradient), the box with rounded corners, the text.
    void Paint(QPainter& painter, const PaintContext& context) override;

    bool Gradient() const { return ShadowWidth == kGradientMark; }
    // On: ShadowWidth -99 and gradient style 0; off: ShadowWidth 10.
    void SetGradient(bool on);
    std::int32_t Style() const { return RoundSize; }   // gradient style in gradient mode

    std::uint32_t ShadowColor = 0x808080;
    std::int32_t ShadowWidth = 6;
    std::uint8_t FullFrame = 1;   // recomputed when drawn: all four sides set
    std::uint8_t RoundRect = 1;
    std::int32_t RoundSize = 10;
};

class TfrCheckBoxView : public TfrView {
public:
    enum Style : std::uint8_t { csCross, csCheck };

    TfrCheckBoxView() {
        FrameWidth = 2;
        FrameTyp = 15;
    }

    int TypeCode() const override { return gtAddIn; }
    const char* ClassName() const override { return "TfrCheckBoxView"; }
    const char* BaseName() const override { return "Check"; }

    void ReadRecord(RecordReader& in) override;
    void WriteRecord(RecordWriter& out) const override;
    void DescribeJson(QJsonObject& into) const override;

    // Background, the mark when checked (the first text line does not begin
    // with "0"; in the designer the mark is always shown), frame.
    void Paint(QPainter& painter, const PaintContext& context) override;
    bool Checked(const PaintContext& context) const;

    std::uint8_t CheckStyle = csCross;   // from version 24
    std::uint32_t CheckColor = 0;
};

class TfrRichView : public TfrStretcheable {
public:
    int TypeCode() const override { return gtAddIn; }
    const char* ClassName() const override { return "TfrRichView"; }
    const char* BaseName() const override { return "Rich"; }

    void ReadRecord(RecordReader& in) override;
    void WriteRecord(RecordWriter& out) const override;
    void DescribeJson(QJsonObject& into) const override;

    // Background, the plain text of the rich text laid out as the text of a
    // text object in the default font, frame.
    void Paint(QPainter& painter, const PaintContext& context) override;

    std::string RichText;   // Rich Text Format bytes as stored; empty: no content
};

class TfrOLEView : public TfrView {
public:
    static constexpr std::int32_t kSignature = 0x434F4442;   // "BDOC"

    int TypeCode() const override { return gtAddIn; }
    const char* ClassName() const override { return "TfrOLEView"; }
    const char* BaseName() const override { return "Ole"; }

    void ReadRecord(RecordReader& in) override;
    void WriteRecord(RecordWriter& out) const override;
    void DescribeJson(QJsonObject& into) const override;

    // Background, a placeholder for the embedded object, frame.
    void Paint(QPainter& painter, const PaintContext& context) override;

    bool HasObject = false;
    std::int32_t DrawAspect = 1;   // DVASPECT_CONTENT
    std::string Storage;           // the OLE compound file as stored
};

class TfrChartView : public TfrView {
public:
    TfrChartView() { Flags |= 0x8000; }

    int TypeCode() const override { return gtAddIn; }
    const char* ClassName() const override { return "TfrChartView"; }
    const char* BaseName() const override { return "Chart"; }

    void ReadRecord(RecordReader& in) override;
    void WriteRecord(RecordWriter& out) const override;
    void DescribeJson(QJsonObject& into) const override;

    // Background, a placeholder for the chart (its picture is a metafile,
    // which cannot be drawn here), frame.
    void Paint(QPainter& painter, const PaintContext& context) override;

    // Written as a chart definition when it has text lines or object names; as
    // the stored chart picture otherwise.
    bool WritesDefinition() const;

    std::uint8_t ChartType = 0;   // 0 line, 1 area, 2 point, 3 bar, 4 horizontal bar, 5 pie
    // "3D", "Single", "Captions", "Rules", "Comments", "Colored".
    std::array<std::uint8_t, 6> Options = {1, 1, 1, 0, 1, 1};
    std::uint8_t CaptionStyle = 0;   // 0 value, 1 percent, 2 name, 3 name percent, 4 name value
    std::int32_t Top10Count = 0;
    std::string Reserved = std::string(36, '\0');
    AnsiString CaptionsObject;
    AnsiString DataObject;
    AnsiString Top10Caption;
    std::string Picture;   // Windows metafile of the chart, as stored
};

class TfrCrossView : public TfrView {
public:
    TfrCrossView() {
        Flags = 0x6001;
        FrameTyp = 15;
        Restrictions = 17;
        Width = 348;
        Height = 94;
        Visible = false;
    }

    int TypeCode() const override { return gtAddIn; }
    const char* ClassName() const override { return "TfrCrossView"; }
    const char* BaseName() const override { return "Cross"; }
    std::uint8_t WrittenMinorVersion() const override { return 3; }

    void ReadRecord(RecordReader& in) override;
    void WriteRecord(RecordWriter& out) const override;
    void DescribeJson(QJsonObject& into) const override;

    // Background and frame with a placeholder: a cross-tab's cells come from
    // its data when a report is prepared.
    void Paint(QPainter& painter, const PaintContext& context) override;

    // The text objects that give a cross-tab its cell and header formats are
    // named by these part names followed by the cross-tab's name.
    static const std::array<const char*, 7> kPartNames;

    std::uint8_t InternalFrame = 0;
    std::uint8_t RepeatCaptions = 1;
    std::uint8_t ShowHeader = 1;
    std::uint8_t ShowGrandTotal = 1;
    std::int32_t DataWidth = -1;
    std::int32_t HeaderWidth = -1;
    AnsiString Dictionary;   // lines joined by CR LF
    std::int32_t MaxNameLen = 100;
    AnsiString DataCaption = "Data";
};

} // namespace mirel::tmpl
