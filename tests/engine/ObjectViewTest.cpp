// The barcode and PDF417 template objects: defaults and the frame a new object
// takes, their record tails byte by byte, painting in the designer and on
// prepared pages (read back with zxing-cpp), XML attributes, inspector entries,
// popup menu, editor hook and registration.

#include "ReportBuilder.h"
#include "template/AddinRegistry.h"
#include "template/Fixture.h"

#include <QImage>
#include <QPainter>
#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>

namespace mirel {
namespace {

using barcode::TfrBarCodeView;
using mirel::test::ansi;
using pdf417::Tfr2BarCodePDFView;
using tmpl::test::Common;
using tmpl::test::Fx;

// Bytes a reader of the given format finds in the image, or nothing.
std::optional<std::string> readSymbol(const QImage& image, ZXing::BarcodeFormat format) {
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum,
                                static_cast<int>(gray.bytesPerLine()));
    const ZXing::Result result = ZXing::ReadBarcode(view, ZXing::DecodeHints().setFormats(format).setTryHarder(true));
    if (!result.isValid())
        return std::nullopt;
    return std::string(result.bytes().begin(), result.bytes().end());
}

struct Painted {
    QImage image;
    std::vector<std::string> failures;
};

// Paints one object on a white image, `scale` pixels per page unit.
Painted paint(tmpl::TfrView& view, bool designMode, double scale = 1.0, QSize size = {400, 200},
              bool withReceiver = true) {
    Painted p;
    p.image = QImage(size, QImage::Format_RGB32);
    p.image.fill(Qt::white);
    QPainter painter(&p.image);
    tmpl::PaintContext context;
    context.scaleX = context.scaleY = scale;
    context.designMode = designMode;
    struct Report final : tmpl::PaintReport {
        const tmpl::TfrView& view;
        std::vector<std::string>& failures;
        Report(const tmpl::TfrView& v, std::vector<std::string>& f) : view(v), failures(f) {}
        void Failed(const tmpl::TfrView& v, const QString& message) override {
            EXPECT_EQ(&v, &view);
            failures.push_back(message.toStdString());
        }
    } report(view, p.failures);
    if (withReceiver)
        context.report = &report;
    view.Paint(painter, context);
    return p;
}

// The smallest rectangle holding every dark pixel; empty when there is none.
QRect inkOf(const QImage& image) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

bool allWhite(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return true;
}

TfrBarCodeView& framed(TfrBarCodeView& view, int left, int top, int width, int height) {
    view.Left = left;
    view.Top = top;
    view.Width = width;
    view.Height = height;
    return view;
}

TEST(BarcodeViewTest, NewObjectTakesTheWidthOfItsSymbol) {
    // Code 39 of "12345678" with its check character '-': 11 characters of 12
    // modules and a gap of one between them, 11 x 13 - 1 = 142 modules.
    struct Case {
        double zoom, rotation;
        int width, height;
    };
    const Case cases[] = {{1, 0, 142, 60}, {2, 0, 284, 60}, {1, 90, 60, 142}, {1, 270, 60, 142}, {1, 180, 142, 60}};
    for (const Case& c : cases) {
        TfrBarCodeView view;
        EXPECT_EQ(view.Memo, tmpl::Lines{"12345678"});
        EXPECT_STREQ(view.BaseName(), "Bar");
        EXPECT_EQ(view.BarType, barcode::bcCode39);
        EXPECT_TRUE(view.CalcCheckSum);
        EXPECT_TRUE(view.ShowText);
        EXPECT_EQ(view.ReservedValue, 1);
        framed(view, 0, 0, 60, 60);
        view.Zoom = c.zoom;
        view.Rotation = c.rotation;
        const Painted p = paint(view, true, 1.0, {400, 400});
        EXPECT_EQ(view.Width, c.width) << c.zoom << " " << c.rotation;
        EXPECT_EQ(view.Height, c.height) << c.zoom << " " << c.rotation;
        EXPECT_FALSE(inkOf(p.image).isEmpty());
    }
}

TEST(BarcodeViewTest, PreparedPagesPrintTheTextAndNeverTheSample) {
    struct Case {
        std::uint8_t type;
        const char* memo;
        bool designMode;
        const char* read;        // what a reader finds; nullptr: nothing is drawn
        int width;               // frame width afterwards
        bool reported;
    };
    const Case cases[] = {
        // The designer shows the sample for an expression and for a text that is
        // no number where the symbology takes numbers only (EAN-13 of 12345678
        // shows 0000123456784, 95 modules).
        {barcode::bcCode128B, "[条形码编号]", true, "12345678", 0, false},
        {barcode::bcCodeEAN13, "abc", true, "0000123456784", 95, false},
        // A prepared page holds the evaluated text: printed as it is, even when it
        // begins with "[", and a text that is no number prints nothing at all.
        {barcode::bcCode128B, "[abc]", false, "[abc]", 0, false},
        {barcode::bcCodeEAN13, "abc", false, nullptr, 50, true},
        {barcode::bcCodeEAN13, "690123456789", false, "6901234567892", 95, false},
        // "0" is what a failed evaluation leaves: no symbol for any symbology.
        {barcode::bcCode39, "0", false, nullptr, 50, false},
        {barcode::bcCodeEAN13, "0", false, nullptr, 50, false},
        {barcode::bcCode39, " 0 ", false, nullptr, 50, false},
        {barcode::bcCodeEAN13, "0", true, nullptr, 50, false},
    };
    for (const Case& c : cases) {
        TfrBarCodeView view;
        framed(view, 5, 5, 50, 40);
        view.BarType = c.type;
        view.Memo = {ansi(c.memo)};
        view.FrameTyp = 15;   // a frame would show if anything were drawn
        view.Name = "Bar9";
        const Painted p = paint(view, c.designMode, 3.0, {600, 200});
        const std::string what = std::string(c.memo) + (c.designMode ? " (designer)" : " (prepared)");
        const auto format = c.type == barcode::bcCodeEAN13 ? ZXing::BarcodeFormat::EAN13 : ZXing::BarcodeFormat::Code128;
        if (c.read) {
            EXPECT_EQ(readSymbol(p.image, format), std::optional<std::string>(c.read)) << what;
        } else {
            EXPECT_TRUE(allWhite(p.image)) << what;
        }
        if (c.width) {
            EXPECT_EQ(view.Width, c.width) << what;
        }
        EXPECT_EQ(p.failures.size(), c.reported ? 1u : 0u) << what;
        if (c.reported && !p.failures.empty()) {
            EXPECT_EQ(p.failures.front(), "\"abc\" is not a number, which EAN13 needs; nothing printed");
        }
    }
}

TEST(BarcodeViewTest, NothingAtAllForOneEmptyLineOrANegativeFrame) {
    for (int variant = 0; variant < 2; ++variant) {
        TfrBarCodeView view;
        framed(view, 5, 5, 100, 40);
        view.FrameTyp = 15;
        view.FillColor = 0x0000FF;
        if (variant == 0)
            view.Memo = {""};
        else
            view.Height = -1;
        EXPECT_TRUE(allWhite(paint(view, true).image)) << variant;
        EXPECT_TRUE(allWhite(paint(view, false).image)) << variant;
        EXPECT_EQ(view.Width, 100);
    }
}

TEST(BarcodeViewTest, EncoderErrorsReachTheDesignerAndAreReportedOnPreparedPages) {
    TfrBarCodeView view;
    framed(view, 0, 0, 50, 40);
    view.BarType = barcode::bcCodeEAN13;
    view.Memo = {"12.5"};   // reads as a number, but the encoder takes digits only
    EXPECT_ANY_THROW(paint(view, true));
    EXPECT_ANY_THROW(paint(view, false, 1.0, {400, 200}, false));
    view.Name = "Bar7";
    const Painted p = paint(view, false);
    ASSERT_EQ(p.failures.size(), 1u);
    EXPECT_EQ(p.failures.front(), "Barcode must be numeric");
    EXPECT_TRUE(allWhite(p.image));
}

TEST(BarcodeViewTest, DecimalNumbersAsTheNumericCheckReadsThem) {
    for (const char* yes : {"123", "  -3", "+1.5", "1e5", "2.5E-3", ".5", "5."})
        EXPECT_TRUE(barcode::readsAsDecimalNumber(yes)) << yes;
    for (const char* no : {"", " ", "abc", "12a", "1 ", "1e", "--1", ".", "1.2.3", "\t1"})
        EXPECT_FALSE(barcode::readsAsDecimalNumber(no)) << no;
}

// The 24-byte tail after the common record.
Fx& barcodeTail(Fx& f) {
    return f.u8(0).u8(1).u8(7).u8(14).i32(0x12345678).f64(1.5).f64(90.0);
}

TEST(BarcodeViewTest, TailIsReadAndWrittenInFullAtEveryVersion) {
    Common common;
    common.name = "Bar1";
    common.minor = 5;
    common.memo = {"[no]"};
    Fx record;
    tmpl::test::common25(record, common);
    const size_t tailAt = record.pos();
    barcodeTail(record);

    TfrBarCodeView view;
    tmpl::RecordReader in(record.b);
    view.ReadRecord(in);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_FALSE(view.CalcCheckSum);
    EXPECT_TRUE(view.ShowText);
    EXPECT_EQ(view.ReservedFlag, 7);
    EXPECT_EQ(view.BarType, 14);
    EXPECT_EQ(view.ReservedValue, 0x12345678);
    EXPECT_EQ(view.Zoom, 1.5);
    EXPECT_EQ(view.Rotation, 90.0);
    EXPECT_EQ(view.Memo, tmpl::Lines{"[no]"});

    // Written back byte for byte, the minor record version it read included.
    tmpl::RecordWriter out;
    view.WriteRecord(out);
    EXPECT_EQ(out.Bytes(), record.b);
    EXPECT_EQ(out.Bytes().substr(tailAt), Fx().u8(0).u8(1).u8(7).u8(14).i32(0x12345678).f64(1.5).f64(90.0).b);
    // A new object writes 0 there.
    tmpl::RecordWriter fresh;
    TfrBarCodeView().WriteRecord(fresh);
    EXPECT_EQ(fresh.Bytes()[2 + 1 + 1], 0);   // counted empty name (3 bytes), major 2, minor

    // A version-23 record (no record version, tag, gaps) still carries the whole tail.
    Fx old;
    old.counted("Bar2");                                             // name
    old.i32(1).i32(2).i32(3).i32(4).u16(1).u16(0).i32(1).i32(0);     // position, flags, frame
    old.u16(0).i32(0x1FFFFFFF).i32(0x22E).counted("");               // style, fill, display format
    old.lines({"X"}).lines({}).u16(0xFFFF);                          // memo, script, visible
    barcodeTail(old);
    TfrBarCodeView fromOld;
    tmpl::RecordReader oldIn(old.b, 23);
    fromOld.ReadRecord(oldIn);
    EXPECT_TRUE(oldIn.AtEnd());
    EXPECT_EQ(fromOld.Name, "Bar2");
    EXPECT_EQ(fromOld.BarType, 14);
    EXPECT_EQ(fromOld.Rotation, 90.0);
}

TEST(BarcodeViewTest, XmlAttributesInspectorPopupAndEditor) {
    TfrBarCodeView view;
    view.Name = "Bar1";
    view.Memo = {"[frDBDataSet1.\"key1\"]", "ignored"};
    view.BarType = 14;
    view.ShowText = false;
    view.Zoom = 1.5;
    view.Rotation = 90;
    tmpl::XmlAttributes a;
    view.WriteXmlAttributes(a);
    EXPECT_TRUE(a.Text().ends_with(" Text=\"[frDBDataSet1.&#34;key1&#34;]\" BarType=\"14\" CalcCheckSum=\"1\""
                                   " Rotation=\"90\" ShowText=\"0\" Zoom=\"1.5\""
                                   " DataSet=\"Form1.frDBDataSet1\" DataField=\"key1\""))
        << a.Text();
    EXPECT_TRUE(a.Text().starts_with(" Name=\"Bar1\"")) << a.Text();

    // A literal text names no field; no text at all writes no Text.
    view.Memo = {"A<B>"};
    tmpl::XmlAttributes literal;
    view.WriteXmlAttributes(literal);
    EXPECT_TRUE(literal.Text().ends_with(" Text=\"A&#60;B&#62;\" BarType=\"14\" CalcCheckSum=\"1\" Rotation=\"90\""
                                         " ShowText=\"0\" Zoom=\"1.5\""))
        << literal.Text();
    view.Memo.clear();
    tmpl::XmlAttributes none;
    view.WriteXmlAttributes(none);
    EXPECT_EQ(none.Text().find("Text="), none.Text().find("ShowText=") + 4);

    std::vector<tmpl::PropertyEntry> entries;
    view.ListProperties(entries);
    ASSERT_EQ(entries.size(), 19u);
    EXPECT_STREQ(entries[0].name, "Name");
    EXPECT_STREQ(entries[16].name, "Restrictions");
    EXPECT_STREQ(entries[17].name, "Barcode");
    EXPECT_EQ(entries[17].kind, 320);
    EXPECT_STREQ(entries[18].name, "DataField");
    EXPECT_EQ(entries[18].kind, 321);

    struct Menu final : tmpl::PopupMenu {
        int items = 0;
        void AddCheckItem(const QString&, bool, std::function<void(bool)>) override { ++items; }
    } menu;
    view.FillPopupMenu(menu);
    EXPECT_EQ(menu.items, 0);

    struct Designer final : tmpl::DesignerContext {
        QWidget* Window() override { return nullptr; }
        void AddUndoPoint() override {}
        bool ChooseExpression(AnsiString&) override { return false; }
        bool ChooseDataField(AnsiString&) override { return false; }
    } designer;
    EXPECT_FALSE(view.OpenEditor(designer));
    TfrBarCodeView* edited = nullptr;
    TfrBarCodeView::SetEditor([&](TfrBarCodeView& v, tmpl::DesignerContext&) {
        edited = &v;
        return true;
    });
    EXPECT_TRUE(view.OpenEditor(designer));
    EXPECT_EQ(edited, &view);
    TfrBarCodeView::SetEditor({});
}

TEST(Pdf417ViewTest, NewObjectShowsItsTextAtTheTopLeftOfTheFrame) {
    Tfr2BarCodePDFView view;
    EXPECT_EQ(view.Memo, tmpl::Lines{"ABCDEFGH"});
    EXPECT_STREQ(view.BaseName(), "2BarCPDF");
    EXPECT_STREQ(Tfr2BarCodePDFView::BarTypeName(), "PDF417Barcode");
    EXPECT_TRUE(view.CalcCheckSum);
    EXPECT_TRUE(view.ShowText);
    EXPECT_EQ(view.Zoom, 1.0);
    EXPECT_EQ(view.Rotation, 0.0);
    view.Width = 300;
    view.Height = 100;
    // "ABCDEFGH": 3 data columns and 5 rows, (17 x 3 + 69) x 2 = 240 pixels wide
    // and 5 x 8 = 40 high, centred in the 273 x 81 image: from (16, 20).
    const Painted p = paint(view, true, 1.0, {400, 200});
    EXPECT_EQ(inkOf(p.image), QRect(16, 20, 240, 40));
    EXPECT_EQ(readSymbol(p.image, ZXing::BarcodeFormat::PDF417), std::optional<std::string>("ABCDEFGH"));
    // Twice the scale: the image is stretched with the object.
    const Painted twice = paint(view, true, 2.0, {700, 250});
    EXPECT_EQ(inkOf(twice.image), QRect(32, 40, 480, 80));
    // The same text again keeps its generator.
    const pdf417::TStPDF417Barcode* generator = view.Generator();
    paint(view, true);
    EXPECT_EQ(view.Generator(), generator);
    view.Memo = {"other"};
    paint(view, true);
    EXPECT_EQ(view.Generator()->Code(), "other");
}

TEST(Pdf417ViewTest, TheImageIsCutAtTheFrameAndWhiteBeyondIt) {
    Tfr2BarCodePDFView view;
    view.Left = 10;
    view.Top = 10;
    view.Width = 100;
    view.Height = 50;
    QImage image(300, 120, QImage::Format_RGB32);
    image.fill(qRgb(200, 200, 200));
    {
        QPainter painter(&image);
        tmpl::PaintContext context;
        view.Paint(painter, context);
    }
    // Inside the frame: the top-left 100 x 50 of the image (its left quiet zone
    // and the start of the symbol); outside it, untouched.
    EXPECT_EQ(image.pixel(5, 5), qRgb(200, 200, 200));
    EXPECT_EQ(image.pixel(115, 30), qRgb(200, 200, 200));
    EXPECT_EQ(image.pixel(12, 12), qRgb(255, 255, 255));
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 100)
                ink |= QRect(x, y, 1, 1);
    EXPECT_EQ(ink, QRect(10 + 16, 10 + 20, 100 - 16, 50 - 20));

