#include "core/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace mirel::core;

TEST(Numbers, RoundHalfEven) {
    struct Case { double in; std::int64_t out; };
    const Case cases[] = {
        {2.5, 2}, {3.5, 4}, {0.5, 0}, {1.5, 2}, {-2.5, -2}, {-3.5, -4},
        {2.4999, 2}, {2.5001, 3}, {100, 100}, {99.99, 100}, {-0.4, 0}, {0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(roundHalfEven(c.in), c.out) << c.in;
    EXPECT_THROW(roundHalfEven(NAN), ConversionError);
    EXPECT_THROW(roundHalfEven(1e300), ConversionError);
}

TEST(Numbers, GeneralForm) {
    struct Case { double in; const char* out; };
    const Case cases[] = {
        {1, "1"}, {1.5, "1.5"}, {2.5, "2.5"}, {-3.25, "-3.25"}, {0, "0"},
        {100, "100"}, {0.1, "0.1"}, {0.0001, "0.0001"}, {0.00001, "1E-5"},
        {123456789012345.0, "123456789012345"}, {1e15, "1E15"}, {1.5e20, "1.5E20"},
        {1.0 / 3.0, "0.333333333333333"}, {2.0 / 3.0, "0.666666666666667"},
        {0.1 + 0.2, "0.3"},   // 15 significant digits hide the binary noise
        {3.5, "3.5"}, {120, "120"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatGeneral(c.in), c.out) << c.in;
}

TEST(Numbers, StrictIntegers) {
    EXPECT_EQ(parseInteger("100"), 100);
    EXPECT_EQ(parseInteger(" 42 "), 42);
    EXPECT_EQ(parseInteger("-7"), -7);
    EXPECT_EQ(parseInteger("+7"), 7);
    EXPECT_EQ(parseInteger("0"), 0);
    EXPECT_EQ(parseInteger("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(parseInteger("-9223372036854775808"), INT64_MIN);
    for (const char* bad : {"", " ", "1.5", "1e3", "12a", "--1", "+", "0x10", "9223372036854775808", "1 2"}) {
        EXPECT_FALSE(tryParseInteger(bad).has_value()) << bad;
        EXPECT_THROW(parseInteger(bad), ConversionError) << bad;
    }
    try {
        parseInteger("12a");
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'12a' is not a valid integer value");
    }
}

TEST(Numbers, StrictDecimals) {
    struct Case { const char* in; double out; };
    const Case cases[] = {{"1.5", 1.5}, {"-0.25", -0.25}, {"3", 3}, {".5", 0.5}, {"5.", 5}, {"1e3", 1000},
                          {"+2.5E-1", 0.25}, {" 7 ", 7}};
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(parseDecimal(c.in), c.out) << c.in;
    for (const char* bad : {"", ".", "1,5", "1e", "e3", "abc", "1.2.3", "inf", "nan", "1e999"})
        EXPECT_THROW(parseDecimal(bad), ConversionError) << bad;
}
