// The .frf container: version rules, header, page records and paper, the
// dictionary, the information section and password, companion files, failures
// and truncation.

#include "template/AddinViews.h"
#include "template/TfrReport.h"

#include "Fixture.h"
#include "support/TestSupport.h"

#include <QDir>
#include <set>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace mirel::tmpl;
using namespace mirel::tmpl::test;
using mirel::AnsiString;
using mirel::test::ansi;

namespace {

// Two installed printers beside the virtual one; records what was selected.
class TwoPrinters final : public PrinterLayer {
public:
    TwoPrinters() { setPrinters(this); }
    ~TwoPrinters() override { setPrinters(nullptr); }

    QStringList PrinterNames() const override { return {QStringLiteral("Label Printer"), QStringLiteral("Office")}; }
    QString CurrentPrinter() const override { return m_current; }
    bool CurrentIsVirtual() const override { return false; }
    bool SelectPrinter(const QString& name) override {
        m_current = name;
        return true;
    }
    PaperSettings ApplyPaper(const PaperSettings& requested) override {
        PaperSettings p = requested;
        p.bin = 7;   // this printer's only tray
        return p;
    }
    PrintableArea Printable(const PaperSettings& paper) const override { return {40, 40, paper.width - 80, paper.height - 80}; }

    QString m_current = QStringLiteral("Office");
};

std::string minimal25() {
    Fx f;
    header25(f);
    page25(f);
    emptyDictionary(f);
    information(f);
    return f.b;
}

struct Read {
    TfrReport report;
    RecordingHost host;
    LoadResult result;
};

std::unique_ptr<Read> read(const std::string& bytes, std::optional<AnsiString> password = std::nullopt,
                           bool fromFile = false) {
    auto r = std::make_unique<Read>();
    r->host = RecordingHost(std::move(password));
    r->result = r->report.LoadFromBytes(bytes, r->host, fromFile);
    return r;
}

// A report holding one of every object, a dictionary and information.
TfrReport richReport() {
    TfrReport report;
    TfrPage& page = report.Pages.Add();
    page.Script = {"begin", "end"};
    report.Pages.Add().Type = ptDialog;
    for (auto& p : report.Pages)
        p->ApplyPaper();   // as the printer provides it
    auto add = [&](std::unique_ptr<TfrView> view, const char* name) {
        view->Name = name;
        view->Memo = {"[条形码编号]", "line 2"};
        view->Tag = "tag";
        page.Objects.push_back(std::move(view));
    };
    add(std::make_unique<TfrMemoView>(), "Memo1");
    auto picture = std::make_unique<TfrPictureView>();
    picture->GraphicKind = 1;
    picture->Graphic = "BM fake bitmap";
    add(std::move(picture), "Picture1");
    add(std::make_unique<TfrBandView>(), "Band1");
    add(std::make_unique<TfrSubReportView>(), "SubReport1");
    add(std::make_unique<TfrLineView>(), "Line1");
    add(std::make_unique<TfrShapeView>(), "Shape1");
    add(std::make_unique<TfrRoundRectView>(), "RoundRect1");
    add(std::make_unique<TfrCheckBoxView>(), "Check1");
    auto rich = std::make_unique<TfrRichView>();
    rich->RichText = "{\\rtf1 x}";
    add(std::move(rich), "Rich1");
    auto ole = std::make_unique<TfrOLEView>();
    ole->HasObject = true;
    ole->Storage = "storage";
    add(std::move(ole), "Ole1");
    add(std::make_unique<TfrChartView>(), "Chart1");
    add(std::make_unique<TfrCrossView>(), "Cross1");
    report.Dictionary.Variables = {{" 标签", ""}, {"编号", "[条形码编号]"}};
    report.Dictionary.FieldAliases = {{"frDBDataSet1", "codes"}};
    report.Dictionary.BandDataSources = {{"Band1", "frDBDataSet1"}};
    report.Comment = "comment";
    report.Author = ansi("作者");
    report.Password = "pw";
    report.CreateDate = 45000.25;
    return report;
}

} // namespace