    // A frame larger than the image is white beyond the image.
    view.Width = 350;
    view.Height = 100;
    const Painted big = paint(view, true, 1.0, {400, 200});
    for (int x = 10 + 273; x < 10 + 350; ++x)
        EXPECT_EQ(big.image.pixel(x, 50), qRgb(255, 255, 255));
}

TEST(Pdf417ViewTest, PreparedTextsEmptyLinesAndRefusedTexts) {
    Tfr2BarCodePDFView view;
    view.Width = 300;
    view.Height = 100;
    view.FrameTyp = 15;
    // A failed evaluation prints the symbol of "0"; a prepared 2D-code text holds
    // its line breaks and code page bytes.
    for (const std::string& text : {std::string("0"), ansi("第一行\r\n第二行")}) {
        view.Memo = {text};
        EXPECT_EQ(readSymbol(paint(view, false).image, ZXing::BarcodeFormat::PDF417), std::optional(text));
    }
    // No text at all: the symbol of the empty text, 2 columns, (34 + 69) x 2 = 206
    // pixels from (273 - 206) / 2 = 33.
    view.FrameTyp = 0;
    view.Memo.clear();
    EXPECT_EQ(inkOf(paint(view, false).image), QRect(33, 20, 206, 40));
    // One empty line: nothing at all, not even the frame.
    view.FrameTyp = 15;
    view.Memo = {""};
    EXPECT_TRUE(allWhite(paint(view, true).image));
    // More than a symbol holds: the designer gets the error, a prepared page
    // reports it and draws nothing.
    view.Name = "2BarCPDF1";
    view.Memo = {std::string(4000, 'a')};
    EXPECT_THROW(paint(view, true), pdf417::E2DBarcodeError);
    const Painted p = paint(view, false);
    ASSERT_EQ(p.failures.size(), 1u);
    EXPECT_FALSE(p.failures.front().empty());
    EXPECT_TRUE(allWhite(p.image));
}

