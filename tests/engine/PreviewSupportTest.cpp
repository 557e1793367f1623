// The preview's parts below the window: the order pages print in, the check a
// .frp file passes before it replaces the pages shown, and text search
// through prepared pages.

#include "engine/ui/PreparedFileCheck.h"
#include "engine/ui/PreparedTextSearch.h"
#include "engine/ui/PreviewOutput.h"
#include "template/BuiltinViews.h"
#include "template/PreparedReport.h"
#include "template/TfrReport.h"

#include "support/TestSupport.h"
#include "template/Fixture.h"   // tests/template: byte fixtures written field by field

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace mirel::engine;
using mirel::test::ansi;
using mirel::tmpl::test::Fx;

namespace {

struct OrderCase {
    const char* note;
    int pages, first, last, copies;
    bool collate;
    std::vector<int> order;
};

const OrderCase kOrderCases[] = {
    {"all pages once", 3, 0, 0, 1, true, {0, 1, 2}},
    {"two collated sets", 3, 0, 0, 2, true, {0, 1, 2, 0, 1, 2}},
    {"each page twice", 3, 0, 0, 2, false, {0, 0, 1, 1, 2, 2}},
    {"pages 2 to 4 of 5", 5, 2, 4, 1, true, {1, 2, 3}},
    {"range past the end is cut at the last page", 5, 4, 9, 1, true, {3, 4}},
    {"range given backwards", 5, 4, 2, 1, true, {1, 2, 3}},
    {"no copies still prints one", 2, 0, 0, 0, true, {0, 1}},
    {"one page, three copies, not collated", 4, 3, 3, 3, false, {2, 2, 2}},
    {"no pages", 0, 0, 0, 2, true, {}},
};

} // namespace

TEST(PrintOrder, RangesCopiesAndCollation) {
    for (const OrderCase& c : kOrderCases)
        EXPECT_EQ(printOrder(c.pages, c.first, c.last, c.copies, c.collate), c.order) << c.note;
}

namespace {

// The page stream of one prepared text object: version byte, type code 0,
// the common record without design-only fields, the text tail without
// highlight fields.
std::string memoStream(const std::string& text) {
    Fx f;
    f.u8(25).u8(0);
    f.counted("Memo1").u8(2).u8(0).i32(10).i32(20).i32(100).i32(30);
    f.u16(3).u16(15).i32(1).i32(0).u16(0).i32(0x1FFFFFFF);
    f.lines({text});
    f.u16(0).counted("").i32(2).i32(1).u8(0);
    f.counted("Arial").i32(10).u16(0).i32(0).i32(0).u16(1).i32(2).i32(0);
    return f.b;
}

// Options for a current-layout .frp file, written field by field.
struct FrpShape {
    unsigned version = 25;         // 0: no version byte
    unsigned compression = 0;
    std::optional<int> announced;  // the page count stored, when not the pages written
    int pages = 2;
    std::string stream = memoStream("A0001");
    std::int64_t endShift = 0;     // added to the last page's end offset
    bool generator = true;         // the closing generator version byte
};

std::string frp(const FrpShape& s) {
    Fx f;
    if (s.version)
        f.u8(s.version);
    f.u8(s.compression).counted(ansi("虚拟打印机")).i32(s.announced.value_or(s.pages));
    for (int i = 0; i < s.pages; ++i) {
        const size_t end = f.pos();
        f.i32(0).u16(256).i32(600).i32(400).u8(0);   // end offset, custom 60 x 40 mm portrait
        if (s.version > 23)
            f.i32(-1);                               // bin
        f.u8(0);                                     // use margins
        if (s.version > 23)
            f.i32(0).i32(0).i32(0).i32(0);           // margins
        f.raw(s.stream).patchEnd(end);
        if (i + 1 == s.pages && s.endShift != 0) {
            const auto value = static_cast<std::int64_t>(f.pos()) + s.endShift;
            Fx shifted;
            shifted.i32(value);
            f.b.replace(end, 4, shifted.b);
        }
    }
    if (s.generator)
        f.u8(88);
    return f.b;
}

// The oldest layout: the printer name as an old line list, the page count,
// entries of end offset, size, width, height, orientation, use margins and
// the page's metafile.
std::string oldestFrp(int pages, const std::string& metafile) {
    Fx f;
    f.raw(ansi("虚拟打印机")).u8(0x0D).u8(0).i32(pages);
    for (int i = 0; i < pages; ++i) {
        const size_t end = f.pos();
        f.i32(0).u16(9).i32(2100).i32(2970).u8(0).u8(0).raw(metafile).patchEnd(end);
    }
    return f.b;
}

struct CheckCase {
    const char* note;
    std::string bytes;
    PreparedFileProblem problem;
};

std::vector<CheckCase> checkCases() {
    const std::string good = frp({});
    return {
        {"two pages, version 25", good, PreparedFileProblem::None},
        {"version 24", frp({.version = 24}), PreparedFileProblem::None},
        {"no version byte: no bin, no margins", frp({.version = 0}), PreparedFileProblem::None},
        {"no pages", frp({.pages = 0}), PreparedFileProblem::None},
        {"without the closing generator byte", frp({.generator = false}), PreparedFileProblem::None},
        {"a page without objects", frp({.stream = "\x19"}), PreparedFileProblem::None},
        {"a page with empty data", frp({.stream = ""}), PreparedFileProblem::None},
        {"oldest layout", oldestFrp(2, std::string(40, '\x01')), PreparedFileProblem::None},
        {"empty file", "", PreparedFileProblem::Empty},
        {"cut inside the second page", good.substr(0, good.size() - 20), PreparedFileProblem::Damaged},
        {"cut inside the header", good.substr(0, 8), PreparedFileProblem::Damaged},
        {"three pages announced, two written", frp({.announced = 3}), PreparedFileProblem::Damaged},
        {"negative page count", frp({.announced = -5, .pages = 0}), PreparedFileProblem::Damaged},
        {"end offset past the end of the file", frp({.endShift = 100}), PreparedFileProblem::Damaged},
        {"end offset inside the paper settings",
         frp({.endShift = -static_cast<std::int64_t>(memoStream("A0001").size()) - 10}),
         PreparedFileProblem::Damaged},
        {"page data that is no page stream", frp({.stream = std::string("\x00\x01\x02", 3)}),
         PreparedFileProblem::Damaged},
        {"a text file", "labels 0001 to 1000\r\n", PreparedFileProblem::Damaged},
        {"oldest layout cut short", oldestFrp(2, std::string(40, '\x01')).substr(0, 60),
         PreparedFileProblem::Damaged},
        {"compressed page data", frp({.compression = 1, .stream = "zz"}), PreparedFileProblem::Compressed},
        {"compression byte 255", frp({.compression = 255}), PreparedFileProblem::Compressed},
        {"compressed and cut short", frp({.compression = 1}).substr(0, 40), PreparedFileProblem::Damaged},
    };
}

} // namespace

