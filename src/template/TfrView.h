#pragma once
// TfrView: the base of every object on a template page, with the common record
// every object body begins with, and the small interfaces through which the
// report engine and the designer work with objects without the model knowing
// them.
//
// Positions and sizes are page units, 18 per 5 mm. Colours are 0x00BBGGRR;
// kNoColor means no fill.

#include "template/RecordStream.h"

#include <QColor>
#include <QJsonObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QWidget;

namespace mirel::tmpl {

inline constexpr std::uint32_t kNoColor = 0x1FFFFFFF;
inline constexpr std::uint32_t kButtonFaceColor = 0xFF00000F;
inline constexpr std::uint32_t kWhite = 0xFFFFFF;

// Type codes of object records; 5 to 9 name no object.
enum TypeCode : int {
    gtMemo = 0,
    gtPicture = 1,
    gtBand = 2,
    gtSubReport = 3,
    gtLine = 4,
    gtAddIn = 10,
};

// Display format (an int of four parts): category in bits 24-27, sub-format in
// 16-23, decimal places in 8-15, decimal separator in 0-7. The default is text
// with 2 decimals and '.' as separator: 0x0000022E.
inline constexpr std::int32_t kDefaultFormat = (2 << 8) | '.';

// The frame width as stored: an int n read as n itself when n <= 10, else as
// n / 1000. Whole widths are written as themselves and others as thousandths
// (0.5 -> 500, 1.5 -> 1500, 3 -> 3).
// A stored colour as Qt draws it; system colours (high byte 0xFF) in their
// usual Windows look.
QColor toQColor(std::uint32_t color);

double decodeFrameWidth(std::int32_t stored);
std::int32_t encodeFrameWidth(double width);

class TfrView;

// What writing an object to a prepared page needs from the report engine.
class PrepareContext {
public:
    virtual ~PrepareContext() = default;
    // The per-object hook before output: loads a bound data field and raises the
    // report's before-object event, which may change the working lines.
    virtual void BeforeOutput(TfrView& view, Lines& workingMemo) = 0;
    virtual void RunScript(TfrView& view) = 0;
    // Evaluates an expression text such as "[条形码编号]" and gives its value as
    // text; throws on an expression that cannot be evaluated.
    virtual AnsiString Evaluate(const AnsiString& expression) = 0;
    // Replaces every bracketed expression inside a text by its value.
    virtual AnsiString ExpandText(const AnsiString& text) = 0;
    // Moves an object aligned to the bottom or top of its band (BandAlign 5, 6),
    // or stretched to a cross-tab band's width (4), to its output place. The
    // object's own geometry is given back after it has been written.
    virtual void PlaceOnBand(TfrView& view) { (void)view; }
};

// Where objects tell what they could not draw on a page (a metafile shown as
// a placeholder, a barcode whose text its symbology cannot hold), so that a
// print job reports which label and object came out wrong. An object whose
// Paint throws is reported by the page painter with the exception's message.
class PaintReport {
public:
    virtual ~PaintReport() = default;
    virtual void Failed(const TfrView& view, const QString& message) = 0;
};

// How a page is painted: device pixels per page unit, where the page origin
// lies on the device, and whether the designer paints (expressions are shown
// as typed) or a prepared page is (texts are already evaluated). `report`,
// when set, receives what objects could not draw.
struct PaintContext {
    double scaleX = 1.0;
    double scaleY = 1.0;
    double offsetX = 0.0;
    double offsetY = 0.0;
    bool designMode = true;
    PaintReport* report = nullptr;
};

// An entry of the designer's inspector.
struct PropertyEntry {
    const char* name;
    int kind;
};
namespace property {
inline constexpr int kInteger = 1, kReal = 2, kText = 3, kLines = 4, kColor = 5, kBoolean = 6;
inline constexpr int kEditor = 320;      // an entry whose button opens the object's editor
inline constexpr int kDataField = 321;   // an entry edited with the data-field chooser
} // namespace property

// The object's popup menu in the designer.
class PopupMenu {
public:
    virtual ~PopupMenu() = default;
    virtual void AddCheckItem(const QString& text, bool checked, std::function<void(bool)> toggled) = 0;
};

// What an object's editor needs from the designer.
class DesignerContext {
public:
    virtual ~DesignerContext() = default;
    virtual QWidget* Window() = 0;                   // parent of the editor dialog
    virtual void AddUndoPoint() = 0;                 // before a change is made
    virtual bool ChooseExpression(AnsiString& text) = 0;   // the expression builder
    virtual bool ChooseDataField(AnsiString& field) = 0;   // the data-field chooser
};

// Attributes of an object in an XML template export: each added as a blank,
// the name, "=" and the value in double quotes, the value escaped (CR, LF, '"',
// '<' and '>' become "&#code;").
class XmlAttributes {
public:
    void Add(std::string_view name, std::string_view value);
    const std::string& Text() const { return m_text; }
    static std::string Escape(std::string_view value);

private:
    std::string m_text;
};

class TfrView {
public:
    TfrView() = default;
    virtual ~TfrView() = default;
    TfrView(const TfrView&) = delete;
    TfrView& operator=(const TfrView&) = delete;

