// The label variables as the engine asks for them: names in code page bytes,
// compared exactly; values read from the fields.

#include "app/LabelVariables.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace mirel::app;
using mirel::AnsiString;
using mirel::test::ansi;

namespace {

LabelFields sampleFields() {
    LabelFields f;
    f.serial = QStringLiteral("0000000042");
    f.prefix = QStringLiteral("BJ");
    f.suffix = QStringLiteral("**");
    f.quantity = 2.5;
    f.data1 = QStringLiteral("含量：120g");
    f.data2 = QStringLiteral("价格：3.50元");
    f.code2d = QStringLiteral("A\r\nB");
    return f;
}

std::optional<LabelValue> ask(const char* utf8Name, const LabelFields& fields, const RecordCounters& counters) {
    std::optional<LabelValue> value;
    answerLabelVariable(ansi(utf8Name), value, fields, counters);
    return value;
}

TEST(LabelVariablesTest, AnswersTheEightNamesFromTheFields) {
    const LabelFields fields = sampleFields();
    const RecordCounters counters{false, 7, 3};
    const std::pair<const char*, LabelValue> expected[] = {
        {"no", LabelValue(std::int64_t{3})},
        {"条形码编号", LabelValue(AnsiString("0000000042"))},
        {"编头", LabelValue(AnsiString("BJ"))},
        {"编尾", LabelValue(AnsiString("**"))},
        {"数量", LabelValue(2.5)},
        {"数据扩充1", LabelValue(ansi("含量：120g"))},
        {"数据扩充2", LabelValue(ansi("价格：3.50元"))},
        {"二维码", LabelValue(AnsiString("A\r\nB"))},
    };
    for (const auto& [name, value] : expected) {
        const std::optional<LabelValue> answer = ask(name, fields, counters);
        ASSERT_TRUE(answer.has_value()) << name;
        EXPECT_EQ(*answer, value) << name;
    }
}

TEST(LabelVariablesTest, NoCountsTheExternalTableWhileItIsOpen) {
    const std::optional<LabelValue> answer = ask("no", sampleFields(), RecordCounters{true, 7, 3});
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(*answer, LabelValue(std::int64_t{7}));
}

TEST(LabelVariablesTest, OtherNamesAreLeftToTheEngine) {
    LabelFields fields = sampleFields();
    // The UTF-8 form of a name is not the name the engine asks for.
    const char* const others[] = {"NO", "No", " no", "编头 ", "PAGE#", "", "frDBDataSet1.\"NO\""};
    for (const char* name : others)
        EXPECT_FALSE(ask(name, fields, {}).has_value()) << name;
    std::optional<LabelValue> value;
    answerLabelVariable(AnsiString("编头"), value, fields, {});
    EXPECT_FALSE(value.has_value()) << "UTF-8 bytes of the name";
    // A quantity field that holds no number leaves "数量" to the engine too.
    fields.quantity.reset();
    EXPECT_FALSE(ask("数量", fields, {}).has_value());
}

} // namespace
