// Label jobs: the label data from the initial texts and system.ini, the eight
// label variables and the record counter "no", and a print job over the code
// store through the library, as the main window runs it.

#include "engine/LabelJob.h"

#include "ReportBuilder.h"
#include "codes/CodeStore.h"
#include "core/Numbers.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace mirel::engine {
namespace {

using mirel::test::ansi;

std::optional<Value> answer(const LabelJob& job, std::string_view utf8Name) {
    std::optional<Value> v;
    job.AnswerVariable(ansi(utf8Name), v);
    return v;
}

TEST(LabelJobTest, LabelVariablesAnswerTheFieldsAsTheyStand) {
    LabelJob job;
    // The main window's initial texts.
    EXPECT_EQ(answer(job, "编头"), Value::string("BJ"));
    EXPECT_EQ(answer(job, "条形码编号"), Value::string("0000000000"));
    EXPECT_EQ(answer(job, "编尾"), Value::string("**"));
    EXPECT_EQ(answer(job, "数据扩充1"), Value::string(ansi("含量：120g")));
    EXPECT_EQ(answer(job, "数据扩充2"), Value::string(ansi("价格：3.5元")));
    EXPECT_EQ(answer(job, "二维码"), Value::string("\r\n"));
    EXPECT_EQ(answer(job, "数量"), Value::real(100));
    EXPECT_EQ(answer(job, "no"), Value::integer(0));
    // Names are compared exactly.
    for (const char* other : {"NO", "No", "编头 ", "数量1", "PAGE#"})
        EXPECT_EQ(answer(job, other), std::nullopt) << other;

    // What is typed is what answers, at the moment the engine asks.
    ASSERT_TRUE(setLabelVariable(job.Fields, ansi("编头"), ansi("新头")));
    ASSERT_TRUE(setLabelVariable(job.Fields, ansi("二维码"), "A\nB"));
    ASSERT_TRUE(setLabelVariable(job.Fields, ansi("数量"), " 2.5 "));
    EXPECT_EQ(answer(job, "编头"), Value::string(ansi("新头")));
    EXPECT_EQ(answer(job, "二维码"), Value::string("A\r\nB"));
    EXPECT_EQ(answer(job, "数量"), Value::real(2.5));
    EXPECT_FALSE(setLabelVariable(job.Fields, "no", "5"));
    EXPECT_FALSE(setLabelVariable(job.Fields, "other", "5"));
    EXPECT_THROW(setLabelVariable(job.Fields, ansi("数量"), "many"), core::ConversionError);
    // Line breaks of any kind become CR LF.
    ASSERT_TRUE(setLabelVariable(job.Fields, ansi("二维码"), "1\r2\r\n3\n"));
    EXPECT_EQ(job.Fields.code2d, "1\r\n2\r\n3\r\n");
}

TEST(LabelJobTest, SystemIniReplacesSixFieldsWithTheirOwnDefaults) {
    LabelData fields = initialLabelData();
    fields.code2d = "typed";
    fields.quantity = 7;
    applySystemIni(fields, ansi("; comment\r\n[KZ]\r\n kz01 = 含量：50g \r\ncxButtonEdit1=\"D:\\模板\\a.frf\"\r\n"
                                "cxtextedit5=42\r\ncxTextEdit5=ignored\r\n[kz]\r\ncxTextEdit2=second section\r\n"));
    EXPECT_EQ(fields.data1, ansi("含量：50g"));
    EXPECT_EQ(fields.data2, ansi("价格：3.50元"));   // missing key: its default, not the initial text
    EXPECT_EQ(fields.templatePath, QStringLiteral("D:\\模板\\a.frf"));
    EXPECT_EQ(fields.serial, "42");
    EXPECT_EQ(fields.prefix, "");
    EXPECT_EQ(fields.suffix, "");
    EXPECT_EQ(fields.code2d, "typed");   // not stored in the settings
    EXPECT_EQ(fields.quantity, 7);

    // A settings file saved as UTF-8 reads the same.
    LabelData utf8 = initialLabelData();
    applySystemIni(utf8, "\xEF\xBB\xBF[kz]\nkz02=价格：9元\n");
    EXPECT_EQ(utf8.data2, ansi("价格：9元"));
    EXPECT_EQ(utf8.data1, ansi("含量：120g"));
}

TEST(LabelJobTest, PrintJobOverTheCodeStoreCountsNoFromZero) {
    test::registerBarcodeObjects();
    QTemporaryDir dir;
    codes::CodeStore store(dir.filePath(QStringLiteral("dbno.csh")));
    codes::CodeList list;
    ASSERT_TRUE(store.generate("abcd", 100, list));
    tmpl::TfrReport design;
    auto page = test::addPage(design).paper(360, 360);
    page.band(tmpl::btMasterData, 0, 36);
    page.memo("No", 0, 0, 100, 18, {"[no]"});
    page.barcode("Bar1", 100, 0, 100, 36, "[编头][frDBDataSet1.\"NO\"]");
    const QString path = dir.filePath(QStringLiteral("label.frf"));
    design.SaveToFile(path);

    LabelJob job;
    job.CodeStoreAdapter.SetStore(&store);
    tmpl::RecordingHost host;
    tmpl::TfrPreparedPages pages;
    const PrepareResult result = job.Print(path, host, pages);
    ASSERT_TRUE(result.built);
    EXPECT_EQ(result.labels, 100);   // the initial quantity
    EXPECT_EQ(job.Title, QStringLiteral("条码标签打印预览"));
    const auto numbers = test::textsOf(pages, "No");
    ASSERT_EQ(numbers.size(), 100u);
    EXPECT_EQ(numbers.front(), "0");
    EXPECT_EQ(numbers.back(), "99");
    const auto barcodes = test::textsOf(pages, "Bar1");
    ASSERT_EQ(barcodes.size(), 100u);
    EXPECT_EQ(barcodes[41], "BJ42");
    // Outside the run the counter keeps its last value.
    EXPECT_EQ(job.CodeStoreAdapter.RecNo(), 100);

    // Quantities round half to even; 30 of 100 codes give 30 labels.
    for (const auto& [quantity, labels] : {std::pair{30.0, 30}, {2.5, 2}, {3.5, 4}, {-1.0, 0}}) {
        job.Fields.quantity = quantity;
        EXPECT_EQ(job.Print(path, host, pages).labels, labels) << quantity;
    }
    // A path that names no file keeps the template loaded before.
    job.Fields.quantity = 1;
    EXPECT_FALSE(job.LoadTemplate(dir.filePath(QStringLiteral("none.frf")), host));
    EXPECT_EQ(job.Print(dir.filePath(QStringLiteral("none.frf")), host, pages).labels, 1);
    EXPECT_TRUE(host.Messages().empty());
}

} // namespace
} // namespace mirel::engine