TEST(Container, FirstByteBelow21MeansNoVersionByte) {
    // A version-21 file without version byte: print-to-default false starts it.
    for (unsigned first : {0u, 20u}) {
        Fx f;
        f.u16(first).u16(0).zstr("Office");
        f.u8(0xFF).i32(9).i32(2100).i32(2970).i32(0).i32(0).i32(0).i32(0).u8(0).zeros(6).u16(0).u16(1).i32(1).i32(0);
        f.u8(0xFE).u16(0xFFFE).i32(0).i32(0).i32(0).u8(0xFC);
        auto r = read(f.b);
        EXPECT_EQ(r->result.version, 21);
        EXPECT_EQ(r->report.PrintToDefault, first != 0);
        EXPECT_EQ(r->report.PrinterName, "Office");
        EXPECT_EQ(r->report.Pages.Count(), 1u);
        EXPECT_TRUE(r->host.Messages().empty());
    }
}

TEST(Container, NewerVersionsAreRefused) {
    for (unsigned version : {26u, 255u}) {
        auto r = std::make_unique<Read>();
        r->report.Pages.Add().Name = "Kept";
        r->report.Comment = "kept";
        r->report.Dictionary.Variables = {{" c", ""}};
        Fx f;
        f.u8(version).raw(minimal25().substr(1));
        r->result = r->report.LoadFromBytes(f.b, r->host);
        ASSERT_EQ(r->host.Messages().size(), 1u);
        EXPECT_EQ(r->host.Messages()[0].text, QStringLiteral("不支持的FRF格式"));
        EXPECT_EQ(r->host.Messages()[0].caption, QStringLiteral("错误"));
        ASSERT_EQ(r->report.Pages.Count(), 1u);
        EXPECT_EQ(r->report.Pages[0].Name, "Kept");
        EXPECT_EQ(r->report.Comment, "kept");
        EXPECT_TRUE(r->report.Dictionary.Empty());
        EXPECT_TRUE(r->result.messageShown);
    }
}

TEST(Container, EmptyFileKeepsPagesAndEmptiesTheDictionary) {
    Read r;
    r.report.Pages.Add();
    r.report.Dictionary.Variables = {{" c", ""}};
    r.result = r.report.LoadFromBytes("", r.host);
    EXPECT_EQ(r.report.Pages.Count(), 1u);
    EXPECT_TRUE(r.report.Dictionary.Empty());
    EXPECT_TRUE(r.host.Messages().empty());
    EXPECT_FALSE(r.result.messageShown);
}

TEST(Container, DamagedTagPartLeavesOneEmptyPage) {
    for (unsigned tag : {11u, 100u, 251u}) {
        Fx f;
        header25(f);
        page25(f);
        page25(f, "Page2");
        f.u8(tag);
        emptyDictionary(f);
        information(f);
        auto r = read(f.b);
        ASSERT_EQ(r->host.Messages().size(), 1u) << tag;
        EXPECT_EQ(r->host.Messages()[0].text, QStringLiteral("不支持的FRF格式"));
        ASSERT_EQ(r->report.Pages.Count(), 1u);
        EXPECT_TRUE(r->report.Pages[0].Objects.empty());
        EXPECT_EQ(r->report.Pages[0].Name, "Page1");
    }
}

TEST(Container, DataManagerTagEndsTheTaggedPart) {
    Fx f;
    header25(f);
    page25(f);
    f.u8(0xFD).raw("data manager bytes");
    auto r = read(f.b);
    EXPECT_EQ(r->report.Pages.Count(), 1u);
    EXPECT_TRUE(r->host.Messages().empty());
    // Its bytes are not read as the information section.
    EXPECT_EQ(r->report.Comment, "");
    EXPECT_EQ(r->report.GeneratorVersion, 88);
}

