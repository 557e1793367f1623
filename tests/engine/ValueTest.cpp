// Values: the texts they show as and the conversions expressions rely on.

#include "engine/Value.h"

#include <gtest/gtest.h>

namespace mirel::engine {
namespace {

struct TextCase {
    Value value;
    const char* shown;
};

TEST(ValueTest, ShowsEachKindAsText) {
    // Reals in the 15-digit general form; dates as the stored day count says
    // (45322 is 2024-01-31, the spreadsheet serial of that day).
    const TextCase cases[] = {
        {Value(), ""},
        {Value::integer(-42), "-42"},
        {Value::integer(INT64_MIN), "-9223372036854775808"},
        {Value::real(2.5), "2.5"},
        {Value::real(0.1 + 0.2), "0.3"},
        {Value::real(1e20), "1E20"},
        {Value::real(100.0), "100"},
        {Value::string("abc"), "abc"},
        {Value::boolean(true), "True"},
        {Value::boolean(false), "False"},
        {Value::dateTime(45322.0), "2024-01-31"},
        {Value::dateTime(45322.5), "2024-01-31 12:00:00"},
        {Value::dateTime(0.75), "18:00:00"},
        {Value::dateTime(0.0), "1899-12-30"},
        {Value::dateTime(-1.25), "1899-12-29 06:00:00"},
        {Value::dateTime(3e6), "3000000"},   // beyond 9999-12-31: the day count
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value.toString(), c.shown) << c.value;
}

TEST(ValueTest, NumbersFromEveryKindThatHasOne) {
    EXPECT_EQ(Value().toReal(), 0.0);
    EXPECT_EQ(Value::integer(7).toReal(), 7.0);
    EXPECT_EQ(Value::string(" 12.5 ").toReal(), 12.5);
    EXPECT_EQ(Value::string("1e3").toReal(), 1000.0);
    EXPECT_EQ(Value::dateTime(45322.5).toReal(), 45322.5);

    EXPECT_EQ(Value::real(2.0).toInteger(), 2);
    EXPECT_EQ(Value::string("12").toInteger(), 12);
    EXPECT_EQ(Value::string("12.0").toInteger(), 12);
    EXPECT_EQ(Value::string("-9223372036854775808").toInteger(), INT64_MIN);
}

TEST(ValueTest, RefusedConversionsSayWhatAndWhy) {
    struct Case {
        Value value;
        double (Value::*toNumber)() const;
        const char* message;
    };
    const Case reals[] = {
        {Value::string("abc"), &Value::toReal, "'abc' is not a number"},
        {Value::string(""), &Value::toReal, "'' is not a number"},
        {Value::boolean(true), &Value::toReal, "a boolean (True) is not a number"},
        {Value::string("x"), &Value::toDateTime, "'x' is not a date"},
        {Value::string("2023-02-29"), &Value::toDateTime, "'2023-02-29' is not a date"},
    };
    for (const auto& c : reals) {
        try {
            (c.value.*c.toNumber)();
            ADD_FAILURE() << c.value << " converted";
        } catch (const ValueError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    const std::pair<Value, const char*> wholes[] = {
        {Value::real(2.5), "'2.5' is not a whole number"},
        {Value::real(1e19), "'1E19' is not a whole number"},
        {Value::string("12a"), "'12a' is not a whole number"},
        {Value::string("99999999999999999999"), "'99999999999999999999' is not a whole number"},
    };
    for (const auto& [value, message] : wholes) {
        try {
            value.toInteger();
            ADD_FAILURE() << value << " converted";
        } catch (const ValueError& e) {
            EXPECT_STREQ(e.what(), message);
        }
    }
    // A message quotes the text as UTF-8, whatever the code page bytes.
    try {
        Value::string("\xB1\xE0\xCD\xB7").toReal();   // 编头 in the code page
        ADD_FAILURE();
    } catch (const ValueError& e) {
        EXPECT_STREQ(e.what(), "'编头' is not a number");
    }
}

TEST(ValueTest, BooleansFromTextsAndNumbers) {
    const std::pair<Value, bool> cases[] = {
        {Value::string("TRUE"), true}, {Value::string(" false "), false}, {Value::string("True"), true},
        {Value::string("0"), false},   {Value::string("1.5"), true},      {Value::integer(0), false},
        {Value::real(-0.5), true},     {Value(), false},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(value.toBoolean(), expected) << value;
    EXPECT_THROW(Value::string("yes").toBoolean(), ValueError);
}

TEST(ValueTest, DatesFromTexts) {
    EXPECT_EQ(Value::string("2024-01-31").toDateTime(), 45322.0);
    EXPECT_EQ(Value::string("2024/01/31 12:00").toDateTime(), 45322.5);
    EXPECT_EQ(Value::integer(45322).toDateTime(), 45322.0);
}

TEST(ValueTest, EqualityKeepsKindsApart) {
    EXPECT_EQ(Value::integer(1), Value::integer(1));
    EXPECT_NE(Value::integer(1), Value::real(1.0));
    EXPECT_NE(Value::real(45322.0), Value::dateTime(45322.0));
    EXPECT_NE(Value::string(""), Value());
}

} // namespace
} // namespace mirel::engine
