// Stored dates (days since 1899-12-30) and the date/time pattern language.

#include "engine/DateTime.h"
#include "engine/Value.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace mirel::engine {
namespace {

using mirel::test::ansi;

TEST(DateTimeTest, CalendarDatesAsStoredDays) {
    // 1970-01-01 is 25569 and 2024-01-31 is 45322 (spreadsheet serials, equal to
    // the stored form after 1900-02-28); 0001-01-01 and 9999-12-31 are the ends of
    // the range, -693593 and 2958465.
    struct Case {
        int y, m, d;
        double days;
    };
    const Case cases[] = {
        {1899, 12, 30, 0},     {1900, 1, 1, 2},         {1970, 1, 1, 25569}, {2024, 1, 31, 45322},
        {2024, 2, 29, 45351},  {2000, 2, 29, 36585},    {1, 1, 1, -693593},  {9999, 12, 31, 2958465},
        {1899, 12, 29, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(encodeDate(c.y, c.m, c.d), c.days) << c.y << "-" << c.m << "-" << c.d;
        const auto parts = decodeDateTime(c.days);
        ASSERT_TRUE(parts);
        EXPECT_EQ(parts->year, c.y);
        EXPECT_EQ(parts->month, c.m);
        EXPECT_EQ(parts->day, c.d);
    }
    for (const auto& [y, m, d] : {std::tuple{2023, 2, 29}, {1900, 2, 29}, {2024, 4, 31}, {2024, 13, 1},
                                  {2024, 0, 1}, {0, 12, 31}, {10000, 1, 1}})
        EXPECT_FALSE(encodeDate(y, m, d)) << y << "-" << m << "-" << d;
}

TEST(DateTimeTest, TimesAndWeekdays) {
    EXPECT_EQ(encodeTime(12, 0, 0), 0.5);
    EXPECT_EQ(encodeTime(18, 0, 0), 0.75);
    EXPECT_FALSE(encodeTime(24, 0, 0));
    EXPECT_FALSE(encodeTime(0, 60, 0));

    // 2024-01-31 was a Wednesday, 1899-12-30 a Saturday.
    EXPECT_EQ(decodeDateTime(45322.0)->dayOfWeek, 3);
    EXPECT_EQ(decodeDateTime(0.0)->dayOfWeek, 6);
    EXPECT_EQ(decodeDateTime(1.0)->dayOfWeek, 7);

    // Days before 1899-12-30 keep a time counted forward from their midnight.
    const auto early = decodeDateTime(-1.25);
    ASSERT_TRUE(early);
    EXPECT_EQ(early->day, 29);
    EXPECT_EQ(early->hour, 6);
}

TEST(DateTimeTest, TimeRoundingUpToMidnightIsTheNextDay) {
    const auto p = decodeDateTime(45322.0 + 0.9999999999);   // 0.00864 ms before midnight
    ASSERT_TRUE(p);
    EXPECT_EQ(p->month, 2);
    EXPECT_EQ(p->day, 1);
    EXPECT_EQ(p->hour, 0);
    EXPECT_EQ(p->millisecond, 0);
    EXPECT_FALSE(decodeDateTime(2958465.9999999999));   // would be the year 10000
    EXPECT_FALSE(decodeDateTime(2958466.0));
    EXPECT_FALSE(decodeDateTime(std::nan("")));
}

TEST(DateTimeTest, ReadsDateAndTimeTexts) {
    const double t0805 = (8 * 3600 + 5 * 60 + 30.25) / 86400.0;
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"2024-01-31", 45322.0},
        {"2024.1.31", 45322.0},
        {" 2024/01/31 12:00 ", 45322.5},
        {"2024-01-31T18:00:00", 45322.75},
        {"12:00", 0.5},
        {"08:05:30.25", t0805},
        {"2024-02-30", std::nullopt},
        {"24-01-31", std::nullopt},
        {"2024-01/31", std::nullopt},
        {"2024-01-31x", std::nullopt},
        {"2024-01-31 25:00", std::nullopt},
        {"25:00", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        const auto v = parseDateTime(text);
        ASSERT_EQ(v.has_value(), expected.has_value()) << text;
        if (v) {
            EXPECT_NEAR(*v, *expected, 1e-9) << text;
        }
    }
}

TEST(DateTimeTest, PatternSpecifiers) {
    // 2024-01-31 (a Wednesday) 08:05:09.045
    const double when = 45322.0 + (8 * 3600 + 5 * 60 + 9.045) / 86400.0;
    const double evening = 45322.0 + 20.5 / 24.0;   // 20:30
    const double halfPastMidnight = 45322.0 + 0.5 / 24.0;
    struct Case {
        const char* pattern;
        double days;
        const char* shown;   // UTF-8
    };
    const Case cases[] = {
        {"yyyy-mm-dd hh:nn:ss.zzz", when, "2024-01-31 08:05:09.045"},
        {"YYYY-MM-DD HH:NN:SS", when, "2024-01-31 08:05:09"},
        {"yy.mm.dd", when, "24.01.31"},
        {"d/m/yy", when, "31-1-24"},
        {"h:n:s z", when, "8:5:9 45"},
        {"hh:mm", when, "08:05"},             // m after h: minutes
        {"hh:mm mm", when, "08:05 01"},       // but not after another specifier
        {"mmm mmmm", when, "一月 一月"},
        {"ddd dddd", when, "周三 星期三"},
        {"ddddd", when, "2024-01-31"},
        {"dddddd", when, "2024年1月31日"},
        {"c", when, "2024-01-31 08:05:09"},
        {"c", 45322.0, "2024-01-31"},
        {"t|tt", when, "08:05|08:05:09"},
        {"h:nn am/pm", when, "8:05 am"},
        {"h:nn am/pm", evening, "8:30 pm"},
        {"hh AM/PM", evening, "08 PM"},
        {"h:nn a/p", halfPastMidnight, "12:30 a"},
        {"h ampm", evening, "8 下午"},
        {"'day' d \"of\" m", when, "day 31 of 1"},
        {"yyyy''年''mm''月''dd''日''", when, "2024年01月31日"},
        {"yyyy'年'm'月'd'日'", when, "2024年1月31日"},
        {"yyyy", -693593.0, "0001"},
        {"yyyy-mm-dd hh:nn", -1.25, "1899-12-29 06:00"},
        {"", when, ""},
        {"'unclosed", when, "unclosed"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatDateTime(ansi(c.pattern), c.days), ansi(c.shown)) << c.pattern;
}

TEST(DateTimeTest, ChineseCharactersInPatternsAreTextEvenWhenTheirBytesLookLikeSpecifiers) {
    // 乨 is 81 64 ('d' as second byte), 亂 81 79 ('y'), 俶 82 6D ('m').
    EXPECT_EQ(formatDateTime(ansi("乨亂俶yyyy"), 45322.0), ansi("乨亂俶2024"));
}

TEST(DateTimeTest, DatesOutsideTheCalendarAreRefused) {
    EXPECT_THROW(formatDateTime("yyyy", 2958466.0), ValueError);
    EXPECT_THROW(formatDateTime("yyyy", -693594.0), ValueError);
    try {
        formatDateTime("yyyy", 1e10);
        ADD_FAILURE();
    } catch (const ValueError& e) {
        EXPECT_STREQ(e.what(), "'10000000000' is not a date between the years 1 and 9999");
    }
}

} // namespace
} // namespace mirel::engine
