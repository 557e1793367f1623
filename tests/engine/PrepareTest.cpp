// Preparation: where bands and objects land on prepared pages (worked out by hand
// from the geometry each test builds), page breaks and columns, what the objects'
// prepared texts hold, and how a job stops on an error or a cancel.

#include "engine/ReportPreparer.h"

#include "ReportBuilder.h"
#include "engine/DisplayFormat.h"
#include "template/MemoLayout.h"

#include <cmath>
#include <gtest/gtest.h>

namespace mirel::engine {
namespace {

using mirel::test::ansi;
using test::addPage;
using test::objectsOf;
using test::PreparedObject;
using test::textsOf;

// A dataset of rows given as texts, with fields "name" and "n" (a number).
class RowsDataset final : public TfrDataset {
public:
    RowsDataset(std::string_view name, std::vector<std::pair<std::string, int>> rows)
        : TfrDataset(AnsiString(name)), m_rows(std::move(rows)) {}

protected:
    void SourceFirst(std::int64_t) override { m_at = 0; }
    void SourceNext() override { ++m_at; }
    bool SourceEof() const override { return m_at >= m_rows.size(); }
    bool SourceHasField(std::string_view f) const override { return f == "name" || f == "n"; }
    Value SourceField(std::string_view f) const override {
        return f == "n" ? Value::integer(m_rows[m_at].second) : Value::string(ansi(m_rows[m_at].first));
    }

private:
    std::vector<std::pair<std::string, int>> m_rows;
    size_t m_at = 0;
};

struct Prepared {
    tmpl::TfrPreparedPages pages;
    PrepareResult result;
};

Prepared prepare(tmpl::TfrReport& report, PrepareSetup setup = {}) {
    test::registerBarcodeObjects();
    Prepared p;
    p.result = prepareReport(report, setup, p.pages);
    return p;
}

// The tops of the objects named `name` on one page.
std::vector<int> topsOf(const tmpl::TfrPreparedPage& page, std::string_view name) {
    std::vector<int> tops;
    for (const PreparedObject& o : objectsOf(page))
        if (o.name == name)
            tops.push_back(o.top);
    return tops;
}

std::vector<std::pair<int, int>> placesOf(const tmpl::TfrPreparedPage& page, std::string_view name) {
    std::vector<std::pair<int, int>> places;
    for (const PreparedObject& o : objectsOf(page))
        if (o.name == name)
            places.emplace_back(o.left, o.top);
    return places;
}

// Paper 360 x 360 units, margins 18 left and right, 36 top and bottom: bands
// start at 36 and the page ends at 324.
test::PageBuilder labelPage(tmpl::TfrReport& report) {
    return addPage(report).paper(360, 360, 18, 36, 18, 36);
}

TEST(PrepareTest, BandsStackFromTheTopMarginAndBreakToANewPage) {
    tmpl::TfrReport report;
    auto page = labelPage(report);
    page.band(tmpl::btPageHeader, 0, 36);
    page.memo("Head", 30, 4, 100, 20, {"H"});
    page.band(tmpl::btMasterData, 50, 60).FormatStr = "5";
    page.memo("Line", 30, 55, 100, 20, {"[LINE#]"});
    page.band(tmpl::btPageFooter, 300, 24);
    page.memo("Foot", 30, 302, 100, 20, {"[PAGE#]"});

    const Prepared p = prepare(report);
    ASSERT_TRUE(p.result.built);
    EXPECT_EQ(p.result.labels, 5);
    ASSERT_EQ(p.result.pages, 2);
    // Header 36..72; records of 60 from 72 while they end by 300, where the
    // footer (24 high) starts: 72, 132, 192 on the first page, two on the second.
    EXPECT_EQ(topsOf(p.pages.Pages[0], "Head"), std::vector<int>{40});
    EXPECT_EQ(topsOf(p.pages.Pages[0], "Line"), (std::vector<int>{77, 137, 197}));
    EXPECT_EQ(topsOf(p.pages.Pages[1], "Line"), (std::vector<int>{77, 137}));
    EXPECT_EQ(topsOf(p.pages.Pages[1], "Foot"), std::vector<int>{302});
    EXPECT_EQ(textsOf(p.pages, "Line"), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(textsOf(p.pages, "Foot"), (std::vector<std::string>{"1", "2"}));
    // Objects keep their horizontal place; the page keeps its paper and margins.
    EXPECT_EQ(objectsOf(p.pages.Pages[0]).front().left, 30);
    EXPECT_EQ(p.pages.Pages[0].PaperWidth, 1000);
    EXPECT_EQ(p.pages.Pages[0].TopMargin, 36);
    EXPECT_TRUE(p.pages.Pages[0].UseMargins);
}

TEST(PrepareTest, FirstAndLastPageFlagsTitleAndSummary) {
    tmpl::TfrReport report;
    auto page = labelPage(report);
    auto& header = page.band(tmpl::btPageHeader, 0, 20);
    header.Flags = 0;   // neither on the first nor on the last page
    page.memo("Head", 30, 0, 100, 20, {"H"});
    auto& footer = page.band(tmpl::btPageFooter, 300, 24);
    footer.Flags = 16;   // on the first page, not on the last
    page.memo("Foot", 30, 300, 100, 20, {"F"});
    page.band(tmpl::btReportTitle, 30, 30);
    page.memo("Title", 30, 30, 100, 20, {"T"});
    page.band(tmpl::btMasterData, 70, 100).FormatStr = "4";
    page.memo("Rec", 30, 70, 100, 20, {"R"});
    page.band(tmpl::btReportSummary, 200, 50);
    page.memo("Sum", 30, 200, 100, 20, {"S"});

    const Prepared p = prepare(report);
    ASSERT_EQ(p.result.pages, 3);
    // Page 1: title 36..66, records at 66 and 166 (the third would end at 366,
    // past the footer at 300). Page 2: header 36..56, records at 56 and 156; the
    // summary (50) no longer fits below 256 and takes page 3, the last, which has
    // no footer.
    EXPECT_TRUE(topsOf(p.pages.Pages[0], "Head").empty());
    EXPECT_EQ(topsOf(p.pages.Pages[0], "Title"), std::vector<int>{36});
    EXPECT_EQ(topsOf(p.pages.Pages[0], "Rec"), (std::vector<int>{66, 166}));
    EXPECT_EQ(topsOf(p.pages.Pages[1], "Head"), std::vector<int>{36});
    EXPECT_TRUE(topsOf(p.pages.Pages[1], "Title").empty());
    EXPECT_EQ(topsOf(p.pages.Pages[1], "Rec"), (std::vector<int>{56, 156}));
    EXPECT_EQ(topsOf(p.pages.Pages[2], "Sum"), std::vector<int>{56});
    EXPECT_EQ(topsOf(p.pages.Pages[0], "Foot"), std::vector<int>{300});
    EXPECT_EQ(topsOf(p.pages.Pages[1], "Foot"), std::vector<int>{300});
    EXPECT_TRUE(topsOf(p.pages.Pages[2], "Foot").empty());
}

TEST(PrepareTest, MasterHeaderAndFooterAroundTheRecordsOnlyWhenThereAreAny) {
    for (int count : {3, 0}) {
        tmpl::TfrReport report;
        auto page = labelPage(report);
        page.band(tmpl::btMasterHeader, 40, 20);
        page.memo("MH", 30, 40, 100, 20, {"header"});
        page.band(tmpl::btMasterData, 60, 30);
        page.memo("Rec", 30, 60, 100, 20, {"[LINE#]"});
        page.band(tmpl::btMasterFooter, 100, 20);
        page.memo("MF", 30, 100, 100, 20, {"footer"});
        EmptyRecordsDataset codes("frDBDataSet1", count);
        PrepareSetup setup;
        setup.reportDataset = &codes;   // the band names no dataset
        const Prepared p = prepare(report, setup);
        ASSERT_EQ(p.result.pages, 1);
        EXPECT_EQ(p.result.labels, count);
        if (count == 3) {
            EXPECT_EQ(topsOf(p.pages.Pages[0], "MH"), std::vector<int>{36});
            EXPECT_EQ(topsOf(p.pages.Pages[0], "Rec"), (std::vector<int>{56, 86, 116}));
            EXPECT_EQ(topsOf(p.pages.Pages[0], "MF"), std::vector<int>{146});
        } else {
            EXPECT_TRUE(objectsOf(p.pages.Pages[0]).empty());
        }
    }
}

TEST(PrepareTest, RepeatedHeaderAndNewPagePerRecord) {
    {
        tmpl::TfrReport report;
        auto page = labelPage(report);
        page.band(tmpl::btMasterHeader, 40, 20).Flags |= 64;   // repeat on every page
        page.memo("MH", 30, 40, 100, 20, {"header"});
        page.band(tmpl::btMasterData, 60, 100).FormatStr = "3";
        page.memo("Rec", 30, 60, 100, 20, {"[LINE#]"});
        const Prepared p = prepare(report);
        // 36 + 20 + 2 x 100 = 256; the third record (356) goes to page 2.
        ASSERT_EQ(p.result.pages, 2);
        EXPECT_EQ(topsOf(p.pages.Pages[1], "MH"), std::vector<int>{36});
        EXPECT_EQ(topsOf(p.pages.Pages[1], "Rec"), std::vector<int>{56});
    }
    {
        // One label per page, as roll printers take them.
        tmpl::TfrReport report;
        auto page = labelPage(report);
        auto& data = page.band(tmpl::btMasterData, 60, 40);
        data.FormatStr = "3";
        data.Flags |= 2;   // new page after each record
        page.memo("Rec", 30, 60, 100, 20, {"[LINE#]"});
        const Prepared p = prepare(report);
        ASSERT_EQ(p.result.pages, 3);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(topsOf(p.pages.Pages[i], "Rec"), std::vector<int>{36}) << i;
    }
}

TEST(PrepareTest, BandColumnsAcrossOrDownAndPageColumns) {
    struct Case {
        int columns, newColumnAfter, records;
        std::vector<std::pair<int, int>> places;   // memo left, top
        std::vector<std::string> columnNumbers;
    };
    // Columns 100 wide with a gap of 10: a column step of 110; the band is 40 high.
    const Case cases[] = {
        {3, 1, 7, {{20, 36}, {130, 36}, {240, 36}, {20, 76}, {130, 76}, {240, 76}, {20, 116}},
         {"1", "2", "3", "1", "2", "3", "1"}},
        {2, 2, 5, {{20, 36}, {20, 76}, {130, 36}, {130, 76}, {20, 116}}, {"1", "1", "2", "2", "1"}},
    };
    for (const Case& c : cases) {
        tmpl::TfrReport report;
        auto page = labelPage(report);
        auto& data = page.band(tmpl::btMasterData, 60, 40);
        data.FormatStr = std::to_string(c.records);
        data.Columns = c.columns;
        data.ColumnWidth = 100;
        data.ColumnGap = 10;
        data.NewColumnAfter = c.newColumnAfter;
        page.memo("Rec", 20, 60, 80, 20, {"[COLUMN#]"});
        page.band(tmpl::btMasterFooter, 100, 20);
        page.memo("MF", 20, 100, 80, 20, {"end"});
        const Prepared p = prepare(report);
        ASSERT_EQ(p.result.pages, 1);
        EXPECT_EQ(placesOf(p.pages.Pages[0], "Rec"), c.places) << c.columns << "/" << c.newColumnAfter;
        EXPECT_EQ(textsOf(p.pages, "Rec"), c.columnNumbers);
        // The footer follows the lowest row.
        EXPECT_EQ(topsOf(p.pages.Pages[0], "MF"), std::vector<int>{156});
    }

    // Two page columns: (360 - 18 - 18 - 20) / 2 = 152 wide, the second starts
    // 172 further right. Records of 100 from 36: two per column (the third would
    // end at 336, past 324).
    tmpl::TfrReport report;
    auto page = labelPage(report);
    page.page.Columns = 2;
    page.page.ColumnGap = 20;
    page.band(tmpl::btMasterData, 60, 100).FormatStr = "5";
    page.memo("Rec", 20, 60, 80, 20, {"[COLUMN#]"});
    const Prepared p = prepare(report);
    ASSERT_EQ(p.result.pages, 2);
    EXPECT_EQ(placesOf(p.pages.Pages[0], "Rec"),
              (std::vector<std::pair<int, int>>{{20, 36}, {20, 136}, {192, 36}, {192, 136}}));
    EXPECT_EQ(placesOf(p.pages.Pages[1], "Rec"), (std::vector<std::pair<int, int>>{{20, 36}}));
    EXPECT_EQ(textsOf(p.pages, "Rec"), (std::vector<std::string>{"1", "1", "2", "2", "1"}));
}

TEST(PrepareTest, ChildBandsFollowTheBandThatNamesThem) {
    tmpl::TfrReport report;
    auto page = labelPage(report);
    auto& data = page.band(tmpl::btMasterData, 60, 40, "Data");
    data.FormatStr = "2";
    data.ChildBand = "Kid";
    page.memo("Rec", 20, 60, 80, 20, {"[LINE#]"});
    auto& kid = page.band(tmpl::btChild, 200, 30, "Kid");
    kid.ChildBand = "Data";   // a loop back is not followed
    page.memo("Child", 20, 205, 80, 20, {"child [LINE#]"});
    const Prepared p = prepare(report);
    ASSERT_EQ(p.result.pages, 1);
    EXPECT_EQ(topsOf(p.pages.Pages[0], "Rec"), (std::vector<int>{36, 106}));
    EXPECT_EQ(topsOf(p.pages.Pages[0], "Child"), (std::vector<int>{81, 151}));
    EXPECT_EQ(textsOf(p.pages, "Child"), (std::vector<std::string>{"child 1", "child 2"}));
}

TEST(PrepareTest, BandAlignmentVisibilityAndTags) {
    tmpl::TfrReport report;
    auto page = labelPage(report);
    page.band(tmpl::btMasterData, 60, 60).FormatStr = "1";
    page.memo("Bottom", 20, 62, 80, 10, {"b"}).BandAlign = 5;
    page.memo("Top", 20, 80, 80, 10, {"t"}).BandAlign = 6;
    page.memo("Hidden", 20, 70, 80, 10, {"[未知]"}).Visible = false;
    page.memo("Tagged", 20, 90, 80, 10, {"x"}).Tag = ansi("[PAGE#]-[LINE#]");
    // The barcode objects keep their place whatever their alignment.
    page.barcode("Bar1", 120, 65, 100, 40, "123").BandAlign = 5;
    const Prepared p = prepare(report);
    ASSERT_TRUE(p.result.built);
    const auto objects = objectsOf(p.pages.Pages[0]);
    std::vector<std::string> names;
    for (const auto& o : objects)
        names.push_back(o.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Bottom", "Top", "Tagged", "Bar1"}));
    EXPECT_EQ(objects[0].top, 36 + 60 - 10);
    EXPECT_EQ(objects[1].top, 36);
    EXPECT_EQ(objects[2].tag, "1-1");
    EXPECT_EQ(objects[3].top, 36 + 5);
    // The template keeps its design: positions and the tag expression.
    EXPECT_EQ(report.FindObject("Bottom")->Top, 62);
    EXPECT_EQ(report.FindObject("Tagged")->Tag, ansi("[PAGE#]-[LINE#]"));
}

TEST(PrepareTest, TextObjectsShowValuesInTheirDisplayFormat) {
    tmpl::TfrReport report;
    auto page = labelPage(report);
    page.band(tmpl::btMasterData, 60, 30).FormatStr = "2";
    page.memo("Plain", 20, 60, 80, 10, {"No. [LINE#] of [n]", "second line"});
    page.memo("Fixed", 20, 70, 80, 10, {"[LINE#]"}).Format = makeDisplayFormat(FormatCategory::Number, 1, 2);
    auto& zeros = page.memo("Zeros", 20, 80, 80, 10, {"[LINE# - 1]"});
    zeros.Flags |= tmpl::kHideZeros;
    auto& literal = page.memo("Literal", 100, 60, 80, 10, {"[LINE#]"});
    literal.Flags |= tmpl::kTextOnly;
    PrepareSetup setup;
    setup.onGetValue = [](const AnsiString& name, std::optional<Value>& v) {
        if (name == "n")
            v = Value::integer(2);
    };
    const Prepared p = prepare(report, setup);
    EXPECT_EQ(textsOf(p.pages, "Plain"), (std::vector<std::string>{"No. 1 of 2", "No. 2 of 2"}));
    EXPECT_EQ(objectsOf(p.pages.Pages[0]).front().memo,
              (std::vector<std::string>{"No. 1 of 2", "second line"}));
    EXPECT_EQ(textsOf(p.pages, "Fixed"), (std::vector<std::string>{"1.00", "2.00"}));
    EXPECT_EQ(textsOf(p.pages, "Zeros"), (std::vector<std::string>{"", "1"}));
    EXPECT_EQ(textsOf(p.pages, "Literal"), (std::vector<std::string>{"[LINE#]", "[LINE#]"}));
}

TEST(PrepareTest, StretchedBandsGrowWithTheirText) {
    // Five lines of Arial 10 (the value holds its own line breaks): five line
    // heights, four line spacings of 2 and the gaps of 1 above and below,
    // rounded up to whole units.
    const double line = tmpl::memoFont("Arial", 10, 0).height();
    const int needed = static_cast<int>(std::ceil(5 * line + 4 * 2 + 2 * 1));
    ASSERT_GT(2 + needed, 30);
    for (const bool stretched : {true, false}) {
        tmpl::TfrReport report;
        auto page = labelPage(report);
        auto& data = page.band(tmpl::btMasterData, 60, 30);
        data.FormatStr = "2";
        data.SetStretched(stretched);
        page.memo("Text", 20, 62, 200, 10, {"[v]"});
        auto& bottom = page.memo("Bottom", 240, 80, 40, 6, {"b"});
        bottom.BandAlign = 5;
        bottom.SetStretched(false);
        auto& fixed = page.memo("Fixed", 240, 60, 40, 6, {"[v]"});
        fixed.SetStretched(false);
        PrepareSetup setup;
        setup.onGetValue = [](const AnsiString& name, std::optional<Value>& v) {
            if (name == "v")
                v = Value::string("1\r\n2\r\n3\r\n4\r\n5");
        };
        const Prepared p = prepare(report, setup);
        const int band = stretched ? 2 + needed : 30;
        EXPECT_EQ(topsOf(p.pages.Pages[0], "Text"), (std::vector<int>{38, 38 + band})) << stretched;
        EXPECT_EQ(topsOf(p.pages.Pages[0], "Bottom"), (std::vector<int>{36 + band - 6, 36 + 2 * band - 6}));
        for (const auto& o : objectsOf(p.pages.Pages[0])) {
            if (o.name == "Text") {
                EXPECT_EQ(o.height, stretched ? needed : 10);
            } else {
                EXPECT_EQ(o.height, 6) << o.name;
            }
        }
        EXPECT_EQ(report.FindObject("Text")->Height, 10);
    }
}

TEST(PrepareTest, HighlightPrintsWhileItsConditionHolds) {
    tmpl::TfrReport report;
    auto page = labelPage(report);
    page.band(tmpl::btMasterData, 60, 30).FormatStr = "2";
    auto& memo = page.memo("Memo1", 20, 60, 80, 10, {"x"});
    memo.Highlight = "LINE# = 2";
    memo.HighlightFillColor = 0x00FFFF;
    const Prepared p = prepare(report);
    ASSERT_EQ(p.result.labels, 2);
    std::vector<std::uint32_t> fills;
    for (const auto& view : tmpl::readPreparedStream(p.pages.Pages[0].Stream))
        fills.push_back(view->FillColor);
    EXPECT_EQ(fills, (std::vector<std::uint32_t>{tmpl::kNoColor, 0x00FFFF}));
    EXPECT_EQ(memo.FillColor, tmpl::kNoColor);
}

TEST(PrepareTest, BarcodeTextsLiteralEvaluatedOrZero) {
    tmpl::TfrReport report;
    auto page = labelPage(report);
    page.band(tmpl::btMasterData, 60, 100).FormatStr = "2";
    page.barcode("Bar1", 20, 60, 100, 40, "ABC-[LINE#]");
    page.barcode("Bar2", 20, 100, 100, 40, "[编头][LINE#][编尾]");
    page.barcode("Bar3", 20, 140, 100, 40, "[未知]");
    page.pdf417("Pdf1", 200, 60, 100, 40, "[二维码]");
    page.pdf417("Pdf2", 200, 100, 100, 40, "[1 div 0]");
    page.pdf417("Pdf3", 200, 140, 100, 20, "plain [LINE#]");
    PrepareSetup setup;
    setup.onGetValue = [](const AnsiString& name, std::optional<Value>& v) {
        if (name == ansi("编头"))
            v = Value::string("BJ");
        else if (name == ansi("编尾"))
            v = Value::string("**");
        else if (name == ansi("二维码"))
            v = Value::string(ansi("第一行\r\n第二行"));
    };
    const Prepared p = prepare(report, setup);
    ASSERT_EQ(p.result.labels, 2);
    // A line that does not begin with "[" is printed as it is.
    EXPECT_EQ(textsOf(p.pages, "Bar1"), (std::vector<std::string>{"ABC-[LINE#]", "ABC-[LINE#]"}));
    EXPECT_EQ(textsOf(p.pages, "Bar2"), (std::vector<std::string>{"BJ1**", "BJ2**"}));
    EXPECT_EQ(textsOf(p.pages, "Bar3"), (std::vector<std::string>{"0", "0"}));
    EXPECT_EQ(textsOf(p.pages, "Pdf1"), (std::vector<std::string>{"第一行\r\n第二行", "第一行\r\n第二行"}));
    EXPECT_EQ(textsOf(p.pages, "Pdf2"), (std::vector<std::string>{"0", "0"}));
    EXPECT_EQ(textsOf(p.pages, "Pdf3"), (std::vector<std::string>{"plain [LINE#]", "plain [LINE#]"}));
    // The failures do not stop the job, but it learns which objects failed.
    EXPECT_EQ(p.result.failedBarcodeTexts, 4);
    ASSERT_EQ(p.result.warnings.size(), 4u);
    EXPECT_EQ(p.result.warnings[0].rfind("Bar3: ", 0), 0u) << p.result.warnings[0];
    EXPECT_NE(p.result.warnings[0].find("未知"), std::string::npos) << p.result.warnings[0];
    EXPECT_EQ(p.result.warnings[1].rfind("Pdf2: ", 0), 0u) << p.result.warnings[1];
    // The template keeps its expressions.
    EXPECT_EQ(report.FindObject("Bar2")->Memo.front(), ansi("[编头][LINE#][编尾]"));
}

TEST(PrepareTest, ErrorsStopTheJobNamingTheObjectOrBand) {
    struct Case {
        const char* memo;
        const char* dataSource;
        const char* expectedInMessage;
    };
    const Case cases[] = {
        {"[未知]", "1", "Memo1"},
        {"[frDBDataSet9.\"x\"]", "1", "Memo1"},
        {"fine", "NoSuch", "MasterData"},
        {"fine", "frDBDataSet2", "MasterData"},   // no external table known
    };
    for (const Case& c : cases) {
        tmpl::TfrReport report;
        auto page = labelPage(report);
        page.band(tmpl::btMasterData, 60, 30, "MasterData").FormatStr = c.dataSource;
        page.memo("Memo1", 20, 60, 80, 10, {c.memo});
        EmptyRecordsDataset codes("frDBDataSet1", 3);
        PrepareSetup setup;
        setup.datasets = {&codes};
        tmpl::TfrPreparedPages pages;
        pages.Add({});   // what an earlier job left
        try {
            prepareReport(report, setup, pages);
            ADD_FAILURE() << c.memo << " / " << c.dataSource << ": no error";
        } catch (const PrepareError& e) {
            EXPECT_NE(std::string(e.what()).find(c.expectedInMessage), std::string::npos) << e.what();
        }
        EXPECT_TRUE(pages.Pages.empty());
    }
}

TEST(PrepareTest, ProgressCanCancel) {
    tmpl::TfrReport report;
    auto page = labelPage(report);
    page.band(tmpl::btMasterData, 60, 30).FormatStr = "50";
    page.memo("Rec", 20, 60, 80, 10, {"[LINE#]"});
    std::vector<std::int64_t> seen;
    PrepareSetup setup;
    setup.progress = [&](std::int64_t labels, int pages) {
        seen.push_back(labels);
        EXPECT_GE(pages, 1);
        return labels < 3;
    };
    const Prepared p = prepare(report, setup);
    EXPECT_TRUE(p.result.cancelled);
    EXPECT_FALSE(p.result.built);
    EXPECT_TRUE(p.pages.Pages.empty());
    EXPECT_EQ(seen, (std::vector<std::int64_t>{1, 2, 3}));
}

TEST(PrepareTest, TotalPagesIsKnownOnEveryPage) {
    tmpl::TfrReport report;
    auto page = labelPage(report);
    page.band(tmpl::btMasterData, 60, 100).FormatStr = "5";
    page.memo("Rec", 20, 60, 80, 10, {"[LINE#]"});
    page.band(tmpl::btPageFooter, 300, 24);
    page.memo("Foot", 20, 300, 80, 10, {"[PAGE#] / [TOTALPAGES]"});
    const Prepared p = prepare(report);
    // Two records of 100 per page between 36 and 300: three pages.
    ASSERT_EQ(p.result.pages, 3);
    EXPECT_EQ(p.result.labels, 5);
    EXPECT_EQ(textsOf(p.pages, "Foot"), (std::vector<std::string>{"1 / 3", "2 / 3", "3 / 3"}));
    EXPECT_EQ(textsOf(p.pages, "Rec"), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
}

TEST(PrepareTest, BandsRunOverTheDatasetTheyName) {
    RowsDataset shop("frDBDataSet2", {{"苹果", 3}, {"梨", 5}});
    EmptyRecordsDataset codes("frDBDataSet1", 4);
    struct Case {
        const char* dataSource;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"frDBDataSet2", {"苹果 3", "梨 5"}},
        {"Form1.frdbdataset2", {"苹果 3", "梨 5"}},
        {"Shop", {"苹果 3", "梨 5"}},   // a band data source of the dictionary
        {"", {" ", " ", " ", " "}},       // the report dataset, which has no such fields
    };
    for (const Case& c : cases) {
        tmpl::TfrReport report;
        report.Dictionary.BandDataSources.push_back({"Shop", "frDBDataSet2"});
        auto page = labelPage(report);
        page.band(tmpl::btMasterData, 60, 30).FormatStr = c.dataSource;
        page.memo("Rec", 20, 60, 80, 10, {"[frDBDataSet2.\"name\"] [frDBDataSet2.\"n\"]"});
        page.memo("Bare", 100, 60, 80, 10, {"[name]"});
        PrepareSetup setup;
        setup.datasets = {&codes, &shop};
        setup.reportDataset = &codes;
        if (std::string_view(c.dataSource).empty()) {
            // Bare field names read the band's dataset only.
            page.page.Objects.pop_back();
        }
        const Prepared p = prepare(report, setup);
        EXPECT_EQ(textsOf(p.pages, "Rec"), c.texts) << c.dataSource;
        if (!std::string_view(c.dataSource).empty()) {
            EXPECT_EQ(textsOf(p.pages, "Bare"), (std::vector<std::string>{"苹果", "梨"})) << c.dataSource;
        }
    }
}

TEST(PrepareTest, PagesWithoutBandsAndDialogPages) {
    tmpl::TfrReport report;
    EXPECT_FALSE(prepare(report).result.built);   // nothing to print
    report.Pages.Add().Type = tmpl::ptDialog;
    EXPECT_FALSE(prepare(report).result.built);
    labelPage(report).memo("Loose", 20, 20, 80, 10, {"not in a band"});
    const Prepared p = prepare(report);
    EXPECT_TRUE(p.result.built);
    EXPECT_EQ(p.result.pages, 1);
    EXPECT_EQ(p.result.labels, 0);
    EXPECT_TRUE(objectsOf(p.pages.Pages[0]).empty());
}

} // namespace
} // namespace mirel::engine
