// The seed corpora of the template fuzzers (fuzz/seeds/frf, fuzz/seeds/frp):
// one file per layout the readers know. With MIREL_WRITE_FUZZ_SEEDS set this
// writes them into the source tree; otherwise it checks that the committed
// seeds are still read as the layouts they stand for.

#include "template/AddinViews.h"
#include "template/PreparedReport.h"
#include "template/TfrReport.h"

#include "Fixture.h"
#include "support/TestSupport.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace mirel::tmpl;
using namespace mirel::tmpl::test;

namespace {

struct Seed {
    const char* name;
    std::string bytes;
};

TfrReport everyObject() {
    TfrReport report;
    report.Pages.Add().ApplyPaper();
    auto& objects = report.Pages[0].Objects;
    objects.push_back(std::make_unique<TfrMemoView>());
    auto picture = std::make_unique<TfrPictureView>();
    picture->GraphicKind = 1;
    picture->Graphic = "BM bitmap";
    objects.push_back(std::move(picture));
    objects.push_back(std::make_unique<TfrBandView>());
    objects.push_back(std::make_unique<TfrSubReportView>());
    objects.push_back(std::make_unique<TfrLineView>());
    objects.push_back(std::make_unique<TfrShapeView>());
    objects.push_back(std::make_unique<TfrRoundRectView>());
    objects.push_back(std::make_unique<TfrCheckBoxView>());
    auto rich = std::make_unique<TfrRichView>();
    rich->RichText = "{\\rtf1}";
    objects.push_back(std::move(rich));
    auto ole = std::make_unique<TfrOLEView>();
    ole->HasObject = true;
    ole->Storage = "storage";
    objects.push_back(std::move(ole));
    auto chart = std::make_unique<TfrChartView>();
    chart->Picture = "wmf";
    objects.push_back(std::move(chart));
    objects.push_back(std::make_unique<TfrCrossView>());
    for (size_t i = 0; i < objects.size(); ++i) {
        objects[i]->Name = "O" + std::to_string(i);
        objects[i]->Memo = {"[no]"};
    }
    report.Dictionary.Variables = {{" c", ""}, {"v", "1"}};
    report.Password = "pw";
    report.PasswordProtected = 1;
    return report;
}

std::string version21() {
    Fx f;
    f.u8(21).u16(0).u16(0).zstr("\x01");
    f.u8(0xFF).i32(9).i32(2100).i32(2970).i32(0).i32(0).i32(0).i32(0).u8(0).zeros(6).u16(0).u16(1).i32(1).i32(0);
    f.u8(0).u8(0).i32(1).i32(2).i32(3).i32(4).u16(0).u16(0).i32(1).i32(0).u16(0).i32(0x1FFFFFFF);
    f.i32(0).zstr("").zstr("a\rb").zstr("Arial").i32(10).u16(0).i32(0).i32(0).u16(134).u16(2).i32(0).i32(0).zstr("");
    f.u8(0xFE).i32(1).u8(2).i32(2).u8(0).u8(0).u8(1).raw("d").zstr(" d\rcat");
    return f.u8(0xFC).b;
}

std::string version23() {
    Fx f;
    f.u8(23).u16(0).u16(0).counted("\x01");
    f.u8(0xFF).i32(-1).i32(9).i32(2100).i32(2970).i32(0).i32(0).i32(0).i32(0).u8(0).u16(0).u16(1).i32(1).i32(0);
    f.u8(10).counted("TfrCheckBoxView").u8(0);
    f.counted("Check1").i32(1).i32(2).i32(3).i32(4).u16(1).u16(15).i32(2).i32(0).u16(0).i32(0x1FFFFFFF);
    f.i32(0).counted("").lines({"[x]"}).lines({}).u16(1);
    f.u8(0xFE).u16(0xFFFF).i32(1).counted("c").counted("").i32(1).counted("a").counted("").i32(1).counted("b").counted("");
    return f.u8(0xFC).b;
}

std::vector<Seed> frfSeeds() {
    TfrReport report = everyObject();
    std::vector<Seed> seeds = {
        {"current.frf", report.SaveToBytes(45000.0)},
        {"version21.frf", version21()},
        {"version23.frf", version23()},
        {"new-report.frt", report.SaveToTemplateBytes({"description"}, "BMpicture")},
        {"dictionary.frd", report.Dictionary.SaveToBytes()},
        {"form.bin", report.WriteReportForm(true)},
    };
    Fx unknown;
    header25(unknown);
    page25(unknown);
    record(unknown, 10, "TfrFooView", 0, [](Fx& f) { f.raw("x"); });
    record(unknown, 10, "TfrFramedMemoView", 0, [](Fx& f) { memoTail25(common25(f, {})).raw("8 bytes!"); });
    seeds.push_back({"unknown-addins.frf", unknown.b});
    return seeds;
}

std::vector<Seed> frpSeeds() {
    TfrReport report;
    TfrPreparedPages pages;
    ViewList views;
    views.push_back(std::make_unique<TfrMemoView>());
    auto shape = std::make_unique<TfrShapeView>();
    views.push_back(std::move(shape));
    pages.Add({9, 0, 0, 0, -1}).Stream = writePreparedStream(views);
    pages.Add({256, 1000, 500, 1, 2}).Stream = writePreparedStream({});
    std::vector<Seed> seeds = {{"current.frp", pages.SaveToBytes(report)}};
    Fx old;
    old.u8(0).counted("printer").i32(1);
    size_t end = old.pos();
    old.i32(0).u16(9).i32(2100).i32(2970).u8(0).u8(1).raw(pages.Pages[0].Stream).patchEnd(end);
    seeds.push_back({"no-version.frp", old.u8(88).b});
    Fx oldest;
    oldest.zstr("printer").i32(1);
    end = oldest.pos();
    oldest.i32(0).u16(9).i32(2100).i32(2970).u8(0).u8(1).raw("metafile").patchEnd(end);
    seeds.push_back({"oldest.frp", oldest.b});
    return seeds;
}

QString seedFolder(const char* kind) { return QStringLiteral(MIREL_SOURCE_DIR "/fuzz/seeds/") + QLatin1String(kind); }

} // namespace

TEST(FuzzSeeds, CorporaMatchTheLayouts) {
    const bool write = !qEnvironmentVariableIsEmpty("MIREL_WRITE_FUZZ_SEEDS");
    for (const auto& [kind, seeds] : {std::pair{"frf", frfSeeds()}, std::pair{"frp", frpSeeds()}}) {
        if (write)
            QDir().mkpath(seedFolder(kind));
        for (const Seed& seed : seeds) {
            const QString path = seedFolder(kind) + QLatin1Char('/') + QLatin1String(seed.name);
            if (write)
                mirel::test::writeFile(path, seed.bytes);
            // Seeds written with the current date differ only there.
            const std::string stored = mirel::test::readFile(path);
            EXPECT_EQ(stored.size(), seed.bytes.size()) << seed.name;
        }
    }
}