TEST(Container, PrinterName) {
    {
        // 0x01 stands for the virtual printer.
        auto r = read(minimal25());
        EXPECT_EQ(r->report.PrinterName, ansi("虚拟打印机"));
    }
    for (bool printToDefault : {false, true}) {
        TwoPrinters printers;
        Fx f;
        header25(f, printToDefault, "Label Printer");
        page25(f);
        emptyDictionary(f);
        auto r = read(f.b);
        EXPECT_EQ(r->report.PrinterName, "Label Printer");
        EXPECT_EQ(printers.m_current, printToDefault ? QStringLiteral("Office") : QStringLiteral("Label Printer"));
        // The writer stores the current printer's name.
        const std::string saved = r->report.SaveToBytes();
        EXPECT_EQ(saved.substr(5, 2 + printers.m_current.size()),
                  Fx().bare(printers.m_current.toStdString()).b);
    }
    {
        // A printer that is not installed stays named but is not selected.
        TwoPrinters printers;
        Fx f;
        header25(f, false, "Gone");
        auto r = read(f.b);
        EXPECT_EQ(r->report.PrinterName, "Gone");
        EXPECT_EQ(printers.m_current, QStringLiteral("Office"));
    }
}

TEST(Container, PageRecordFields) {
    Fx f;
    header25(f);
    f.u8(0xFF).i32(-1).i32(256).i32(1000).i32(500).i32(10).i32(11).i32(12).i32(13).u8(1);
    f.i32(-1).u16(1).u16(0).i32(3).i32(18);
    f.u8(1).counted("Dialog").u8(0).counted("标题").i32(0x00FF00).i32(1).i32(2).i32(3).i32(4).u8(1);
    f.lines({"script"});
    // An older page record: the first int is already the size, no script.
    f.u8(0xFF).i32(11).i32(0).i32(0).i32(0).i32(0).i32(0).i32(0).u8(0);
    f.i32(2).u16(0).u16(1).i32(1).i32(0);
    f.u8(0).counted("Second").u8(1).counted("Form").i32(0).i32(0).i32(0).i32(0).i32(0).u8(0);
    f.u8(0xFC);
    auto r = read(f.b);
    ASSERT_EQ(r->report.Pages.Count(), 2u);
    const TfrPage& p = r->report.Pages[0];
    EXPECT_EQ(p.Size, 256);
    EXPECT_EQ(p.PaperWidth, 1000);   // a custom size keeps its dimensions
    EXPECT_EQ(p.PaperHeight, 500);
    EXPECT_EQ(p.LeftMargin, 10);
    EXPECT_EQ(p.BottomMargin, 13);
    EXPECT_EQ(p.Orientation, 1);
    EXPECT_EQ(p.PaperBin, 65535);   // the default source as a 16-bit value
    EXPECT_TRUE(p.PrintToPrevPage);
    EXPECT_FALSE(p.UseMargins);
    EXPECT_TRUE(p.StretchToPrintable());
    EXPECT_EQ(p.Columns, 3);
    EXPECT_EQ(p.ColumnGap, 18);
    EXPECT_EQ(p.Type, ptDialog);
    EXPECT_EQ(p.Name, "Dialog");
    EXPECT_EQ(p.BorderStyle, 3);   // stored 0
    EXPECT_EQ(p.Caption, "标题");   // code page bytes, kept as stored
    EXPECT_EQ(p.Color, 0x00FF00u);
    EXPECT_EQ(p.Height, 4);
    EXPECT_EQ(p.Position, 4);      // stored 1
    EXPECT_EQ(p.Script, Lines{"script"});
    const TfrPage& q = r->report.Pages[1];
    EXPECT_EQ(q.Size, 11);
    EXPECT_EQ(q.PaperWidth, 1480);   // A5 from the paper table
    EXPECT_EQ(q.PaperHeight, 2100);
    EXPECT_EQ(q.PaperBin, 2);
    EXPECT_EQ(q.BorderStyle, 2);   // stored 1
    EXPECT_EQ(q.Position, 0);
    EXPECT_TRUE(q.Script.empty());
    // The script after "Second" was never there: the end tag followed.
    EXPECT_TRUE(r->host.Messages().empty());
}

