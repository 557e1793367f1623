// Prepared pages: page streams, the .frp layouts and writing objects to a
// prepared page.

#include "template/BuiltinViews.h"
#include "template/PreparedReport.h"
#include "template/TfrReport.h"

#include "Fixture.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace mirel::tmpl;
using namespace mirel::tmpl::test;
using mirel::AnsiString;
using mirel::test::ansi;

namespace {

// A prepared text object record: type code, then the body without the
// design-only fields.
std::string preparedMemo(const std::string& name, std::vector<std::string> memo) {
    Common c;
    c.name = name;
    c.memo = std::move(memo);
    c.prepared = true;
    Fx f;
    f.u8(0);
    memoTail25(common25(f, c), true);
    return f.b;
}

std::string pageStream() { return "\x19" + preparedMemo("Memo1", {"A0001"}) + preparedMemo("Memo2", {"第二"}); }

// A current-layout file of two pages.
std::string frp(unsigned version, unsigned compression) {
    Fx f;
    f.u8(version).u8(compression).counted(ansi("虚拟打印机")).i32(2);
    for (int i = 0; i < 2; ++i) {
        const size_t end = f.pos();
        f.i32(0).u16(i == 0 ? 9 : 256).i32(i == 0 ? 2100 : 1000).i32(i == 0 ? 2970 : 500).u8(0);
        if (version > 23)
            f.i32(i == 0 ? -1 : 3);
        f.u8(i);   // use margins on the second page
        if (version > 23)
            f.i32(10).i32(11).i32(12).i32(13);
        f.raw(pageStream()).patchEnd(end);
    }
    return f.u8(88).b;
}

struct Read {
    TfrReport report;
    TfrPreparedPages pages;
    PreparedLoadResult result;
};

std::unique_ptr<Read> read(const std::string& bytes) {
    auto r = std::make_unique<Read>();
    r->report.GeneratorVersion = 0;
    r->result = r->pages.LoadFromBytes(bytes, r->report);
    return r;
}

class RecordingContext final : public PrepareContext {
public:
    void BeforeOutput(TfrView&, Lines& working) override { working.push_back("from hook"); }
    void RunScript(TfrView& view) override { ++scripts, (void)view; }
    AnsiString Evaluate(const AnsiString& e) override { return "=" + e; }
    AnsiString ExpandText(const AnsiString& text) override { return "<" + text + ">"; }
    void PlaceOnBand(TfrView& view) override {
        if (view.BandAlign == 5)
            view.Top = 500;
    }
    int scripts = 0;
};

} // namespace

TEST(PageStream, PreparedRecordsLeaveOutDesignFields) {
    const std::string stream = pageStream();
    const ViewList views = readPreparedStream(stream);
    ASSERT_EQ(views.size(), 2u);
    EXPECT_EQ(views[0]->Name, "Memo1");
    EXPECT_EQ(views[0]->Memo, Lines{"A0001"});
    EXPECT_EQ(views[1]->Memo, Lines{"第二"});
    EXPECT_EQ(dynamic_cast<TfrMemoView&>(*views[1]).FontSize, 12);
    EXPECT_EQ(writePreparedStream(views), stream);
}

TEST(PageStream, StopsAtAnObjectItCannotCreate) {
    const std::string stream = "\x19" + preparedMemo("Memo1", {"x"}) + Fx().u8(10).counted("TfrNoSuchView").b
                               + preparedMemo("Memo2", {"y"});
    EXPECT_EQ(readPreparedStream(stream).size(), 1u);
    EXPECT_EQ(readPreparedStream("\x19\x07" + preparedMemo("Memo2", {"y"})).size(), 0u);
    EXPECT_TRUE(readPreparedStream("").empty());
}

TEST(PageStream, EmitPrepared) {
    TfrMemoView memo;
    memo.Name = "Memo1";
    memo.Memo = {"No. [条形码编号]", "plain"};
    memo.Tag = "[t]";
    memo.BandAlign = 5;
    memo.Top = 20;
    RecordingContext context;
    RecordWriter out(RecordForm::Prepared);
    memo.EmitPrepared(context, out);
    EXPECT_EQ(context.scripts, 1);
    // The written record carries the evaluated lines, tag and band position.
    RecordReader in(out.Bytes(), 25, RecordForm::Prepared);
    EXPECT_EQ(in.ReadByte(), 0);
    TfrMemoView back;
    back.ReadRecord(in);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(back.Memo, (Lines{"<No. [条形码编号]>", "plain", "from hook"}));
    EXPECT_EQ(back.Tag, "<[t]>");
    EXPECT_EQ(back.Top, 500);
    // The object itself is as before.
    EXPECT_EQ(memo.Memo, (Lines{"No. [条形码编号]", "plain"}));
    EXPECT_EQ(memo.Tag, "[t]");
    EXPECT_EQ(memo.Top, 20);

    memo.Flags |= kTextOnly;
    RecordWriter textOnly(RecordForm::Prepared);
    memo.EmitPrepared(context, textOnly);
    RecordReader in2(textOnly.Bytes(), 25, RecordForm::Prepared);
    in2.ReadByte();
    back.ReadRecord(in2);
    EXPECT_EQ(back.Memo.front(), "No. [条形码编号]");

    memo.Visible = false;
    RecordWriter none(RecordForm::Prepared);
    memo.EmitPrepared(context, none);
    EXPECT_TRUE(none.Bytes().empty());
}