    // Identity: the record's type code, the class name add-ins are stored
    // under, and the base of generated names ("Memo" -> "Memo1").
    virtual int TypeCode() const = 0;
    virtual const char* ClassName() const = 0;
    virtual const char* BaseName() const = 0;

    // Record reading and writing: the common record first, then each class's
    // own fields; an override calls its parent first. The reader's version and
    // form say which fields the record holds.
    virtual void ReadRecord(RecordReader& in);
    virtual void WriteRecord(RecordWriter& out) const;

    // The minor record version the writer stores (the major is always 2).
    virtual std::uint8_t WrittenMinorVersion() const { return 0; }

    // Painting (designer, preview, printer and export alike). The base paints the
    // background and the frame.
    virtual void Paint(QPainter& painter, const PaintContext& context);
    virtual void PaintBackground(QPainter& painter, const PaintContext& context);
    virtual void PaintFrame(QPainter& painter, const PaintContext& context);

    // Writes the object to a prepared page stream: type code, class name of an
    // add-in, and the body in prepared form with the evaluated text lines. An
    // invisible object writes nothing. The base keeps the lines as they are
    // after BeforeOutput; PrepareLines lets a class evaluate them.
    virtual void EmitPrepared(PrepareContext& context, RecordWriter& out);

    virtual void ListProperties(std::vector<PropertyEntry>& entries) const;
    virtual void FillPopupMenu(PopupMenu& menu);
    // Opens the object's own editor; false when it has none or nothing changed.
    virtual bool OpenEditor(DesignerContext& context);
    virtual void WriteXmlAttributes(XmlAttributes& attributes) const;

    // A readable description of the fields (for `template dump` and tests):
    // texts as UTF-8, opaque data as byte counts.
    virtual void DescribeJson(QJsonObject& into) const;

    bool Stretched() const { return Flags & 1; }
    void SetStretched(bool on) { Flags = on ? (Flags | 1) : (Flags & ~1); }

    // The record version bytes as read (2 and the class's minor when written).
    std::uint8_t RecordMajor() const { return m_recordMajor; }
    std::uint8_t RecordMinor() const { return m_recordMinor; }
    int RecordVersion() const { return 10 * m_recordMajor + m_recordMinor; }

    // Common record fields.
    AnsiString Name;
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::uint16_t Flags = 1;
    std::uint16_t FrameTyp = 0;        // frame sides: 1 right, 2 bottom, 4 left, 8 top; a band's type
    double FrameWidth = 1.0;
    std::uint32_t FrameColor = 0;
    std::uint16_t FrameStyle = 0;      // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 double
    std::uint32_t FillColor = kNoColor;
    std::int32_t Format = kDefaultFormat;   // design only
    AnsiString FormatStr;                   // design only; a band's data source or condition
    Lines Memo;
    Lines Script;                           // design only
    bool Visible = true;                    // design only
    std::uint16_t Restrictions = 0;
    AnsiString Tag;
    std::int32_t GapX = 2;
    std::int32_t GapY = 1;
    std::uint8_t BandAlign = 0;        // 0 none, 1 left, 2 right, 3 centre, 4 width, 5 bottom, 6 top, 7 rest

protected:
    // Writes type code, class name (add-ins) and the prepared body; used by
    // EmitPrepared once the working lines are final.
    void WritePreparedRecord(RecordWriter& out, Lines& workingMemo);
    // Turns the working lines into the printed text (the text object evaluates
    // its bracketed expressions here); the base leaves them.
    virtual void PrepareLines(PrepareContext& context, Lines& workingMemo);

    void SetRecordVersion(std::uint8_t major, std::uint8_t minor) {
        m_recordMajor = major;
        m_recordMinor = minor;
    }

private:
    std::uint8_t m_recordMajor = 2;
    std::uint8_t m_recordMinor = 0;
    // The frame width as stored, written back unchanged while the width is the
    // one it decodes to (so 2000, read as 2, stays 2000).
    std::int32_t m_storedFrameWidth = 1;
};

// TfrStretcheable: the base of the objects that can grow with their text (text,
// line, rich text). It adds no stored fields.
class TfrStretcheable : public TfrView {};

using ViewList = std::vector<std::unique_ptr<TfrView>>;

// Creates a new object for a record: the built-in class for type codes 0-4, the
// registered add-in of that exact class name for 10, nothing otherwise.
std::unique_ptr<TfrView> createView(int typeCode, std::string_view className = {});

// A copy of an object through its record (designer copy, paste, duplicate).
std::unique_ptr<TfrView> cloneView(const TfrView& view);

// Writes one object in prepared form (type code, class name, body), as a page
// stream holds it, without evaluating anything: a record copy.
void writePreparedObject(const TfrView& view, RecordWriter& out);

// Reads the objects of a prepared page stream: the version byte, then records
// until the end. Stops at an object that cannot be created (an unregistered
// add-in, type codes 5-9), since nothing after it can be found; `problem`,
// when given, then says which object stopped the page (it stays empty for a
// stream read to its end).
ViewList readPreparedStream(std::string_view stream, std::string* problem = nullptr);
std::string writePreparedStream(const ViewList& views);

} // namespace mirel::tmpl
