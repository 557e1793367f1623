// Object records: the common record, each class's tail, framing and the skip
// and resume rules, built byte by byte.

#include "template/AddinRegistry.h"
#include "template/AddinViews.h"
#include "template/TfrReport.h"

#include "Fixture.h"

#include <gtest/gtest.h>

using namespace mirel::tmpl;
using namespace mirel::tmpl::test;

namespace {

// A current template around the given object records, ending with an empty
// dictionary and an information section.
template <typename Records>
std::string template25(Records records) {
    Fx f;
    header25(f);
    page25(f);
    records(f);
    emptyDictionary(f);
    information(f);
    return f.b;
}

struct Loaded {
    TfrReport report;
    RecordingHost host;
    LoadResult result;
};

std::unique_ptr<Loaded> load(const std::string& bytes) {
    auto l = std::make_unique<Loaded>();
    l->result = l->report.LoadFromBytes(bytes, l->host);
    return l;
}

template <typename View>
View& only(const Loaded& l) {
    EXPECT_EQ(l.report.Pages.Count(), 1u);
    EXPECT_EQ(l.report.Pages[0].Objects.size(), 1u);
    auto* view = dynamic_cast<View*>(l.report.Pages[0].Objects.at(0).get());
    if (!view)
        throw std::runtime_error("object of another class");
    return *view;
}

// Written back with the information section's dates unchanged.
std::string resave(Loaded& l) { return l.report.SaveToBytes(l.report.LastChange); }

} // namespace

TEST(ObjectRecord, CommonRecordAndTextTail) {
    Common c;
    c.frameWidth = 1500;
    c.script = {"begin", "end"};
    c.restrictions = 0x41;
    c.tag = "[编头]";
    c.bandAlign = 5;
    c.memo = {"第一行", "[条形码编号]"};
    const std::string bytes = template25([&](Fx& f) {
        record(f, 0, "", 0, [&](Fx& f) { memoTail25(common25(f, c)); });
    });
    auto l = load(bytes);
    const auto& m = only<TfrMemoView>(*l);
    EXPECT_EQ(m.Name, "Memo1");
    EXPECT_EQ(m.Left, 10);
    EXPECT_EQ(m.Top, 20);
    EXPECT_EQ(m.Width, 100);
    EXPECT_EQ(m.Height, 30);
    EXPECT_EQ(m.Flags, 3);
    EXPECT_EQ(m.FrameTyp, 15);
    EXPECT_EQ(m.FrameWidth, 1.5);
    EXPECT_EQ(m.FrameColor, 0xFFu);
    EXPECT_EQ(m.FrameStyle, 1);
    EXPECT_EQ(m.FillColor, kNoColor);
    EXPECT_EQ(m.Format, 0x22E);
    EXPECT_EQ(m.Memo, (Lines{c.memo.begin(), c.memo.end()}));
    EXPECT_EQ(m.Script, (Lines{"begin", "end"}));
    EXPECT_TRUE(m.Visible);
    EXPECT_EQ(m.Restrictions, 0x41);
    EXPECT_EQ(m.Tag, "[编头]");
    EXPECT_EQ(m.BandAlign, 5);
    EXPECT_EQ(m.FontName, "Arial");
    EXPECT_EQ(m.FontSize, 12);
    EXPECT_EQ(m.FontStyle, kFontBold);   // bold is bit 1
    EXPECT_EQ(m.FontColor, 0xFFu);
    EXPECT_EQ(m.Alignment, 10);
    EXPECT_EQ(m.Charset, 134);
    EXPECT_EQ(m.LineSpacing, 2);
    EXPECT_TRUE(l->host.Messages().empty());
    EXPECT_EQ(resave(*l), bytes);
}