TEST(PreparedFile, CurrentLayoutRoundTrips) {
    for (unsigned version : {24u, 25u, 31u}) {
        const std::string bytes = frp(version, 0);
        auto r = read(bytes);
        EXPECT_EQ(r->result.version, static_cast<int>(version));
        ASSERT_EQ(r->pages.Pages.size(), 2u);
        const TfrPreparedPage& a = r->pages.Pages[0];
        EXPECT_EQ(a.Size, 9);
        EXPECT_EQ(a.PaperBin, -1);
        EXPECT_FALSE(a.UseMargins);
        EXPECT_EQ(a.LeftMargin, 10);
        EXPECT_EQ(a.BottomMargin, 13);
        EXPECT_EQ(a.Stream, pageStream());
        EXPECT_EQ(a.Printable.width, 2100);
        const TfrPreparedPage& b = r->pages.Pages[1];
        EXPECT_EQ(b.Size, 256);
        EXPECT_EQ(b.PaperWidth, 1000);
        EXPECT_EQ(b.PaperBin, 3);
        EXPECT_TRUE(b.UseMargins);
        EXPECT_EQ(r->report.GeneratorVersion, 88);
        if (version == 25) {
            EXPECT_EQ(r->pages.SaveToBytes(r->report), bytes);
        }
    }
}

TEST(PreparedFile, WithoutVersionByte) {
    // The first byte lies outside 24-31: no version byte; that same byte is the
    // compression byte, and pages have neither bin nor margins.
    Fx f;
    f.u8(0).counted("Office").i32(1);
    const size_t end = f.pos();
    f.i32(0).u16(9).i32(2100).i32(2970).u8(1).u8(1).raw(pageStream()).patchEnd(end);
    f.u8(88);
    auto r = read(f.b);
    EXPECT_EQ(r->result.version, 0);
    ASSERT_EQ(r->pages.Pages.size(), 1u);
    EXPECT_EQ(r->pages.Pages[0].PaperBin, -1);
    EXPECT_EQ(r->pages.Pages[0].LeftMargin, 0);
    EXPECT_EQ(r->pages.Pages[0].Orientation, 1);
    EXPECT_TRUE(r->pages.Pages[0].UseMargins);
    EXPECT_EQ(r->pages.Pages[0].Stream, pageStream());
}

TEST(PreparedFile, CompressedPagesComeOutEmpty) {
    for (unsigned compression : {1u, 255u}) {
        auto r = read(frp(25, compression));
        ASSERT_EQ(r->pages.Pages.size(), 2u);
        EXPECT_TRUE(r->pages.Pages[0].Stream.empty());
        EXPECT_EQ(r->pages.Pages[1].PaperBin, 3);
        EXPECT_EQ(r->report.GeneratorVersion, 88);
    }
}

TEST(PreparedFile, OldestLayout) {
    Fx f;
    f.zstr("HP LaserJet\rsecond line").i32(1);
    const size_t end = f.pos();
    f.i32(0).u16(9).i32(2100).i32(2970).u8(0).u8(1).raw(std::string("\x01\x00\x00\x00metafile", 12)).patchEnd(end);
    auto r = read(f.b);
    EXPECT_TRUE(r->result.oldestLayout);
    ASSERT_EQ(r->pages.Pages.size(), 1u);
    const TfrPreparedPage& p = r->pages.Pages[0];
    EXPECT_EQ(p.PaperBin, -1);
    EXPECT_TRUE(p.UseMargins);
    EXPECT_EQ(p.LeftMargin, 0);
    // One picture object over the whole page holding the metafile.
    ASSERT_FALSE(p.Stream.empty());
    EXPECT_EQ(p.Stream[0], 25);
    const ViewList views = readPreparedStream(p.Stream);
    ASSERT_EQ(views.size(), 1u);
    const auto& picture = dynamic_cast<TfrPictureView&>(*views[0]);
    EXPECT_EQ(picture.GraphicKind, 2);
    EXPECT_EQ(picture.Graphic, std::string("\x01\x00\x00\x00metafile", 12));
    EXPECT_EQ(picture.Width, 756);    // 210 mm at 18 units per 5 mm
    EXPECT_EQ(picture.Height, 1069);  // 297 mm: 1069.2
}

TEST(PreparedFile, NoPages) {
    TfrReport report;
    TfrPreparedPages pages;
    const std::string bytes = pages.SaveToBytes(report);
    EXPECT_EQ(bytes, Fx().u8(25).u8(0).counted(ansi("虚拟打印机")).i32(0).u8(88).b);
    auto r = read(bytes);
    EXPECT_TRUE(r->pages.Pages.empty());
    EXPECT_EQ(r->report.GeneratorVersion, 88);
}

TEST(PreparedFile, AddAppliesThePaper) {
    TfrPreparedPages pages;
    TfrPreparedPage& page = pages.Add({9, 0, 0, 1, -1});
    EXPECT_EQ(page.PaperWidth, 2970);
    EXPECT_EQ(page.PaperHeight, 2100);
    EXPECT_EQ(page.PaperBin, -1);
}

TEST(PreparedFile, EveryTruncationAndBadOffsetReads) {
    const std::string bytes = frp(25, 0);
    for (size_t n = 0; n <= bytes.size(); ++n) {
        auto r = read(bytes.substr(0, n));
        for (const TfrPreparedPage& p : r->pages.Pages)
            readPreparedStream(p.Stream);
    }
    // A page count far beyond the data and end offsets pointing back.
    Fx f;
    f.u8(25).u8(0).counted("").i32(0x7FFFFFFF);
    for (int i = 0; i < 3; ++i)
        f.i32(0).u16(9).i32(0).i32(0).u8(0).i32(0).u8(0).i32(0).i32(0).i32(0).i32(0);
    auto r = read(f.b);
    EXPECT_EQ(r->pages.Pages.size(), 3u);
}
