// Display formats of text objects and the number pattern language. Every
// expected text is worked out by hand from the pattern rules.

#include "engine/DisplayFormat.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace mirel::engine {
namespace {

using mirel::test::ansi;

struct PatternCase {
    const char* pattern;   // UTF-8
    double value;
    const char* shown;     // UTF-8
};

TEST(FormatFloatTest, Placeholders) {
    const PatternCase cases[] = {
        {"0", 42, "42"},
        {"000000", 42, "000042"},
        {"0.000", 3.14159, "3.142"},
        {"0.00", 1234.5, "1234.50"},
        {"##0.##", 1234.5, "1234.5"},
        {"##0.##", 1, "1"},
        {"##0.", 1.4, "1"},                 // no decimals: no separator either
        {"0.0#", 1.5, "1.5"},
        {"0.0#", 1.256, "1.26"},
        {"0.0#", 1, "1.0"},
        {"#", 0, ""},
        {"#.##", 0.5, ".5"},
        {".00", 12.5, "12.50"},             // no integer placeholder: the whole part still shows
        {"0##", 5, "005"},                  // digits from the first '0' on are kept
        {"#,##0.00", 1234567.891, "1,234,567.89"},
        {"#,##0", 999.5, "1,000"},
        {"#,##0", 12, "12"},
        {"0,000", 1234567, "1,234,567"},
        {"000-000", 1234567, "1234-567"},   // extra digits go to the first placeholder
        {"'No. '000", 7, "No. 007"},
        {"\"#\"0", 7, "#7"},
        {"0元", 12, "12元"},
        {"¥#,##0.00", 1234.5, "¥1,234.50"}, // ¥ is 81 30 84 36: its '0' byte is no placeholder
        {"0.00E+00", 1234.5, "1.23E+03"},
        {"0.0E-0", 0.000123, "1.2E-4"},
        {"0.0E-0", 12300, "1.2E4"},
        {"00.0e+0", 1234.5, "12.3e+2"},
        {"0.00E+00", 9.999, "1.00E+01"},    // rounding to 10.0 moves the exponent
        {"0.00E+00", 0, "0.00E+00"},
        {"0.0", -1.25, "-1.3"},
        {"'total '0", -5, "-total 5"},      // the sign leads the whole text
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatFloat(ansi(c.pattern), c.value), ansi(c.shown)) << c.pattern << " " << c.value;
}

TEST(FormatFloatTest, RoundsHalfAwayFromZeroOnTheShownDigits) {
    // The 15-digit decimal form is rounded: 2.675 (binary 2.67499999999999982236431605997495353221893310546875)
    // reads 2.67500000000000 and shows as 2.68, as people expect from the text.
    const PatternCase cases[] = {
        {"0", 2.5, "3"},       {"0", 3.5, "4"},       {"0", -2.5, "-3"},     {"0", 0.5, "1"},
        {"0", 0.49, "0"},      {"0.0", 0.25, "0.3"},  {"0.0", 0.35, "0.4"},  {"0.00", 2.675, "2.68"},
        {"0.00", 0.125, "0.13"}, {"0.00", 1.005, "1.01"}, {"0.00", -1.255, "-1.26"}, {"0", 9.5, "10"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatFloat(c.pattern, c.value), c.shown) << c.pattern << " " << c.value;
}

TEST(FormatFloatTest, Sections) {
    const char* money = "#,##0.00;(#,##0.00);'zero'";
    const PatternCase cases[] = {
        {money, 5, "5.00"},
        {money, -1234.5, "(1,234.50)"},
        {money, 0, "zero"},
        {money, -0.004, "zero"},          // rounds to zero: the zero section
        {money, 0.004, "zero"},
        {"0.00;;'nil'", -2, "-2.00"},     // an empty negative section: the first, with its sign
        {"0.00;;'nil'", 0, "nil"},
        {"0.00", -0.004, "0.00"},         // never "-0.00"
        {"0;'minus'0", -0.4, "0"},        // rounds to zero: the first section, no sign
        {"0;'minus'0", -3, "minus3"},
        {"'a;b'0", 1, "a;b1"},            // a quoted semicolon does not split
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatFloat(c.pattern, c.value), c.shown) << c.pattern << " " << c.value;
}

TEST(FormatFloatTest, GeneralFormWhereNoPatternApplies) {
    EXPECT_EQ(formatFloat("", 2.5), "2.5");
    EXPECT_EQ(formatFloat("", 2.5, ','), "2,5");
    EXPECT_EQ(formatFloat("0", 1e18), "1E18");
    EXPECT_EQ(formatFloat("0", std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(formatFloat("0", std::nan("")), "NAN");
    // Below 1e18 the digits beyond the 15th are zeros.
    EXPECT_EQ(formatFloat("0", 123456789012345678.0), "123456789012346000");
}

TEST(FormatFloatTest, WholeNumbersKeepEveryDigit) {
    EXPECT_EQ(formatInteger("0", 9007199254740993), "9007199254740993");   // 2^53 + 1
    EXPECT_EQ(formatInteger("#,##0", INT64_MIN), "-9,223,372,036,854,775,808");
    EXPECT_EQ(formatInteger("000000", 42), "000042");
    EXPECT_EQ(formatInteger("0.00", -3), "-3.00");
}

TEST(FormatFloatTest, DecimalSeparatorAndThousandsSeparator) {
    EXPECT_EQ(formatFloat("#,##0.00", 1234.5, ','), "1.234,50");
    EXPECT_EQ(formatFloat("0.00", 1234.5, ';'), "1234;50");
}

struct FormatCase {
    std::int32_t format;
    const char* formatText;   // UTF-8
    Value value;
    const char* shown;        // UTF-8
};

constexpr std::int32_t number(int sub, int decimals, char separator = '.') {
    return makeDisplayFormat(FormatCategory::Number, sub, decimals, separator);
}
constexpr std::int32_t date(int sub) { return makeDisplayFormat(FormatCategory::Date, sub, 2); }
constexpr std::int32_t time(int sub) { return makeDisplayFormat(FormatCategory::Time, sub, 2); }
constexpr std::int32_t boolean(int sub) { return makeDisplayFormat(FormatCategory::Boolean, sub, 2); }

TEST(DisplayFormatTest, PartsOfTheStoredInt) {
    // A number format, fixed (sub-format 1), 3 decimals, ',' as separator.
    constexpr std::int32_t f = 0x0101032C;
    static_assert(formatCategory(f) == 1 && formatSubFormat(f) == 1 && formatDecimals(f) == 3);
    static_assert(formatSeparator(f) == ',');
    static_assert(number(1, 3, ',') == f);
    static_assert(kDefaultDisplayFormat == 0x0000022E);
    EXPECT_EQ(formatValue(Value::real(2.5), f, ""), "2,500");
    EXPECT_EQ(formatValue(Value::real(2.5), kDefaultDisplayFormat, ""), "2.5");
}

TEST(DisplayFormatTest, NumberSubFormats) {
    const FormatCase cases[] = {
        {number(0, 2), "", Value::real(1234.5), "1234.5"},
        {number(0, 2), "", Value::real(0.004), "0"},
        {number(0, 2), "", Value::real(-1.255), "-1.26"},
        {number(0, 0), "", Value::real(2.5), "3"},
        {number(1, 2), "", Value::real(1234.5), "1234.50"},
        {number(1, 2), "", Value::real(2.675), "2.68"},
        {number(1, 2), "", Value::real(-0.004), "0.00"},
        {number(1, 0), "", Value::integer(42), "42"},
        {number(2, 2), "", Value::real(1234567.891), "1,234,567.89"},
        {number(2, 2), "", Value::real(999.999), "1,000"},
        {number(3, 2), "", Value::real(-1234.5), "-1,234.50"},
        {number(3, 0), "", Value::real(1234.5), "1,235"},
        {number(3, 2, ','), "", Value::real(1234.5), "1.234,50"},
        {number(1, 2, '\0'), "", Value::real(1.5), "1.50"},          // no separator stored: '.'
        {number(4, 2), "000000", Value::integer(42), "000042"},
        {number(4, 2), "0.00元", Value::real(3.5), "3.50元"},
        {number(1, 2), "", Value::string("12.5"), "12.50"},           // a text that reads as a number
        {number(1, 2), "", Value::string(" 7 "), "7.00"},
        {number(1, 2), "", Value::string("abc"), "abc"},              // cannot be formatted: plain text
        {number(1, 2), "", Value::boolean(true), "True"},
        {number(1, 2), "", Value(), ""},
        {number(9, 2), "", Value::real(1.5), "1.5"},                  // unknown sub-format
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatValue(c.value, c.format, ansi(c.formatText)), ansi(c.shown))
            << std::hex << c.format << " " << c.value;
}

TEST(DisplayFormatTest, DateAndTimeSubFormats) {
    const Value noon = Value::dateTime(45322.5);   // 2024-01-31 12:00, a Wednesday
    const Value morning = Value::dateTime(0.3);    // 07:12
    const FormatCase cases[] = {
        {date(0), "", noon, "24.01.31"},
        {date(1), "", noon, "2024.01.31"},
        {date(2), "", noon, "2024年01月31日"},
        {date(3), "", noon, "2024年1月31日"},
        {date(4), "dddd", noon, "星期三"},
        {date(4), "yyyy-mm-dd", Value::string("2024.1.31"), "2024-01-31"},   // a date text
        {date(1), "", Value::integer(45322), "2024.01.31"},
        {date(1), "", Value::string("abc"), "abc"},
        {date(1), "", Value::dateTime(3e6), "3000000"},                     // beyond the year 9999
        {date(1), "", Value::boolean(true), "True"},
        {date(7), "", noon, "2024-01-31 12:00:00"},
        {time(0), "", noon, "12:00:00"},
        {time(1), "", morning, "7:12:00"},
        {time(2), "", morning, "07:12"},
        {time(3), "", morning, "7:12"},
        {time(4), "h:nn am/pm", Value::dateTime(0.75), "6:00 pm"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatValue(c.value, c.format, ansi(c.formatText)), ansi(c.shown))
            << std::hex << c.format << " " << c.value;
}

TEST(DisplayFormatTest, BooleanSubFormats) {
    const Value yes = Value::boolean(true), no = Value::boolean(false);
    const FormatCase cases[] = {
        {boolean(0), "", yes, "1"},           {boolean(0), "", no, "0"},
        {boolean(1), "", yes, "是"},          {boolean(1), "", no, "否"},
        {boolean(2), "", yes, "x"},           {boolean(2), "", no, "_"},
        {boolean(3), "", yes, "真"},          {boolean(3), "", no, "假"},
        {boolean(4), "off;on", yes, "on"},    {boolean(4), "off;on", no, "off"},
        {boolean(4), "有效", yes, "True"},     // no semicolon: plain text
        {boolean(1), "", Value::integer(0), "否"},
        {boolean(1), "", Value::string("maybe"), "maybe"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatValue(c.value, c.format, ansi(c.formatText)), ansi(c.shown))
            << std::hex << c.format << " " << c.value;
}

TEST(DisplayFormatTest, HideZerosBlanksNumbersEqualToZeroOnly) {
    EXPECT_EQ(formatValue(Value::integer(0), kDefaultDisplayFormat, "", true), "");
    EXPECT_EQ(formatValue(Value::real(0.0), number(1, 2), "", true), "");
    EXPECT_EQ(formatValue(Value::real(0.001), number(1, 2), "", true), "0.00");
    EXPECT_EQ(formatValue(Value::integer(3), number(1, 2), "", true), "3.00");
    EXPECT_EQ(formatValue(Value::string("0"), kDefaultDisplayFormat, "", true), "0");
    EXPECT_EQ(formatValue(Value::integer(0), kDefaultDisplayFormat, "", false), "0");
}

} // namespace
} // namespace mirel::engine