TEST(ObjectRecord, EveryClassRoundTripsByteForByte) {
    // One record of each class, each field given a value other than its default.
    const std::string bytes = template25([](Fx& f) {
        record(f, 0, "", 0, [](Fx& f) { memoTail25(common25(f, {})); });
        record(f, 1, "", 0, [](Fx& f) {
            Common c;
            c.name = "Picture1";
            common25(f, c).u8(4).u8(1);   // JPEG, BlobType JPG
            const size_t end = f.pos();
            f.i32(0).raw("\xFF\xD8\xFF\xE0 jpeg bytes \xFF\xD9").patchEnd(end);
        });
        record(f, 2, "", 0, [](Fx& f) {
            Common c;
            c.name = "Band1";
            c.minor = 1;
            c.frameTyp = 5;   // master data
            c.formatStr = "frDBDataSet1";
            common25(f, c).counted("Band2").i32(3).i32(200).i32(20).i32(4).counted("Band0");
        });
        record(f, 3, "", 0, [](Fx& f) {
            Common c;
            c.name = "SubReport1";
            common25(f, c).i32(1);
        });
        record(f, 4, "", 0, [](Fx& f) {
            Common c;
            c.name = "Line1";
            common25(f, c);
        });
        record(f, 10, "TfrShapeView", 0, [](Fx& f) {
            Common c;
            c.name = "Shape1";
            common25(f, c).u8(2);
        });
        record(f, 10, "TfrRoundRectView", 0, [](Fx& f) {
            Common c;
            c.name = "RoundRect1";
            memoTail25(common25(f, c)).i32(0x808080).i32(-99).u8(1).u8(1).i32(3);
        });
        record(f, 10, "TfrCheckBoxView", 0, [](Fx& f) {
            Common c;
            c.name = "Check1";
            common25(f, c).u8(1).i32(0xFF0000);
        });
        record(f, 10, "TfrRichView", 0, [](Fx& f) {
            Common c;
            c.name = "Rich1";
            common25(f, c).u8(1);
            const size_t end = f.pos();
            f.i32(0).raw("{\\rtf1 hello}").patchEnd(end);
        });
        record(f, 10, "TfrOLEView", 0, [](Fx& f) {
            Common c;
            c.name = "Ole1";
            common25(f, c).u8(1).raw("BDOC").i32(1).i32(5).raw("\xD0\xCF\x11\xE0\xA1");
        });
        record(f, 10, "TfrChartView", 0, [](Fx& f) {
            Common c;
            c.name = "Chart1";
            common25(f, c).u8(0).u8(3).raw(std::string("\x01\x00\x01\x01\x00\x01", 6)).u8(2).i32(10);
            f.raw(std::string(35, '\0') + "\x07");   // reserved, kept as stored
            f.counted("Memo1").counted("Memo2").counted("Others");
        });
        record(f, 10, "TfrCrossView", 0, [](Fx& f) {
            Common c;
            c.name = "Cross1";
            c.minor = 3;
            c.memo = {"frDBDataSet1", "A;", "B;", "C;"};
            common25(f, c).u8(1).u8(0).u8(1).u8(0).i32(60).i32(-1).counted("x\r\ny").i32(80).counted("数据");
        });
    });
    auto l = load(bytes);
    ASSERT_TRUE(l->host.Messages().empty());
    const auto& objects = l->report.Pages[0].Objects;
    ASSERT_EQ(objects.size(), 12u);
    const char* classes[] = {"TfrMemoView",      "TfrPictureView",  "TfrBandView", "TfrSubReportView",
                             "TfrLineView",      "TfrShapeView",    "TfrRoundRectView", "TfrCheckBoxView",
                             "TfrRichView",      "TfrOLEView",      "TfrChartView", "TfrCrossView"};
    for (size_t i = 0; i < objects.size(); ++i)
        EXPECT_STREQ(objects[i]->ClassName(), classes[i]);

    const auto& picture = dynamic_cast<TfrPictureView&>(*objects[1]);
    EXPECT_EQ(picture.GraphicKind, 4);
    EXPECT_EQ(picture.BlobType, 1);
    EXPECT_EQ(picture.Graphic, "\xFF\xD8\xFF\xE0 jpeg bytes \xFF\xD9");
    const auto& band = dynamic_cast<TfrBandView&>(*objects[2]);
    EXPECT_EQ(band.BandType(), btMasterData);
    EXPECT_EQ(band.DataSource(), "frDBDataSet1");
    EXPECT_EQ(band.ChildBand, "Band2");
    EXPECT_EQ(band.Columns, 3);
    EXPECT_EQ(band.NewColumnAfter, 4);
    EXPECT_EQ(band.Master, "Band0");
    EXPECT_EQ(dynamic_cast<TfrSubReportView&>(*objects[3]).SubPage, 1);
    EXPECT_EQ(dynamic_cast<TfrShapeView&>(*objects[5]).Shape, TfrShapeView::skEllipse);
    const auto& round = dynamic_cast<TfrRoundRectView&>(*objects[6]);
    EXPECT_TRUE(round.Gradient());
    EXPECT_EQ(round.Style(), 3);
    EXPECT_EQ(round.FontSize, 12);
    const auto& check = dynamic_cast<TfrCheckBoxView&>(*objects[7]);
    EXPECT_EQ(check.CheckStyle, TfrCheckBoxView::csCheck);
    EXPECT_EQ(check.CheckColor, 0xFF0000u);
    EXPECT_EQ(dynamic_cast<TfrRichView&>(*objects[8]).RichText, "{\\rtf1 hello}");
    const auto& ole = dynamic_cast<TfrOLEView&>(*objects[9]);
    EXPECT_TRUE(ole.HasObject);
    EXPECT_EQ(ole.Storage, "\xD0\xCF\x11\xE0\xA1");
    const auto& chart = dynamic_cast<TfrChartView&>(*objects[10]);
    EXPECT_EQ(chart.ChartType, 3);
    EXPECT_EQ(chart.Options[3], 1);   // "Rules"
    EXPECT_EQ(chart.CaptionStyle, 2);
    EXPECT_EQ(chart.Top10Count, 10);
    EXPECT_EQ(chart.Top10Caption, "Others");
    const auto& cross = dynamic_cast<TfrCrossView&>(*objects[11]);
    EXPECT_EQ(cross.InternalFrame, 1);
    EXPECT_EQ(cross.ShowGrandTotal, 0);
    EXPECT_EQ(cross.DataWidth, 60);
    EXPECT_EQ(cross.Dictionary, "x\r\ny");
    EXPECT_EQ(cross.MaxNameLen, 80);
    EXPECT_EQ(cross.DataCaption, "数据");

    EXPECT_EQ(resave(*l), bytes);
}