TEST(Container, PagesBeforeVersion24KeepNewPageDefaults) {
    Fx f;
    f.u8(22).u16(0).u16(0).zstr("\x01");
    for (int i = 0; i < 2; ++i) {
        f.u8(0xFF).i32(-1).i32(9).i32(0).i32(0).i32(0).i32(0).i32(0).i32(0).u8(1);
        f.raw("sixby").u8(0).u16(0).u16(1).i32(2).i32(5);   // 6 skipped bytes, no bin
    }
    f.u8(0xFC);
    auto r = read(f.b);
    ASSERT_EQ(r->report.Pages.Count(), 2u);
    const TfrPage& p = r->report.Pages[1];
    EXPECT_EQ(p.Name, "Page2");
    EXPECT_EQ(p.PaperWidth, 2970);   // A4 landscape
    EXPECT_EQ(p.PaperHeight, 2100);
    EXPECT_EQ(p.PaperBin, 65535);
    EXPECT_EQ(p.Columns, 2);
    EXPECT_EQ(p.ColumnGap, 5);
    EXPECT_EQ(p.Type, ptReport);
    EXPECT_EQ(p.BorderStyle, 3);
    EXPECT_EQ(p.Caption, "Form");
    EXPECT_EQ(p.Color, 0xFF00000Fu);
    EXPECT_EQ(p.Left, 220);
    EXPECT_EQ(p.Top, 120);
    EXPECT_EQ(p.Width, 380);
    EXPECT_EQ(p.Height, 300);
    EXPECT_EQ(p.Position, 4);
}

TEST(Container, PaperTable) {
    ASSERT_EQ(kPaperSizes.size(), 67u);
    std::set<int> codes;
    for (const PaperSize& p : kPaperSizes)
        codes.insert(p.code);
    EXPECT_EQ(codes.size(), 67u);
    for (int code = 1; code <= 68; ++code)
        EXPECT_EQ(codes.count(code), code == 48 || code == 49 ? 0u : 1u) << code;
    EXPECT_EQ(codes.count(256), 1u);
    // Standard sizes, tenths of a millimetre.
    struct Case {
        int code, width, height;
    };
    for (const Case& c : {Case{9, 2100, 2970}, Case{1, 2159, 2794}, Case{8, 2970, 4200}, Case{11, 1480, 2100},
                          Case{5, 2159, 3556}, Case{20, 1048, 2413}, Case{27, 1100, 2200}, Case{66, 4200, 5940}}) {
        const PaperSize* p = findPaperSize(c.code);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->width, c.width) << c.code;
        EXPECT_EQ(p->height, c.height) << c.code;
    }
    VirtualPrinter v;
    const PaperSettings unknown = v.ApplyPaper({48, 700, 800, 0, 3});
    EXPECT_EQ(unknown.size, 256);
    EXPECT_EQ(unknown.width, 700);
    EXPECT_EQ(unknown.bin, 3);
}

TEST(Container, PagePaperGoesThroughThePrinterLayer) {
    TwoPrinters printers;
    Fx f;
    header25(f);
    page25(f, "Page1", -1);
    page25(f, "Page2", 2);
    auto r = read(f.b);
    EXPECT_EQ(r->report.Pages[0].PaperBin, 65535);   // requested default source
    EXPECT_EQ(r->report.Pages[1].PaperBin, 7);       // what the printer provides
}

TEST(Container, Dictionary) {
    // Current layout, categories marked by a leading space.
    {
        Fx f;
        header25(f);
        f.u8(0xFE).u16(0xFFFE);
        f.i32(3).counted(" 标签").counted("").counted("编号").counted("[条形码编号]").counted("空").counted("");
        f.i32(1).counted("frDBDataSet1").counted("");
        f.i32(1).counted("Band1").counted("");
        f.u8(0xFC);
        auto r = read(f.b);
        const auto& d = r->report.Dictionary;
        EXPECT_EQ(d.Variables, (DictionaryList{{" 标签", ""}, {"编号", "[条形码编号]"}, {"空", ""}}));
        EXPECT_EQ(d.FieldAliases.size(), 1u);
        EXPECT_EQ(d.BandDataSources.size(), 1u);
    }
    // Marker 0xFFFF: empty aliases of unknown datasets and empty band sources
    // are pruned; a first name without space flips every name's mark.
    {
        Fx f;
        header25(f);
        f.u8(0xFE).u16(0xFFFF);
        f.i32(3).counted("Cat").counted("").counted(" v1").counted("1").counted(" v2").counted("");
        f.i32(3).counted("frDBDataSet1").counted("").counted("Other").counted("").counted("A").counted("x");
        f.i32(2).counted("Band1").counted("").counted("Band2").counted("5");
        f.u8(0xFC);
        auto r = std::make_unique<Read>();
        r->report.DatasetExists = [](const AnsiString& name) { return name == "frDBDataSet1"; };
        r->report.LoadFromBytes(f.b, r->host);
        const auto& d = r->report.Dictionary;
        EXPECT_EQ(d.Variables, (DictionaryList{{" Cat", ""}, {"v1", "1"}, {"v2", ""}}));
        EXPECT_EQ(d.FieldAliases, (DictionaryList{{"frDBDataSet1", ""}, {"A", "x"}}));
        EXPECT_EQ(d.BandDataSources, (DictionaryList{{"Band2", "5"}}));
    }
}