TEST(Pdf417ViewTest, TailKeepsWhatItReadButTheMinorVersion) {
    Common common;
    common.name = "2BarCPDF1";
    common.minor = 3;
    common.memo = {"[二维码]"};
    Fx record;
    tmpl::test::common25(record, common);
    record.u8(1).u8(0).u8(9).i32(0xDEADBEEF).i32(-7).f64(2.0).f64(270.0);

    Tfr2BarCodePDFView view;
    tmpl::RecordReader in(record.b);
    view.ReadRecord(in);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_TRUE(view.CalcCheckSum);
    EXPECT_FALSE(view.ShowText);
    EXPECT_EQ(view.ReservedByte, 9);
    EXPECT_EQ(view.BarTypeField, static_cast<std::int32_t>(0xDEADBEEF));
    EXPECT_EQ(view.ReservedValue, -7);
    EXPECT_EQ(view.Zoom, 2.0);
    EXPECT_EQ(view.Rotation, 270.0);

    tmpl::RecordWriter out;
    view.WriteRecord(out);
    std::string expected = record.b;
    expected[common.name.size() + 3 + 1] = 0;   // the minor record version is written as 0
    EXPECT_EQ(out.Bytes(), expected);

    tmpl::XmlAttributes a;
    view.Memo = {"Form1.frDBDataSet2.'name'"};
    view.WriteXmlAttributes(a);
    EXPECT_TRUE(a.Text().ends_with(" Text=\"Form1.frDBDataSet2.'name'\" BarType=\"-559038737\" CalcCheckSum=\"1\""
                                   " Rotation=\"270\" ShowText=\"0\" Zoom=\"2\""
                                   " DataSet=\"Form1.frDBDataSet2\" DataField=\"name\""))
        << a.Text();
    std::vector<tmpl::PropertyEntry> entries;
    view.ListProperties(entries);
    ASSERT_EQ(entries.size(), 19u);
    EXPECT_STREQ(entries[17].name, "Barcode");
    EXPECT_EQ(entries[17].kind, 320);
    EXPECT_STREQ(entries[18].name, "DataField");
    EXPECT_EQ(entries[18].kind, 321);
}

TEST(ObjectViewTest, BothObjectsAreRegisteredAddIns) {
    engine::test::registerBarcodeObjects();
    for (const char* name : {"TfrBarCodeView", "Tfr2BarCodePDFView"}) {
        const tmpl::AddinClass* addin = tmpl::addinRegistry().Find(name);
        ASSERT_NE(addin, nullptr) << name;
        EXPECT_EQ(addin->hint, QStringLiteral("插入 Barcode 对象"));
        EXPECT_EQ(addin->buttonPicture.size(), QSize(22, 22));
        EXPECT_FALSE(inkOf(addin->buttonPicture).isEmpty());
        const auto view = tmpl::createView(tmpl::gtAddIn, name);
        ASSERT_NE(view, nullptr);
        EXPECT_STREQ(view->ClassName(), name);
        EXPECT_EQ(view->TypeCode(), 10);
    }
    // Class names are compared exactly.
    EXPECT_EQ(tmpl::createView(tmpl::gtAddIn, "TFRBARCODEVIEW"), nullptr);
}

} // namespace
} // namespace mirel