TEST(PreparedFileCheck, AcceptsWholeFilesAndRefusesDamagedOnes) {
    for (const CheckCase& c : checkCases())
        EXPECT_EQ(checkPreparedFile(c.bytes), c.problem) << c.note;
}

// A file the check passes is one the reader takes whole: every page it announces.
TEST(PreparedFileCheck, ReaderTakesEveryPageOfAnAcceptedFile) {
    struct Case {
        const char* note;
        std::string bytes;
        size_t pages;
    };
    const Case cases[] = {
        {"two pages", frp({}), 2},
        {"version 24", frp({.version = 24, .pages = 3}), 3},
        {"no version byte", frp({.version = 0}), 2},
        {"no pages", frp({.pages = 0}), 0},
        {"oldest layout", oldestFrp(3, std::string(12, '\x02')), 3},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(checkPreparedFile(c.bytes), PreparedFileProblem::None) << c.note;
        mirel::tmpl::TfrReport report;
        mirel::tmpl::TfrPreparedPages pages;
        pages.LoadFromBytes(c.bytes, report);
        EXPECT_EQ(pages.Pages.size(), c.pages) << c.note;
    }
}

namespace {

// Pages whose text objects hold the given texts (UTF-8 here, code page bytes
// on the page), each object 10 page units below the one before.
mirel::tmpl::TfrPreparedPages textPages(const std::vector<std::vector<std::vector<std::string>>>& pages) {
    mirel::tmpl::TfrPreparedPages prepared;
    for (const auto& objects : pages) {
        mirel::tmpl::ViewList views;
        int top = 0;
        for (const auto& lines : objects) {
            auto memo = std::make_unique<mirel::tmpl::TfrMemoView>();
            memo->Left = 5;
            memo->Top = top;
            memo->Width = 100;
            memo->Height = 10;
            for (const std::string& line : lines)
                memo->Memo.push_back(ansi(line));
            views.push_back(std::move(memo));
            top += 10;
        }
        prepared.Add({}).Stream = mirel::tmpl::writePreparedStream(views);
    }
    return prepared;
}

} // namespace