TEST(ObjectRecord, OlderRecordLayouts) {
    // Version 24: an object of major record version 1 has no band alignment byte.
    {
        Common c;
        c.major = 1;
        Fx f;
        header25(f);
        f.b[0] = 24;
        page25(f);
        record(f, 4, "", 0, [&](Fx& f) { common25(f, c); });
        record(f, 4, "", 0, [&](Fx& f) {
            Common d;
            d.name = "Line2";
            d.bandAlign = 6;
            common25(f, d);
        });
        emptyDictionary(f);
        auto l = load(f.b);
        ASSERT_EQ(l->report.Pages[0].Objects.size(), 2u);
        EXPECT_EQ(l->report.Pages[0].Objects[0]->BandAlign, 0);
        EXPECT_EQ(l->report.Pages[0].Objects[1]->Name, "Line2");
        EXPECT_EQ(l->report.Pages[0].Objects[1]->BandAlign, 6);
    }
    // A band of record version 20 (minor 0) has no Master field.
    {
        const std::string bytes = template25([](Fx& f) {
            record(f, 2, "", 0, [](Fx& f) {
                Common c;
                c.name = "Band1";
                common25(f, c).counted("").i32(1).i32(200).i32(20).i32(1);
            });
            record(f, 4, "", 0, [](Fx& f) {
                Common c;
                c.name = "Line1";
                common25(f, c);
            });
        });
        auto l = load(bytes);
        ASSERT_EQ(l->report.Pages[0].Objects.size(), 2u);
        EXPECT_EQ(dynamic_cast<TfrBandView&>(*l->report.Pages[0].Objects[0]).Master, "");
        EXPECT_EQ(l->report.Pages[0].Objects[1]->Name, "Line1");
    }
}