TEST(Container, OldDictionaryLayout) {
    Fx f;
    header25(f);
    f.u8(0xFE);
    f.i32(5);
    auto entry = [&](unsigned kind, int index, std::string_view s1, std::string_view s2, std::string_view s3) {
        f.u8(kind).i32(index);
        for (std::string_view s : {s1, s2, s3})
            f.u8(static_cast<unsigned>(s.size())).raw(s);
    };
    entry(1, 0, "frDBDataSet1", "NO", "编号");   // a dataset field
    entry(2, 1, "", "[a]+1", "计算");            // an expression
    entry(2, 2, "", "", "日期");                 // system variable 2
    entry(0, 0, "x", "y", "无");                 // other kinds: empty
    entry(2, 99, "", "", "坏");                  // an index no system variable has
    f.lines({"标签", " 编号", " 计算", " 日期", " 无", " 坏", " 没有", ""});
    f.u8(0xFC);
    auto r = read(f.b);
    // Old files mark variables with the space; the flip turns that round.
    EXPECT_EQ(r->report.Dictionary.Variables,
              (DictionaryList{{" 标签", ""}, {"编号", "frDBDataSet1.\"NO\""}, {"计算", "[a]+1"}, {"日期", "DATE"},
                              {"无", ""}, {"坏", ""}, {"没有", ""}, {" ", ""}}));
    EXPECT_TRUE(r->report.Dictionary.FieldAliases.empty());
}

TEST(Container, InformationSection) {
    // Present.
    Fx f;
    header25(f);
    f.u8(0xFC);
    for (const char* s : {"c", "n", "a", "1", "2", "3", "4"})
        f.bare(s);
    f.bare("41624301").u8(77).u8(0).f64(36526.5).f64(36527.75);
    auto r = read(f.b);
    EXPECT_EQ(r->report.Comment, "c");
    EXPECT_EQ(r->report.ReportName, "n");
    EXPECT_EQ(r->report.Author, "a");
    EXPECT_EQ(r->report.VBuild, "4");
    EXPECT_EQ(r->report.Password, std::string("AbC\x01"));
    EXPECT_EQ(r->report.GeneratorVersion, 77);   // kept, not tested
    EXPECT_EQ(r->report.CreateDate, 36526.5);
    EXPECT_EQ(fromStoredDate(36526.5)->toString(Qt::ISODate), QStringLiteral("2000-01-01T12:00:00"));
    // Absent: the file ends right after tag 0xFC.
    Fx g;
    header25(g);
    g.u8(0xFC);
    const double before = storedNow();
    auto s = std::make_unique<Read>();
    s->report.Comment = "old";
    s->report.PasswordProtected = 1;
    s->report.LoadFromBytes(g.b, s->host);
    EXPECT_EQ(s->report.Comment, "");
    EXPECT_EQ(s->report.Password, "");
    EXPECT_EQ(s->report.PasswordProtected, 0);
    EXPECT_EQ(s->report.GeneratorVersion, 88);
    EXPECT_GE(s->report.CreateDate, before);
    EXPECT_EQ(s->report.CreateDate, s->report.LastChange);
}