TEST(PreparedTextSearch, FindsObjectsPageAfterPageAndGoesRound) {
    const auto pages = textPages({
        {{"编号 A0001"}, {"含量：120g"}},
        {{"编号 A0002"}, {"价格：3.5元", "第二行 abc"}},
        {{"编号 A0003"}},
    });
    PreparedTextSearch search(pages);

    // From the start: the first object holding the text, its frame in page units.
    auto match = search.Find(QStringLiteral("A0002"), {});
    ASSERT_TRUE(match);
    EXPECT_EQ(match->page, 1);
    EXPECT_EQ(match->object, 0);
    EXPECT_EQ(match->frame, QRect(5, 0, 100, 10));
    EXPECT_FALSE(match->wrapped);

    // Code page text is found by its characters, on any line of an object.
    match = search.Find(QStringLiteral("第二行"), {});
    ASSERT_TRUE(match);
    EXPECT_EQ(match->page, 1);
    EXPECT_EQ(match->object, 1);
    EXPECT_EQ(match->frame, QRect(5, 10, 100, 10));

    // Next occurrences: same page first, then the following pages, then round
    // to the first page again.
    std::vector<std::pair<int, int>> found;
    TextMatch at;
    for (int i = 0; i < 4; ++i) {
        match = search.Find(QStringLiteral("编号"), at);
        ASSERT_TRUE(match);
        found.emplace_back(match->page, match->object);
        at = *match;
    }
    EXPECT_EQ(found, (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 0}, {0, 0}}));
    EXPECT_TRUE(at.wrapped);

    // Backward from page 1's second object: page 1's first, then page 0.
    match = search.Find(QStringLiteral("编号"), TextMatch{1, 1, {}, false}, false);
    ASSERT_TRUE(match);
    EXPECT_EQ(std::make_pair(match->page, match->object), std::make_pair(1, 0));
    match = search.Find(QStringLiteral("编号"), *match, false);
    ASSERT_TRUE(match);
    EXPECT_EQ(std::make_pair(match->page, match->object), std::make_pair(0, 0));
    match = search.Find(QStringLiteral("编号"), *match, false);
    ASSERT_TRUE(match);
    EXPECT_EQ(std::make_pair(match->page, match->object), std::make_pair(2, 0));
    EXPECT_TRUE(match->wrapped);

    // A page given without an object: from that page's beginning.
    match = search.Find(QStringLiteral("编号"), TextMatch{2, -1, {}, false});
    ASSERT_TRUE(match);
    EXPECT_EQ(match->page, 2);
}

TEST(PreparedTextSearch, LetterCaseAndTextsNotThere) {
    const auto pages = textPages({{{"Batch ABC-7"}}, {{"batch abc-8"}}});
    PreparedTextSearch search(pages);
    auto match = search.Find(QStringLiteral("abc"), {});
    ASSERT_TRUE(match);
    EXPECT_EQ(match->page, 0);
    match = search.Find(QStringLiteral("abc"), {}, true, Qt::CaseSensitive);
    ASSERT_TRUE(match);
    EXPECT_EQ(match->page, 1);

    EXPECT_FALSE(search.Find(QStringLiteral("XYZ"), {}));
    EXPECT_FALSE(search.Find(QString(), {}));
    // The only occurrence, searched for again from itself, is found again
    // after going round.
    match = search.Find(QStringLiteral("-8"), {});
    ASSERT_TRUE(match);
    match = search.Find(QStringLiteral("-8"), *match);
    ASSERT_TRUE(match);
    EXPECT_EQ(match->page, 1);
    EXPECT_TRUE(match->wrapped);

    const mirel::tmpl::TfrPreparedPages none;
    PreparedTextSearch empty(none);
    EXPECT_FALSE(empty.Find(QStringLiteral("a"), {}));
}

TEST(PdfExport, CancelledExportKeepsTheEarlierFile) {
    QTemporaryDir dir;
    const QString file = QDir(dir.path()).filePath(QStringLiteral("labels.pdf"));
    mirel::test::writeFile(file, "earlier");
    const auto pages = textPages({{{"A"}}, {{"B"}}, {{"C"}}, {{"D"}}, {{"E"}}, {{"F"}}});
    int calls = 0;
    const OutputResult result = exportPdf(file, pages, printOrder(6, 0, 0, 1, true), QString(), [&](int done, int) {
        ++calls;
        return done < 3;
    });
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.pages, 3);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(mirel::test::readFile(file), "earlier");

    // Run to its end, the export replaces the file with a PDF document.
    const OutputResult whole = exportPdf(file, pages, printOrder(6, 0, 0, 1, true));
    EXPECT_TRUE(whole.ok());
    EXPECT_EQ(whole.pages, 6);
    EXPECT_EQ(mirel::test::readFile(file).substr(0, 5), "%PDF-");
}