// Version 23: counted strings and line lists, names, scripts and visibility, but
// no record version bytes, end offsets, restrictions, tag or gaps.
TEST(ObjectRecord, Version23Record) {
    Fx f;
    f.u8(23).u16(0).u16(0).counted("\x01");
    f.u8(0xFF).i32(-1).i32(9).i32(2100).i32(2970).i32(0).i32(0).i32(0).i32(0).u8(0);
    f.u16(0).u16(0xFFFF).i32(1).i32(0);   // no bin, no dialog fields, no script
    f.u8(10).counted("TfrCheckBoxView").u8(0);
    f.counted("Check7").i32(1).i32(2).i32(3).i32(4).u16(1).u16(15).i32(2).i32(0).u16(0).i32(0x1FFFFFFF);
    f.i32(0).counted("").lines({"[x]"}).lines({}).u16(0);   // format, text, script, not visible
    f.u8(0).u8(0);   // a text object on page 0
    f.counted("Old").i32(1).i32(2).i32(3).i32(4).u16(0).u16(0).i32(1).i32(0).u16(0).i32(0x1FFFFFFF);
    f.i32(0).counted("").lines({"a"}).lines({}).u16(1);
    f.counted("宋体").i32(9).u16(1).i32(0).i32(0).u16(134);   // charset kept from 23 on
    f.u16(2).i32(0).i32(0xFFFFFF).counted("");
    emptyDictionary(f);
    auto l = load(f.b);
    ASSERT_TRUE(l->host.Messages().empty());
    const auto& objects = l->report.Pages[0].Objects;
    ASSERT_EQ(objects.size(), 2u);
    const auto& check = dynamic_cast<TfrCheckBoxView&>(*objects[0]);
    EXPECT_EQ(check.Name, "Check7");
    EXPECT_FALSE(check.Visible);
    EXPECT_EQ(check.CheckStyle, TfrCheckBoxView::csCross);   // no check box fields before 24
    EXPECT_EQ(check.GapX, 2);
    const auto& memo = dynamic_cast<TfrMemoView&>(*objects[1]);
    EXPECT_EQ(memo.Name, "Old");
    EXPECT_EQ(memo.Charset, 134);
    EXPECT_EQ(memo.FontStyle, kFontItalic);
    EXPECT_EQ(memo.LineSpacing, 2);
    EXPECT_EQ(l->report.Pages[0].Name, "Page1");
}

// Versions 21 and 22: zero-terminated strings and old line lists, no names.
TEST(ObjectRecord, Version21And22Records) {
    for (int version : {21, 22}) {
        Fx f;
        f.u8(version).u16(0).u16(0).zstr("\x01");
        f.u8(0xFF).i32(9).i32(2100).i32(2970).i32(0).i32(0).i32(0).i32(0).u8(0);   // no marker
        f.zeros(6).u16(0).u16(0xFFFF).i32(1).i32(0);
        for (int i = 0; i < 2; ++i) {
            f.u8(0).u8(0);   // text object on page 0, no end offset
            f.i32(1).i32(2).i32(3).i32(4).u16(0).u16(0).i32(1).i32(0).u16(0).i32(0x1FFFFFFF);
            f.i32(0).zstr("").zstr("a\rb");
            f.zstr("Arial").i32(10).u16(0).i32(0).i32(0).u16(134);
            f.u16(2).i32(0).i32(0xFFFFFF).zstr("");
        }
        f.u8(4).u8(0);   // a line: no fields beyond the common record
        f.i32(0).i32(0).i32(50).i32(0).u16(1).u16(8).i32(1).i32(0).u16(0).i32(0xFFFFFF);
        f.i32(0).zstr("").zstr("");
        emptyDictionary(f);
        auto l = load(f.b);
        ASSERT_TRUE(l->host.Messages().empty()) << version;
        const auto& objects = l->report.Pages[0].Objects;
        ASSERT_EQ(objects.size(), 3u) << version;
        const auto& memo = dynamic_cast<TfrMemoView&>(*objects[0]);
        EXPECT_EQ(memo.Name, "Memo1");
        EXPECT_EQ(objects[1]->Name, "Memo2");
        EXPECT_EQ(objects[2]->Name, "Line1");
        EXPECT_EQ(memo.Memo, (Lines{"a", "b"}));
        EXPECT_EQ(memo.Charset, 1);   // the stored charset is not taken before 23
        // Version 21 text objects always wrap.
        EXPECT_EQ(memo.Flags, version == 21 ? kWordWrap : 0);
    }
}