TEST(Container, PasswordDigits) {
    EXPECT_EQ(encodePassword("abc"), "616263");
    EXPECT_EQ(encodePassword("\xD6\xD0"), "D6D0");
    EXPECT_EQ(decodePassword("616263"), "abc");
    EXPECT_EQ(decodePassword("d6d0"), "\xD6\xD0");   // lower-case digits decode alike
    EXPECT_EQ(decodePassword("6162F"), "ab");        // an odd trailing digit is ignored
    EXPECT_EQ(decodePassword(""), "");
}

TEST(Container, PasswordQuestion) {
    TfrReport protectedReport = richReport();
    protectedReport.Password = "abc";
    protectedReport.PasswordProtected = 1;
    const std::string bytes = protectedReport.SaveToBytes();
    struct Case {
        std::optional<AnsiString> answer;
        bool fromFile;
        bool kept;
    };
    const Case cases[] = {
        {AnsiString("abc"), true, true},
        {AnsiString("ABC"), true, false},   // case-sensitive
        {std::nullopt, true, false},        // cancelled
        {std::nullopt, false, true},        // in-memory streams do not ask
    };
    for (const Case& c : cases) {
        auto r = read(bytes, c.answer, c.fromFile);
        EXPECT_EQ(r->host.PasswordQuestions(), c.fromFile ? 1 : 0);
        EXPECT_TRUE(r->host.Messages().empty());
        if (c.kept) {
            EXPECT_EQ(r->report.Pages.Count(), 2u);
            EXPECT_EQ(r->report.Comment, "comment");
            EXPECT_FALSE(r->result.messageShown);
        } else {
            ASSERT_EQ(r->report.Pages.Count(), 1u);
            EXPECT_TRUE(r->report.Pages[0].Objects.empty());
            EXPECT_EQ(r->report.FileName, QStringLiteral("Untitled"));
            EXPECT_EQ(r->report.Comment, "");
            EXPECT_EQ(r->report.PasswordProtected, 0);
            EXPECT_TRUE(r->report.Dictionary.Empty());
            EXPECT_TRUE(r->result.messageShown);
        }
    }
}

TEST(Container, UnknownAddinsDoNotOpenAProtectedTemplate) {
    // The read stops before the information fields, yet the template's own
    // protection still asks for its password.
    Fx f;
    header25(f);
    page25(f);
    record(f, 10, "TfrFooView", 0, [](Fx& f) { f.raw("x"); });
    record(f, 4, "", 0, [](Fx& f) {
        Common c;
        c.name = "Line1";
        common25(f, c);
    });
    emptyDictionary(f);
    f.u8(0xFC);
    for (int i = 0; i < 7; ++i)
        f.bare("");
    f.bare("616263").u8(88).u8(1).f64(1).f64(2);
    for (const char* answer : {"abc", "wrong"}) {
        auto r = std::make_unique<Read>();
        r->host = RecordingHost(AnsiString(answer));
        r->report.Comment = "previous";
        r->report.LoadFromBytes(f.b, r->host, true);
        EXPECT_EQ(r->host.Messages().size(), 1u);
        EXPECT_EQ(r->host.PasswordQuestions(), 1);
        if (answer == std::string("abc")) {
            ASSERT_EQ(r->report.Pages[0].Objects.size(), 1u);
            EXPECT_EQ(r->report.Comment, "previous");   // the information is not read
        } else {
            EXPECT_TRUE(r->report.Pages[0].Objects.empty());
            EXPECT_EQ(r->report.FileName, QStringLiteral("Untitled"));
        }
    }
}

TEST(Container, WrittenLayout) {
    // A report with one empty page, written field by field.
    TfrReport report;
    report.Pages.Add();
    report.Comment = "c";
    report.Password = "ab";
    report.PasswordProtected = 1;
    report.CreateDate = 40000.5;
    report.GeneratorVersion = 5;
    Fx f;
    header25(f);
    f.u8(0xFF).i32(-1).i32(9).i32(2100).i32(2970).i32(0).i32(0).i32(0).i32(0).u8(0);
    f.i32(-1).u16(0).u16(0xFFFF).i32(1).i32(0);
    f.u8(0).counted("Page1").u8(3).counted("Form").i32(0xFF00000F).i32(220).i32(120).i32(380).i32(300).u8(4);
    f.lines({});
    emptyDictionary(f);
    f.u8(0xFC).bare("c");
    for (int i = 0; i < 6; ++i)
        f.bare("");
    f.bare("6162").u8(88).u8(1).f64(40000.5).f64(41000.0);
    EXPECT_EQ(report.SaveToBytes(41000.0), f.b);
    EXPECT_EQ(report.GeneratorVersion, 88);
    EXPECT_EQ(report.LastChange, 41000.0);
}

TEST(Container, RoundTripKeepsEverything) {
    TfrReport report = richReport();
    const std::string first = report.SaveToBytes(45001.0);
    TfrReport back;
    RecordingHost host;
    back.LoadFromBytes(first, host);
    ASSERT_TRUE(host.Messages().empty());
    EXPECT_EQ(back.Pages.Count(), 2u);
    EXPECT_EQ(back.Pages[0].Objects.size(), 12u);
    EXPECT_EQ(back.Dictionary.Variables, report.Dictionary.Variables);
    EXPECT_EQ(back.Author, ansi("作者"));
    EXPECT_EQ(back.CreateDate, 45000.25);
    // Written again, only the last-saved date differs.
    const std::string second = back.SaveToBytes(45002.0);
    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(first.substr(0, first.size() - 8), second.substr(0, second.size() - 8));
}

TEST(Container, TooManyPagesForObjectsIsAnError) {
    TfrReport report;
    for (int i = 0; i < 257; ++i)
        report.Pages.Add();
    report.Pages[255].Objects.push_back(std::make_unique<TfrLineView>());
    EXPECT_NO_THROW(report.SaveToBytes());
    report.Pages[256].Objects.push_back(std::make_unique<TfrLineView>());
    EXPECT_THROW(report.SaveToBytes(), TemplateWriteError);
}

TEST(Container, EveryTruncationReads) {
    TfrReport report = richReport();
    const std::string bytes = report.SaveToBytes();
    for (size_t n = 0; n <= bytes.size(); ++n) {
        TfrReport r;
        RecordingHost host;
        r.LoadFromBytes(std::string_view(bytes).substr(0, n), host);
        // Unknown classes or a damaged tag could come only from cut bytes read
        // as a tag; any outcome but a crash or hang is fine, and the report
        // stays writable.
        EXPECT_NO_THROW(r.SaveToBytes()) << n;
    }
    // A version-21 template cut everywhere, too.
    Fx f;
    f.u8(21).u16(0).u16(0).zstr("\x01");
    f.u8(0xFF).i32(9).i32(2100).i32(2970).i32(0).i32(0).i32(0).i32(0).u8(0).zeros(6).u16(0).u16(1).i32(1).i32(0);
    f.u8(0).u8(0).i32(1).i32(2).i32(3).i32(4).u16(0).u16(0).i32(1).i32(0).u16(0).i32(0x1FFFFFFF);
    f.i32(0).zstr("").zstr("a\rb").zstr("Arial").i32(10).u16(0).i32(0).i32(0).u16(134).u16(2).i32(0).i32(0).zstr("");
    f.u8(0xFE).i32(1).u8(1).i32(0).u8(1).raw("a").u8(1).raw("b").u8(1).raw("c").zstr(" c");
    for (size_t n = 0; n <= f.b.size(); ++n) {
        TfrReport r;
        RecordingHost host;
        r.LoadFromBytes(std::string_view(f.b).substr(0, n), host);
    }
}