TEST(ObjectRecord, FramingAndSkipping) {
    const std::string bytes = template25([](Fx& f) {
        // An add-in whose name differs from a registered class in case only.
        record(f, 10, "TFRSHAPEVIEW", 0, [](Fx& f) { f.raw("garbage that is skipped"); });
        // A framed text object: a text object followed by 8 bytes.
        f.u8(10).counted("TfrFramedMemoView").u8(0);
        const size_t end = f.pos();
        f.i32(0);
        Common framed;
        framed.name = "Framed1";
        memoTail25(common25(f, framed)).raw("8 bytes!");
        f.patchEnd(end);
        // Type codes 5 to 9 create nothing.
        record(f, 7, "", 0, [](Fx& f) { f.raw("\xFF\xFE\xFD"); });
        // A page that does not exist.
        record(f, 0, "", 3, [](Fx& f) { memoTail25(common25(f, {})); });
        // An OLE object whose header has the wrong signature keeps what it read.
        record(f, 10, "TfrOLEView", 0, [](Fx& f) {
            Common c;
            c.name = "Ole1";
            common25(f, c).u8(1).raw("XXXX").i32(1).i32(3).raw("abc");
        });
        // A body shorter than its record: reading goes on at the end offset.
        record(f, 4, "", 0, [](Fx& f) {
            Common c;
            c.name = "Line1";
            common25(f, c).raw("extra bytes the line does not read");
        });
        record(f, 10, "TFRIBXLOOKUPCONTROL", 0, [](Fx& f) { f.raw("x"); });
        record(f, 10, "TfrShapeViewX", 0, [](Fx&) {});
        record(f, 10, "TFRSHAPEVIEW", 0, [](Fx&) {});
    });
    auto l = load(bytes);
    const auto& objects = l->report.Pages[0].Objects;
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_STREQ(objects[0]->ClassName(), "TfrMemoView");
    EXPECT_EQ(objects[0]->Name, "Framed1");
    EXPECT_STREQ(objects[1]->ClassName(), "TfrOLEView");
    EXPECT_EQ(objects[1]->Name, "Ole1");
    EXPECT_FALSE(dynamic_cast<TfrOLEView&>(*objects[1]).HasObject);
    EXPECT_EQ(objects[2]->Name, "Line1");
    // The unknown classes, in order, the same name twice.
    ASSERT_EQ(l->host.Messages().size(), 1u);
    EXPECT_EQ(l->host.Messages()[0].caption, QStringLiteral("错误"));
    EXPECT_EQ(l->host.Messages()[0].text,
              QStringLiteral("Report contains the following non-plugged components:\rTFRSHAPEVIEW\r"
                             "TfrDBLookupControl\rTfrShapeViewX\rTFRSHAPEVIEW\r"
                             "You must include these components into your project."));
    // The information section is not read after unknown classes.
    EXPECT_EQ(l->report.Comment, "");
}

TEST(ObjectRecord, BackwardEndOffsetsCannotLoop) {
    // An end offset pointing at or before its own record would read the record
    // again for ever; reading goes on after the body instead.
    Fx f;
    header25(f);
    page25(f);
    const size_t recordStart = f.pos();
    f.u8(4).u8(0).i32(static_cast<std::int64_t>(recordStart));
    Common c;
    c.name = "Line1";
    common25(f, c);
    f.u8(4).u8(9).i32(0);   // a page that does not exist, end offset 0
    emptyDictionary(f);
    auto l = load(f.b);
    ASSERT_EQ(l->report.Pages.Count(), 1u);
    ASSERT_EQ(l->report.Pages[0].Objects.size(), 1u);
    EXPECT_EQ(l->report.Pages[0].Objects[0]->Name, "Line1");
}

TEST(ObjectRecord, OldVersionsResumeWhereTheRecordFailed) {
    // Version 23 has no end offsets: after a record on a missing page the tag
    // loop goes on at the next byte, here a line record.
    Fx f;
    f.u8(23).u16(0).u16(0).counted("\x01");
    f.u8(0xFF).i32(-1).i32(9).i32(2100).i32(2970).i32(0).i32(0).i32(0).i32(0).u8(0);
    f.u16(0).u16(0xFFFF).i32(1).i32(0);
    f.u8(4).u8(5);   // page 5 does not exist
    f.u8(4).u8(0).counted("Line9").i32(0).i32(0).i32(50).i32(0).u16(1).u16(8).i32(1).i32(0).u16(0).i32(0xFFFFFF);
    f.i32(0).counted("").lines({}).lines({}).u16(1);
    emptyDictionary(f);
    auto l = load(f.b);
    ASSERT_EQ(l->report.Pages[0].Objects.size(), 1u);
    EXPECT_EQ(l->report.Pages[0].Objects[0]->Name, "Line9");
    EXPECT_TRUE(l->host.Messages().empty());
}