TEST(Container, NewReportTemplateFile) {
    TfrReport report = richReport();
    const std::string bytes = report.SaveToTemplateBytes({"标签模板", "两行"}, "BMpicture");
    // Description, data offset, picture flag and picture, then the report data.
    Fx head;
    head.lines({"标签模板", "两行"});
    const size_t offset = head.pos() + 4 + 1 + 9;
    head.i32(static_cast<std::int64_t>(offset)).u8(1).raw("BMpicture").u16(0).u16(0).counted("\x01");
    EXPECT_EQ(bytes.substr(0, head.pos()), head.b);
    // No tag 0xFC and no information section: it ends with the dictionary.
    RecordWriter dict;
    report.Dictionary.WriteSection(dict);
    EXPECT_EQ(bytes.substr(bytes.size() - dict.Bytes().size()), dict.Bytes());

    TfrReport back;
    RecordingHost host;
    LoadResult result;
    const NewReportTemplate parts = back.LoadFromTemplateBytes(bytes, host, &result);
    EXPECT_EQ(parts.description, (Lines{"标签模板", "两行"}));
    EXPECT_EQ(parts.picture, "BMpicture");
    EXPECT_EQ(back.Pages.Count(), 2u);
    EXPECT_EQ(back.Pages[0].Objects.size(), 12u);
    EXPECT_EQ(back.Dictionary.BandDataSources, report.Dictionary.BandDataSources);
    EXPECT_EQ(back.Comment, "");   // the information is not part of it
    EXPECT_TRUE(host.Messages().empty());
    // Without a picture.
    const std::string plain = report.SaveToTemplateBytes({}, "");
    EXPECT_EQ(plain.substr(0, 8), Fx().lines({}).i32(8).u8(0).b);
}

TEST(Container, DictionaryFile) {
    TfrDataDictionary d;
    d.Variables = {{" 类", ""}, {"变量", "[no]"}};
    d.BandDataSources = {{"Band1", "10"}};
    const std::string bytes = d.SaveToBytes();
    EXPECT_EQ(bytes, Fx()
                         .u8(25)
                         .u16(0xFFFE)
                         .i32(2).counted(" 类").counted("").counted("变量").counted("[no]")
                         .i32(0)
                         .i32(1).counted("Band1").counted("10")
                         .b);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("d.frd"));
    d.SaveToFile(path);
    TfrDataDictionary back;
    EXPECT_FALSE(back.LoadFromFile(dir.filePath(QStringLiteral("none.frd"))));
    EXPECT_TRUE(back.LoadFromFile(path));
    EXPECT_EQ(back.Variables, d.Variables);
    EXPECT_EQ(back.BandDataSources, d.BandDataSources);
}

TEST(Container, ReportStoredInAForm) {
    TfrReport report = richReport();
    EXPECT_EQ(report.WriteReportForm(false), Fx().i32(25).b);
    const std::string stored = report.WriteReportForm(true);
    ASSERT_GT(stored.size(), 8u);
    EXPECT_EQ(stored.substr(0, 4), Fx().i32(25).b);
    EXPECT_EQ(static_cast<size_t>(static_cast<unsigned char>(stored[4]) | (static_cast<unsigned char>(stored[5]) << 8)
                                  | (static_cast<unsigned char>(stored[6]) << 16)),
              stored.size() - 8);
    TfrReport untouched;
    untouched.Comment = "mine";
    RecordingHost host;
    untouched.ReadReportForm(stored, false, host);
    EXPECT_EQ(untouched.Comment, "mine");
    EXPECT_TRUE(untouched.Pages.Empty());
    TfrReport back;
    back.ReadReportForm(stored, true, host);
    EXPECT_EQ(back.Pages.Count(), 2u);
    EXPECT_EQ(back.Comment, "comment");
    EXPECT_EQ(host.PasswordQuestions(), 0);
}

TEST(Container, LoadAndSaveFiles) {
    QTemporaryDir dir;
    TfrReport report = richReport();
    const QString path = dir.filePath(QStringLiteral("标签.frf"));
    report.SaveToFile(path);
    EXPECT_TRUE(report.FileName.isEmpty());   // saving does not name the report
    TfrReport back;
    RecordingHost host;
    EXPECT_FALSE(back.LoadFromFile(dir.filePath(QStringLiteral("missing.frf")), host));
    EXPECT_TRUE(back.FileName.isEmpty());
    EXPECT_TRUE(back.LoadFromFile(path, host));
    EXPECT_EQ(back.FileName, path);
    EXPECT_EQ(back.Pages[0].Objects.size(), 12u);
}