TEST(ObjectRecord, ObjectsComeBackOnTheirPagesInOrder) {
    TfrReport report;
    report.Pages.Add();
    report.Pages.Add();
    for (int i = 0; i < 3; ++i)
        for (size_t p = 0; p < 2; ++p) {
            auto line = std::make_unique<TfrLineView>();
            line->Name = "L" + std::to_string(p) + std::to_string(i);
            report.Pages[p].Objects.push_back(std::move(line));
        }
    const std::string bytes = report.SaveToBytes();
    TfrReport back;
    RecordingHost host;
    back.LoadFromBytes(bytes, host);
    ASSERT_EQ(back.Pages.Count(), 2u);
    for (size_t p = 0; p < 2; ++p) {
        ASSERT_EQ(back.Pages[p].Objects.size(), 3u);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(back.Pages[p].Objects[i]->Name, "L" + std::to_string(p) + std::to_string(i));
    }
}

TEST(ObjectRecord, EmptyOpaqueParts) {
    // A picture without graphic: kind 0, BlobType, an end offset just past itself.
    TfrPictureView picture;
    RecordWriter out;
    picture.WriteRecord(out);
    const std::string& b = out.Bytes();
    ASSERT_GE(b.size(), 6u);
    EXPECT_EQ(b.substr(b.size() - 6), Fx().u8(0).u8(0).i32(static_cast<std::int64_t>(b.size())).b);
    // An empty rich text: flag 0 and an end offset just past itself.
    TfrRichView rich;
    RecordWriter richOut;
    rich.WriteRecord(richOut);
    const std::string& r = richOut.Bytes();
    EXPECT_EQ(r.substr(r.size() - 5), Fx().u8(0).i32(static_cast<std::int64_t>(r.size())).b);
    // An empty OLE object: the single byte 0.
    TfrOLEView ole;
    RecordWriter oleOut, commonOut;
    ole.WriteRecord(oleOut);
    static_cast<const TfrView&>(ole).TfrView::WriteRecord(commonOut);
    EXPECT_EQ(oleOut.Bytes(), commonOut.Bytes() + std::string(1, '\0'));
}

TEST(ObjectRecord, ChartPictureAndDefinition) {
    // A chart with neither lines nor object names is stored as its picture.
    TfrChartView chart;
    chart.Picture = "metafile";
    RecordWriter out;
    chart.WriteRecord(out);
    TfrView& base = chart;
    RecordWriter common;
    base.TfrView::WriteRecord(common);
    EXPECT_EQ(out.Bytes(), common.Bytes() + Fx().u8(1).i32(8).raw("metafile").b);
    TfrChartView back;
    RecordReader in(out.Bytes());
    back.ReadRecord(in);
    EXPECT_EQ(back.Picture, "metafile");
    EXPECT_TRUE(in.AtEnd());
    // With a data object the definition is stored: kind 0 and 48 bytes of settings.
    chart.DataObject = "Memo1";
    RecordWriter def;
    chart.WriteRecord(def);
    EXPECT_EQ(def.Bytes(), common.Bytes() + Fx().u8(0).u8(0).raw(std::string("\1\1\1\0\1\1", 6)).u8(0).i32(0)
                                                .zeros(36).counted("").counted("Memo1").counted("").b);
}

TEST(ObjectRecord, CrossTabMinorVersionZeroTakesDefaults) {
    const std::string bytes = template25([](Fx& f) {
        record(f, 10, "TfrCrossView", 0, [](Fx& f) {
            Common c;
            c.name = "Cross1";
            common25(f, c).u8(1).u8(1).u8(0);
        });
    });
    auto l = load(bytes);
    const auto& cross = only<TfrCrossView>(*l);
    EXPECT_EQ(cross.ShowHeader, 0);
    EXPECT_EQ(cross.ShowGrandTotal, 1);
    EXPECT_EQ(cross.DataWidth, -1);
    EXPECT_EQ(cross.HeaderWidth, -1);
    EXPECT_EQ(cross.MaxNameLen, 100);
    EXPECT_EQ(cross.DataCaption, "Data");
}

TEST(ObjectRecord, Defaults) {
    TfrMemoView memo;
    EXPECT_EQ(memo.Flags, 3);
    EXPECT_EQ(memo.FrameWidth, 1.0);
    EXPECT_EQ(memo.FillColor, 0x1FFFFFFFu);
    EXPECT_EQ(memo.GapX, 2);
    EXPECT_EQ(memo.GapY, 1);
    EXPECT_EQ(memo.FontName, "Arial");
    EXPECT_EQ(memo.HighlightStyle, kFontBold);
    EXPECT_EQ(memo.HighlightFillColor, 0xFFFFFFu);
    EXPECT_EQ(TfrBandView().Flags, 48);
    EXPECT_EQ(TfrBandView().ColumnWidth, 200);
    EXPECT_EQ(TfrPictureView().Flags, 5);
    EXPECT_EQ(TfrLineView().FrameTyp, 4);
    EXPECT_EQ(TfrRoundRectView().FrameTyp, 255);
    EXPECT_EQ(TfrRoundRectView().ShadowWidth, 6);
    EXPECT_EQ(TfrCheckBoxView().FrameWidth, 2.0);
    EXPECT_EQ(TfrChartView().Flags & 0x8000, 0x8000);
    TfrCrossView cross;
    EXPECT_EQ(cross.Flags, 0x6001);
    EXPECT_EQ(cross.Restrictions, 17);
    EXPECT_FALSE(cross.Visible);
    TfrRoundRectView round;
    round.SetGradient(true);
    EXPECT_EQ(round.ShadowWidth, -99);
    EXPECT_EQ(round.RoundSize, 0);
    round.SetGradient(false);
    EXPECT_EQ(round.ShadowWidth, 10);
}

TEST(ObjectRecord, RegistryAndCopies) {
    const auto& classes = addinRegistry().Classes();
    ASSERT_GE(classes.size(), 7u);
    EXPECT_EQ(classes[0].className, "TfrShapeView");
    EXPECT_EQ(addinRegistry().Find("tfrshapeview"), nullptr);
    ASSERT_NE(addinRegistry().Find("TfrCrossView"), nullptr);
    EXPECT_STREQ(addinRegistry().Find("TfrCrossView")->create()->BaseName(), "Cross");

    TfrRoundRectView round;
    round.Name = "RoundRect3";
    round.Memo = {"x"};
    round.ShadowColor = 0x123456;
    auto copy = cloneView(round);
    ASSERT_NE(copy, nullptr);
    auto& r = dynamic_cast<TfrRoundRectView&>(*copy);
    EXPECT_EQ(r.Name, "RoundRect3");
    EXPECT_EQ(r.Memo, Lines{"x"});
    EXPECT_EQ(r.ShadowColor, 0x123456u);
}

TEST(ObjectRecord, GeneratedNames) {
    TfrReport report;
    report.Pages.Add();
    for (const char* name : {"Memo1", "Memo3", "Bar1"}) {
        auto memo = std::make_unique<TfrMemoView>();
        memo->Name = name;
        report.Pages[0].Objects.push_back(std::move(memo));
    }
    EXPECT_EQ(report.GenerateName("Memo"), "Memo2");
    EXPECT_EQ(report.GenerateName("Bar"), "Bar2");
    EXPECT_EQ(report.GenerateName("Picture"), "Picture1");
    EXPECT_EQ(report.FindObject("Memo3"), report.Pages[0].Objects[1].get());
}

TEST(ObjectRecord, PagesAndObjectsMayInterleave) {
    // An object names its page by index; the page must have been read before.
    Fx f;
    header25(f);
    page25(f);
    record(f, 4, "", 1, [](Fx& f) {
        Common c;
        c.name = "Early";   // page 1 does not exist yet: dropped
        common25(f, c);
    });
    page25(f, "Page2");
    record(f, 4, "", 1, [](Fx& f) {
        Common c;
        c.name = "Late";
        common25(f, c);
    });
    emptyDictionary(f);
    auto l = load(f.b);
    ASSERT_EQ(l->report.Pages.Count(), 2u);
    EXPECT_TRUE(l->report.Pages[0].Objects.empty());
    ASSERT_EQ(l->report.Pages[1].Objects.size(), 1u);
    EXPECT_EQ(l->report.Pages[1].Objects[0]->Name, "Late");
    EXPECT_TRUE(l->host.Messages().empty());
}
